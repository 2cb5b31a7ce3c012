#include "events/EngineEvent.h"

#include <utility>

#include "util/fpfault.h"

namespace morvane {

std::vector<TEngineEvent> Events;
double GlobalCorrection = 0;

void AddEvent(const TEngineEvent& event) {
    Events.push_back(event);
}

void UpdateEventAngles() {
    for (TEngineEvent& event : Events) {
        const long double sum =
            static_cast<long double>(event.NominalAngle) + event.Correction + GlobalCorrection;
        double angle = StoreDouble(sum);
        // One move each way and no more: a sum beyond -720 .. 1440 stays
        // outside the cycle, as the event table then shows.
        if (angle < 0) {
            angle = StoreDouble(static_cast<long double>(angle) + 720);
        }
        if (angle > 720) {
            angle = StoreDouble(static_cast<long double>(angle) - 720);
        }
        event.FinalAngle = angle;
    }
}

void SortEvents() {
    const std::size_t count = Events.size();
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t lowest = i;
        double lowestAngle = Events[i].FinalAngle;
        for (std::size_t j = i + 1; j < count; ++j) {
            // Strictly less: of equal minima the first one is taken.
            if (Events[j].FinalAngle < lowestAngle) {
                lowest = j;
                lowestAngle = Events[j].FinalAngle;
            }
        }
        if (lowest != i) {
            std::swap(Events[i], Events[lowest]);
        }
    }
}

}  // namespace morvane
