#pragma once

// The bytes of a data group's records in order, whatever holds them: one DT
// block, a DL list (behind an HL block or not) of DT and DZ blocks. A DZ block
// is inflated whole; with a second thread, while the block before it is being
// read, so memory stays bounded by two blocks.

#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <unordered_set>
#include <vector>

#include "signal/import/mdf4/MdfFile.h"
#include "util/progress.h"

namespace morvane::mdf4 {

class TDataStream {
public:
    // data: the DG's data link; from: the DG block, for messages; threads:
    // 1 reads and inflates in turn, 2 or more inflates ahead on a second thread.
    TDataStream(TMdfFile& file, std::uint64_t data, const TMdfBlock& from, unsigned threads = 1);

    // The next piece of the data, valid until the next call; empty at the end.
    std::span<const std::uint8_t> next();

    // A DZ block inflates to at most this many bytes.
    static constexpr std::uint64_t kLargestInflated = 16U << 20U;

private:
public:
    // An inflation's result and the buffer it put a transposed block back
    // in order with, both kept for the next block.
    struct TInflated {
        std::vector<std::uint8_t> Data;
        std::vector<std::uint8_t> Scratch;
    };

private:
    // A data block and, for a DZ block inflated ahead, its inflation under way.
    struct TAhead {
        TMdfBlock Block;
        std::optional<std::future<TInflated>> Inflated;
    };

    std::optional<TMdfBlock> nextDescriptor();
    std::optional<TMdfBlock> nextListed();
    std::optional<TAhead> fetch();
    bool nextBlock();

    TMdfFile& m_file;
    TProgress* m_progress = CurrentProgress();
    TMdfBlock m_from;
    bool m_inflateAhead = false;
    // The list being walked and the index of its next data link.
    TMdfBlock m_list;
    std::size_t m_next = 0;
    std::set<std::uint64_t> m_lists;
    std::unordered_set<std::uint64_t> m_blocks;  // the data blocks met
    std::uint64_t m_single = 0;                  // a lone DT or DZ, until it is taken
    bool m_started = false;
    std::optional<TAhead> m_ahead;
    // The inflating thread's own handle on the file.
    std::shared_ptr<TMdfFile> m_second;
    // The current block: a range of the file read piece by piece, or inflated whole.
    TMdfBlock m_block;
    std::uint64_t m_at = 0;
    std::uint64_t m_end = 0;
    // The piece handed out: a part of a DT block, or the inflated DZ block.
    std::vector<std::uint8_t> m_piece;
    bool m_inflatedGiven = true;
    // The buffers the block before used, handed to the next inflation.
    TInflated m_spare;
};

}  // namespace morvane::mdf4
