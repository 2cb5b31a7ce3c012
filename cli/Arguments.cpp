#include "cli/Arguments.h"

#include <algorithm>
#include <charconv>
#include <set>

#include "cli/EncoderArguments.h"

namespace morvane {

namespace {

constexpr std::string_view kEventsUsage =
    "morvane-cli events [TABLE] [--cylinders TEXT] [--rpm TEXT] [--global TEXT] [--corrections FILE]";
constexpr std::string_view kSignalUsage =
    "morvane-cli signal (--angle FILE | --time FILE | --encoder FILE --wheel T-M [encoder options])";
constexpr std::string_view kRenderUsage =
    "morvane-cli render [TABLE] [events options] [--angle FILE | --time FILE] [--cursor 0..720]\n"
    "                   [--filter 0..96] [--gain 10..100] [--kinds BBBB] [--size WxH] --output FILE.png";
constexpr std::string_view kCombustionUsage =
    "morvane-cli combustion FILE --bore MM --stroke MM --rod MM --compression E [--gamma G] [--window "
    "FROM,TO]\n"
    "                       [--wheel T-M (--sample-rate HZ | --time-column C) [other encoder options]]";
constexpr std::string_view kValvesUsage =
    "morvane-cli valves [TABLE] [--cylinders TEXT] [--firing-order 1-3-4-2 [--intervals LIST]]\n"
    "                   [--diagram FILE.png [--cylinder 1..12] [--size WxH]]";
constexpr std::string_view kToolUsage =
    "morvane-cli (events | signal | render | valves | combustion) [options]; --help, --version";

constexpr std::string_view kEventsOptionsHelp =
    "  TABLE               cylinder table: a header line, then up to 12 lines of\n"
    "                      number;offset;ignition;SV opens;SV closes;VV opens;VV closes\n"
    "  --cylinders TEXT    \"Počet válců [1]\" (default: the table's data lines, or 1)\n"
    "  --rpm TEXT          \"Otáčky motoru [RPM]\" (default 1000)\n"
    "  --global TEXT       global correction in degrees (default 0)\n"
    "  --corrections FILE  one correction per line, applied by position as \"Korigovat\" does\n";

constexpr std::string_view kFiringOrderHelp =
    "  --firing-order TEXT firing order such as 1-3-4-2: sets the offsets of cylinders 1..N\n"
    "  --intervals LIST    uneven firing intervals in degrees, one per cylinder, summing to 720\n"
    "                      (\"270,450\"; with ';' between them when they have decimal commas)\n";

constexpr std::string_view kSignalOptionsHelp =
    "  --angle FILE        signal sampled by crank angle: a header line, then trigger;value\n"
    "  --time FILE         signal sampled in time: one value per line\n";

constexpr std::string_view kRenderOptionsHelp =
    "  --cursor 0..720     crank-angle cursor in degrees (default 0)\n"
    "  --filter 0..96      moving-average filter slider (default 0, off)\n"
    "  --gain 10..100      gain slider, tenths (default 10)\n"
    "  --kinds BBBB        pistons, intake valves, exhaust valves, ignitions as 0/1 (default 1111)\n"
    "  --size WxH          picture size, each 1..10000 (default 663x300)\n"
    "  --output FILE.png   the picture to write\n";

constexpr std::string_view kCombustionOptionsHelp =
    "  FILE                pressure cycle in bar: 1441 values, one per line, or a header line\n"
    "                      and angle;pressure lines at 0; 0,5; ... 720\n"
    "  --bore MM           bore, mm\n"
    "  --stroke MM         stroke, mm\n"
    "  --rod MM            connecting-rod length, mm\n"
    "  --compression E     compression ratio\n"
    "  --gamma G           ratio of specific heats of the heat release (default 1,35)\n"
    "  --window FROM,TO    heat-release window in degrees (default 340,460; with decimals\n"
    "                      FROM;TO, e.g. 340,5;460)\n"
    "With --wheel and the other encoder options of signal (see signal --help), FILE is a\n"
    "recording: its complete cycles are averaged onto the cycle in the file's units, the summary\n"
    "goes to stderr, and CoV IMEP [%] is printed too.\n";

const std::set<std::string_view> kCombustionOptionNames = {"--bore",        "--stroke", "--rod",
                                                           "--compression", "--gamma",  "--window"};
const std::set<std::string_view> kEventsOptionNames = {"--cylinders",   "--rpm",          "--global",
                                                       "--corrections", "--firing-order", "--intervals"};
const std::set<std::string_view> kValvesOptionNames = {"--cylinders", "--firing-order", "--intervals",
                                                       "--diagram",   "--cylinder",     "--size"};
const std::set<std::string_view> kSignalOptionNames = {"--angle", "--time", "--encoder"};
const std::set<std::string_view> kRenderOnlyOptionNames = {"--cursor", "--filter", "--gain",
                                                           "--kinds",  "--size",   "--output"};

bool AcceptsOption(TCliCommand command, std::string_view name) {
    switch (command) {
        case TCliCommand::Events:
            return kEventsOptionNames.contains(name);
        case TCliCommand::Signal:
            return kSignalOptionNames.contains(name) || kEncoderOptionNames.contains(name);
        case TCliCommand::Render:
            return kEventsOptionNames.contains(name) || kSignalOptionNames.contains(name) ||
                   kEncoderOptionNames.contains(name) || kRenderOnlyOptionNames.contains(name);
        case TCliCommand::Combustion:
            return kCombustionOptionNames.contains(name) || kEncoderOptionNames.contains(name);
        case TCliCommand::Valves:
            return kValvesOptionNames.contains(name);
        case TCliCommand::None:
            break;
    }
    return false;
}

// A plain decimal integer, the whole text, within [low, high].
bool ParseBounded(std::string_view text, int low, int high, int& value) {
    const char* end = text.data() + text.size();
    int parsed = 0;
    const auto [stop, error] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || error != std::errc() || stop != end || parsed < low || parsed > high) {
        return false;
    }
    value = parsed;
    return true;
}

int SliderValue(std::string_view name, std::string_view text, int low, int high) {
    int value = 0;
    if (!ParseBounded(text, low, high, value)) {
        throw EUsageError(std::string(name) + " must be an integer from " + std::to_string(low) + " to " +
                          std::to_string(high));
    }
    return value;
}

std::array<bool, kEventKindCount> KindsValue(std::string_view text) {
    std::array<bool, kEventKindCount> kinds{};
    const bool wellFormed = text.size() == kinds.size() && std::all_of(text.begin(), text.end(), [](char c) {
                                return c == '0' || c == '1';
                            });
    if (!wellFormed) {
        throw EUsageError(
            "--kinds must be four characters 0 or 1 (pistons, intake valves, exhaust valves, ignitions)");
    }
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        kinds[k] = text[k] == '1';
    }
    return kinds;
}

void SizeValue(std::string_view text, int& width, int& height) {
    const std::size_t cross = text.find('x');
    if (cross == std::string_view::npos || !ParseBounded(text.substr(0, cross), 1, 10000, width) ||
        !ParseBounded(text.substr(cross + 1), 1, 10000, height)) {
        throw EUsageError("--size must be WxH with both from 1 to 10000");
    }
}

// "FROM,TO" with whole degrees, or either one with decimals split at ';'
// ("340,5;460") or at the middle of three commas ("340,5,460,5").
void WindowValue(const std::string& text, TCombustionTexts& texts) {
    std::size_t cut = text.find(';');
    if (cut == std::string::npos) {
        const auto commas = std::count(text.begin(), text.end(), ',');
        cut = text.find(',');
        if (commas == 3) {
            cut = text.find(',', cut + 1);
        } else if (commas != 1) {
            cut = std::string::npos;
        }
    }
    if (cut == std::string::npos) {
        throw EUsageError("--window must be FROM,TO (with decimals FROM;TO, e.g. 340,5;460)");
    }
    texts.WindowStart = text.substr(0, cut);
    texts.WindowEnd = text.substr(cut + 1);
}

void ApplyCombustionOption(TCombustionTexts& texts, std::string_view name, const std::string& value) {
    if (name == "--bore") {
        texts.Bore = value;
    } else if (name == "--stroke") {
        texts.Stroke = value;
    } else if (name == "--rod") {
        texts.Rod = value;
    } else if (name == "--compression") {
        texts.Compression = value;
    } else if (name == "--gamma") {
        texts.Gamma = value;
    } else if (name == "--window") {
        WindowValue(value, texts);
    }
}

void ApplyOption(TCliArguments& result, std::string_view name, const std::string& value) {
    if (result.Command == TCliCommand::Combustion) {
        if (kEncoderOptionNames.contains(name)) {
            ApplyEncoderOption(result.Combustion.Recording, name, value);
        } else {
            ApplyCombustionOption(result.Combustion.Texts, name, value);
        }
        return;
    }
    TEventsOptions& events = result.Events;
    TRenderOptions& render = result.Render;
    if (name == "--cylinders") {
        events.Cylinders = value;
    } else if (name == "--rpm") {
        events.Rpm = value;
    } else if (name == "--global") {
        events.Global = value;
    } else if (name == "--corrections") {
        events.CorrectionsPath = value;
    } else if (name == "--firing-order") {
        events.FiringOrder = value;
    } else if (name == "--intervals") {
        events.FiringIntervals = value;
    } else if (name == "--diagram") {
        result.Valves.DiagramPath = value;
    } else if (name == "--cylinder") {
        result.Valves.Cylinder = SliderValue(name, value, 1, 12);
    } else if (name == "--size" && result.Command == TCliCommand::Valves) {
        SizeValue(value, result.Valves.Width, result.Valves.Height);
    } else if (name == "--angle" || name == "--time" || name == "--encoder") {
        if (result.SignalFile.Kind == TSignalFileKind::Encoder || name == "--encoder") {
            if (result.SignalFile.Kind != TSignalFileKind::None) {
                throw EUsageError("give only one of --angle, --time and --encoder");
            }
        } else if (result.SignalFile.Kind != TSignalFileKind::None) {
            throw EUsageError("give either --angle or --time, not both");
        }
        // An empty path would be an open dialog cancelled: nothing imported, yet success.
        if (value.empty()) {
            throw EUsageError(std::string(name) + " needs a file");
        }
        result.SignalFile.Kind = name == "--angle"  ? TSignalFileKind::Angle
                                 : name == "--time" ? TSignalFileKind::Time
                                                    : TSignalFileKind::Encoder;
        result.SignalFile.Path = value;
        result.SignalFile.Encoder.Path = value;
    } else if (kEncoderOptionNames.contains(name)) {
        ApplyEncoderOption(result.SignalFile.Encoder, name, value);
    } else if (name == "--cursor") {
        render.Cursor = SliderValue(name, value, 0, 720);
    } else if (name == "--filter") {
        render.Filter = SliderValue(name, value, 0, 96);
    } else if (name == "--gain") {
        render.Gain = SliderValue(name, value, 10, 100);
    } else if (name == "--kinds") {
        render.Kinds = KindsValue(value);
    } else if (name == "--size") {
        SizeValue(value, render.Width, render.Height);
    } else if (name == "--output") {
        render.OutputPath = value;
    }
}

// The cycle file is the one positional argument; the engine has no defaults.
void CheckCombustion(const std::set<std::string>& seen, const std::vector<std::string>& positional,
                     TCombustionOptions& options) {
    if (positional.size() > 1) {
        throw EUsageError("unexpected argument '" + positional[1] + "'");
    }
    if (positional.empty()) {
        throw EUsageError("combustion needs the pressure-cycle FILE");
    }
    for (const char* required : {"--bore", "--stroke", "--rod", "--compression"}) {
        if (!seen.contains(required)) {
            throw EUsageError(std::string("combustion needs ") + required);
        }
    }
    options.CyclePath = positional.front();
    options.FromRecording = std::any_of(
        seen.begin(), seen.end(), [](const std::string& name) { return kEncoderOptionNames.contains(name); });
    options.Recording.Path = options.CyclePath;
    CheckEncoderOptions(options.FromRecording, seen);
}

bool IsHelp(std::string_view word) {
    return word == "--help" || word == "-h";
}

}  // namespace

TCliCommand CommandNamed(std::string_view word) {
    if (word == "events") {
        return TCliCommand::Events;
    }
    if (word == "signal") {
        return TCliCommand::Signal;
    }
    if (word == "render") {
        return TCliCommand::Render;
    }
    if (word == "combustion") {
        return TCliCommand::Combustion;
    }
    if (word == "valves") {
        return TCliCommand::Valves;
    }
    return TCliCommand::None;
}

TCliArguments ParseArguments(const std::vector<std::string>& arguments) {
    TCliArguments result;
    if (!arguments.empty()) {
        result.Command = CommandNamed(arguments.front());
    }
    // Help and version are honoured wherever they stand, before anything else is judged.
    for (const std::string& word : arguments) {
        if (word == "--") {
            break;
        }
        if (IsHelp(word) || word == "--version") {
            result.Action = IsHelp(word) ? TCliAction::Help : TCliAction::Version;
            return result;
        }
    }
    if (arguments.empty()) {
        throw EUsageError("no command given");
    }
    if (result.Command == TCliCommand::None) {
        throw EUsageError("unknown command '" + arguments.front() + "'");
    }

    std::set<std::string> seen;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            positional.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        // "--name value" or "--name=value"; a value may itself start with '-' ("--rpm -1000").
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        if (!AcceptsOption(result.Command, name)) {
            throw EUsageError("unknown option '" + name + "'");
        }
        if (!seen.insert(name).second) {
            throw EUsageError(name + " is given twice");
        }
        std::string value;
        if (equals != std::string::npos) {
            value = word.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            throw EUsageError(name + " needs a value");
        }
        ApplyOption(result, name, value);
    }

    if (result.Command == TCliCommand::Combustion) {
        CheckCombustion(seen, positional, result.Combustion);
        return result;
    }
    const std::size_t tablesAllowed = result.Command == TCliCommand::Signal ? 0 : 1;
    if (positional.size() > tablesAllowed) {
        throw EUsageError("unexpected argument '" + positional[tablesAllowed] + "'");
    }
    if (!positional.empty()) {
        result.Events.TablePath = positional.front();
    }
    if (result.Command == TCliCommand::Signal && result.SignalFile.Kind == TSignalFileKind::None) {
        throw EUsageError("signal needs --angle FILE or --time FILE");
    }
    CheckEncoderOptions(result.SignalFile.Kind == TSignalFileKind::Encoder, seen);
    if (result.Command == TCliCommand::Render && !seen.contains("--output")) {
        throw EUsageError("render needs --output FILE.png");
    }
    if (seen.contains("--intervals") && !seen.contains("--firing-order")) {
        throw EUsageError("--intervals needs --firing-order");
    }
    if ((seen.contains("--cylinder") || seen.contains("--size")) && result.Command == TCliCommand::Valves &&
        !seen.contains("--diagram")) {
        throw EUsageError("--cylinder and --size need --diagram FILE.png");
    }
    return result;
}

std::string UsageText(TCliCommand command) {
    std::string text = "usage: ";
    switch (command) {
        case TCliCommand::Events:
            text += kEventsUsage;
            break;
        case TCliCommand::Signal:
            text += kSignalUsage;
            break;
        case TCliCommand::Render:
            text += kRenderUsage;
            break;
        case TCliCommand::Combustion:
            text += kCombustionUsage;
            break;
        case TCliCommand::Valves:
            text += kValvesUsage;
            break;
        case TCliCommand::None:
            text += kToolUsage;
            break;
    }
    return text + "\n";
}

std::string HelpText(TCliCommand command) {
    std::string text = UsageText(command) + "\n";
    switch (command) {
        case TCliCommand::Events:
            text +=
                "Creates the events of one cycle from the cylinder table and prints the cycle time\n"
                "and the event table (ID;Úhel;Popis).\n\n";
            text += kEventsOptionsHelp;
            text += kFiringOrderHelp;
            break;
        case TCliCommand::Signal:
            text += "Imports a signal and prints its 1441 entries, one per line.\n\n";
            text += kSignalOptionsHelp;
            text += kEncoderOptionsHelp;
            break;
        case TCliCommand::Render:
            text += "Creates the events, imports the signal when given and writes the timeline picture.\n\n";
            text += kEventsOptionsHelp;
            text += kFiringOrderHelp;
            text += kSignalOptionsHelp;
            text += kEncoderOptionsHelp;
            text += kRenderOptionsHelp;
            break;
        case TCliCommand::Combustion:
            text += "Prints the combustion figures of a pressure cycle, one name;value line each.\n\n";
            text += kCombustionOptionsHelp;
            break;
        case TCliCommand::Valves:
            text +=
                "Prints the valve timing of cylinders 1..N as the page \"Rozvod\" shows it: a header line,\n"
                "then Válec;Přesazení;intake and exhaust duration;overlap;intake centreline after and\n"
                "exhaust centreline before the gas-exchange top dead centre;lobe separation.\n\n"
                "  TABLE               cylinder table, as for events\n"
                "  --cylinders TEXT    \"Počet válců [1]\" (default: the table's data lines, or 1)\n";
            text += kFiringOrderHelp;
            text +=
                "  --diagram FILE.png  writes the valve-timing diagram of one cylinder\n"
                "  --cylinder 1..12    the cylinder of the diagram (default 1)\n"
                "  --size WxH          the diagram's size, each 1..10000 (default 360x360)\n\n"
                "events and render take --firing-order and --intervals too: the order sets the offsets\n"
                "before the events are built.\n";
            break;
        case TCliCommand::None:
            text +=
                "Commands:\n"
                "  events      print the cycle time and the event table\n"
                "  signal      print an imported signal's 1441 entries\n"
                "  render      write the timeline picture as PNG\n"
                "  valves      print the valve timing per cylinder; the valve-timing diagram\n"
                "  combustion  print the combustion figures of a pressure cycle\n\n"
                "Numbers use the decimal comma. A failure prints the error box's text and exits 1;\n"
                "a usage mistake exits 2. \"morvane-cli COMMAND --help\" tells more.\n";
            break;
    }
    return text;
}

std::string VersionText() {
    return std::string("morvane-cli ") + MORVANE_VERSION + "\n";
}

}  // namespace morvane
