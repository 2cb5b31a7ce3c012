#include "signal/import/mdf4/MdfRecording.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "signal/import/EncoderImport.h"
#include "signal/import/RecordingSource.h"
#include "signal/import/mdf4/MdfFile.h"
#include "signal_test_support.h"
#include "tests/support/MdfWriter.h"
#include "tests/support/MessageOf.h"
#include "tests/support/SyntheticRecording.h"
#include "tests/support/TempDirTest.h"
#include "util/errors.h"

namespace morvane {
namespace {

using testing::MdfFileBytes;
using testing::TMdfChannelPlan;
using testing::TMdfGroupPlan;
using testing::TMdfPlaces;
using testing::TMdfPlan;
using testing::TMdfStorage;

TMdfChannelPlan Integer(std::uint8_t type, std::uint32_t byteOffset, std::uint8_t bitOffset,
                        std::uint32_t bits) {
    TMdfChannelPlan channel;
    channel.DataType = type;
    channel.ByteOffset = byteOffset;
    channel.BitOffset = bitOffset;
    channel.BitCount = bits;
    return channel;
}

TMdfChannelPlan Converted(std::uint32_t bits, int type, const std::vector<double>& values) {
    TMdfChannelPlan channel = Integer(0, 0, 0, bits);
    channel.DataType = type == 7 ? 4 : 0;
    channel.BitCount = type == 7 ? 64 : bits;
    channel.ConversionType = type;
    channel.Conversion = values;
    return channel;
}

TMdfChannelPlan Float(std::uint32_t bits, std::uint32_t byteOffset,
                      std::optional<std::uint32_t> invalidBit = {}) {
    TMdfChannelPlan channel = Integer(4, byteOffset, 0, bits);
    channel.InvalidBit = invalidBit;
    return channel;
}

TMdfPlan Plan(const std::vector<TMdfGroupPlan>& groups, TMdfStorage storage = TMdfStorage::Plain,
              std::size_t blockBytes = 1000) {
    TMdfPlan plan;
    plan.Groups = groups;
    plan.Storage = storage;
    plan.BlockBytes = blockBytes;
    return plan;
}

class MdfTest : public testing::TTempDirTest {
protected:
    std::vector<std::vector<double>> read(const std::string& bytes, const std::vector<std::string>& columns,
                                          unsigned threads = 1) {
        std::vector<std::vector<double>> rows;
        ReadAnyRecording(
            writeFile("r.mf4", bytes), {}, columns,
            [&](const std::vector<double>& values, const TRowPlace&) { rows.push_back(values); }, threads);
        return rows;
    }
};

// One channel of each kind beside a float64 one, and the value its record gives.
struct TValueRow {
    std::string Name;
    TMdfChannelPlan Channel;
    std::string Bytes;  // the channel's 8 bytes of the record
    double Expected;
};

class MdfValueTest : public MdfTest, public ::testing::WithParamInterface<TValueRow> {};

TEST_P(MdfValueTest, DecodesTheRawValueAndConverts) {
    TMdfGroupPlan group;
    group.DataBytes = 8;
    group.Channels = {GetParam().Channel};
    group.Channels[0].Name = "X";
    group.Records = {GetParam().Bytes};
    const auto rows = read(MdfFileBytes(Plan({group})), {"X"});
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0][0], GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MdfValueTest,
    ::testing::Values(
        TValueRow{"Uint8", Integer(0, 1, 0, 8), std::string("\x00\xC8\0\0\0\0\0\0", 8), 200},
        TValueRow{"Uint16Be", Integer(1, 0, 0, 16), std::string("\x01\x02\0\0\0\0\0\0", 8), 258},
        TValueRow{"Int16LeNegative", Integer(2, 2, 0, 16), std::string("\0\0\xFE\xFF\0\0\0\0", 8), -2},
        TValueRow{"Int12AtBit4", Integer(2, 0, 4, 12), std::string("\xF0\xFF\0\0\0\0\0\0", 8), -1},
        TValueRow{"Uint3AtBit5", Integer(0, 0, 5, 3), std::string("\xA0\0\0\0\0\0\0\0", 8), 5},
        TValueRow{"Uint64", Integer(0, 0, 0, 64), std::string("\0\0\0\0\0\0\0\x40", 8),
                  4611686018427387904.0},
        TValueRow{"Int64Be", Integer(3, 0, 0, 64), std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFD", 8), -3},
        TValueRow{"Float32Le", Integer(4, 4, 0, 32), std::string("\0\0\0\0\0\0\xC0\x3F", 8), 1.5},
        TValueRow{"Float64Be", Integer(5, 0, 0, 64), std::string("\x40\x04\0\0\0\0\0\0", 8), 2.5},
        TValueRow{"Linear", Converted(16, 1, {-1, 0.5}), std::string("\x0A\0\0\0\0\0\0\0", 8), 4},
        TValueRow{"Rational", Converted(8, 2, {1, 0, 0, 0, 0, 2}), std::string("\x03\0\0\0\0\0\0\0", 8),
                  4.5}),
    testing::TRowName());

struct TStorageRow {
    std::string Name;
    TMdfStorage Storage;
    bool Unsorted;
    std::size_t BlockBytes;
};

class MdfStorageTest : public MdfTest, public ::testing::WithParamInterface<TStorageRow> {};

// Every way of storing the same records gives the mean cycle of the text, to the last bit.
TEST_P(MdfStorageTest, GivesTheFiguresOfTheText) {
    testing::TSynthetic s;
    s.Decimal = '.';
    s.TimeColumn = true;
    s.Revolutions = 6;
    s.Rate = 20000;
    const std::vector<std::string> lines = testing::RecordingLines(s);
    TEncoderOptions text;
    text.Path = writeFile("r.csv", testing::RecordingText(lines));
    text.Wheel = TWheel{s.Teeth, s.Missing};
    text.TimeColumn = "3";
    const TEncoderResult expected = ImportEncoderRecording(text);

    TMdfPlan plan = Plan({testing::RecordingGroup(lines)}, GetParam().Storage, GetParam().BlockBytes);
    if (GetParam().Unsorted) {
        TMdfGroupPlan other = testing::Float64Group({"Pressure", "Teplota"}, {{1, 2}, {3, 4}, {5, 6}}, 0);
        other.RecordId = 7;
        plan.Groups[0].RecordId = 3;
        plan.Groups.insert(plan.Groups.begin(), other);
        plan.Unsorted = true;
        plan.RecordIdBytes = 2;
    }
    TEncoderOptions mdf = text;
    mdf.Path = writeFile("r.mf4", MdfFileBytes(plan));
    mdf.TimeColumn.clear();
    mdf.EncoderColumn = "Encoder";
    mdf.ValueColumn = GetParam().Unsorted ? "Pressure@2" : "Pressure";
    const TEncoderResult result = ImportEncoderRecording(mdf);
    EXPECT_EQ(result.CycleCount, expected.CycleCount);
    EXPECT_EQ(result.Rpm, expected.Rpm);
    EXPECT_EQ(result.Mean, expected.Mean);
}

// Records without ids whose first group has no bytes can never be read on:
// the reading fails at once instead of taking the same empty record forever.
TEST_F(MdfTest, EmptyRecordsWithoutIdsFail) {
    TMdfGroupPlan empty = testing::Float64Group({"A"}, {}, 0);
    empty.Channels[0].Type = 3;  // virtual master: the record's number, no bytes
    empty.Channels[0].DataType = 0;
    empty.Channels[0].BitCount = 0;
    empty.DataBytes = 0;
    empty.StatedCycles = 1000000000;
    empty.Records = {std::string(8, '\0')};  // data that empty records would never read on
    TMdfPlaces places;
    const std::string bytes = MdfFileBytes(Plan({empty}), &places);
    EXPECT_EQ(testing::MessageOf<EImportError>([&] { read(bytes, {"A"}); }),
              "Soubor MDF, blok DG na pozici " + std::to_string(places.FirstDataGroup) +
                  ": záznam 1 nemá žádné bajty");
}

// Inflating ahead on a second thread hands on the same records.
TEST_P(MdfStorageTest, ReadsAlikeOnASecondThread) {
    std::vector<std::vector<double>> rows;
    for (int i = 0; i < 5000; ++i) {
        rows.push_back({0.5 * i, std::sin(0.01 * i), static_cast<double>(i % 7)});
    }
    TMdfPlan plan = Plan({testing::Float64Group({"t", "A", "B"}, rows, 0)}, GetParam().Storage,
                         std::max<std::size_t>(GetParam().BlockBytes / 10, 50));
    const std::string bytes = MdfFileBytes(plan);
    for (const unsigned threads : {1U, 2U}) {
        EXPECT_EQ(read(bytes, {"t", "A", "B"}, threads), rows) << threads << " threads";
    }
}

INSTANTIATE_TEST_SUITE_P(Storages, MdfStorageTest,
                         ::testing::Values(TStorageRow{"Plain", TMdfStorage::Plain, false, 0},
                                           TStorageRow{"SplitOverDlLists", TMdfStorage::Split, false, 1001},
                                           TStorageRow{"Deflate", TMdfStorage::Deflate, false, 100000},
                                           TStorageRow{"DeflateOneBlock", TMdfStorage::Deflate, false,
                                                       1U << 24U},
                                           TStorageRow{"Transposed", TMdfStorage::Transposed, false, 48000},
                                           TStorageRow{"UnsortedDeflate", TMdfStorage::Deflate, true, 77777}),
                         testing::TRowName());

// Spoils a well-formed two-record file at one place.
struct THostileRow {
    std::string Name;
    TMdfStorage Storage;
    std::function<void(std::string& bytes, const TMdfPlaces& places)> Spoil;
    std::uint64_t TMdfPlaces::*Block;  // its position stands for '@' in Message
    std::string Message;
};

class MdfHostileTest : public MdfTest, public ::testing::WithParamInterface<THostileRow> {};

TEST_P(MdfHostileTest, FailsNamingTheBlock) {
    const TMdfPlan plan =
        Plan({testing::Float64Group({"t", "A"}, {{0, 1}, {1, 2}, {2, 3}}, 0)}, GetParam().Storage, 24);
    TMdfPlaces places;
    std::string bytes = MdfFileBytes(plan, &places);
    GetParam().Spoil(bytes, places);
    std::string expected = GetParam().Message;
    if (const std::size_t at = expected.find('@'); at != std::string::npos) {
        expected.replace(at, 1, std::to_string(places.*GetParam().Block));
    }
    if (const std::size_t size = expected.find('#'); size != std::string::npos) {
        expected.replace(size, 1, std::to_string(bytes.size()));
    }
    EXPECT_EQ(testing::MessageOf<EImportError>([&] { read(bytes, {"A"}); }), expected);
    EXPECT_EQ(testing::MessageOf<EImportError>([&] { read(bytes, {"A"}, 2); }), expected);
}

using testing::PatchLe;

INSTANTIATE_TEST_SUITE_P(
    Files, MdfHostileTest,
    ::testing::Values(
        THostileRow{"LinkOutsideTheFile", TMdfStorage::Plain,
                    [](std::string& b, const TMdfPlaces& p) { PatchLe(b, p.FirstDataGroup + 32, 1U << 30U); },
                    &TMdfPlaces::FirstDataGroup,
                    "Soubor MDF, blok DG na pozici @: odkaz na pozici 1073741824 leží mimo soubor (# bajtů)"},
        THostileRow{"GroupsInACircle", TMdfStorage::Plain,
                    [](std::string& b, const TMdfPlaces& p) {
                        PatchLe(b, p.FirstChannelGroup + 24, p.FirstChannelGroup);
                    },
                    &TMdfPlaces::FirstChannelGroup,
                    "Soubor MDF, blok CG na pozici @: řetěz bloků se uzavírá do kruhu"},
        THostileRow{
            "LengthBeyondTheFile", TMdfStorage::Plain,
            [](std::string& b, const TMdfPlaces& p) { PatchLe(b, p.FirstDataBlock + 8, 1ULL << 40U); },
            &TMdfPlaces::FirstDataBlock,
            "Soubor MDF, blok DT na pozici @: délka bloku přesahuje konec souboru nebo neodpovídá "
            "počtu odkazů"},
        THostileRow{"InflatesPastItsSize", TMdfStorage::Deflate,
                    [](std::string& b, const TMdfPlaces& p) { PatchLe(b, p.FirstDataBlock + 32, 10); },
                    &TMdfPlaces::FirstDataBlock,
                    "Soubor MDF, blok DZ na pozici @: data se rozbalí na víc než uvedených 10 bajtů"},
        // The stream's check value, its last byte, no longer matches what it inflates to.
        THostileRow{"CheckValueSpoilt", TMdfStorage::Deflate,
                    [](std::string& b, const TMdfPlaces& p) {
                        const std::uint64_t stream = p.FirstDataBlock + 48;
                        const auto* bytes = reinterpret_cast<const std::uint8_t*>(b.data());
                        b[stream + mdf4::LittleEndian(bytes + p.FirstDataBlock + 40, 8) - 1] ^= 1;
                    },
                    &TMdfPlaces::FirstDataBlock,
                    "Soubor MDF, blok DZ na pozici @: komprimovaná data jsou poškozena"},
        THostileRow{
            "BillionRecordsStated", TMdfStorage::Split,
            [](std::string& b, const TMdfPlaces& p) { PatchLe(b, p.FirstChannelGroup + 80, 1000000000); },
            &TMdfPlaces::FirstChannelGroup,
            "Soubor MDF, blok CG na pozici @: blok uvádí 1000000000 záznamů, data jich obsahují 3"},
        THostileRow{"DataEndWithinARecord", TMdfStorage::Plain,
                    [](std::string& b, const TMdfPlaces& p) { PatchLe(b, p.FirstDataBlock + 8, 24 + 40); },
                    &TMdfPlaces::FirstDataGroup,
                    "Soubor MDF, blok DG na pozici @: data končí uprostřed záznamu 3"},
        THostileRow{
            "Version3", TMdfStorage::Plain,
            [](std::string& b, const TMdfPlaces&) { PatchLe(b, 28, 330, 2), b.replace(8, 4, "3.30"); },
            &TMdfPlaces::FirstDataGroup,
            "Soubor MDF, blok ID na pozici 0: verze 3.30 se nečte (čtou se verze 4.00 až 4.20)"}),
    testing::TRowName());

// Channels that cannot give their values, named with the group or the record.
struct TChannelFaultRow {
    std::string Name;
    TMdfChannelPlan Channel;
    std::string Message;
};

class MdfChannelFaultTest : public MdfTest, public ::testing::WithParamInterface<TChannelFaultRow> {};

TEST_P(MdfChannelFaultTest, FailsNamingTheChannel) {
    TMdfGroupPlan group;
    group.DataBytes = 8;
    group.InvalidBytes = 1;
    group.Channels = {GetParam().Channel};
    group.Channels[0].Name = "P";
    group.Records = {std::string(9, '\0'), std::string(8, '\0') + '\x04'};
    EXPECT_EQ(testing::MessageOf<EImportError>([&] { read(MdfFileBytes(Plan({group})), {"P"}); }),
              GetParam().Message);
}

INSTANTIATE_TEST_SUITE_P(
    Channels, MdfChannelFaultTest,
    ::testing::Values(
        TChannelFaultRow{"InvalidSample", Float(64, 0, 2),
                         "Kanál 'P', záznam 2: vzorek je označen jako neplatný"},
        TChannelFaultRow{
            "ValueTable", Converted(64, 7, {}),
            "Kanál 'P' (skupina 1): převod druhu 7 se nečte (jen identita, lineární a racionální)"},
        TChannelFaultRow{"Float16", Float(16, 0), "Kanál 'P' (skupina 1): počet bitů 16 od bitu 0 se nečte"},
        TChannelFaultRow{"BeyondTheRecord", Float(64, 4), "Kanál 'P' (skupina 1): hodnota leží mimo záznam"},
        TChannelFaultRow{"RationalDividesByZero", Converted(8, 2, {0, 1, 0, 0, 0, 0}),
                         "Kanál 'P', záznam 1: hodnota není konečné číslo"}),
    testing::TRowName());

TEST_F(MdfTest, NamesAreFoundInOneGroup) {
    TMdfGroupPlan first = testing::Float64Group({"t", "A", "B"}, {{0, 1, 2}}, 0);
    TMdfGroupPlan second = testing::Float64Group({"t", "A", "C"}, {{0, 1, 2}}, 0);
    const std::string path = writeFile("g.mf4", MdfFileBytes(Plan({first, second})));
    const auto fails = [&](const std::vector<std::string>& columns) {
        return testing::MessageOf<EImportError>([&] { ReadAnyRecording(path, {}, columns, {}); });
    };
    EXPECT_EQ(fails({"A"}), "Kanál 'A' je v několika skupinách; napište A@1, A@2");
    EXPECT_EQ(fails({"B", "C"}), "Kanály 'B' (skupina 1) a 'C' (skupina 2) nejsou v jedné skupině kanálů");
    EXPECT_EQ(fails({"D"}), "Kanál 'D' v souboru není");
    EXPECT_EQ(ImpliedTimeColumn(path, "C"), "t@2");
}

// A transposition by more columns than the block has bytes transposed nothing,
// and is read at once (found by fuzzing: it looped over the columns).
TEST_F(MdfTest, TranspositionWiderThanItsBlockIsNoLoop) {
    TMdfPlaces places;
    std::string bytes = MdfFileBytes(
        Plan({testing::Float64Group({"A"}, {{1}, {2}})}, TMdfStorage::Transposed, 1000), &places);
    testing::PatchLe(bytes, places.FirstDataBlock + 24 + 4, 0xFFFFFFF0U, 4);
    EXPECT_EQ(read(bytes, {"A"}).size(), 2U);
}

// The records of variable length of another group are skipped, whatever
// length their group states (found by fuzzing: it sized the buffer by it).
TEST_F(MdfTest, VariableLengthRecordsBesideAreSkipped) {
    TMdfGroupPlan fixed = testing::Float64Group({"A"}, {{1}, {2}});
    TMdfGroupPlan variable;
    variable.Flags = 1;
    variable.DataBytes = 0xF0000000U;
    variable.Records = {std::string("\x03\0\0\0abc", 7)};
    fixed.RecordId = 1;
    variable.RecordId = 2;
    TMdfPlan plan = Plan({fixed, variable});
    plan.Unsorted = true;
    plan.RecordIdBytes = 1;
    EXPECT_EQ(read(MdfFileBytes(plan), {"A"}), (std::vector<std::vector<double>>{{1}, {2}}));
}

// A data block listed twice would be inflated again and again.
TEST_F(MdfTest, ADataBlockListedTwiceFails) {
    TMdfPlaces places;
    std::string bytes = MdfFileBytes(
        Plan({testing::Float64Group({"A"}, {{1}, {2}, {3}, {4}})}, TMdfStorage::Deflate, 16), &places);
    // The second list's only block is the first block again.
    const std::size_t list = bytes.find("##DL");
    testing::PatchLe(bytes, list + 32, places.FirstDataBlock);
    EXPECT_EQ(testing::MessageOf<EImportError>([&] { read(bytes, {"A"}); }),
              "Soubor MDF, blok DZ na pozici " + std::to_string(places.FirstDataBlock) +
                  ": blok dat je v seznamu podruhé");
}

// Channel names are held in bounded memory, however many blocks share a long one.
TEST_F(MdfTest, ManyLongNamesAreRefused) {
    TMdfGroupPlan group;
    group.DataBytes = 8;
    group.Channels.assign(2100, Float(64, 0));
    for (TMdfChannelPlan& channel : group.Channels) {
        channel.Name = std::string(4000, 'n');
    }
    const std::string message =
        testing::MessageOf<EImportError>([&] { read(MdfFileBytes(Plan({group})), {"n"}); });
    EXPECT_NE(message.find(": názvy a jednotky kanálů mají víc než 8388608 bajtů"), std::string::npos)
        << message;
}

// A group whose master is the crank angle is read in the angle domain by itself.
TEST_F(MdfTest, AnAngleMasterGivesTheCycles) {
    std::vector<std::vector<double>> rows;
    for (int i = 0; i <= 3 * 1440; ++i) {
        rows.push_back({0.5 * i, testing::Pressure(std::fmod(0.5 * i, 720))});
    }
    TMdfGroupPlan group = testing::Float64Group({"Winkel", "P"}, rows, 0);
    group.Channels[0].Sync = 2;
    TEncoderOptions options;
    options.Path = writeFile("a.mf4", MdfFileBytes(Plan({group})));
    options.ValueColumn = "P";
    const TEncoderResult result = ImportEncoderRecording(options);
    EXPECT_TRUE(result.AngleDomain);
    EXPECT_EQ(result.CycleCount, 3);
    EXPECT_EQ(result.Mean[744], testing::Pressure(372));
}

TEST_F(MdfTest, ListsChannelsOfMdfAndText) {
    TMdfGroupPlan group = testing::Float64Group({"t", "P1"}, {{0, 1}, {1, 2}}, 0);
    group.Channels[1].Unit = "bar";
    group.Channels[1].UnitAsMd = true;
    const auto mdf = ListRecordingChannels(writeFile("l.mf4", MdfFileBytes(Plan({group}))), {});
    ASSERT_EQ(mdf.size(), 2U);
    EXPECT_EQ(mdf[1].Name, "P1");
    EXPECT_EQ(mdf[1].Unit, "bar");
    EXPECT_EQ(mdf[1].Samples, 2);
    EXPECT_EQ(mdf[1].Master, "t");
    const auto text = ListRecordingChannels(writeFile("l.csv", "a;b\n1;2\n3;4\n5;6\n"), {});
    ASSERT_EQ(text.size(), 2U);
    EXPECT_EQ(text[1].Name, "b");
    EXPECT_EQ(text[1].Samples, 3);
    EXPECT_EQ(ListRecordingChannels(writeFile("n.csv", "1;2;3\n"), {})[2].Name, "3");
}

}  // namespace
}  // namespace morvane
