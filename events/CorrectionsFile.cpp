#include "events/CorrectionsFile.h"

#include <algorithm>

#include "util/textfile.h"

namespace morvane {

void ApplyCorrectionsFile(const std::string& path, TSession& session, const TRecalcControls& controls) {
    IValueList& list = *controls.CorrectionList;
    // Only the lines the list takes: a huge file costs no memory, a byte-order mark is skipped.
    const TTextLines corrections = ReadFirstTextLines(path, static_cast<std::size_t>(list.rowCount()));
    const int rows = std::min(list.rowCount(), static_cast<int>(corrections.size()));
    for (int row = 1; row <= rows; ++row) {
        list.setValue(row, std::string(corrections[row - 1]));
    }
    ApplyCorrectionsAndRecalculate(session, controls);
}

}  // namespace morvane
