#include "events/EngineInput.h"

#include <string_view>

#include "events/CylinderTableFile.h"
#include "events/SetupFile.h"
#include "util/linereader.h"

namespace morvane {

TEngineInput ReadEngineInput(const std::string& path, ICellGrid& table, TNumberFormat format) {
    TLineReader reader(path);
    std::string_view first;
    const bool any = reader.next(first);
    const bool setup = any && ClaimsSetupFirstLine(first);
    if (any) {
        // The first line stays the first for the reader that takes the file.
        reader.giveAgain();
    }
    TEngineInput input;
    if (setup) {
        input.Setup = ReadSetupFile(reader, path);
    } else {
        input.TableLines = ReadCylinderTableFile(reader, path, table, format);
    }
    return input;
}

}  // namespace morvane
