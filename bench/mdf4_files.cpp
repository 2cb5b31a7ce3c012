// Writes the benchmark's recording three ways from bench/make_signal_files.py's
// encoder.csv (encoder;pressure at 100 kHz): as text with a time column, and
// as MDF 4 with the same values as float64 channels and time as the master,
// once in one DT block and once split into DZ blocks behind a DL list. The
// files are streamed, so any length fits.
//
//   mdf4_files encoder.csv recording.csv plain.mf4 deflate.mf4

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tests/support/MdfWriter.h"

namespace {

using namespace morvane::testing;

constexpr double kRate = 100000;
constexpr std::size_t kRecordBytes = 24;
constexpr std::size_t kRecordsPerBlock = 1U << 17U;  // 3 MiB of records in each DZ block

// The identification, HD, DG, CG and channel blocks; the DG's data link is
// patched once the data is written. Returns the DG's position.
std::uint64_t WriteHead(std::ofstream& out, std::uint64_t records) {
    TMdfGroupPlan group = Float64Group({"Encoder", "Pressure", "Time"}, {}, 2);
    group.Channels[0].Unit = "V";
    group.Channels[1].Unit = "V";
    group.StatedCycles = records;
    std::string head = "MDF     4.10    MorvBnch";
    PutLe(head, 0, 4);
    PutLe(head, 410, 2);
    head.resize(64, '\0');
    const std::uint64_t hd = PutBlock(head, "HD", {0, 0, 0, 0, 0, 0}, std::string(32, '\0'));
    const std::uint64_t cg = PutGroup(head, group, 0);
    const std::uint64_t dg = PutBlock(head, "DG", {0, cg, 0, 0}, std::string(8, '\0'));
    PatchLe(head, hd + 24, dg);
    head.resize((head.size() + 7) / 8 * 8, '\0');
    out << head;
    return dg;
}

void PatchDataLink(std::ofstream& out, std::uint64_t dg, std::uint64_t data) {
    std::string link;
    PutLe(link, data, 8);
    out.seekp(static_cast<std::streamoff>(dg + 24 + 16));
    out << link;
}

std::uint64_t Append(std::ofstream& out, const char* id, const std::vector<std::uint64_t>& links,
                     const std::string& data) {
    std::string block;
    const std::uint64_t at = static_cast<std::uint64_t>(out.tellp());
    PutBlock(block, id, links, data);
    out << block;
    const std::size_t pad = (8 - block.size() % 8) % 8;
    out << std::string(pad, '\0');
    return at;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: mdf4_files encoder.csv recording.csv plain.mf4 deflate.mf4\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    std::ofstream text(argv[2], std::ios::binary);
    std::string line;
    std::getline(in, line);
    text << "Encoder [V];Pressure [V];Time [s]\r\n";
    std::string records;
    for (std::uint64_t i = 0; std::getline(in, line); ++i) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        char time[32];
        std::snprintf(time, sizeof time, "%.5f", static_cast<double>(i) / kRate);
        std::string fields = line + ";" + time;
        text << fields.replace(fields.rfind('.'), 1, ",") << "\r\n";
        std::replace(fields.begin(), fields.end(), ',', '.');
        const char* at = fields.c_str();
        for (char* end = nullptr; *at != '\0'; at = *end == ';' ? end + 1 : end) {
            PutF64(records, std::strtod(at, &end));
        }
    }
    const std::uint64_t count = records.size() / kRecordBytes;

    std::ofstream plain(argv[3], std::ios::binary);
    const std::uint64_t plainGroup = WriteHead(plain, count);
    PatchDataLink(plain, plainGroup, Append(plain, "DT", {}, records));

    std::ofstream deflate(argv[4], std::ios::binary);
    const std::uint64_t deflateGroup = WriteHead(deflate, count);
    std::vector<std::uint64_t> blocks = {0};
    for (std::size_t at = 0; at < records.size(); at += kRecordsPerBlock * kRecordBytes) {
        const std::string piece = records.substr(at, kRecordsPerBlock * kRecordBytes);
        const std::string packed = Deflated(piece);
        std::string data = "DT";
        PutLe(data, 0, 2);
        PutLe(data, 0, 4);
        PutLe(data, piece.size(), 8);
        PutLe(data, packed.size(), 8);
        blocks.push_back(Append(deflate, "DZ", {}, data + packed));
    }
    std::string list;
    PutLe(list, 0, 4);
    PutLe(list, blocks.size() - 1, 4);
    list.append(8 * (blocks.size() - 1), '\0');
    PatchDataLink(deflate, deflateGroup, Append(deflate, "DL", blocks, list));
    std::cout << count << " records\n";
    return 0;
}
