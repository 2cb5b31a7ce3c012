#pragma once

// The physical values of one channel, record by record: the raw integer or
// float taken from its bits, then its conversion.

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

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
    double value(const std::uint8_t* record, std::uint64_t index) const {
        if (m_plainDouble) {
            double value = 0;
            std::memcpy(&value, record + m_channel.ByteOffset, sizeof value);
            if (std::isfinite(value)) {
                return value;
            }
        }
        return general(record, index);
    }

private:
    double general(const std::uint8_t* record, std::uint64_t index) const;
    double raw(const std::uint8_t* record, std::uint64_t index) const;
    [[noreturn]] void fail(std::uint64_t index, const char* problem) const;

    const TChannel& m_channel;
    std::uint32_t m_dataBytes = 0;
    std::size_t m_byteCount = 0;  // bytes the value's bits touch
    bool m_virtual = false;
    // A little-endian double without conversion or invalidation bit, the
    // common case, taken as it stands.
    bool m_plainDouble = false;
};

}  // namespace morvane::mdf4
