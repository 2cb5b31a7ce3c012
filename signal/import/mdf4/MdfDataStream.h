#pragma once

// The bytes of a data group's records in order, whatever holds them: one DT
// block, a DL list (behind an HL block or not) of DT and DZ blocks. A DZ block
// is inflated whole, on a second thread while the block before it is being
// read, so memory stays bounded by two blocks.

#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <set>
#include <unordered_set>
#include <vector>

#include "signal/import/mdf4/MdfFile.h"
#include "util/progress.h"

namespace morvane::mdf4 {

class TDataStream {
public:
    // data: the DG's data link; from: the DG block, for messages.
    TDataStream(TMdfFile& file, std::uint64_t data, const TMdfBlock& from);

    // Copies up to count bytes into out; fewer only at the end of the data.
    std::size_t read(std::uint8_t* out, std::size_t count);

    // A DZ block inflates to at most this many bytes.
    static constexpr std::uint64_t kLargestInflated = 16U << 20U;

private:
    // A data block and, for a DZ block, its inflation under way.
    struct TAhead {
        TMdfBlock Block;
        std::future<std::vector<std::uint8_t>> Inflated;
    };

    std::optional<TMdfBlock> nextDescriptor();
    std::optional<TMdfBlock> nextListed();
    std::optional<TAhead> fetch();
    bool nextBlock();

    TMdfFile& m_file;
    TProgress* m_progress = CurrentProgress();
    TMdfBlock m_from;
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
    // The current block: a range of the file or an inflated buffer.
    std::uint64_t m_at = 0;
    std::uint64_t m_end = 0;
    TMdfBlock m_block;
    std::vector<std::uint8_t> m_inflated;
    std::size_t m_taken = 0;
};

}  // namespace morvane::mdf4
