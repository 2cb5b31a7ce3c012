#pragma once

// A set-up's numbers checked before the batch tool makes events of them, so
// that a text that does not read is named by its key in the file: the event
// commands' own failures name only the text.

#include <string_view>

#include "events/Setup.h"
#include "util/numtext.h"

namespace morvane {

// Which of the set-up's texts the command takes from the file (the command
// line overrides the others).
struct TSetupTextsUsed {
    bool Cylinders = true;
    bool Speed = true;
    bool Offsets = true;  // a firing order given sets them
};

// The cylinder count, the cells of the rows it counts (countText, the
// command line's when it overrides the file's; none are checked when that
// does not read; the offsets only when used) and the speed, each as event creation reads it. A text that
// does not read raises ESetupFileError ("Soubor "%s", klíč "%s" v oddílu
// [%s]: '%s' není číslo").
void CheckSetupNumbers(const TSetup& setup, const TSetupTextsUsed& used, std::string_view countText,
                       std::string_view path, TNumberFormat format);

}  // namespace morvane
