#include "util/textfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "util/errors.h"
#include "util/messages.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
class TextFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        m_dir = fs::temp_directory_path() / ("morvane-textfile-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_dir, ignored);
    }

    std::string writeFile(const std::string& name, const std::string& bytes) {
        fs::path path = m_dir / name;
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    static std::string openMessage(const fs::path& fullPath, const std::string& reason) {
        return "Cannot open file \"" + fullPath.string() + "\". " + reason;
    }

    fs::path m_dir;
};

std::vector<std::string> ToStrings(const std::vector<std::string_view>& views) {
    return std::vector<std::string>(views.begin(), views.end());
}

std::vector<std::string> ToStrings(const TTextLines& lines) {
    return std::vector<std::string>(lines.begin(), lines.end());
}

struct LineCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

class LineBreakTest : public TextFileTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineBreakTest, SplitsTextAndFileAlike) {
    const LineCase& row = GetParam();
    EXPECT_EQ(ToStrings(SplitTextLines(row.bytes)), row.lines);
    EXPECT_EQ(ToStrings(ReadTextLines(writeFile("lines.txt", row.bytes))), row.lines);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Breaks, LineBreakTest,
    ::testing::Values(LineCase{"CrLf", "a\r\nb", {"a", "b"}}, LineCase{"CrLfAtEnd", "a\r\nb\r\n", {"a", "b"}},
                      LineCase{"Lf", "a\nb", {"a", "b"}}, LineCase{"Cr", "a\rb", {"a", "b"}},
                      LineCase{"LfCrIsTwoBreaks", "a\n\rb", {"a", "", "b"}},
                      LineCase{"CrLfCrLf", "a\r\n\r\nb", {"a", "", "b"}},
                      LineCase{"CrCr", "a\r\rb", {"a", "", "b"}},
                      LineCase{"EmptyLinesInside", "a\n\n\nb", {"a", "", "", "b"}},
                      LineCase{"LfCrAtEnd", "a\n\r", {"a", ""}}, LineCase{"OnlyABreak", "\r\n", {""}},
                      LineCase{"EmptyFile", "", {}}, LineCase{"NulEndsText", "a\0b"s, {"a"}},
                      LineCase{"NulAfterBreak", "a\r\n\0b\r\n"s, {"a"}}, LineCase{"NulFirst", "\0a"s, {}},
                      LineCase{"BomKept",
                               "\xEF\xBB\xBF"
                               "a\nb",
                               {"\xEF\xBB\xBF"
                                "a",
                                "b"}},
                      LineCase{"BlanksKept", " a\t \n\tb ", {" a\t ", "\tb "}},
                      LineCase{"HighBytesKept", "v\xE1lec\n\xA0", {"v\xE1lec", "\xA0"}}),
    [](const ::testing::TestParamInfo<LineCase>& row) { return std::string(row.param.name); });

TEST(TrimBlanks, RemovesCodesUpTo32AtBothEnds) {
    struct Row {
        const char* name;
        std::string input;
        std::string expected;
    };
    const Row rows[] = {
        {"spaces and breaks", "  a b\t\r\n", "a b"},
        {"single space", " ", ""},
        {"empty", "", ""},
        {"control characters", "\x01\x1Fx\x7F\x1F", "x\x7F"},
        {"NUL bytes", "\0a\0"s, "a"},
        {"no-break space kept", "\xA0x\xA0", "\xA0x\xA0"},
        {"inner blanks kept", "a \t b", "a \t b"},
        {"nothing to trim", "a", "a"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(TrimBlanks(row.input), row.expected);
        EXPECT_EQ(TrimBlanksView(row.input), row.expected);
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

TEST_F(TextFileTest, ReadsMoreThanOneBufferFromAPipe) {
    // A FIFO has no size in advance, so the reader must grow its buffer.
    const fs::path fifo = m_dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    constexpr int lineCount = 30000;
    std::thread writer([&fifo] {
        std::ofstream out(fifo, std::ios::binary);
        for (int i = 0; i < lineCount; ++i) {
            out << i << ";value\r\n";
        }
    });
    TTextLines lines = ReadTextLines(fifo.string());
    writer.join();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(lineCount));
    EXPECT_EQ(lines[0], "0;value");
    EXPECT_EQ(lines[lineCount - 1], std::to_string(lineCount - 1) + ";value");
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
    const fs::path path = fs::path(MORVANE_SHARED_DATA_DIR) / "bench-engine-angle.csv";
    if (!fs::exists(path)) {
        GTEST_SKIP() << path << " is absent";
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
