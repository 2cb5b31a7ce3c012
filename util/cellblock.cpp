#include "util/cellblock.h"

namespace morvane {

std::string FormatCellBlock(const TCellBlock& block) {
    std::string text;
    for (const std::vector<std::string>& row : block) {
        for (size_t column = 0; column < row.size(); ++column) {
            if (column > 0) {
                text += '\t';
            }
            text += row[column];
        }
        text += '\n';
    }
    return text;
}

namespace {

std::vector<std::string> SplitRow(std::string_view line) {
    std::vector<std::string> cells;
    size_t start = 0;
    for (size_t tab = line.find('\t'); tab != std::string_view::npos; tab = line.find('\t', start)) {
        cells.emplace_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    cells.emplace_back(line.substr(start));
    return cells;
}

}  // namespace

TCellBlock SplitCellBlock(std::string_view text) {
    TCellBlock block;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            block.push_back(SplitRow(text.substr(start)));
            break;
        }
        block.push_back(SplitRow(text.substr(start, end - start)));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return block;
}

}  // namespace morvane
