#include "events/CorrectionsFile.h"

#include <algorithm>

#include "util/textfile.h"

namespace morvane {

void ApplyCorrectionsFile(const std::string& path, TSession& session, const TRecalcControls& controls) {
    const TTextLines corrections = ReadTextLines(path);
    IValueList& list = *controls.CorrectionList;
    const int rows = std::min(list.rowCount(), static_cast<int>(corrections.size()));
    for (int row = 1; row <= rows; ++row) {
        list.setValue(row, std::string(corrections[row - 1]));
    }
    ApplyCorrectionsAndRecalculate(session, controls);
}

}  // namespace morvane
