#pragma once

// Bounded access to an MDF 4 file: every block is checked against the file's
// size before it is read, so a hostile file fails with the block named
// instead of reading past its end or allocating what it claims.

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace morvane::mdf4 {

// A block's header, its links and (for the small blocks) its data part.
struct TMdfBlock {
    std::string Id;  // "DG", "CN", ... without the "##"
    std::uint64_t At = 0;
    std::uint64_t Length = 0;
    std::vector<std::uint64_t> Links;
    std::uint64_t DataAt = 0;  // where the data part starts in the file
    std::uint64_t DataLength = 0;
    std::vector<std::uint8_t> Data;  // the data part, or its first bytes (see TMdfFile::block)

    std::uint64_t link(std::size_t index) const { return index < Links.size() ? Links[index] : 0; }
    std::uint8_t u8(std::size_t offset) const;
    std::uint16_t u16(std::size_t offset) const;
    std::uint32_t u32(std::size_t offset) const;
    std::uint64_t u64(std::size_t offset) const;
    double f64(std::size_t offset) const;

private:
    std::uint64_t u64Bytes(std::size_t offset, std::size_t count) const;
};

// "Soubor MDF, blok XX na pozici N: problem" as EImportError.
[[noreturn]] void RaiseBlockError(std::string_view id, std::uint64_t at, std::string_view problem);
[[noreturn]] void RaiseBlockError(const TMdfBlock& block, std::string_view problem);

class TMdfFile {
public:
    explicit TMdfFile(const std::string& path);

    std::uint64_t size() const { return m_size; }
    const std::string& path() const { return m_path; }

    // Reads count bytes at the position; a read past the end fails naming the block.
    void read(std::uint64_t at, std::uint8_t* into, std::size_t count, std::string_view id,
              std::uint64_t blockAt);

    // The block a link of from points to, which must be one of the ids ("DT,DZ").
    // Its data part is read whole up to dataLimit bytes, else its first
    // dataLimit bytes.
    TMdfBlock block(std::uint64_t at, std::string_view ids, const TMdfBlock& from,
                    std::size_t dataLimit = kSmallData);

    static constexpr std::size_t kSmallData = 1U << 16U;

private:
    std::string m_path;
    std::ifstream m_in;
    std::uint64_t m_size = 0;
};

// Little-endian numbers at a place of a buffer.
std::uint64_t LittleEndian(const std::uint8_t* bytes, std::size_t count);

}  // namespace morvane::mdf4
