#include "signal/import/RecordingSource.h"

#include <filesystem>
#include <system_error>

#include "signal/import/mdf4/MdfLayout.h"
#include "signal/import/mdf4/MdfRecording.h"

namespace morvane {

TRecordingKind RecordingKindOf(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return TRecordingKind::Text;
    }
    return mdf4::IsMdfFile(path) ? TRecordingKind::Mdf : TRecordingKind::Text;
}

std::int64_t ReadAnyRecording(const std::string& path, const TRecordingFormat& format,
                              const std::vector<std::string>& columns, const TRowSink& row) {
    if (RecordingKindOf(path) == TRecordingKind::Mdf) {
        return ReadMdfRecording(path, columns, row);
    }
    return ReadRecording(path, format, columns, row);
}

std::vector<TRecordingChannel> ListRecordingChannels(const std::string& path,
                                                     const TRecordingFormat& format) {
    if (RecordingKindOf(path) == TRecordingKind::Mdf) {
        return ListMdfChannels(path);
    }
    const TRecordingShape shape = ReadRecordingShape(path, format);
    std::vector<TRecordingChannel> list;
    for (std::size_t i = 0; i < shape.Fields; ++i) {
        const bool named = i < shape.Header.size() && !shape.Header[i].empty();
        list.push_back({1, named ? shape.Header[i] : std::to_string(i + 1), {}, shape.Rows, {}});
    }
    return list;
}

std::string ImpliedTimeColumn(const std::string& path, const std::string& column) {
    return RecordingKindOf(path) == TRecordingKind::Mdf ? MdfTimeColumn(path, column) : std::string();
}

}  // namespace morvane
