#include "signal/import/mdf4/MdfLayout.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>

#include "util/errors.h"

namespace morvane::mdf4 {

namespace {

constexpr std::size_t kIdBytes = 64;
constexpr std::uint64_t kHeaderAt = 64;
constexpr int kLowestVersion = 400;
constexpr int kHighestVersion = 420;
// Names and units longer than this are cut; comments are never read whole.
constexpr std::size_t kTextLimit = 4096;
// More DG, CG and CN blocks than this in one file are no test bed's, nor
// more bytes of channel names and units: a hostile file could otherwise point
// many blocks at one long text and fill the memory.
constexpr std::size_t kMostBlocks = 1U << 18U;
constexpr std::size_t kMostTextBytes = 8U << 20U;
// A record longer than this is refused, so that one fits the reading buffer.
constexpr std::uint64_t kLongestRecord = 1U << 22U;

// What the layout has taken so far, against the limits above.
struct TBudget {
    std::size_t Blocks = 0;
    std::size_t TextBytes = 0;

    void take(const TMdfBlock& block, std::size_t textBytes = 0) {
        if (++Blocks > kMostBlocks) {
            RaiseBlockError(block, "soubor má víc než " + std::to_string(kMostBlocks) + " skupin a kanálů");
        }
        TextBytes += textBytes;
        if (TextBytes > kMostTextBytes) {
            RaiseBlockError(
                block, "názvy a jednotky kanálů mají víc než " + std::to_string(kMostTextBytes) + " bajtů");
        }
    }
};

// The links of a chain (DG, CG, CN) are followed until 0; a link met twice
// closes a circle.
class TChain {
public:
    explicit TChain(std::set<std::uint64_t>& seen) : m_seen(seen) {}
    void visit(const TMdfBlock& block) {
        if (!m_seen.insert(block.At).second) {
            RaiseBlockError(block, "řetěz bloků se uzavírá do kruhu");
        }
    }

private:
    std::set<std::uint64_t>& m_seen;
};

// The text of a TX block, or the text content of an MD block's XML.
std::string TextOf(TMdfFile& file, std::uint64_t at, const TMdfBlock& from) {
    if (at == 0) {
        return {};
    }
    const TMdfBlock block = file.block(at, "TX,MD", from, kTextLimit);
    std::string text(block.Data.begin(), block.Data.end());
    text.resize(std::strlen(text.c_str()));
    if (block.Id == "MD") {
        std::string plain;
        bool inTag = false;
        for (const char c : text) {
            inTag = c == '<' || (inTag && c != '>');
            if (!inTag && c != '>') {
                plain += c;
            }
        }
        text = plain;
    }
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
    text.erase(std::find_if_not(text.rbegin(), text.rend(), blank).base(), text.end());
    return text;
}

constexpr std::size_t kCcType = 0;
constexpr std::size_t kCcValueCount = 6;
constexpr std::size_t kCcValues = 24;

TConversion ConversionOf(TMdfFile& file, std::uint64_t at, const TMdfBlock& from, std::string& unit) {
    TConversion conversion;
    if (at == 0) {
        return conversion;
    }
    const TMdfBlock block = file.block(at, "CC", from);
    if (unit.empty()) {
        unit = TextOf(file, block.link(1), block);
    }
    conversion.Type = block.u8(kCcType);
    const std::size_t wanted = conversion.Type == 1 ? 2 : conversion.Type == 2 ? 6 : 0;
    conversion.Kind = conversion.Type == 0   ? TConversionKind::Identity
                      : conversion.Type == 1 ? TConversionKind::Linear
                      : conversion.Type == 2 ? TConversionKind::Rational
                                             : TConversionKind::Other;
    if (wanted > 0 && block.u16(kCcValueCount) < wanted) {
        RaiseBlockError(block, "převod má méně parametrů, než jeho druh vyžaduje");
    }
    for (std::size_t i = 0; i < wanted; ++i) {
        conversion.Values[i] = block.f64(kCcValues + 8 * i);
    }
    return conversion;
}

// cn_type .. cn_inval_bit_pos in the CN block's data part.
constexpr std::size_t kCnType = 0;
constexpr std::size_t kCnSync = 1;
constexpr std::size_t kCnDataType = 2;
constexpr std::size_t kCnBitOffset = 3;
constexpr std::size_t kCnByteOffset = 4;
constexpr std::size_t kCnBitCount = 8;
constexpr std::size_t kCnFlags = 12;
constexpr std::size_t kCnInvalidBit = 16;

TChannel ChannelOf(TMdfFile& file, const TMdfBlock& block) {
    TChannel channel;
    channel.At = block.At;
    channel.Name = TextOf(file, block.link(2), block);
    channel.Unit = TextOf(file, block.link(6), block);
    channel.Conversion = ConversionOf(file, block.link(4), block, channel.Unit);
    channel.Type = static_cast<TChannelType>(block.u8(kCnType));
    channel.Sync = static_cast<TSyncType>(block.u8(kCnSync));
    channel.DataType = block.u8(kCnDataType);
    channel.BitOffset = block.u8(kCnBitOffset);
    channel.ByteOffset = block.u32(kCnByteOffset);
    channel.BitCount = block.u32(kCnBitCount);
    channel.Flags = block.u32(kCnFlags);
    channel.InvalidBit = block.u32(kCnInvalidBit);
    return channel;
}

constexpr std::size_t kCgRecordId = 0;
constexpr std::size_t kCgCycles = 8;
constexpr std::size_t kCgFlags = 16;
constexpr std::size_t kCgDataBytes = 24;
constexpr std::size_t kCgInvalidBytes = 28;

TChannelGroup GroupOf(TMdfFile& file, const TMdfBlock& block, TBudget& budget) {
    TChannelGroup group;
    group.At = block.At;
    group.RecordId = block.u64(kCgRecordId);
    group.Cycles = block.u64(kCgCycles);
    group.Vlsd = (block.u16(kCgFlags) & 1U) != 0;
    group.DataBytes = block.u32(kCgDataBytes);
    group.InvalidBytes = block.u32(kCgInvalidBytes);
    if (!group.Vlsd && std::uint64_t{group.DataBytes} + group.InvalidBytes > kLongestRecord) {
        RaiseBlockError(block, "záznam je delší než " + std::to_string(kLongestRecord) + " bajtů");
    }
    std::set<std::uint64_t> seen;
    TChain chain(seen);
    for (std::uint64_t at = block.link(1); at != 0;) {
        const TMdfBlock cn = file.block(at, "CN", block);
        chain.visit(cn);
        group.Channels.push_back(ChannelOf(file, cn));
        budget.take(cn, group.Channels.back().Name.size() + group.Channels.back().Unit.size());
        at = cn.link(0);
    }
    return group;
}

TDataGroup DataGroupOf(TMdfFile& file, const TMdfBlock& block, int& number, TBudget& budget) {
    TDataGroup data;
    data.At = block.At;
    data.Data = block.link(2);
    data.RecordIdBytes = block.u8(0);
    if (data.RecordIdBytes != 0 && data.RecordIdBytes != 1 && data.RecordIdBytes != 2 &&
        data.RecordIdBytes != 4 && data.RecordIdBytes != 8) {
        RaiseBlockError(
            block, "délka čísla záznamu " + std::to_string(data.RecordIdBytes) + " B není 0, 1, 2, 4 ani 8");
    }
    std::set<std::uint64_t> seen;
    TChain chain(seen);
    for (std::uint64_t at = block.link(1); at != 0;) {
        const TMdfBlock cg = file.block(at, "CG", block);
        chain.visit(cg);
        budget.take(cg);
        data.Groups.push_back(GroupOf(file, cg, budget));
        data.Groups.back().Number = ++number;
        at = cg.link(0);
    }
    if (data.Groups.size() > 1 && data.RecordIdBytes == 0) {
        RaiseBlockError(block, "více skupin kanálů bez čísla záznamu");
    }
    return data;
}

// The identification block: "MDF     ", a version 4.00 .. 4.20, finished.
void CheckIdentification(TMdfFile& file) {
    std::uint8_t id[kIdBytes];
    file.read(0, id, kIdBytes, "ID", 0);
    const std::string version(reinterpret_cast<const char*>(id) + 8, 4);
    const int number = static_cast<int>(LittleEndian(id + 28, 2));
    if (std::memcmp(id, "MDF     ", 8) != 0) {
        RaiseBlockError("ID", 0, "soubor nezačíná identifikací MDF (dokončený soubor)");
    }
    if (number < kLowestVersion || number > kHighestVersion) {
        RaiseBlockError("ID", 0, "verze " + version + " se nečte (čtou se verze 4.00 až 4.20)");
    }
    if (LittleEndian(id + 60, 2) != 0 || LittleEndian(id + 62, 2) != 0) {
        RaiseBlockError("ID", 0, "soubor není dokončen (zápis byl přerušen)");
    }
}

}  // namespace

const TChannel* TChannelGroup::master() const {
    const auto found = std::find_if(Channels.begin(), Channels.end(),
                                    [](const TChannel& channel) { return channel.isMaster(); });
    return found == Channels.end() ? nullptr : &*found;
}

TLayout ReadLayout(TMdfFile& file) {
    CheckIdentification(file);
    TMdfBlock id;
    id.Id = "ID";
    const TMdfBlock header = file.block(kHeaderAt, "HD", id);
    TLayout layout;
    std::set<std::uint64_t> seen;
    TChain chain(seen);
    int number = 0;
    TBudget budget;
    for (std::uint64_t at = header.link(0); at != 0;) {
        const TMdfBlock dg = file.block(at, "DG", header);
        chain.visit(dg);
        budget.take(dg);
        layout.DataGroups.push_back(DataGroupOf(file, dg, number, budget));
        at = dg.link(0);
    }
    return layout;
}

bool IsMdfFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char id[8] = {};
    in.read(id, sizeof id);
    return in.gcount() == sizeof id && std::memcmp(id, "MDF     ", 8) == 0;
}

}  // namespace morvane::mdf4
