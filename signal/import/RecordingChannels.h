#pragma once

// What a recording file offers to read: its channels, group by group.

#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

struct TRecordingChannel {
    int Group = 1;             // 1-based, in file order
    std::string Name;          // a text recording's header name, or its column number
    std::string Unit;          // empty when the file does not say
    std::int64_t Samples = 0;  // values the channel holds (stated by the file for MDF)
    std::string Master;        // the group's master channel (time or angle); empty when none
};

}  // namespace morvane
