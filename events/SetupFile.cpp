#include "events/SetupFile.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <type_traits>
#include <utility>

#include "events/SetupPaths.h"
#include "signal/pressure/HeatTransferTexts.h"
#include "signal/pressure/PressureReference.h"
#include "util/errors.h"
#include "util/hexdigits.h"
#include "util/linebreaks.h"
#include "util/numtext.h"
#include "util/quote.h"
#include "util/replacefile.h"
#include "util/textencoding.h"
#include "util/textfile.h"
#include "util/utf8.h"

namespace morvane {

namespace {

constexpr std::string_view kCylinderSection = "Válce";
constexpr std::string_view kCorrectionSection = "Korekce";
constexpr std::string_view kYes = "ano";
constexpr std::string_view kNo = "ne";
constexpr std::string_view kNotUtf8 = "řádek není v kódování UTF-8; uložte soubor jako text v UTF-8";

// A numbered choice with its range, so a file cannot set a slider or a list
// outside what its control holds.
struct TRangedInt {
    int& Value;
    int Lowest;
    int Highest;
};

struct TConstRangedInt {
    const int& Value;
    int Lowest;
    int Highest;
};

const char* const kImportKindTexts[] = {"", "úhel", "čas", "snímač"};

// A text that must name a pressure pegging method.
template <class TText>
struct TPegMethodText {
    TText& Text;
};

// A text that must name one of the choices: the batch tool's name in the
// set-up, the page's word in the file (the name read too).
template <class TText>
struct TChoiceText {
    TText& Text;
    std::span<const TNamedChoice> Choices;
};

// A "FROM,TO" text that earlier files held as two keys, FROM and TO apart;
// a file with either former key and without the joined one gives the pair
// joined, a missing half taking the former start-up text.
template <class TText>
struct TJoinedRange {
    TText& Text;
    std::string_view FormerFromKey;
    std::string_view FormerToKey;
    std::string_view FormerFrom;
    std::string_view FormerTo;
};

// The encoder dialog's file, written only where it is not the import's own
// file already; a file without it gives the import's file to an encoder import.
template <class TText>
struct TEncoderPath {
    TText& Text;
    const std::string& ImportPath;
    const TSignalImportKind& Kind;
};

// Keys that earlier files wrote otherwise, before they were named as the
// page's labels: read as the key they became.
struct TFormerKey {
    std::string_view Section;
    std::string_view Former;
    std::string_view Now;
};
constexpr TFormerKey kFormerKeys[] = {
    {"Spalování", "Vyrovnání tlaku", "Vztažení tlaku"},
    {"Spalování", "Rozsah vyrovnání [°]", "Rozsah vztažení [°]"},
    {"Spalování", "Tlak vyrovnání [bar]", "Tlak vztažení [bar]"},
    {"Spalování", "Exponent vyrovnání [1]", "Exponent polytropy [1]"},
};

std::string CurrentKey(std::string_view section, std::string key) {
    for (const TFormerKey& former : kFormerKeys) {
        if (section == former.Section && key == former.Former) {
            return std::string(former.Now);
        }
    }
    return key;
}

// The pegging method as the page names it ("Bodové"); a file may also give
// the batch tool's name ("point"), as earlier files did.
std::string_view PegMethodTitle(std::string_view name) {
    const std::optional<TPegMethod> method = PegMethodNamed(name);
    return method ? kPegMethodTitles[static_cast<int>(*method)] : name;
}

std::optional<std::string_view> PegMethodOfTitle(std::string_view text) {
    for (const TPegMethod method : {TPegMethod::None, TPegMethod::Point, TPegMethod::Polytropic}) {
        const std::string_view name = PegMethodName(method);
        if (text == name || text == kPegMethodTitles[static_cast<int>(method)]) {
            return name;
        }
    }
    return std::nullopt;
}

// Every scalar of the set-up in the file's order, each under its section: one
// list serves the writer, the reader and the set of known names.
template <class TSetupRef, class TVisitor>
void VisitPages(TSetupRef& s, TVisitor& v);

template <class TSetupRef, class TVisitor>
void VisitSetup(TSetupRef& s, TVisitor& v) {
    using TRanged = std::conditional_t<std::is_const_v<TSetupRef>, TConstRangedInt, TRangedInt>;
    v.section("Hlavní parametry");
    v.field("Počet válců [1]", s.Cylinders);
    v.field("Taktnost [-]", s.Strokes);
    v.field("Otáčky motoru [RPM]", s.Speed);
    v.cylinderRows(s.CylinderTable);
    v.corrections(s.Corrections);

    v.section("Časová osa");
    v.field("Globální korekce [°]", s.GlobalCorrection);
    v.view("Úhel kliky [°]", TRanged{s.CrankAngle, 0, 720});
    v.view("Klouzavý LF filtr", TRanged{s.Filter, 0, 96});
    v.view("Zesílení", TRanged{s.Gain, 10, 100});
    for (int kind = 0; kind < kEventKindCount; ++kind) {
        v.view(kEventKindTexts[kind], s.KindsShown[kind]);
    }

    VisitPages(s, v);
}

// The pages "Rozvod" and "Spalování", and the last signal import.
template <class TSetupRef, class TVisitor>
void VisitPages(TSetupRef& s, TVisitor& v) {
    using TRanged = std::conditional_t<std::is_const_v<TSetupRef>, TConstRangedInt, TRangedInt>;
    using TText = std::conditional_t<std::is_const_v<TSetupRef>, const std::string, std::string>;
    auto& valves = s.ValveTiming;
    v.section("Rozvod");
    v.field("Pořadí zapalování", valves.FiringOrder);
    v.field("Intervaly [°]", valves.Intervals);
    v.field("Sání [°]", valves.IntakeDuration);
    v.field("Výfuk [°]", valves.ExhaustDuration);
    v.field("Osa sání [°]", valves.IntakeCentreline);
    v.field("Osa výfuku [°]", valves.ExhaustCentreline);
    v.view("Vybraný válec", TRanged{valves.SelectedCylinder, 1, kCylinderRows});

    auto& burn = s.Combustion;
    v.section("Spalování");
    v.field("Vrtání [mm]", burn.Geometry.Bore);
    v.field("Zdvih [mm]", burn.Geometry.Stroke);
    v.field("Ojnice [mm]", burn.Geometry.Rod);
    v.field("Kompresní poměr [1]", burn.Geometry.Compression);
    v.field("γ [1]", burn.Geometry.Gamma);
    v.field("Okno od [°]", burn.Geometry.WindowStart);
    v.field("Okno do [°]", burn.Geometry.WindowEnd);
    v.field("Posun HÚ [°]", burn.TdcShift);
    v.field("Úhel ztráty [°]", burn.LossAngle);
    v.field("Vztažení tlaku", TPegMethodText<TText>{burn.PegMethod});
    v.field("Rozsah vztažení [°]",
            TJoinedRange<TText>{burn.PegRange, "Vyrovnání od [°]", "Vyrovnání do [°]", "175", "185"});
    v.field("Tlak vztažení [bar]", burn.PegPressure);
    v.field("Exponent polytropy [1]", burn.PegExponent);
    v.field("Pásmo klepání [Hz]",
            TJoinedRange<TText>{s.SignalImport.Encoder.KnockBand, "Pásmo klepání od [Hz]",
                                "Pásmo klepání do [Hz]", "4000", "20000"});
    v.field("Práh klepání [bar]", s.SignalImport.Encoder.KnockThreshold);
    v.field("Tlakový průběh", burn.CyclePath);
    v.field("Válec", burn.Cylinder);
    v.field("Přestup tepla", TChoiceText<TText>{burn.HeatTransfer.Model, kHeatModelChoices});
    v.field("Teplota stěny [K]", burn.HeatTransfer.WallTemperature);
    v.field("Teplota při zavření sání [K]", burn.HeatTransfer.IntakeTemperature);
    v.field("Model γ", TChoiceText<TText>{burn.HeatTransfer.Gamma, kGammaModelChoices});

    auto& import = s.SignalImport;
    v.section("Import signálu");
    v.field("Druh", import.Kind);
    v.field("Soubor", import.Path);
    v.field("Soubor snímače", TEncoderPath<TText>{import.Encoder.Path, import.Path, import.Kind});
    v.field("Kolo (zuby-chybějící)", import.Encoder.Wheel);
    v.field("Úhel referenční hrany [°]", import.Encoder.ReferenceAngle);
    v.field("Sloupec snímače", import.Encoder.EncoderColumn);
    v.field("Sloupec signálu", import.Encoder.ValueColumn);
    v.field("Sloupec času [s]", import.Encoder.TimeColumn);
    v.field("Vzorkovací frekvence [Hz]", import.Encoder.SampleRate);
    v.field("Sloupec indexu", import.Encoder.IndexColumn);
    v.field("Začátek cyklu", TRanged{import.Encoder.Phase, 0, 2});
    v.field("Citlivost snímače [bar/jednotka]", import.Encoder.PressureScale);
    v.field("Sloupce tlaku válců", import.Encoder.PressureColumns);
}

// ---- Escaping ----

// Appends text with the escapes of the file's header comment; specials are
// the separators this place must not hold raw.
void AppendEscaped(std::string& out, std::string_view text, std::string_view specials) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || specials.find(c) != std::string_view::npos) {
            out += '\\';
            out += c;
        } else if (c == ' ' && (i == 0 || i + 1 == text.size())) {
            out += "\\s";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 32 || byte == 127 || (byte >= 128 && Utf8CharacterLength(text, i) == 0)) {
            // A byte that is no part of a UTF-8 character would make the line one the reader refuses.
            AppendHexEscape(out, byte);
        } else if (byte >= 128) {
            const std::size_t length = Utf8CharacterLength(text, i);
            out += text.substr(i, length);
            i += length - 1;
        } else {
            out += c;
        }
    }
}

void AppendKey(std::string& out, std::string_view key) {
    if (!key.empty() && key.front() == '[') {
        out += '\\';
        AppendEscaped(out, key, "=");
        return;
    }
    AppendEscaped(out, key, "=");
}

// The text of raw with its escapes resolved; nullopt when a backslash starts
// no escape, with bad set to the sequence.
std::optional<std::string> Unescaped(std::string_view raw, std::string_view& bad) {
    std::string text;
    text.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\') {
            text += raw[i];
            continue;
        }
        const char next = i + 1 < raw.size() ? raw[i + 1] : '\0';
        switch (next) {
            case '\\':
            case '=':
            case ';':
            case '[':
                text += next;
                break;
            case 's':
                text += ' ';
                break;
            case 'n':
                text += '\n';
                break;
            case 'r':
                text += '\r';
                break;
            case 't':
                text += '\t';
                break;
            case 'x': {
                const int high = i + 2 < raw.size() ? HexDigitValue(raw[i + 2]) : -1;
                const int low = i + 3 < raw.size() ? HexDigitValue(raw[i + 3]) : -1;
                if (high < 0 || low < 0) {
                    bad = raw.substr(i, std::min<std::size_t>(4, raw.size() - i));
                    return std::nullopt;
                }
                text += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                bad = raw.substr(i, i + 1 < raw.size() ? 2 : 1);
                return std::nullopt;
        }
        ++i;
    }
    return text;
}

// The position of the first c in raw that no backslash escapes, or npos.
std::size_t FindUnescaped(std::string_view raw, char c) {
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\') {
            ++i;
        } else if (raw[i] == c) {
            return i;
        }
    }
    return std::string_view::npos;
}

// ---- Writing ----

class TSetupWriter {
public:
    std::string Text;
    TSetupFileForm Form;

    void section(std::string_view name) {
        Text += '\n';
        Text += '[';
        Text += name;
        Text += "]\n";
    }
    void field(std::string_view key, const std::string& text) { line(key, text); }
    void field(std::string_view key, bool shown) { line(key, shown ? kYes : kNo); }
    void field(std::string_view key, TConstRangedInt number) { line(key, FormatInteger(number.Value)); }
    void field(std::string_view key, TSignalImportKind kind) {
        line(key, kImportKindTexts[static_cast<int>(kind)]);
    }
    void field(std::string_view key, TPegMethodText<const std::string> method) {
        line(key, PegMethodTitle(method.Text));
    }
    void field(std::string_view key, const TJoinedRange<const std::string>& range) { line(key, range.Text); }
    void field(std::string_view key, const TChoiceText<const std::string>& choice) {
        const int index = ChoiceIndex(choice.Choices, choice.Text);
        line(key, index < 0 ? choice.Text : std::string(choice.Choices[std::size_t(index)].Title));
    }
    void field(std::string_view key, const TEncoderPath<const std::string>& path) {
        if (path.Kind != TSignalImportKind::Encoder || path.Text != path.ImportPath) {
            line(key, path.Text);
        }
    }
    template <class T>
    void view(std::string_view key, const T& value) {
        if (Form.WithView) {
            field(key, value);
        }
    }
    void cylinderRows(const std::array<TCylinderRowTexts, kCylinderRows>& rows) {
        section(kCylinderSection);
        for (int row = 1; row <= rowsWritten(); ++row) {
            Text += FormatInteger(row);
            Text += '=';
            const TCylinderRowTexts& cells = rows[row - 1];
            for (std::size_t column = 0; column < cells.size(); ++column) {
                if (column > 0) {
                    Text += ';';
                }
                AppendEscaped(Text, cells[column], ";");
            }
            Text += '\n';
        }
    }
    void corrections(const std::vector<TCorrectionText>& rows) {
        section(kCorrectionSection);
        for (const TCorrectionText& row : rows) {
            line(row.Event, row.Text);
        }
    }

    std::string_view Cylinders;

private:
    // Every row, or the engine's when asked and its cylinder count reads.
    int rowsWritten() const {
        int count = 0;
        const bool counted = TryParsePlainInteger(Cylinders, count) && count >= 1 && count <= kCylinderRows;
        return Form.EngineRowsOnly && counted ? count : kCylinderRows;
    }

    void line(std::string_view key, std::string_view value) {
        AppendKey(Text, key);
        Text += '=';
        AppendEscaped(Text, value, "");
        Text += '\n';
    }
};

// ---- Reading ----

// The names the reader knows, collected from the list of scalars.
class TKnownNames {
public:
    std::set<std::string, std::less<>> Sections{std::string(kCylinderSection),
                                                std::string(kCorrectionSection)};

    void section(std::string_view name) { Sections.emplace(name); }
    template <class T>
    void field(std::string_view, const T&) {}
    template <class T>
    void view(std::string_view, const T&) {}
    template <class T>
    void cylinderRows(const T&) {}
    template <class T>
    void corrections(const T&) {}
};

const std::set<std::string, std::less<>>& KnownSections() {
    static const std::set<std::string, std::less<>> kSections = [] {
        TKnownNames names;
        const TSetup defaults;
        VisitSetup(defaults, names);
        return names.Sections;
    }();
    return kSections;
}

// A scalar's text as the file gives it, and where.
struct TRawValue {
    std::int64_t Line = 0;
    std::string Raw;
};

// Keyed by section and key.
using TRawValues = std::map<std::pair<std::string, std::string>, TRawValue>;

// Puts the file's scalars into the set-up, each through its type's reading.
class TSetupAssigner {
public:
    TSetupAssigner(const TRawValues& values, std::string_view path) : m_values(values), m_path(path) {}

    void section(std::string_view name) { m_section = name; }
    void field(std::string_view key, std::string& text) {
        if (const TRawValue* value = find(key)) {
            text = unescape(*value, value->Raw);
        }
    }
    void field(std::string_view key, bool& shown) {
        if (const TRawValue* value = find(key)) {
            const std::string text = unescape(*value, value->Raw);
            if (text != kYes && text != kNo) {
                RaiseSetupValueError(m_path, value->Line, text, "není ano ani ne");
            }
            shown = text == kYes;
        }
    }
    void field(std::string_view key, TRangedInt number) {
        if (const TRawValue* value = find(key)) {
            const std::string text = unescape(*value, value->Raw);
            int parsed = 0;
            if (!TryParsePlainInteger(text, parsed) || parsed < number.Lowest || parsed > number.Highest) {
                RaiseSetupValueError(m_path, value->Line, text,
                                     "není celé číslo od " + FormatInteger(number.Lowest) + " do " +
                                         FormatInteger(number.Highest));
            }
            number.Value = parsed;
        }
    }
    void field(std::string_view key, TSignalImportKind& kind) {
        if (const TRawValue* value = find(key)) {
            const std::string text = unescape(*value, value->Raw);
            for (int k = 0; k < 4; ++k) {
                if (text == kImportKindTexts[k]) {
                    kind = static_cast<TSignalImportKind>(k);
                    return;
                }
            }
            RaiseSetupValueError(m_path, value->Line, text, "není druh importu (úhel, čas, snímač)");
        }
    }
    void field(std::string_view key, TPegMethodText<std::string> method) {
        if (const TRawValue* value = find(key)) {
            const std::string text = unescape(*value, value->Raw);
            const std::optional<std::string_view> name = PegMethodOfTitle(text);
            if (!name) {
                RaiseSetupValueError(m_path, value->Line, text,
                                     "není způsob vztažení tlaku (Žádné, Bodové, Polytropické)");
            }
            method.Text = *name;
        }
    }
    void field(std::string_view key, const TChoiceText<std::string>& choice) {
        if (const TRawValue* value = find(key)) {
            const std::string text = unescape(*value, value->Raw);
            const int index = ChoiceIndex(choice.Choices, text);
            if (index < 0) {
                std::string titles;
                for (const TNamedChoice& known : choice.Choices) {
                    titles += (titles.empty() ? "" : ", ") + std::string(known.Title);
                }
                RaiseSetupValueError(m_path, value->Line, text, "není žádná z možností (" + titles + ")");
            }
            choice.Text = choice.Choices[std::size_t(index)].Name;
        }
    }
    void field(std::string_view key, const TEncoderPath<std::string>& path) {
        if (const TRawValue* value = find(key)) {
            path.Text = unescape(*value, value->Raw);
        } else if (path.Kind == TSignalImportKind::Encoder) {
            path.Text = path.ImportPath;
        }
    }
    template <class T>
    void view(std::string_view key, T&& value) {
        m_viewGiven = m_viewGiven || find(key) != nullptr;
        field(key, std::forward<T>(value));
    }
    bool viewGiven() const { return m_viewGiven; }
    void field(std::string_view key, const TJoinedRange<std::string>& range) {
        if (const TRawValue* value = find(key)) {
            range.Text = unescape(*value, value->Raw);
            return;
        }
        const TRawValue* from = find(range.FormerFromKey);
        const TRawValue* to = find(range.FormerToKey);
        if (from == nullptr && to == nullptr) {
            return;
        }
        const std::string fromText = from ? unescape(*from, from->Raw) : std::string(range.FormerFrom);
        const std::string toText = to ? unescape(*to, to->Raw) : std::string(range.FormerTo);
        // A decimal comma in either half needs the semicolon between them.
        const bool comma = fromText.find(',') != std::string::npos || toText.find(',') != std::string::npos;
        range.Text = fromText + (comma ? ";" : ",") + toText;
    }
    template <class T>
    void cylinderRows(const T&) {}
    template <class T>
    void corrections(const T&) {}

    std::string unescape(const TRawValue& value, std::string_view raw) const {
        std::string_view bad;
        std::optional<std::string> text = Unescaped(raw, bad);
        if (!text) {
            RaiseSetupValueError(m_path, value.Line, bad, "není platná posloupnost se zpětným lomítkem");
        }
        return std::move(*text);
    }

private:
    const TRawValue* find(std::string_view key) const {
        const auto at = m_values.find({std::string(m_section), std::string(key)});
        return at == m_values.end() ? nullptr : &at->second;
    }

    const TRawValues& m_values;
    std::string_view m_path;
    std::string_view m_section;
    bool m_viewGiven = false;
};

// Whether a NUL byte that no line ended at is refused: any but one before
// every line, which leaves the file as empty as it reads, unless the file's
// head shows UTF-16 or UTF-32 text.
bool NulRefused(bool linesGiven, std::string_view head) {
    return linesGiven || WideTextOf(head) != TWideText::None;
}

// A line too long is refused as such whatever ends it, as the file's reader
// may cut it before its end is seen.
bool FitsLine(std::string_view line) {
    return line.size() <= kSetupFileMaxLineBytes;
}

// What follows the form's words and a blank on a version line, trimmed;
// empty when the line does not start with them.
std::string_view VersionText(std::string_view line) {
    const std::string_view text = TrimBlanksView(WithoutByteOrderMark(line));
    if (!text.starts_with(kSetupFileMagic) || text.size() < kSetupFileMagic.size() + 2 ||
        text[kSetupFileMagic.size()] != ' ') {
        return {};
    }
    return TrimBlanksView(text.substr(kSetupFileMagic.size() + 1));
}

// Takes the file's lines one at a time; finish() gives the set-up once every
// line was read. Any failure raises, so a caller never sees half a set-up.
class TSetupReader {
public:
    explicit TSetupReader(std::string_view path) : m_path(path) {}

    // A line and the bytes of the file up to its end, its break included.
    void line(std::string_view text, std::uint64_t bytes) {
        ++m_lines;
        m_bytes = bytes;
        if (m_lines > kSetupFileMaxLines) {
            RaiseSetupFileError(m_path, static_cast<std::int64_t>(m_lines),
                                "soubor má víc než " + FormatInteger(kSetupFileMaxLines) + " řádků");
        }
        if (m_bytes > kSetupFileMaxBytes) {
            RaiseSetupFileError(m_path, static_cast<std::int64_t>(m_lines),
                                "soubor je větší než " + FormatInteger(kSetupFileMaxBytes >> 20) + " MB");
        }
        if (text.size() > kSetupFileMaxLineBytes) {
            fail("řádek je delší než " + FormatInteger(kSetupFileMaxLineBytes >> 10) + " kB");
        }
        if (m_lines == 1) {
            firstLine(text);
            return;
        }
        if (!IsUtf8(text)) {
            fail(kNotUtf8);
        }
        const std::string_view trimmed = TrimBlanksView(text);
        if (trimmed.empty()) {
            return;
        }
        if (trimmed.front() == '[') {
            sectionLine(trimmed);
        } else {
            valueLine(trimmed);
        }
    }

    // A NUL byte ends the line about to be read, or starts the one after the
    // last; head is the file's first bytes, which may show UTF-16 or UTF-32.
    [[noreturn]] void refuseNul(std::string_view head) const {
        if (const TWideText wide = WideTextOf(head); wide != TWideText::None) {
            RaiseSetupFileError(m_path, 1, WideTextProblem(wide));
        }
        RaiseSetupFileError(m_path, static_cast<std::int64_t>(m_lines) + 1, kNulByteProblem);
    }

    // The line reader cut a line longer than its buffer (and the limit).
    [[noreturn]] void lineTooLong() {
        ++m_lines;
        fail("řádek je delší než " + FormatInteger(kSetupFileMaxLineBytes >> 10) + " kB");
    }

    TSetup finish() {
        if (m_lines == 0) {
            RaiseSetupFileError(m_path, 1, "soubor je prázdný, není nastavení Morvane");
        }
        TSetupAssigner assigner(m_values, m_path);
        VisitSetup(m_setup, assigner);
        m_viewGiven = assigner.viewGiven();
        return std::move(m_setup);
    }

    // Whether the file gave any of the view's keys; known once finished.
    bool viewGiven() const { return m_viewGiven; }

private:
    void sectionLine(std::string_view trimmed) {
        if (trimmed.back() != ']') {
            fail("oddíl nekončí znakem ]");
        }
        m_section = std::string(TrimBlanksView(trimmed.substr(1, trimmed.size() - 2)));
        m_inSection = true;
        m_inKnownSection = KnownSections().count(m_section) > 0;
        if (m_section == kCorrectionSection && !m_correctionsSeen) {
            m_setup.Corrections.clear();
            m_correctionsSeen = true;
        }
    }

    void valueLine(std::string_view trimmed) {
        if (!m_inSection) {
            fail("hodnota před prvním oddílem");
        }
        if (!m_inKnownSection) {
            return;
        }
        const std::size_t equals = FindUnescaped(trimmed, '=');
        if (equals == std::string_view::npos) {
            fail("řádek není oddíl [název] ani klíč=hodnota");
        }
        const std::string_view rawKey = TrimBlanksView(trimmed.substr(0, equals));
        const std::string_view rawValue = TrimBlanksView(trimmed.substr(equals + 1));
        const TRawValue here{static_cast<std::int64_t>(m_lines), {}};
        const TSetupAssigner texts(m_values, m_path);
        if (m_section == kCylinderSection) {
            cylinderRow(texts.unescape(here, rawKey), rawValue, texts, here);
        } else if (m_section == kCorrectionSection) {
            m_setup.Corrections.push_back({texts.unescape(here, rawKey), texts.unescape(here, rawValue)});
        } else {
            std::string key = CurrentKey(m_section, texts.unescape(here, rawKey));
            const auto [at, added] =
                m_values.try_emplace({m_section, key}, TRawValue{here.Line, std::string(rawValue)});
            if (!added) {
                repeatedKey(key, at->second.Line);
            }
        }
    }

    [[noreturn]] void fail(std::string_view problem) const {
        RaiseSetupFileError(m_path, static_cast<std::int64_t>(m_lines), problem);
    }

    // A later version is read by the same rules; a version line this reader
    // cannot read at all is named as such.
    void firstLine(std::string_view text) const {
        if (IsSetupFirstLine(text)) {
            return;
        }
        const std::string expected =
            "\"" + std::string(kSetupFileMagic) + " " + FormatInteger(kSetupFileVersion) + "\"";
        if (ClaimsSetupFirstLine(text)) {
            if (!IsUtf8(text)) {
                fail(kNotUtf8);
            }
            const std::string_view version = VersionText(text);
            if (!version.empty() && version.find_first_not_of("0123456789") != std::string_view::npos) {
                fail("verze nastavení '" + ShortenedQuote(version) + "' není známá (první řádek má být " +
                     expected + ")");
            }
        }
        fail("soubor není nastavení Morvane (první řádek má být " + expected + ")");
    }

    [[noreturn]] void repeatedKey(std::string_view key, std::int64_t firstGiven) const {
        fail("klíč '" + ShortenedQuote(key) + "' je v oddílu podruhé (poprvé na řádku " +
             FormatInteger(firstGiven) + ")");
    }

    // A row number outside the table is a key this reader does not know.
    void cylinderRow(const std::string& key, std::string_view rawValue, const TSetupAssigner& texts,
                     const TRawValue& here) {
        int row = 0;
        if (!TryParsePlainInteger(key, row) || row < 1 || row > kCylinderRows) {
            return;
        }
        if (m_rowLines[row - 1] != 0) {
            repeatedKey(key, m_rowLines[row - 1]);
        }
        m_rowLines[row - 1] = here.Line;
        TCylinderRowTexts cells;
        std::string_view rest = rawValue;
        bool more = false;
        for (std::string& cell : cells) {
            const std::size_t semicolon = FindUnescaped(rest, ';');
            cell = texts.unescape(here, TrimBlanksView(rest.substr(0, semicolon)));
            more = semicolon != std::string_view::npos;
            rest = more ? rest.substr(semicolon + 1) : std::string_view();
        }
        // A seventh cell would shift every angle: the row number is its key, not a cell.
        if (more) {
            fail("válec " + key +
                 " má víc než 6 buněk (přesazení, zapalování, SV otvírá, SV zavírá, "
                 "VV otvírá, VV zavírá)");
        }
        m_setup.CylinderTable[row - 1] = std::move(cells);
    }

    std::string_view m_path;
    std::size_t m_lines = 0;
    std::uint64_t m_bytes = 0;
    std::string m_section;
    bool m_inSection = false;
    bool m_inKnownSection = false;
    bool m_correctionsSeen = false;
    TRawValues m_values;
    std::array<std::int64_t, kCylinderRows> m_rowLines{};  // where each row was given; 0: not yet
    TSetup m_setup;
    bool m_viewGiven = false;
};

}  // namespace

std::string SetupText(const TSetup& setup, const TSetupFileForm& form) {
    TSetup written = setup;
    MakeSetupPathsRelative(written, form.Folder);
    TSetupWriter writer;
    writer.Form = form;
    writer.Cylinders = written.Cylinders;
    writer.Text = std::string(kSetupFileMagic) + " " + FormatInteger(kSetupFileVersion) + "\n";
    VisitSetup(std::as_const(written), writer);
    return std::move(writer.Text);
}

void WriteSetupFile(const std::string& path, const TSetup& setup, const TSetupFileForm& form) {
    WriteFileReplacing(path, SetupText(setup, form));
}

TSetup ParseSetupText(std::string_view text, std::string_view path) {
    TSetupReader reader(path);
    // As the file reader does: a byte-order mark is no part of the first line.
    const std::vector<std::string_view> lines = SplitTextLines(WithoutByteOrderMark(text));
    const std::size_t nul = text.find('\0');
    // Bytes from the NUL on are never read, as in the file.
    const char* const textEnd = text.data() + std::min(nul, text.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool endsAtNul = nul != std::string_view::npos && lines[i].data() + lines[i].size() == textEnd;
        if (endsAtNul && FitsLine(lines[i])) {
            reader.refuseNul(text.substr(0, 4));
        }
        const char* const next = i + 1 < lines.size() ? lines[i + 1].data() : textEnd;
        reader.line(lines[i], static_cast<std::uint64_t>(next - text.data()));
    }
    if (nul != std::string_view::npos && NulRefused(!lines.empty(), text.substr(0, 4))) {
        reader.refuseNul(text.substr(0, 4));
    }
    return reader.finish();
}

TSetup ReadSetupFile(const std::string& path) {
    return ReadSetupFileForm(path).Setup;
}

TSetupFileRead ReadSetupFileForm(const std::string& path) {
    TLineReader lines(path);
    TSetupFileRead read;
    read.Setup = ReadSetupFile(lines, path, &read.WithView);
    return read;
}

TSetup ReadSetupFile(TLineReader& lines, std::string_view path, bool* withView) {
    TSetupReader reader(path);
    std::string_view line;
    bool any = false;
    while (lines.next(line)) {
        if (lines.nulMet() && FitsLine(line)) {
            reader.refuseNul(lines.head());
        }
        if (lines.lineCut()) {
            reader.lineTooLong();
        }
        reader.line(line, lines.position());
        any = true;
    }
    if (lines.nulMet() && NulRefused(any, lines.head())) {
        reader.refuseNul(lines.head());
    }
    TSetup setup = reader.finish();
    ResolveSetupPaths(setup, SetupFolderOf(path));
    if (withView != nullptr) {
        *withView = reader.viewGiven();
    }
    return setup;
}

bool IsSetupFirstLine(std::string_view line) {
    const std::string_view text = TrimBlanksView(WithoutByteOrderMark(line));
    if (text.substr(0, kSetupFileMagic.size()) != kSetupFileMagic) {
        return false;
    }
    const std::string_view rest = text.substr(kSetupFileMagic.size());
    if (rest.size() < 2 || rest.front() != ' ') {
        return false;
    }
    int version = 0;
    return TryParsePlainInteger(rest.substr(1), version) && version >= 1;
}

bool ClaimsSetupFirstLine(std::string_view line) {
    return TrimBlanksView(WithoutByteOrderMark(line)).starts_with(kSetupFormName);
}

bool IsSetupFile(const std::string& path) {
    try {
        TLineReader lines(path);
        std::string_view first;
        return lines.next(first) && IsSetupFirstLine(first);
    } catch (const EMorvaneError&) {
        return false;
    }
}

}  // namespace morvane
