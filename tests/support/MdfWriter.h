#pragma once

// A small MDF 4 writer for the tests only: it lays the blocks out byte by
// byte (identification, HD, DG, CG, CN, CC, TX, MD, DT, DL, DZ) from a
// description, so that each test can make the file it needs, plain, split,
// compressed, transposed or unsorted, and spoil it where a test says.

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace morvane::testing {

struct TMdfChannelPlan {
    std::string Name;
    std::string Unit;
    std::uint8_t DataType = 4;  // 0/1 unsigned LE/BE, 2/3 signed, 4/5 float
    std::uint32_t ByteOffset = 0;
    std::uint8_t BitOffset = 0;
    std::uint32_t BitCount = 64;
    std::uint8_t Type = 0;    // 2: master
    std::uint8_t Sync = 0;    // 1: time
    int ConversionType = -1;  // -1: no CC block
    std::vector<double> Conversion;
    std::optional<std::uint32_t> InvalidBit;
    bool UnitAsMd = false;
};

struct TMdfGroupPlan {
    std::vector<TMdfChannelPlan> Channels;
    std::uint32_t DataBytes = 0;
    std::uint32_t InvalidBytes = 0;
    std::uint64_t RecordId = 0;
    std::vector<std::string> Records;  // each DataBytes + InvalidBytes long
    std::optional<std::uint64_t> StatedCycles;
    std::uint16_t Flags = 0;  // 1: variable-length records, each a 4-byte length and its bytes
};

enum class TMdfStorage { Plain, Split, Deflate, Transposed };

struct TMdfPlan {
    std::vector<TMdfGroupPlan> Groups;
    bool Unsorted = false;  // all groups in one data group, records interleaved
    std::uint8_t RecordIdBytes = 0;
    TMdfStorage Storage = TMdfStorage::Plain;
    std::size_t BlockBytes = 1000;  // of each DT or DZ block's data when split or compressed
    std::uint16_t Version = 410;
};

// Where the writer put some blocks, for tests that spoil them.
struct TMdfPlaces {
    std::uint64_t FirstDataGroup = 0;
    std::uint64_t FirstChannelGroup = 0;
    std::uint64_t FirstDataBlock = 0;
};

inline void PutLe(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFFU);
    }
}

inline void PutF64(std::string& out, double value) {
    PutLe(out, std::bit_cast<std::uint64_t>(value), 8);
}

inline void PatchLe(std::string& out, std::uint64_t at, std::uint64_t value, int bytes = 8) {
    for (int i = 0; i < bytes; ++i) {
        out[at + static_cast<std::uint64_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFFU);
    }
}

// Appends a block at the next multiple of 8; returns its position.
inline std::uint64_t PutBlock(std::string& out, const char* id, const std::vector<std::uint64_t>& links,
                              const std::string& data) {
    out.resize((out.size() + 7) / 8 * 8, '\0');
    const std::uint64_t at = out.size();
    out += "##";
    out += id;
    PutLe(out, 0, 4);
    PutLe(out, 24 + 8 * links.size() + data.size(), 8);
    PutLe(out, links.size(), 8);
    for (const std::uint64_t link : links) {
        PutLe(out, link, 8);
    }
    out += data;
    return at;
}

inline std::uint64_t PutText(std::string& out, const std::string& text, bool md = false) {
    if (text.empty()) {
        return 0;
    }
    std::string data = md ? "<CNunit><TX>" + text + "</TX></CNunit>" : text;
    data.resize((data.size() + 8) / 8 * 8, '\0');
    return PutBlock(out, md ? "MD" : "TX", {}, data);
}

inline std::uint64_t PutChannel(std::string& out, const TMdfChannelPlan& c, std::uint64_t next) {
    const std::uint64_t name = PutText(out, c.Name);
    const std::uint64_t unit = PutText(out, c.Unit, c.UnitAsMd);
    std::uint64_t conversion = 0;
    if (c.ConversionType >= 0) {
        std::string data;
        PutLe(data, static_cast<std::uint64_t>(c.ConversionType), 1);
        PutLe(data, 0, 1);
        PutLe(data, 0, 2);
        PutLe(data, 0, 2);
        PutLe(data, c.Conversion.size(), 2);
        PutF64(data, 0);
        PutF64(data, 0);
        for (const double value : c.Conversion) {
            PutF64(data, value);
        }
        conversion = PutBlock(out, "CC", {0, 0, 0, 0}, data);
    }
    std::string data;
    PutLe(data, c.Type, 1);
    PutLe(data, c.Sync, 1);
    PutLe(data, c.DataType, 1);
    PutLe(data, c.BitOffset, 1);
    PutLe(data, c.ByteOffset, 4);
    PutLe(data, c.BitCount, 4);
    PutLe(data, c.InvalidBit ? 2 : 0, 4);
    PutLe(data, c.InvalidBit.value_or(0), 4);
    PutLe(data, 0, 4);
    data.resize(data.size() + 48, '\0');
    return PutBlock(out, "CN", {next, 0, name, 0, conversion, 0, unit, 0}, data);
}

inline std::uint64_t PutGroup(std::string& out, const TMdfGroupPlan& g, std::uint64_t next) {
    std::uint64_t first = 0;
    for (auto c = g.Channels.rbegin(); c != g.Channels.rend(); ++c) {
        first = PutChannel(out, *c, first);
    }
    std::string data;
    PutLe(data, g.RecordId, 8);
    PutLe(data, g.StatedCycles.value_or(g.Records.size()), 8);
    PutLe(data, g.Flags, 2);
    PutLe(data, 0, 2);
    PutLe(data, 0, 4);
    PutLe(data, g.DataBytes, 4);
    PutLe(data, g.InvalidBytes, 4);
    return PutBlock(out, "CG", {next, first, 0, 0, 0, 0}, data);
}

inline std::string Deflated(const std::string& plain) {
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(plain.data()),
             static_cast<uLong>(plain.size()));
    packed.resize(size);
    return packed;
}

inline std::string Transposed(const std::string& plain, std::size_t columns) {
    std::string out = plain;
    const std::size_t rows = plain.size() / columns;
    for (std::size_t r = 0; r < rows; ++r) {
        for (std::size_t c = 0; c < columns; ++c) {
            out[c * rows + r] = plain[r * columns + c];
        }
    }
    return out;
}

inline std::uint64_t PutZipped(std::string& out, const std::string& plain, std::size_t columns) {
    const bool transposed = columns > 0;
    const std::string packed = Deflated(transposed ? Transposed(plain, columns) : plain);
    std::string data = "DT";
    PutLe(data, transposed ? 1 : 0, 1);
    PutLe(data, 0, 1);
    PutLe(data, columns, 4);
    PutLe(data, plain.size(), 8);
    PutLe(data, packed.size(), 8);
    return PutBlock(out, "DZ", {}, data + packed);
}

// The records' bytes as DT, DZ or a DL list of either (two lists chained).
inline std::uint64_t PutData(std::string& out, const TMdfPlan& plan, const std::string& bytes,
                             std::size_t recordBytes, TMdfPlaces& places) {
    const bool zipped = plan.Storage == TMdfStorage::Deflate || plan.Storage == TMdfStorage::Transposed;
    const std::size_t columns = plan.Storage == TMdfStorage::Transposed ? recordBytes : 0;
    const std::size_t step =
        plan.Storage == TMdfStorage::Plain ? std::max<std::size_t>(bytes.size(), 1) : plan.BlockBytes;
    std::vector<std::uint64_t> blocks;
    for (std::size_t at = 0; at < bytes.size() || blocks.empty(); at += step) {
        const std::string piece = bytes.substr(std::min(at, bytes.size()), step);
        blocks.push_back(zipped ? PutZipped(out, piece, columns) : PutBlock(out, "DT", {}, piece));
    }
    places.FirstDataBlock = blocks.front();
    if (blocks.size() == 1) {
        return blocks.front();
    }
    const std::size_t half = blocks.size() / 2;
    const auto list = [&](std::size_t from, std::size_t to, std::uint64_t next) {
        std::vector<std::uint64_t> links = {next};
        links.insert(links.end(), blocks.begin() + static_cast<std::ptrdiff_t>(from),
                     blocks.begin() + static_cast<std::ptrdiff_t>(to));
        std::string data;
        PutLe(data, 0, 4);
        PutLe(data, to - from, 4);
        for (std::size_t i = from; i < to; ++i) {
            PutLe(data, 0, 8);
        }
        return PutBlock(out, "DL", links, data);
    };
    return list(0, half, list(half, blocks.size(), 0));
}

inline std::string RecordsOf(const TMdfPlan& plan, const std::vector<const TMdfGroupPlan*>& groups) {
    std::string bytes;
    std::size_t most = 0;
    for (const TMdfGroupPlan* g : groups) {
        most = std::max(most, g->Records.size());
    }
    for (std::size_t r = 0; r < most; ++r) {
        for (const TMdfGroupPlan* g : groups) {
            if (r < g->Records.size()) {
                PutLe(bytes, g->RecordId, plan.RecordIdBytes);
                bytes += g->Records[r];
            }
        }
    }
    return bytes;
}

inline std::uint64_t PutDataGroup(std::string& out, const TMdfPlan& plan,
                                  const std::vector<const TMdfGroupPlan*>& groups, std::uint64_t next,
                                  TMdfPlaces& places) {
    const std::size_t recordBytes =
        plan.RecordIdBytes + groups.front()->DataBytes + groups.front()->InvalidBytes;
    const std::uint64_t data = PutData(out, plan, RecordsOf(plan, groups), recordBytes, places);
    std::uint64_t first = 0;
    for (auto g = groups.rbegin(); g != groups.rend(); ++g) {
        first = PutGroup(out, **g, first);
    }
    places.FirstChannelGroup = first;
    std::string bytes;
    PutLe(bytes, plan.RecordIdBytes, 1);
    bytes.resize(8, '\0');
    return PutBlock(out, "DG", {next, first, data, 0}, bytes);
}

inline std::string MdfFileBytes(const TMdfPlan& plan, TMdfPlaces* placesOut = nullptr) {
    std::string out = "MDF     ";
    const std::string version = std::to_string(plan.Version / 100) + "." +
                                std::to_string(plan.Version % 100 / 10) + std::to_string(plan.Version % 10);
    out += version + "    " + "MorvTest";
    PutLe(out, 0, 4);
    PutLe(out, plan.Version, 2);
    out.resize(64, '\0');
    std::string header(32, '\0');
    const std::uint64_t hd = PutBlock(out, "HD", {0, 0, 0, 0, 0, 0}, header);
    TMdfPlaces places;
    std::uint64_t first = 0;
    if (plan.Unsorted) {
        std::vector<const TMdfGroupPlan*> all;
        for (const TMdfGroupPlan& g : plan.Groups) {
            all.push_back(&g);
        }
        first = PutDataGroup(out, plan, all, 0, places);
    } else {
        for (auto g = plan.Groups.rbegin(); g != plan.Groups.rend(); ++g) {
            first = PutDataGroup(out, plan, {&*g}, first, places);
        }
    }
    places.FirstDataGroup = first;
    PatchLe(out, hd + 24, first);
    if (placesOut != nullptr) {
        *placesOut = places;
    }
    return out;
}

// Records of float64 channels side by side, one record per row.
inline TMdfGroupPlan Float64Group(const std::vector<std::string>& names,
                                  const std::vector<std::vector<double>>& rows, int masterColumn = -1) {
    TMdfGroupPlan group;
    group.DataBytes = static_cast<std::uint32_t>(8 * names.size());
    for (std::size_t c = 0; c < names.size(); ++c) {
        TMdfChannelPlan channel;
        channel.Name = names[c];
        channel.ByteOffset = static_cast<std::uint32_t>(8 * c);
        if (static_cast<int>(c) == masterColumn) {
            channel.Type = 2;
            channel.Sync = 1;
            channel.Unit = "s";
        }
        group.Channels.push_back(channel);
    }
    for (const std::vector<double>& row : rows) {
        std::string record;
        for (const double value : row) {
            PutF64(record, value);
        }
        group.Records.push_back(record);
    }
    return group;
}

// The synthetic recording's lines (a header, then "encoder;pressure;time"
// with either decimal mark) as float64 channels Encoder, Pressure and Zeit,
// the time the group's master.
inline TMdfGroupPlan RecordingGroup(const std::vector<std::string>& lines) {
    std::vector<std::vector<double>> rows;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string line = lines[i];
        std::replace(line.begin(), line.end(), ',', '.');
        std::vector<double> row;
        const char* at = line.c_str();
        for (char* end = nullptr; *at != '\0'; at = *end == ';' ? end + 1 : end) {
            row.push_back(std::strtod(at, &end));
        }
        rows.push_back(row);
    }
    return Float64Group({"Encoder", "Pressure", "Zeit"}, rows, 2);
}

}  // namespace morvane::testing
