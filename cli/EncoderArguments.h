#pragma once

// The batch tool's options of the encoder import (signal --encoder, render --encoder).

#include <set>
#include <string>
#include <string_view>

#include "signal/EncoderImport.h"

namespace morvane {

// The options that only go with --encoder, besides --encoder itself.
extern const std::set<std::string_view> kEncoderOptionNames;

// Lines for the help of signal and render.
extern const std::string_view kEncoderOptionsHelp;

// Takes one of EncoderOptionNames or --encoder into options; raises EUsageError
// for a value of the wrong form.
void ApplyEncoderOption(TEncoderOptions& options, std::string_view name, const std::string& value);

// The options given together make one import: --encoder with --wheel and
// either --time-column or --sample-rate; encoder options only with --encoder.
void CheckEncoderOptions(bool encoder, const std::set<std::string>& seen);

}  // namespace morvane
