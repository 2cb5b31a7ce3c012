#include "cli/ChannelsCommand.h"

#include "signal/import/RecordingSource.h"
#include "util/semicolonrows.h"

namespace morvane {

std::string ChannelListText(const std::string& path) {
    std::string text = "Skupina;Kanál;Jednotka;Vzorků;Hlavní\n";
    for (const TRecordingChannel& channel : ListRecordingChannels(path, {})) {
        text += SemicolonLine({std::to_string(channel.Group), channel.Name, channel.Unit,
                               std::to_string(channel.Samples), channel.Master});
    }
    return text;
}

}  // namespace morvane
