#include "signal/pressure/PressureCycle.h"

#include <gtest/gtest.h>

#include <string>

#include "signal_test_support.h"
#include "util/errors.h"

namespace morvane {
namespace {

using testing::ExpectFailure;

// k-th value of the synthetic files: distinct and exact in binary.
double ValueAt(std::size_t k) {
    return 1 + static_cast<double>(k) / 4;
}

std::string ValueLines(std::size_t count) {
    std::string text;
    for (std::size_t k = 0; k < count; ++k) {
        text += FormatFloatGeneral(ValueAt(k), kDecimalComma) + "\n";
    }
    return text;
}

std::string AngleLines(std::size_t count) {
    std::string text = "Crank angle [deg];Cylinder pressure [bar]\r\n";
    for (std::size_t k = 0; k < count; ++k) {
        text += FormatFloatGeneral(static_cast<double>(k) / 2, kDecimalComma) + ";" +
                FormatFloatGeneral(ValueAt(k), kDecimalComma) + "\r\n";
    }
    return text;
}

class PressureCycleTest : public testing::SignalImportTest {};

TEST_F(PressureCycleTest, ReadsBothForms) {
    for (const std::string& content :
         {ValueLines(1441), AngleLines(1441), "\xEF\xBB\xBF" + ValueLines(1441)}) {
        const TPressureCycle cycle = ReadPressureCycle(writeFile("p.csv", content), kDecimalComma);
        for (std::size_t k : {0u, 1u, 720u, 1440u}) {
            EXPECT_EQ(cycle.Mean[k], ValueAt(k)) << k;
        }
        EXPECT_TRUE(cycle.Cycles.empty());
    }
}

TEST_F(PressureCycleTest, BadFilesNameTheirProblem) {
    std::string badValue = ValueLines(1441);
    badValue.replace(badValue.find("\n2\n"), 3, "\n2 bar\n");
    std::string badAngle = AngleLines(1441);
    badAngle.replace(badAngle.find("\n1;"), 3, "\n1,5;");
    std::string badPressure = AngleLines(1441);
    badPressure.replace(badPressure.find(";1,25\r"), 6, ";x\r");
    std::string hugeValue = ValueLines(1441);
    hugeValue.replace(hugeValue.find("\n2\n"), 3, "\n1e400\n");
    struct TRow {
        const char* Name;
        std::string Content;
        std::string Message;
    };
    const TRow rows[] = {
        {"a value with a unit", badValue, "'2 bar' is not a valid floating point value"},
        {"a pressure that is not a number", badPressure, "'x' is not a valid floating point value"},
        {"one value short", ValueLines(1440), "holds 1440 pressure values, a cycle needs 1441"},
        {"one value too many", ValueLines(1442), "holds 1442 pressure values, a cycle needs 1441"},
        {"one angle line too many", AngleLines(1442),
         "holds more than 1441 pressure values, a cycle needs 1441"},
        {"far too long", ValueLines(20000), "holds more than 1441 pressure values, a cycle needs 1441"},
        {"an empty file", "", "holds 0 pressure values, a cycle needs 1441"},
        {"an angle out of step", badAngle, "gives the angle 1,5 on line 4, 1 expected"},
        {"a value beyond a double", hugeValue, "gives '1e400' on line 5, beyond any number"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const std::string path = writeFile("bad.csv", row.Content);
        const bool conversion = row.Message.front() == '\'';
        if (conversion) {
            ExpectFailure<EConvertError>([&] { ReadPressureCycle(path, kDecimalComma); }, row.Message);
        } else {
            ExpectFailure<EImportError>([&] { ReadPressureCycle(path, kDecimalComma); },
                                        "The file \"" + path + "\" " + row.Message);
        }
    }
    // A NUL byte would cut the cycle short; a name's control characters are shown, not obeyed.
    const std::string nul = writeFile("nul.csv", std::string("1\n2\n\0", 5) + ValueLines(1441));
    ExpectFailure<EImportError>([&] { ReadPressureCycle(nul, kDecimalComma); },
                                "Soubor \"" + nul + "\", řádek 3: obsahuje nulový bajt, soubor není text");
    const std::string odd = writeFile("a\nb\x1B[2J.csv", "");
    ExpectFailure<EImportError>([&] { ReadPressureCycle(odd, kDecimalComma); },
                                "The file \"" + odd.substr(0, odd.rfind('/') + 1) +
                                    "a\\x0Ab\\x1B[2J.csv\" holds 0 pressure values, a cycle needs 1441");
}

// A line break or a terminal's escape sequence in the name is shown, never acted on.
TEST_F(PressureCycleTest, MessagesQuoteTheFileName) {
    const std::string path = writeFile("a\nb\x1b[31m.csv", ValueLines(2));
    const std::string shown = path.substr(0, path.size() - 12) + "a\\x0Ab\\x1B[31m.csv";
    ExpectFailure<EImportError>([&] { ReadPressureCycle(path, kDecimalComma); },
                                "The file \"" + shown + "\" holds 2 pressure values, a cycle needs 1441");
}

}  // namespace
}  // namespace morvane
