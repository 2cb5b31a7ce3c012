#include "signal/import/mdf4/MdfFile.h"

#include <bit>
#include <cstring>

#include "util/errors.h"

namespace morvane::mdf4 {

namespace {

constexpr std::uint64_t kHeaderBytes = 24;
// A list of more links than this is no list a writer makes.
constexpr std::uint64_t kMostLinks = 1U << 20U;
// Blocks start after the identification block.
constexpr std::uint64_t kFirstBlock = 64;

}  // namespace

std::uint64_t LittleEndian(const std::uint8_t* bytes, std::size_t count) {
    std::uint64_t value = 0;
    for (std::size_t i = count; i-- > 0;) {
        value = (value << 8U) | bytes[i];
    }
    return value;
}

void RaiseBlockError(std::string_view id, std::uint64_t at, std::string_view problem) {
    RaiseRecordingError("Soubor MDF, blok " + std::string(id) + " na pozici " + std::to_string(at) + ": " +
                        std::string(problem));
}

void RaiseBlockError(const TMdfBlock& block, std::string_view problem) {
    RaiseBlockError(block.Id, block.At, problem);
}

std::uint8_t TMdfBlock::u8(std::size_t offset) const {
    return static_cast<std::uint8_t>(u64Bytes(offset, 1));
}

std::uint16_t TMdfBlock::u16(std::size_t offset) const {
    return static_cast<std::uint16_t>(u64Bytes(offset, 2));
}

std::uint32_t TMdfBlock::u32(std::size_t offset) const {
    return static_cast<std::uint32_t>(u64Bytes(offset, 4));
}

std::uint64_t TMdfBlock::u64(std::size_t offset) const {
    return u64Bytes(offset, 8);
}

double TMdfBlock::f64(std::size_t offset) const {
    return std::bit_cast<double>(u64Bytes(offset, 8));
}

std::uint64_t TMdfBlock::u64Bytes(std::size_t offset, std::size_t count) const {
    if (offset + count > Data.size()) {
        RaiseBlockError(*this, "blok je kratší, než jeho obsah vyžaduje");
    }
    return LittleEndian(Data.data() + offset, count);
}

TMdfFile::TMdfFile(const std::string& path) : m_path(path), m_in(path, std::ios::binary) {
    if (!m_in) {
        RaiseFileOpenError(path, std::strerror(errno));
    }
    m_in.seekg(0, std::ios::end);
    m_size = static_cast<std::uint64_t>(m_in.tellg());
}

void TMdfFile::read(std::uint64_t at, std::uint8_t* into, std::size_t count, std::string_view id,
                    std::uint64_t blockAt) {
    if (at > m_size || count > m_size - at) {
        RaiseBlockError(id, blockAt, "data přesahují konec souboru");
    }
    m_in.clear();
    m_in.seekg(static_cast<std::streamoff>(at));
    m_in.read(reinterpret_cast<char*>(into), static_cast<std::streamsize>(count));
    if (m_in.gcount() != static_cast<std::streamsize>(count)) {
        RaiseBlockError(id, blockAt, "soubor nelze dočíst");
    }
}

TMdfBlock TMdfFile::block(std::uint64_t at, std::string_view ids, const TMdfBlock& from,
                          std::size_t dataLimit) {
    if (at < kFirstBlock || at > m_size || m_size - at < kHeaderBytes) {
        RaiseBlockError(from, "odkaz na pozici " + std::to_string(at) + " leží mimo soubor (" +
                                  std::to_string(m_size) + " bajtů)");
    }
    std::uint8_t header[kHeaderBytes];
    read(at, header, kHeaderBytes, from.Id, from.At);
    TMdfBlock block;
    block.At = at;
    if (header[0] != '#' || header[1] != '#') {
        RaiseBlockError(from, "odkaz na pozici " + std::to_string(at) + " nevede na blok");
    }
    block.Id.assign(reinterpret_cast<const char*>(header) + 2, 2);
    if (ids.find(block.Id) == std::string_view::npos || block.Id.find(',') != std::string::npos) {
        RaiseBlockError(from, "odkaz vede na blok " + block.Id + ", čeká se " + std::string(ids));
    }
    block.Length = LittleEndian(header + 8, 8);
    const std::uint64_t links = LittleEndian(header + 16, 8);
    if (links > kMostLinks || block.Length < kHeaderBytes + 8 * links || block.Length > m_size - at) {
        RaiseBlockError(block, "délka bloku přesahuje konec souboru nebo neodpovídá počtu odkazů");
    }
    block.Links.resize(links);
    std::vector<std::uint8_t> raw(links * 8);
    read(at + kHeaderBytes, raw.data(), raw.size(), block.Id, at);
    for (std::uint64_t i = 0; i < links; ++i) {
        block.Links[i] = LittleEndian(raw.data() + 8 * i, 8);
    }
    block.DataAt = at + kHeaderBytes + 8 * links;
    block.DataLength = block.Length - kHeaderBytes - 8 * links;
    block.Data.resize(std::min<std::uint64_t>(block.DataLength, dataLimit));
    read(block.DataAt, block.Data.data(), block.Data.size(), block.Id, at);
    return block;
}

}  // namespace morvane::mdf4
