#pragma once

// Crank offsets from a firing order: the engineer types "1-3-4-2" (and, for an
// uneven engine, the firing intervals) instead of twelve loose angles.

#include <string>
#include <string_view>
#include <vector>

#include "util/controls.h"
#include "util/numtext.h"

namespace morvane {

// The cylinder numbers of "1-3-4-2" in firing sequence. Each of 1..count must
// appear exactly once; blanks around the numbers are allowed. Raises
// EEngineSetupError naming the order and the problem.
std::vector<int> ParseFiringOrder(std::string_view order, int count);

// The firing intervals "270,450" in degrees: one per cylinder, each above 0,
// summing to 720. The fields are separated by ';' when the text holds one
// (so "270,5;449,5" keeps its decimal commas), otherwise by ','. Raises
// EEngineSetupError, or the float parse's error for a field that is no number.
std::vector<double> ParseFiringIntervals(std::string_view intervals, int count, TNumberFormat format);

// The offset texts of cylinders 1..count: the cylinder at position p of the
// order gets p * 720 / count, or the sum of the intervals before it when
// intervals is not blank.
std::vector<std::string> FiringOrderOffsets(std::string_view order, std::string_view intervals, int count,
                                            TNumberFormat format);

// Writes the offsets of FiringOrderOffsets into column "Přesazení" of rows
// 1..N, N being the cylinder count of the main parameters (1..12). Any failure
// is raised before the first cell is written.
void ApplyFiringOrder(const IValueList& mainParameters, ICellGrid& cylinderTable, std::string_view order,
                      std::string_view intervals, TNumberFormat format);

// Row 1 of the main parameters as a count of cylinders the table holds (1..12).
int TableCylinderCount(const IValueList& mainParameters);

}  // namespace morvane
