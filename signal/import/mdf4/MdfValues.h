#pragma once

// The physical values of one channel, record by record: the raw integer or
// float taken from its bits, then its conversion.

#include <cstdint>

#include "signal/import/mdf4/MdfLayout.h"

namespace morvane::mdf4 {

class TChannelValues {
public:
    // Fails naming the channel when its data type, its bits or its conversion
    // cannot be read, or when all its samples are marked invalid.
    TChannelValues(const TChannel& channel, const TChannelGroup& group);

    // record: the record's bytes after its id; index: 0-based. A sample
    // marked invalid or a value that is no finite number fails naming the
    // channel and the record number.
    double value(const std::uint8_t* record, std::uint64_t index) const;

private:
    double raw(const std::uint8_t* record, std::uint64_t index) const;
    [[noreturn]] void fail(std::uint64_t index, const char* problem) const;

    const TChannel& m_channel;
    std::uint32_t m_dataBytes = 0;
    std::size_t m_byteCount = 0;  // bytes the value's bits touch
    bool m_virtual = false;
};

}  // namespace morvane::mdf4
