// Runs the built morvane-cli on real files and checks exactly what it prints.

#include "cli/BatchCommands.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "events/EngineEvent.h"
#include "events/EventGeneration.h"
#include "events/Recalculation.h"
#include "events/Session.h"
#include "events/Setup.h"
#include "events/SetupFile.h"
#include "signal/Signal.h"
#include "signal/import/AngleImport.h"
#include "tests/support/MdfWriter.h"
#include "tests/support/SharedData.h"
#include "tests/support/SyntheticRecording.h"
#include "tests/support/TempDirTest.h"
#include "timeline/Raster.h"
#include "timeline/Timeline.h"
#include "timeline/ValveDiagram.h"
#include "util/memorycontrols.h"
#include "util/numtext.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using TLines = std::vector<std::string>;

struct TRun {
    int Code = -1;
    std::string Out;
    std::string Err;
};

std::string JoinLines(const TLines& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

std::string ReadFile(const fs::path& path) {
    return testing::FileBytes(path);
}

std::string ShellQuoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Each test gets a fresh folder that is also the tool's working folder.
class BatchToolTest : public testing::TTempDirTest {
protected:
    fs::path write(const std::string& name, const std::string& content) {
        std::ofstream(m_dir / name, std::ios::binary) << content;
        return m_dir / name;
    }

    // The command fails as the error box would: exit 1, nothing on stdout, err on stderr.
    void expectFailure(const TLines& arguments, const std::string& err) {
        const TRun result = run(arguments);
        EXPECT_EQ(result.Code, 1);
        EXPECT_EQ(result.Out, "");
        EXPECT_EQ(result.Err, err);
    }

    // With piped, the tool's standard input is a pipe that carries that file.
    TRun run(const TLines& arguments, const std::string& piped = "") {
        std::string command = "cd " + ShellQuoted(m_dir.string()) + " && " +
                              (piped.empty() ? "" : "cat " + ShellQuoted(piped) + " | ") +
                              ShellQuoted(MORVANE_CLI_PATH);
        for (const std::string& argument : arguments) {
            command += " " + ShellQuoted(argument);
        }
        const fs::path out = m_dir / "stdout.txt";
        const fs::path err = m_dir / "stderr.txt";
        command += " >" + ShellQuoted(out.string()) + " 2>" + ShellQuoted(err.string());
        const int status = std::system(command.c_str());
        TRun result;
        result.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.Out = ReadFile(out);
        result.Err = ReadFile(err);
        return result;
    }

    // A run that must succeed without a word on stderr.
    std::string output(const TLines& arguments) {
        const TRun result = run(arguments);
        EXPECT_EQ(result.Code, 0) << result.Err;
        EXPECT_EQ(result.Err, "");
        return result.Out;
    }

    // The angle import's output is a time-signal file that gives the same entries again.
    void expectAngleOutputRoundTrips(const fs::path& angleFile) {
        const TRun angle = run({"signal", "--angle", angleFile.string()});
        ASSERT_EQ(angle.Code, 0) << angle.Err;
        write("entries.csv", angle.Out);
        const TRun time = run({"signal", "--time", "entries.csv"});
        EXPECT_EQ(time.Code, 0) << time.Err;
        EXPECT_EQ(time.Err, "Řádky / Vrcholy: 1441 / 1440\n");
        EXPECT_EQ(time.Out, angle.Out);
    }
};

const char* const kTwoCylinders =
    "č.;Přesazení;Zapalování;SV otvírá;SV zavírá;VV otvírá;VV zavírá\n"
    "1;0;350;0;180;540;720\n"
    "2;360;350;0;180;540;720\n";

const TLines kDefaultEvents = {
    "00;0;Píst 1 - HU",        "01;0;Zapalování 1",       "02;0;Píst 1 - SV otvírá",
    "03;0;Píst 1 - SV zavírá", "04;0;Píst 1 - VV otvírá", "05;0;Píst 1 - VV zavírá",
    "06;180;Píst 1 - DU",      "07;360;Píst 1 - HU",      "08;540;Píst 1 - DU",
};

std::string EventReport(const std::string& cycle, const TLines& rows) {
    return "Doba cyklu [ms];" + cycle + "\nID;Úhel;Popis\n" + JoinLines(rows);
}

TEST_F(BatchToolTest, EventTables) {
    write("two.csv", kTwoCylinders);
    write("c10.txt", "10\n");
    write("c-20.txt", "-20\n");
    write("nine-and-more.txt", "0\n0\n0\n0\n0\n0\n0\n0\n5\nnot read\n");
    write("crlf.txt", "1\r\n2\r\n");
    write("bom.txt",
          "\xEF\xBB\xBF"
          "10\n");
    struct TRow {
        const char* Name;
        TLines Arguments;
        TLines Events;
    };
    const TRow rows[] = {
        {"defaults", {"events"}, kDefaultEvents},
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
        {"global that is not a number counts as 0", {"events", "--global", "-"}, kDefaultEvents},
        {"correction 10 on the first event",
         {"events", "--corrections", "c10.txt"},
         {"00;0;Zapalování 1", "01;0;Píst 1 - SV otvírá", "02;0;Píst 1 - SV zavírá",
          "03;0;Píst 1 - VV otvírá", "04;0;Píst 1 - VV zavírá", "05;10;Píst 1 - HU", "06;180;Píst 1 - DU",
          "07;360;Píst 1 - HU", "08;540;Píst 1 - DU"}},
        {"a byte-order mark before the first correction",
         {"events", "--corrections", "bom.txt"},
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
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(output(row.Arguments), EventReport("120", row.Events));
    }
}

// A set-up file gives the events its window shows: its cylinders, speed,
// global correction and corrections by event; the command line overrides them.
TEST_F(BatchToolTest, EventsOfASetupFile) {
    write("two.csv", kTwoCylinders);
    write("c10.txt", "10\n");
    TSetup setup;
    setup.Cylinders = "2";
    setup.Speed = "2500";
    setup.GlobalCorrection = "-10";
    setup.CylinderTable[0] = {"0", "350", "0", "180", "540", "720"};
    setup.CylinderTable[1] = {"360", "350", "0", "180", "540", "720"};
    write("two.morvane", SetupText(setup));
    setup.GlobalCorrection = "0";
    setup.Corrections = {{"Píst 1 - HU", "10"}};
    write("corrected.morvane", SetupText(setup));
    struct TRow {
        const char* Name;
        TLines SetupRun;
        TLines TableRun;
    };
    const TRow rows[] = {
        {"the file's values",
         {"events", "two.morvane"},
         {"events", "two.csv", "--rpm", "2500", "--global", "-10"}},
        {"options override them",
         {"events", "two.morvane", "--cylinders", "1", "--rpm", "1000", "--global", "0"},
         {"events", "two.csv", "--cylinders", "1"}},
        {"a correction by event",
         {"events", "corrected.morvane", "--rpm", "1000"},
         {"events", "two.csv", "--corrections", "c10.txt"}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(output(row.SetupRun), output(row.TableRun));
    }
}

// Each input read from a pipe gives what its file gives: it is read once.
TEST_F(BatchToolTest, InputsFromAPipe) {
    write("two.csv", kTwoCylinders);
    write("c10.txt", "10\n");
    TSetup setup;
    setup.Cylinders = "2";
    setup.CylinderTable[1] = {"360", "350", "0", "180", "540", "720"};
    write("two.morvane", SetupText(setup));
    struct TRow {
        const char* Piped;
        TLines PipeRun;
        TLines FileRun;
    };
    const TRow rows[] = {
        {"two.csv", {"events", "/dev/stdin"}, {"events", "two.csv"}},
        {"two.morvane", {"events", "/dev/stdin"}, {"events", "two.morvane"}},
        {"c10.txt",
         {"events", "two.csv", "--corrections", "/dev/stdin"},
         {"events", "two.csv", "--corrections", "c10.txt"}},
        {"two.csv",
         {"render", "/dev/stdin", "--output", "p.png"},
         {"render", "two.csv", "--output", "p.png"}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Piped);
        const TRun piped = run(row.PipeRun, row.Piped);
        EXPECT_EQ(piped.Code, 0) << piped.Err;
        const std::string pipedPicture = ReadFile(m_dir / "p.png");
        const std::string expected = output(row.FileRun);
        EXPECT_EQ(piped.Out, expected);
        EXPECT_EQ(pipedPicture, ReadFile(m_dir / "p.png"));
        fs::remove(m_dir / "p.png");
    }
}

// render draws what the window shows for a set-up: its cursor, filter, gain,
// kinds and signal; the command line's options override them.
TEST_F(BatchToolTest, RenderOfASetupFile) {
    write("two.csv", kTwoCylinders);
    write("angle.csv", "h\n1;1\n0;2\n1;-3\n0;4\n1;5\n1;0\n2;1\n0;0\n");
    TSetup setup;
    setup.Cylinders = "2";
    setup.CylinderTable[0] = {"0", "350", "0", "180", "540", "720"};
    setup.CylinderTable[1] = {"360", "350", "0", "180", "540", "720"};
    setup.CrankAngle = 360;
    setup.Filter = 50;
    setup.Gain = 30;
    setup.KindsShown = {true, false, true, false};
    setup.SignalImport.Kind = TSignalImportKind::Angle;
    setup.SignalImport.Path = "angle.csv";
    write("two.morvane", SetupText(setup));
    const TLines table = {"render", "two.csv", "--angle",  "angle.csv",
                          "--size", "400x200", "--output", "p.png"};
    struct TRow {
        const char* Name;
        TLines SetupOptions;
        TLines TableOptions;
    };
    const TRow rows[] = {
        {"the set-up's", {}, {"--cursor", "360", "--filter", "50", "--gain", "30", "--kinds", "1010"}},
        {"overridden", {"--cursor", "0", "--filter", "0", "--gain", "10", "--kinds", "1111"}, {}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TLines arguments = {"render", "two.morvane", "--size", "400x200", "--output", "p.png"};
        arguments.insert(arguments.end(), row.SetupOptions.begin(), row.SetupOptions.end());
        // The import's summary on stderr tells that the set-up's signal was read.
        const TRun fromSetup = run(arguments);
        EXPECT_EQ(fromSetup.Err, "Řádky / Vrcholy: 9 / 3\n");
        const std::string picture = ReadFile(m_dir / "p.png");
        arguments = table;
        arguments.insert(arguments.end(), row.TableOptions.begin(), row.TableOptions.end());
        EXPECT_EQ(run(arguments).Code, 0);
        EXPECT_EQ(picture, ReadFile(m_dir / "p.png"));
    }
}

// Inputs that would be read otherwise than they were written are refused, and
// a set-up's signal file that is missing or a FIFO is named with its key.
TEST_F(BatchToolTest, InputsThatDoNotReadAsWritten) {
    write("nul.csv", std::string(kTwoCylinders) + std::string("3;0;350;0;180;540;720\n\0"
                                                              "4;0;0;0;0;0;0\n",
                                                              38));
    write("version.morvane", "Morvane nastavení 2.0\n[Válce]\n1=0\n");
    ASSERT_EQ(::mkfifo((m_dir / "fifo.csv").c_str(), 0600), 0);
    TSetup setup;
    setup.SignalImport.Kind = TSignalImportKind::Time;
    setup.SignalImport.Path = "gone.csv";
    write("gone.morvane", SetupText(setup));
    setup.SignalImport.Path = "fifo.csv";
    write("fifo.morvane", SetupText(setup));
    setup.SignalImport.Kind = TSignalImportKind::Encoder;
    setup.SignalImport.Encoder.Path = "gone.csv";
    write("encoder.morvane", SetupText(setup));
    setup = TSetup();
    setup.Speed = "abc";
    write("speed.morvane", SetupText(setup));
    setup.Cylinders = "2";
    setup.CylinderTable[1][1] = "35x0";
    write("cell.morvane", SetupText(setup));
    struct TRow {
        TLines Arguments;
        std::string Err;
    };
    // A set-up's relative path is taken from the set-up's folder.
    const std::string folder = m_dir.string() + "/";
    const TRow rows[] = {
        {{"events", "nul.csv"}, "Soubor \"nul.csv\", řádek 5: obsahuje nulový bajt, soubor není text.\n"},
        {{"events", "version.morvane"},
         "Soubor \"version.morvane\", řádek 1: verze nastavení '2.0' není známá (první řádek má být "
         "\"Morvane nastavení 1\")\n"},
        {{"render", "gone.morvane", "--output", "p.png"},
         "Soubor \"gone.morvane\", klíč \"Soubor\" v oddílu [Import signálu]: soubor signálu \"" + folder +
             "gone.csv\" neexistuje.\n"},
        {{"render", "fifo.morvane", "--output", "p.png"},
         "Soubor \"fifo.morvane\", klíč \"Soubor\" v oddílu [Import signálu]: soubor signálu \"" + folder +
             "fifo.csv\" není obyčejný soubor (je to roura nebo zařízení)\n"},
        {{"render", "encoder.morvane", "--output", "p.png"},
         "Soubor \"encoder.morvane\", klíč \"Soubor snímače\" v oddílu [Import signálu]: soubor signálu \"" +
             folder + "gone.csv\" neexistuje.\n"},
        {{"events", "cell.morvane"},
         "Soubor \"cell.morvane\", klíč \"2\" v oddílu [Válce]: '35x0' v buňce zapalování není číslo.\n"},
        {{"events", "speed.morvane"},
         "Soubor \"speed.morvane\", klíč \"Otáčky motoru [RPM]\" v oddílu [Hlavní parametry]: 'abc' není "
         "číslo.\n"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Arguments[1]);
        expectFailure(row.Arguments, row.Err);
    }
    EXPECT_FALSE(fs::exists(m_dir / "p.png"));
}

TEST_F(BatchToolTest, CycleTimes) {
    struct TRow {
        const char* Rpm;
        const char* Cycle;
    };
    const TRow rows[] = {
        {"1000", "120"}, {"7000", "17,1"}, {"-1000", "-120"}, {"900", "133,3"}, {" 4500 ", "26,7"}};
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Rpm);
        EXPECT_EQ(output({"events", "--rpm", row.Rpm}), EventReport(row.Cycle, kDefaultEvents));
    }
}

TEST_F(BatchToolTest, FailuresPrintTheErrorBoxTextAndNothingElse) {
    write("two.csv", kTwoCylinders);
    write("bad-correction.txt", "0\n1.5\n");
    write("short-row.csv", "header\n1;0\n");
    struct TRow {
        const char* Name;
        TLines Arguments;
        std::string Err;
    };
    const TRow rows[] = {
        {"speed 0", {"events", "--rpm", "0"}, "Floating point division by zero.\n"},
        {"speed not a number", {"events", "--rpm", "1.5"}, "'1.5' is not a valid floating point value.\n"},
        {"count not an integer", {"events", "--cylinders", "1,5"}, "'1,5' is not a valid integer value.\n"},
        {"thirteen cylinders", {"events", "--cylinders", "13"}, "'' is not a valid floating point value.\n"},
        {"missing cell", {"events", "short-row.csv"}, "Tabulka válců, řádek 2, sloupec 3: chybí hodnota.\n"},
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
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        expectFailure(row.Arguments, row.Err);
    }
    EXPECT_FALSE(fs::exists(m_dir / "p.png"));
}

// The shared engine's mean cycles, in both file forms.
TEST_F(BatchToolTest, CombustionFigures) {
    const std::string data = std::string(MORVANE_TEST_DATA_DIR) + "/combustion/";
    const TLines engine = {"--bore", "86", "--stroke", "75", "--rod", "118", "--compression", "21,2"};
    const auto withEngine = [&](TLines words) {
        words.insert(words.end(), engine.begin(), engine.end());
        return words;
    };
    EXPECT_EQ(output(withEngine({"combustion", data + "fired_mean.csv"})),
              JoinLines({"IMEP [bar];4,767", "IMEP vysokotlaký [bar];4,849", "pmax [bar];65,546",
                         "Úhel pmax [°];368,5", "MFB10 [°];364,35", "MFB50 [°];374,85", "MFB90 [°];407,29",
                         "Teplo [J];443,34"}));
    EXPECT_EQ(output(withEngine({"combustion", data + "motored_mean_deg.csv", "--gamma", "1,3"})),
              JoinLines({"IMEP [bar];-2,21", "IMEP vysokotlaký [bar];-1,778", "pmax [bar];51,64",
                         "Úhel pmax [°];357,5", "Ztrátový úhel [°];-2,5", "Teplo [J];0"}));
    // The trace's top dead centre 1° late: the peak moves 1° earlier, unchanged in height.
    const std::string shifted =
        output(withEngine({"combustion", data + "fired_mean.csv", "--tdc-shift", "1"}));
    EXPECT_NE(shifted.find("pmax [bar];65,546\nÚhel pmax [°];367,5\n"), std::string::npos) << shifted;
    const std::string pegged = output(withEngine({"combustion", data + "fired_mean.csv", "--peg", "point"}));
    EXPECT_NE(pegged.find("\nPosun tlaku [bar];"), std::string::npos) << pegged;
    // No model is today's output; with one the figures of the charge follow the net heat.
    EXPECT_EQ(output(withEngine({"combustion", data + "fired_mean.csv", "--heat-transfer", "none"})),
              output(withEngine({"combustion", data + "fired_mean.csv"})));
    EXPECT_EQ(output(withEngine({"combustion", data + "fired_mean.csv", "--heat-transfer", "woschni", "--ivc",
                                 "220", "--evo", "500", "--ignition", "345", "--rpm", "1799,9"})),
              JoinLines({"IMEP [bar];4,767", "IMEP vysokotlaký [bar];4,849", "pmax [bar];65,546",
                         "Úhel pmax [°];368,5", "MFB10 [°];364,55", "MFB50 [°];375,72", "MFB90 [°];408,96",
                         "Teplo [J];443,34", "Teplo do stěn [J];56,7", "Teplo hrubé [J];492,53",
                         "Tmax [K];1168,29", "Úhel Tmax [°];380,5", "Náplň válce [mg];555,38"}));

    write("short.csv", "1\n2\n");
    struct TRow {
        TLines Arguments;
        std::string Err;
    };
    const TRow rows[] = {
        {{"combustion", data + "fired_mean.csv", "--bore", "86", "--stroke", "75", "--rod", "37,5",
          "--compression", "21"},
         "Ojnice [mm] musí být delší než polovina zdvihu.\n"},
        {withEngine({"combustion", data + "fired_mean.csv", "--gamma", "1.35"}),
         "'1.35' is not a valid floating point value.\n"},
        {withEngine({"combustion", "short.csv"}),
         "The file \"short.csv\" holds 2 pressure values, a cycle needs 1441.\n"},
        {{"combustion", data + "fired_mean.csv", "--bore", "1e400", "--stroke", "75", "--rod", "118",
          "--compression", "21"},
         "Vrtání [mm] musí být od 0,1 do 10000.\n"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Err);
        expectFailure(row.Arguments, row.Err);
    }
}

// A recording taken as FILE: its cycles averaged, their summary on stderr and
// the variation of their IMEP among the figures.
TEST_F(BatchToolTest, CombustionOfARecording) {
    testing::TSynthetic recording;
    recording.Revolutions = 6;
    const fs::path file = write("recording.csv", testing::RecordingText(testing::RecordingLines(recording)));
    const TLines engine = {"--bore", "86", "--stroke", "75", "--rod", "118", "--compression", "21,2"};
    TLines arguments = {"combustion", file.string(), "--wheel",          "60-2", "--sample-rate", "100000",
                        "--cycles",   "c.csv",       "--pressure-scale", "1"};
    arguments.insert(arguments.end(), engine.begin(), engine.end());
    const TRun result = run(arguments);
    EXPECT_EQ(result.Code, 0) << result.Err;
    EXPECT_EQ(result.Err, "Cykly / Otáčky [RPM]: 3 / 3000\n");
    for (const char* line :
         {"\nCoV IMEP [%];", "\nVynechané cykly;0\n", "\nMAPO max [bar];", "\nKlepající cykly;0\n"}) {
        EXPECT_NE(result.Out.find(line), std::string::npos) << line << result.Out;
    }
    const std::string cycles = ReadFile(m_dir / "c.csv");
    EXPECT_EQ(cycles.rfind("Cyklus;IMEP [bar];", 0), 0u) << cycles;
    EXPECT_EQ(std::count(cycles.begin(), cycles.end(), '\n'), 4);

    // With a model each cycle gets its gross heat and Tmax, at its own speed.
    TLines model = arguments;
    model.insert(model.end(),
                 {"--heat-transfer", "hohenberg", "--ivc", "220", "--evo", "500", "--ignition", "345"});
    const TRun modelled = run(model);
    EXPECT_EQ(modelled.Code, 0) << modelled.Err;
    EXPECT_NE(modelled.Out.find("\nTeplo do stěn [J];"), std::string::npos) << modelled.Out;
    const std::string modelledCycles = ReadFile(m_dir / "c.csv");
    EXPECT_EQ(
        modelledCycles.substr(0, modelledCycles.find('\n')),
        "Cyklus;IMEP [bar];IMEP vysokotlaký [bar];pmax [bar];Úhel pmax [°];MFB10 [°];MFB50 [°];MFB90 [°];"
        "Teplo [J];Teplo hrubé [J];Tmax [K];Posun tlaku [bar];Vynechání;MAPO [bar]");

    arguments = {"combustion", file.string(), "--sample-rate", "100000"};
    arguments.insert(arguments.end(), engine.begin(), engine.end());
    EXPECT_EQ(run(arguments).Code, 2);

    // A cycle that fails is told after the import's summary, as the whole
    // recording's analysis would tell it, and no table is written.
    recording.Added = [](int cycle, double, double) { return cycle == 1 ? -2.0 : 0.0; };
    write("recording.csv", testing::RecordingText(testing::RecordingLines(recording)));
    fs::remove(m_dir / "c.csv");
    arguments = {"combustion", file.string(), "--wheel",          "60-2", "--sample-rate", "100000",
                 "--cycles",   "c.csv",       "--pressure-scale", "1"};
    arguments.insert(arguments.end(), engine.begin(), engine.end());
    const TRun failed = run(arguments);
    EXPECT_EQ(failed.Code, 1);
    EXPECT_EQ(failed.Err.rfind("Cykly / Otáčky [RPM]: 3 / 3000\nTlak cyklu 2 při ", 0), 0U) << failed.Err;
    EXPECT_FALSE(fs::exists(m_dir / "c.csv"));
}

// The same recording as MDF 4 gives the text's figures; its channels are listed.
TEST_F(BatchToolTest, CombustionOfAnMdfRecording) {
    testing::TSynthetic recording;
    recording.Revolutions = 6;
    recording.TimeColumn = true;
    const TLines lines = testing::RecordingLines(recording);
    testing::TMdfPlan plan;
    plan.Groups = {testing::RecordingGroup(lines)};
    plan.Storage = testing::TMdfStorage::Deflate;
    plan.BlockBytes = 65536;
    const fs::path mdf = write("recording.mf4", testing::MdfFileBytes(plan));
    const fs::path text = write("recording.csv", testing::RecordingText(lines));
    const TLines engine = {"--wheel", "60-2", "--pressure-scale", "1",   "--bore", "86", "--stroke", "75",
                           "--rod",   "118",  "--compression",    "21,2"};
    TLines fromText = {"combustion", text.string(), "--time-column", "3"};
    fromText.insert(fromText.end(), engine.begin(), engine.end());
    TLines fromMdf = {"combustion", mdf.string(),     "--encoder-column",
                      "Encoder",    "--value-column", "Pressure"};
    fromMdf.insert(fromMdf.end(), engine.begin(), engine.end());
    const TRun expected = run(fromText);
    ASSERT_EQ(expected.Code, 0) << expected.Err;
    const TRun result = run(fromMdf);
    EXPECT_EQ(result.Code, 0) << result.Err;
    EXPECT_EQ(result.Out, expected.Out);
    EXPECT_EQ(result.Err, expected.Err);
    const std::string samples = std::to_string(lines.size() - 1);
    EXPECT_EQ(run({"channels", mdf.string()}).Out, "Skupina;Kanál;Jednotka;Vzorků;Hlavní\n1;Encoder;;" +
                                                       samples + ";Zeit\n1;Pressure;;" + samples +
                                                       ";Zeit\n1;Zeit;s;" + samples + ";Zeit\n");
    EXPECT_EQ(run({"channels", text.string()}).Out, "Skupina;Kanál;Jednotka;Vzorků;Hlavní\n1;encoder;;" +
                                                        samples + ";\n1;pressure;;" + samples +
                                                        ";\n1;time;;" + samples + ";\n");
}

// A recording in the angle domain: its cycles without a wheel, its speed for
// the wall heat given as for a pressure file.
TEST_F(BatchToolTest, CombustionOfAnAngleDomainRecording) {
    std::string text = "Úhel;Tlak\n";
    for (int i = 0; i <= 3 * 1440; ++i) {
        text += std::to_string(i % 1440 / 2) + (i % 2 == 0 ? ",0;" : ",5;") +
                FormatFloatGeneral(testing::Pressure(i % 1440 / 2.0), kDecimalComma) + "\n";
    }
    const fs::path file = write("angle.csv", text);
    const TLines figures = {"combustion",
                            file.string(),
                            "--angle-column",
                            "1",
                            "--value-column",
                            "2",
                            "--pressure-scale",
                            "1",
                            "--bore",
                            "86",
                            "--stroke",
                            "75",
                            "--rod",
                            "118",
                            "--compression",
                            "21,2",
                            "--heat-transfer",
                            "woschni",
                            "--ivc",
                            "220",
                            "--evo",
                            "500",
                            "--ignition",
                            "345"};
    TLines withRpm = figures;
    withRpm.insert(withRpm.end(), {"--rpm", "2000"});
    const TRun result = run(withRpm);
    EXPECT_EQ(result.Code, 0) << result.Err;
    EXPECT_EQ(result.Err,
              "Cykly: 3 (záznam v úhlu)\nKlepání se nepočítá: záznam v úhlu nemá vzorky v čase\n");
    EXPECT_NE(result.Out.find("\nTeplo do stěn [J];"), std::string::npos) << result.Out;
    EXPECT_EQ(run(figures).Code, 2);
    TLines withWheel = withRpm;
    withWheel.insert(withWheel.end(), {"--wheel", "60-2"});
    EXPECT_EQ(run(withWheel).Code, 2);

    // Two cylinders 360° apart, the same cycle in each: alike in their own frames.
    std::string two = "Úhel;Tlak 1;Tlak 2\n";
    for (int i = 0; i <= 4 * 1440; ++i) {
        const auto pressureAt = [](int half) {
            return FormatFloatGeneral(testing::Pressure((half + 1440) % 1440 / 2.0), kDecimalComma);
        };
        two += std::to_string(i / 2) + (i % 2 == 0 ? ",0;" : ",5;") + pressureAt(i) + ";" +
               pressureAt(i - 720) + "\n";
    }
    write("two.csv", two);
    const TRun cylinders = run({"combustion",
                                "two.csv",
                                "--angle-column",
                                "1",
                                "--pressure-columns",
                                "2,3",
                                "--pressure-scale",
                                "1",
                                "--firing-order",
                                "1-2",
                                "--intervals",
                                "360,360",
                                "--bore",
                                "86",
                                "--stroke",
                                "75",
                                "--rod",
                                "118",
                                "--compression",
                                "21,2"});
    ASSERT_EQ(cylinders.Code, 0) << cylinders.Err;
    std::istringstream rows(cylinders.Out);
    std::string header, first, second;
    std::getline(rows, header);
    std::getline(rows, first);
    std::getline(rows, second);
    EXPECT_EQ(first.substr(1), second.substr(1)) << cylinders.Out;
}

// --table prints the file's row instead of its figure lines; --cycles is written all the same.
TEST_F(BatchToolTest, CyclesFileWithTheTableForms) {
    testing::TSynthetic recording;
    recording.Revolutions = 6;
    write("recording.csv", testing::RecordingText(testing::RecordingLines(recording)));
    for (const char* form : {"whole", "rows"}) {
        SCOPED_TRACE(form);
        fs::remove(m_dir / "c.csv");
        TLines arguments = {"combustion",    "recording.csv", "--cycles",         "c.csv", "--wheel", "60-2",
                            "--sample-rate", "100000",        "--pressure-scale", "1"};
        arguments.insert(arguments.end(), {"--bore", "86", "--stroke", "75", "--rod", "118", "--compression",
                                           "21,2", "--table", form});
        const TRun result = run(arguments);
        EXPECT_EQ(result.Code, 0) << result.Err;
        const std::string cycles = ReadFile(m_dir / "c.csv");
        EXPECT_EQ(cycles.rfind("Cyklus;IMEP [bar];", 0), 0u) << cycles;
        EXPECT_EQ(std::count(cycles.begin(), cycles.end(), '\n'), 4);
    }
}

// Mistakes in the reference, the scale and the knock band: exit 2 before anything is read or written.
TEST_F(BatchToolTest, PressureOptionMistakes) {
    testing::TSynthetic synthetic;
    synthetic.Revolutions = 6;
    const std::string recording =
        write("rec.csv", testing::RecordingText(testing::RecordingLines(synthetic))).string();
    const std::string cycle = std::string(MORVANE_TEST_DATA_DIR) + "/combustion/fired_mean.csv";
    const TLines engine = {"--bore", "86", "--stroke", "75", "--rod", "118", "--compression", "21,2"};
    const TLines wheel = {"--wheel", "60-2", "--sample-rate", "100000"};
    struct TRow {
        TLines Arguments;
        std::string Mistake;  // the first line of stderr
    } const rows[] = {
        {{cycle, "--peg", "point", "--peg-range", "185,175"},
         "Rozsah vztažení [°] musí být od menšího k většímu v rozsahu 0 až 720 a zahrnout alespoň dva body "
         "cyklu"},
        {{cycle, "--peg", "linear"}, "--peg must be none, point or polytropic"},
        {{cycle, "--peg", "polytropic", "--peg-exponent", "0"}, ""},
        {{cycle, "--tdc-shift", "x"}, "'x' is not a valid floating point value"},
        {{cycle, "--tdc-shift", "-1e400"}, "Posun HÚ [°] musí být v rozsahu -360 až 360"},
        {{recording, wheel[0], wheel[1], wheel[2], wheel[3]},
         "the recording is not in bar: give the sensor's scale with --pressure-scale BAR_PER_UNIT (záznam "
         "není "
         "v barech: zadejte citlivost snímače)"},
        {{recording, wheel[0], wheel[1], wheel[2], wheel[3], "--pressure-scale", "1", "--knock-band",
          "4000,60000"},
         ""},
        {{cycle, "--knock-threshold", "2"}, "--knock-threshold needs --wheel T-M"},
        {{cycle, "--cycles", cycle}, ""},
        {{cycle, cycle, "--cycles", "c.csv"}, "--cycles takes the cycles of one FILE"},
        {{cycle, "--heat-transfer", "annand"}, "--heat-transfer must be none, woschni or hohenberg"},
        {{cycle, "--gamma-model", "linear"}, "--gamma-model must be constant or brunt"},
        {{cycle, "--heat-transfer", "woschni", "--rpm", "1800"},
         "--heat-transfer woschni needs the cylinder's angles: give --ivc DEG, --ignition DEG and --evo DEG "
         "(0 = gas-exchange top dead centre; chybí úhly válce)"},
        {{cycle, "--heat-transfer", "hohenberg", "--rpm", "1800", "--ivc", "220", "--evo", "500"},
         "--heat-transfer hohenberg needs the cylinder's angles: give --ignition DEG (0 = gas-exchange top "
         "dead "
         "centre; chybí úhly válce)"},
        {{cycle, "--gamma-model", "brunt"},
         "--gamma-model brunt needs the cylinder's angles: give --ivc DEG (0 = gas-exchange top dead centre; "
         "chybí úhly válce)"},
        {{cycle, "--heat-transfer", "woschni", "--ivc", "220", "--evo", "500", "--ignition", "345"},
         "--heat-transfer woschni needs the engine's speed of a pressure file: give --rpm N (chybí otáčky)"},
        {{recording, wheel[0], wheel[1], wheel[2], wheel[3], "--pressure-scale", "1", "--heat-transfer",
          "woschni", "--ivc", "220", "--evo", "500", "--ignition", "345", "--rpm", "1800"},
         "--rpm is for a pressure file: a recording gives each cycle's own speed"},
        {{cycle, "--heat-transfer", "woschni", "--rpm", "1800", "--ivc", "360", "--evo", "500", "--ignition",
          "345"},
         "SV zavírá [°] musí být před zapalováním (Zapalování)"},
        {{cycle, "--heat-transfer", "woschni", "--rpm", "1800", "--ivc", "220", "--evo", "340", "--ignition",
          "345"},
         "Zapalování [°] musí být před otevřením výfukového ventilu (VV otvírá)"},
        {{cycle, "--heat-transfer", "woschni", "--wall-temperature", "0"},
         "--wall-temperature must be above 0 and at most 5000"},
        {{cycle, "--intake-temperature", "nan"}, "--intake-temperature must be a number"},
        {{cycle, "--heat-transfer", "woschni", "--rpm", "0"}, "--rpm must be above 0 and at most 1000000"},
        {{cycle, "--ivc", "721"}, "--ivc must be from 0 to 720"},
        {{cycle, "--wall-temperature", "400"},
         "--wall-temperature goes only with --heat-transfer woschni or hohenberg"},
        {{cycle, "--rpm", "1800"}, "--rpm goes only with --heat-transfer woschni or hohenberg"},
    };
    for (const TRow& row : rows) {
        TLines arguments = {"combustion"};
        arguments.insert(arguments.end(), row.Arguments.begin(), row.Arguments.end());
        arguments.insert(arguments.end(), engine.begin(), engine.end());
        SCOPED_TRACE(JoinLines(arguments));
        const TRun result = run(arguments);
        EXPECT_EQ(result.Code, 2);
        EXPECT_EQ(result.Out, "");
        if (!row.Mistake.empty()) {
            EXPECT_EQ(result.Err.substr(0, result.Err.find('\n')), "morvane-cli: " + row.Mistake);
        }
    }
    EXPECT_FALSE(fs::exists(m_dir / "c.csv"));
}

// An 8 kHz ring of 3 bar in the second cycle's knock window: that cycle knocks,
// MAPO near the ring's amplitude (the band passes 8 kHz nearly whole); a higher
// threshold or a window after the ring sees no knock.
TEST_F(BatchToolTest, KnockOfARecording) {
    testing::TSynthetic synthetic;
    synthetic.Revolutions = 8;
    synthetic.Added = [](int cycle, double angle, double t) {
        const bool ringing = cycle == 1 && angle >= 370 && angle < 400;
        return ringing ? 3 * std::exp(-(angle - 370) / 20) * std::sin(2 * M_PI * 8000 * t) : 0.0;
    };
    write("knock.csv", testing::RecordingText(testing::RecordingLines(synthetic)));
    const TLines command = {"combustion",    "knock.csv", "--bore",           "86",   "--stroke", "75",
                            "--rod",         "118",       "--compression",    "21,2", "--wheel",  "60-2",
                            "--sample-rate", "100000",    "--pressure-scale", "1"};
    const struct {
        TLines Options;
        const char* Knocking;
    } rows[] = {
        {{}, "Klepající cykly;1\n"},
        {{"--knock-threshold", "5"}, "Klepající cykly;0\n"},
        {{"--knock-window", "450,500"}, "Klepající cykly;0\n"},
    };
    for (const auto& row : rows) {
        TLines arguments = command;
        arguments.insert(arguments.end(), row.Options.begin(), row.Options.end());
        const TRun result = run(arguments);
        SCOPED_TRACE(result.Out);
        EXPECT_EQ(result.Code, 0) << result.Err;
        EXPECT_NE(result.Out.find(row.Knocking), std::string::npos);
        if (row.Options.empty()) {
            const std::size_t at = result.Out.find("MAPO max [bar];");
            ASSERT_NE(at, std::string::npos);
            const double mapo = std::stod(result.Out.substr(at + 15, 6).replace(1, 1, "."));
            EXPECT_GT(mapo, 2.4);
            EXPECT_LT(mapo, 3.3);
        }
    }
}

// The proposal moves with the loss angle one for one (s = θsym + loss − 360).
TEST_F(BatchToolTest, TdcProposal) {
    const std::string motored = std::string(MORVANE_TEST_DATA_DIR) + "/combustion/motored_mean_deg.csv";
    EXPECT_EQ(output({"tdc", motored}), "Posun HÚ [°];-2,71\n");
    EXPECT_EQ(output({"tdc", motored, "--loss-angle", "0,8"}), "Posun HÚ [°];-1,91\n");
    EXPECT_EQ(run({"tdc", motored, "--wheel", "60-2", "--sample-rate", "1000"}).Code, 2);
    // One broken sample would rule the chords: refused as the figures refuse it.
    std::string spiked = ReadFile(motored);
    const std::size_t line = spiked.find("\n150,0;");
    spiked.replace(spiked.find(';', line) + 1, spiked.find('\n', line + 1) - spiked.find(';', line) - 1,
                   "1E300");
    const TRun spike = run({"tdc", write("spike.csv", spiked).string()});
    EXPECT_EQ(spike.Code, 1);
    EXPECT_NE(spike.Err.find("při 150° [bar] 1E300"), std::string::npos) << spike.Err;

    // A recording, as its help says: the synthetic peak lies 12° after top dead centre.
    testing::TSynthetic synthetic;
    synthetic.Revolutions = 6;
    write("rec.csv", testing::RecordingText(testing::RecordingLines(synthetic)));
    const TRun recording =
        run({"tdc", "rec.csv", "--wheel", "60-2", "--sample-rate", "100000", "--pressure-scale", "1"});
    EXPECT_EQ(recording.Code, 0) << recording.Err;
    EXPECT_EQ(recording.Out, "Posun HÚ [°];12\n");
}

// The chords lie at shares of the peak, so a trace 5 bar too high proposes
// another shift; pegged, both traces propose the same.
TEST_F(BatchToolTest, TdcProposalOfAPeggedTrace) {
    const std::string motored = std::string(MORVANE_TEST_DATA_DIR) + "/combustion/motored_mean_deg.csv";
    std::istringstream lines(ReadFile(motored));
    std::string raised;
    std::getline(lines, raised);
    raised += "\n";
    for (std::string line; std::getline(lines, line);) {
        std::string pressure = line.substr(line.find(';') + 1);
        std::replace(pressure.begin(), pressure.end(), ',', '.');
        std::string value = std::to_string(std::stod(pressure) + 5);
        std::replace(value.begin(), value.end(), '.', ',');
        raised += line.substr(0, line.find(';') + 1) + value + "\n";
    }
    const std::string high = write("high.csv", raised).string();
    const TLines engine = {"--bore", "86", "--stroke", "75", "--rod", "118", "--compression", "21,2"};
    TLines polytropic = {"--peg", "polytropic"};
    polytropic.insert(polytropic.end(), engine.begin(), engine.end());
    const struct {
        TLines Options;
        bool SameForBoth;
    } rows[] = {{{}, false}, {{"--peg", "point"}, true}, {polytropic, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(JoinLines(row.Options));
        TLines original = {"tdc", motored};
        TLines higher = {"tdc", high};
        original.insert(original.end(), row.Options.begin(), row.Options.end());
        higher.insert(higher.end(), row.Options.begin(), row.Options.end());
        EXPECT_EQ(output(original) == output(higher), row.SameForBoth) << output(original) << output(higher);
    }
    const TRun mistake = run({"tdc", motored, "--peg", "polytropic", "--bore", "86"});
    EXPECT_EQ(mistake.Code, 2);
    EXPECT_EQ(mistake.Err.substr(0, mistake.Err.find('\n')),
              "morvane-cli: --peg polytropic needs --bore, --stroke, --rod and --compression");
}

// A test day's recordings: one table in the order given, a failed file's row
// among the others, exit 1 after all of them; the same rows from one file at a
// time (gathered by GNU parallel as across hosts).
TEST_F(BatchToolTest, SeveralRecordingsMakeOneTable) {
    TLines files;
    for (int i = 0; i < 3; ++i) {
        testing::TSynthetic synthetic;
        synthetic.Revolutions = 6 + 2 * i;
        synthetic.RpmStart = synthetic.RpmEnd = 2000 + 500 * i;
        synthetic.Scale = 2;
        const std::string name = "rec" + std::to_string(i) + ".csv";
        files.push_back(write(name, testing::RecordingText(testing::RecordingLines(synthetic))).filename());
    }
    const TLines options = {"--bore",           "86",   "--stroke", "75",   "--rod",         "118",
                            "--compression",    "21,2", "--wheel",  "60-2", "--sample-rate", "100000",
                            "--pressure-scale", "2"};
    TLines arguments = {"combustion", files[0], "missing.csv", files[1], files[2], "-j", "2"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    const TRun table = run(arguments);
    EXPECT_EQ(table.Code, 1);
    EXPECT_EQ(table.Err, "");
    std::istringstream lines(table.Out);
    TLines rows;
    for (std::string line; std::getline(lines, line);) {
        rows.push_back(line);
    }
    ASSERT_EQ(rows.size(), 5u) << table.Out;
    EXPECT_EQ(
        rows[0],
        "Soubor;Cykly;Otáčky [RPM];IMEP [bar];CoV IMEP [%];pmax [bar];MFB50 [°];MAPO max [bar];Klepající "
        "cykly;Vynechané cykly");
    EXPECT_EQ(rows[2], "missing.csv;\"Cannot open file \"\"" + (m_dir / "missing.csv").string() +
                           "\"\". No such file or directory.\"");
    for (int i = 0; i < 3; ++i) {
        const std::string& row = rows[i == 0 ? 1 : i + 2];
        SCOPED_TRACE(row);
        EXPECT_EQ(
            row.rfind(files[i] + ";" + std::to_string(3 + i) + ";" + std::to_string(2000 + 500 * i) + ";", 0),
            0u);
        EXPECT_EQ(std::count(row.begin(), row.end(), ';'), 9);
    }

    arguments = {"combustion", files[0], files[1], files[2], "-j", "1"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    const std::string sequential = output(arguments);
    if (std::system("command -v parallel >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "GNU parallel is not installed (scripts/setup.sh installs it): the recipe is not run";
    }
    std::string recipe = "cd " + ShellQuoted(m_dir.string()) + " && parallel -k " +
                         ShellQuoted(MORVANE_CLI_PATH) + " combustion {} --table rows";
    for (const std::string& option : options) {
        recipe += " " + ShellQuoted(option);
    }
    recipe += " ::: " + files[0] + " " + files[1] + " " + files[2] + " >rows.txt";
    ASSERT_EQ(std::system(recipe.c_str()), 0) << recipe;
    EXPECT_EQ(ReadFile(m_dir / "rows.txt"), sequential.substr(sequential.find('\n') + 1));
}

// A name or an error text holding ';', '"' or a line break stays one cell:
// the figures keep their columns.
TEST_F(BatchToolTest, TableCellsAreQuoted) {
    fs::copy_file(fs::path(MORVANE_TEST_DATA_DIR) / "combustion" / "fired_mean.csv", m_dir / "a;b.csv");
    const TRun table = run({"combustion", "a;b.csv", "x\ny.csv", "m;.csv", "--bore", "86", "--stroke", "75",
                            "--rod", "118", "--compression", "21,2"});
    EXPECT_EQ(table.Code, 1);
    const std::string folder = m_dir.string();
    EXPECT_EQ(table.Out.substr(table.Out.find('\n') + 1),
              "\"a;b.csv\";;;4,767;;65,546;374,85;;;\n"
              "\"x\ny.csv\";\"Cannot open file \"\"" +
                  folder + "/x\\x0Ay.csv\"\". No such file or directory.\"\n" +
                  "\"m;.csv\";\"Cannot open file \"\"" + folder +
                  "/m;.csv\"\". No such file or directory.\"\n");
}

// A FIFO whose writer never writes holds back no row but its own: after
// --timeout its row says so, the others follow, and the tool ends with 1; one
// such FILE fails as the error box would.
TEST_F(BatchToolTest, AFileThatStallsIsGivenUpAfterTheTimeout) {
    const fs::path fifo = m_dir / "stalled";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int writer = ::open(fifo.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    fs::copy_file(fs::path(MORVANE_TEST_DATA_DIR) / "combustion" / "fired_mean.csv", m_dir / "p.csv");
    const auto started = std::chrono::steady_clock::now();
    const TRun table =
        run({"combustion", "stalled", "p.csv", "p.csv", "-j", "2", "--timeout", "0,5", "--bore", "86",
             "--stroke", "75", "--rod", "118", "--compression", "21,2", "--table", "rows"});
    expectFailure({"combustion", "stalled", "--timeout", "0,5", "--bore", "86", "--stroke", "75", "--rod",
                   "118", "--compression", "21,2"},
                  "Soubor \"stalled\" nebyl přečten do 0,5 s (--timeout)\n");
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    ::close(writer);
    EXPECT_EQ(table.Code, 1);
    const std::string figures = ";;;4,767;;65,546;374,85;;;\n";
    EXPECT_EQ(table.Out, "stalled;\"Soubor \"\"stalled\"\" nebyl přečten do 0,5 s (--timeout)\"\np.csv" +
                             figures + "p.csv" + figures);
    EXPECT_LT(seconds, 30);
}

TEST_F(BatchToolTest, TooManyTableLinesAreAUsageMistake) {
    std::string table = "header\n";
    for (int i = 0; i < 13; ++i) {
        table += "0;0;0;0;0;0;0\n";
    }
    write("thirteen.csv", table);
    const TRun result = run({"events", "thirteen.csv"});
    EXPECT_EQ(result.Code, 2);
    EXPECT_EQ(result.Out, "");
    EXPECT_EQ(result.Err.substr(0, result.Err.find('\n') + 1),
              "morvane-cli: the cylinder table has 12 rows, the file gives 13\n");
}

TEST_F(BatchToolTest, UsageHelpAndVersion) {
    const std::string renderUsage =
        "usage: morvane-cli render [TABLE] [events options] [--angle FILE | --time FILE | --encoder FILE "
        "--wheel T-M\n"
        "                    (--time-column C | --sample-rate HZ) [other encoder options]] [--cursor "
        "0..720]\n"
        "                   [--filter 0..96] [--gain 10..100] [--kinds BBBB] [--size WxH] --output "
        "FILE.png\n";
    TRun result = run({"render", "--filter", "97", "--output", "p.png"});
    EXPECT_EQ(result.Code, 2);
    EXPECT_EQ(result.Out, "");
    EXPECT_EQ(result.Err, "morvane-cli: --filter must be an integer from 0 to 96\n" + renderUsage);

    result = run({"events", "--frobnicate"});
    EXPECT_EQ(result.Code, 2);
    EXPECT_EQ(
        result.Err,
        "morvane-cli: unknown option '--frobnicate'\n"
        "usage: morvane-cli events [TABLE] [--cylinders TEXT] [--rpm TEXT] [--global TEXT] [--corrections "
        "FILE]\n"
        "                   [--firing-order TEXT [--intervals LIST]]\n");

    result = run({});
    EXPECT_EQ(result.Code, 2);
    EXPECT_EQ(result.Err,
              "morvane-cli: no command given\n"
              "usage: morvane-cli (events | signal | render | valves | combustion | tdc | channels) "
              "[options]; --help, "
              "--version\n");

    for (const char* command : {"events", "signal", "render"}) {
        SCOPED_TRACE(command);
        result = run({command, "--help"});
        EXPECT_EQ(result.Code, 0);
        EXPECT_EQ(result.Err, "");
        EXPECT_EQ(result.Out.rfind(std::string("usage: morvane-cli ") + command, 0), 0u) << result.Out;
        EXPECT_EQ(output({command, "--version"}), std::string("morvane-cli ") + MORVANE_VERSION_TEXT + "\n");
    }
    EXPECT_EQ(output({"--version"}), std::string("morvane-cli ") + MORVANE_VERSION_TEXT + "\n");
}

// The 1441 entries of an all-zero signal with these first ones.
std::string SignalEntries(const TLines& first) {
    TLines entries = first;
    entries.resize(SignalPoints, "0");
    return JoinLines(entries);
}

TEST_F(BatchToolTest, SignalImports) {
    write("angle.csv", "trigger;value\n1;1\n0;2\n1;3\n0;4\n1;5\n");
    write("time.csv", "0\n2\n4\n");
    TRun result = run({"signal", "--angle", "angle.csv"});
    EXPECT_EQ(result.Code, 0);
    EXPECT_EQ(result.Err, "Řádky / Vrcholy: 6 / 2\n");
    EXPECT_EQ(result.Out, SignalEntries({"0,2", "1"}));

    result = run({"signal", "--time", "time.csv"});
    EXPECT_EQ(result.Code, 0);
    EXPECT_EQ(result.Err, "Řádky / Vrcholy: 3 / 1440\n");
    TLines entries;
    std::istringstream lines(result.Out);
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
    struct TRow {
        const char* Name;
        TLines Arguments;
        std::string Err;
    };
    const TRow rows[] = {
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
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        expectFailure(row.Arguments, row.Err);
    }
}

TEST_F(BatchToolTest, AngleOutputRoundTripsThroughTheTimeImport) {
    SCOPED_TRACE("worked example");
    expectAngleOutputRoundTrips(write("angle.csv", "h\n1;1\n0;2\n1;3\n0;4\n1;5\n"));
}

// The same on the real bench recording: its own ctest entry (cli_test_real_data),
// which ctest lists as skipped when the recording is absent.
class BatchToolRealDataTest : public BatchToolTest {};

TEST_F(BatchToolRealDataTest, AngleOutputRoundTripsThroughTheTimeImport) {
    const fs::path bench = testing::SharedDataFile("bench-engine-angle.csv");
    if (const std::string missing = testing::MissingSharedData(bench); !missing.empty()) {
        GTEST_SKIP() << missing;
    }
    SCOPED_TRACE("engine bench");
    expectAngleOutputRoundTrips(bench);
}

// The bench recording averaged onto the cycle: its output is a time-signal file too.
TEST_F(BatchToolRealDataTest, EncoderImportOfTheBenchRecording) {
    const std::string path = testing::SharedDataFile("bench-engine-angle.csv").string();
    if (const std::string missing = testing::MissingSharedData(path); !missing.empty()) {
        GTEST_SKIP() << missing;
    }
    const TLines encoder = {"--encoder",     path,     "--wheel",           "60-3",
                            "--sample-rate", "100000", "--reference-angle", "107"};
    TLines arguments = {"signal"};
    arguments.insert(arguments.end(), encoder.begin(), encoder.end());
    TRun result = run(arguments);
    EXPECT_EQ(result.Code, 0);
    EXPECT_EQ(result.Err, "Cykly / Otáčky [RPM]: 11 / 2937\n");
    write("cycle.csv", result.Out);
    result = run({"signal", "--time", "cycle.csv"});
    EXPECT_EQ(result.Err, "Řádky / Vrcholy: 1441 / 1440\n");

    arguments = {"render", "--output", "cycle.png"};
    arguments.insert(arguments.end(), encoder.begin(), encoder.end());
    EXPECT_EQ(run(arguments).Code, 0);
    EXPECT_TRUE(fs::exists(m_dir / "cycle.png"));

    arguments = {"signal", "--encoder", path, "--wheel", "60-2", "--sample-rate", "100000"};
    result = run(arguments);
    EXPECT_EQ(result.Code, 1);
    EXPECT_EQ(result.Err, "Otáčka 1: nalezeno hran 57, kolo jich má 58.\n");
}

// The pixels of an 8-bit RGB PNG with unfiltered rows, as WritePng writes it.
std::vector<TColor> DecodePng(const std::string& bytes, int& width, int& height) {
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

// A pixel whose colour follows by hand from the drawing rules of the picture.
struct TPixel {
    int X;
    int Y;
    TColor Color;
    const char* Why;
};

constexpr TColor kPistonBlue = RgbColor(0, 0, 255);     // kind 0
constexpr TColor kIntakeGreen = RgbColor(0, 255, 170);  // kind 1
constexpr TColor kExhaustLime = RgbColor(170, 255, 0);  // kind 2

// The picture is compared with a committed golden file (tests/data/cli, made by
// the tool and checked by eye) and, independently, with pixels worked out by hand.
TEST_F(BatchToolTest, RenderedPictureMatchesTheGoldenAndTheDrawingRules) {
    write("two.csv", kTwoCylinders);
    write("angle.csv", "h\n1;1\n0;2\n1;-3\n0;4\n1;5\n1;0\n2;1\n0;0\n");
    struct TRow {
        const char* Name;
        TLines Arguments;
        const char* Golden;
        int W;
        int H;
        int CursorColumn;
        std::vector<TPixel> Pixels;
    };
    const TRow rows[] = {
        {"defaults: 663 x 300, one cylinder, no signal, cursor at 0",
         {"render", "--output", "p.png"},
         "render-defaults.png",
         663,
         300,
         1,
         {{0, 0, kBlackColor, "frame"},
          {662, 299, kBlackColor, "frame"},
          {1, 298, kRedColor, "the cursor over the markers at 0"},
          {1, 299, kBlackColor, "the cursor stops before the frame"},
          {100, 150, kGrayColor, "axis on y0 = 150 over the flat trace"},
          {662, 150, kBlackColor, "the axis stops before the frame"},
          {331, 1, kGrayColor, "centre line xMid = 331, step 0"},
          {331, 2, kWhiteColor, "centre line, step 1 in the brush colour"},
          {331, 150, kWhiteColor, "centre line step 149 over the axis"},
          {166, 140, kPistonBlue, "stem of 06 (180 deg: column 661 * 180 / 720 + 1 = 166), upwards"},
          {156, 110, kPistonBlue, "box of 06, top-left corner"},
          {176, 129, kWhiteColor, "right of the box of 06"},
          {157, 111, kWhiteColor, "box of 06 still ahead of the cursor: hollow"},
          {332, 160, kPistonBlue, "stem of 07 (360 deg: 331.5 rounds to even 332), downwards"},
          {331, 171, kWhiteColor, "box of 07 hides the centre line"},
          {8, 111, kPistonBlue, "box of 00 at 0 deg, reached by the cursor: filled"},
          {8, 81, kIntakeGreen, "box of 02, lane 50 up"},
          {8, 231, kExhaustLime, "box of 05, lane 80 down"},
          {8, 261, kRedColor, "box of 01 (ignition), lane 110 down"}}},
        {"every option: 400 x 200, two cylinders, angle signal, cursor at 360, pistons and exhaust valves",
         {"render", "two.csv", "--angle", "angle.csv", "--cursor", "360", "--filter", "50", "--gain", "30",
          "--kinds", "1010", "--size", "400x200", "--output", "p.png"},
         "render-every-option.png",
         400,
         200,
         200,
         {{200, 100, kRedColor, "the cursor (398 * 360 / 720 + 1 = 200) over the axis"},
          {200, 199, kBlackColor, "the cursor stops before the frame"},
          {90, 60, kPistonBlue, "box of 02 (180 deg: 100.5 rounds to even 100)"},
          {91, 61, kPistonBlue, "box of 02 behind the cursor: filled"},
          {290, 60, kPistonBlue, "box of 14 (540 deg: 299.5 rounds to even 300)"},
          {291, 61, kWhiteColor, "box of 14 ahead of the cursor: hollow"},
          {300, 150, kExhaustLime, "stem of 11, lane 80 down"},
          {290, 199, kExhaustLime, "box of 11 reaches the bottom row"},
          {399, 0, kExhaustLime, "box of 16 at 720 deg covers the frame's corner"}}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        fs::remove(m_dir / "p.png");
        const TRun result = run(row.Arguments);
        ASSERT_EQ(result.Code, 0) << result.Err;
        EXPECT_EQ(result.Out, "");

        int width = 0;
        int height = 0;
        const std::vector<TColor> pixels = DecodePng(ReadFile(m_dir / "p.png"), width, height);
        ASSERT_EQ(width, row.W);
        ASSERT_EQ(height, row.H);
        const auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; };
        // The cursor is drawn last, so its column is red whatever lies below it.
        EXPECT_EQ(at(row.CursorColumn, 1), kRedColor);
        for (const TPixel& pixel : row.Pixels) {
            EXPECT_EQ(at(pixel.X, pixel.Y), pixel.Color)
                << "(" << pixel.X << ", " << pixel.Y << "): " << pixel.Why;
        }

        int goldenWidth = 0;
        int goldenHeight = 0;
        const std::vector<TColor> golden = DecodePng(
            ReadFile(fs::path(MORVANE_TEST_DATA_DIR) / "cli" / row.Golden), goldenWidth, goldenHeight);
        ASSERT_EQ(goldenWidth, width) << row.Golden;
        ASSERT_EQ(goldenHeight, height) << row.Golden;
        std::size_t differing = 0;
        std::string first;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (at(x, y) != golden[static_cast<std::size_t>(y) * width + x]) {
                    if (differing++ == 0) {
                        first = "first at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
                    }
                }
            }
        }
        EXPECT_EQ(differing, 0u) << first << "; golden " << row.Golden;
    }
}

const char* const kFourCylinders =
    "č.;Přesazení;Zapalování;SV otvírá;SV zavírá;VV otvírá;VV zavírá\n"
    "1;0;340;-31;243;463;749\n"
    "2;0;340;-20;240;480;740\n"
    "3;0;340;-30,5;243,5;463;749,5\n"
    "4;0;340;-31;243;463;749\n";

TEST_F(BatchToolTest, ValveTimingPerCylinder) {
    write("four.csv", kFourCylinders);
    const std::string header =
        "Válec;Přesazení;Sání [°];Výfuk [°];Překrytí [°];Osa sání [°];Osa výfuku [°];Rozestup os [°]\n";
    EXPECT_EQ(output({"valves", "four.csv", "--firing-order", "1-3-4-2"}),
              header +
                  "1;0;274;286;60;106;114;110\n"
                  "2;540;260;260;40;110;110;110\n"
                  "3;180;274;286,5;60;106,5;113,75;110,125\n"
                  "4;360;274;286;60;106;114;110\n");
    EXPECT_EQ(
        output({"valves", "four.csv", "--cylinders", "2", "--firing-order", "2-1", "--intervals", "270,450"}),
        header + "1;270;274;286;60;106;114;110\n2;0;260;260;40;110;110;110\n");
    EXPECT_EQ(output({"valves"}), header + "1;0;0;0;0;0;0;0\n");

    // The order sets the offsets before the events are built, as typing them would.
    write("typed.csv",
          "h\n1;0;340;-31;243;463;749\n2;540;340;-20;240;480;740\n3;180;340;-30,5;243,5;463;749,5\n"
          "4;360;340;-31;243;463;749\n");
    EXPECT_EQ(output({"events", "four.csv", "--firing-order", "1-3-4-2"}), output({"events", "typed.csv"}));
}

TEST_F(BatchToolTest, ValveDiagramIsTheCoresPicture) {
    write("four.csv", kFourCylinders);
    output({"valves", "four.csv", "--diagram", "v.png", "--cylinder", "3", "--size", "300x240"});
    int width = 0;
    int height = 0;
    const std::vector<TColor> pixels = DecodePng(ReadFile(m_dir / "v.png"), width, height);
    TValveDiagramInput input;
    input.W = 300;
    input.H = 240;
    input.Cylinder = 3;
    input.Angles = {340, -30.5, 243.5, 463, 749.5};
    TRaster expected;
    DrawValveDiagram(input, expected);
    ASSERT_EQ(width, 300);
    ASSERT_EQ(height, 240);
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), expected.data()));
}

TEST_F(BatchToolTest, ABadFiringOrderFailsBeforeAnythingIsPrinted) {
    write("four.csv", kFourCylinders);
    for (const char* command : {"valves", "events"}) {
        SCOPED_TRACE(command);
        expectFailure({command, "four.csv", "--firing-order", "1-3-4"},
                      "Pořadí zapalování '1-3-4': chybí válec 2.\n");
    }
}

TEST_F(BatchToolTest, RenderReportsAnUnwritablePicture) {
    expectFailure({"render", "--output", "no/such/folder/p.png"},
                  "Cannot create file \"no/such/folder/p.png\". No such file or directory.\n");
}

// A name or a path of any length is quoted shortened, as every user's text is.
TEST_F(BatchToolTest, LongNamesAreQuotedShortened) {
    testing::TSynthetic synthetic;
    synthetic.Revolutions = 4;
    write("r.csv", testing::RecordingText(testing::RecordingLines(synthetic)));
    const std::string name(300, 'n');
    const std::string shortened = std::string(200, 'n') + "…";
    const struct {
        TLines Arguments;
        std::string Err;
    } rows[] = {
        {{"render", "--output", name + ".png"},
         "Cannot create file \"" + shortened + "\". File name too long.\n"},
        {{"signal", "--encoder", "r.csv", "--wheel", "60-2", "--sample-rate", "100000", "--encoder-column",
          name},
         "Sloupec '" + shortened + "' není v záhlaví souboru.\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Err);
        expectFailure(row.Arguments, row.Err);
    }
}

// A command never writes over a file it reads, also not through a link: a
// usage mistake naming the option, and the input stays as it was.
TEST_F(BatchToolTest, AnOutputThatIsAnInputIsRefused) {
    write("t.csv", kTwoCylinders);
    write("m.csv", "Úhel;Hodnota\n0;1\n720;2\n");
    fs::create_symlink(m_dir / "t.csv", m_dir / "soft.png");
    fs::create_hard_link(m_dir / "m.csv", m_dir / "hard.png");
    const struct {
        TLines Words;
        std::string Mistake;
        const char* Input;
    } rows[] = {
        {{"valves", "t.csv", "--diagram", "t.csv"},
         "--diagram must not name a file the command reads ('t.csv' is given as TABLE)",
         "t.csv"},
        {{"valves", "t.csv", "--diagram", "soft.png"},
         "--diagram must not name a file the command reads ('soft.png' is given as TABLE)",
         "t.csv"},
        {{"render", "--angle", "m.csv", "--output", "m.csv"},
         "--output must not name a file the command reads ('m.csv' is given as --angle)",
         "m.csv"},
        {{"render", "--output", "hard.png", "--time", "m.csv"},
         "--output must not name a file the command reads ('hard.png' is given as --time)",
         "m.csv"},
        {{"render", "t.csv", "--corrections", "./t.csv", "--output", "t.csv"},
         "--output must not name a file the command reads ('t.csv' is given as --corrections)",
         "t.csv"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Words.back());
        const std::string before = ReadFile(m_dir / row.Input);
        const TRun result = run(row.Words);
        EXPECT_EQ(result.Code, 2);
        EXPECT_EQ(result.Out, "");
        EXPECT_EQ(result.Err.substr(0, result.Err.find('\n')), "morvane-cli: " + row.Mistake);
        EXPECT_EQ(ReadFile(m_dir / row.Input), before);
    }
}

// valves refuses what events refuses, and a diagram of a cylinder the table lacks.
TEST_F(BatchToolTest, ValvesCheckTheCylinderAndTheCells) {
    write("four.csv", kFourCylinders);
    const TRun beyond = run({"valves", "four.csv", "--diagram", "v.png", "--cylinder", "5"});
    EXPECT_EQ(beyond.Code, 2);
    EXPECT_EQ(beyond.Out, "");
    EXPECT_EQ(beyond.Err.substr(0, beyond.Err.find('\n')),
              "morvane-cli: --cylinder must be an integer from 1 to 4, the cylinders of the table");
    EXPECT_FALSE(fs::exists(m_dir / "v.png"));

    const struct {
        const char* Row;
        const char* Message;
        bool EventsToo;
    } rows[] = {
        {"1;abc;340;0;0;0;0", "Tabulka válců, řádek 2, sloupec 2: 'abc' není číslo.\n", true},
        {"1;nan;340;0;0;0;0", "Tabulka válců, řádek 2, sloupec 2: 'nan' není číslo.\n", true},
        {"1;0;340;1e15;0;0;0", "Válec 1, SV otvírá musí být od -720 do 1440.\n", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Row);
        write("bad.csv", std::string("h\n") + row.Row + "\n");
        expectFailure({"valves", "bad.csv"}, row.Message);
        if (row.EventsToo) {
            expectFailure({"events", "bad.csv"}, row.Message);
        }
    }
}

// A far-off firing order is quoted shortened, not whole.
TEST_F(BatchToolTest, ALongFiringOrderIsQuotedShortened) {
    // Beyond 128 KiB one argument would not reach the program at all.
    const std::string order(100000, '1');
    const std::string shown = "'" + std::string(200, '1') + "…'";
    expectFailure({"valves", "--firing-order", order},
                  "Pořadí zapalování " + shown + ": " + shown + " není číslo válce.\n");
}

// Recordings of several cylinders: one pressure column each, beside the encoder.
class BatchToolCylinderTest : public BatchToolTest {
protected:
    static TLines command(const std::string& file, const std::string& columns,
                          const std::string& scale = "1") {
        return {"combustion",
                file,
                "--bore",
                "86",
                "--stroke",
                "75",
                "--rod",
                "118",
                "--compression",
                "21,2",
                "--wheel",
                "60-2",
                "--sample-rate",
                "100000",
                "--pressure-scale",
                scale,
                "--pressure-columns",
                columns};
    }

    // The cells of the stdout row whose first cell is first.
    static std::vector<std::string> rowOf(const std::string& out, const std::string& first) {
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);) {
            std::vector<std::string> cells(1);
            for (const char c : line) {
                if (c == ';') {
                    cells.emplace_back();
                } else {
                    cells.back().push_back(c);
                }
            }
            if (cells.front() == first) {
                return cells;
            }
        }
        return {};
    }

    static double numberIn(std::string cell) {
        std::replace(cell.begin(), cell.end(), ',', '.');
        return std::stod(cell);
    }

    void writeEngine(const std::vector<std::string>& offsets) {
        std::string table = "Válec;Přesazení;Zapalování;SV otvírá;SV zavírá;VV otvírá;VV zavírá\n";
        for (std::size_t k = 0; k < offsets.size(); ++k) {
            table += std::to_string(k + 1) + ";" + offsets[k] + ";350;710;230;490;10\n";
        }
        write("engine.csv", table);
    }
};

constexpr const char* kBalanceHeader =
    "Válec;IMEP [bar];IMEP vysokotlaký [bar];pmax [bar];Úhel pmax [°];MFB10 [°];MFB50 [°];MFB90 [°];CoV IMEP "
    "[%];MAPO max [bar];Klepající cykly;Vynechané cykly;Odchylka IMEP [%]\n";

// The same cycle in every cylinder, each placed at its own offset, gives the
// same figures in every cylinder's own frame: a balance of 0 %.
TEST_F(BatchToolCylinderTest, CylindersAtTheirOffsetsAreAlike) {
    writeEngine({"0", "270"});
    const struct {
        const char* Name;
        std::vector<double> Offsets;
        std::string Columns;
        TLines Engine;
    } rows[] = {
        {"firing order 1-3-4-2", {0, 540, 180, 360}, "2,3,4,5", {"--firing-order", "1-3-4-2"}},
        {"uneven, firing order", {0, 270}, "2,3", {"--firing-order", "1-2", "--intervals", "270,450"}},
        {"uneven, cylinder table", {0, 270}, "pressure,pressure 2", {"--engine", "engine.csv"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        testing::TSynthetic synthetic;
        synthetic.Revolutions = 12;
        synthetic.CylinderOffsets = row.Offsets;
        write("cylinders.csv", testing::RecordingText(testing::RecordingLines(synthetic)));
        TLines arguments = command("cylinders.csv", row.Columns);
        arguments.insert(arguments.end(), row.Engine.begin(), row.Engine.end());
        const TRun result = run(arguments);
        ASSERT_EQ(result.Code, 0) << result.Err;
        EXPECT_TRUE(result.Out.starts_with(kBalanceHeader)) << result.Out;
        const std::vector<std::string> first = rowOf(result.Out, "1");
        for (std::size_t k = 1; k <= row.Offsets.size(); ++k) {
            const std::vector<std::string> cells = rowOf(result.Out, std::to_string(k));
            ASSERT_EQ(cells.size(), 13U) << result.Out;
            EXPECT_NEAR(numberIn(cells[12]), 0, 0.1) << "balance of cylinder " << k;
            EXPECT_NEAR(numberIn(cells[6]), numberIn(first[6]), 0.1) << "MFB50 of cylinder " << k;
        }
        const std::vector<std::string> engine = rowOf(result.Out, "Motor");
        ASSERT_EQ(engine.size(), 13U);
        EXPECT_EQ(engine[12], "");
        EXPECT_EQ(engine[1], first[1]);
    }
}

// A misfire in cylinder 2's third cycle and a knock burst in cylinder 3's
// second are told of those cylinders only; the engine row sums them.
TEST_F(BatchToolCylinderTest, MisfireAndKnockNameTheirCylinders) {
    testing::TSynthetic synthetic;
    synthetic.Revolutions = 12;
    synthetic.CylinderOffsets = {0, 540, 180, 360};
    synthetic.CylinderAdded = [](int cylinder, int cycle, double angle, double t) {
        if (cylinder == 2 && cycle == 2) {
            return 1 - testing::Pressure(angle);  // motionless: no compression, no burn
        }
        const bool ringing = cylinder == 3 && cycle == 1 && angle >= 370 && angle < 400;
        return ringing ? 3 * std::exp(-(angle - 370) / 20) * std::sin(2 * M_PI * 8000 * t) : 0.0;
    };
    write("cylinders.csv", testing::RecordingText(testing::RecordingLines(synthetic)));
    TLines arguments = command("cylinders.csv", "2,3,4,5");
    arguments.insert(arguments.end(),
                     {"--firing-order", "1-3-4-2", "--pressure-picture", "p.png", "--picture-cylinder", "3"});
    const TRun result = run(arguments);
    ASSERT_EQ(result.Code, 0) << result.Err;
    EXPECT_TRUE(fs::exists(m_dir / "p.png"));
    const char* expected[][3] = {
        {"1", "0", "0"}, {"2", "0", "1"}, {"3", "1", "0"}, {"4", "0", "0"}, {"Motor", "1", "1"}};
    for (const auto& [cylinder, knocking, misfires] : expected) {
        const std::vector<std::string> cells = rowOf(result.Out, cylinder);
        ASSERT_EQ(cells.size(), 13U) << result.Out;
        EXPECT_EQ(cells[10], knocking) << "cylinder " << cylinder;
        EXPECT_EQ(cells[11], misfires) << "cylinder " << cylinder;
    }
}

// Each cylinder keeps its own complete cycles: with its cycle opening later
// in the recording, a cylinder may have one fewer. --cycles names the cylinder.
TEST_F(BatchToolCylinderTest, CylindersKeepTheirOwnCompleteCycles) {
    testing::TSynthetic synthetic;
    synthetic.Revolutions = 9;
    synthetic.CylinderOffsets = {0, 540, 180, 360};
    write("cylinders.csv", testing::RecordingText(testing::RecordingLines(synthetic)));
    TLines arguments = command("cylinders.csv", "2,3,4,5");
    arguments.insert(arguments.end(), {"--firing-order", "1-3-4-2", "--cycles", "cycles.csv"});
    const TRun result = run(arguments);
    ASSERT_EQ(result.Code, 0) << result.Err;
    std::map<std::string, int> counts;
    std::istringstream lines(ReadFile(m_dir / "cycles.csv"));
    std::string line;
    std::getline(lines, line);
    EXPECT_TRUE(line.starts_with("Válec;Cyklus;IMEP [bar];")) << line;
    while (std::getline(lines, line)) {
        ++counts[line.substr(0, line.find(';'))];
    }
    ASSERT_EQ(counts.size(), 4U);
    const auto [fewest, most] = std::minmax_element(
        counts.begin(), counts.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    EXPECT_GE(fewest->second, 3);
    EXPECT_EQ(most->second, fewest->second + 1);
    // A heat-transfer model needs each cycle's speed, which every cylinder's cycles carry.
    arguments.insert(arguments.end(),
                     {"--heat-transfer", "woschni", "--ivc", "220", "--evo", "500", "--ignition", "345"});
    const TRun heat = run(arguments);
    EXPECT_EQ(heat.Code, 0) << heat.Err;
}

TEST_F(BatchToolCylinderTest, UsageMistakes) {
    testing::TSynthetic synthetic;
    synthetic.Revolutions = 6;
    synthetic.CylinderOffsets = {0, 360};
    write("cylinders.csv", testing::RecordingText(testing::RecordingLines(synthetic)));
    writeEngine({"0", "abc"});
    write("one.csv",
          "Válec;Přesazení;Zapalování;SV otvírá;SV zavírá;VV otvírá;VV zavírá\n1;0;350;710;230;490;10\n");
    const struct {
        const char* Name;
        std::string Columns;
        TLines Options;
        int Code;
        std::string Mistake;
    } rows[] = {
        {"no offsets",
         "2,3",
         {},
         2,
         "several pressure columns need the cylinders' offsets: give --engine FILE or --firing-order ORDER"},
        {"more scales than columns",
         "2,3",
         {"--firing-order", "1-2"},
         2,
         "--pressure-scale gives 3 scales for 2 pressure columns"},
        {"offset not a number", "2,3", {"--engine", "engine.csv"}, 2, "sloupec 2"},
        {"more columns than cylinders",
         "2,3",
         {"--engine", "one.csv"},
         2,
         "--pressure-columns gives 2 columns, the engine has 1 cylinders"},
        {"column missing in the list",
         "2,,3",
         {"--firing-order", "1-2"},
         2,
         "--pressure-columns: column 2 of the list is missing"},
        {"column missing in the file", "2,7", {"--firing-order", "1-2"}, 1, "7"},
        {"picture of one column",
         "2",
         {"--pressure-picture", "p.png"},
         2,
         "--pressure-picture needs two --pressure-columns or more"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        const bool scales = row.Mistake.starts_with("--pressure-scale");
        TLines arguments = command("cylinders.csv", row.Columns, scales ? "1;2;3" : "1");
        arguments.insert(arguments.end(), row.Options.begin(), row.Options.end());
        const TRun result = run(arguments);
        EXPECT_EQ(result.Code, row.Code);
        EXPECT_EQ(result.Out, "");
        EXPECT_NE(result.Err.find(row.Mistake), std::string::npos) << result.Err;
    }
}

// A set-up gives the offsets, the page "Spalování" and the last encoder
// import; what the command line gives wins.
TEST_F(BatchToolCylinderTest, EngineSetupGivesWhatTheCommandLineLeavesOut) {
    testing::TSynthetic synthetic;
    synthetic.Revolutions = 10;
    synthetic.CylinderOffsets = {0, 270};
    write("cylinders.csv", testing::RecordingText(testing::RecordingLines(synthetic)));
    TSetup setup;
    setup.Cylinders = "2";
    setup.CylinderTable[0][0] = "0";
    setup.CylinderTable[1][0] = "270";
    setup.Combustion.Geometry.Bore = "90";
    setup.Combustion.PegMethod = "point";
    setup.SignalImport.Kind = TSignalImportKind::Encoder;
    setup.SignalImport.Path = "cylinders.csv";
    setup.SignalImport.Encoder.PressureScale = "2";
    WriteSetupFile((m_dir / "engine.morvane").string(), setup);
    const TLines alone = {"combustion",     "cylinders.csv",      "--engine",
                          "engine.morvane", "--pressure-columns", "2,3"};
    const TRun fromSetup = run(alone);
    ASSERT_EQ(fromSetup.Code, 0) << fromSetup.Err;
    TLines typed = alone;
    typed.insert(typed.end(), {"--bore",           "90",     "--stroke", "75",    "--rod",          "118",
                               "--compression",    "21,2",   "--wheel",  "60-2",  "--sample-rate",  "100000",
                               "--pressure-scale", "2",      "--peg",    "point", "--firing-order", "1-2",
                               "--intervals",      "270,450"});
    const TRun given = run(typed);
    ASSERT_EQ(given.Code, 0) << given.Err;
    EXPECT_EQ(fromSetup.Out, given.Out);
    EXPECT_NEAR(numberIn(rowOf(fromSetup.Out, "2")[12]), 0, 0.1);
    TLines overriding = alone;
    overriding.insert(overriding.end(), {"--pressure-scale", "1"});
    const TRun overridden = run(overriding);
    ASSERT_EQ(overridden.Code, 0) << overridden.Err;
    EXPECT_NE(overridden.Out, fromSetup.Out) << "the command line's scale wins";
}

// A heat-transfer model takes each cylinder's intake closing, ignition and
// exhaust opening from its row of --engine, where the options give none.
TEST_F(BatchToolCylinderTest, EachCylinderTakesItsOwnAngles) {
    testing::TSynthetic synthetic;
    synthetic.Revolutions = 12;
    synthetic.CylinderOffsets = {0, 270};
    write("cylinders.csv", testing::RecordingText(testing::RecordingLines(synthetic)));
    const auto balance = [&](const std::string& secondIntakeCloses, const TLines& more) {
        TSetup setup;
        setup.Cylinders = "2";
        setup.CylinderTable[0] = {"0", "345", "700", "220", "500", "20"};
        setup.CylinderTable[1] = {"270", "345", "700", secondIntakeCloses, "500", "20"};
        WriteSetupFile((m_dir / "engine.morvane").string(), setup);
        TLines arguments = command("cylinders.csv", "2,3");
        arguments.insert(arguments.end(), {"--engine", "engine.morvane", "--heat-transfer", "woschni"});
        arguments.insert(arguments.end(), more.begin(), more.end());
        const TRun result = run(arguments);
        EXPECT_EQ(result.Code, 0) << result.Err;
        return result.Out;
    };
    const std::string fromTable = balance("220", {});
    EXPECT_EQ(fromTable, balance("220", {"--ivc", "220", "--ignition", "345", "--evo", "500"}));
    EXPECT_EQ(rowOf(fromTable, "1")[6], rowOf(fromTable, "2")[6]) << "MFB50 alike";
    const std::string otherIntake = balance("180", {});
    EXPECT_EQ(rowOf(otherIntake, "1"), rowOf(fromTable, "1"));
    EXPECT_NE(rowOf(otherIntake, "2")[6], rowOf(fromTable, "2")[6]) << "cylinder 2's own intake closing";
}

// A broken line fails the command naming that line, and a failure of the
// analysis (the encoder leaving its range) comes before a broken line after it.
TEST_F(BatchToolCylinderTest, AFailureNamesItsLine) {
    testing::TSynthetic synthetic;
    synthetic.Revolutions = 40;
    synthetic.CylinderOffsets = {0, 360};
    const std::vector<std::string> lines = testing::RecordingLines(synthetic);
    const struct {
        const char* Name;
        std::vector<std::pair<std::size_t, std::string>> Changed;  // line index, text
        std::string Named;
    } rows[] = {
        {"broken line", {{30000, "1;x;1"}}, "30001"},
        {"encoder out of range, then a broken line", {{20000, "9;1;1"}, {30000, "1;x;1"}}, "20001"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        std::vector<std::string> changed = lines;
        for (const auto& [at, text] : row.Changed) {
            changed[at] = text;
        }
        write("cylinders.csv", testing::RecordingText(changed));
        TLines arguments = command("cylinders.csv", "2,3");
        arguments.insert(arguments.end(), {"--firing-order", "1-2"});
        const TRun result = run(arguments);
        EXPECT_EQ(result.Code, 1);
        EXPECT_EQ(result.Out, "");
        EXPECT_NE(result.Err.find(row.Named), std::string::npos) << result.Err;
    }
}

}  // namespace
}  // namespace morvane
