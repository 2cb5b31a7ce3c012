#include "cli/EngineSetup.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "cli/BatchCommands.h"
#include "events/EngineInput.h"
#include "events/MainControls.h"
#include "events/Setup.h"
#include "util/errors.h"

namespace morvane {

namespace {

using TWords = std::vector<std::pair<std::string, std::string>>;

bool Gives(const std::vector<std::string>& arguments, const std::string& name) {
    return std::any_of(arguments.begin(), arguments.end(),
                       [&](const std::string& word) { return word == name || word.starts_with(name + "="); });
}

std::optional<std::string> EnginePath(const std::vector<std::string>& arguments) {
    for (std::size_t k = 1; k < arguments.size(); ++k) {
        if (arguments[k] == "--engine" && k + 1 < arguments.size()) {
            return arguments[k + 1];
        }
        if (arguments[k].starts_with("--engine=")) {
            return arguments[k].substr(9);
        }
    }
    return std::nullopt;
}

// Two numbers as --window takes them: with a decimal comma, ';' between them.
std::string PairText(const std::string& first, const std::string& second) {
    const bool decimals = first.find(',') != std::string::npos || second.find(',') != std::string::npos;
    return first + (decimals ? ";" : ",") + second;
}

TWords CombustionWords(const TCombustionSetupTexts& page) {
    const TCombustionTexts& geometry = page.Geometry;
    TWords words = {
        {"--bore", geometry.Bore},      {"--stroke", geometry.Stroke},
        {"--rod", geometry.Rod},        {"--compression", geometry.Compression},
        {"--gamma", geometry.Gamma},    {"--window", PairText(geometry.WindowStart, geometry.WindowEnd)},
        {"--tdc-shift", page.TdcShift}, {"--peg", page.PegMethod}};
    if (page.PegMethod != "none") {
        words.emplace_back("--peg-range", page.PegRange);
    }
    if (page.PegMethod == "point") {
        words.emplace_back("--peg-pressure", page.PegPressure);
    } else if (page.PegMethod == "polytropic") {
        words.emplace_back("--peg-exponent", page.PegExponent);
    }
    return words;
}

TWords EncoderWords(const TEncoderTexts& encoder) {
    TWords words = {{"--wheel", encoder.Wheel},
                    {"--reference-angle", encoder.ReferenceAngle},
                    {"--encoder-column", encoder.EncoderColumn},
                    {"--value-column", encoder.ValueColumn},
                    {"--time-column", encoder.TimeColumn},
                    {"--index-column", encoder.IndexColumn},
                    {"--pressure-scale", encoder.PressureScale}};
    if (encoder.TimeColumn.empty()) {
        words.emplace_back("--sample-rate", encoder.SampleRate);
    }
    if (encoder.Phase == 1 || encoder.Phase == 2) {
        words.emplace_back("--phase", std::to_string(encoder.Phase));
    }
    // Knock goes only with a scale.
    if (!encoder.PressureScale.empty()) {
        words.emplace_back("--knock-band", encoder.KnockBand);
        words.emplace_back("--knock-threshold", encoder.KnockThreshold);
    }
    return words;
}

}  // namespace

std::vector<std::string> WithEngineSetup(const std::vector<std::string>& arguments) {
    const std::optional<std::string> path = EnginePath(arguments);
    if (arguments.empty() || arguments[0] != "combustion" || !path) {
        return arguments;
    }
    TSetup setup;
    try {
        TMemoryMainControls window;
        std::optional<TSetup> read = ReadEngineInput(*path, window.CylinderTable, kBatchNumbers).Setup;
        if (!read) {
            return arguments;
        }
        setup = std::move(*read);
    } catch (const EMorvaneError&) {
        return arguments;
    }
    TWords words = CombustionWords(setup.Combustion);
    // A recording on the crank angle has no encoder: the set-up's import does not apply to it.
    if (setup.SignalImport.Kind == TSignalImportKind::Encoder && !Gives(arguments, "--angle-column")) {
        const TWords encoder = EncoderWords(setup.SignalImport.Encoder);
        words.insert(words.end(), encoder.begin(), encoder.end());
    }
    // The pegging options go together: the command line's choice keeps the set-up's out.
    const bool pegGiven = Gives(arguments, "--peg") || Gives(arguments, "--peg-range") ||
                          Gives(arguments, "--peg-pressure") || Gives(arguments, "--peg-exponent");
    std::vector<std::string> result = arguments;
    for (const auto& [name, value] : words) {
        const bool peg = name.starts_with("--peg");
        const bool replaced = name == "--value-column" && Gives(arguments, "--pressure-columns");
        const bool timed = name == "--sample-rate" && Gives(arguments, "--time-column");
        if (!value.empty() && !Gives(arguments, name) && !(peg && pegGiven) && !replaced && !timed) {
            result.push_back(name);
            result.push_back(value);
        }
    }
    return result;
}

}  // namespace morvane
