#include "signal/PressureCycle.h"

#include <gtest/gtest.h>

#include <string>

#include "signal_test_support.h"
#include "util/errors.h"

namespace morvane {
namespace {

using testing::ExpectFailure;

// k-th value of the synthetic files: distinct and exact in binary.
double valueAt(std::size_t k) {
    return 1 + static_cast<double>(k) / 4;
}

std::string valueLines(std::size_t count) {
    std::string text;
    for (std::size_t k = 0; k < count; ++k) {
        text += FormatFloatGeneral(valueAt(k)) + "\n";
    }
    return text;
}

std::string angleLines(std::size_t count) {
    std::string text = "Crank angle [deg];Cylinder pressure [bar]\r\n";
    for (std::size_t k = 0; k < count; ++k) {
        text +=
            FormatFloatGeneral(static_cast<double>(k) / 2) + ";" + FormatFloatGeneral(valueAt(k)) + "\r\n";
    }
    return text;
}

class PressureCycleTest : public testing::SignalImportTest {};

TEST_F(PressureCycleTest, ReadsBothForms) {
    for (const std::string& content : {valueLines(1441), angleLines(1441)}) {
        const TPressureCycle cycle = ReadPressureCycle(writeFile("p.csv", content));
        for (std::size_t k : {0u, 1u, 720u, 1440u}) {
            EXPECT_EQ(cycle.Mean[k], valueAt(k)) << k;
        }
        EXPECT_TRUE(cycle.Cycles.empty());
    }
}

TEST_F(PressureCycleTest, BadFilesNameTheirProblem) {
    std::string badValue = valueLines(1441);
    badValue.replace(badValue.find("\n2\n"), 3, "\n2 bar\n");
    std::string badAngle = angleLines(1441);
    badAngle.replace(badAngle.find("\n1;"), 3, "\n1,5;");
    std::string badPressure = angleLines(1441);
    badPressure.replace(badPressure.find(";1,25\r"), 6, ";x\r");
    struct Row {
        const char* name;
        std::string content;
        std::string message;
    };
    const Row rows[] = {
        {"a value with a unit", badValue, "'2 bar' is not a valid floating point value"},
        {"a pressure that is not a number", badPressure, "'x' is not a valid floating point value"},
        {"one value short", valueLines(1440), "holds 1440 pressure values, a cycle needs 1441"},
        {"one angle line too many", angleLines(1442), "holds 1442 pressure values, a cycle needs 1441"},
        {"an empty file", "", "holds 0 pressure values, a cycle needs 1441"},
        {"an angle out of step", badAngle, "gives the angle 1,5 on line 4, 1 expected"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = writeFile("bad.csv", row.content);
        const bool conversion = row.message.front() == '\'';
        if (conversion) {
            ExpectFailure<EConvertError>([&] { ReadPressureCycle(path); }, row.message);
        } else {
            ExpectFailure<EImportError>([&] { ReadPressureCycle(path); },
                                        "The file \"" + path + "\" " + row.message);
        }
    }
}

}  // namespace
}  // namespace morvane
