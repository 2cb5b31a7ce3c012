#include "timeline/PngWriter.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/TempDirTest.h"
#include "timeline/Raster.h"
#include "util/errors.h"

namespace morvane {
namespace {

using TBytes = std::vector<std::uint8_t>;

std::uint32_t ReadUint32(const TBytes& bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

struct TChunk {
    std::string Type;
    TBytes Data;
    bool CrcOk;
};

std::vector<TChunk> Chunks(const TBytes& png) {
    std::vector<TChunk> chunks;
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::uint32_t length = ReadUint32(png, at);
        TChunk chunk;
        chunk.Type.assign(png.begin() + static_cast<std::ptrdiff_t>(at + 4),
                          png.begin() + static_cast<std::ptrdiff_t>(at + 8));
        chunk.Data.assign(png.begin() + static_cast<std::ptrdiff_t>(at + 8),
                          png.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
        const uLong crc = crc32(crc32(0L, Z_NULL, 0), png.data() + at + 4, length + 4);
        chunk.CrcOk = crc == ReadUint32(png, at + 8 + length);
        chunks.push_back(chunk);
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    return chunks;
}

TRaster SamplePicture() {
    TRaster picture(5, 3);
    picture.setPenColor(RgbColor(1, 2, 3));
    picture.setBrushColor(RgbColor(250, 128, 7));
    picture.rectangle(1, 0, 5, 3);
    return picture;
}

TEST(PngWriter, SignatureHeaderAndChunkOrder) {
    const TBytes png = EncodePng(SamplePicture());
    const TBytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(TBytes(png.begin(), png.begin() + 8), signature);
    const std::vector<TChunk> chunks = Chunks(png);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].Type, "IHDR");
    EXPECT_EQ(chunks[1].Type, "IDAT");
    EXPECT_EQ(chunks[2].Type, "IEND");
    EXPECT_TRUE(chunks[2].Data.empty());
    for (const TChunk& chunk : chunks) {
        EXPECT_TRUE(chunk.CrcOk) << chunk.Type;
    }
    const TBytes& header = chunks[0].Data;
    ASSERT_EQ(header.size(), 13u);
    EXPECT_EQ(ReadUint32(header, 0), 5u) << "width";
    EXPECT_EQ(ReadUint32(header, 4), 3u) << "height";
    EXPECT_EQ(TBytes(header.begin() + 8, header.end()), (TBytes{8, 2, 0, 0, 0})) << "8-bit RGB";
}

TEST(PngWriter, ImageDataHoldsEveryPixelAsRgb) {
    const TRaster picture = SamplePicture();
    const std::vector<TChunk> chunks = Chunks(EncodePng(picture));
    ASSERT_EQ(chunks.size(), 3u);
    TBytes raw(std::size_t{3} * (1 + 5 * 3));
    uLongf size = static_cast<uLongf>(raw.size());
    ASSERT_EQ(uncompress(raw.data(), &size, chunks[1].Data.data(), static_cast<uLong>(chunks[1].Data.size())),
              Z_OK);
    ASSERT_EQ(size, raw.size());
    for (int y = 0; y < 3; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * 16;
        EXPECT_EQ(raw[row], 0) << "filter of row " << y;
        for (int x = 0; x < 5; ++x) {
            const TColor c = picture.pixel(x, y);
            const std::size_t at = row + 1 + 3 * static_cast<std::size_t>(x);
            EXPECT_EQ(
                TBytes(raw.begin() + static_cast<std::ptrdiff_t>(at),
                       raw.begin() + static_cast<std::ptrdiff_t>(at + 3)),
                (TBytes{static_cast<std::uint8_t>(ColorRed(c)), static_cast<std::uint8_t>(ColorGreen(c)),
                        static_cast<std::uint8_t>(ColorBlue(c))}))
                << "pixel (" << x << ", " << y << ")";
        }
    }
    EXPECT_EQ(raw[16 + 1 + 3 * 2], 250) << "the red of brush pixel (2, 1)";
}

TEST(PngWriter, WritePngStoresTheEncodedBytes) {
    const std::string path = ::testing::TempDir() + "morvane_pngwriter_test.png";
    const TRaster picture = SamplePicture();
    WritePng(picture, path);
    const std::string bytes = testing::FileBytes(path);
    const TBytes stored(bytes.begin(), bytes.end());
    EXPECT_EQ(stored, EncodePng(picture));
    std::remove(path.c_str());
}

TEST(PngWriter, WritePngIntoAMissingFolderRaises) {
    const std::string path = ::testing::TempDir() + "morvane-no-such-folder/picture.png";
    try {
        WritePng(SamplePicture(), path);
        FAIL() << "no error raised";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + path + "\". No such file or directory");
    }
}

// /dev/full opens and takes the buffered bytes, then fails on the flush: the
// full disk must be reported, not a picture that was never stored.
TEST(PngWriter, WritePngOntoAFullDiskRaises) {
    if (std::FILE* probe = std::fopen("/dev/full", "wb")) {
        std::fclose(probe);
    } else {
        GTEST_SKIP() << "no /dev/full";
    }
    try {
        WritePng(TRaster(4, 4), "/dev/full");
        FAIL() << "no failure";
    } catch (const EFOpenError& failure) {
        EXPECT_STREQ(failure.what(), "Cannot create file \"/dev/full\". No space left on device");
    }
}

}  // namespace
}  // namespace morvane
