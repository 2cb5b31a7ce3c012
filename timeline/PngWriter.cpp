#include "timeline/PngWriter.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

#include "timeline/Raster.h"
#include "util/errors.h"
#include "util/replacefile.h"

namespace morvane {

namespace {

void AppendUint32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 24));
    out.push_back(static_cast<std::uint8_t>(value >> 16));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void AppendChunk(std::vector<std::uint8_t>& out, const char (&type)[5],
                 const std::vector<std::uint8_t>& data) {
    AppendUint32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    // The checksum covers the chunk type and its data, not the length.
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
    AppendUint32(out, static_cast<std::uint32_t>(crc));
}

// Every row is one filter byte (0, none) followed by R, G, B per pixel.
std::vector<std::uint8_t> Scanlines(const TRaster& picture) {
    const auto width = static_cast<std::size_t>(picture.width());
    const auto height = static_cast<std::size_t>(picture.height());
    std::vector<std::uint8_t> raw;
    raw.reserve(height * (1 + 3 * width));
    const TColor* pixel = picture.data();
    for (std::size_t y = 0; y < height; ++y) {
        raw.push_back(0);
        for (std::size_t x = 0; x < width; ++x, ++pixel) {
            raw.push_back(static_cast<std::uint8_t>(ColorRed(*pixel)));
            raw.push_back(static_cast<std::uint8_t>(ColorGreen(*pixel)));
            raw.push_back(static_cast<std::uint8_t>(ColorBlue(*pixel)));
        }
    }
    return raw;
}

std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(size);
    if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), Z_DEFAULT_COMPRESSION) !=
        Z_OK) {
        throw std::bad_alloc();  // the only failure left with a buffer of compressBound
    }
    packed.resize(size);
    return packed;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const TRaster& picture) {
    static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> out(std::begin(kSignature), std::end(kSignature));

    std::vector<std::uint8_t> header;
    AppendUint32(header, static_cast<std::uint32_t>(picture.width()));
    AppendUint32(header, static_cast<std::uint32_t>(picture.height()));
    header.push_back(8);  // bits per sample
    header.push_back(2);  // colour type: RGB
    header.push_back(0);  // deflate
    header.push_back(0);  // adaptive filtering
    header.push_back(0);  // no interlace
    AppendChunk(out, "IHDR", header);
    AppendChunk(out, "IDAT", Deflate(Scanlines(picture)));
    AppendChunk(out, "IEND", {});
    return out;
}

void WritePng(const TRaster& picture, const std::string& path) {
    const std::vector<std::uint8_t> bytes = EncodePng(picture);
    WriteFileReplacing(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace morvane
