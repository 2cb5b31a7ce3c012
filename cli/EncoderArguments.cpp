#include "cli/EncoderArguments.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "cli/Arguments.h"
#include "util/errors.h"

namespace morvane {

const std::set<std::string_view> kEncoderOptionNames = {
    "--wheel",       "--reference-angle", "--encoder-column", "--value-column",
    "--time-column", "--sample-rate",     "--index-column",   "--phase"};

const std::string_view kEncoderOptionsHelp =
    "  --encoder FILE      measurement with a toothed-wheel encoder column (';', tab, ',' or spaces;\n"
    "                      decimal comma or point; header lines skipped), averaged onto the cycle\n"
    "  --wheel T-M         the wheel: T tooth positions, M missing or merged (60-2, 36-1, 360-0)\n"
    "  --reference-angle DEG  cycle angle of the first edge after the gap, 0 <= DEG < 360 (default 0)\n"
    "  --encoder-column C  encoder column, 1-based number or header name (default 1)\n"
    "  --value-column C    measured column (default 2)\n"
    "  --time-column C     time column in seconds, or instead\n"
    "  --sample-rate HZ    the sample rate\n"
    "  --index-column C    once-per-revolution index column (needed by a T-0 wheel)\n"
    "  --phase 1|2         which complete revolution opens a cycle (default: the one that puts\n"
    "                      the mean's maximum within 180..540°)\n";

namespace {

// A decimal number with a comma or a point.
double NumberValue(std::string_view name, std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    double value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) {
        throw EUsageError(std::string(name) + " must be a number");
    }
    return value;
}

void NotEmpty(std::string_view name, const std::string& value) {
    if (value.empty()) {
        throw EUsageError(std::string(name) + " needs a value");
    }
}

}  // namespace

void ApplyEncoderOption(TEncoderOptions& options, std::string_view name, const std::string& value) {
    NotEmpty(name, value);
    if (name == "--encoder") {
        options.Path = value;
    } else if (name == "--wheel") {
        try {
            options.Wheel = ParseWheel(value);
        } catch (const EImportError& mistake) {
            throw EUsageError(mistake.what());
        }
    } else if (name == "--reference-angle") {
        options.ReferenceAngle = NumberValue(name, value);
        if (options.ReferenceAngle < 0 || options.ReferenceAngle >= 360) {
            throw EUsageError("--reference-angle must be from 0 to below 360");
        }
    } else if (name == "--encoder-column") {
        options.EncoderColumn = value;
    } else if (name == "--value-column") {
        options.ValueColumn = value;
    } else if (name == "--time-column") {
        options.TimeColumn = value;
    } else if (name == "--sample-rate") {
        options.SampleRate = NumberValue(name, value);
        if (options.SampleRate <= 0) {
            throw EUsageError("--sample-rate must be above 0");
        }
    } else if (name == "--index-column") {
        options.IndexColumn = value;
    } else if (name == "--phase") {
        if (value != "1" && value != "2") {
            throw EUsageError("--phase must be 1 or 2");
        }
        options.Phase = value == "1" ? 1 : 2;
    }
}

void CheckEncoderOptions(bool encoder, const std::set<std::string>& seen) {
    const auto given = [&](std::string_view name) { return seen.contains(std::string(name)); };
    if (!encoder) {
        for (const std::string_view name : kEncoderOptionNames) {
            if (given(name)) {
                throw EUsageError(std::string(name) + " goes only with --encoder");
            }
        }
        return;
    }
    if (!given("--wheel")) {
        throw EUsageError("--encoder needs --wheel T-M");
    }
    if (given("--time-column") == given("--sample-rate")) {
        throw EUsageError("--encoder needs either --time-column or --sample-rate");
    }
}

}  // namespace morvane
