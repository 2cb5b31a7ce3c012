#pragma once

// The set-up file (.morvane): a TSetup as UTF-8 text that reads well and
// diffs well.
//
//   Morvane nastavení 1
//   [Hlavní parametry]
//   Počet válců [1]=4
//   [Válce]
//   1=-31;345,5;-31;243;463;749
//   [Korekce]
//   Píst 1 - HU=0,5
//
// The first line names the form and its version. Then sections, each a line
// "[name]" followed by "key=value" lines; empty lines are skipped. A cylinder
// row is one line, its six cells separated by ';'. Blanks around a section
// name, a key, a value and a cell are not part of them, so a file edited by
// hand may write "key = value".
//
// Escapes, in keys, values and cells: "\\" a backslash, "\n" a line feed,
// "\r" a carriage return, "\t" a tab, "\xHH" any other byte below 32 or 127
// and any byte that is no part of a UTF-8 character (a line is UTF-8), "\s" a
// space (written for a space at either end of a text), "\=" an equals sign
// (written in keys), "\;" a semicolon (written in cells), "\[" a bracket
// (written at the start of a key). Any other backslash is a bad line.
//
// Reading is forgiving where a newer program may have added something and
// strict elsewhere: a section or a key this reader does not know is skipped,
// a cylinder row beyond the table too, and a later version number is read by
// the same rules (later versions only add sections and keys). A value missing
// from the file keeps its start-up text. A line that is neither a section nor
// "key=value", a value outside a section, a bad escape, a number or a yes/no
// that does not read, a key given twice in a section (but the event names of
// [Korekce], which repeat as the events' names do), a cylinder row of more
// than six cells, a line that is not UTF-8 and a NUL byte fail with
// ESetupFileError naming the line, and nothing is returned. A byte-order
// mark before the first line is skipped.
//
// Ranges are one "FROM,TO" text as their field holds it. Earlier files wrote
// the pegging range and the knock band as two keys ("Vyrovnání od [°]" and
// "Vyrovnání do [°]", "Pásmo klepání od [Hz]" and "... do [Hz]"); those are
// still read, joined into the one text. An empty pegging range is the
// method's own default. Keys are named as the page's labels; the pegging keys
// of earlier files ("Vyrovnání tlaku", "Rozsah vyrovnání [°]", "Tlak
// vyrovnání [bar]", "Exponent vyrovnání [1]") are read as the keys they
// became. The pegging method is written as the page shows it (Žádné, Bodové,
// Polytropické) and read so or as the batch tool names it (none, point,
// polytropic). The encoder's file ("Soubor snímače") is left out where it is
// the encoder import's own file ("Soubor"), and a file without it gives it so.

#include <string>
#include <string_view>

#include "events/Setup.h"
#include "util/linereader.h"

namespace morvane {

// The first line's words before the version number, and the version written.
inline constexpr std::string_view kSetupFileMagic = "Morvane nastavení";
// A first line that starts so is read as a set-up's version line, whatever
// follows (another encoding of "í", a version this reader does not know).
inline constexpr std::string_view kSetupFormName = "Morvane nastaven";
inline constexpr int kSetupFileVersion = 1;
// A larger file is refused as soon as the reader passes the limit.
inline constexpr std::size_t kSetupFileMaxBytes = 10u << 20;
inline constexpr std::size_t kSetupFileMaxLines = 100000;
// No text of a set-up comes near this; a longer line is refused.
inline constexpr std::size_t kSetupFileMaxLineBytes = 1u << 16;

// What a written file holds besides the work itself. The window saves the
// engine's rows only, paths from the file's folder, and the view only when
// the user asks for it; the defaults write every text as it stands.
struct TSetupFileForm {
    bool WithView = true;         // the cursor and sliders, the kinds shown, the selected cylinder
    bool EngineRowsOnly = false;  // only rows 1 .. the cylinder count, when it reads as one
    std::string Folder;           // paths under it are written relative to it (events/SetupPaths.h)
};

// The file's text for the set-up, every line ended by a line feed.
std::string SetupText(const TSetup& setup, const TSetupFileForm& form = {});

// Replaces the file at path with SetupText (see WriteFileReplacing).
void WriteSetupFile(const std::string& path, const TSetup& setup, const TSetupFileForm& form = {});

// Reads the set-up of a text; path only names the file in a failure.
TSetup ParseSetupText(std::string_view text, std::string_view path);

// Reads the file line by line (a file over the limits is refused without
// being read whole). A file that cannot be opened raises EFOpenError.
TSetup ReadSetupFile(const std::string& path);

// A set-up file read, and whether it holds the view, so that saving it again
// keeps what it held.
struct TSetupFileRead {
    TSetup Setup;
    bool WithView = false;
};
TSetupFileRead ReadSetupFileForm(const std::string& path);

// The same from a reader at the file's first line (given again or not yet
// read); path only names the file in a failure, and locates its relative
// paths. withView, when given, tells whether the file holds the view.
TSetup ReadSetupFile(TLineReader& lines, std::string_view path, bool* withView = nullptr);

// True when the line (a file's first, a byte-order mark allowed) is a set-up
// file's version line; a cylinder-table file's first line is its header.
bool IsSetupFirstLine(std::string_view line);

// True when the line starts as a set-up's version line does (kSetupFormName):
// the file is then read as a set-up, and a version line that does not read
// is refused as such rather than read as a cylinder table's header.
bool ClaimsSetupFirstLine(std::string_view line);

// True when the file's first line is a set-up's version line; false for any
// other file, and for one that cannot be read (its reader then reports that).
bool IsSetupFile(const std::string& path);

}  // namespace morvane
