#include "events/SetupFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "events/CylinderTableFile.h"
#include "events/MainControls.h"
#include "events/SetupControls.h"
#include "events/SetupPaths.h"
#include "tests/support/SessionTest.h"
#include "tests/support/Utf16Text.h"
#include "util/errors.h"
#include "util/linereader.h"
#include "util/replacefile.h"

namespace morvane {
namespace {

using namespace std::string_literals;

// Texts a user may leave in a control, each one a way a line could break.
const std::vector<std::string> kAwkwardTexts = {
    "",     "12.5", " lead", "trail ", "  ", "a;b",  "k=v", "[x]", "Žluťoučký kůň úpěl", "C:\\data\\a.csv",
    "a\nb", "\r",   "\t1\t", "\\s",    "#",  "\x01", "=",   ";",
};

using testing::Utf16;

// A set-up whose every text differs from the start-up one; awkward texts
// are spread over the kinds of place (plain value, cell, correction's name).
TSetup FullSetup() {
    TSetup setup;
    setup.Cylinders = "4";
    setup.Strokes = "4";
    setup.Speed = "3000";
    for (std::size_t k = 0; k < kAwkwardTexts.size(); ++k) {
        setup.CylinderTable[k / 6][k % 6] = kAwkwardTexts[k];
    }
    setup.Corrections.clear();
    for (const std::string& text : kAwkwardTexts) {
        setup.Corrections.push_back({text, text});
    }
    setup.GlobalCorrection = " -1,5";
    setup.CrankAngle = 720;
    setup.Filter = 96;
    setup.Gain = 55;
    setup.KindsShown = {true, false, true, false};
    setup.ValveTiming = {"1-3-4-2", "180;180;180;180", "274", "286.5", "106", "", 3};
    setup.Combustion.Geometry.Bore = "a\nb";
    setup.Combustion.Geometry.Gamma = "1,3";
    setup.Combustion.TdcShift = "0,75";
    setup.Combustion.LossAngle = "0,8";
    setup.Combustion.PegMethod = "polytropic";
    setup.Combustion.PegRange = "240;290,5";
    setup.SignalImport.Encoder.KnockThreshold = "=2";
    setup.SignalImport.Encoder.KnockBand = "";
    setup.Combustion.CyclePath = "/tmp/cyklus ;1.csv";
    setup.SignalImport.Kind = TSignalImportKind::Encoder;
    setup.SignalImport.Path = " měření.csv";
    setup.SignalImport.Encoder.Path = "[enc].csv";
    setup.SignalImport.Encoder.TimeColumn = "3";
    setup.SignalImport.Encoder.Phase = 2;
    setup.SignalImport.Encoder.PressureScale = "0,01";
    return setup;
}

template <typename Read>
std::string MessageOf(Read&& read) {
    try {
        read();
    } catch (const ESetupFileError& failure) {
        return failure.what();
    }
    return "no failure";
}

// The failure of the text's reading; the file's reading must fail alike.
std::string Message(const std::string& text) {
    const std::string message = MessageOf([&] { ParseSetupText(text, "a.morvane"); });
    const std::string path = ::testing::TempDir() + "morvane_message.morvane";
    WriteFileReplacing(path, text);
    TLineReader lines(path);
    EXPECT_EQ(MessageOf([&] { ReadSetupFile(lines, "a.morvane"); }), message) << "read from a file";
    std::remove(path.c_str());
    return message;
}

TEST(SetupFileTest, EveryTextReadsBackAsTyped) {
    const TSetup setup = FullSetup();
    const std::string text = SetupText(setup);
    EXPECT_TRUE(ParseSetupText(text, "a.morvane") == setup) << text;

    const std::string path = ::testing::TempDir() + "morvane_setup.morvane";
    WriteSetupFile(path, setup);
    // A file's relative paths are taken from its folder.
    TSetup resolved = setup;
    ResolveSetupPaths(resolved, SetupFolderOf(path));
    EXPECT_TRUE(ReadSetupFile(path) == resolved);
    EXPECT_TRUE(IsSetupFile(path));
    std::remove(path.c_str());
}

// A byte no UTF-8 character holds (an escape may give one) is written escaped,
// so the line stays one the reader takes.
TEST(SetupFileTest, BytesOutsideUtf8WriteEscaped) {
    TSetup setup;
    setup.Speed = "\xC3(\xFF\xC3\xA1";
    const std::string text = SetupText(setup);
    EXPECT_NE(text.find("Otáčky motoru [RPM]=\\xC3(\\xFFá\n"), std::string::npos);
    EXPECT_TRUE(ParseSetupText(text, "a.morvane") == setup);
}

// The form is what users diff and edit: its lines are pinned.
TEST(SetupFileTest, LinesOfTheForm) {
    const std::string text = SetupText(FullSetup());
    const char* const lines[] = {
        "Morvane nastavení 1\n\n[Hlavní parametry]\nPočet válců [1]=4\n",
        "\n[Válce]\n1=;12.5;\\slead;trail\\s;\\s\\s;a\\;b\n",
        "2=k=v;[x];Žluťoučký kůň úpěl;C:\\\\data\\\\a.csv;a\\nb;\\r\n3=\\t1\\t;\\\\s;#;\\x01;=;\\;\n4=0;",
        "\n[Korekce]\n=\n12.5=12.5\n\\slead=\\slead\n",
        "a;b=a;b\nk\\=v=k=v\n\\[x]=[x]\n",
        "\\t1\\t=\\t1\\t\n\\\\s=\\\\s\n#=#\n\\x01=\\x01\n\\===\n;=;\n",
        "Globální korekce [°]=\\s-1,5\nÚhel kliky [°]=720\n",
        "Písty=ano\nSací ventily=ne\n",
        "Vybraný válec=3\n",
        "Vztažení tlaku=Polytropické\nRozsah vztažení [°]=240;290,5\n",
        "Pásmo klepání [Hz]=\nPráh klepání [bar]==2\n",
        "Citlivost snímače [bar/jednotka]=0,01\n",
        "Druh=snímač\nSoubor=\\směření.csv\n",
    };
    for (const char* line : lines) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

TEST(SetupFileTest, WhatThisReaderDoesNotKnowIsSkipped) {
    struct TRow {
        const char* Name;
        const char* Text;
    };
    const TRow rows[] = {
        {"unknown section", "Morvane nastavení 1\n[Budoucí]\nx=1\nřádek bez rovnítka \\q\n"},
        {"unknown key", "Morvane nastavení 1\n[Rozvod]\nNový klíč=1\n"},
        {"row outside the table", "Morvane nastavení 1\n[Válce]\n13=1;2\n0=1\nx=1\n"},
        {"newer version", "Morvane nastavení 7\n[Nový oddíl]\na=b\n"},
        {"empty lines, no sections", "Morvane nastavení 1\n\n  \n"},
        {"nameless section", "Morvane nastavení 1\n[ ]\nx\n"},
    };
    for (const TRow& r : rows) {
        SCOPED_TRACE(r.Name);
        EXPECT_TRUE(ParseSetupText(r.Text, "a.morvane") == TSetup());
    }
}

// Both passes of a piston share an event name, so its corrections do too.
TEST(SetupFileTest, CorrectionNamesRepeatAsTheEventsDo) {
    const TSetup setup =
        ParseSetupText("Morvane nastavení 1\n[Korekce]\nPíst 1 - HU=1\nPíst 1 - HU=2\n", "a.morvane");
    EXPECT_EQ(setup.Corrections, (std::vector<TCorrectionText>{{"Píst 1 - HU", "1"}, {"Píst 1 - HU", "2"}}));
}

// A file's name is quoted as every message quotes a user's text.
TEST(SetupFileTest, FileNamesAreQuotedInMessages) {
    EXPECT_EQ(MessageOf([] { ParseSetupText("x\n", "a\n\x1B[31mb.morvane"); }),
              "Soubor \"a\\x0A\\x1B[31mb.morvane\", řádek 1: soubor není nastavení Morvane (první řádek má "
              "být \"Morvane nastavení 1\")");
}

// Files of the earlier form kept a range as two keys; they read as they were.
TEST(SetupFileTest, FormerRangeKeysReadJoined) {
    struct TRow {
        const char* Lines;
        const char* PegRange;
        const char* KnockBand;
    };
    const TRow rows[] = {
        {"", "", "4000,20000"},
        {"Vyrovnání od [°]=175\nVyrovnání do [°]=185\n", "175,185", "4000,20000"},
        {"Vyrovnání od [°]=170,5\nVyrovnání do [°]=190\n", "170,5;190", "4000,20000"},
        {"Vyrovnání do [°]=190\nPásmo klepání od [Hz]=5000\n", "175,190", "5000,20000"},
        {"Rozsah vyrovnání [°]=\nVyrovnání od [°]=175\n", "", "4000,20000"},
        {"Pásmo klepání [Hz]=1,2\nPásmo klepání od [Hz]=3\n", "", "1,2"},
    };
    for (const TRow& r : rows) {
        SCOPED_TRACE(r.Lines);
        const TSetup setup =
            ParseSetupText(std::string("Morvane nastavení 1\n[Spalování]\n") + r.Lines, "a.morvane");
        EXPECT_EQ(setup.Combustion.PegRange, r.PegRange);
        EXPECT_EQ(setup.SignalImport.Encoder.KnockBand, r.KnockBand);
    }
}

// Earlier files named the pegging otherwise and wrote the batch tool's words.
TEST(SetupFileTest, FormerKeysAndWordsRead) {
    struct TRow {
        const char* Lines;
        const char* Method;
    };
    for (const TRow& row :
         {TRow{"Vyrovnání tlaku=point\nExponent vyrovnání [1]=1,3\n", "point"},
          TRow{"Vztažení tlaku=Polytropické\nExponent polytropy [1]=1,3\n", "polytropic"},
          TRow{"Vztažení tlaku=none\nTlak vyrovnání [bar]=1\nExponent polytropy [1]=1,3\n", "none"},
          TRow{"Vztažení tlaku=none\nExponent polytropy [1]=1,3\nPřestup tepla=woschni\nModel γ=Brunt\n",
               "none"}}) {
        SCOPED_TRACE(row.Lines);
        const TSetup setup =
            ParseSetupText(std::string("Morvane nastavení 1\n[Spalování]\n") + row.Lines, "a.morvane");
        EXPECT_EQ(setup.Combustion.PegMethod, row.Method);
        EXPECT_EQ(setup.Combustion.PegExponent, "1,3");
        const bool withModel = std::string(row.Lines).find("woschni") != std::string::npos;
        EXPECT_EQ(setup.Combustion.HeatTransfer.Model, withModel ? "woschni" : "none");
        EXPECT_EQ(setup.Combustion.HeatTransfer.Gamma, withModel ? "brunt" : "constant");
    }
}

// As the window saves: the engine's rows, paths from the file's folder, each
// once, and the view only when asked.
TEST(SetupFileTest, SavedFormKeepsTheWorkOnly) {
    TSetup setup = FullSetup();
    const std::string folder = ::testing::TempDir() + "morvane_form";
    setup.SignalImport.Path = folder + "/data/měření.csv";
    setup.SignalImport.Encoder.Path = setup.SignalImport.Path;
    setup.Combustion.CyclePath = "/elsewhere/cyklus.csv";
    const std::string text = SetupText(setup, {.WithView = false, .EngineRowsOnly = true, .Folder = folder});
    for (const char* absent :
         {"\n5=", "Úhel kliky", "Písty=", "Vybraný válec", "Soubor snímače", folder.c_str()}) {
        EXPECT_EQ(text.find(absent), std::string::npos) << absent;
    }
    EXPECT_NE(text.find("\nSoubor=data/měření.csv\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nTlakový průběh=/elsewhere/cyklus.csv\n"), std::string::npos) << text;

    const TSetup read = ParseSetupText(text, "a.morvane");
    EXPECT_EQ(read.CrankAngle, TSetup().CrankAngle);
    EXPECT_EQ(read.CylinderTable[4], TSetup().CylinderTable[4]);
    EXPECT_EQ(read.CylinderTable[3], setup.CylinderTable[3]);
    EXPECT_EQ(read.SignalImport.Encoder.Path, "data/měření.csv");
}

TEST(SetupPathsTest, RelativeUnderTheFolderOnly) {
    struct TRow {
        const char* Path;
        const char* Folder;
        const char* Written;
    };
    for (const TRow& row : {TRow{"/a/b/c.csv", "/a/b", "c.csv"}, TRow{"/a/b/d/c.csv", "/a/b/", "d/c.csv"},
                            TRow{"/a/bc/c.csv", "/a/b", "/a/bc/c.csv"}, TRow{"/a/b", "/a/b", "/a/b"},
                            TRow{"/a/b/../c.csv", "/a/b", "/a/b/../c.csv"}, TRow{"c.csv", "/a/b", "c.csv"},
                            TRow{"/a/b/c.csv", "", "/a/b/c.csv"}, TRow{"", "/a/b", ""}}) {
        SCOPED_TRACE(std::string(row.Path) + " in " + row.Folder);
        EXPECT_EQ(PathRelativeTo(row.Path, row.Folder), row.Written);
    }
    EXPECT_EQ(PathFrom("d/c.csv", "/a/b"), "/a/b/d/c.csv");
    EXPECT_EQ(PathFrom("/x/c.csv", "/a/b"), "/x/c.csv");
    EXPECT_EQ(PathFrom("c.csv", ""), "c.csv");
    EXPECT_EQ(SetupFolderOf("/dev/stdin"), "");
    EXPECT_EQ(SetupFolderOf("/a/b/e.morvane"), "/a/b");
}

TEST(SetupFileTest, HandWrittenLinesRead) {
    const TSetup setup = ParseSetupText(
        "\xEF\xBB\xBFMorvane nastavení 1\r\n[ Časová osa ]\r\n Zesílení = 20 \r\n"
        "[Válce]\r\n2 = 1 ; 2\\s\r\n[Hlavní parametry]\r\nPočet válců [1]=3\r\n",
        "a.morvane");
    EXPECT_EQ(setup.Gain, 20);
    EXPECT_EQ(setup.CylinderTable[1], (TCylinderRowTexts{"1", "2 ", "", "", "", ""}));
    EXPECT_EQ(setup.Cylinders, "3");
    EXPECT_EQ(setup.Corrections, (std::vector<TCorrectionText>{{"", ""}}));  // no section: as at start
}

TEST(SetupFileTest, BadFilesNameTheLine) {
    struct TRow {
        std::string Text;
        const char* Message;
    };
    const std::string head = "Morvane nastavení 1\n";
    const TRow rows[] = {
        {"", "Soubor \"a.morvane\", řádek 1: soubor je prázdný, není nastavení Morvane"},
        // A byte-order mark and nothing before a NUL byte: as empty as the file reader sees it.
        {std::string("\xEF\xBB\xBF\0x", 5),
         "Soubor \"a.morvane\", řádek 1: soubor je prázdný, není nastavení Morvane"},
        {"Válec č.;Přesazení\n1;0\n",
         "Soubor \"a.morvane\", řádek 1: soubor není nastavení Morvane (první řádek má být \"Morvane "
         "nastavení 1\")"},
        {"Morvane nastavení 0\n",
         "Soubor \"a.morvane\", řádek 1: soubor není nastavení Morvane (první "
         "řádek má být \"Morvane nastavení 1\")"},
        {head + "a=1\n", "Soubor \"a.morvane\", řádek 2: hodnota před prvním oddílem"},
        {head + "\n[Rozvod\n", "Soubor \"a.morvane\", řádek 3: oddíl nekončí znakem ]"},
        {head + "[Rozvod]\nbez rovnítka\n",
         "Soubor \"a.morvane\", řádek 3: řádek není oddíl [název] ani klíč=hodnota"},
        {head + "[Rozvod]\nPořadí zapalování=1\\q\n",
         "Soubor \"a.morvane\", řádek 3: '\\q' není platná posloupnost se zpětným lomítkem"},
        {head + "[Válce]\n1=0;\\x4\n",
         "Soubor \"a.morvane\", řádek 3: '\\x4' není platná posloupnost se zpětným lomítkem"},
        {head + "[Korekce]\nPíst=\\\n",
         "Soubor \"a.morvane\", řádek 3: '\\' není platná posloupnost se zpětným lomítkem"},
        {head + "[Časová osa]\nZesílení=5\n",
         "Soubor \"a.morvane\", řádek 3: '5' není celé číslo od 10 do 100"},
        {head + "[Časová osa]\n\nÚhel kliky [°]=1,5\n",
         "Soubor \"a.morvane\", řádek 4: '1,5' není celé číslo od 0 do 720"},
        {head + "[Časová osa]\nPísty=1\n", "Soubor \"a.morvane\", řádek 3: '1' není ano ani ne"},
        {head + "[Import signálu]\nDruh=ANGLE\n",
         "Soubor \"a.morvane\", řádek 3: 'ANGLE' není druh importu (úhel, čas, snímač)"},
        {head + "[Spalování]\nVyrovnání tlaku=bodově\n",
         "Soubor \"a.morvane\", řádek 3: 'bodově' není způsob vztažení tlaku (Žádné, Bodové, Polytropické)"},
        {head + "[Spalování]\nPřestup tepla=Annand\n",
         "Soubor \"a.morvane\", řádek 3: 'Annand' není žádná z možností (Žádný, Woschni, Hohenberg)"},
        {head + "[Spalování]\nVztažení tlaku=Bodové\nVyrovnání tlaku=point\n",
         "Soubor \"a.morvane\", řádek 4: klíč 'Vztažení tlaku' je v oddílu podruhé (poprvé na řádku 3)"},
        // What would be read otherwise than it was written.
        {head + "[Hlavní parametry]\nPočet válců [1]=2\n\0[Válce]\n1=0;350;0;180;540;720\n"s,
         "Soubor \"a.morvane\", řádek 4: obsahuje nulový bajt, soubor není text"},
        {head + "[Rozvod]\nSání [°]=274\0"s,
         "Soubor \"a.morvane\", řádek 3: obsahuje nulový bajt, soubor není text"},
        {head + "[Hlavn\xED parametry]\n",
         "Soubor \"a.morvane\", řádek 2: řádek není v kódování UTF-8; uložte soubor jako text v UTF-8"},
        {Utf16(head),
         "Soubor \"a.morvane\", řádek 1: soubor je v kódování UTF-16; uložte jej jako text v UTF-8"},
        {Utf16(head).substr(2),
         "Soubor \"a.morvane\", řádek 1: soubor je v kódování UTF-16; uložte jej jako text v UTF-8"},
        {"\xFF\xFE\0\0M\0\0\0"s,
         "Soubor \"a.morvane\", řádek 1: soubor je v kódování UTF-32; uložte jej jako text v UTF-8"},
        {head + "[Časová osa]\nZesílení=20\n[Rozvod]\n[Časová osa]\nZesílení=30\n",
         "Soubor \"a.morvane\", řádek 6: klíč 'Zesílení' je v oddílu podruhé (poprvé na řádku 3)"},
        {head + "[Válce]\n1=0;350\n01=0;360\n",
         "Soubor \"a.morvane\", řádek 4: klíč '01' je v oddílu podruhé (poprvé na řádku 3)"},
        {head + "[Válce]\n1=1;0;350;0;180;540;720\n",
         "Soubor \"a.morvane\", řádek 3: válec 1 má víc než 6 buněk (přesazení, zapalování, SV otvírá, SV "
         "zavírá, VV otvírá, VV zavírá)"},
        {"Morvane nastavení 1.1\n",
         "Soubor \"a.morvane\", řádek 1: verze nastavení '1.1' není známá (první řádek má být \"Morvane "
         "nastavení 1\")"},
        {"Morvane nastaven\xED 1\n",
         "Soubor \"a.morvane\", řádek 1: řádek není v kódování UTF-8; uložte soubor jako text v UTF-8"},
    };
    for (const TRow& r : rows) {
        SCOPED_TRACE(r.Text);
        EXPECT_EQ(Message(r.Text), r.Message);
    }
}

TEST(SetupFileTest, TooLongFilesAreRefusedAtTheLimit) {
    std::string manyLines = "Morvane nastavení 1\n";
    manyLines.append(kSetupFileMaxLines, '\n');
    EXPECT_EQ(Message(manyLines), "Soubor \"a.morvane\", řádek 100001: soubor má víc než 100000 řádků");

    EXPECT_EQ(Message("Morvane nastavení 1\n" + std::string(kSetupFileMaxLineBytes + 1, 'x')),
              "Soubor \"a.morvane\", řádek 2: řádek je delší než 64 kB");
    // The file's reader cuts a line longer than its buffer; the message is the same.
    const std::string path = ::testing::TempDir() + "morvane_long_line.morvane";
    WriteFileReplacing(path, "Morvane nastavení 1\n[Budoucí]\n" + std::string(3u << 20, 'x') + "\n");
    try {
        ReadSetupFile(path);
        ADD_FAILURE() << "no failure";
    } catch (const ESetupFileError& failure) {
        EXPECT_EQ(failure.what(), "Soubor \"" + path + "\", řádek 3: řádek je delší než 64 kB");
    }
    std::remove(path.c_str());

    std::string bigLines = "Morvane nastavení 1\n[Budoucí]\n";
    const std::string line(1023, 'x');
    for (int k = 0; k < 10 * 1024; ++k) {
        bigLines += line + "\n";
    }
    EXPECT_EQ(Message(bigLines), "Soubor \"a.morvane\", řádek 10242: soubor je větší než 10 MB");
    // The limit counts bytes: a line break of two bytes counts two.
    std::string crlfLines = "Morvane nastavení 1\r\n[Budoucí]\r\n";
    for (int k = 0; k < 10 * 1024; ++k) {
        crlfLines += line.substr(1) + "\r\n";
    }
    EXPECT_EQ(Message(crlfLines), "Soubor \"a.morvane\", řádek 10242: soubor je větší než 10 MB");
}

TEST(SetupFileTest, FirstLines) {
    struct TRow {
        const char* Line;
        bool IsSetup;
    };
    const TRow rows[] = {
        {"Morvane nastavení 1", true},
        {"\xEF\xBB\xBFMorvane nastavení 12 ", true},
        {"Morvane nastavení", false},
        {"Morvane nastavení x", false},
        {"Morvane nastavení -1", false},
        {"Válec č.;Přesazení;Zapalování", false},
        {"", false},
    };
    for (const TRow& r : rows) {
        EXPECT_EQ(IsSetupFirstLine(r.Line), r.IsSetup) << r.Line;
    }
    EXPECT_FALSE(IsSetupFile(::testing::TempDir() + "morvane_no_such_setup.morvane"));
}

class SetupControlsTest : public testing::TSessionTest {
protected:
    static std::vector<std::vector<std::string>> rowsOf(const TMemoryGrid& grid) {
        std::vector<std::vector<std::string>> cells;
        for (int row = 0; row < grid.rowCount(); ++row) {
            cells.push_back({grid.cellText(0, row), grid.cellText(1, row), grid.cellText(2, row)});
        }
        return cells;
    }
};

// A set-up and the plain cylinder-table file with the same cells make the same
// event table.
TEST_F(SetupControlsTest, SetupGivesTheEventsOfTheSameCylinderTable) {
    const std::string tableText = "h\n0;-31;345;-31;243;463;749\n0;360;705;329;603;103;389\n";
    std::vector<char> buffer(tableText.begin(), tableText.end());
    const auto views = SplitTextLines(std::string_view(buffer.data(), buffer.size()));
    const TTextLines lines(std::move(buffer), views);

    TMemoryMainControls plain;
    FillCylinderTable(lines, plain.CylinderTable, kDecimalComma);
    plain.MainParameters.setValue(kCylinderCountRow, "2");
    TSession plainSession;
    CreateEventsAndRecalculate(plain.CylinderTable, plainSession, plain.Recalc);
    GlobalCorrectionChanged("2", plainSession, plain.Recalc);

    TSetup setup;
    TakeEditTexts(plain.MainParameters, plain.CylinderTable, plain.CorrectionList, setup);
    setup = ParseSetupText(SetupText(setup), "a.morvane");
    TMemoryMainControls opened;
    FillEditControls(setup, opened.MainParameters, opened.CylinderTable);
    CreateSetupEvents(opened.CylinderTable, "2", setup.Corrections, m_session, opened.Recalc);

    EXPECT_EQ(rowsOf(opened.EventGrid), rowsOf(plain.EventGrid));
    EXPECT_EQ(opened.EventGrid.rowCount(), 19);
    EXPECT_EQ(opened.ComputedParameters.value(kCycleTimeRow), "120");
}

// A correction follows its event's name, wherever the event now sorts.
TEST_F(SetupControlsTest, CorrectionsFindTheirEventsByName) {
    TMemoryMainControls window;
    const std::vector<TCorrectionText> corrections = {
        {"Píst 1 - DU", "-200"}, {"Zapalování 1", "0,5"}, {"Událost jiného motoru", "9"}};
    CreateSetupEvents(window.CylinderTable, "0", corrections, m_session, window.Recalc);

    std::vector<std::string> rows;
    for (int row = 1; row <= window.CorrectionList.rowCount(); ++row) {
        rows.push_back(window.CorrectionList.key(row) + "=" + window.CorrectionList.value(row));
    }
    // A piston's two passes share a name: the first listed takes the first correction.
    EXPECT_EQ(rows,
              (std::vector<std::string>{"Píst 1 - HU=0", "Píst 1 - SV otvírá=0", "Píst 1 - SV zavírá=0",
                                        "Píst 1 - VV otvírá=0", "Píst 1 - VV zavírá=0", "Zapalování 1=0,5",
                                        "Píst 1 - HU=0", "Píst 1 - DU=0", "Píst 1 - DU=-200"}));
    EXPECT_EQ(window.EventGrid.cellText(1, 9), "700");  // 180 - 200, moved by 720
}

TEST_F(SetupControlsTest, ControlsTakeBackWhatTheyGave) {
    const TSetup setup = FullSetup();
    TMemoryMainControls window;
    FillEditControls(setup, window.MainParameters, window.CylinderTable);
    TSetup taken;
    TakeEditTexts(window.MainParameters, window.CylinderTable, window.CorrectionList, taken);
    EXPECT_EQ(taken.CylinderTable, setup.CylinderTable);
    EXPECT_EQ(taken.Speed, "3000");
    EXPECT_EQ(window.CylinderTable.cellText(NumberColumn, 3), "3");  // the row numbers stay
    EXPECT_EQ(taken.Corrections, (std::vector<TCorrectionText>{{"", ""}}));
}

}  // namespace
}  // namespace morvane
