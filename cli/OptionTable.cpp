#include "cli/OptionTable.h"

#include <algorithm>
#include <array>

#include "signal/EncoderRanges.h"

namespace morvane {

namespace {

constexpr TCommandSet kEvents = CommandBit(TCliCommand::Events);
constexpr TCommandSet kSignal = CommandBit(TCliCommand::Signal);
constexpr TCommandSet kRender = CommandBit(TCliCommand::Render);
constexpr TCommandSet kCombustion = CommandBit(TCliCommand::Combustion);
constexpr TCommandSet kValves = CommandBit(TCliCommand::Valves);
constexpr TCommandSet kCylinderCommands = kEvents | kRender | kValves;
constexpr TCommandSet kSignalCommands = kSignal | kRender;
constexpr TCommandSet kRecordingCommands = kSignal | kRender | kCombustion;

// Where the help text of every option starts.
constexpr std::size_t kHelpColumn = 22;

constexpr TValueRule kText{};
constexpr TValueRule kEncoderText{.NotEmpty = true};
constexpr TValueRule kInputPath{.Kind = TValueKind::Path, .Role = TPathRole::Input};
constexpr TValueRule kOutputPath{.Kind = TValueKind::Path, .Role = TPathRole::Output};
constexpr TValueRule kPictureSize{.Kind = TValueKind::Size, .Low = 1, .High = 10000};

constexpr TValueRule IntegerRule(double low, double high) {
    return {.Kind = TValueKind::Integer, .Low = low, .High = high};
}

// The encoder options fill the signal's import, or the recording that
// combustion averages.
TEncoderOptions& EncoderOf(TCliArguments& arguments) {
    return arguments.Command == TCliCommand::Combustion ? arguments.Combustion.Recording
                                                        : arguments.SignalFile.Encoder;
}

void SetSignalFile(TCliArguments& arguments, TSignalFileKind kind, const std::string& path) {
    TSignalFile& file = arguments.SignalFile;
    if (file.Kind == TSignalFileKind::Encoder || kind == TSignalFileKind::Encoder) {
        if (file.Kind != TSignalFileKind::None) {
            throw EUsageError("give only one of --angle, --time and --encoder");
        }
    } else if (file.Kind != TSignalFileKind::None) {
        throw EUsageError("give either --angle or --time, not both");
    }
    // An empty path would be an open dialog cancelled: nothing imported, yet success.
    if (path.empty()) {
        const char* const name = kind == TSignalFileKind::Angle  ? "--angle"
                                 : kind == TSignalFileKind::Time ? "--time"
                                                                 : "--encoder";
        throw EUsageError(std::string(name) + " needs a file");
    }
    file.Kind = kind;
    file.Path = path;
    file.Encoder.Path = path;
}

using TArgs = TCliArguments;
using TValue = TOptionValue;

const TOptionRow kRows[] = {
    // The cylinder table and the window's page "Editace".
    {"TABLE", "",
     "cylinder table: a header line, then up to 12 lines of\n"
     "number;offset;ignition;SV opens;SV closes;VV opens;VV closes",
     kEvents | kRender, kEvents | kRender, kInputPath, "", "", "", "", false,
     [](TArgs& a, const TValue& v) { a.Events.TablePath = v.Text; }},
    {"TABLE", "", "cylinder table, as for events", kValves, kValves, kInputPath, "", "", "", "", false,
     [](TArgs& a, const TValue& v) { a.Events.TablePath = v.Text; }},
    {"--cylinders", "TEXT", "\"Počet válců [1]\" (default: the table's data lines, or 1)", kCylinderCommands,
     kCylinderCommands, kText, "", "", "", "", false, [](TArgs& a, const TValue& v) { a.Events.Cylinders = v.Text; }},
    {"--rpm", "TEXT", "\"Otáčky motoru [RPM]\" (default {default})", kEvents | kRender, kEvents | kRender, kText,
     "1000", "", "", "", false, [](TArgs& a, const TValue& v) { a.Events.Rpm = v.Text; }},
    {"--global", "TEXT", "global correction in degrees (default {default})", kEvents | kRender, kEvents | kRender,
     kText, "0", "", "", "", false, [](TArgs& a, const TValue& v) { a.Events.Global = v.Text; }},
    {"--corrections", "FILE", "one correction per line, applied by position as \"Korigovat\" does",
     kEvents | kRender, kEvents | kRender, kInputPath, "", "", "", "", false,
     [](TArgs& a, const TValue& v) { a.Events.CorrectionsPath = v.Text; }},
    {"--firing-order", "TEXT", "firing order such as 1-3-4-2: sets the offsets of cylinders 1..N",
     kCylinderCommands, kCylinderCommands, kText, "", "", "", "", false,
     [](TArgs& a, const TValue& v) { a.Events.FiringOrder = v.Text; }},
    {"--intervals", "LIST",
     "uneven firing intervals in degrees, one per cylinder, summing to 720\n"
     "(\"270,450\"; with ';' between them when they have decimal commas)",
     kCylinderCommands, kCylinderCommands, kText, "", "", "--firing-order", "", false,
     [](TArgs& a, const TValue& v) { a.Events.FiringIntervals = v.Text; }},

    // The signal imports.
    {"--angle", "FILE", "signal sampled by crank angle: a header line, then trigger;value", kSignalCommands,
     kSignalCommands, kInputPath, "", "", "", "", false,
     [](TArgs& a, const TValue& v) { SetSignalFile(a, TSignalFileKind::Angle, v.Text); }},
    {"--time", "FILE", "signal sampled in time: one value per line", kSignalCommands, kSignalCommands, kInputPath,
     "", "", "", "", false, [](TArgs& a, const TValue& v) { SetSignalFile(a, TSignalFileKind::Time, v.Text); }},
    {"--encoder", "FILE",
     "measurement with a toothed-wheel encoder column (';', tab, ',' or spaces;\n"
     "decimal comma or point; header lines skipped), averaged onto the cycle",
     kSignalCommands, kSignalCommands, kInputPath, "", "", "", "", false,
     [](TArgs& a, const TValue& v) { SetSignalFile(a, TSignalFileKind::Encoder, v.Text); }},
    {"--wheel", "T-M", "the wheel: T tooth positions, M missing or merged (60-2, 36-1, 360-0)", kRecordingCommands,
     kSignalCommands, {.Kind = TValueKind::Wheel, .NotEmpty = true}, "", "", "", "", true,
     [](TArgs& a, const TValue& v) { EncoderOf(a).Wheel = v.Wheel; }},
    {"--reference-angle", "DEG", "cycle angle of the first edge after the gap, 0 <= DEG < 360 (default {default})",
     kRecordingCommands, kSignalCommands,
     {.Kind = TValueKind::Number,
      .Low = kLowestReferenceAngle,
      .High = kReferenceAngleBelow,
      .Ends = TRangeEnds::BelowHigh,
      .NotEmpty = true},
     "0", "", "", "", true, [](TArgs& a, const TValue& v) { EncoderOf(a).ReferenceAngle = v.Number; }},
    {"--encoder-column", "C", "encoder column, 1-based number or header name (default {default})",
     kRecordingCommands, kSignalCommands, kEncoderText, "1", "", "", "", true,
     [](TArgs& a, const TValue& v) { EncoderOf(a).EncoderColumn = v.Text; }},
    {"--value-column", "C", "measured column (default {default})", kRecordingCommands, kSignalCommands, kEncoderText,
     "2", "", "", "", true, [](TArgs& a, const TValue& v) { EncoderOf(a).ValueColumn = v.Text; }},
    {"--time-column", "C", "time column in seconds, or instead", kRecordingCommands, kSignalCommands, kEncoderText,
     "", "", "", "", true, [](TArgs& a, const TValue& v) { EncoderOf(a).TimeColumn = v.Text; }},
    {"--sample-rate", "HZ", "the sample rate", kRecordingCommands, kSignalCommands,
     {.Kind = TValueKind::Number, .Low = 0, .Ends = TRangeEnds::AboveLow, .NotEmpty = true}, "", "", "", "", true,
     [](TArgs& a, const TValue& v) { EncoderOf(a).SampleRate = v.Number; }},
    {"--index-column", "C", "once-per-revolution index column (needed by a T-0 wheel)", kRecordingCommands,
     kSignalCommands, kEncoderText, "", "", "", "", true,
     [](TArgs& a, const TValue& v) { EncoderOf(a).IndexColumn = v.Text; }},
    {"--phase", "1|2",
     "which complete revolution opens a cycle (default: the one that puts\n"
     "the mean's maximum within 180..540°)",
     kRecordingCommands, kSignalCommands, {.Kind = TValueKind::Choice, .Choices = "1|2", .NotEmpty = true}, "", "",
     "", "", true, [](TArgs& a, const TValue& v) { EncoderOf(a).Phase = v.Integer + 1; }},

    // The timeline picture.
    {"--cursor", "0..720", "crank-angle cursor in degrees (default {default})", kRender, kRender,
     IntegerRule(0, 720), "0", "", "", "", false, [](TArgs& a, const TValue& v) { a.Render.Cursor = v.Integer; }},
    {"--filter", "0..96", "moving-average filter slider (default {default}, off)", kRender, kRender,
     IntegerRule(0, 96), "0", "", "", "", false, [](TArgs& a, const TValue& v) { a.Render.Filter = v.Integer; }},
    {"--gain", "10..100", "gain slider, tenths (default {default})", kRender, kRender, IntegerRule(10, 100), "10", "",
     "", "", false, [](TArgs& a, const TValue& v) { a.Render.Gain = v.Integer; }},
    {"--kinds", "BBBB", "pistons, intake valves, exhaust valves, ignitions as 0/1 (default {default})", kRender,
     kRender,
     {.Kind = TValueKind::Flags, .Detail = "pistons, intake valves, exhaust valves, ignitions"}, "1111", "", "", "",
     false,
     [](TArgs& a, const TValue& v) {
         std::transform(v.Text.begin(), v.Text.end(), a.Render.Kinds.begin(), [](char c) { return c == '1'; });
     }},
    {"--size", "WxH", "picture size, each 1..10000 (default {default})", kRender, kRender, kPictureSize, "663x300",
     "", "", "", false,
     [](TArgs& a, const TValue& v) {
         a.Render.Width = v.Integer;
         a.Render.Height = v.Second;
     }},
    {"--output", "FILE.png", "the picture to write", kRender, kRender, kOutputPath, "",
     "render needs --output FILE.png", "", "", false, [](TArgs& a, const TValue& v) { a.Render.OutputPath = v.Text; }},

    // The page "Rozvod".
    {"--diagram", "FILE.png", "writes the valve-timing diagram of one cylinder", kValves, kValves, kOutputPath, "", "",
     "", "", false, [](TArgs& a, const TValue& v) { a.Valves.DiagramPath = v.Text; }},
    {"--cylinder", "1..12", "the cylinder of the diagram (default {default})", kValves, kValves, IntegerRule(1, 12),
     "1", "", "--diagram", "--cylinder and --size need --diagram FILE.png", false,
     [](TArgs& a, const TValue& v) { a.Valves.Cylinder = v.Integer; }},
    {"--size", "WxH", "the diagram's size, each 1..10000 (default {default})", kValves, kValves, kPictureSize,
     "360x360", "", "--diagram", "--cylinder and --size need --diagram FILE.png", false,
     [](TArgs& a, const TValue& v) {
         a.Valves.Width = v.Integer;
         a.Valves.Height = v.Second;
     }},

    // The page "Spalování".
    {"FILE", "",
     "pressure cycle in bar: 1441 values, one per line, or a header line\n"
     "and angle;pressure lines at 0; 0,5; ... 720",
     kCombustion, kCombustion, kInputPath, "", "combustion needs the pressure-cycle FILE", "", "", false,
     [](TArgs& a, const TValue& v) {
         a.Combustion.CyclePath = v.Text;
         a.Combustion.Recording.Path = v.Text;
     }},
    {"--bore", "MM", "bore, mm", kCombustion, kCombustion, kText, "", "combustion needs --bore", "", "", false,
     [](TArgs& a, const TValue& v) { a.Combustion.Texts.Bore = v.Text; }},
    {"--stroke", "MM", "stroke, mm", kCombustion, kCombustion, kText, "", "combustion needs --stroke", "", "", false,
     [](TArgs& a, const TValue& v) { a.Combustion.Texts.Stroke = v.Text; }},
    {"--rod", "MM", "connecting-rod length, mm", kCombustion, kCombustion, kText, "", "combustion needs --rod", "",
     "", false, [](TArgs& a, const TValue& v) { a.Combustion.Texts.Rod = v.Text; }},
    {"--compression", "E", "compression ratio", kCombustion, kCombustion, kText, "", "combustion needs --compression",
     "", "", false, [](TArgs& a, const TValue& v) { a.Combustion.Texts.Compression = v.Text; }},
    {"--gamma", "G", "ratio of specific heats of the heat release (default {default})", kCombustion, kCombustion,
     kText, "1,35", "", "", "", false, [](TArgs& a, const TValue& v) { a.Combustion.Texts.Gamma = v.Text; }},
    {"--window", "FROM,TO",
     "heat-release window in degrees (default {default}; with decimals\n"
     "FROM;TO, e.g. 340,5;460)",
     kCombustion, kCombustion, {.Kind = TValueKind::Pair, .Detail = "340,5;460"}, "340,460", "", "", "", false,
     [](TArgs& a, const TValue& v) {
         a.Combustion.Texts.WindowStart = v.First;
         a.Combustion.Texts.WindowEnd = v.Last;
     }},
};

bool Takes(const TOptionRow& row, TCliCommand command) {
    return (row.Commands & CommandBit(command)) != 0;
}

bool IsPositional(const TOptionRow& row) {
    return !row.Name.starts_with("-");
}

std::string HelpLine(const TOptionRow& row) {
    std::string line = "  " + std::string(row.Name);
    if (!row.ValueName.empty()) {
        line += " " + std::string(row.ValueName);
    }
    line.append(line.size() < kHelpColumn ? kHelpColumn - line.size() : 2, ' ');
    std::string help(row.Help);
    const std::string_view marker = "{default}";
    if (const std::size_t at = help.find(marker); at != std::string::npos) {
        help.replace(at, marker.size(), row.Default);
    }
    for (std::size_t at = help.find('\n'); at != std::string::npos; at = help.find('\n', at + 1)) {
        help.insert(at + 1, kHelpColumn, ' ');
    }
    return line + help + "\n";
}

}  // namespace

std::span<const TOptionRow> OptionRows() {
    return kRows;
}

const TOptionRow* FindOption(TCliCommand command, std::string_view name) {
    const auto* const found = std::find_if(std::begin(kRows), std::end(kRows), [&](const TOptionRow& row) {
        return row.Name == name && !IsPositional(row) && Takes(row, command);
    });
    return found == std::end(kRows) ? nullptr : found;
}

const TOptionRow* PositionalOption(TCliCommand command) {
    const auto* const found = std::find_if(std::begin(kRows), std::end(kRows), [&](const TOptionRow& row) {
        return IsPositional(row) && Takes(row, command);
    });
    return found == std::end(kRows) ? nullptr : found;
}

std::string OptionHelpLines(TCliCommand command) {
    std::string text;
    for (const TOptionRow& row : kRows) {
        if ((row.Listed & CommandBit(command)) != 0) {
            text += HelpLine(row);
        }
    }
    return text;
}

}  // namespace morvane
