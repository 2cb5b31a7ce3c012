#include "signal/import/RecordingSource.h"

#include <filesystem>
#include <map>
#include <set>
#include <system_error>
#include <utility>

#include "signal/import/MatRecording.h"
#include "signal/import/mdf4/MdfLayout.h"
#include "signal/import/mdf4/MdfRecording.h"

namespace morvane {

TRecordingKind RecordingKindOf(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return TRecordingKind::Text;
    }
    if (mdf4::IsMdfFile(path)) {
        return TRecordingKind::Mdf;
    }
    return IsMatFile(path) ? TRecordingKind::Mat : TRecordingKind::Text;
}

std::int64_t ReadAnyRecording(const std::string& path, const TRecordingFormat& format,
                              const std::vector<std::string>& columns, const TRowSink& row,
                              unsigned threads) {
    switch (RecordingKindOf(path)) {
        case TRecordingKind::Mdf:
            return ReadMdfRecording(path, columns, row, threads);
        case TRecordingKind::Mat:
            return ReadMatRecording(path, columns, row);
        default:
            break;
    }
    return ReadRecording(path, format, columns, row);
}

std::vector<TRecordingChannel> ListRecordingChannels(const std::string& path,
                                                     const TRecordingFormat& format) {
    switch (RecordingKindOf(path)) {
        case TRecordingKind::Mdf:
            return ListMdfChannels(path);
        case TRecordingKind::Mat:
            return ListMatChannels(path);
        default:
            break;
    }
    const TRecordingShape shape = ReadRecordingShape(path, format);
    std::vector<TRecordingChannel> list;
    for (std::size_t i = 0; i < shape.Fields; ++i) {
        const bool named = i < shape.Header.size() && !shape.Header[i].empty();
        list.push_back({1, named ? shape.Header[i] : std::to_string(i + 1), {}, shape.Rows, {}});
    }
    return list;
}

std::vector<std::string> ChannelChoices(const std::string& path) {
    std::vector<std::string> names;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return names;
    }
    if (RecordingKindOf(path) == TRecordingKind::Text) {
        const TRecordingShape head = ReadRecordingHead(path, {});
        for (std::size_t i = 0; i < head.Fields; ++i) {
            const bool named = i < head.Header.size() && !head.Header[i].empty();
            names.push_back(named ? head.Header[i] : std::to_string(i + 1));
        }
        return names;
    }
    const std::vector<TRecordingChannel> channels = ListRecordingChannels(path, {});
    std::map<std::string, std::set<int>> groupsOf;
    for (const TRecordingChannel& channel : channels) {
        groupsOf[channel.Name].insert(channel.Group);
    }
    std::set<std::string> given;
    for (const TRecordingChannel& channel : channels) {
        const bool shared = groupsOf[channel.Name].size() > 1;
        std::string name = shared ? channel.Name + "@" + std::to_string(channel.Group) : channel.Name;
        // A name twice in one group is offered once.
        if (given.insert(name).second) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

std::string ImpliedTimeColumn(const std::string& path, const std::string& column) {
    return RecordingKindOf(path) == TRecordingKind::Mdf ? MdfTimeColumn(path, column) : std::string();
}

std::string ImpliedAngleColumn(const std::string& path, const std::string& column) {
    return RecordingKindOf(path) == TRecordingKind::Mdf ? MdfAngleColumn(path, column) : std::string();
}

}  // namespace morvane
