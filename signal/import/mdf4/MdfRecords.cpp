#include "signal/import/mdf4/MdfRecords.h"

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "signal/import/mdf4/MdfDataStream.h"

namespace morvane::mdf4 {

namespace {

// The data's bytes in pieces of a record, taken where the stream holds them;
// only a record that two pieces share is copied, into a buffer of its own.
class TByteReader {
public:
    explicit TByteReader(TDataStream& stream) : m_stream(stream) {}

    // n contiguous bytes, valid until the next call; nullptr when fewer are left.
    const std::uint8_t* take(std::size_t n) {
        if (m_piece.size() - m_at >= n && !m_piece.empty()) {
            const std::uint8_t* bytes = m_piece.data() + m_at;
            m_at += n;
            return bytes;
        }
        return shared(n);
    }

    // Skips n bytes (a record of variable length); false when fewer are left.
    bool skip(std::uint64_t n) {
        while (n > 0) {
            if (m_at == m_piece.size() && !advance()) {
                return false;
            }
            const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(n, m_piece.size() - m_at));
            m_at += step;
            n -= step;
        }
        return true;
    }

    bool atEnd() { return m_at == m_piece.size() && !advance(); }

    // How many records of size bytes the current piece holds whole from here.
    std::size_t whole(std::size_t size) const { return (m_piece.size() - m_at) / size; }

private:
    bool advance() {
        m_piece = m_stream.next();
        m_at = 0;
        return !m_piece.empty();
    }

    const std::uint8_t* shared(std::size_t n) {
        m_record.assign(m_piece.begin() + static_cast<std::ptrdiff_t>(m_at), m_piece.end());
        m_at = m_piece.size();
        while (m_record.size() < n) {
            if (!advance()) {
                return nullptr;
            }
            m_at = std::min(n - m_record.size(), m_piece.size());
            m_record.insert(m_record.end(), m_piece.begin(),
                            m_piece.begin() + static_cast<std::ptrdiff_t>(m_at));
        }
        return m_record.data();
    }

    TDataStream& m_stream;
    std::span<const std::uint8_t> m_piece;
    std::size_t m_at = 0;
    std::vector<std::uint8_t> m_record;
};

const TChannelGroup* GroupOfId(const TDataGroup& data, std::uint64_t id) {
    const auto found = std::find_if(data.Groups.begin(), data.Groups.end(),
                                    [&](const TChannelGroup& group) { return group.RecordId == id; });
    return found == data.Groups.end() ? nullptr : &*found;
}

}  // namespace

namespace {

// The records of a data group that holds only group's, as many at a time as
// the data give whole.
std::uint64_t ReadSorted(TByteReader& bytes, const TMdfBlock& dg, const TChannelGroup& group,
                         const TRecordSink& each) {
    const std::size_t size = std::size_t{group.DataBytes} + group.InvalidBytes;
    std::uint64_t given = 0;
    while (given < group.Cycles && !bytes.atEnd()) {
        std::size_t count =
            static_cast<std::size_t>(std::min<std::uint64_t>(bytes.whole(size), group.Cycles - given));
        const std::uint8_t* records = bytes.take(std::max<std::size_t>(count, 1) * size);
        if (records == nullptr) {
            RaiseBlockError(dg, "data končí uprostřed záznamu " + std::to_string(given + 1));
        }
        count = std::max<std::size_t>(count, 1);
        each(records, count, size, given);
        given += count;
    }
    return given;
}

// The records of group among those of other groups, told by their ids.
std::uint64_t ReadInterleaved(TByteReader& bytes, const TMdfBlock& dg, const TDataGroup& data,
                              const TChannelGroup& group, const TRecordSink& each) {
    std::uint64_t given = 0;
    std::uint64_t records = 0;
    while (given < group.Cycles && !bytes.atEnd()) {
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
        const std::size_t size = std::size_t{owner->DataBytes} + owner->InvalidBytes;
        if (size == 0 && data.RecordIdBytes == 0) {
            // Without ids every record would be this empty one: the data would never be read on.
            RaiseBlockError(dg, "záznam " + std::to_string(records) + " nemá žádné bajty");
        }
        const std::uint8_t* record = bytes.take(size);
        if (record == nullptr) {
            RaiseBlockError(dg, "data končí uprostřed záznamu " + std::to_string(records));
        }
        if (owner == &group) {
            each(record, 1, size, given++);
        }
    }
    return given;
}

}  // namespace

std::uint64_t ReadRecords(TMdfFile& file, const TDataGroup& data, const TChannelGroup& group,
                          const TRecordSink& each, unsigned threads) {
    TMdfBlock dg;
    dg.Id = "DG";
    dg.At = data.At;
    TDataStream stream(file, data.Data, dg, threads);
    TByteReader bytes(stream);
    const bool sorted = data.RecordIdBytes == 0 && &data.Groups.front() == &group && !group.Vlsd &&
                        group.DataBytes + std::uint64_t{group.InvalidBytes} > 0;
    const std::uint64_t given =
        sorted ? ReadSorted(bytes, dg, group, each) : ReadInterleaved(bytes, dg, data, group, each);
    if (given < group.Cycles) {
        RaiseBlockError("CG", group.At,
                        "blok uvádí " + std::to_string(group.Cycles) + " záznamů, data jich obsahují " +
                            std::to_string(given));
    }
    return given;
}

}  // namespace morvane::mdf4
