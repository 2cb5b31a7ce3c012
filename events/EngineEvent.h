#pragma once

// The event record, the four kinds, the event list and the two operations
// every recalculation applies to it: final angles and sorting.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

enum TEventKind : std::uint8_t {
    ekPiston = 0,
    ekIntakeValve = 1,
    ekExhaustValve = 2,
    ekIgnition = 3,
};

constexpr int kEventKindCount = 4;

// The kind list's item texts; item k governs the events of kind k.
inline constexpr std::array<const char*, kEventKindCount> kEventKindTexts = {
    "Písty", "Sací ventily", "Výfukové ventily", "Zapalování"};

struct TEngineEvent {
    std::string Name;
    std::uint8_t Kind = ekPiston;  // a TEventKind value 0..3
    double NominalAngle = 0;       // from the cylinder table; never changed afterwards
    double FinalAngle = 0;         // written only by UpdateEventAngles
    double Correction = 0;         // the user's correction of this one event

    bool operator==(const TEngineEvent&) const = default;
};

// An event list: an event's position, counted from 0, is its ID.
using TEventList = std::vector<TEngineEvent>;

// Appends a copy of the record at the end of the list.
void AddEvent(TEventList& events, const TEngineEvent& event);

// FinalAngle := (NominalAngle + Correction) + globalCorrection, summed in
// extended precision, then moved by 720 once when below 0 or above 720.
void UpdateEventAngles(TEventList& events, double globalCorrection);

// Selection sort by FinalAngle: the first of equal minima is taken, so equal
// angles may change their relative order (a stable sort would differ).
void SortEvents(TEventList& events);

}  // namespace morvane
