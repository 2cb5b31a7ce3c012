#include "cli/OptionTable.h"

#include <algorithm>
#include <array>
#include <utility>

#include "events/EventGeneration.h"
#include "signal/import/EncoderRanges.h"

namespace morvane {

namespace {

constexpr TCommandSet kEventsCommand = CommandBit(TCliCommand::Events);
constexpr TCommandSet kSignal = CommandBit(TCliCommand::Signal);
constexpr TCommandSet kRender = CommandBit(TCliCommand::Render);
constexpr TCommandSet kCombustion = CommandBit(TCliCommand::Combustion);
constexpr TCommandSet kValves = CommandBit(TCliCommand::Valves);
constexpr TCommandSet kTdc = CommandBit(TCliCommand::Tdc);
constexpr TCommandSet kChannels = CommandBit(TCliCommand::Channels);
constexpr TCommandSet kPressureCommands = kCombustion | kTdc;
constexpr TCommandSet kCylinderCommands = kEventsCommand | kRender | kValves;
constexpr TCommandSet kSignalCommands = kSignal | kRender;
constexpr TCommandSet kRecordingCommands = kSignal | kRender | kCombustion | kTdc;

constexpr TGroupSet kSignalFile = GroupBit(TOptionGroup::SignalFile);
constexpr TGroupSet kEvents = GroupBit(TOptionGroup::Events);
constexpr TGroupSet kEncoder = GroupBit(TOptionGroup::Encoder);
constexpr TGroupSet kKnock = GroupBit(TOptionGroup::Knock);
constexpr TGroupSet kEngine = GroupBit(TOptionGroup::Engine);

// Where the help text of every option starts.
constexpr std::size_t kHelpColumn = 22;

constexpr TValueRule kEncoderText{.NotEmpty = true};
constexpr TValueRule kInputPath{.Kind = TValueKind::Path, .Role = TPathRole::Input};
constexpr TValueRule kOutputPath{.Kind = TValueKind::Path, .NotEmpty = true, .Role = TPathRole::Output};
constexpr TValueRule kPictureSize{.Kind = TValueKind::Size, .Low = 1, .High = 10000};

constexpr TValueRule IntegerRule(double low, double high) {
    return {.Kind = TValueKind::Integer, .Low = low, .High = high};
}

constexpr TValueRule FieldRule(double low, double high) {
    return {.Kind = TValueKind::Field, .Low = low, .High = high};
}

constexpr TValueRule PairRule(std::string_view example, double low, double high) {
    return {.Kind = TValueKind::Pair, .Low = low, .High = high, .Detail = example};
}

// The physical ranges of the numbers, wide enough for every real engine from a
// model engine to a large two-stroke marine one, and for every sensor and
// amplifier, yet narrow enough that a typing slip is caught before it makes a
// figure of nonsense.
constexpr TValueRule kBoreRule = FieldRule(1, 2000);           // mm
constexpr TValueRule kStrokeRule = FieldRule(1, 5000);         // mm
constexpr TValueRule kRodRule = FieldRule(1, 10000);           // mm
constexpr TValueRule kCompressionRule = FieldRule(2, 50);      // 1
constexpr TValueRule kGammaRule = FieldRule(1.05, 1.7);        // a gas's cp/cv lies below 5/3
constexpr TValueRule kTdcShiftRule = FieldRule(-360, 360);     // degrees: within one cycle
constexpr TValueRule kPegPressureRule = FieldRule(0.01, 100);  // bar, absolute
constexpr TValueRule kPegExponentRule = FieldRule(1, 1.7);     // isothermal to adiabatic
constexpr TValueRule kTemperatureRule{
    .Kind = TValueKind::Number, .Low = 0, .High = 5000, .Ends = TRangeEnds::AboveLow, .NotEmpty = true};  // K
constexpr TValueRule kCycleAngleRule{.Kind = TValueKind::Number, .Low = 0, .High = 720, .NotEmpty = true};
constexpr double kCycleDegrees = 720;
// Knock resonances lie near 1 kHz in a marine bore and near 100 kHz in a model engine's.
constexpr double kLowestKnockHz = 100;
constexpr double kHighestKnockHz = 200000;

// The encoder options fill the signal's import, or the recording that
// combustion averages.
TEncoderOptions& EncoderOf(TCliArguments& arguments) {
    const bool pressure =
        arguments.Command == TCliCommand::Combustion || arguments.Command == TCliCommand::Tdc;
    return pressure ? arguments.Combustion.Recording : arguments.SignalFile.Encoder;
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

void AddPressureFile(TCliArguments& arguments, const std::string& path) {
    TCombustionOptions& combustion = arguments.Combustion;
    if (combustion.Paths.empty()) {
        combustion.CyclePath = path;
        combustion.Recording.Path = path;
    }
    combustion.Paths.push_back(path);
}

// "1,Tlak 2,5": the columns as typed, split at each comma.
std::vector<std::string> SplitColumns(const std::string& text) {
    std::vector<std::string> columns(1);
    for (const char c : text) {
        if (c == ',') {
            columns.emplace_back();
        } else {
            columns.back() += c;
        }
    }
    return columns;
}

constexpr std::string_view kDiagramMistake = "--cylinder and --size need --diagram FILE.png";

// One row per option and command group, in the order of the help.
const TOptionRow kRows[] = {
    // The cylinder table and the window's page "Editace".
    {.Name = "TABLE",
     .Help = "cylinder table: a header line, then up to 12 lines of\n"
             "number;offset;ignition;SV opens;SV closes;VV opens;VV closes",
     .Commands = kEventsCommand | kRender,
     .Listed = kEventsCommand | kRender,
     .Rule = kInputPath,
     .Apply = [](TArgs& a, const TValue& v) { a.Events.TablePath = v.Text; }},
    {.Name = "TABLE",
     .Help = "cylinder table, as for events",
     .Commands = kValves,
     .Listed = kValves,
     .Rule = kInputPath,
     .Apply = [](TArgs& a, const TValue& v) { a.Events.TablePath = v.Text; }},
    {.Name = "--cylinders",
     .ValueName = "TEXT",
     .Help = "\"Počet válců [1]\" (default: the table's data lines, or 1)",
     .Commands = kCylinderCommands,
     .Listed = kCylinderCommands,
     .Groups = kEvents,
     .Apply = [](TArgs& a, const TValue& v) { a.Events.Cylinders = v.Text; }},
    {.Name = "--rpm",
     .ValueName = "TEXT",
     .Help = "\"Otáčky motoru [RPM]\" (default {default})",
     .Commands = kEventsCommand | kRender,
     .Listed = kEventsCommand | kRender,
     .Default = "1000",
     .Groups = kEvents,
     .Apply = [](TArgs& a, const TValue& v) { a.Events.Rpm = v.Text; },
     .MarkGiven = [](TArgs& a) { a.Events.RpmGiven = true; }},
    {.Name = "--global",
     .ValueName = "TEXT",
     .Help = "global correction in degrees (default {default})",
     .Commands = kEventsCommand | kRender,
     .Listed = kEventsCommand | kRender,
     .Default = "0",
     .Groups = kEvents,
     .Apply = [](TArgs& a, const TValue& v) { a.Events.Global = v.Text; },
     .MarkGiven = [](TArgs& a) { a.Events.GlobalGiven = true; }},
    {.Name = "--corrections",
     .ValueName = "FILE",
     .Help = "one correction per line, applied by position as \"Korigovat\" does",
     .Commands = kEventsCommand | kRender,
     .Listed = kEventsCommand | kRender,
     .Rule = kInputPath,
     .Groups = kEvents,
     .Apply = [](TArgs& a, const TValue& v) { a.Events.CorrectionsPath = v.Text; }},
    {.Name = "--firing-order",
     .ValueName = "TEXT",
     .Help = "firing order such as 1-3-4-2: sets the offsets of cylinders 1..N",
     .Commands = kCylinderCommands | kCombustion,
     .Listed = kCylinderCommands | kCombustion,
     .Groups = kEvents,
     .Apply =
         [](TArgs& a, const TValue& v) {
             a.Events.FiringOrder = v.Text;
             a.Combustion.FiringOrder = v.Text;
         }},
    {.Name = "--intervals",
     .ValueName = "LIST",
     .Help = "uneven firing intervals in degrees, one per cylinder, summing to 720\n"
             "(\"270,450\"; with ';' between them when they have decimal commas)",
     .Commands = kCylinderCommands | kCombustion,
     .Listed = kCylinderCommands | kCombustion,
     .Needs = "--firing-order",
     .Groups = kEvents,
     .Apply =
         [](TArgs& a, const TValue& v) {
             a.Events.FiringIntervals = v.Text;
             a.Combustion.FiringIntervals = v.Text;
         }},

    // The signal imports.
    {.Name = "--angle",
     .ValueName = "FILE",
     .Help = "signal sampled by crank angle: a header line, then trigger;value",
     .Commands = kSignalCommands,
     .Listed = kSignalCommands,
     .Rule = kInputPath,
     .Groups = kSignalFile,
     .Apply = [](TArgs& a, const TValue& v) { SetSignalFile(a, TSignalFileKind::Angle, v.Text); }},
    {.Name = "--time",
     .ValueName = "FILE",
     .Help = "signal sampled in time: one value per line",
     .Commands = kSignalCommands,
     .Listed = kSignalCommands,
     .Rule = kInputPath,
     .Groups = kSignalFile,
     .Apply = [](TArgs& a, const TValue& v) { SetSignalFile(a, TSignalFileKind::Time, v.Text); }},
    {.Name = "--encoder",
     .ValueName = "FILE",
     .Help = "measurement with a toothed-wheel encoder column (';', tab, ',' or spaces;\n"
             "decimal comma or point; header lines skipped), averaged onto the cycle",
     .Commands = kSignalCommands,
     .Listed = kSignalCommands,
     .Rule = kInputPath,
     .Groups = kSignalFile,
     .Apply = [](TArgs& a, const TValue& v) { SetSignalFile(a, TSignalFileKind::Encoder, v.Text); }},
    {.Name = "--wheel",
     .ValueName = "T-M",
     .Help = "the wheel: T tooth positions, M missing or merged (60-2, 36-1, 360-0)",
     .Commands = kRecordingCommands,
     .Listed = kSignalCommands,
     .Rule = {.Kind = TValueKind::Wheel, .NotEmpty = true},
     .Groups = kEncoder,
     .Apply = [](TArgs& a, const TValue& v) { EncoderOf(a).Wheel = v.Wheel; }},
    {.Name = "--reference-angle",
     .ValueName = "DEG",
     .Help = "cycle angle of the first edge after the gap, 0 <= DEG < 360 (default {default})",
     .Commands = kRecordingCommands,
     .Listed = kSignalCommands,
     .Rule = {.Kind = TValueKind::Number,
              .Low = kLowestReferenceAngle,
              .High = kReferenceAngleBelow,
              .Ends = TRangeEnds::BelowHigh,
              .NotEmpty = true},
     .Default = "0",
     .Groups = kEncoder,
     .Apply = [](TArgs& a, const TValue& v) { EncoderOf(a).ReferenceAngle = v.Number; }},
    {.Name = "--encoder-column",
     .ValueName = "C",
     .Help = "encoder column, 1-based number or header name (default {default})",
     .Commands = kRecordingCommands,
     .Listed = kSignalCommands,
     .Rule = kEncoderText,
     .Default = "1",
     .Groups = kEncoder,
     .Apply = [](TArgs& a, const TValue& v) { EncoderOf(a).EncoderColumn = v.Text; }},
    {.Name = "--value-column",
     .ValueName = "C",
     .Help = "measured column (default {default})",
     .Commands = kRecordingCommands,
     .Listed = kSignalCommands,
     .Rule = kEncoderText,
     .Default = "2",
     .Groups = kEncoder,
     .Apply = [](TArgs& a, const TValue& v) { EncoderOf(a).ValueColumn = v.Text; }},
    {.Name = "--time-column",
     .ValueName = "C",
     .Help = "time column in seconds, or instead",
     .Commands = kRecordingCommands,
     .Listed = kSignalCommands,
     .Rule = kEncoderText,
     .Groups = kEncoder,
     .Apply = [](TArgs& a, const TValue& v) { EncoderOf(a).TimeColumn = v.Text; }},
    {.Name = "--sample-rate",
     .ValueName = "HZ",
     .Help = "the sample rate in Hz, {range}",
     .Commands = kRecordingCommands,
     .Listed = kSignalCommands,
     .Rule = {.Kind = TValueKind::Number,
              .Low = 0,
              .Ends = TRangeEnds::AboveLow,
              .SensibleLow = 1,
              .SensibleHigh = 1e8,
              .NotEmpty = true},
     .Groups = kEncoder,
     .Apply = [](TArgs& a, const TValue& v) { EncoderOf(a).SampleRate = v.Number; }},
    {.Name = "--angle-column",
     .ValueName = "C",
     .Help = "crank-angle column in degrees: a recording in the angle domain, instead\n"
             "of --wheel and the time (no knock then)",
     .Commands = kRecordingCommands,
     .Listed = kSignalCommands,
     .Rule = kEncoderText,
     .Groups = kEncoder,
     .Apply = [](TArgs& a, const TValue& v) { EncoderOf(a).AngleColumn = v.Text; }},
    {.Name = "--angle-offset",
     .ValueName = "DEG",
     .Help = "the recorded angle of cylinder 1's gas-exchange top dead centre (default {default})",
     .Commands = kRecordingCommands,
     .Listed = kSignalCommands,
     .Rule = {.Kind = TValueKind::Number, .Low = -1e6, .High = 1e6, .NotEmpty = true},
     .Default = "0",
     .Groups = kEncoder,
     .Apply = [](TArgs& a, const TValue& v) { EncoderOf(a).AngleOffset = v.Number; }},
    {.Name = "--index-column",
     .ValueName = "C",
     .Help = "once-per-revolution index column (needed by a T-0 wheel)",
     .Commands = kRecordingCommands,
     .Listed = kSignalCommands,
     .Rule = kEncoderText,
     .Groups = kEncoder,
     .Apply = [](TArgs& a, const TValue& v) { EncoderOf(a).IndexColumn = v.Text; }},
    {.Name = "--phase",
     .ValueName = "1|2",
     .Help = "which complete revolution opens a cycle (default: the one that puts\n"
             "the mean's maximum within 180..540°)",
     .Commands = kRecordingCommands,
     .Listed = kSignalCommands,
     .Rule = {.Kind = TValueKind::Choice, .Choices = "1|2", .NotEmpty = true},
     .Groups = kEncoder,
     .Apply = [](TArgs& a, const TValue& v) { EncoderOf(a).Phase = v.Integer + 1; }},

    // The timeline picture.
    {.Name = "--cursor",
     .ValueName = "0..720",
     .Help = "crank-angle cursor in degrees (default {default})",
     .Commands = kRender,
     .Listed = kRender,
     .Rule = IntegerRule(0, 720),
     .Default = "0",
     .Apply = [](TArgs& a, const TValue& v) { a.Render.Cursor = v.Integer; },
     .MarkGiven = [](TArgs& a) { a.Render.CursorGiven = true; }},
    {.Name = "--filter",
     .ValueName = "0..96",
     .Help = "moving-average filter slider (default {default}, off)",
     .Commands = kRender,
     .Listed = kRender,
     .Rule = IntegerRule(0, 96),
     .Default = "0",
     .Apply = [](TArgs& a, const TValue& v) { a.Render.Filter = v.Integer; },
     .MarkGiven = [](TArgs& a) { a.Render.FilterGiven = true; }},
    {.Name = "--gain",
     .ValueName = "10..100",
     .Help = "gain slider, tenths (default {default})",
     .Commands = kRender,
     .Listed = kRender,
     .Rule = IntegerRule(10, 100),
     .Default = "10",
     .Apply = [](TArgs& a, const TValue& v) { a.Render.Gain = v.Integer; },
     .MarkGiven = [](TArgs& a) { a.Render.GainGiven = true; }},
    {.Name = "--kinds",
     .ValueName = "BBBB",
     .Help = "pistons, intake valves, exhaust valves, ignitions as 0/1 (default {default})",
     .Commands = kRender,
     .Listed = kRender,
     .Rule = {.Kind = TValueKind::Flags, .Detail = "pistons, intake valves, exhaust valves, ignitions"},
     .Default = "1111",
     .Apply =
         [](TArgs& a, const TValue& v) {
             std::transform(v.Text.begin(), v.Text.end(), a.Render.Kinds.begin(),
                            [](char c) { return c == '1'; });
         },
     .MarkGiven = [](TArgs& a) { a.Render.KindsGiven = true; }},
    {.Name = "--size",
     .ValueName = "WxH",
     .Help = "picture size, each 1..10000 (default {default})",
     .Commands = kRender,
     .Listed = kRender,
     .Rule = kPictureSize,
     .Default = "663x300",
     .Apply =
         [](TArgs& a, const TValue& v) {
             a.Render.Width = v.Integer;
             a.Render.Height = v.Second;
         }},
    {.Name = "--output",
     .ValueName = "FILE.png",
     .Help = "the picture to write",
     .Commands = kRender,
     .Listed = kRender,
     .Rule = kOutputPath,
     .Required = kRender,
     .Missing = "{command} needs --output FILE.png",
     .Apply = [](TArgs& a, const TValue& v) { a.Render.OutputPath = v.Text; }},

    // The page "Rozvod".
    {.Name = "--diagram",
     .ValueName = "FILE.png",
     .Help = "writes the valve-timing diagram of one cylinder",
     .Commands = kValves,
     .Listed = kValves,
     .Rule = kOutputPath,
     .Apply = [](TArgs& a, const TValue& v) { a.Valves.DiagramPath = v.Text; }},
    {.Name = "--cylinder",
     .ValueName = "1..12",
     .Help = "the cylinder of the diagram (default {default})",
     .Commands = kValves,
     .Listed = kValves,
     .Rule = IntegerRule(1, kCylinderRows),
     .Default = "1",
     .Needs = "--diagram",
     .NeedsMistake = kDiagramMistake,
     .Apply = [](TArgs& a, const TValue& v) { a.Valves.Cylinder = v.Integer; }},
    {.Name = "--size",
     .ValueName = "WxH",
     .Help = "the diagram's size, each 1..10000 (default {default})",
     .Commands = kValves,
     .Listed = kValves,
     .Rule = kPictureSize,
     .Default = "360x360",
     .Needs = "--diagram",
     .NeedsMistake = kDiagramMistake,
     .Apply =
         [](TArgs& a, const TValue& v) {
             a.Valves.Width = v.Integer;
             a.Valves.Height = v.Second;
         }},

    // The page "Spalování".
    {.Name = "FILE",
     .Help = "pressure cycle in bar: 1441 values, one per line, or a header line\n"
             "and angle;pressure lines at 0; 0,5; ... 720",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = kInputPath,
     .Required = kCombustion,
     .Missing = "{command} needs the pressure-cycle FILE",
     .Repeats = true,
     .Apply = [](TArgs& a, const TValue& v) { AddPressureFile(a, v.Text); }},
    {.Name = "FILE",
     .Help = "motored pressure cycle in bar, as for combustion, or a recording",
     .Commands = kTdc,
     .Listed = kTdc,
     .Rule = kInputPath,
     .Required = kTdc,
     .Missing = "{command} needs the pressure-cycle FILE",
     .Apply = [](TArgs& a, const TValue& v) { AddPressureFile(a, v.Text); }},
    {.Name = "FILE",
     .Help = "recording: MDF 4 or delimited text",
     .Commands = kChannels,
     .Listed = kChannels,
     .Rule = kInputPath,
     .Required = kChannels,
     .Missing = "{command} needs the recording FILE",
     .Apply = [](TArgs& a, const TValue& v) { a.ChannelsPath = v.Text; }},
    {.Name = "--bore",
     .ValueName = "MM",
     .Help = "bore, mm, {range}",
     .OptionalNote = " (polytropic pegging)",
     .Commands = kPressureCommands,
     .Listed = kPressureCommands,
     .Rule = kBoreRule,
     .Required = kCombustion,
     .Missing = "{command} needs --bore",
     .Groups = kEngine,
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.Texts.Bore = v.Text; }},
    {.Name = "--stroke",
     .ValueName = "MM",
     .Help = "stroke, mm, {range}",
     .Commands = kPressureCommands,
     .Listed = kPressureCommands,
     .Rule = kStrokeRule,
     .Required = kCombustion,
     .Missing = "{command} needs --stroke",
     .Groups = kEngine,
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.Texts.Stroke = v.Text; }},
    {.Name = "--rod",
     .ValueName = "MM",
     .Help = "connecting-rod length, mm, {range}",
     .Commands = kPressureCommands,
     .Listed = kPressureCommands,
     .Rule = kRodRule,
     .Required = kCombustion,
     .Missing = "{command} needs --rod",
     .Groups = kEngine,
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.Texts.Rod = v.Text; }},
    {.Name = "--compression",
     .ValueName = "E",
     .Help = "compression ratio, {range}",
     .Commands = kPressureCommands,
     .Listed = kPressureCommands,
     .Rule = kCompressionRule,
     .Required = kCombustion,
     .Missing = "{command} needs --compression",
     .Groups = kEngine,
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.Texts.Compression = v.Text; }},
    {.Name = "--gamma",
     .ValueName = "G",
     .Help = "ratio of specific heats of the heat release, {range} (default {default})",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = kGammaRule,
     .Default = "1,35",
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.Texts.Gamma = v.Text; }},
    {.Name = "--window",
     .ValueName = "FROM,TO",
     .Help = "heat-release window in degrees, {range} (default {default};\n"
             "with decimals FROM;TO, e.g. 340,5;460)",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = PairRule("340,5;460", 0, kCycleDegrees),
     .Default = "340,460",
     .Apply =
         [](TArgs& a, const TValue& v) {
             a.Combustion.Texts.WindowStart = v.First;
             a.Combustion.Texts.WindowEnd = v.Last;
         }},
    {.Name = "--pressure-scale",
     .ValueName = "BAR_PER_UNIT",
     .Help = "the sensor's scale, bar per unit of the recording's value column,\n"
             "{range} (bar/V of an amplifier, bar per count or per Pa);\n"
             "a recording needs it",
     .Commands = kPressureCommands,
     .Listed = kPressureCommands,
     .Rule = {.Kind = TValueKind::Number, .Low = 1e-6, .High = 1e4, .NotEmpty = true, .List = true},
     // A recording in the DAQ's unit must never give figures in bar.
     .Missing = "the recording is not in bar: give the sensor's scale with --pressure-scale BAR_PER_UNIT "
                "(záznam není v barech: zadejte citlivost snímače)",
     .Groups = kEncoder,
     .Apply =
         [](TArgs& a, const TValue& v) {
             a.Combustion.Recording.PressureScale = v.Numbers.front();
             a.Combustion.PressureScales = v.Numbers;
             a.Combustion.PressureScaleText = v.Text;
         }},
    {.Name = "--pressure-columns",
     .ValueName = "C1,C2,...",
     .Help = "one pressure column per cylinder 1, 2, ... (numbers or header names),\n"
             "instead of --value-column; --pressure-scale takes one scale for all\n"
             "or one per column (\"20;20;19,5;20\"), --engine or --firing-order the offsets",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = kEncoderText,
     .Groups = kEncoder,
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.PressureColumns = SplitColumns(v.Text); }},
    {.Name = "--engine",
     .ValueName = "FILE",
     .Help = "cylinder table or set-up file: the offsets of the pressure columns' cylinders;\n"
             "a set-up also gives the engine, pegging, knock and encoder options not given",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = kInputPath,
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.EnginePath = v.Text; }},
    {.Name = "--pressure-picture",
     .ValueName = "FILE.png",
     .Help = "draws every cylinder's mean pressure on its own angle, with the events\n"
             "of one cylinder",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = kOutputPath,
     .Needs = "--pressure-columns",
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.PicturePath = v.Text; }},
    {.Name = "--picture-cylinder",
     .ValueName = "N",
     .Help = "the cylinder whose events the pressure picture marks (default {default})",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = IntegerRule(1, kCylinderRows),
     .Default = "1",
     .Needs = "--pressure-picture",
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.PictureCylinder = v.Integer; }},
    {.Name = "--tdc-shift",
     .ValueName = "DEG",
     .Help = "the trace's firing top dead centre lies at 360 + DEG, DEG {range}\n"
             "(default {default})",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = kTdcShiftRule,
     .Default = "0",
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.Reference.TdcShift = v.Text; }},
    {.Name = "--peg",
     .ValueName = "METHOD",
     .Help = "pegging to absolute pressure: none, point or polytropic (default {default})",
     .Commands = kPressureCommands,
     .Listed = kPressureCommands,
     .Rule = {.Kind = TValueKind::Choice, .Choices = "none|point|polytropic", .NotEmpty = true},
     .Default = "none",
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.Reference.PegMethod = v.Text; }},
    {.Name = "--peg-range",
     .ValueName = "FROM,TO",
     .Help = "the pegging's angles, {range} (default 175,185 for point,\n"
             "245,295 for polytropic)",
     .Commands = kPressureCommands,
     .Listed = kPressureCommands,
     .Rule = PairRule("175,5;185", 0, kCycleDegrees),
     .OnlyWith = {"--peg", "point|polytropic"},
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.Reference.PegRange = v.Text; }},
    {.Name = "--peg-pressure",
     .ValueName = "BAR",
     .Help = "absolute pressure of point pegging, {range} (default {default})",
     .Commands = kPressureCommands,
     .Listed = kPressureCommands,
     .Rule = kPegPressureRule,
     .Default = "1,013",
     .OnlyWith = {"--peg", "point"},
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.Reference.PegPressure = v.Text; }},
    {.Name = "--peg-exponent",
     .ValueName = "N",
     .Help = "polytropic exponent of polytropic pegging, {range} (default {default})",
     .Commands = kPressureCommands,
     .Listed = kPressureCommands,
     .Rule = kPegExponentRule,
     .Default = "1,32",
     .OnlyWith = {"--peg", "polytropic"},
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.Reference.PegExponent = v.Text; }},
    {.Name = "--cycles",
     .ValueName = "FILE",
     .Help = "writes the figures of every cycle of the one FILE, one line each\n"
             "(with --table too)",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = kOutputPath,
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.CyclesPath = v.Text; }},
    {.Name = "--knock-band",
     .ValueName = "LO,HI",
     .Help = "knock band-pass of a recording in Hz, {range} (default {default})",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = PairRule("4000,5;20000", kLowestKnockHz, kHighestKnockHz),
     .Default = "4000,20000",
     .Needs = "--pressure-scale",
     .Groups = kEncoder | kKnock,
     .Apply =
         [](TArgs& a, const TValue& v) {
             a.Combustion.KnockLow = v.First;
             a.Combustion.KnockHigh = v.Last;
         }},
    {.Name = "--knock-window",
     .ValueName = "FROM,TO",
     .Help = "cycle angles whose samples give MAPO, {range} (default {default})",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = PairRule("360,5;420", 0, kCycleDegrees),
     .Default = "360,420",
     .Needs = "--pressure-scale",
     .Groups = kEncoder | kKnock,
     .Apply =
         [](TArgs& a, const TValue& v) {
             a.Combustion.KnockFrom = v.First;
             a.Combustion.KnockTo = v.Last;
         }},
    {.Name = "--knock-threshold",
     .ValueName = "BAR",
     .Help = "a cycle whose MAPO exceeds it knocks, {range} bar (default {default})",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = {.Kind = TValueKind::Number, .Low = 0, .High = 100, .NotEmpty = true},
     .Default = "1,0",
     .Needs = "--pressure-scale",
     .Groups = kEncoder | kKnock,
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.KnockThreshold = v.Number; }},
    {.Name = "-j",
     .ValueName = "N",
     .Help = "several FILEs: how many at once (default: one per core)",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = IntegerRule(1, 1024),
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.Jobs = v.Integer; }},
    {.Name = "--timeout",
     .ValueName = "SECONDS",
     .Help = "gives up a file not read and analysed within SECONDS, {range}\n"
             "(default: no limit); a table's other rows still follow",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule =
         {.Kind = TValueKind::Number, .Low = 0, .High = 1e6, .Ends = TRangeEnds::AboveLow, .NotEmpty = true},
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.Timeout = v.Number; }},
    {.Name = "--table",
     .ValueName = "whole|rows",
     .Help = "prints the table of the files even for one FILE; rows: without its header",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = {.Kind = TValueKind::Choice, .Choices = "whole|rows", .NotEmpty = true},
     .Apply =
         [](TArgs& a, const TValue& v) {
             a.Combustion.Table = v.Integer == 0 ? TRecordingTableForm::Whole : TRecordingTableForm::Rows;
         }},

    // Heat to the walls and the charge's temperature.
    {.Name = "--heat-transfer",
     .ValueName = "MODEL",
     .Help = "heat to the walls: none, woschni or hohenberg (default {default});\n"
             "the burn angles then come from the gross heat release",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = {.Kind = TValueKind::Choice, .Choices = "none|woschni|hohenberg", .NotEmpty = true},
     .Default = "none",
     .Apply = [](TArgs& a,
                 const TValue& v) { a.Combustion.HeatTransfer.Model = static_cast<THeatModel>(v.Integer); }},
    {.Name = "--wall-temperature",
     .ValueName = "K",
     .Help = "the walls' temperature, {range} (default {default})",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = kTemperatureRule,
     .Default = "450",
     .OnlyWith = {"--heat-transfer", "woschni|hohenberg"},
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.HeatTransfer.WallTemperature = v.Number; }},
    {.Name = "--intake-temperature",
     .ValueName = "K",
     .Help = "the gas temperature at intake closing, {range}\n"
             "(default {default})",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = kTemperatureRule,
     .Default = "320",
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.HeatTransfer.IntakeTemperature = v.Number; }},
    {.Name = "--rpm",
     .ValueName = "N",
     .Help = "the engine's speed of a pressure file, {range}\n"
             "(a recording gives each cycle's own)",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule =
         {.Kind = TValueKind::Number, .Low = 0, .High = 1e6, .Ends = TRangeEnds::AboveLow, .NotEmpty = true},
     .OnlyWith = {"--heat-transfer", "woschni|hohenberg"},
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.HeatTransfer.Rpm = v.Number; }},
    {.Name = "--ivc",
     .ValueName = "DEG",
     .Help = "intake closes, the cylinder's angle {range} (0 = gas-exchange TDC)",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = kCycleAngleRule,
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.HeatTransfer.Ivc = v.Number; }},
    {.Name = "--evo",
     .ValueName = "DEG",
     .Help = "exhaust opens, the cylinder's angle {range}",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = kCycleAngleRule,
     .OnlyWith = {"--heat-transfer", "woschni|hohenberg"},
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.HeatTransfer.Evo = v.Number; }},
    {.Name = "--ignition",
     .ValueName = "DEG",
     .Help = "ignition (start of injection), the cylinder's angle {range}",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = kCycleAngleRule,
     .OnlyWith = {"--heat-transfer", "woschni|hohenberg"},
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.HeatTransfer.Ignition = v.Number; }},
    {.Name = "--gamma-model",
     .ValueName = "MODEL",
     .Help = "γ of the heat release: constant (--gamma) or brunt, γ(T) of the gas\n"
             "temperature (default {default})",
     .Commands = kCombustion,
     .Listed = kCombustion,
     .Rule = {.Kind = TValueKind::Choice, .Choices = "constant|brunt", .NotEmpty = true},
     .Default = "constant",
     .Apply = [](TArgs& a,
                 const TValue& v) { a.Combustion.HeatTransfer.Gamma = static_cast<TGammaModel>(v.Integer); }},

    // The proposal of the top-dead-centre shift.
    {.Name = "--loss-angle",
     .ValueName = "DEG",
     .Help = "how far the motored peak lies before top dead centre, {range}\n"
             "(default {default})",
     .Commands = kTdc,
     .Listed = kTdc,
     // Heat loss and blow-by put the peak some tenths of a degree early.
     .Rule = {.Kind = TValueKind::Number, .Low = -10, .High = 10, .NotEmpty = true},
     .Default = "0",
     .Apply = [](TArgs& a, const TValue& v) { a.Combustion.LossAngle = v.Number; }},
};

// The groups' rules; their members are the rows that name them.
const TGroupRow kGroups[] = {
    {.Group = TOptionGroup::SignalFile,
     .Name = "signal file",
     .Exclusive = true,
     .Required = kSignal,
     .Missing = "signal needs --angle FILE or --time FILE"},
    {.Group = TOptionGroup::Events, .Name = "events", .Summed = kRender},
    // A recording: read with a toothed wheel, and in the pressure commands in the DAQ's unit.
    {.Group = TOptionGroup::Encoder,
     .Name = "encoder",
     .Summed = kRecordingCommands,
     .Lead = "--encoder",
     .Needs = "--wheel --time-column|--sample-rate --pressure-scale",
     .Opened = [](TArgs& a) { a.Combustion.FromRecording = true; }},
    // A band the rate cannot take is a mistake only when a knock option was given.
    {.Group = TOptionGroup::Knock,
     .Name = "knock",
     .Summed = kCombustion,
     .Opened = [](TArgs& a) { a.Combustion.KnockGiven = true; }},
    // Combustion needs the engine anyway; tdc reads it for polytropic pegging only.
    {.Group = TOptionGroup::Engine, .Name = "engine", .NeededWhen = {"--peg", "polytropic"}},
};

const TCommandRow kCommands[] = {
    {TCliCommand::Events, "events", "print the cycle time and the event table",
     "Creates the events of one cycle from the cylinder table and prints the cycle time\n"
     "and the event table (ID;Úhel;Popis).\n\n",
     ""},
    {TCliCommand::Signal, "signal", "print an imported signal's 1441 entries",
     "Imports a signal and prints its 1441 entries, one per line.\n\n", ""},
    {TCliCommand::Render, "render", "write the timeline picture as PNG",
     "Creates the events, imports the signal when given and writes the timeline picture.\n\n", ""},
    {TCliCommand::Valves, "valves", "print the valve timing per cylinder; the valve-timing diagram",
     "Prints the valve timing of cylinders 1..N as the page \"Rozvod\" shows it: a header line,\n"
     "then Válec;Přesazení;intake and exhaust duration;overlap;intake centreline after and\n"
     "exhaust centreline before the gas-exchange top dead centre;lobe separation.\n\n",
     "\nevents and render take --firing-order and --intervals too: the order sets the offsets\n"
     "before the events are built.\n"},
    {TCliCommand::Combustion, "combustion", "print the combustion figures of a pressure cycle",
     "Prints the combustion figures of a pressure cycle, one name;value line each.\n\n",
     "\nWith --wheel and the other encoder options of signal (see signal --help), FILE is a\n"
     "recording: its complete cycles are averaged onto the cycle, the summary\n"
     "goes to stderr, and CoV IMEP [%] is printed too.\n"
     "A recording is in the DAQ's unit and needs --pressure-scale; then the spread of its cycles,\n"
     "its misfires and its knock figures (MAPO) are printed too.\n"
     "Several FILEs print one table instead, a row per file in the order given, the files read\n"
     "at once; a file that fails gives its error text in its row, and the exit status is 1.\n"
     "A cell holding ';', '\"' or a line break is quoted as CSV quotes it.\n"},
    {TCliCommand::Tdc, "tdc", "propose the top-dead-centre shift from a motored pressure cycle",
     "Proposes the top-dead-centre shift of combustion --tdc-shift from a motored pressure cycle\n"
     "(or recording): Posun HÚ [°];DEG.\n\n",
     "\nWith --wheel and the other encoder options of signal (see signal --help), FILE is a\n"
     "recording.\n"
     "The proposal's chords lie at shares of the peak pressure, so a relative trace needs --peg;\n"
     "polytropic pegging needs --bore, --stroke, --rod and --compression.\n"},
    {TCliCommand::Channels, "channels", "list the channels of a recording",
     "Prints the channels of a recording (MDF 4 or delimited text), one line each:\n"
     "Skupina;Kanál;Jednotka;Vzorků;Hlavní (group, name, unit, samples, the group's master).\n\n",
     ""},
    {TCliCommand::None, "", "", "",
     "\nNumbers use the decimal comma. A failure prints the error box's text and exits 1;\n"
     "a usage mistake exits 2. \"morvane-cli COMMAND --help\" tells more.\n"},
};

bool IsPositional(const TOptionRow& row) {
    return !row.Name.starts_with("-");
}

std::string HelpLine(const TOptionRow& row, TCliCommand command) {
    std::string line = "  " + std::string(row.Name);
    if (!row.ValueName.empty()) {
        line += " " + std::string(row.ValueName);
    }
    line.append(line.size() < kHelpColumn ? kHelpColumn - line.size() : 2, ' ');
    std::string help(row.Help);
    if (!Needed(row, command)) {
        help += row.OptionalNote;
    }
    for (const auto& [marker, text] : {std::pair<std::string_view, std::string>{"{default}", row.Default},
                                       {"{range}", RangeText(row.Rule)}}) {
        if (const std::size_t at = help.find(marker); at != std::string::npos) {
            help.replace(at, marker.size(), text);
        }
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

std::span<const TGroupRow> GroupRows() {
    return kGroups;
}

std::span<const TCommandRow> CommandRows() {
    return kCommands;
}

const TGroupRow& GroupOf(TOptionGroup group) {
    return *std::find_if(std::begin(kGroups), std::end(kGroups),
                         [&](const TGroupRow& row) { return row.Group == group; });
}

const TCommandRow& CommandOf(TCliCommand command) {
    return *std::find_if(std::begin(kCommands), std::end(kCommands),
                         [&](const TCommandRow& row) { return row.Command == command; });
}

bool Takes(const TOptionRow& row, TCliCommand command) {
    return (row.Commands & CommandBit(command)) != 0;
}

bool Needed(const TOptionRow& row, TCliCommand command) {
    return (row.Required & CommandBit(command)) != 0;
}

bool InGroup(const TOptionRow& row, TOptionGroup group) {
    return (row.Groups & GroupBit(group)) != 0;
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

std::vector<std::vector<const TOptionRow*>> NeedsTerms(const TGroupRow& group, TCliCommand command) {
    std::vector<std::vector<const TOptionRow*>> terms(1);
    const std::string_view needs = group.Needs;
    for (std::size_t at = 0; at < needs.size();) {
        const std::size_t end = std::min(needs.find_first_of(" |", at), needs.size());
        if (const TOptionRow* const row = FindOption(command, needs.substr(at, end - at))) {
            terms.back().push_back(row);
        }
        if (end < needs.size() && needs[end] == ' ' && !terms.back().empty()) {
            terms.emplace_back();
        }
        at = end + 1;
    }
    if (terms.back().empty()) {
        terms.pop_back();
    }
    return terms;
}

std::string OptionHelpLines(TCliCommand command) {
    std::string text;
    for (const TOptionRow& row : kRows) {
        if ((row.Listed & CommandBit(command)) != 0) {
            text += HelpLine(row, command);
        }
    }
    return text;
}

}  // namespace morvane
