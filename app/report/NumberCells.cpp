#include "app/report/NumberCells.h"

#include <array>

namespace morvane {

namespace {

// The marks a formatted figure may hold besides ASCII: the no-break and the
// narrow no-break space that group thousands, and the minus sign.
constexpr std::array<std::string_view, 3> kWideMarks = {"\xC2\xA0", "\xE2\x80\xAF", "\xE2\x88\x92"};

bool IsNumberMark(char c) {
    return c == ' ' || c == ',' || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E' || c == '%';
}

// A dash stands for a figure that is missing; it does not make a column text.
bool IsMissingFigure(std::string_view text) {
    return text.empty() || text == "-" || text == "\xE2\x80\x93" || text == "\xE2\x80\x94";
}

}  // namespace

bool LooksLikeNumber(std::string_view text) {
    bool digit = false;
    std::size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c >= '0' && c <= '9') {
            digit = true;
            ++at;
        } else if (IsNumberMark(c)) {
            ++at;
        } else {
            std::size_t length = 0;
            for (std::string_view mark : kWideMarks) {
                if (text.substr(at, mark.size()) == mark) {
                    length = mark.size();
                }
            }
            if (length == 0) {
                return false;
            }
            at += length;
        }
    }
    return digit;
}

std::vector<bool> NumericColumns(const std::vector<std::vector<std::string>>& rows, std::size_t columns) {
    std::vector<bool> figures(columns, false);
    std::vector<bool> others(columns, false);
    for (const std::vector<std::string>& row : rows) {
        for (std::size_t column = 0; column < row.size() && column < columns; ++column) {
            if (IsMissingFigure(row[column])) {
                continue;
            }
            if (LooksLikeNumber(row[column])) {
                figures[column] = true;
            } else {
                others[column] = true;
            }
        }
    }
    std::vector<bool> numeric(columns);
    for (std::size_t column = 0; column < columns; ++column) {
        numeric[column] = figures[column] && !others[column];
    }
    return numeric;
}

}  // namespace morvane
