#include "signal/import/Recording.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "signal_test_support.h"
#include "tests/support/MessageOf.h"
#include "tests/support/Utf16Text.h"
#include "util/errors.h"

namespace morvane {
namespace {

struct TScanRow {
    std::string Name;
    std::string Text;
    std::string Message;         // empty: the scan succeeds
    std::vector<double> Values;  // then every value of both columns, in order
};

class RecordingScanTest : public testing::SignalImportTest, public ::testing::WithParamInterface<TScanRow> {};

// What a recording holds decides what is read or what the failure says.
TEST_P(RecordingScanTest, ReadsTheDataOrSaysWhatIsWrong) {
    const TScanRow& row = GetParam();
    const std::string path = writeFile("recording.csv", row.Text);
    std::vector<double> values;
    const auto scan = [&] {
        ReadRecording(path, TRecordingFormat{}, {"1", "2"},
                      [&](const std::vector<double>& v, const TRowPlace&) {
                          values.insert(values.end(), v.begin(), v.end());
                      });
    };
    if (row.Message.empty()) {
        scan();
        EXPECT_EQ(values, row.Values);
    } else {
        EXPECT_EQ(testing::MessageOf<EImportError>(scan), row.Message);
    }
}

using testing::Utf16;

std::string Repeated(const std::string& line, int times) {
    std::string text;
    for (int k = 0; k < times; ++k) {
        text += line;
    }
    return text;
}

std::string RandomBytes() {
    std::string text;
    unsigned state = 12345;
    for (int k = 0; k < 4000; ++k) {
        state = state * 1103515245 + 12345;
        text += static_cast<char>((state >> 16) & 0xFF);
    }
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Files, RecordingScanTest,
    ::testing::Values(
        TScanRow{"MarkDecidedByTheFirstLineShowingOne",
                 "a;b\n1;2\n3;4\n5;1.25\n6;7.5\n",
                 "",
                 {1, 2, 3, 4, 5, 1.25, 6, 7.5}},
        TScanRow{"CommaDecidedLater", "a;b\n1;2\n5;1,25\n", "", {1, 2, 5, 1.25}},
        TScanRow{"OtherMarkAfterTheDecision",
                 "a;b\n1;2\n1;2,5\n" + Repeated("1;2\n", 60) + "5;1.25\n",
                 "Řádek 64 '5;1.25': sloupec 2 není číslo",
                 {}},
        TScanRow{"HeaderRepeated", "a;b\n1;2\na;b\n3;4\n", "", {1, 2, 3, 4}},
        TScanRow{"TextBetweenData",
                 "a;b\n1;2\nx;y\n3;4\n",
                 "Řádek 3 'x;y': text mezi daty (opakovat se smí jen řádek záhlaví)",
                 {}},
        TScanRow{"ByteOrderMark",
                 "\xEF\xBB\xBF"
                 "a;b\n1;2\n",
                 "",
                 {1, 2}},
        TScanRow{"OneColumn",
                 "a\n1\n2\n3\n",
                 "Soubor má jen jeden sloupec čísel; záznam potřebuje aspoň dva (snímač otáček "
                 "a měřenou veličinu)",
                 {}},
        TScanRow{"Utf16",
                 Utf16("a;b\r\n1;2\r\n3;4\r\n"),
                 "Soubor je v kódování UTF-16; uložte jej jako text v UTF-8",
                 {}},
        TScanRow{"RandomBytes", RandomBytes(), "Soubor není text, obsahuje binární data", {}},
        // A NUL byte would end the recording unseen.
        TScanRow{"NulInsideTheData",
                 "a;b\n1;2\n" + Repeated("3;4\n", 20) + std::string("5;6\0\n7;8\n", 9),
                 "Řádek 23: obsahuje nulový bajt, soubor není text",
                 {}},
        TScanRow{"NulStartsALine",
                 std::string("a;b\n1;2\n\0"
                             "3;4\n",
                             11),
                 "Řádek 3: obsahuje nulový bajt, soubor není text",
                 {}},
        TScanRow{"Utf32",
                 std::string("\xFF\xFE\0\0"
                             "a\0\0\0",
                             8),
                 "Soubor je v kódování UTF-32; uložte jej jako text v UTF-8",
                 {}},
        TScanRow{"OnlyText", "a;b\nc;d\n", "Soubor neobsahuje žádná data", {}},
        // Blanks around a line or a field, fields beyond the chosen ones, one missing.
        TScanRow{"TabsAroundALine", "a\tb\n1,5\t2,5\n\t3,5\t4,5 \n", "", {1.5, 2.5, 3.5, 4.5}},
        TScanRow{"FieldsBeyondTheChosen",
                 "a;b;c\n1,5;2,5;3\n1,5 ; 2,5;x\n3,5;4,5;\n",
                 "",
                 {1.5, 2.5, 1.5, 2.5, 3.5, 4.5}},
        TScanRow{"ChosenFieldMissing", "a;b\n1,5;2,5\n7,5\n", "Řádek 3 '7,5': chybí sloupec 2", {}},
        TScanRow{"ChosenFieldEmpty", "a;b\n1,5;2,5\n7,5;\n", "Řádek 3 '7,5;': sloupec 2 není číslo", {}},
        // A number beyond any double is named where it stands, as in a line the
        // format is detected from; an unchosen one is never taken.
        TScanRow{"BeyondAnyNumber",
                 "a;b\n1,5;2,5\n7,5;-1E400\n",
                 "Řádek 3 '7,5;-1E400': sloupec 2 přesahuje rozsah čísel",
                 {}},
        TScanRow{
            "BeyondAnyNumberFirst", "1E400;2\n", "Řádek 1 '1E400;2': sloupec 1 přesahuje rozsah čísel", {}},
        TScanRow{"BeyondAnyNumberUnchosen", "a;b;c\n1;2;1E400\n", "", {1, 2}}),
    testing::TRowName());

using RecordingBufferTest = testing::SignalImportTest;

// Data lines parsed where they stand in the reader's buffer: wherever a read
// ends (inside a number, between CR and LF, right after a break), every line
// arrives whole, in order, with its number and text. A long header puts the
// end of the first read among the data lines.
TEST_F(RecordingBufferTest, LinesAcrossReadsArriveWhole) {
    constexpr int kLines = 400;
    constexpr std::size_t kFirstRead = std::size_t{1} << 20;  // the reader's buffer
    struct TVariant {
        std::string Break;
        std::string Before;  // around the fields
        std::string After;
    };
    for (const TVariant& variant : {TVariant{"\n", "", ""}, TVariant{"\r\n", "", ""}, TVariant{"\r", "", ""},
                                    TVariant{"\r\n", " ", " ;7 "}}) {
        const auto lineOf = [&](int k) {
            char fields[32];
            std::snprintf(fields, sizeof fields, "%07d;%07d,5", k, k);
            return variant.Before + fields + variant.After;
        };
        const std::size_t length = lineOf(0).size() + variant.Break.size();
        for (std::size_t shift = 0; shift < length; ++shift) {
            const std::size_t header = kFirstRead - kLines / 2 * length - shift;
            std::string text = "a;b" + std::string(header - 3 - variant.Break.size(), ' ') + variant.Break;
            for (int k = 0; k < kLines; ++k) {
                text += lineOf(k) + variant.Break;
            }
            const std::string path = writeFile("recording.csv", text);
            int k = 0;
            ReadRecording(path, TRecordingFormat{}, {"1", "2"},
                          [&](const std::vector<double>& v, const TRowPlace& place) {
                              ASSERT_EQ(v, (std::vector<double>{k * 1.0, k + 0.5})) << shift;
                              ASSERT_EQ(place.Line, k + 2);
                              ASSERT_EQ(place.Text, lineOf(k));
                              ++k;
                          });
            EXPECT_EQ(k, kLines) << "shift " << shift;
        }
    }
}

}  // namespace
}  // namespace morvane
