#include "signal/import/mdf4/MdfDataStream.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <future>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "signal/import/mdf4/Adler32.h"

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
constexpr std::size_t kInflateChunk = 1U << 16U;
// Bytes of a DT block handed out at a time.
constexpr std::size_t kPiece = 1U << 20U;

// Transposition stored the bytes column by column (the columns of a record);
// the rest after the last whole row stayed as it was. The rows are put back a
// tile at a time, so that both the columns read and the rows written stay in
// the cache.
void Untranspose(std::vector<std::uint8_t>& data, std::uint64_t columns, std::vector<std::uint8_t>& scratch) {
    // More columns than bytes leave no whole row: nothing was transposed.
    if (columns <= 1 || columns > data.size()) {
        return;
    }
    constexpr std::size_t kTileRows = 64;
    scratch.resize(data.size());
    const std::size_t rows = data.size() / columns;
    for (std::size_t first = 0; first < rows; first += kTileRows) {
        const std::size_t last = std::min(rows, first + kTileRows);
        for (std::size_t c = 0; c < columns; ++c) {
            const std::uint8_t* column = data.data() + c * rows;
            for (std::size_t r = first; r < last; ++r) {
                scratch[r * columns + c] = column[r];
            }
        }
    }
    std::copy(data.begin() + static_cast<std::ptrdiff_t>(rows * columns), data.end(),
              scratch.begin() + static_cast<std::ptrdiff_t>(rows * columns));
    data.swap(scratch);
}

class TInflater {
public:
    TInflater() {
        if (inflateInit(&m_stream) != Z_OK) {
            throw std::bad_alloc();
        }
        // The check value is compared by Adler32, faster than zlib's.
        inflateValidate(&m_stream, 0);
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

// The stream's last four bytes hold the check value of what it inflates to.
void CheckValue(TMdfFile& file, const TMdfBlock& block, std::uint64_t streamBytes,
                const std::vector<std::uint8_t>& data) {
    std::uint8_t stored[4];
    file.read(block.DataAt + kDzHeader + streamBytes - 4, stored, 4, block.Id, block.At);
    const std::uint32_t expected = std::uint32_t{stored[0]} << 24U | std::uint32_t{stored[1]} << 16U |
                                   std::uint32_t{stored[2]} << 8U | stored[3];
    if (Adler32(data.data(), data.size()) != expected) {
        RaiseBlockError(block, "komprimovaná data jsou poškozena");
    }
}

// The common block in one call of libdeflate, two to three times as fast as
// zlib's streaming inflate: true when the stream inflated to exactly the
// stated length and its check value holds. Any other block is left to
// InflateDiagnosed, which names what is wrong with it.
bool InflatedWhole(TMdfFile& file, const TMdfBlock& block, TDataStream::TInflated& buffers) {
    const std::uint64_t original = block.u64(kDzOriginalLength);
    // Deflate grows no data by more than this; a longer stream is read in
    // pieces, so its stated length cannot size a buffer.
    if (block.u64(kDzLength) > original + original / 64 + 4096) {
        return false;
    }
    std::vector<std::uint8_t>& zipped = buffers.Scratch;
    zipped.resize(block.u64(kDzLength));
    file.read(block.DataAt + kDzHeader, zipped.data(), zipped.size(), block.Id, block.At);
    buffers.Data.resize(original);
    const std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> decompressor(
        libdeflate_alloc_decompressor(), &libdeflate_free_decompressor);
    if (!decompressor) {
        throw std::bad_alloc();
    }
    std::size_t inflated = 0;
    return libdeflate_zlib_decompress(decompressor.get(), zipped.data(), zipped.size(), buffers.Data.data(),
                                      buffers.Data.size(), &inflated) == LIBDEFLATE_SUCCESS &&
           inflated == original;
}

// The block through zlib's streaming inflate, for the exact failure.
void InflateDiagnosed(TMdfFile& file, const TMdfBlock& block, TDataStream::TInflated& buffers) {
    const std::uint64_t original = block.u64(kDzOriginalLength);
    std::vector<std::uint8_t>& out = buffers.Data;
    // One byte more than stated, so that data inflating past it are caught.
    out.resize(original + 1);
    TInflater inflater;
    z_stream& z = inflater.stream();
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    std::uint8_t chunk[kInflateChunk];
    std::uint64_t at = block.DataAt + kDzHeader;
    std::uint64_t left = block.u64(kDzLength);
    int status = Z_OK;
    while (status == Z_OK) {
        if (z.avail_in == 0 && left > 0) {
            const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(left, kInflateChunk));
            file.read(at, chunk, n, block.Id, block.At);
            at += n;
            left -= n;
            z.next_in = chunk;
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
    CheckValue(file, block, z.total_in, out);
}

// The DZ block's data as they were before compression, read through file
// into the buffers given (their memory is reused, their contents not).
TDataStream::TInflated Inflated(TMdfFile& file, const TMdfBlock& block, TDataStream::TInflated buffers) {
    if (!InflatedWhole(file, block, buffers)) {
        InflateDiagnosed(file, block, buffers);
    }
    if (block.u8(kDzZipType) == 1) {
        Untranspose(buffers.Data, block.u32(kDzParameter), buffers.Scratch);
    }
    return buffers;
}

}  // namespace

TDataStream::TDataStream(TMdfFile& file, std::uint64_t data, const TMdfBlock& from, unsigned threads)
    : m_file(file), m_from(from), m_inflateAhead(threads > 1) {
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

std::span<const std::uint8_t> TDataStream::next() {
    // An inflated block is as far as its start in the file.
    ReportBlockRead(m_progress, m_at < m_end ? m_at : m_block.At, m_file.size());
    while (true) {
        if (!m_inflatedGiven) {
            m_inflatedGiven = true;
            if (!m_piece.empty()) {
                return m_piece;
            }
        } else if (m_at < m_end) {
            const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, m_end - m_at));
            m_piece.resize(n);
            m_file.read(m_at, m_piece.data(), n, m_block.Id, m_block.At);
            m_at += n;
            return m_piece;
        }
        if (!nextBlock()) {
            return {};
        }
    }
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
    TAhead ahead{std::move(*block), std::nullopt};
    if (ahead.Block.Id == "DZ") {
        CheckZipHeader(ahead.Block);
        if (m_inflateAhead) {
            if (!m_second) {
                m_second = std::make_shared<TMdfFile>(m_file.path());
            }
            ahead.Inflated = std::async(std::launch::async, [file = m_second, zipped = ahead.Block,
                                                             buffers = std::move(m_spare)]() mutable {
                return Inflated(*file, zipped, std::move(buffers));
            });
        }
    }
    return ahead;
}

// The current block is taken (waiting for its inflation), then the next one's
// inflation starts, to run while this one is read; its buffers are those the
// block before used.
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
    if (m_block.Id == "DT") {
        m_at = m_block.DataAt;
        m_end = m_block.DataAt + m_block.DataLength;
    } else {
        m_at = m_end = 0;
        // The block before is read: its buffer takes the next inflation.
        TInflated used{std::move(m_piece), std::move(m_spare.Scratch)};
        TInflated inflated;
        if (current.Inflated) {
            inflated = current.Inflated->get();
            m_spare.Data = std::move(used.Data);
        } else {
            inflated = Inflated(m_file, m_block, std::move(used));
        }
        m_piece = std::move(inflated.Data);
        m_spare.Scratch = std::move(inflated.Scratch);
        m_inflatedGiven = false;
    }
    m_ahead = fetch();
    return true;
}

}  // namespace morvane::mdf4
