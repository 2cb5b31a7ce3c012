#include "signal/import/SignalText.h"

#include "util/numtext.h"

namespace morvane {

std::string SignalEntriesText(const TSignalTable& signal, TNumberFormat format) {
    std::string text;
    for (double entry : signal) {
        text += FormatFloatGeneral(entry, format);
        text += '\n';
    }
    return text;
}

}  // namespace morvane
