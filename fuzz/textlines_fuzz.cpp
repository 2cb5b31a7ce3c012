// Text files as lines from arbitrary bytes: the split agrees with a plain
// byte-by-byte reading of the line rules, no line holds a break or a NUL, the
// lines account for every byte before the first NUL, and reading the same
// bytes from a file gives the same lines.

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "util/textfile.h"

namespace morvane::fuzz {
namespace {

// The line rules, one byte at a time: a NUL ends the text; a line ends at CR
// or LF; after it one CR, then one LF is skipped.
std::vector<std::string_view> PlainLines(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string_view> lines;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = i;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n') {
            ++i;
        }
        lines.push_back(text.substr(start, i - start));
        if (i < text.size() && text[i] == '\r') {
            ++i;
        }
        if (i < text.size() && text[i] == '\n') {
            ++i;
        }
    }
    return lines;
}

template <typename Lines>
void CheckLines(const Lines& lines, std::string_view text, const char* source) {
    const std::string_view beforeNul = text.substr(0, text.find('\0'));
    std::size_t total = 0;
    for (const std::string_view line : lines) {
        Check(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos,
              "no line holds CR, LF or NUL", source);
        total += line.size();

        const std::string_view trimmed = TrimBlanksView(line);
        Check(trimmed.empty() || (static_cast<unsigned char>(trimmed.front()) > 32 &&
                                  static_cast<unsigned char>(trimmed.back()) > 32),
              "a trimmed line neither starts nor ends with a blank", source);
    }
    std::size_t breaks = 0;
    for (const char c : beforeNul) {
        breaks += c == '\r' || c == '\n' ? 1 : 0;
    }
    Check(total + breaks == beforeNul.size(), "the lines hold every byte before the first NUL but the breaks",
          source);
    Check(lines.size() <= breaks + 1, "no more lines than breaks plus one", source);
}

}  // namespace
}  // namespace morvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    static fuzz::TScratchFile file;
    const std::string_view text = fuzz::AsText(data, size);

    const std::vector<std::string_view> lines = SplitTextLines(text);
    fuzz::CheckLines(lines, text, "SplitTextLines");
    const std::vector<std::string_view> plain = fuzz::PlainLines(text);
    fuzz::Check(lines == plain, "SplitTextLines agrees with the byte-by-byte line rules");
    for (const std::string_view line : lines) {
        fuzz::Check(
            line.empty() || (line.data() >= text.data() && line.data() + line.size() <= text.data() + size),
            "every line is a view into the text");
    }

    const TTextLines read = ReadTextLines(file.write(text));
    fuzz::CheckLines(read, text, "ReadTextLines");
    fuzz::Check(std::equal(read.begin(), read.end(), lines.begin(), lines.end()),
                "ReadTextLines gives the lines SplitTextLines gives");
    return 0;
}
