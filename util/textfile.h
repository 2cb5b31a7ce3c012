#pragma once

// Text files as lines, and blank trimming. Bytes are taken as they are: no
// encoding is converted, and ReadTextLines and SplitTextLines keep a
// byte-order mark at the start of the first line, as the first imports
// expect. The newer readers (TLineReader by default, ReadFirstTextLines) skip it.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "util/linereader.h"
#include "util/memoryblock.h"

namespace morvane {

// Removes every leading and trailing character whose code is 0..32.
std::string_view TrimBlanksView(std::string_view text);
std::string TrimBlanks(std::string_view text);

// The lines of one file. The lines are views into one buffer owned by the
// object, so reading a file costs one allocation for the text and one for the
// line table, not one per line. While the text is below 4 GiB the table holds
// only where each line starts (4 bytes a line): a line runs to the next one's
// start less its break, and its view is formed on access. The views stay
// valid while the object lives, moving included.
class TTextLines {
public:
    // Walks the lines in order; dereferencing gives the line's view.
    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        const_iterator() = default;
        std::string_view operator*() const { return (*m_lines)[m_index]; }
        std::string_view operator[](difference_type n) const { return *(*this + n); }
        const_iterator& operator++() {
            ++m_index;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++m_index;
            return before;
        }
        const_iterator& operator--() {
            --m_index;
            return *this;
        }
        const_iterator operator--(int) {
            const_iterator before = *this;
            --m_index;
            return before;
        }
        const_iterator& operator+=(difference_type n) {
            m_index = static_cast<std::size_t>(static_cast<difference_type>(m_index) + n);
            return *this;
        }
        const_iterator& operator-=(difference_type n) { return *this += -n; }
        friend const_iterator operator+(const_iterator at, difference_type n) { return at += n; }
        friend const_iterator operator+(difference_type n, const_iterator at) { return at += n; }
        friend const_iterator operator-(const_iterator at, difference_type n) { return at -= n; }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
            return static_cast<difference_type>(a.m_index) - static_cast<difference_type>(b.m_index);
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.m_index == b.m_index;
        }
        friend auto operator<=>(const const_iterator& a, const const_iterator& b) {
            return a.m_index <=> b.m_index;
        }

    private:
        friend class TTextLines;
        const_iterator(const TTextLines* lines, std::size_t index) : m_lines(lines), m_index(index) {}
        const TTextLines* m_lines = nullptr;
        std::size_t m_index = 0;
    };
    using iterator = const_iterator;

    TTextLines() = default;
    // Takes the buffer and its lines, which should be views into it; a line
    // that is not is copied in behind the buffer's text. The lines are kept
    // as they are given, not split again.
    TTextLines(std::vector<char> buffer, const std::vector<std::string_view>& lines);
    // A copy would keep views into the original's buffer, so only moving is allowed.
    TTextLines(const TTextLines&) = delete;
    TTextLines& operator=(const TTextLines&) = delete;
    // A moved-from object is left without lines.
    TTextLines(TTextLines&& other) noexcept
        : m_text(std::move(other.m_text)),
          m_starts(std::move(other.m_starts)),
          m_startCount(std::exchange(other.m_startCount, 0)),
          m_wideLines(std::exchange(other.m_wideLines, {})) {}
    TTextLines& operator=(TTextLines&& other) noexcept {
        m_text = std::move(other.m_text);
        m_starts = std::move(other.m_starts);
        m_startCount = std::exchange(other.m_startCount, 0);
        m_wideLines = std::exchange(other.m_wideLines, {});
        return *this;
    }

    std::size_t size() const { return m_startCount == 0 ? m_wideLines.size() : m_startCount - 1; }
    bool empty() const { return size() == 0; }
    std::string_view operator[](std::size_t i) const {
        if (m_startCount == 0) {
            return m_wideLines[i];
        }
        const char* const text = m_text.data();
        const std::size_t start = starts()[i];
        std::size_t stop = starts()[i + 1];
        // A line holds no CR or LF, so what precedes the next start is the
        // break: LF, CR or CR LF.
        if (stop > start && text[stop - 1] == '\n') {
            --stop;
        }
        if (stop > start && text[stop - 1] == '\r') {
            --stop;
        }
        return std::string_view(text + start, stop - start);
    }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size()); }

private:
    friend TTextLines ReadTextLines(const std::string& path);
    // Takes a text of size bytes and splits it into lines.
    TTextLines(TMemoryBlock text, std::size_t size);
    void addStart(std::size_t offset, std::size_t textSize);
    const std::uint32_t* starts() const { return reinterpret_cast<const std::uint32_t*>(m_starts.data()); }

    TMemoryBlock m_text;
    // The start of every line, then the end of the text (m_startCount entries);
    // none when there are no lines or when m_wideLines holds them.
    TMemoryBlock m_starts;
    std::size_t m_startCount = 0;
    // The lines of a text of 4 GiB or more, or as they were given.
    std::vector<std::string_view> m_wideLines;
};

// Splits a text into lines: a line ends at CR, LF or CR LF (one break); after a
// line one CR, then one LF is skipped, so LF CR is two breaks. A NUL byte ends
// the text. A final break adds no empty line; an empty text gives no lines.
std::vector<std::string_view> SplitTextLines(std::string_view text);

// Reads a whole file into lines. Raises EFOpenError
// "Cannot open file "<full path>". <system text>" when the path cannot be read
// as a file (missing, a directory, no permission).
TTextLines ReadTextLines(const std::string& path);

// The longest line ReadFirstTextLines keeps whole.
inline constexpr std::size_t kLongestBoundedLine = 4096;

// Reads the first maxLines lines of a file (all of them when it holds fewer)
// and nothing after them, so a file that is too long for its purpose costs no
// more memory than one that fits: a caller that takes n lines asks for n + 1
// and refuses the file when it gets them. A line longer than
// kLongestBoundedLine bytes is kept as its first kLongestBoundedLine bytes and
// "…", which no number reads. A byte-order mark before the first line is
// skipped. Text in UTF-16 or UTF-32 raises EImportError ("Soubor "%s": soubor
// je v kódování UTF-16; ..."), and a NUL byte within the lines read
// EImportError naming its line, since it would end the text unseen. Raises
// EFOpenError as ReadTextLines does.
TTextLines ReadFirstTextLines(const std::string& path, std::size_t maxLines);

// The same from a reader that skips the byte-order mark, from its next line
// on (a line given again included); path only names the file in a failure.
TTextLines ReadFirstTextLines(TLineReader& reader, std::string_view path, std::size_t maxLines);

}  // namespace morvane
