#include "signal/import/mdf4/MdfRecording.h"

#include <algorithm>

#include "signal/import/mdf4/MdfLayout.h"
#include "signal/import/mdf4/MdfRecords.h"
#include "signal/import/mdf4/MdfValues.h"
#include "util/errors.h"
#include "util/quote.h"

namespace morvane {

namespace {

using namespace mdf4;

struct TFound {
    const TDataGroup* Data = nullptr;
    const TChannelGroup* Group = nullptr;
    const TChannel* Channel = nullptr;
};

std::vector<TFound> ChannelsNamed(const TLayout& layout, const std::string& name, int group) {
    std::vector<TFound> found;
    for (const TDataGroup& data : layout.DataGroups) {
        for (const TChannelGroup& channelGroup : data.Groups) {
            for (const TChannel& channel : channelGroup.Channels) {
                if (channel.Name == name && (group == 0 || channelGroup.Number == group)) {
                    found.push_back({&data, &channelGroup, &channel});
                }
            }
        }
    }
    return found;
}

// The group written after the last '@', or 0.
int GroupSuffix(const std::string& column, std::string& name) {
    const std::size_t at = column.rfind('@');
    if (at == std::string::npos || at + 1 == column.size() || column.size() - at > 7 ||
        !std::all_of(column.begin() + static_cast<std::ptrdiff_t>(at + 1), column.end(),
                     [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    name = column.substr(0, at);
    return std::stoi(column.substr(at + 1));
}

TFound FindChannel(const TLayout& layout, const std::string& column) {
    std::vector<TFound> found = ChannelsNamed(layout, column, 0);
    std::string name;
    if (const int group = GroupSuffix(column, name); found.empty() && group > 0) {
        found = ChannelsNamed(layout, name, group);
    }
    if (found.empty()) {
        RaiseRecordingError("Kanál '" + ShortenedQuote(column) + "' v souboru není");
    }
    if (found.size() > 1) {
        std::string groups;
        for (const TFound& one : found) {
            groups += (groups.empty() ? "" : ", ") + column + "@" + std::to_string(one.Group->Number);
        }
        RaiseRecordingError("Kanál '" + ShortenedQuote(column) + "' je v několika skupinách; napište " +
                            ShortenedQuote(groups));
    }
    return found.front();
}

std::vector<TFound> FindChannels(const TLayout& layout, const std::vector<std::string>& columns) {
    std::vector<TFound> found;
    for (const std::string& column : columns) {
        found.push_back(FindChannel(layout, column));
        if (found.back().Group != found.front().Group) {
            RaiseRecordingError("Kanály '" + ShortenedQuote(columns.front()) + "' (skupina " +
                                std::to_string(found.front().Group->Number) + ") a '" +
                                ShortenedQuote(column) + "' (skupina " +
                                std::to_string(found.back().Group->Number) +
                                ") nejsou v jedné skupině kanálů");
        }
    }
    return found;
}

}  // namespace

std::vector<TRecordingChannel> ListMdfChannels(const std::string& path) {
    TMdfFile file(path);
    const TLayout layout = ReadLayout(file);
    std::vector<TRecordingChannel> list;
    for (const TDataGroup& data : layout.DataGroups) {
        for (const TChannelGroup& group : data.Groups) {
            const TChannel* master = group.master();
            for (const TChannel& channel : group.Channels) {
                list.push_back({group.Number, channel.Name, channel.Unit,
                                static_cast<std::int64_t>(group.Cycles),
                                master != nullptr ? master->Name : std::string()});
            }
        }
    }
    return list;
}

std::int64_t ReadMdfRecording(const std::string& path, const std::vector<std::string>& columns,
                              const TRowSink& row, unsigned threads) {
    TMdfFile file(path);
    const TLayout layout = ReadLayout(file);
    const std::vector<TFound> found = FindChannels(layout, columns);
    if (found.empty()) {
        return 0;
    }
    std::vector<TChannelValues> channels;
    channels.reserve(found.size());
    for (const TFound& one : found) {
        channels.emplace_back(*one.Channel, *one.Group);
    }
    std::vector<double> values(channels.size());
    const auto each = [&](const std::uint8_t* records, std::size_t count, std::size_t stride,
                          std::uint64_t first) {
        for (std::size_t r = 0; r < count; ++r) {
            const std::uint8_t* record = records + r * stride;
            for (std::size_t c = 0; c < channels.size(); ++c) {
                values[c] = channels[c].value(record, first + r);
            }
            row(values, TRowPlace{static_cast<std::int64_t>(first + r + 1), {}});
        }
    };
    const auto records = ReadRecords(file, *found.front().Data, *found.front().Group, each, threads);
    return static_cast<std::int64_t>(records);
}

namespace {

std::string MasterColumn(const std::string& path, const std::string& column, TSyncType sync) {
    TMdfFile file(path);
    const TLayout layout = ReadLayout(file);
    const TFound found = FindChannel(layout, column);
    const TChannel* master = found.Group->master();
    if (master == nullptr || master->Sync != sync) {
        return {};
    }
    return master->Name + "@" + std::to_string(found.Group->Number);
}

}  // namespace

std::string MdfTimeColumn(const std::string& path, const std::string& column) {
    return MasterColumn(path, column, TSyncType::Time);
}

std::string MdfAngleColumn(const std::string& path, const std::string& column) {
    return MasterColumn(path, column, TSyncType::Angle);
}

}  // namespace morvane
