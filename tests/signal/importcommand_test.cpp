#include "signal/import/ImportCommand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "signal/Signal.h"
#include "signal_test_support.h"
#include "util/errors.h"

namespace morvane {
namespace {

using testing::PreviousSignal;

// An open dialog whose user either cancels or picks one prepared path.
class TFakeOpenDialog : public IOpenDialog {
public:
    explicit TFakeOpenDialog(std::string choice) : m_choice(std::move(choice)) {}

    void setFilter(const std::string& text) override { Filter = text; }
    void setDefaultExt(const std::string&) override {}
    void setFilterIndex(int) override {}
    void setFileName(const std::string& name) override { m_fileName = name; }
    bool execute() override {
        InitialName = m_fileName;
        ++Runs;
        if (m_choice.empty()) {
            return false;
        }
        m_fileName = m_choice;
        return true;
    }
    std::string fileName() const override { return m_fileName; }

    std::string Filter;
    std::string InitialName;
    int Runs = 0;

private:
    std::string m_choice;  // empty: the user cancels
    std::string m_fileName;
};

class ImportCommandTest : public testing::SignalImportTest {
protected:
    std::function<void()> countingRedraw() {
        return [this] { ++m_redraws; };
    }

    int m_redraws = 0;
};

TEST_F(ImportCommandTest, CancelChangesNothing) {
    m_signal = PreviousSignal();
    m_lastImportFile = "/data/earlier.csv";
    TFakeOpenDialog dialog("");
    RunAngleImportCommand(&dialog, m_boxes, target(), countingRedraw());

    EXPECT_EQ(dialog.Runs, 1);
    EXPECT_EQ(dialog.Filter, "CSV tables (*.csv)|*.csv");
    EXPECT_EQ(dialog.InitialName, "/data/earlier.csv");
    EXPECT_EQ(m_lastImportFile, "/data/earlier.csv");
    EXPECT_EQ(m_signal, PreviousSignal());
    EXPECT_EQ(m_redraws, 0);
    EXPECT_TRUE(m_boxes.Infos.empty());
}

TEST_F(ImportCommandTest, NoDialogChangesNothing) {
    m_lastImportFile = "/data/earlier.csv";
    RunTimeImportCommand(nullptr, m_boxes, target(), countingRedraw());
    EXPECT_EQ(m_lastImportFile, "/data/earlier.csv");
    EXPECT_EQ(m_redraws, 0);
}

struct TCommandCase {
    const char* Name;
    TImportKind Kind;
    std::string Content;
    std::string Summary;
};

class ImportCommandKindTest : public ImportCommandTest, public ::testing::WithParamInterface<TCommandCase> {};

TEST_P(ImportCommandKindTest, ChosenFileIsRememberedImportedAndDrawn) {
    const std::string path = writeFile("chosen.csv", GetParam().Content);
    TFakeOpenDialog dialog(path);
    double drawnFirstEntry = -2;
    RunImportCommand(&dialog, m_boxes, GetParam().Kind, target(), [&] {
        ++m_redraws;
        drawnFirstEntry = m_signal[0];
    });

    EXPECT_EQ(m_boxes.LastImportFileAtInfo, path);
    EXPECT_EQ(m_lastImportFile, path);
    EXPECT_EQ(m_boxes.Infos, std::vector<std::string>{"Řádky / Vrcholy: " + GetParam().Summary});
    EXPECT_EQ(m_redraws, 1);
    EXPECT_EQ(drawnFirstEntry, 1.0);  // the redraw sees the normalised signal
}

TEST_P(ImportCommandKindTest, BadFileKeepsThePathAndSkipsTheRedraw) {
    // The same line is the angle file's first data line and the time file's first sample.
    const std::string path = writeFile("bad.csv", "1.5\n1.5\n");
    TFakeOpenDialog dialog(path);
    testing::ExpectFailure<EConvertError>(
        [&] { RunImportCommand(&dialog, m_boxes, GetParam().Kind, target(), countingRedraw()); },
        "'1.5' is not a valid floating point value");
    EXPECT_EQ(m_lastImportFile, path);
    EXPECT_EQ(m_redraws, 0);
}

TEST_P(ImportCommandKindTest, MissingFileKeepsThePathAndTheSignal) {
    m_signal = PreviousSignal();
    const std::string path = (m_dir / "gone.csv").string();
    TFakeOpenDialog dialog(path);
    EXPECT_THROW(RunImportCommand(&dialog, m_boxes, GetParam().Kind, target(), countingRedraw()),
                 EFOpenError);
    EXPECT_EQ(m_lastImportFile, path);
    EXPECT_EQ(m_signal, PreviousSignal());
    EXPECT_EQ(m_redraws, 0);
}

TEST_P(ImportCommandKindTest, NextDialogOffersTheLastPath) {
    const std::string path = writeFile("chosen.csv", GetParam().Content);
    TFakeOpenDialog first(path);
    RunImportCommand(&first, m_boxes, GetParam().Kind, target(), countingRedraw());
    TFakeOpenDialog second("");
    RunImportCommand(&second, m_boxes, GetParam().Kind, target(), countingRedraw());
    EXPECT_EQ(second.InitialName, path);
    EXPECT_EQ(m_redraws, 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ImportCommandKindTest,
                         ::testing::Values(TCommandCase{"Angle", TImportKind::Angle, "h\n1;1\n0;0\n",
                                                        "3 / 1"},
                                           TCommandCase{"Time", TImportKind::Time, "1\n0\n", "2 / 1440"}),
                         testing::TRowName());

}  // namespace
}  // namespace morvane
