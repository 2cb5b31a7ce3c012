#pragma once

// Text files as lines, and blank trimming. Bytes are taken as they are: no
// encoding is converted and a byte-order mark stays in the first line.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace morvane {

// Removes every leading and trailing character whose code is 0..32.
std::string_view TrimBlanksView(std::string_view text);
std::string TrimBlanks(std::string_view text);

// The lines of one file. The lines are views into one buffer owned by the
// object, so reading a file costs one allocation for the text and one for the
// line table, not one per line. Moving keeps the views valid.
class TTextLines {
public:
    TTextLines() = default;
    TTextLines(std::vector<char> buffer, std::vector<std::string_view> lines)
        : m_buffer(std::move(buffer)), m_lines(std::move(lines)) {}
    // A copy would keep views into the original's buffer, so only moving is allowed.
    TTextLines(const TTextLines&) = delete;
    TTextLines& operator=(const TTextLines&) = delete;
    TTextLines(TTextLines&&) noexcept = default;
    TTextLines& operator=(TTextLines&&) noexcept = default;

    std::size_t size() const { return m_lines.size(); }
    bool empty() const { return m_lines.empty(); }
    std::string_view operator[](std::size_t i) const { return m_lines[i]; }
    auto begin() const { return m_lines.begin(); }
    auto end() const { return m_lines.end(); }

private:
    std::vector<char> m_buffer;
    std::vector<std::string_view> m_lines;
};

// Splits a text into lines: a line ends at CR, LF or CR LF (one break); after a
// line one CR, then one LF is skipped, so LF CR is two breaks. A NUL byte ends
// the text. A final break adds no empty line; an empty text gives no lines.
std::vector<std::string_view> SplitTextLines(std::string_view text);

// Reads a whole file into lines. Raises EFOpenError
// "Cannot open file "<full path>". <system text>" when the path cannot be read
// as a file (missing, a directory, no permission).
TTextLines ReadTextLines(const std::string& path);

}  // namespace morvane
