#include "util/errors.h"

#include "util/quote.h"

namespace morvane {

namespace {

std::string Quoted(std::string_view text, std::string_view tail) {
    std::string message = "'" + ShortenedQuote(text) + "'";
    message += tail;
    return message;
}

// Cannot <action> file "<path>". <reason>; a path of 131,000 characters is
// quoted shortened like any other text.
std::string FileMessage(std::string_view action, std::string_view path, std::string_view reason) {
    std::string message = "Cannot ";
    message += action;
    message += " file \"";
    message += ShortenedQuote(path);
    message += "\". ";
    message += reason;
    return message;
}

}  // namespace

void RaiseCancelled() {
    throw ECancelled("Přerušeno");
}

void RaiseIntegerConvertError(std::string_view text) {
    throw EConvertError(Quoted(text, " is not a valid integer value"));
}

void RaiseFloatConvertError(std::string_view text) {
    throw EConvertError(Quoted(text, " is not a valid floating point value"));
}

void RaiseZeroDivide() {
    throw EZeroDivide("Floating point division by zero");
}

void RaiseInvalidOp() {
    throw EInvalidOp("Invalid floating point operation");
}

void RaiseOverflow() {
    throw EOverflow("Floating point overflow");
}

void RaiseFileOpenError(std::string_view fullPath, std::string_view reason) {
    throw EFOpenError(FileMessage("open", fullPath, reason));
}

void RaiseFileCreateError(std::string_view path, std::string_view reason) {
    throw EFOpenError(FileMessage("create", path, reason));
}

void RaiseFileWriteProtectedError(std::string_view path) {
    throw EFOpenError("Soubor \"" + std::string(path) + "\" je chráněn proti zápisu, nepřepíše se");
}

void RaiseFileTimeoutError(std::string_view path, std::string_view seconds) {
    throw EFOpenError("Soubor \"" + ShortenedQuote(path) + "\" nebyl přečten do " + std::string(seconds) +
                      " s (--timeout)");
}

void RaiseListIndexError(long long index) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void RaiseImportError(std::string_view path, std::string_view problem) {
    std::string message = "The file \"";
    message += ShortenedQuote(path);
    message += "\" ";
    message += problem;
    throw EImportError(message);
}

void RaiseCylinderTableRowsError(int tableRows, int fileRows) {
    throw ECylinderTableError("the cylinder table has " + std::to_string(tableRows) +
                              " rows, the file gives " + std::to_string(fileRows));
}

void RaiseCylinderTableTooLongError(int tableRows, int fileRows) {
    throw ECylinderTableError("the cylinder table has " + std::to_string(tableRows) +
                              " rows, the file gives more than " + std::to_string(fileRows));
}

void RaiseCylinderTableCellError(int line, int column, std::string_view problem) {
    throw EImportError("Tabulka válců, řádek " + std::to_string(line) + ", sloupec " +
                       std::to_string(column) + ": " + std::string(problem));
}

void RaiseInputError(std::string_view quantity, std::string_view requirement) {
    std::string message(quantity);
    message += " musí být ";
    message += requirement;
    throw EInputError(message);
}

void RaiseCylinderCountError(long long count, int lowest, int highest) {
    throw EEngineSetupError("Počet válců " + std::to_string(count) + " není od " + std::to_string(lowest) +
                            " do " + std::to_string(highest));
}

void RaiseFiringOrderError(std::string_view order, std::string_view problem) {
    throw EEngineSetupError("Pořadí zapalování " + Quoted(order, ": ") + std::string(problem));
}

void RaiseFiringIntervalsError(std::string_view intervals, std::string_view problem) {
    throw EEngineSetupError("Intervaly zapalování " + Quoted(intervals, ": ") + std::string(problem));
}

void RaiseRecordingLineError(std::int64_t line, std::string_view text, std::string_view problem) {
    throw EImportError("Řádek " + std::to_string(line) + " " + Quoted(text, ": ") + std::string(problem));
}

void RaiseRevolutionError(std::int64_t revolution, std::int64_t found, std::int64_t expected) {
    throw EImportError("Otáčka " + std::to_string(revolution) + ": nalezeno hran " + std::to_string(found) +
                       ", kolo jich má " + std::to_string(expected));
}

void RaiseRecordingError(std::string_view problem) {
    throw EImportError(std::string(problem));
}

void RaiseTextTooLongError(int limit) {
    throw EInputError("Buňka nebo pole pojme nejvýše " + std::to_string(limit) +
                      " znaků, delší text nebyl zapsán");
}

void RaiseRecordingAtLineError(std::int64_t line, std::string_view problem) {
    throw EImportError("Řádek " + std::to_string(line) + ": " + std::string(problem));
}

namespace {

std::string SetupLinePrefix(std::string_view path, std::int64_t line) {
    std::string message = "Soubor \"";
    message += ShortenedQuote(path);
    message += "\", řádek " + std::to_string(line) + ": ";
    return message;
}

}  // namespace

void RaiseSetupFileError(std::string_view path, std::int64_t line, std::string_view problem) {
    throw ESetupFileError(SetupLinePrefix(path, line) + std::string(problem));
}

void RaiseSetupValueError(std::string_view path, std::int64_t line, std::string_view text,
                          std::string_view problem) {
    throw ESetupFileError(SetupLinePrefix(path, line) + Quoted(text, " " + std::string(problem)));
}

void RaiseSetupKeyError(std::string_view path, std::string_view section, std::string_view key,
                        std::string_view problem) {
    throw ESetupFileError("Soubor \"" + ShortenedQuote(path) + "\", klíč \"" + ShortenedQuote(key) +
                          "\" v oddílu [" + std::string(section) + "]: " + std::string(problem));
}

void RaiseTextFileError(std::string_view path, std::string_view problem) {
    throw EImportError("Soubor \"" + ShortenedQuote(path) + "\": " + std::string(problem));
}

void RaiseTextFileLineError(std::string_view path, std::int64_t line, std::string_view problem) {
    throw EImportError(SetupLinePrefix(path, line) + std::string(problem));
}

}  // namespace morvane
