#include "signal/pressure/Plausibility.h"

#include <cstddef>

#include "signal/pressure/CombustionInputs.h"
#include "signal/pressure/CycleTable.h"

namespace morvane {

namespace {

std::vector<std::string> HeatFigures() {
    return {kMfb10Name, kMfb50Name, kMfb90Name, kHeatName};
}

// Only the points with the valves closed count: gas exchange lowers the
// release too, and the window's own doubt names that.
bool FallsAfterPeak(const THeatRelease& release) {
    if (!release.Burned) {
        return false;
    }
    const double highest = release.Fraction[static_cast<std::size_t>(release.MaxPoint)];
    for (std::size_t j = static_cast<std::size_t>(release.MaxPoint) + 1; j < release.Fraction.size(); ++j) {
        const double angle = static_cast<double>(release.FirstPoint + static_cast<int>(j)) / 2;
        if (angle > kClosedValvesEnd) {
            break;
        }
        if (release.Fraction[j] < kLowestFractionAfterPeak * highest) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<TDoubt> JudgePlausibility(const TCombustionSettings& settings,
                                      const TCombustionFigures& figures) {
    std::vector<TDoubt> doubts;
    if (settings.WindowStart < kClosedValvesStart) {
        doubts.push_back(
            {"Okno od [°]", HeatFigures(),
             "Okno od [°] začíná před 180°: okno zasahuje do výměny náplně, MFB a teplo jsou zkreslené."});
    }
    if (settings.WindowEnd > kClosedValvesEnd) {
        doubts.push_back(
            {"Okno do [°]", HeatFigures(),
             "Okno do [°] končí za 540°: okno zasahuje do výměny náplně, MFB a teplo jsou zkreslené."});
    }
    if (FallsAfterPeak(figures.Release)) {
        doubts.push_back(
            {"Kompresní poměr [1]", HeatFigures(),
             "Podíl shořelého paliva klesá po svém maximu pod polovinu: objem neodpovídá průběhu, "
             "zkontrolujte Kompresní poměr [1] a rozměry motoru."});
    }
    return doubts;
}

}  // namespace morvane
