#include "cli/HeatTransferOptions.h"

#include <cmath>
#include <string>
#include <vector>

#include "cli/OptionRules.h"

namespace morvane {

namespace {

constexpr double kCycleDegrees = 720;

void TakeAngle(std::optional<double>& given, double fromTable) {
    if (!given) {
        const double wrapped = std::fmod(fromTable, kCycleDegrees);
        given = wrapped < 0 ? wrapped + kCycleDegrees : wrapped;
    }
}

std::string MissingAngles(const THeatTransferOptions& options, bool withWalls) {
    std::vector<std::string> missing;
    if (!options.Ivc) {
        missing.emplace_back("--ivc DEG");
    }
    if (withWalls && !options.Ignition) {
        missing.emplace_back("--ignition DEG");
    }
    if (withWalls && !options.Evo) {
        missing.emplace_back("--evo DEG");
    }
    std::string text;
    for (std::size_t i = 0; i < missing.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == missing.size() ? " and " : ", ") + missing[i];
    }
    return text;
}

const char* ModelWord(const THeatTransferOptions& options) {
    if (options.Model == THeatModel::None) {
        return "--gamma-model brunt";
    }
    return options.Model == THeatModel::Woschni ? "--heat-transfer woschni" : "--heat-transfer hohenberg";
}

}  // namespace

void TakeCylinderAngles(const TValveAngles& row, THeatTransferOptions& options) {
    TakeAngle(options.Ivc, row.IntakeCloses);
    TakeAngle(options.Evo, row.ExhaustOpens);
    TakeAngle(options.Ignition, row.Ignition);
}

THeatTransferSettings HeatTransferSettingsOf(const THeatTransferOptions& options, double exponent,
                                             bool fromRecording) {
    THeatTransferSettings settings;
    settings.Model = options.Model;
    settings.Gamma = options.Gamma;
    settings.WallTemperature = options.WallTemperature;
    settings.IntakeTemperature = options.IntakeTemperature;
    settings.Exponent = exponent;
    if (!FollowsCharge(settings)) {
        return settings;
    }
    const bool withWalls = options.Model != THeatModel::None;
    if (const std::string missing = MissingAngles(options, withWalls); !missing.empty()) {
        throw EUsageError(std::string(ModelWord(options)) + " needs the cylinder's angles: give " + missing +
                          " (0 = gas-exchange top dead centre; chybí úhly válce)");
    }
    if (withWalls && !fromRecording && !options.Rpm) {
        throw EUsageError(std::string(ModelWord(options)) +
                          " needs the engine's speed of a pressure file: give --rpm N (chybí otáčky)");
    }
    if (fromRecording && options.Rpm) {
        throw EUsageError("--rpm is for a pressure file: a recording gives each cycle's own speed");
    }
    settings.Ivc = *options.Ivc;
    settings.Evo = options.Evo.value_or(0);
    settings.Ignition = options.Ignition.value_or(0);
    return settings;
}

}  // namespace morvane
