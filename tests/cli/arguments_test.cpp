#include "cli/Arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/OptionTable.h"

namespace morvane {
namespace {

using TWords = std::vector<std::string>;

TEST(ArgumentsTest, DefaultsAreTheWindowsStartUpValues) {
    const TCliArguments parsed = ParseArguments({"render", "--output", "t.png"});
    EXPECT_EQ(parsed.Command, TCliCommand::Render);
    EXPECT_EQ(parsed.Action, TCliAction::Run);
    EXPECT_FALSE(parsed.Events.TablePath);
    EXPECT_FALSE(parsed.Events.Cylinders);
    EXPECT_EQ(parsed.Events.Rpm, "1000");
    EXPECT_EQ(parsed.Events.Global, "0");
    EXPECT_FALSE(parsed.Events.CorrectionsPath);
    EXPECT_EQ(parsed.SignalFile.Kind, TSignalFileKind::None);
    EXPECT_EQ(parsed.Render.Cursor, 0);
    EXPECT_EQ(parsed.Render.Filter, 0);
    EXPECT_EQ(parsed.Render.Gain, 10);
    EXPECT_EQ(parsed.Render.Kinds, (std::array<bool, 4>{true, true, true, true}));
    EXPECT_EQ(parsed.Render.Width, 663);
    EXPECT_EQ(parsed.Render.Height, 300);
    EXPECT_EQ(parsed.Render.OutputPath, "t.png");
}

TEST(ArgumentsTest, EveryRenderOptionReachesItsField) {
    const TCliArguments parsed =
        ParseArguments({"render", "cyl.csv",       "--cylinders", "2",      "--rpm=-1000", "--global",
                        "-10",    "--corrections", "c.txt",       "--time", "t.csv",       "--cursor",
                        "720",    "--filter=96",   "--gain",      "100",    "--kinds",     "1010",
                        "--size", "1x10000",       "--output",    "o.png"});
    EXPECT_EQ(parsed.Events.TablePath, "cyl.csv");
    EXPECT_EQ(parsed.Events.Cylinders, "2");
    EXPECT_EQ(parsed.Events.Rpm, "-1000");
    EXPECT_EQ(parsed.Events.Global, "-10");
    EXPECT_EQ(parsed.Events.CorrectionsPath, "c.txt");
    EXPECT_EQ(parsed.SignalFile.Kind, TSignalFileKind::Time);
    EXPECT_EQ(parsed.SignalFile.Path, "t.csv");
    EXPECT_EQ(parsed.Render.Cursor, 720);
    EXPECT_EQ(parsed.Render.Filter, 96);
    EXPECT_EQ(parsed.Render.Gain, 100);
    EXPECT_EQ(parsed.Render.Kinds, (std::array<bool, 4>{true, false, true, false}));
    EXPECT_EQ(parsed.Render.Width, 1);
    EXPECT_EQ(parsed.Render.Height, 10000);
}

TEST(ArgumentsTest, EveryEncoderOptionReachesItsField) {
    const TCliArguments parsed =
        ParseArguments({"render", "--output", "o.png", "--encoder", "e.csv", "--wheel", "36-1",
                        "--reference-angle", "107,5", "--encoder-column", "Encoder [V]", "--value-column",
                        "3", "--time-column", "1", "--index-column", "4", "--phase", "2"});
    const TEncoderOptions& options = parsed.SignalFile.Encoder;
    EXPECT_EQ(parsed.SignalFile.Kind, TSignalFileKind::Encoder);
    EXPECT_EQ(options.Path, "e.csv");
    EXPECT_EQ(options.Wheel.Teeth, 36);
    EXPECT_EQ(options.Wheel.Missing, 1);
    EXPECT_EQ(options.ReferenceAngle, 107.5);
    EXPECT_EQ(options.EncoderColumn, "Encoder [V]");
    EXPECT_EQ(options.ValueColumn, "3");
    EXPECT_EQ(options.TimeColumn, "1");
    EXPECT_EQ(options.IndexColumn, "4");
    EXPECT_EQ(options.Phase, 2);
    EXPECT_EQ(ParseArguments({"signal", "--encoder", "e", "--wheel", "60-2", "--sample-rate", "1e5"})
                  .SignalFile.Encoder.SampleRate,
              100000.0);
}

TEST(ArgumentsTest, AfterDoubleDashEverythingIsTheTable) {
    const TCliArguments parsed = ParseArguments({"events", "--", "--rpm"});
    EXPECT_EQ(parsed.Events.TablePath, "--rpm");
    EXPECT_EQ(parsed.Events.Rpm, "1000");
}

TEST(ArgumentsTest, HelpAndVersionWinWhereverTheyStand) {
    struct TRow {
        TWords Words;
        TCliCommand Command;
        TCliAction Action;
    };
    const TRow rows[] = {
        {{"--help"}, TCliCommand::None, TCliAction::Help},
        {{"-h"}, TCliCommand::None, TCliAction::Help},
        {{"--version"}, TCliCommand::None, TCliAction::Version},
        {{"events", "--bogus", "--help"}, TCliCommand::Events, TCliAction::Help},
        {{"signal", "--version"}, TCliCommand::Signal, TCliAction::Version},
        {{"render", "--filter", "500", "--help"}, TCliCommand::Render, TCliAction::Help},
        {{"frobnicate", "--help"}, TCliCommand::None, TCliAction::Help},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.Words));
        const TCliArguments parsed = ParseArguments(row.Words);
        EXPECT_EQ(parsed.Command, row.Command);
        EXPECT_EQ(parsed.Action, row.Action);
    }
}

TEST(ArgumentsTest, CombustionOptionsAndWindowForms) {
    const TWords engine = {"combustion", "p.csv",     "--bore",        "86",  "--stroke",
                           "75",         "--rod=118", "--compression", "21,2"};
    const TCliArguments defaults = ParseArguments(engine);
    EXPECT_EQ(defaults.Command, TCliCommand::Combustion);
    EXPECT_EQ(defaults.Combustion.CyclePath, "p.csv");
    EXPECT_EQ(defaults.Combustion.Texts.Rod, "118");
    EXPECT_EQ(defaults.Combustion.Texts.Compression, "21,2");
    EXPECT_EQ(defaults.Combustion.Texts.Gamma, "1,35");
    struct TRow {
        const char* Window;
        const char* Start;
        const char* End;
    };
    const TRow rows[] = {{"340,460", "340", "460"},
                         {"340,5;460", "340,5", "460"},
                         {"340;460,5", "340", "460,5"},
                         {"340,5,460,5", "340,5", "460,5"}};
    for (const TRow& row : rows) {
        TWords words = engine;
        words.insert(words.end(), {"--window", row.Window});
        const TCombustionTexts texts = ParseArguments(words).Combustion.Texts;
        EXPECT_EQ(texts.WindowStart, row.Start) << row.Window;
        EXPECT_EQ(texts.WindowEnd, row.End) << row.Window;
    }
}

TEST(ArgumentsTest, UsageMistakesNameTheirCause) {
    struct TRow {
        TWords Words;
        std::string Message;
    };
    const std::string filter = "--filter must be an integer from 0 to 96";
    const std::string size = "--size must be WxH with both from 1 to 10000";
    const std::string kinds =
        "--kinds must be four characters 0 or 1 (pistons, intake valves, exhaust valves, ignitions)";
    const TRow rows[] = {
        {{}, "no command given"},
        {{"draw"}, "unknown command 'draw'"},
        {{"events", "--bogus"}, "unknown option '--bogus'"},
        {{"events", "--cursor", "5"}, "unknown option '--cursor'"},
        {{"signal", "--rpm", "5", "--time", "t"}, "unknown option '--rpm'"},
        {{"events", "-x"}, "unknown option '-x'"},
        {{"events", "--rpm"}, "--rpm needs a value"},
        {{"events", "--rpm", "1", "--rpm=2"}, "--rpm is given twice"},
        {{"events", "a.csv", "b.csv"}, "unexpected argument 'b.csv'"},
        {{"signal", "a.csv", "--time", "t"}, "unexpected argument 'a.csv'"},
        {{"signal"}, "signal needs --angle FILE or --time FILE"},
        {{"signal", "--angle", "a", "--time", "t"}, "give either --angle or --time, not both"},
        {{"render"}, "render needs --output FILE.png"},
        {{"render", "--output", "o", "--filter", "97"}, filter},
        {{"render", "--output", "o", "--filter", "-1"}, filter},
        {{"render", "--output", "o", "--filter", "5,5"}, filter},
        {{"render", "--output", "o", "--filter", ""}, filter},
        {{"render", "--output", "o", "--filter", "99999999999"}, filter},
        {{"render", "--output", "o", "--gain", "9"}, "--gain must be an integer from 10 to 100"},
        {{"render", "--output", "o", "--cursor", "721"}, "--cursor must be an integer from 0 to 720"},
        {{"render", "--output", "o", "--kinds", "101"}, kinds},
        {{"render", "--output", "o", "--kinds", "1a01"}, kinds},
        {{"render", "--output", "o", "--size", "0x300"}, size},
        {{"render", "--output", "o", "--size", "663x10001"}, size},
        {{"render", "--output", "o", "--size", "663"}, size},
        {{"render", "--output", "o", "--size", "663x300x2"}, size},
        {{"combustion", "--bore", "1", "--stroke", "1", "--rod", "1", "--compression", "2"},
         "combustion needs the pressure-cycle FILE"},
        {{"combustion", "p", "--bore", "1", "--stroke", "1", "--rod", "1"}, "combustion needs --compression"},
        {{"combustion", "p", "--bore", "1", "--window", "340,5,460"},
         "--window must be FROM,TO (with decimals FROM;TO, e.g. 340,5;460)"},
        {{"tdc", "p", "--rpm", "1"}, "unknown option '--rpm'"},
        {{"events", "--intervals", "270,450"}, "--intervals needs --firing-order"},
        {{"valves", "--cylinder", "2"}, "--cylinder and --size need --diagram FILE.png"},
        {{"valves", "--diagram", "v.png", "--cylinder", "13"}, "--cylinder must be an integer from 1 to 12"},
        {{"valves", "--rpm", "5"}, "unknown option '--rpm'"},
        // An empty path once imported nothing and succeeded.
        {{"signal", "--angle", ""}, "--angle needs a file"},
        {{"render", "--output", "o", "--time="}, "--time needs a file"},
        {{"render", "--output", ""}, "--output needs a file"},
        {{"valves", "--diagram="}, "--diagram needs a file"},
        {{"signal", "--encoder", "e.csv", "--sample-rate", "1000"}, "--encoder needs --wheel T-M"},
        {{"signal", "--encoder", "e.csv", "--wheel", "60-2"},
         "--encoder needs either --time-column or --sample-rate"},
        {{"signal", "--encoder", "e", "--wheel", "60-2", "--sample-rate", "1", "--time-column", "3"},
         "--encoder needs either --time-column or --sample-rate"},
        {{"signal", "--time", "t", "--wheel", "60-2"}, "--wheel goes only with --encoder"},
        // Without --encoder, the first option of the recording given names what it lacks.
        {{"tdc", "m", "--pressure-scale", "1"}, "--pressure-scale needs --wheel T-M"},
        {{"tdc", "m", "--wheel", "60-2", "--pressure-scale", "1"},
         "--wheel needs either --time-column or --sample-rate"},
        {{"signal", "--time", "t", "--encoder", "e"}, "give only one of --angle, --time and --encoder"},
        {{"signal", "--encoder", "e", "--wheel", "60"}, "Kolo '60' není ve tvaru T-M (například 60-2)"},
        {{"signal", "--encoder", "e", "--wheel", "60-2", "--sample-rate", "0"},
         "--sample-rate must be above 0"},
        {{"signal", "--encoder", "e", "--wheel", "60-2", "--sample-rate", "1", "--reference-angle", "360"},
         "--reference-angle must be from 0 to below 360"},
        {{"signal", "--encoder", "e", "--wheel", "60-2", "--sample-rate", "1", "--phase", "3"},
         "--phase must be 1 or 2"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.Words));
        try {
            ParseArguments(row.Words);
            ADD_FAILURE() << "no usage error";
        } catch (const EUsageError& mistake) {
            EXPECT_EQ(std::string(mistake.what()), row.Message);
        }
    }
}

// Range mistakes name the option and its range; a user's text is quoted
// shortened, however long it is.
TEST(ArgumentsTest, MistakesNameTheOptionAndItsRange) {
    const std::string wheel = "--wheel must be T-M with T from 2 to 3600 and M from 0 to T/2";
    const std::string longName = "--" + std::string(300, 'x');
    const struct {
        TWords Words;
        std::string Message;
    } rows[] = {
        {{"signal", "--encoder", "e", "--wheel", "60-60"}, wheel},
        {{"signal", "--encoder", "e", "--wheel", "100000-1"}, wheel},
        {{"signal", "--encoder", "e", "--wheel", "1-0"}, wheel},
        {{"events", longName}, "unknown option '--" + std::string(198, 'x') + "…'"},
        {{"events", "a", std::string(500, 'b')}, "unexpected argument '" + std::string(200, 'b') + "…'"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Words.back().substr(0, 20));
        try {
            ParseArguments(row.Words);
            ADD_FAILURE() << "no usage error";
        } catch (const EUsageError& mistake) {
            EXPECT_EQ(std::string(mistake.what()), row.Message);
        }
    }
}

// Pegging options the chosen method does not use, and numbers outside what any
// engine, sensor or band could be, are refused naming the option; a text the
// core cannot read is left to the core's own message.
TEST(ArgumentsTest, PressureOptionsNeedTheirMethodAndAPhysicalValue) {
    const TWords engine = {"combustion", "p",   "--bore",        "86", "--stroke", "75",
                           "--rod",      "118", "--compression", "21"};
    const TWords recording = {"--wheel", "60-2", "--sample-rate", "100000", "--pressure-scale", "1"};
    const struct {
        TWords Words;
        std::string Mistake;  // empty: accepted
    } rows[] = {
        {{"--peg-pressure", "5"}, "--peg-pressure goes only with --peg point"},
        {{"--peg", "none", "--peg-range", "700,800"}, "--peg-range goes only with --peg point or polytropic"},
        {{"--peg", "point", "--peg-exponent", "-3"}, "--peg-exponent goes only with --peg polytropic"},
        {{"--peg", "linear", "--peg-pressure", "5"}, "--peg must be none, point or polytropic"},
        {{"--peg", "point", "--peg-pressure", "0,5", "--peg-range", "170,5;190"}, ""},
        {{"--peg", "polytropic", "--peg-exponent", "1e-300"}, "--peg-exponent must be from 1 to 1,7"},
        {{"--peg", "polytropic", "--peg-range", "nan,300"}, "--peg-range must be FROM,TO, both numbers"},
        {{"--tdc-shift", "nan"}, "--tdc-shift must be a number"},
        {{"--tdc-shift", "-Inf"}, "--tdc-shift must be a number"},
        {{"--tdc-shift", "361"}, "--tdc-shift must be from -360 to 360"},
        {{"--tdc-shift", "x"}, ""},
        {{"--gamma", "1"}, "--gamma must be from 1,05 to 1,7"},
        {{"--gamma", "1.35"}, ""},
        {{"--window", "-1e15;1e15"}, "--window must be FROM,TO with both from 0 to 720"},
        {recording, ""},
        {{"--wheel", "60-2", "--sample-rate", "100000", "--pressure-scale", "1e9"},
         "--pressure-scale must be from 0,000001 to 10000"},
        {{"--wheel", "60-2", "--sample-rate", "1e9", "--pressure-scale", "1"},
         "--sample-rate must be from 1 to 100000000"},
        {{"--knock-band", "1e-300,20000"}, "--knock-band must be LO,HI with both from 100 to 200000"},
        {{"--knock-threshold", "1e3"}, "--knock-threshold must be from 0 to 100"},
    };
    for (const auto& row : rows) {
        TWords words = engine;
        words.insert(words.end(), row.Words.begin(), row.Words.end());
        if (row.Words.front().starts_with("--knock")) {
            words.insert(words.end(), recording.begin(), recording.end());
        }
        SCOPED_TRACE(::testing::PrintToString(row.Words));
        try {
            ParseArguments(words);
            EXPECT_EQ(row.Mistake, "");
        } catch (const EUsageError& mistake) {
            EXPECT_EQ(std::string(mistake.what()), row.Mistake);
        }
    }
    const struct {
        TWords Words;
        std::string Mistake;
    } tdcRows[] = {
        {{"tdc", "m", "--peg", "none", "--peg-pressure", "-1"}, "--peg-pressure goes only with --peg point"},
        {{"tdc", "m", "--loss-angle", "11"}, "--loss-angle must be from -10 to 10"},
        {{"combustion", "p", "--bore", "1e-160", "--stroke", "75", "--rod", "118", "--compression", "21"},
         "--bore must be from 1 to 2000"},
    };
    for (const auto& row : tdcRows) {
        SCOPED_TRACE(::testing::PrintToString(row.Words));
        try {
            ParseArguments(row.Words);
            ADD_FAILURE() << "no usage error";
        } catch (const EUsageError& mistake) {
            EXPECT_EQ(std::string(mistake.what()), row.Mistake);
        }
    }
}

// A new option is one row: these are the mistakes a row can make.
TEST(OptionTableTest, EveryRowIsCompleteAndItsDefaultReads) {
    const auto rows = OptionRows();
    for (const TOptionRow& row : rows) {
        SCOPED_TRACE(std::string(row.Name));
        EXPECT_NE(row.Apply, nullptr);
        EXPECT_FALSE(row.Help.empty());
        EXPECT_EQ(row.Listed & ~row.Commands, 0U) << "listed in a help of a command that does not take it";
        EXPECT_EQ(row.Required & ~row.Commands, 0U) << "needed by a command that does not take it";
        if (row.Required != 0) {
            EXPECT_FALSE(row.Missing.empty()) << "needed without a mistake that says so";
        }
        if (!row.Default.empty()) {
            EXPECT_NO_THROW(ReadOptionValue(row.Rule, row.Name, row.ValueName, std::string(row.Default)));
        }
        for (const TOptionRow& other : rows) {
            if (&other != &row && other.Name == row.Name) {
                EXPECT_EQ(other.Commands & row.Commands, 0U) << "declared twice for one command";
            }
        }
        if (!row.Needs.empty()) {
            for (TCliCommand command : {TCliCommand::Events, TCliCommand::Signal, TCliCommand::Render,
                                        TCliCommand::Combustion, TCliCommand::Valves, TCliCommand::Tdc}) {
                if ((row.Commands & CommandBit(command)) != 0) {
                    EXPECT_NE(FindOption(command, row.Needs), nullptr) << "needs an option its command lacks";
                }
            }
        }
    }
}

// Whether usage names option as a whole word ("--time", not "--time-column").
bool NamesOption(const std::string& usage, std::string_view option) {
    for (std::size_t at = usage.find(option); at != std::string::npos; at = usage.find(option, at + 1)) {
        const char after = at + option.size() < usage.size() ? usage[at + option.size()] : ' ';
        if (after == ' ' || after == ']' || after == ')' || after == '\n') {
            return true;
        }
    }
    return false;
}

// A command's usage names every option it takes, by itself or in a group it
// sums up ("[encoder options]"), and no option it does not take.
TEST(OptionTableTest, UsageNamesExactlyTheOptionsOfItsCommand) {
    for (const TCommandRow& command : CommandRows()) {
        const std::string usage = UsageText(command.Command);
        for (const TOptionRow& row : OptionRows()) {
            if (command.Command == TCliCommand::None || !row.Name.starts_with("-")) {
                continue;
            }
            // A name may have a row per command ("--rpm"): the command's own decides.
            const TOptionRow* const own = FindOption(command.Command, row.Name);
            const bool taken = own != nullptr;
            bool summed = false;
            for (const TGroupRow& group : GroupRows()) {
                summed = summed || ((group.Summed & CommandBit(command.Command)) != 0 && taken &&
                                    InGroup(*own, group.Group) &&
                                    usage.find(std::string(group.Name) + " options]") != std::string::npos);
            }
            EXPECT_EQ(NamesOption(usage, row.Name) || (taken && summed), taken)
                << command.Word << " " << row.Name;
        }
    }
}

// The value kinds the coming options will use, with their mistakes.
TEST(OptionRulesTest, KindsReadTheirFormAndSayTheirRange) {
    const TValueRule count{.Kind = TValueKind::Integer, .Low = 1, .High = 64};
    const TValueRule scale{.Kind = TValueKind::Number, .Low = 0, .High = 1e6};
    const TValueRule positive{
        .Kind = TValueKind::Number, .Low = 0, .High = 1e9, .Ends = TRangeEnds::AboveLow};
    const TValueRule peg{.Kind = TValueKind::Choice, .Choices = "none|point|polytropic"};
    const TValueRule band{.Kind = TValueKind::Pair, .Detail = "5,5;20"};
    const struct {
        const TValueRule* Rule;
        const char* Name;
        const char* ValueName;
        const char* Text;
        const char* Mistake;  // empty: accepted
    } rows[] = {
        {&count, "-j", "N", "2", ""},
        {&count, "-j", "N", "0", "-j must be an integer from 1 to 64"},
        {&scale, "--pressure-scale", "F", "0,5", ""},
        {&scale, "--pressure-scale", "F", "1e7", "--pressure-scale must be from 0 to 1000000"},
        {&scale, "--pressure-scale", "F", "nan", "--pressure-scale must be a number"},
        {&positive, "--pressure-scale", "F", "1e9", ""},
        {&positive, "--pressure-scale", "F", "1e10",
         "--pressure-scale must be above 0 and at most 1000000000"},
        {&positive, "--pressure-scale", "F", "0", "--pressure-scale must be above 0 and at most 1000000000"},
        {&peg, "--peg", "MODE", "point", ""},
        {&peg, "--peg", "MODE", "Point", "--peg must be none, point or polytropic"},
        {&band, "--knock-band", "LO,HI", "5,5;20", ""},
        {&band, "--knock-band", "LO,HI", "5",
         "--knock-band must be LO,HI (with decimals LO;HI, e.g. 5,5;20)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.Name) + " " + row.Text);
        try {
            ReadOptionValue(*row.Rule, row.Name, row.ValueName, row.Text);
            EXPECT_STREQ(row.Mistake, "");
        } catch (const EUsageError& mistake) {
            EXPECT_EQ(std::string(mistake.what()), row.Mistake);
        }
    }
    EXPECT_EQ(ReadOptionValue(peg, "--peg", "MODE", "polytropic").Integer, 2);
    const TOptionValue pair = ReadOptionValue(band, "--knock-band", "LO,HI", "5,5;20");
    EXPECT_EQ(pair.First, "5,5");
    EXPECT_EQ(pair.Last, "20");
}

}  // namespace
}  // namespace morvane
