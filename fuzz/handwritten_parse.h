#pragma once

// The decimal parse before fast_float converted its long numbers, the
// reference the differential fuzz target compares util/numtext with. Fuzzing only.

#include <cstddef>
#include <string_view>

#include "util/numtext.h"

namespace morvane::fuzz::handwritten {

enum class TOutcome { Value, Rejected, Overflow };

// ParseFloat, with its two failures as outcomes.
TOutcome ParseFloat(std::string_view text, TNumberFormat format, double& result);

bool TryParseExtended(std::string_view text, TNumberFormat format, long double& value);

std::size_t ParsePlainFields(std::string_view line, char separator, TNumberFormat format, double* values,
                             std::size_t count);

bool TryParsePlainPair(std::string_view line, char separator, TNumberFormat format, double& left,
                       double& right);

const char* ParsePlainFieldsInText(const char* first, const char* line, const char* end, char separator,
                                   TNumberFormat format, double* values, std::size_t count);

}  // namespace morvane::fuzz::handwritten
