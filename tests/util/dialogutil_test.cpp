#include "util/dialogutil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane {
namespace {

TEST(SplitAt, CutsAtTheFirstSeparatorAndTrims) {
    struct Row {
        const char* input;
        char separator;
        const char* left;
        const char* right;
    };
    const Row rows[] = {
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
    for (const Row& row : rows) {
        SCOPED_TRACE(row.input);
        std::string left = "old";
        std::string right = "old";
        SplitAt(row.input, row.separator, left, right);
        EXPECT_EQ(left, row.left);
        EXPECT_EQ(right, row.right);

        std::string_view leftView = "old";
        std::string_view rightView = "old";
        SplitAtView(row.input, row.separator, leftView, rightView);
        EXPECT_EQ(leftView, row.left);
        EXPECT_EQ(rightView, row.right);
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
    EXPECT_EQ(SourceFilter, "C++ sources (*.cpp)|*.cpp");
    EXPECT_EQ(ConfirmUnsavedText, "Are you sure? Unsaved work will be lost.");
}

// Records every call in order; the user's answer and the name the user picks are set beforehand.
template <typename Interface>
class TFakeDialog : public Interface {
public:
    void setFilter(const std::string& filter) override { calls.push_back("filter " + filter); }
    void setDefaultExt(const std::string& extension) override { calls.push_back("defaultExt " + extension); }
    void setFilterIndex(int index) override { calls.push_back("filterIndex " + std::to_string(index)); }
    void setFileName(const std::string& name) override {
        calls.push_back("fileName " + name);
        m_fileName = name;
    }
    bool execute() override {
        calls.push_back("execute");
        if (!picked.empty()) {
            m_fileName = picked;
        }
        return confirm;
    }
    std::string fileName() const override { return m_fileName; }

    std::vector<std::string> calls;
    bool confirm = true;
    std::string picked;

private:
    std::string m_fileName;
};
using TFakeOpenDialog = TFakeDialog<IOpenDialog>;

TEST(ExecuteOpenDialog, PreparesTheDialogInOrderAndReturnsTheChoice) {
    TFakeOpenDialog dialog;
    dialog.picked = "/data/run 2.csv";
    EXPECT_EQ(ExecuteOpenDialog(&dialog, CSVFilter, "/data/run 1.csv"), "/data/run 2.csv");
    EXPECT_EQ(dialog.calls,
              (std::vector<std::string>{"filter CSV tables (*.csv)|*.csv", "defaultExt *.csv",
                                        "filterIndex 1", "fileName /data/run 1.csv", "execute"}));
}

TEST(ExecuteOpenDialog, ConfirmedInitialNameIsReturned) {
    TFakeOpenDialog dialog;
    EXPECT_EQ(ExecuteOpenDialog(&dialog, CSVFilter, "/data/last.csv"), "/data/last.csv");
}

TEST(ExecuteOpenDialog, CancelGivesEmptyTextEvenWithAnInitialName) {
    TFakeOpenDialog dialog;
    dialog.confirm = false;
    EXPECT_EQ(ExecuteOpenDialog(&dialog, CSVFilter, "/data/last.csv"), "");
    EXPECT_EQ(dialog.calls.back(), "execute");
}

TEST(ExecuteOpenDialog, SeveralPairsGiveEverythingAfterTheFirstBar) {
    TFakeOpenDialog dialog;
    ExecuteOpenDialog(&dialog, "Texts (*.txt)|*.txt|All files (*)| * ", "");
    EXPECT_EQ(dialog.calls.at(1), "defaultExt *.txt|All files (*)| *");
    EXPECT_EQ(dialog.calls.at(3), "fileName ");
}

TEST(ExecuteOpenDialog, NoDialogGivesEmptyText) {
    EXPECT_EQ(ExecuteOpenDialog(nullptr, CSVFilter, "/data/last.csv"), "");
}

// The save dialog is prepared and answered exactly as the open one.
TEST(ExecuteSaveDialog, PreparesLikeTheOpenDialogAndCancelGivesEmptyText) {
    TFakeDialog<ISaveDialog> dialog;
    dialog.picked = "/data/table.csv";
    EXPECT_EQ(ExecuteSaveDialog(&dialog, CSVFilter, "/data/old.csv"), "/data/table.csv");
    EXPECT_EQ(dialog.calls, (std::vector<std::string>{"filter CSV tables (*.csv)|*.csv", "defaultExt *.csv",
                                                      "filterIndex 1", "fileName /data/old.csv", "execute"}));
    dialog.confirm = false;
    EXPECT_EQ(ExecuteSaveDialog(&dialog, CSVFilter, "/data/old.csv"), "");
    EXPECT_EQ(ExecuteSaveDialog(nullptr, CSVFilter, "/data/old.csv"), "");
}

}  // namespace
}  // namespace morvane
