#pragma once

// An MDF 4 file as a recording: its channels listed, the chosen ones read
// record by record in one pass, as the text recording's rows.

#include <cstdint>
#include <string>
#include <vector>

#include "signal/import/Recording.h"
#include "signal/import/RecordingChannels.h"

namespace morvane {

// Every channel of every channel group, with the group's stated record count.
std::vector<TRecordingChannel> ListMdfChannels(const std::string& path);

// Hands the values of the channels named in columns to row, one record at a
// time (TRowPlace::Line is the record number). A name found in several groups
// is written NAME@GROUP; all the channels must be of one group. Returns the
// records read. threads: 2 or more inflate compressed data ahead on a
// second thread.
std::int64_t ReadMdfRecording(const std::string& path, const std::vector<std::string>& columns,
                              const TRowSink& row, unsigned threads = 1);

// "NAME@GROUP" of the time master channel of column's group; empty when that
// group's master is no time.
std::string MdfTimeColumn(const std::string& path, const std::string& column);

// The same for a crank-angle master.
std::string MdfAngleColumn(const std::string& path, const std::string& column);

}  // namespace morvane
