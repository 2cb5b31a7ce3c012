#pragma once

// morvane-cli channels: what a recording offers to read.

#include <string>

namespace morvane {

// "Skupina;Kanál;Jednotka;Vzorků;Hlavní" and a line per channel of the
// recording at path (MDF 4 or delimited text).
std::string ChannelListText(const std::string& path);

}  // namespace morvane
