#include "signal/pressure/PressureCycle.h"

#include <string_view>

#include "util/dialogutil.h"
#include "util/errors.h"
#include "util/numtext.h"
#include "util/quote.h"

namespace morvane {

namespace {

// The file's name as every message quotes it: a line break or an escape
// sequence in it is shown, never acted on.
[[noreturn]] void RaiseCycleFileError(const std::string& path, std::string_view problem) {
    RaiseImportError(ShortenedQuote(path), problem);
}

// The angle of entry k is exact in binary, so the file's angle must match it exactly.
double PointAngle(std::size_t k) {
    return static_cast<double>(k) / 2.0;
}

void CheckCount(std::size_t values, const std::string& path) {
    if (values != static_cast<std::size_t>(SignalPoints)) {
        RaiseCycleFileError(path, "holds " + FormatInteger(static_cast<std::int64_t>(values)) +
                                      " pressure values, a cycle needs " + FormatInteger(SignalPoints));
    }
}

// A number beyond the range of a double says where it stands, not only "overflow".
double ValueOnLine(std::string_view text, std::size_t line, const std::string& path, TNumberFormat format) {
    try {
        return ParseFloat(text, format);
    } catch (const EOverflow&) {
        RaiseCycleFileError(path, "gives '" + ShortenedQuote(text) + "' on line " +
                                      FormatInteger(static_cast<std::int64_t>(line)) + ", beyond any number");
    }
}

}  // namespace

TPressureCycle ParsePressureCycle(const TTextLines& lines, const std::string& path, TNumberFormat format) {
    TPressureCycle cycle;
    const bool withAngles = lines.size() >= 2 && lines[1].find(';') != std::string_view::npos;
    if (!withAngles) {
        CheckCount(lines.size(), path);
        for (std::size_t k = 0; k < lines.size(); ++k) {
            cycle.Mean[k] = ValueOnLine(lines[k], k + 1, path, format);
        }
        return cycle;
    }

    CheckCount(lines.size() - 1, path);
    for (std::size_t k = 0; k + 1 < lines.size(); ++k) {
        std::string_view angleText;
        std::string_view pressureText;
        SplitAtView(lines[k + 1], ';', angleText, pressureText);
        const double angle = ValueOnLine(angleText, k + 2, path, format);
        cycle.Mean[k] = ValueOnLine(pressureText, k + 2, path, format);
        if (angle != PointAngle(k)) {
            RaiseCycleFileError(path, "gives the angle " + FormatFloatGeneral(angle, format) + " on line " +
                                          FormatInteger(static_cast<std::int64_t>(k + 2)) + ", " +
                                          FormatFloatGeneral(PointAngle(k), format) + " expected");
        }
    }
    return cycle;
}

TPressureCycle ReadPressureCycle(const std::string& path, TNumberFormat format) {
    // The longer form is a header and one line per point; a line beyond it
    // shows the file too long, and nothing after that line is read.
    const std::size_t longest = static_cast<std::size_t>(SignalPoints) + 1;
    const TTextLines lines = ReadFirstTextLines(path, longest + 1);
    if (lines.size() > longest) {
        RaiseCycleFileError(path, "holds more than " + FormatInteger(SignalPoints) +
                                      " pressure values, a cycle needs " + FormatInteger(SignalPoints));
    }
    TPressureCycle cycle = ParsePressureCycle(lines, path, format);
    cycle.Source = path;
    return cycle;
}

}  // namespace morvane
