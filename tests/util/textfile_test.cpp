#include "util/textfile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "tests/support/SharedData.h"
#include "tests/support/TempDirTest.h"
#include "util/errors.h"
#include "util/messages.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

class TextFileTest : public testing::TTempDirTest {
protected:
    static std::string openMessage(const fs::path& fullPath, const std::string& reason) {
        return "Cannot open file \"" + fullPath.string() + "\". " + reason;
    }
};

std::vector<std::string> ToStrings(const std::vector<std::string_view>& views) {
    return std::vector<std::string>(views.begin(), views.end());
}

std::vector<std::string> ToStrings(const TTextLines& lines) {
    return std::vector<std::string>(lines.begin(), lines.end());
}

struct TLineCase {
    const char* Name;
    std::string Bytes;
    std::vector<std::string> Lines;
};

class LineBreakTest : public TextFileTest, public ::testing::WithParamInterface<TLineCase> {};

TEST_P(LineBreakTest, SplitsTextAndFileAlike) {
    const TLineCase& row = GetParam();
    EXPECT_EQ(ToStrings(SplitTextLines(row.Bytes)), row.Lines);
    EXPECT_EQ(ToStrings(ReadTextLines(writeFile("lines.txt", row.Bytes))), row.Lines);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Breaks, LineBreakTest,
    ::testing::Values(TLineCase{"CrLf", "a\r\nb", {"a", "b"}},
                      TLineCase{"CrLfAtEnd", "a\r\nb\r\n", {"a", "b"}}, TLineCase{"Lf", "a\nb", {"a", "b"}},
                      TLineCase{"Cr", "a\rb", {"a", "b"}},
                      TLineCase{"LfCrIsTwoBreaks", "a\n\rb", {"a", "", "b"}},
                      TLineCase{"CrLfCrLf", "a\r\n\r\nb", {"a", "", "b"}},
                      TLineCase{"CrCr", "a\r\rb", {"a", "", "b"}},
                      TLineCase{"EmptyLinesInside", "a\n\n\nb", {"a", "", "", "b"}},
                      TLineCase{"LfCrAtEnd", "a\n\r", {"a", ""}}, TLineCase{"OnlyABreak", "\r\n", {""}},
                      TLineCase{"EmptyFile", "", {}}, TLineCase{"NulEndsText", "a\0b"s, {"a"}},
                      TLineCase{"NulAfterBreak", "a\r\n\0b\r\n"s, {"a"}}, TLineCase{"NulFirst", "\0a"s, {}},
                      TLineCase{"BomKept",
                                "\xEF\xBB\xBF"
                                "a\nb",
                                {"\xEF\xBB\xBF"
                                 "a",
                                 "b"}},
                      TLineCase{"BlanksKept", " a\t \n\tb ", {" a\t ", "\tb "}},
                      TLineCase{"HighBytesKept", "v\xE1lec\n\xA0", {"v\xE1lec", "\xA0"}}),
    [](const ::testing::TestParamInfo<TLineCase>& row) { return std::string(row.param.Name); });

// The line rules written plainly, one byte at a time: the splitter must give
// the same lines for any text, wherever its breaks fall against the blocks it
// scans at once.
std::vector<std::string> ReferenceLines(std::string text) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t j = i;
        while (j < text.size() && text[j] != '\r' && text[j] != '\n') {
            ++j;
        }
        lines.push_back(text.substr(i, j - i));
        if (j < text.size() && text[j] == '\r') {
            ++j;
        }
        if (j < text.size() && text[j] == '\n') {
            ++j;
        }
        i = j;
    }
    return lines;
}

TEST_F(TextFileTest, RandomTextsSplitAsTheLineRulesSay) {
    std::mt19937 random(1441);
    // Breaks are frequent, NUL bytes rare, so most texts run to their end.
    const char alphabet[] = "ab;\r\r\n\n\n";
    std::uniform_int_distribution<std::size_t> letter(0, sizeof alphabet - 2);
    std::uniform_int_distribution<int> nul(0, 199);
    for (int i = 0; i < 3000; ++i) {
        const std::size_t length = i < 2900 ? static_cast<std::size_t>(i % 70) : 20000 + i;
        std::string text;
        for (std::size_t n = 0; n < length; ++n) {
            text += nul(random) == 0 ? '\0' : alphabet[letter(random)];
        }
        const std::vector<std::string> expected = ReferenceLines(text);
        ASSERT_EQ(ToStrings(SplitTextLines(text)), expected) << "case " << i;
        if (i % 20 == 0 || length > 70) {
            ASSERT_EQ(ToStrings(ReadTextLines(writeFile("random.txt", text))), expected) << "case " << i;
        }
    }
}

TEST_F(TextFileTest, ManyShortLinesFromAFile) {
    // Empty lines are the densest text; the table grows as it goes.
    const std::string text = std::string(100000, '\n') + "last";
    TTextLines lines = ReadTextLines(writeFile("dense.txt", text));
    ASSERT_EQ(lines.size(), 100001u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[99999], "");
    EXPECT_EQ(lines[100000], "last");
}

TEST_F(TextFileTest, LineCountsAtEveryTableSizeFromAFile) {
    // The table keeps one entry beyond the lines for the end of the text; a
    // count that fills a block exactly once wrote it past the block's end
    // (1025 lines, and the fuzzer's 2883-line angle file).
    std::string text;
    for (std::size_t count = 1; count <= 3000; ++count) {
        text += "1;1\n";
        TTextLines lines = ReadTextLines(writeFile("counted.csv", text));
        ASSERT_EQ(lines.size(), count);
        ASSERT_EQ(lines[count - 1], "1;1");
    }
}

TEST_F(TextFileTest, LargeFileKeepsItsLinesWhenMoved) {
    // Megabytes of text and of line table, the sizes held in blocks of their own.
    constexpr int kLineCount = 600000;
    std::string text;
    for (int i = 0; i < kLineCount; ++i) {
        text += std::to_string(i) + (i % 2 == 0 ? "\r\n" : "\n");
    }
    TTextLines read = ReadTextLines(writeFile("large.txt", text));
    const TTextLines lines = std::move(read);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kLineCount));
    for (int i : {0, 1, 299999, 300000, kLineCount - 1}) {
        EXPECT_EQ(lines[static_cast<std::size_t>(i)], std::to_string(i));
    }
    EXPECT_TRUE(read.empty());
}

TEST(TextLines, TakesABufferWithItsLines) {
    std::vector<char> buffer{'o', 'n', 'e', '\n', 't', 'w', 'o'};
    const std::string elsewhere = "three";
    std::vector<std::string_view> views{std::string_view(buffer.data(), 3),
                                        std::string_view(buffer.data() + 4, 3), elsewhere,
                                        std::string_view()};
    const TTextLines lines(std::move(buffer), views);
    EXPECT_EQ(ToStrings(lines), (std::vector<std::string>{"one", "two", "three", ""}));
}

TEST(TextLines, IteratorWalksBothWays) {
    std::vector<char> buffer{'a', '\n', 'b', '\n', 'c'};
    const auto views = SplitTextLines(std::string_view(buffer.data(), buffer.size()));
    const TTextLines lines(std::move(buffer), views);
    EXPECT_EQ(lines.end() - lines.begin(), 3);
    EXPECT_EQ(*(lines.end() - 1), "c");
    EXPECT_EQ(lines.begin()[1], "b");
    EXPECT_EQ(std::vector<std::string>(std::make_reverse_iterator(lines.end()),
                                       std::make_reverse_iterator(lines.begin())),
              (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_TRUE(TTextLines().empty());
    EXPECT_EQ(TTextLines().begin(), TTextLines().end());
}

TEST(TrimBlanks, RemovesCodesUpTo32AtBothEnds) {
    struct TRow {
        const char* Name;
        std::string Input;
        std::string Expected;
    };
    const TRow rows[] = {
        {"spaces and breaks", "  a b\t\r\n", "a b"},
        {"single space", " ", ""},
        {"empty", "", ""},
        {"control characters", "\x01\x1Fx\x7F\x1F", "x\x7F"},
        {"NUL bytes", "\0a\0"s, "a"},
        {"no-break space kept", "\xA0x\xA0", "\xA0x\xA0"},
        {"inner blanks kept", "a \t b", "a \t b"},
        {"nothing to trim", "a", "a"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(TrimBlanks(row.Input), row.Expected);
        EXPECT_EQ(TrimBlanksView(row.Input), row.Expected);
    }
}

TEST_F(TextFileTest, LinesStayValidWhenMoved) {
    static_assert(!std::is_copy_constructible_v<TTextLines>, "a copy would share the original's buffer");
    TTextLines first = ReadTextLines(writeFile("moved.txt", "one\r\ntwo\r\n"));
    TTextLines second = std::move(first);
    TTextLines third;
    third = std::move(second);
    EXPECT_EQ(ToStrings(third), (std::vector<std::string>{"one", "two"}));
}

// The read end of a pipe as a path, fed by a thread: like /dev/stdin with data.
class TFedPipe {
public:
    explicit TFedPipe(std::string text) {
        EXPECT_EQ(::pipe(m_fds), 0);
        m_writer = std::thread([this, text = std::move(text)] {
            for (std::size_t done = 0; done < text.size();) {
                const ssize_t wrote = ::write(m_fds[1], text.data() + done, text.size() - done);
                if (wrote <= 0) {
                    break;
                }
                done += static_cast<std::size_t>(wrote);
            }
            ::close(m_fds[1]);
        });
    }
    ~TFedPipe() {
        drain();
        m_writer.join();
        ::close(m_fds[0]);
    }
    std::string path() const { return "/dev/fd/" + std::to_string(m_fds[0]); }
    // Reads what the reader under test left; returns how many bytes that was.
    std::size_t drain() {
        std::size_t left = 0;
        char chunk[65536];
        for (ssize_t got = 0; (got = ::read(m_fds[0], chunk, sizeof chunk)) > 0;) {
            left += static_cast<std::size_t>(got);
        }
        return left;
    }

private:
    int m_fds[2] = {-1, -1};
    std::thread m_writer;
};

TEST_F(TextFileTest, ReadsMoreThanOneBufferFromAPipe) {
    // A pipe has no size in advance, so the reader must grow its buffer.
    constexpr int kLineCount = 30000;
    std::string text;
    for (int i = 0; i < kLineCount; ++i) {
        text += std::to_string(i) + ";value\r\n";
    }
    TFedPipe pipe(text);
    TTextLines lines = ReadTextLines(pipe.path());
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kLineCount));
    EXPECT_EQ(lines[0], "0;value");
    EXPECT_EQ(lines[kLineCount - 1], std::to_string(kLineCount - 1) + ";value");
}

std::vector<std::string> ReadAllLines(TLineReader& reader) {
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line)) {
        lines.emplace_back(reader.lineCut() ? "<cut " + std::to_string(line.size()) + ">"
                                            : std::string(line));
    }
    return lines;
}

// The same, every line that waits in the buffer taken in place.
std::vector<std::string> ReadAllLinesInPlace(TLineReader& reader) {
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line)) {
        lines.emplace_back(reader.lineCut() ? "<cut " + std::to_string(line.size()) + ">"
                                            : std::string(line));
        reader.takeWaitingLines([&](std::string_view waiting) {
            lines.emplace_back(waiting);
            return true;
        });
    }
    return lines;
}

// Breaks and NUL bytes placed on both sides of a buffer boundary give the
// lines the whole-text split gives; a line beyond the buffer comes cut.
TEST_F(TextFileTest, LineReaderGivesTheLinesOfTheWholeText) {
    const std::size_t edge = TLineReader::kBufferSize;
    struct TRow {
        std::string Text;
        std::vector<std::string> Expected;  // empty: as SplitTextLines
    };
    const std::string filler(edge - 3, 'x');
    const std::vector<TRow> rows = {
        {"a\r\nb\rc\n\rd\n", {}},
        {"\xEF\xBB\xBF\r\nb", {"", "b"}},  // the mark skipped
        {filler + "a\r\nb", {}},           // CR at the last byte of the buffer, LF in the next
        {filler + "ab\r\nc", {}},
        {filler + "\r\r\n\n", {}},
        {filler + "a\0b\nc", {}},
        {std::string(2 * edge + 5, 'y') + "\r\nz\n", {"<cut " + std::to_string(edge) + ">", "z"}},
        {"h\n" + std::string(edge, 'y') + "\0rest", {"h", "<cut " + std::to_string(edge) + ">"}},
        {std::string("a\nb\nc\0d\n", 9), {}},  // a NUL after lines that wait in the buffer
        {[] {                                  // short lines of every break across three buffers
             std::string text;
             for (int i = 0; text.size() < 3 * TLineReader::kBufferSize; ++i) {
                 text += std::to_string(i) + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
             }
             return text;
         }(),
         {}},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::vector<std::string> expected = rows[i].Expected;
        if (expected.empty()) {
            for (std::string_view line : SplitTextLines(rows[i].Text)) {
                expected.emplace_back(line);
            }
        }
        TLineReader reader(writeFile("r.txt", rows[i].Text));
        EXPECT_EQ(ReadAllLines(reader), expected) << "row " << i;
        ASSERT_TRUE(reader.rereadable());
        reader.rewind();
        EXPECT_EQ(ReadAllLines(reader), expected) << "row " << i << " read again";
        reader.rewind();
        EXPECT_EQ(ReadAllLinesInPlace(reader), expected) << "row " << i << " taken in place";
    }
    TLineReader keeping(writeFile("kept.txt",
                                  "\xEF\xBB\xBF"
                                  "a"),
                        TByteOrderMark::Keep);
    EXPECT_EQ(ReadAllLines(keeping), (std::vector<std::string>{"\xEF\xBB\xBF"
                                                               "a"}));
}

TEST_F(TextFileTest, ReadFirstTextLinesStopsAtTheLimit) {
    const std::string longLine(kLongestBoundedLine + 1, '7');
    struct TRow {
        std::string Text;
        std::size_t MaxLines;
        std::vector<std::string> Expected;
    };
    const std::vector<TRow> rows = {
        {"1\n2\n3\n", 2, {"1", "2"}},
        {"1\n2\n3", 5, {"1", "2", "3"}},
        {"\xEF\xBB\xBF"
         "1\r\n2\r\n",
         5,
         {"1", "2"}},
        {"", 5, {}},
        {longLine + "\n2", 5, {longLine.substr(0, kLongestBoundedLine) + "…", "2"}},
    };
    for (const TRow& row : rows) {
        EXPECT_EQ(ToStrings(ReadFirstTextLines(writeFile("first.txt", row.Text), row.MaxLines)), row.Expected)
            << row.Text.substr(0, 20);
    }
    // A UTF-16 file would read as empty: it is refused, in either byte order.
    for (const std::string& text : {"\xFF\xFE"
                                    "1\0\n\0"s,
                                    "\xFE\xFF"
                                    "\0"
                                    "1\0\n"s}) {
        const std::string path = writeFile("utf16.txt", text);
        EXPECT_THROW(ReadFirstTextLines(path, 5), EImportError);
    }
}

// A NUL byte would end the text unseen; UTF-16 and UTF-32 text would read as
// nothing, or as their first character.
TEST_F(TextFileTest, ReadFirstTextLinesRefusesWhatItWouldReadWrong) {
    const struct {
        std::string Text;
        std::string Problem;
    } rows[] = {
        {"1\n2\0"
         "3\n4\n"s,
         ", řádek 2: obsahuje nulový bajt, soubor není text"},
        {"1\n\0"
         "2\n"s,
         ", řádek 2: obsahuje nulový bajt, soubor není text"},
        {"\0"s, ", řádek 1: obsahuje nulový bajt, soubor není text"},
        {"1\0\n\0"s, "\": soubor je v kódování UTF-16; uložte jej jako text v UTF-8"},
        {"\0"
         "1\0\n"s,
         "\": soubor je v kódování UTF-16; uložte jej jako text v UTF-8"},
        {"\xFF\xFE\0\0"
         "1\0\0\0"s,
         "\": soubor je v kódování UTF-32; uložte jej jako text v UTF-8"},
        {"1\0\0\0\n\0\0\0"s, "\": soubor je v kódování UTF-32; uložte jej jako text v UTF-8"},
    };
    for (const auto& row : rows) {
        const std::string path = writeFile("nul.txt", row.Text);
        try {
            ReadFirstTextLines(path, 5);
            ADD_FAILURE() << "no failure: " << row.Problem;
        } catch (const EImportError& failure) {
            const std::string name = row.Problem.front() == ',' ? path + "\"" : path;
            EXPECT_EQ(failure.what(), "Soubor \"" + name + row.Problem);
        }
    }
    // Beyond the lines asked for, nothing is read, nor refused.
    EXPECT_EQ(ReadFirstTextLines(writeFile("nul.txt", "1\n2\n\0"s), 2).size(), 2u);
}

// A source of any length costs one buffer: what lies beyond is never read.
TEST_F(TextFileTest, ReadFirstTextLinesLeavesTheRestUnread) {
    std::string text;
    while (text.size() < 4 * TLineReader::kBufferSize) {
        text += "1,5\n";
    }
    TFedPipe pipe(text);
    EXPECT_EQ(ReadFirstTextLines(pipe.path(), 1442).size(), 1442u);
    EXPECT_GT(pipe.drain(), 2 * TLineReader::kBufferSize);
}

// Inputs that once hung or ate all memory: each ends at once with few lines.
// A FIFO waits for its writer, however late it comes, and reads what it wrote
// (read at once, it passed for an empty file).
TEST_F(TextFileTest, HostileInputsEndQuickly) {
    const fs::path fifo = m_dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread lateWriter([&fifo] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
        EXPECT_EQ(::write(fd, "1\n2\n", 4), 4);
        ::close(fd);
    });
    TLineReader fed(fifo.string());
    EXPECT_EQ(ReadAllLines(fed), (std::vector<std::string>{"1", "2"}));
    lateWriter.join();
    for (const std::string& path : {std::string("/dev/zero"), std::string("/dev/urandom")}) {
        TLineReader reader(path);
        EXPECT_FALSE(reader.rereadable()) << path;
        EXPECT_LE(ReadAllLines(reader).size(), 1000u) << path;
        EXPECT_LE(ReadTextLines(path).size(), 1000u) << path;
    }
    TFedPipe pipe("1\n2\n");
    TLineReader reader(pipe.path());
    EXPECT_EQ(ReadAllLines(reader), (std::vector<std::string>{"1", "2"}));
}

TEST_F(TextFileTest, MissingFileNamesTheFullPathAndTheCause) {
    const fs::path path = m_dir / "missing.csv";
    try {
        ReadTextLines(path.string());
        FAIL() << "no failure";
    } catch (const EFOpenError& failure) {
        EXPECT_STREQ(failure.what(), openMessage(path, "No such file or directory").c_str());
        // The error box ends the message with a full stop.
        EXPECT_EQ(ErrorBoxText(failure.what()), openMessage(path, "No such file or directory") + ".");
    }
}

TEST_F(TextFileTest, RelativePathIsShownAbsoluteAndNormal) {
    const std::string relative = "no-such-folder/../no-such-file.csv";
    const fs::path expected = fs::current_path() / "no-such-file.csv";
    try {
        ReadTextLines(relative);
        FAIL() << "no failure";
    } catch (const EFOpenError& failure) {
        EXPECT_STREQ(failure.what(), openMessage(expected, "No such file or directory").c_str());
    }
}

TEST_F(TextFileTest, DirectoryIsNotAFile) {
    try {
        ReadTextLines(m_dir.string());
        FAIL() << "no failure";
    } catch (const EFOpenError& failure) {
        EXPECT_STREQ(failure.what(), openMessage(m_dir, "Is a directory").c_str());
    }
}

TEST_F(TextFileTest, UnreadableFileFails) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    const std::string path = writeFile("locked.csv", "a\n");
    fs::permissions(path, fs::perms::none);
    try {
        ReadTextLines(path);
        FAIL() << "no failure";
    } catch (const EFOpenError& failure) {
        EXPECT_STREQ(failure.what(), openMessage(path, "Permission denied").c_str());
    }
}

TEST(TextFileRealData, ReadsTheAngleBenchFile) {
    const fs::path path = testing::SharedDataFile("bench-engine-angle.csv");
    if (const std::string missing = testing::MissingSharedData(path); !missing.empty()) {
        GTEST_SKIP() << missing;
    }
    TTextLines lines = ReadTextLines(path.string());
    ASSERT_EQ(lines.size(), 50001u);
    EXPECT_EQ(lines[0], "Encoder [V];Cylinder pressure sensor [V]");
    EXPECT_EQ(lines[1], "3,423876E+0;1,936449E+0");
    EXPECT_EQ(lines[2], "3,314670E+0;1,932502E+0");
    EXPECT_EQ(lines[50000], "3,556106E+0;1,703567E+0");
    for (std::string_view line : lines) {
        ASSERT_EQ(line.find_first_of("\r\n"), std::string_view::npos);
    }
}

}  // namespace
}  // namespace morvane
