#pragma once

// A recording of any kind the imports read: delimited text, MDF 4 or MATLAB,
// told apart by the file's first bytes, never by its name. Each gives the
// chosen channels' values row by row, as the text recording does.

#include <cstdint>
#include <string>
#include <vector>

#include "signal/import/Recording.h"
#include "signal/import/RecordingChannels.h"

namespace morvane {

enum class TRecordingKind { Text, Mdf, Mat };

// MDF when a regular file begins with the MDF identification, MATLAB when
// libmatio opens it; text otherwise (pipes included, which are not read here).
TRecordingKind RecordingKindOf(const std::string& path);

// ReadRecording for any kind; format applies to text only, columns are
// channel names for the binary kinds. threads: how many the reading may
// keep busy (2 or more inflate compressed MDF data ahead).
std::int64_t ReadAnyRecording(const std::string& path, const TRecordingFormat& format,
                              const std::vector<std::string>& columns, const TRowSink& row,
                              unsigned threads = 1);

// The channels the file offers; a text recording's are its columns, named by
// its header or by their numbers.
std::vector<TRecordingChannel> ListRecordingChannels(const std::string& path, const TRecordingFormat& format);

// The names the imports take for the file's channels, in file order: a
// text recording's header names or column numbers, a binary file's channel
// names, NAME@GROUP for a name that occurs in several groups. Reads only the
// head of a text recording; none for what is no regular file (a pipe would
// be used up).
std::vector<std::string> ChannelChoices(const std::string& path);

// The time channel a recording implies for column (an MDF group's time
// master); empty when it implies none.
std::string ImpliedTimeColumn(const std::string& path, const std::string& column);

// The crank-angle channel a recording implies for column (an MDF group's
// angle master); empty when it implies none.
std::string ImpliedAngleColumn(const std::string& path, const std::string& column);

}  // namespace morvane
