#pragma once

// The records of one channel group, read in one pass over its data group's
// data, which may interleave the records of other groups (unsorted).

#include <cstdint>
#include <functional>

#include "signal/import/mdf4/MdfLayout.h"

namespace morvane::mdf4 {

// count records of stride bytes each (after their ids) from records; first:
// the 0-based index of the first within the group.
using TRecordSink = std::function<void(const std::uint8_t* records, std::size_t count, std::size_t stride,
                                       std::uint64_t first)>;

// Hands every record of group to each, at most as many as the group states;
// fewer records in the data than stated, a record of an unknown id or data
// ending within a record fail naming the block. Returns the records handed.
// threads: 2 or more inflate compressed data ahead on a second thread.
std::uint64_t ReadRecords(TMdfFile& file, const TDataGroup& data, const TChannelGroup& group,
                          const TRecordSink& each, unsigned threads = 1);

}  // namespace morvane::mdf4
