#pragma once

// The channel groups of an MDF 4 file and their channels, as far as reading
// their values needs: read from the blocks once, before any data.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "signal/import/mdf4/MdfFile.h"

namespace morvane::mdf4 {

enum class TConversionKind { Identity, Linear, Rational, Other };

struct TConversion {
    TConversionKind Kind = TConversionKind::Identity;
    int Type = 0;                    // the block's own number, for the message of Other
    std::array<double, 6> Values{};  // linear: offset, factor; rational: P1..P6
};

// cn_type, cn_sync_type and cn_data_type as the format numbers them.
enum class TChannelType : std::uint8_t {
    Fixed = 0,
    Vlsd = 1,
    Master = 2,
    VirtualMaster = 3,
    Sync = 4,
    MaxLength = 5,
    VirtualData = 6
};
enum class TSyncType : std::uint8_t { None = 0, Time = 1, Angle = 2, Distance = 3, Index = 4 };

struct TChannel {
    std::string Name;
    std::string Unit;
    std::uint64_t At = 0;  // the CN block, for messages
    TChannelType Type = TChannelType::Fixed;
    TSyncType Sync = TSyncType::None;
    std::uint8_t DataType = 0;
    std::uint8_t BitOffset = 0;
    std::uint32_t ByteOffset = 0;
    std::uint32_t BitCount = 0;
    std::uint32_t Flags = 0;
    std::uint32_t InvalidBit = 0;
    TConversion Conversion;

    bool isMaster() const { return Type == TChannelType::Master || Type == TChannelType::VirtualMaster; }
    bool allInvalid() const { return (Flags & 1U) != 0; }
    bool hasInvalidBit() const { return (Flags & 2U) != 0; }
};

struct TChannelGroup {
    int Number = 0;  // 1-based over the whole file, in file order
    std::uint64_t At = 0;
    std::uint64_t RecordId = 0;
    std::uint64_t Cycles = 0;  // records stated
    std::uint32_t DataBytes = 0;
    std::uint32_t InvalidBytes = 0;
    bool Vlsd = false;  // records of variable length (a length before each)
    std::vector<TChannel> Channels;

    const TChannel* master() const;
};

struct TDataGroup {
    std::uint64_t At = 0;
    std::uint64_t Data = 0;  // link to DT, DZ, DL or HL; 0 when there is none
    std::uint8_t RecordIdBytes = 0;
    std::vector<TChannelGroup> Groups;
};

struct TLayout {
    std::vector<TDataGroup> DataGroups;
};

// Reads the identification block and every DG, CG, CN, CC, TX and MD block
// the channels need; a file of another version, a link outside the file or
// into a circle and any block that cannot be read fail naming the block.
TLayout ReadLayout(TMdfFile& file);

// Whether the file begins with an MDF identification block.
bool IsMdfFile(const std::string& path);

}  // namespace morvane::mdf4
