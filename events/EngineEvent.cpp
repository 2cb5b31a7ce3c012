#include "events/EngineEvent.h"

#include <utility>

#include "util/fpfault.h"

namespace morvane {

void AddEvent(TEventList& events, const TEngineEvent& event) {
    events.push_back(event);
}

void UpdateEventAngles(TEventList& events, double globalCorrection) {
    for (TEngineEvent& event : events) {
        const long double sum =
            static_cast<long double>(event.NominalAngle) + event.Correction + globalCorrection;
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

void SortEvents(TEventList& events) {
    const std::size_t count = events.size();
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t lowest = i;
        double lowestAngle = events[i].FinalAngle;
        for (std::size_t j = i + 1; j < count; ++j) {
            // Strictly less: of equal minima the first one is taken.
            if (events[j].FinalAngle < lowestAngle) {
                lowest = j;
                lowestAngle = events[j].FinalAngle;
            }
        }
        if (lowest != i) {
            std::swap(events[i], events[lowest]);
        }
    }
}

}  // namespace morvane
