#pragma once

// The typed failures of the program. A command ends at the first failure; the
// command guard shows its message in the error box. Each kind is raised by one
// function below, so every message format lives in one place.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace morvane {

class EMorvaneError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EConvertError : public EMorvaneError {
public:
    using EMorvaneError::EMorvaneError;
};

class EFOpenError : public EMorvaneError {
public:
    using EMorvaneError::EMorvaneError;
};

class EListError : public EMorvaneError {
public:
    using EMorvaneError::EMorvaneError;
};

// The three trapped floating-point faults.
class EMathError : public EMorvaneError {
public:
    using EMorvaneError::EMorvaneError;
};

class EZeroDivide : public EMathError {
public:
    using EMathError::EMathError;
};

class EInvalidOp : public EMathError {
public:
    using EMathError::EMathError;
};

class EOverflow : public EMathError {
public:
    using EMathError::EMathError;
};

// A cylinder-table file whose shape does not fit the table (too many rows).
class ECylinderTableError : public EMorvaneError {
public:
    using EMorvaneError::EMorvaneError;
};

// A failure of an import that has no more specific kind (an empty time file).
class EImportError : public EMorvaneError {
public:
    using EMorvaneError::EMorvaneError;
};

// A value the user gave that lies outside what a calculation can take (a
// non-positive bore, a connecting rod shorter than the crank radius).
class EInputError : public EMorvaneError {
public:
    using EMorvaneError::EMorvaneError;
};

// A firing order, its intervals or the cylinder count they are meant for do
// not describe an engine.
class EEngineSetupError : public EMorvaneError {
public:
    using EMorvaneError::EMorvaneError;
};

// A set-up file that is not one, or one of its lines that cannot be read.
class ESetupFileError : public EMorvaneError {
public:
    using EMorvaneError::EMorvaneError;
};

// A reading the user stopped (util/progress.h): no failure, so the command
// guard shows nothing and the command changes nothing.
class ECancelled : public EMorvaneError {
public:
    using EMorvaneError::EMorvaneError;
};

[[noreturn]] void RaiseCancelled();                                 // "Přerušeno"
[[noreturn]] void RaiseIntegerConvertError(std::string_view text);  // "'%s' is not a valid integer value"
[[noreturn]] void RaiseFloatConvertError(
    std::string_view text);           // "'%s' is not a valid floating point value"
[[noreturn]] void RaiseZeroDivide();  // "Floating point division by zero"
[[noreturn]] void RaiseInvalidOp();   // "Invalid floating point operation"
[[noreturn]] void RaiseOverflow();    // "Floating point overflow"
[[noreturn]] void RaiseFileOpenError(std::string_view fullPath,
                                     std::string_view reason);  // Cannot open file "%s". %s
[[noreturn]] void RaiseFileCreateError(std::string_view path,
                                       std::string_view reason);  // Cannot create file "%s". %s
// An existing output the user may not write (or marked read-only for all), as
// EFOpenError: Soubor "%s" je chráněn proti zápisu, nepřepíše se
[[noreturn]] void RaiseFileWriteProtectedError(std::string_view path);
// A file whose reading has not ended within the time the batch tool allows it
// (its --timeout, in seconds as written), as EFOpenError:
// Soubor "%s" nebyl přečten do %s s (--timeout)
[[noreturn]] void RaiseFileTimeoutError(std::string_view path, std::string_view seconds);
[[noreturn]] void RaiseListIndexError(long long index);  // "List index out of bounds (%d)"
// An import file that cannot give a signal: The file "%s" %s (the problem, e.g. "holds no values").
[[noreturn]] void RaiseImportError(std::string_view path, std::string_view problem);
// A cylinder-table file with more data lines than the table has rows:
// "the cylinder table has %d rows, the file gives %d".
[[noreturn]] void RaiseCylinderTableRowsError(int tableRows, int fileRows);
// The same for a file read only as far as fileRows data lines:
// "the cylinder table has %d rows, the file gives more than %d".
[[noreturn]] void RaiseCylinderTableTooLongError(int tableRows, int fileRows);
// A cylinder-table file's cell that cannot be used:
// "Tabulka válců, řádek %d, sloupec %d: %s" (the file's line and field, counted
// from 1; the problem, e.g. "chybí hodnota").
[[noreturn]] void RaiseCylinderTableCellError(int line, int column, std::string_view problem);
// A value outside its range: "%s musí být %s" (the quantity with its unit, the
// requirement), e.g. "Vrtání [mm] musí být větší než 0".
[[noreturn]] void RaiseInputError(std::string_view quantity, std::string_view requirement);

// "Počet válců %d není od 1 do 12" (the bounds given).
[[noreturn]] void RaiseCylinderCountError(long long count, int lowest, int highest);
// "Pořadí zapalování '%s': %s" (the problem, e.g. "válec 3 je uveden dvakrát").
[[noreturn]] void RaiseFiringOrderError(std::string_view order, std::string_view problem);
// "Intervaly zapalování '%s': %s" (the problem, e.g. "součet je 700°, má být 720°").
[[noreturn]] void RaiseFiringIntervalsError(std::string_view intervals, std::string_view problem);
// A measurement line that cannot be read: Řádek %d '%s': %s (the problem, e.g. "chybí sloupec 3").
[[noreturn]] void RaiseRecordingLineError(std::int64_t line, std::string_view text, std::string_view problem);
// A revolution of a toothed wheel with the wrong edge count:
// Otáčka %d: nalezeno hran %d, kolo jich má %d
[[noreturn]] void RaiseRevolutionError(std::int64_t revolution, std::int64_t found, std::int64_t expected);
// A measurement that gives no signal as a whole; the problem is the message.
[[noreturn]] void RaiseRecordingError(std::string_view problem);
// A text longer than a cell or field of the window takes, refused whole:
// "Buňka nebo pole pojme nejvýše %d znaků, delší text nebyl zapsán".
[[noreturn]] void RaiseTextTooLongError(int limit);
// A measurement that fails at a line whose text is no longer at hand: Řádek %d: %s
[[noreturn]] void RaiseRecordingAtLineError(std::int64_t line, std::string_view problem);
// A set-up file that cannot be read: Soubor "%s", řádek %d: %s (the problem,
// e.g. "chybí znak ]").
[[noreturn]] void RaiseSetupFileError(std::string_view path, std::int64_t line, std::string_view problem);
// A text of a set-up file's line that cannot be read: Soubor "%s", řádek %d: '%s' %s
// (the text, the problem, e.g. "není celé číslo").
[[noreturn]] void RaiseSetupValueError(std::string_view path, std::int64_t line, std::string_view text,
                                       std::string_view problem);
// A value of a set-up file that cannot be used, named by its key:
// Soubor "%s", klíč "%s" v oddílu [%s]: %s (e.g. "soubor "a.csv" neexistuje").
[[noreturn]] void RaiseSetupKeyError(std::string_view path, std::string_view section, std::string_view key,
                                     std::string_view problem);
// A text file that is not UTF-8 text as a whole: Soubor "%s": %s (the problem,
// e.g. "soubor je v kódování UTF-16; uložte jej jako text v UTF-8").
[[noreturn]] void RaiseTextFileError(std::string_view path, std::string_view problem);
// One of its lines: Soubor "%s", řádek %d: %s (e.g. "obsahuje nulový bajt, soubor není text").
[[noreturn]] void RaiseTextFileLineError(std::string_view path, std::int64_t line, std::string_view problem);
// Quoted texts and file names in every message are cut after 200 characters
// and end in "…"; line breaks and other control characters in them are shown
// as \xHH.

}  // namespace morvane
