#include "events/EventTableText.h"

#include "util/semicolonrows.h"

namespace morvane {

namespace {

constexpr int kEventGridColumns = 3;

}  // namespace

std::string EventTableText(const TRecalcControls& controls) {
    return SemicolonPair(*controls.ComputedParameters, kCycleTimeRow) +
           SemicolonRows(*controls.EventGrid, kEventGridColumns);
}

}  // namespace morvane
