// Runs the built morvane-cli on real files and checks exactly what it prints.

#include "cli/BatchCommands.h"
#include "events/MainControls.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "events/EngineEvent.h"
#include "events/EventGeneration.h"
#include "events/Lifecycle.h"
#include "events/Recalculation.h"
#include "signal/AngleImport.h"
#include "signal/Signal.h"
#include "timeline/Raster.h"
#include "timeline/Timeline.h"
#include "util/memorycontrols.h"
#include "util/numtext.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

struct TRun {
    int code = -1;
    std::string out;
    std::string err;
};

std::string joinLines(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

std::string shellQuoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Each test gets a fresh folder that is also the tool's working folder.
class BatchToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_dir = fs::temp_directory_path() / ("morvane-cli-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_dir = fs::canonical(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path write(const std::string& name, const std::string& content) {
        std::ofstream(m_dir / name, std::ios::binary) << content;
        return m_dir / name;
    }

    TRun run(const Lines& arguments) {
        std::string command = "cd " + shellQuoted(m_dir.string()) + " && " + shellQuoted(MORVANE_CLI_PATH);
        for (const std::string& argument : arguments) {
            command += " " + shellQuoted(argument);
        }
        const fs::path out = m_dir / "stdout.txt";
        const fs::path err = m_dir / "stderr.txt";
        command += " >" + shellQuoted(out.string()) + " 2>" + shellQuoted(err.string());
        const int status = std::system(command.c_str());
        TRun result;
        result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = readFile(out);
        result.err = readFile(err);
        return result;
    }

    // A run that must succeed without a word on stderr.
    std::string output(const Lines& arguments) {
        const TRun result = run(arguments);
        EXPECT_EQ(result.code, 0) << result.err;
        EXPECT_EQ(result.err, "");
        return result.out;
    }

    fs::path m_dir;
};

const char* const TwoCylinders =
    "č.;Přesazení;Zapalování;SV otvírá;SV zavírá;VV otvírá;VV zavírá\n"
    "1;0;350;0;180;540;720\n"
    "2;360;350;0;180;540;720\n";

const Lines DefaultEvents = {
    "00;0;Píst 1 - HU",        "01;0;Zapalování 1",       "02;0;Píst 1 - SV otvírá",
    "03;0;Píst 1 - SV zavírá", "04;0;Píst 1 - VV otvírá", "05;0;Píst 1 - VV zavírá",
    "06;180;Píst 1 - DU",      "07;360;Píst 1 - HU",      "08;540;Píst 1 - DU",
};

std::string eventReport(const std::string& cycle, const Lines& rows) {
    return "Doba cyklu [ms];" + cycle + "\nID;Úhel;Popis\n" + joinLines(rows);
}

TEST_F(BatchToolTest, EventTables) {
    write("two.csv", TwoCylinders);
    write("c10.txt", "10\n");
    write("c-20.txt", "-20\n");
    write("nine-and-more.txt", "0\n0\n0\n0\n0\n0\n0\n0\n5\nnot read\n");
    write("crlf.txt", "1\r\n2\r\n");
    struct Row {
        const char* name;
        Lines arguments;
        Lines events;
    };
    const Row rows[] = {
        {"defaults", {"events"}, DefaultEvents},
        {"two cylinders",
         {"events", "two.csv"},
         {"00;0;Píst 1 - HU", "01;0;Píst 1 - SV otvírá", "02;180;Píst 2 - DU", "03;180;Píst 1 - DU",
          "04;180;Píst 1 - SV zavírá", "05;180;Píst 2 - VV otvírá", "06;350;Zapalování 1",
          "07;360;Píst 2 - HU", "08;360;Píst 1 - HU", "09;360;Píst 2 - SV otvírá",
          "10;360;Píst 2 - VV zavírá", "11;540;Píst 1 - VV otvírá", "12;540;Píst 2 - SV zavírá",
          "13;540;Píst 1 - DU", "14;540;Píst 2 - DU", "15;710;Zapalování 2", "16;720;Píst 1 - VV zavírá",
          "17;720;Píst 2 - HU"}},
        {"one cylinder of a two-cylinder table",
         {"events", "two.csv", "--cylinders", "1"},
         {"00;0;Píst 1 - HU", "01;0;Píst 1 - SV otvírá", "02;180;Píst 1 - DU", "03;180;Píst 1 - SV zavírá",
          "04;350;Zapalování 1", "05;360;Píst 1 - HU", "06;540;Píst 1 - DU", "07;540;Píst 1 - VV otvírá",
          "08;720;Píst 1 - VV zavírá"}},
        {"global -10",
         {"events", "--global", "-10"},
         {"00;170;Píst 1 - DU", "01;350;Píst 1 - HU", "02;530;Píst 1 - DU", "03;710;Píst 1 - SV zavírá",
          "04;710;Píst 1 - VV otvírá", "05;710;Píst 1 - VV zavírá", "06;710;Píst 1 - HU",
          "07;710;Zapalování 1", "08;710;Píst 1 - SV otvírá"}},
        {"global that is not a number counts as 0", {"events", "--global", "-"}, DefaultEvents},
        {"correction 10 on the first event",
         {"events", "--corrections", "c10.txt"},
         {"00;0;Zapalování 1", "01;0;Píst 1 - SV otvírá", "02;0;Píst 1 - SV zavírá",
          "03;0;Píst 1 - VV otvírá", "04;0;Píst 1 - VV zavírá", "05;10;Píst 1 - HU", "06;180;Píst 1 - DU",
          "07;360;Píst 1 - HU", "08;540;Píst 1 - DU"}},
        {"correction -20 wraps to the end",
         {"events", "--corrections", "c-20.txt"},
         {"00;0;Zapalování 1", "01;0;Píst 1 - SV otvírá", "02;0;Píst 1 - SV zavírá",
          "03;0;Píst 1 - VV otvírá", "04;0;Píst 1 - VV zavírá", "05;180;Píst 1 - DU", "06;360;Píst 1 - HU",
          "07;540;Píst 1 - DU", "08;700;Píst 1 - HU"}},
        {"lines beyond the list are not read",
         {"events", "--corrections", "nine-and-more.txt"},
         {"00;0;Píst 1 - HU", "01;0;Zapalování 1", "02;0;Píst 1 - SV otvírá", "03;0;Píst 1 - SV zavírá",
          "04;0;Píst 1 - VV otvírá", "05;0;Píst 1 - VV zavírá", "06;180;Píst 1 - DU", "07;360;Píst 1 - HU",
          "08;545;Píst 1 - DU"}},
        {"corrections on the list after the global correction",
         {"events", "--global", "-10", "--corrections", "crlf.txt"},
         {"00;171;Píst 1 - DU", "01;352;Píst 1 - HU", "02;530;Píst 1 - DU", "03;710;Píst 1 - SV zavírá",
          "04;710;Píst 1 - VV otvírá", "05;710;Píst 1 - VV zavírá", "06;710;Píst 1 - HU",
          "07;710;Zapalování 1", "08;710;Píst 1 - SV otvírá"}},
        {"no cylinders", {"events", "--cylinders", "0"}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(output(row.arguments), eventReport("120", row.events));
    }
}

TEST_F(BatchToolTest, CycleTimes) {
    struct Row {
        const char* rpm;
        const char* cycle;
    };
    const Row rows[] = {
        {"1000", "120"}, {"7000", "17,1"}, {"-1000", "-120"}, {"900", "133,3"}, {" 4500 ", "26,7"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rpm);
        EXPECT_EQ(output({"events", "--rpm", row.rpm}), eventReport(row.cycle, DefaultEvents));
    }
}

TEST_F(BatchToolTest, FailuresPrintTheErrorBoxTextAndNothingElse) {
    write("two.csv", TwoCylinders);
    write("bad-correction.txt", "0\n1.5\n");
    write("short-row.csv", "header\n1;0\n");
    struct Row {
        const char* name;
        Lines arguments;
        std::string err;
    };
    const Row rows[] = {
        {"speed 0", {"events", "--rpm", "0"}, "Floating point division by zero.\n"},
        {"speed not a number", {"events", "--rpm", "1.5"}, "'1.5' is not a valid floating point value.\n"},
        {"count not an integer", {"events", "--cylinders", "1,5"}, "'1,5' is not a valid integer value.\n"},
        {"thirteen cylinders", {"events", "--cylinders", "13"}, "'' is not a valid floating point value.\n"},
        {"missing cell", {"events", "short-row.csv"}, "'' is not a valid floating point value.\n"},
        {"global beyond a double", {"events", "--global", "1e400"}, "Floating point overflow.\n"},
        {"bad correction",
         {"events", "--corrections", "bad-correction.txt"},
         "'1.5' is not a valid floating point value.\n"},
        {"missing table",
         {"events", "none.csv"},
         "Cannot open file \"" + (m_dir / "none.csv").string() + "\". No such file or directory.\n"},
        {"missing corrections",
         {"events", "two.csv", "--corrections", "none.txt"},
         "Cannot open file \"" + (m_dir / "none.txt").string() + "\". No such file or directory.\n"},
        {"speed fails before the picture",
         {"render", "--rpm", "0", "--output", "p.png"},
         "Floating point division by zero.\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const TRun result = run(row.arguments);
        EXPECT_EQ(result.code, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, row.err);
    }
    EXPECT_FALSE(fs::exists(m_dir / "p.png"));
}

TEST_F(BatchToolTest, TooManyTableLinesAreAUsageMistake) {
    std::string table = "header\n";
    for (int i = 0; i < 13; ++i) {
        table += "0;0;0;0;0;0;0\n";
    }
    write("thirteen.csv", table);
    const TRun result = run({"events", "thirteen.csv"});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.substr(0, result.err.find('\n') + 1),
              "morvane-cli: the cylinder table has 12 rows, the file gives 13\n");
}

TEST_F(BatchToolTest, UsageHelpAndVersion) {
    const std::string renderUsage =
        "usage: morvane-cli render [TABLE] [events options] [--angle FILE | --time FILE] [--cursor 0..720]\n"
        "                   [--filter 0..96] [--gain 10..100] [--kinds BBBB] [--size WxH] --output "
        "FILE.png\n";
    TRun result = run({"render", "--filter", "97", "--output", "p.png"});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "morvane-cli: --filter must be an integer from 0 to 96\n" + renderUsage);

    result = run({"events", "--frobnicate"});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(
        result.err,
        "morvane-cli: unknown option '--frobnicate'\n"
        "usage: morvane-cli events [TABLE] [--cylinders TEXT] [--rpm TEXT] [--global TEXT] [--corrections "
        "FILE]\n");

    result = run({});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.err,
              "morvane-cli: no command given\n"
              "usage: morvane-cli (events | signal | render) [options]; --help, --version\n");

    for (const char* command : {"events", "signal", "render"}) {
        SCOPED_TRACE(command);
        result = run({command, "--help"});
        EXPECT_EQ(result.code, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out.rfind(std::string("usage: morvane-cli ") + command, 0), 0u) << result.out;
        EXPECT_EQ(output({command, "--version"}), std::string("morvane-cli ") + MORVANE_VERSION_TEXT + "\n");
    }
    EXPECT_EQ(output({"--version"}), std::string("morvane-cli ") + MORVANE_VERSION_TEXT + "\n");
}

// The 1441 entries of an all-zero signal with these first ones.
std::string signalEntries(const Lines& first) {
    Lines entries = first;
    entries.resize(SignalPoints, "0");
    return joinLines(entries);
}

TEST_F(BatchToolTest, SignalImports) {
    write("angle.csv", "trigger;value\n1;1\n0;2\n1;3\n0;4\n1;5\n");
    write("time.csv", "0\n2\n4\n");
    TRun result = run({"signal", "--angle", "angle.csv"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.err, "Řádky / Vrcholy: 6 / 2\n");
    EXPECT_EQ(result.out, signalEntries({"0,2", "1"}));

    result = run({"signal", "--time", "time.csv"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.err, "Řádky / Vrcholy: 3 / 1440\n");
    Lines entries;
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) {
        entries.push_back(line);
    }
    ASSERT_EQ(entries.size(), 1441u);
    EXPECT_EQ(entries[0], "0");
    EXPECT_EQ(entries[360], "0,25");
    EXPECT_EQ(entries[720], "0,5");
    EXPECT_EQ(entries[1440], "1");
}

TEST_F(BatchToolTest, SignalFailures) {
    write("header-only.csv", "trigger;value\n");
    write("zeros.csv", "0\n0\n");
    write("empty.csv", "");
    write("title.csv", "pressure\n1\n");
    struct Row {
        const char* name;
        Lines arguments;
        std::string err;
    };
    const Row rows[] = {
        {"no peaks",
         {"signal", "--angle", "header-only.csv"},
         "Řádky / Vrcholy: 1 / 0\nInvalid floating point operation.\n"},
        {"all zero",
         {"signal", "--time", "zeros.csv"},
         "Řádky / Vrcholy: 2 / 1440\nInvalid floating point operation.\n"},
        {"column title",
         {"signal", "--time", "title.csv"},
         "'pressure' is not a valid floating point value.\n"},
        {"empty time file", {"signal", "--time", "empty.csv"}, "The file \"empty.csv\" holds no values.\n"},
        {"missing file",
         {"signal", "--angle", "none.csv"},
         "Cannot open file \"" + (m_dir / "none.csv").string() + "\". No such file or directory.\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const TRun result = run(row.arguments);
        EXPECT_EQ(result.code, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, row.err);
    }
}

// The bench recording averaged onto the cycle: its output is a time-signal file too.
TEST_F(BatchToolTest, EncoderImportOfTheBenchRecording) {
    const std::string path = std::string(MORVANE_SHARED_DATA_DIR) + "/bench-engine-angle.csv";
    if (!fs::exists(path)) {
        GTEST_SKIP() << path << " is absent";
    }
    const Lines encoder = {"--encoder",     path,     "--wheel",           "60-3",
                           "--sample-rate", "100000", "--reference-angle", "107"};
    Lines arguments = {"signal"};
    arguments.insert(arguments.end(), encoder.begin(), encoder.end());
    TRun result = run(arguments);
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.err, "Cykly / Otáčky [RPM]: 11 / 2937\n");
    write("cycle.csv", result.out);
    result = run({"signal", "--time", "cycle.csv"});
    EXPECT_EQ(result.err, "Řádky / Vrcholy: 1441 / 1440\n");

    arguments = {"render", "--output", "cycle.png"};
    arguments.insert(arguments.end(), encoder.begin(), encoder.end());
    EXPECT_EQ(run(arguments).code, 0);
    EXPECT_TRUE(fs::exists(m_dir / "cycle.png"));

    arguments = {"signal", "--encoder", path, "--wheel", "60-2", "--sample-rate", "100000"};
    result = run(arguments);
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, "Otáčka 1: nalezeno hran 57, kolo jich má 58.\n");
}

// The angle import's output is a time-signal file that gives the same entries again.
TEST_F(BatchToolTest, AngleOutputRoundTripsThroughTheTimeImport) {
    struct Row {
        const char* name;
        fs::path file;
    };
    const fs::path bench = fs::path(MORVANE_SHARED_DATA_DIR) / "bench-engine-angle.csv";
    std::vector<Row> rows = {{"worked example", write("angle.csv", "h\n1;1\n0;2\n1;3\n0;4\n1;5\n")}};
    if (fs::exists(bench)) {
        rows.push_back({"engine bench", bench});
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const TRun angle = run({"signal", "--angle", row.file.string()});
        ASSERT_EQ(angle.code, 0) << angle.err;
        write("entries.csv", angle.out);
        const TRun time = run({"signal", "--time", "entries.csv"});
        EXPECT_EQ(time.code, 0) << time.err;
        EXPECT_EQ(time.err, "Řádky / Vrcholy: 1441 / 1440\n");
        EXPECT_EQ(time.out, angle.out);
    }
}

// The pixels of an 8-bit RGB PNG with unfiltered rows, as WritePng writes it.
std::vector<TColor> decodePng(const std::string& bytes, int& width, int& height) {
    auto uint32At = [&](std::size_t at) {
        return std::uint32_t(std::uint8_t(bytes[at])) << 24 |
               std::uint32_t(std::uint8_t(bytes[at + 1])) << 16 |
               std::uint32_t(std::uint8_t(bytes[at + 2])) << 8 | std::uint32_t(std::uint8_t(bytes[at + 3]));
    };
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    std::string packed;
    for (std::size_t at = 8; at + 12 <= bytes.size();) {
        const std::uint32_t length = uint32At(at);
        const std::string type = bytes.substr(at + 4, 4);
        if (type == "IHDR") {
            width = static_cast<int>(uint32At(at + 8));
            height = static_cast<int>(uint32At(at + 12));
            EXPECT_EQ(bytes.substr(at + 16, 5), std::string("\x08\x02\x00\x00\x00", 5));
        } else if (type == "IDAT") {
            packed += bytes.substr(at + 8, length);
        }
        at += 12 + length;
    }
    const std::size_t rowBytes = 1 + 3 * static_cast<std::size_t>(width);
    std::vector<std::uint8_t> raw(rowBytes * static_cast<std::size_t>(height));
    uLongf rawSize = raw.size();
    EXPECT_EQ(uncompress(raw.data(), &rawSize, reinterpret_cast<const Bytef*>(packed.data()), packed.size()),
              Z_OK);
    EXPECT_EQ(rawSize, raw.size());
    std::vector<TColor> pixels;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = raw.data() + y * rowBytes;
        EXPECT_EQ(row[0], 0) << "row " << y << " is filtered";
        for (int x = 0; x < width; ++x) {
            pixels.push_back(RgbColor(row[1 + 3 * x], row[2 + 3 * x], row[3 + 3 * x]));
        }
    }
    return pixels;
}

// The picture the window would show for these inputs, drawn in this process.
TRaster windowPicture(const std::string& cylinders, const std::vector<std::vector<std::string>>& table,
                      const std::string& signalFile, const TTimelineInput& sliders) {
    DecimalMarkScope comma(',');
    ResetMainModuleState();
    TMemoryValueList mainParameters{
        {{"Počet válců [1]", cylinders}, {"Taktnost [-]", "4"}, {"Otáčky motoru [RPM]", "1000"}}};
    TMemoryValueList computed{{{"Doba cyklu [ms]", "0"}}};
    TMemoryValueList corrections;
    TMemoryGrid grid{3, 5};
    TMemoryGrid cylinderTable{7, 13};
    FillDefaultCylinderTable(cylinderTable);
    for (std::size_t row = 0; row < table.size(); ++row) {
        for (int column = 1; column < 7; ++column) {
            cylinderTable.setCellText(column, static_cast<int>(row) + 1, table[row][column]);
        }
    }
    TRecalcControls controls{&mainParameters, &computed, &corrections, &grid, {}};
    CreateEventsAndRecalculate(cylinderTable, controls);
    GlobalCorrectionChanged("0", controls);
    if (!signalFile.empty()) {
        struct TSilentBoxes : IMessageBoxes {
            void ShowInfo(const std::string&) override {}
            void ShowErrorBox(const std::string&) override {}
        } boxes;
        ImportAngleSignal(signalFile, boxes, Signal);
    }
    TTimelineInput input = sliders;
    input.Signal = &Signal;
    input.Events = &Events;
    TRaster picture(input.W, input.H);
    TSignalTable trend{};
    DrawTimeline(input, picture, trend);
    ResetMainModuleState();
    return picture;
}

TEST_F(BatchToolTest, RenderedPictureIsTheWindowsPicture) {
    write("two.csv", TwoCylinders);
    const fs::path signal = write("angle.csv", "h\n1;1\n0;2\n1;-3\n0;4\n1;5\n1;0\n2;1\n0;0\n");
    struct Row {
        const char* name;
        Lines arguments;
        std::string cylinders;
        std::vector<std::vector<std::string>> table;
        std::string signalFile;
        TTimelineInput sliders;
        int cursorColumn;
    };
    TTimelineInput defaults;
    TTimelineInput chosen;
    chosen.W = 400;
    chosen.H = 200;
    chosen.P = 360;
    chosen.F = 50;
    chosen.G = 30;
    chosen.Visible = {true, false, true, false};
    const std::vector<std::vector<std::string>> two = {{"1", "0", "350", "0", "180", "540", "720"},
                                                       {"2", "360", "350", "0", "180", "540", "720"}};
    const Row rows[] = {
        {"defaults", {"render", "--output", "p.png"}, "1", {}, "", defaults, 1},
        {"every option",
         {"render", "two.csv", "--angle", "angle.csv", "--cursor", "360", "--filter", "50", "--gain", "30",
          "--kinds", "1010", "--size", "400x200", "--output", "p.png"},
         "2",
         two,
         signal.string(),
         chosen,
         200},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove(m_dir / "p.png");
        const TRun result = run(row.arguments);
        ASSERT_EQ(result.code, 0) << result.err;
        EXPECT_EQ(result.out, "");

        int width = 0;
        int height = 0;
        const std::vector<TColor> pixels = decodePng(readFile(m_dir / "p.png"), width, height);
        ASSERT_EQ(width, row.sliders.W);
        ASSERT_EQ(height, row.sliders.H);
        // The cursor is drawn last, so its column is red whatever lies below it.
        EXPECT_EQ(pixels[static_cast<std::size_t>(width + row.cursorColumn)], RedColor);

        const TRaster expected = windowPicture(row.cylinders, row.table, row.signalFile, row.sliders);
        std::size_t differing = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                differing += pixels[static_cast<std::size_t>(y) * width + x] != expected.pixel(x, y);
            }
        }
        EXPECT_EQ(differing, 0u);
    }
}

TEST_F(BatchToolTest, RenderReportsAnUnwritablePicture) {
    const TRun result = run({"render", "--output", "no/such/folder/p.png"});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "Cannot create file \"no/such/folder/p.png\". No such file or directory.\n");
}

}  // namespace
}  // namespace morvane
