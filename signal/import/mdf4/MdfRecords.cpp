#include "signal/import/mdf4/MdfRecords.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "signal/import/mdf4/MdfDataStream.h"

namespace morvane::mdf4 {

namespace {

// Bytes read from the data at a time.
constexpr std::size_t kChunk = 1U << 20U;

// The data's bytes in pieces of a record, from a buffer refilled as it empties.
class TByteReader {
public:
    TByteReader(TDataStream& stream, std::size_t longest)
        : m_stream(stream), m_buffer(std::max(kChunk, 2 * longest)) {}

    // n contiguous bytes; nullptr when fewer are left.
    const std::uint8_t* take(std::size_t n) {
        if (m_end - m_at < n) {
            refill();
            if (m_end - m_at < n) {
                return nullptr;
            }
        }
        const std::uint8_t* bytes = m_buffer.data() + m_at;
        m_at += n;
        return bytes;
    }

    // Skips n bytes (a record of variable length); false when fewer are left.
    bool skip(std::uint64_t n) {
        while (n > 0) {
            if (m_at == m_end) {
                refill();
                if (m_at == m_end) {
                    return false;
                }
            }
            const std::size_t step = static_cast<std::size_t>(std::min<std::uint64_t>(n, m_end - m_at));
            m_at += step;
            n -= step;
        }
        return true;
    }

    bool atEnd() {
        if (m_at == m_end) {
            refill();
        }
        return m_at == m_end;
    }

private:
    void refill() {
        std::memmove(m_buffer.data(), m_buffer.data() + m_at, m_end - m_at);
        m_end -= m_at;
        m_at = 0;
        m_end += m_stream.read(m_buffer.data() + m_end, m_buffer.size() - m_end);
    }

    TDataStream& m_stream;
    std::vector<std::uint8_t> m_buffer;
    std::size_t m_at = 0;
    std::size_t m_end = 0;
};

const TChannelGroup* GroupOfId(const TDataGroup& data, std::uint64_t id) {
    const auto found = std::find_if(data.Groups.begin(), data.Groups.end(),
                                    [&](const TChannelGroup& group) { return group.RecordId == id; });
    return found == data.Groups.end() ? nullptr : &*found;
}

std::size_t LongestRecord(const TDataGroup& data) {
    std::size_t longest = 0;
    // A group of variable-length records states no length of its own (found by fuzzing).
    for (const TChannelGroup& group : data.Groups) {
        if (!group.Vlsd) {
            longest = std::max<std::size_t>(longest, std::size_t{group.DataBytes} + group.InvalidBytes);
        }
    }
    return longest;
}

}  // namespace

std::uint64_t ReadRecords(TMdfFile& file, const TDataGroup& data, const TChannelGroup& group,
                          const TRecordSink& each) {
    TMdfBlock dg;
    dg.Id = "DG";
    dg.At = data.At;
    TDataStream stream(file, data.Data, dg);
    TByteReader bytes(stream, LongestRecord(data));
    std::uint64_t given = 0;
    std::uint64_t records = 0;
    while (given < group.Cycles) {
        if (bytes.atEnd()) {
            break;
        }
        const std::uint8_t* id = bytes.take(data.RecordIdBytes);
        if (id == nullptr) {
            RaiseBlockError(dg, "data končí uprostřed záznamu " + std::to_string(records + 1));
        }
        const TChannelGroup* owner = data.RecordIdBytes == 0
                                         ? &data.Groups.front()
                                         : GroupOfId(data, LittleEndian(id, data.RecordIdBytes));
        if (owner == nullptr) {
            RaiseBlockError(dg, "záznam " + std::to_string(records + 1) + " má neznámé číslo skupiny " +
                                    std::to_string(LittleEndian(id, data.RecordIdBytes)));
        }
        ++records;
        if (owner->Vlsd) {
            const std::uint8_t* length = bytes.take(4);
            if (length == nullptr || !bytes.skip(LittleEndian(length, 4))) {
                RaiseBlockError(dg, "data končí uprostřed záznamu " + std::to_string(records));
            }
            continue;
        }
        const std::uint8_t* record = bytes.take(std::size_t{owner->DataBytes} + owner->InvalidBytes);
        if (record == nullptr) {
            RaiseBlockError(dg, "data končí uprostřed záznamu " + std::to_string(records));
        }
        if (owner == &group) {
            each(record, given++);
        }
    }
    if (given < group.Cycles) {
        RaiseBlockError("CG", group.At,
                        "blok uvádí " + std::to_string(group.Cycles) + " záznamů, data jich obsahují " +
                            std::to_string(given));
    }
    return given;
}

}  // namespace morvane::mdf4
