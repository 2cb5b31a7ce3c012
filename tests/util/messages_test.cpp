#include "util/messages.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace morvane {
namespace {

TEST(ErrorBoxText, FullStopOnlyAfterCharactersAboveTheStop) {
    struct TRow {
        const char* Message;
        const char* Shown;
    };
    const TRow rows[] = {
        {"'abc' is not a valid floating point value", "'abc' is not a valid floating point value."},
        {"List index out of bounds (4)", "List index out of bounds (4)"},
        {"Cannot open file \"/a.csv\". Is a directory", "Cannot open file \"/a.csv\". Is a directory."},
        {"count 5", "count 5."},
        {"ends in a slash/", "ends in a slash/."},
        {"vlákno zavírá", "vlákno zavírá."},
        {"ends in a quote \"", "ends in a quote \""},
        {"ends in an apostrophe '", "ends in an apostrophe '"},
        {"already stopped.", "already stopped."},
        {"trailing space ", "trailing space "},
        {"exclaimed!", "exclaimed!"},
        {"comma,", "comma,"},
        {"dash-", "dash-"},
        {"", ""},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Message);
        EXPECT_EQ(ErrorBoxText(row.Message), row.Shown);
    }
}

TEST(ApplicationTitle, FileNameWithoutFolderAndExtension) {
    struct TRow {
        const char* Path;
        const char* Title;
    };
    const TRow rows[] = {
        {"/usr/bin/Morvane", "Morvane"},       {"MORVANE.EXE", "Morvane"},
        {"morvane-cli", "morvane-cli"},        {"C:\\Tools\\MORVANE.EXE", "Morvane"},
        {"./build/morvane.tar.gz", "morvane"}, {"", ""},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Path);
        EXPECT_EQ(ApplicationTitle(row.Path), row.Title);
    }
}

class TRecordingBoxes : public IMessageBoxes {
public:
    void ShowInfo(const std::string& text) override { Shown.push_back("info " + text); }
    void ShowErrorBox(const std::string& text) override { Shown.push_back("error " + text); }
    std::vector<std::string> Shown;
};

TEST(RunGuarded, FailureEndsTheCommandAndShowsItsMessage) {
    TRecordingBoxes boxes;
    int stepsRun = 0;
    bool completed = RunGuarded(boxes, [&] {
        ++stepsRun;
        RaiseFloatConvertError("1.5");
        ++stepsRun;
    });
    EXPECT_FALSE(completed);
    EXPECT_EQ(stepsRun, 1);
    EXPECT_EQ(boxes.Shown, (std::vector<std::string>{"error '1.5' is not a valid floating point value."}));
}

TEST(RunGuarded, CompletedCommandShowsNothing) {
    TRecordingBoxes boxes;
    EXPECT_TRUE(RunGuarded(boxes, [] {}));
    EXPECT_TRUE(boxes.Shown.empty());
}

TEST(RunGuarded, OtherExceptionsAreShownToo) {
    TRecordingBoxes boxes;
    EXPECT_FALSE(RunGuarded(boxes, [] { throw std::runtime_error("broken"); }));
    EXPECT_EQ(boxes.Shown, (std::vector<std::string>{"error broken."}));
}

TEST(RunGuarded, OutOfMemoryIsShownInWords) {
    TRecordingBoxes boxes;
    EXPECT_FALSE(RunGuarded(boxes, [] { throw std::bad_alloc(); }));
    EXPECT_EQ(boxes.Shown, (std::vector<std::string>{"error Out of memory."}));
}

}  // namespace
}  // namespace morvane
