#include "signal/EncoderImport.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <string>

#include "util/errors.h"
#include "util/numtext.h"
#include "util/textfile.h"

namespace morvane {

namespace {

constexpr double kCycleDegrees = 720;
constexpr double kPointDegrees = kCycleDegrees / (SignalPoints - 1);
constexpr std::size_t kMostWaiting = std::size_t{1} << 20;

void CheckOptions(const TEncoderOptions& options) {
    if (!(options.ReferenceAngle >= 0 && options.ReferenceAngle < 360)) {
        RaiseRecordingError("Úhel referenční hrany musí být od 0 do 360 (bez 360)");
    }
    if (options.TimeColumn.empty() && !(options.SampleRate > 0 && std::isfinite(options.SampleRate))) {
        RaiseRecordingError("Bez sloupce času je třeba zadat vzorkovací frekvenci");
    }
    if (options.Wheel.Missing == 0 && options.IndexColumn.empty()) {
        RaiseRecordingError("Kolo bez chybějících zubů potřebuje sloupec indexu (jeden impuls na otáčku)");
    }
    if (options.Phase < 0 || options.Phase > 2) {
        RaiseRecordingError("Fáze musí být 1 nebo 2");
    }
}

// One sample as the cycle builder sees it.
struct TSample {
    double Moment;
    double Value;
};

// The points of the cycles that open at revolutions first, first + 2, ...:
// the points in the order of their angle from the cycle's first reference edge,
// each taking the value interpolated between the two samples around it.
class TCycleSampler {
public:
    TCycleSampler(int first, double referenceAngle, bool keep) : m_start(first), m_keep(keep) {
        for (int k = 0; k < SignalPoints; ++k) {
            double offset = k * kPointDegrees - referenceAngle;
            m_order[static_cast<std::size_t>(k)] = {offset < 0 ? offset + kCycleDegrees : offset, k};
        }
        std::sort(m_order.begin(), m_order.end());
    }

    // The next sample at its angle from the first reference edge (rising).
    void sample(double angle, double value) {
        while (m_next < SignalPoints) {
            const auto& [offset, k] = m_order[static_cast<std::size_t>(m_next)];
            const double target = 360.0 * m_start + offset;
            if (target > angle) {
                break;
            }
            const double span = angle - m_lastAngle;
            const double fraction =
                m_hasLast && span > 0 ? std::clamp((target - m_lastAngle) / span, 0.0, 1.0) : 1.0;
            const double before = m_hasLast ? m_lastValue : value;
            m_cycle[static_cast<std::size_t>(k)] = before + fraction * (value - before);
            ++m_next;
        }
        m_hasLast = true;
        m_lastAngle = angle;
        m_lastValue = value;
        closeIfDone();
    }

    // Revolution revolutions has ended at a checked reference edge.
    void revolutionsDone(int revolutions) {
        m_revolutionsDone = revolutions;
        closeIfDone();
    }

    // At the end: a cycle whose revolutions are complete takes the last value
    // for the points beyond the last sample; any other open cycle is dropped.
    void finish() {
        if (m_revolutionsDone >= m_start + 2 && m_hasLast) {
            for (; m_next < SignalPoints; ++m_next) {
                m_cycle[static_cast<std::size_t>(m_order[static_cast<std::size_t>(m_next)].second)] =
                    m_lastValue;
            }
            closeIfDone();
        }
    }

    std::int64_t count() const { return m_count; }
    TSignalTable mean() const {
        TSignalTable mean{};
        for (std::size_t k = 0; k < mean.size(); ++k) {
            mean[k] = m_count > 0 ? static_cast<double>(m_sum[k] / static_cast<long double>(m_count)) : 0;
        }
        return mean;
    }
    std::vector<TSignalTable>& cycles() { return m_cycles; }

private:
    void closeIfDone() {
        if (m_next < SignalPoints || m_revolutionsDone < m_start + 2) {
            return;
        }
        for (std::size_t k = 0; k < m_sum.size(); ++k) {
            m_sum[k] += m_cycle[k];
        }
        if (m_keep) {
            m_cycles.push_back(m_cycle);
        }
        ++m_count;
        m_start += 2;
        m_next = 0;
        // The sample that closed this cycle may already hold points of the next.
        if (m_hasLast) {
            m_hasLast = false;
            sample(m_lastAngle, m_lastValue);
        }
    }

    std::array<std::pair<double, int>, SignalPoints> m_order{};
    int m_start;
    bool m_keep;
    int m_next = 0;
    int m_revolutionsDone = 0;
    bool m_hasLast = false;
    double m_lastAngle = 0;
    double m_lastValue = 0;
    TSignalTable m_cycle{};
    std::array<long double, SignalPoints> m_sum{};
    std::int64_t m_count = 0;
    std::vector<TSignalTable> m_cycles;
};

// Turns the samples into cycles: edges, their reference verdicts, each edge's
// angle, each sample's angle between its two neighbouring edges.
class TCrankCycles {
public:
    TCrankCycles(const TEncoderOptions& options, double lowest, double highest, double indexLowest,
                 double indexHighest)
        : m_encoder(lowest, highest),
          m_index(indexLowest, indexHighest),
          m_finder(options.Wheel),
          m_pitch(360.0 / options.Wheel.Teeth),
          m_edgesPerRevolution(options.Wheel.edgesPerRevolution()),
          m_phases{TCycleSampler(0, options.ReferenceAngle, options.KeepCycles),
                   TCycleSampler(1, options.ReferenceAngle, options.KeepCycles)} {}

    void sample(double moment, double encoder, double value, std::optional<double> index) {
        if (index) {
            if (const std::optional<double> indexEdge = m_index.feed(moment, *index)) {
                m_finder.indexEdge(*indexEdge);
            }
        }
        m_waiting.push_back({moment, value});
        // Samples wait for the edge after them; without edges (a flat encoder,
        // a stalled engine) the oldest are let go, so memory stays bounded.
        if (m_waiting.size() > kMostWaiting) {
            m_waiting.pop_front();
        }
        if (const std::optional<double> edge = m_encoder.feed(moment, encoder)) {
            if (const std::optional<TWheelEdge> judged = m_finder.edge(*edge)) {
                place(*judged);
            }
        }
    }

    void finish() {
        if (const std::optional<TWheelEdge> judged = m_finder.finish()) {
            place(*judged);
        }
        for (TCycleSampler& phase : m_phases) {
            phase.finish();
        }
    }

    int revolutions() const { return m_revolutions; }
    int references() const { return m_started ? m_revolutions + 1 : 0; }
    double firstReference() const { return m_firstReference; }
    double lastReference() const { return m_lastReference; }
    TCycleSampler& phase(int index) { return m_phases[static_cast<std::size_t>(index)]; }

private:
    // An edge with its verdict: its angle is known, and so is that of every
    // sample before it back to the previous edge.
    void place(const TWheelEdge& edge) {
        if (edge.Reference) {
            if (m_started) {
                if (m_teeth + 1 != m_edgesPerRevolution) {
                    RaiseRevolutionError(m_revolutions + 1, m_teeth + 1, m_edgesPerRevolution);
                }
                ++m_revolutions;
                m_lastReference = edge.Moment;
                for (TCycleSampler& phase : m_phases) {
                    phase.revolutionsDone(m_revolutions);
                }
            } else {
                m_started = true;
                m_firstReference = m_lastReference = edge.Moment;
            }
            m_teeth = 0;
        } else if (m_started) {
            ++m_teeth;
        }
        const double angle = 360.0 * m_revolutions + m_pitch * m_teeth;
        while (!m_waiting.empty() && m_waiting.front().Moment <= edge.Moment) {
            const TSample s = m_waiting.front();
            m_waiting.pop_front();
            if (m_hasEdge) {
                const double span = edge.Moment - m_edgeMoment;
                const double fraction =
                    span > 0 ? std::clamp((s.Moment - m_edgeMoment) / span, 0.0, 1.0) : 1.0;
                for (TCycleSampler& phase : m_phases) {
                    phase.sample(m_edgeAngle + fraction * (angle - m_edgeAngle), s.Value);
                }
            }
        }
        // Samples before the first reference edge have no angle.
        m_hasEdge = m_started;
        m_edgeMoment = edge.Moment;
        m_edgeAngle = angle;
    }

    TEdgeDetector m_encoder;
    TEdgeDetector m_index;
    TReferenceFinder m_finder;
    double m_pitch;
    int m_edgesPerRevolution;
    std::array<TCycleSampler, 2> m_phases;
    std::deque<TSample> m_waiting;
    bool m_started = false;
    bool m_hasEdge = false;
    double m_edgeMoment = 0;
    double m_edgeAngle = 0;
    int m_teeth = 0;
    int m_revolutions = 0;
    double m_firstReference = 0;
    double m_lastReference = 0;
};

// The firing half, where the events' defaults put combustion.
bool PeakInFiringHalf(const TSignalTable& mean) {
    const auto peak = static_cast<int>(std::max_element(mean.begin(), mean.end()) - mean.begin());
    return peak >= 180 * 2 && peak <= 540 * 2;
}

// The chosen columns in their order: encoder, value, then time and index when given.
struct TColumns {
    std::vector<std::string> Names;
    std::optional<std::size_t> Time;
    std::optional<std::size_t> Index;
};

TColumns ColumnsOf(const TEncoderOptions& options) {
    TColumns columns{{options.EncoderColumn, options.ValueColumn}, {}, {}};
    if (!options.TimeColumn.empty()) {
        columns.Time = columns.Names.size();
        columns.Names.push_back(options.TimeColumn);
    }
    if (!options.IndexColumn.empty()) {
        columns.Index = columns.Names.size();
        columns.Names.push_back(options.IndexColumn);
    }
    return columns;
}

// Hands every row to visit once per pass. The rows of the first pass are held
// while they fit in 16 MiB (a pipe's always, as it cannot be read again), so a
// short recording is read once; a longer file is read again.
class TRowSource {
public:
    TRowSource(const TEncoderOptions& options, const TColumns& columns)
        : m_reader(options.Path), m_options(options), m_columns(columns) {}

    void pass(const TRowSink& visit) {
        if (m_passes++ == 0 || !m_allHeld) {
            if (m_passes > 1) {
                m_reader.rewind();
            }
            m_held.clear();
            ScanRecording(m_reader, m_options.Format, m_columns.Names, [&](const std::vector<double>& row) {
                if (m_passes == 1 && m_allHeld) {
                    // Reserved whole, so it is never copied; pages untouched stay unused.
                    if (m_held.capacity() == 0 && m_reader.rereadable()) {
                        m_held.reserve(kHeldValues);
                    }
                    if (m_held.size() + row.size() <= kHeldValues || !m_reader.rereadable()) {
                        m_held.insert(m_held.end(), row.begin(), row.end());
                    } else {
                        m_allHeld = false;
                        m_held = std::vector<double>();
                    }
                }
                visit(row);
            });
            return;
        }
        std::vector<double> row(m_columns.Names.size());
        for (std::size_t at = 0; at < m_held.size(); at += row.size()) {
            std::copy_n(m_held.begin() + static_cast<std::ptrdiff_t>(at), row.size(), row.begin());
            visit(row);
        }
    }

private:
    static constexpr std::size_t kHeldValues = std::size_t{1} << 21;

    TLineReader m_reader;
    const TEncoderOptions& m_options;
    const TColumns& m_columns;
    int m_passes = 0;
    bool m_allHeld = true;
    std::vector<double> m_held;
};

struct TRange {
    double Lowest = std::numeric_limits<double>::max();
    double Highest = std::numeric_limits<double>::lowest();
    void add(double value) {
        Lowest = std::min(Lowest, value);
        Highest = std::max(Highest, value);
    }
};

}  // namespace

TEncoderResult ImportEncoderRecording(const TEncoderOptions& options) {
    CheckOptions(options);
    const TColumns columns = ColumnsOf(options);
    TRowSource source(options, columns);

    // First pass: the channels' ranges set the edge thresholds, and the
    // moments must rise.
    TRange encoder;
    TRange index;
    std::int64_t samples = 0;
    double lastMoment = 0;
    source.pass([&](const std::vector<double>& row) {
        encoder.add(row[0]);
        if (columns.Index) {
            index.add(row[*columns.Index]);
        }
        if (columns.Time) {
            if (samples > 0 && !(row[*columns.Time] > lastMoment)) {
                RaiseRecordingError("Čas ve sloupci času musí stále růst");
            }
            lastMoment = row[*columns.Time];
        }
        ++samples;
    });
    if (samples == 0) {
        RaiseRecordingError("Soubor neobsahuje žádná data");
    }

    TCrankCycles crank(options, encoder.Lowest, encoder.Highest, index.Lowest, index.Highest);
    samples = 0;
    source.pass([&](const std::vector<double>& row) {
        const double moment =
            columns.Time ? row[*columns.Time] : static_cast<double>(samples) / options.SampleRate;
        crank.sample(moment, row[0], row[1],
                     columns.Index ? std::optional<double>(row[*columns.Index]) : std::nullopt);
        ++samples;
    });
    crank.finish();
    if (crank.revolutions() < 1) {
        RaiseRecordingError("Záznam nemá ani jednu úplnou otáčku (referenčních značek: " +
                            std::to_string(crank.references()) + ")");
    }

    TEncoderResult result;
    result.Revolutions = crank.revolutions();
    result.Rpm = 60.0 * crank.revolutions() / (crank.lastReference() - crank.firstReference());
    result.Phase = options.Phase == 0 ? 1 : options.Phase;
    if (options.Phase == 0 && crank.phase(0).count() > 0 && !PeakInFiringHalf(crank.phase(0).mean())) {
        result.Phase = 2;
    }
    TCycleSampler& chosen = crank.phase(result.Phase - 1);
    if (chosen.count() == 0) {
        RaiseRecordingError(
            "Záznam nemá ani jeden úplný cyklus (úplných otáček: " + std::to_string(crank.revolutions()) +
            ", fáze " + std::to_string(result.Phase) + ")");
    }
    result.CycleCount = chosen.count();
    result.Cycles = std::move(chosen.cycles());
    result.Mean = chosen.mean();
    for (const double point : result.Mean) {
        result.Largest = std::max(result.Largest, std::fabs(point));
    }
    if (result.Largest > 0) {
        for (std::size_t k = 0; k < result.Signal.size(); ++k) {
            result.Signal[k] = result.Mean[k] / result.Largest;
        }
    }
    return result;
}

void ShowEncoderResult(const TEncoderResult& result, IMessageBoxes& boxes, TSignalTable& signal) {
    boxes.ShowInfo("Cykly / Otáčky [RPM]: " + FormatInteger(result.CycleCount) + " / " +
                   FormatInteger(std::llround(result.Rpm)));
    // Without a non-zero point the normalisation would be 0 / 0.
    if (result.Largest == 0) {
        RaiseInvalidOp();
    }
    signal = result.Signal;
}

void ImportEncoderSignal(const TEncoderOptions& options, IMessageBoxes& boxes, TSignalTable& signal) {
    ShowEncoderResult(ImportEncoderRecording(options), boxes, signal);
}

}  // namespace morvane
