#include "signal/import/mdf4/MdfDataStream.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <future>
#include <string>
#include <utility>

namespace morvane::mdf4 {

namespace {

// dz_org_block_type .. dz_data_length in the DZ block's data part.
constexpr std::size_t kDzZipType = 2;
constexpr std::size_t kDzParameter = 4;
constexpr std::size_t kDzOriginalLength = 8;
constexpr std::size_t kDzLength = 16;
constexpr std::size_t kDzHeader = 24;
// A chain of more DL lists than this is no writer's (a list holds many
// blocks), nor more data blocks than this in one data group (16 GiB in blocks
// of 64 KiB).
constexpr std::size_t kMostLists = 1U << 16U;
constexpr std::size_t kMostBlocks = 1U << 18U;
// Compressed bytes read from the file at a time.
constexpr std::size_t kInflateChunk = 1U << 18U;

// Transposition stored the bytes column by column (the columns of a record);
// the rest after the last whole row stayed as it was.
std::vector<std::uint8_t> Untransposed(const std::vector<std::uint8_t>& data, std::uint64_t columns) {
    // More columns than bytes leave no whole row: nothing was transposed.
    if (columns <= 1 || columns > data.size()) {
        return data;
    }
    std::vector<std::uint8_t> plain(data.size());
    const std::size_t rows = data.size() / columns;
    for (std::size_t c = 0; c < columns; ++c) {
        for (std::size_t r = 0; r < rows; ++r) {
            plain[r * columns + c] = data[c * rows + r];
        }
    }
    std::copy(data.begin() + static_cast<std::ptrdiff_t>(rows * columns), data.end(),
              plain.begin() + static_cast<std::ptrdiff_t>(rows * columns));
    return plain;
}

class TInflater {
public:
    TInflater() {
        if (inflateInit(&m_stream) != Z_OK) {
            throw std::bad_alloc();
        }
    }
    ~TInflater() { inflateEnd(&m_stream); }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;
    z_stream& stream() { return m_stream; }

private:
    z_stream m_stream{};
};

// The DZ block's own fields, judged before its inflation starts.
void CheckZipHeader(const TMdfBlock& block) {
    if (block.Data.size() < kDzHeader) {
        RaiseBlockError(block, "blok je kratší, než jeho obsah vyžaduje");
    }
    if (block.Data[0] != 'D' || block.Data[1] != 'T') {
        RaiseBlockError(block, "komprimovaný blok není blok dat DT");
    }
    if (const std::uint8_t zipType = block.u8(kDzZipType); zipType > 1) {
        RaiseBlockError(block, "druh komprese " + std::to_string(zipType) + " není deflate");
    }
    if (block.u64(kDzLength) > block.DataLength - kDzHeader) {
        RaiseBlockError(block, "komprimovaná data přesahují blok");
    }
    if (const std::uint64_t original = block.u64(kDzOriginalLength);
        original > TDataStream::kLargestInflated) {
        RaiseBlockError(block, "blok se rozbalí na " + std::to_string(original) + " bajtů, víc než " +
                                   std::to_string(TDataStream::kLargestInflated));
    }
}

// The DZ block's data as they were before compression, read through file.
std::vector<std::uint8_t> Inflated(TMdfFile& file, const TMdfBlock& block) {
    const std::uint64_t original = block.u64(kDzOriginalLength);
    // One byte more than stated, so that data inflating past it are caught.
    std::vector<std::uint8_t> out(original + 1);
    TInflater inflater;
    z_stream& z = inflater.stream();
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    std::vector<std::uint8_t> chunk(kInflateChunk);
    std::uint64_t at = block.DataAt + kDzHeader;
    std::uint64_t left = block.u64(kDzLength);
    int status = Z_OK;
    while (status == Z_OK) {
        if (z.avail_in == 0 && left > 0) {
            const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(left, chunk.size()));
            file.read(at, chunk.data(), n, block.Id, block.At);
            at += n;
            left -= n;
            z.next_in = chunk.data();
            z.avail_in = static_cast<uInt>(n);
        }
        const uInt before = z.avail_in + z.avail_out;
        status = ::inflate(&z, Z_NO_FLUSH);
        if (z.total_out > original) {
            RaiseBlockError(block,
                            "data se rozbalí na víc než uvedených " + std::to_string(original) + " bajtů");
        }
        if (status == Z_OK && before == z.avail_in + z.avail_out) {
            break;
        }
    }
    if (status != Z_STREAM_END) {
        RaiseBlockError(block, status == Z_DATA_ERROR ? "komprimovaná data jsou poškozena"
                                                      : "komprimovaná data končí předčasně");
    }
    if (z.total_out != original) {
        RaiseBlockError(block, "data se rozbalí jen na " + std::to_string(z.total_out) + " z uvedených " +
                                   std::to_string(original) + " bajtů");
    }
    out.pop_back();
    return block.u8(kDzZipType) == 1 ? Untransposed(out, block.u32(kDzParameter)) : out;
}

}  // namespace

TDataStream::TDataStream(TMdfFile& file, std::uint64_t data, const TMdfBlock& from)
    : m_file(file), m_from(from) {
    if (data == 0) {
        return;
    }
    TMdfBlock first = m_file.block(data, "DT,DZ,DL,HL", m_from, kDzHeader);
    if (first.Id == "HL") {
        first = m_file.block(first.link(0), "DL", first, kDzHeader);
    }
    if (first.Id == "DL") {
        m_lists.insert(first.At);
        m_list = std::move(first);
        m_next = 1;
    } else {
        m_single = data;
    }
}

std::size_t TDataStream::read(std::uint8_t* out, std::size_t count) {
    // An inflated block is as far as its start in the file.
    ReportBlockRead(m_progress, m_inflated.empty() ? m_at : m_block.At, m_file.size());
    std::size_t given = 0;
    while (given < count) {
        if (!m_inflated.empty()) {
            const std::size_t n = std::min(count - given, m_inflated.size() - m_taken);
            std::memcpy(out + given, m_inflated.data() + m_taken, n);
            m_taken += n;
            given += n;
        } else if (m_at < m_end) {
            const std::size_t n =
                static_cast<std::size_t>(std::min<std::uint64_t>(count - given, m_end - m_at));
            m_file.read(m_at, out + given, n, m_block.Id, m_block.At);
            m_at += n;
            given += n;
        }
        if (given < count && m_at == m_end && m_taken == m_inflated.size() && !nextBlock()) {
            break;
        }
    }
    return given;
}

// Each data block once: a block listed again would be inflated again, and a
// small file could keep the reader busy without end.
std::optional<TMdfBlock> TDataStream::nextDescriptor() {
    std::optional<TMdfBlock> block = nextListed();
    if (block && !m_blocks.insert(block->At).second) {
        RaiseBlockError(*block, "blok dat je v seznamu podruhé");
    }
    if (m_blocks.size() > kMostBlocks) {
        RaiseBlockError(*block, "data mají víc než " + std::to_string(kMostBlocks) + " bloků");
    }
    return block;
}

std::optional<TMdfBlock> TDataStream::nextListed() {
    if (m_single != 0) {
        return m_file.block(std::exchange(m_single, 0), "DT,DZ", m_from, kDzHeader);
    }
    while (!m_list.Links.empty()) {
        if (m_next < m_list.Links.size()) {
            const std::uint64_t at = m_list.Links[m_next++];
            if (at != 0) {
                return m_file.block(at, "DT,DZ", m_list, kDzHeader);
            }
            continue;
        }
        const std::uint64_t following = m_list.link(0);
        if (following == 0) {
            m_list = TMdfBlock();
            break;
        }
        if (!m_lists.insert(following).second) {
            RaiseBlockError(m_list, "řetěz seznamů DL se uzavírá do kruhu");
        }
        if (m_lists.size() > kMostLists) {
            RaiseBlockError(m_list, "řetěz má víc než " + std::to_string(kMostLists) + " seznamů DL");
        }
        m_list = m_file.block(following, "DL", m_list, kDzHeader);
        m_next = 1;
    }
    return std::nullopt;
}

std::optional<TDataStream::TAhead> TDataStream::fetch() {
    std::optional<TMdfBlock> block = nextDescriptor();
    if (!block) {
        return std::nullopt;
    }
    TAhead ahead{std::move(*block), {}};
    if (ahead.Block.Id == "DZ") {
        CheckZipHeader(ahead.Block);
        if (!m_second) {
            m_second = std::make_shared<TMdfFile>(m_file.path());
        }
        ahead.Inflated = std::async(
            std::launch::async, [file = m_second, zipped = ahead.Block] { return Inflated(*file, zipped); });
    }
    return ahead;
}

// The current block is taken (waiting for its inflation), then the next one's
// inflation starts, to run while this one is read.
bool TDataStream::nextBlock() {
    if (!m_started) {
        m_started = true;
        m_ahead = fetch();
    }
    if (!m_ahead) {
        return false;
    }
    TAhead current = std::move(*m_ahead);
    m_ahead.reset();
    m_block = std::move(current.Block);
    m_taken = 0;
    if (m_block.Id == "DT") {
        m_inflated.clear();
        m_at = m_block.DataAt;
        m_end = m_block.DataAt + m_block.DataLength;
    } else {
        m_at = m_end = 0;
        m_inflated = current.Inflated.get();
    }
    m_ahead = fetch();
    return true;
}

}  // namespace morvane::mdf4
