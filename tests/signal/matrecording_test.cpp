#include "signal/import/MatRecording.h"

#include <gtest/gtest.h>
#include <matio.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "signal/import/EncoderImport.h"
#include "signal/import/RecordingSource.h"
#include "signal_test_support.h"
#include "tests/support/MessageOf.h"
#include "tests/support/SyntheticRecording.h"
#include "tests/support/TempDirTest.h"
#include "util/errors.h"

namespace morvane {
namespace {

// The synthetic recording's columns as numbers.
std::vector<std::vector<double>> Columns(const std::vector<std::string>& lines) {
    std::vector<std::vector<double>> columns(2);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        char* end = nullptr;
        columns[0].push_back(std::strtod(lines[i].c_str(), &end));
        columns[1].push_back(std::strtod(end + 1, nullptr));
    }
    return columns;
}

matvar_t* Vector(const char* name, std::vector<double>& values) {
    std::size_t dims[2] = {values.size(), 1};
    return Mat_VarCreate(name, MAT_C_DOUBLE, MAT_T_DOUBLE, 2, dims, values.data(), 0);
}

struct TMatRow {
    std::string Name;
    mat_ft Version;
    matio_compression Compression;
};

// Data.Encoder and Data.Pressure, and Pressure beside them as a plain vector.
void WriteMat(const std::string& path, const TMatRow& row, std::vector<std::vector<double>>& columns) {
    mat_t* mat = Mat_CreateVer(path.c_str(), nullptr, row.Version);
    ASSERT_NE(mat, nullptr);
    const char* fields[] = {"Encoder", "Pressure"};
    std::size_t one[2] = {1, 1};
    matvar_t* data = Mat_VarCreateStruct("Data", 2, one, fields, 2);
    Mat_VarSetStructFieldByName(data, "Encoder", 0, Vector("Encoder", columns[0]));
    Mat_VarSetStructFieldByName(data, "Pressure", 0, Vector("Pressure", columns[1]));
    const matio_compression compression = row.Compression;
    Mat_VarWrite(mat, data, compression);
    matvar_t* pressure = Vector("Pressure", columns[1]);
    Mat_VarWrite(mat, pressure, compression);
    Mat_VarFree(pressure);
    Mat_VarFree(data);
    Mat_Close(mat);
}

class MatRecordingTest : public testing::TTempDirTest, public ::testing::WithParamInterface<TMatRow> {};

// Each version gives the mean cycle of the text to the last bit, its vectors read in slices.
TEST_P(MatRecordingTest, GivesTheFiguresOfTheText) {
    testing::TSynthetic s;
    s.Decimal = '.';
    s.Revolutions = 35;  // more samples than one slice of 65536
    const std::vector<std::string> lines = testing::RecordingLines(s);
    TEncoderOptions text;
    text.Path = writeFile("r.csv", testing::RecordingText(lines));
    text.Wheel = TWheel{s.Teeth, s.Missing};
    text.SampleRate = s.Rate;
    const TEncoderResult expected = ImportEncoderRecording(text);

    std::vector<std::vector<double>> columns = Columns(lines);
    TEncoderOptions mat = text;
    mat.Path = (m_dir / "r.mat").string();
    WriteMat(mat.Path, GetParam(), columns);
    ASSERT_EQ(RecordingKindOf(mat.Path), TRecordingKind::Mat);
    mat.EncoderColumn = "Data.Encoder";
    mat.ValueColumn = "Pressure";
    const TEncoderResult result = ImportEncoderRecording(mat);
    EXPECT_EQ(result.CycleCount, expected.CycleCount);
    EXPECT_EQ(result.Mean, expected.Mean);

    const auto channels = ListRecordingChannels(mat.Path, {});
    ASSERT_EQ(channels.size(), 3U);
    EXPECT_EQ(channels[0].Name, "Data.Encoder");
    EXPECT_EQ(channels[2].Name, "Pressure");
    EXPECT_EQ(channels[2].Samples, static_cast<std::int64_t>(lines.size() - 1));
    EXPECT_EQ(testing::MessageOf<EImportError>([&] { ReadAnyRecording(mat.Path, {}, {"Data.Rpm"}, {}); }),
              "Kanál 'Data.Rpm' v souboru není (jako číselný vektor)");
}

INSTANTIATE_TEST_SUITE_P(Versions, MatRecordingTest,
                         ::testing::Values(TMatRow{"Version5", MAT_FT_MAT5, MAT_COMPRESSION_NONE},
                                           TMatRow{"Version7Compressed", MAT_FT_MAT5, MAT_COMPRESSION_ZLIB},
                                           TMatRow{"Version7_3", MAT_FT_MAT73, MAT_COMPRESSION_ZLIB}),
                         testing::TRowName());

}  // namespace
}  // namespace morvane
