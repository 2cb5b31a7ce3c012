#include "util/dialogutil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane {
namespace {

TEST(SplitAt, CutsAtTheFirstSeparatorAndTrims) {
    struct TRow {
        const char* Input;
        char Separator;
        const char* Left;
        const char* Right;
    };
    const TRow rows[] = {
        {"a;b;c", ';', "a", "b;c"},
        {" 1,5 ;  2 ", ';', "1,5", "2"},
        {";x", ';', "", "x"},
        {"x;", ';', "x", ""},
        {"  abc  ", ';', "  abc  ", ""},
        {"", ';', "", ""},
        {"\t;\r\n", ';', "", ""},
        {"a ; b ; c ", ';', "a", "b ; c"},
        {"CSV tables (*.csv)|*.csv", '|', "CSV tables (*.csv)", "*.csv"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Input);
        std::string left = "old";
        std::string right = "old";
        SplitAt(row.Input, row.Separator, left, right);
        EXPECT_EQ(left, row.Left);
        EXPECT_EQ(right, row.Right);

        std::string_view leftView = "old";
        std::string_view rightView = "old";
        SplitAtView(row.Input, row.Separator, leftView, rightView);
        EXPECT_EQ(leftView, row.Left);
        EXPECT_EQ(rightView, row.Right);
    }
}

TEST(SplitAt, InputMayBeOneOfTheOutputs) {
    std::string text = " a ; b ";
    std::string right;
    SplitAt(text, ';', text, right);
    EXPECT_EQ(text, "a");
    EXPECT_EQ(right, "b");
}

TEST(DialogConstants, FilterTexts) {
    EXPECT_EQ(CSVFilter, "CSV tables (*.csv)|*.csv");
    EXPECT_EQ(TextFilter, "Text files (*.txt)|*.txt");
    EXPECT_EQ(kSourceFilter, "C++ sources (*.cpp)|*.cpp");
    EXPECT_EQ(ConfirmUnsavedText, "Are you sure? Unsaved work will be lost.");
}

// Records every call in order; the user's answer and the name the user picks are set beforehand.
template <typename Interface>
class TFakeDialog : public Interface {
public:
    void setFilter(const std::string& filter) override { Calls.push_back("filter " + filter); }
    void setDefaultExt(const std::string& extension) override { Calls.push_back("defaultExt " + extension); }
    void setFilterIndex(int index) override { Calls.push_back("filterIndex " + std::to_string(index)); }
    void setFileName(const std::string& name) override {
        Calls.push_back("fileName " + name);
        m_fileName = name;
    }
    bool execute() override {
        Calls.push_back("execute");
        if (!Picked.empty()) {
            m_fileName = Picked;
        }
        return Confirm;
    }
    std::string fileName() const override { return m_fileName; }

    std::vector<std::string> Calls;
    bool Confirm = true;
    std::string Picked;

private:
    std::string m_fileName;
};
using TFakeOpenDialog = TFakeDialog<IOpenDialog>;

TEST(ExecuteOpenDialog, PreparesTheDialogInOrderAndReturnsTheChoice) {
    TFakeOpenDialog dialog;
    dialog.Picked = "/data/run 2.csv";
    EXPECT_EQ(ExecuteOpenDialog(&dialog, CSVFilter, "/data/run 1.csv"), "/data/run 2.csv");
    EXPECT_EQ(dialog.Calls,
              (std::vector<std::string>{"filter CSV tables (*.csv)|*.csv", "defaultExt *.csv",
                                        "filterIndex 1", "fileName /data/run 1.csv", "execute"}));
}

TEST(ExecuteOpenDialog, ConfirmedInitialNameIsReturned) {
    TFakeOpenDialog dialog;
    EXPECT_EQ(ExecuteOpenDialog(&dialog, CSVFilter, "/data/last.csv"), "/data/last.csv");
}

TEST(ExecuteOpenDialog, CancelGivesEmptyTextEvenWithAnInitialName) {
    TFakeOpenDialog dialog;
    dialog.Confirm = false;
    EXPECT_EQ(ExecuteOpenDialog(&dialog, CSVFilter, "/data/last.csv"), "");
    EXPECT_EQ(dialog.Calls.back(), "execute");
}

TEST(ExecuteOpenDialog, SeveralPairsGiveEverythingAfterTheFirstBar) {
    TFakeOpenDialog dialog;
    ExecuteOpenDialog(&dialog, "Texts (*.txt)|*.txt|All files (*)| * ", "");
    EXPECT_EQ(dialog.Calls.at(1), "defaultExt *.txt|All files (*)| *");
    EXPECT_EQ(dialog.Calls.at(3), "fileName ");
}

TEST(ExecuteOpenDialog, NoDialogGivesEmptyText) {
    EXPECT_EQ(ExecuteOpenDialog(nullptr, CSVFilter, "/data/last.csv"), "");
}

// The save dialog is prepared and answered exactly as the open one.
TEST(ExecuteSaveDialog, PreparesLikeTheOpenDialogAndCancelGivesEmptyText) {
    TFakeDialog<ISaveDialog> dialog;
    dialog.Picked = "/data/table.csv";
    EXPECT_EQ(ExecuteSaveDialog(&dialog, CSVFilter, "/data/old.csv"), "/data/table.csv");
    EXPECT_EQ(dialog.Calls, (std::vector<std::string>{"filter CSV tables (*.csv)|*.csv", "defaultExt *.csv",
                                                      "filterIndex 1", "fileName /data/old.csv", "execute"}));
    dialog.Confirm = false;
    EXPECT_EQ(ExecuteSaveDialog(&dialog, CSVFilter, "/data/old.csv"), "");
    EXPECT_EQ(ExecuteSaveDialog(nullptr, CSVFilter, "/data/old.csv"), "");
}

}  // namespace
}  // namespace morvane
