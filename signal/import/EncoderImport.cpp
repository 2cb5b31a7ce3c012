#include "signal/import/EncoderImport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>

#include "signal/import/AngleRecording.h"
#include "signal/import/CrankAngle.h"
#include "signal/import/EncoderRanges.h"
#include "signal/import/RecordingSource.h"
#include "signal/import/RowBlocks.h"
#include "signal/pressure/KnockFilterBank.h"
#include "util/errors.h"
#include "util/numtext.h"

namespace morvane {

namespace {

// Values held while the encoder's range is learnt (8 MiB).
constexpr std::size_t kOpeningValues = std::size_t{1} << 20;
// The range may widen by this share of it on each side later on.
constexpr double kRangeMargin = 0.1;
constexpr int kDecidingCycles = 4;
constexpr double kLowestRpm = 1;
constexpr double kHighestRpm = 1e6;

void CheckChannels(const TEncoderOptions& options) {
    if (options.Channels.size() > kMostPressureChannels) {
        RaiseRecordingError("Záznam může mít nejvýše " + std::to_string(kMostPressureChannels) +
                            " kanálů tlaku");
    }
    if (!options.Channels.empty() && !options.PressureScale) {
        RaiseInputError("Citlivost snímače [bar/jednotka]", "zadána pro kanály tlaku");
    }
    for (const TPressureChannel& channel : options.Channels) {
        if (!(std::isfinite(channel.Scale) && channel.Scale != 0)) {
            RaiseInputError("Citlivost snímače [bar/jednotka]", "konečné číslo různé od 0");
        }
        if (!(channel.Start >= 0 && channel.Start < 720)) {
            RaiseRecordingError("Přesazení válce musí být od 0 do 720 (bez 720)");
        }
    }
}

void CheckOptions(const TEncoderOptions& options) {
    if (!IsReferenceAngleInRange(options.ReferenceAngle)) {
        RaiseRecordingError("Úhel referenční hrany musí být od 0 do 360 (bez 360)");
    }
    if (options.TimeColumn.empty() && !IsSampleRateInRange(options.SampleRate)) {
        RaiseRecordingError("Bez sloupce času je třeba zadat vzorkovací frekvenci");
    }
    if (options.Wheel.Missing == 0 && options.IndexColumn.empty()) {
        RaiseRecordingError("Kolo bez chybějících zubů potřebuje sloupec indexu (jeden impuls na otáčku)");
    }
    if (!IsPhaseInRange(options.Phase)) {
        RaiseRecordingError("Fáze musí být 1 nebo 2");
    }
    if (options.PressureScale && !(std::isfinite(*options.PressureScale) && *options.PressureScale != 0)) {
        RaiseInputError("Citlivost snímače [bar/jednotka]", "konečné číslo různé od 0");
    }
    CheckChannels(options);
    if (options.Knock && !options.PressureScale) {
        RaiseInputError("Citlivost snímače [bar/jednotka]", "zadána, má-li se počítat klepání");
    }
    if (options.Knock && options.TimeColumn.empty() &&
        !(options.KnockIfBandFits && !KnockBandFits(*options.Knock, options.SampleRate))) {
        CheckKnockSettings(*options.Knock, options.SampleRate, options.Numbers);
    }
}

// Why knock is left out: the default band does not fit the sample rate.
std::string KnockLeftOutNote(const TKnockSettings& knock, double sampleRate, TNumberFormat numbers) {
    return "Klepání se nepočítá: horní mez výchozího pásma klepání (" +
           FormatFloatGeneral(knock.High, numbers) + " Hz) není menší než polovina vzorkovací frekvence (" +
           FormatFloatGeneral(sampleRate / 2, numbers) + " Hz)";
}

// The firing half, where the events' defaults put combustion.
bool PeakInFiringHalf(const TSignalTable& mean) {
    const auto peak = static_cast<int>(std::max_element(mean.begin(), mean.end()) - mean.begin());
    return peak >= 180 * 2 && peak <= 540 * 2;
}

// The chosen columns in their order: encoder, value (or every pressure
// channel), then time and index when given.
struct TColumns {
    std::vector<std::string> Names;
    std::optional<std::size_t> Time;
    std::optional<std::size_t> Index;
};

TColumns ColumnsOf(const TEncoderOptions& options) {
    TColumns columns{{options.EncoderColumn}, {}, {}};
    if (options.Channels.empty()) {
        columns.Names.push_back(options.ValueColumn);
    }
    for (const TPressureChannel& channel : options.Channels) {
        columns.Names.push_back(channel.Column);
    }
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

// A channel's range as it grows.
struct TGrowingRange {
    bool Empty = true;
    TRange Range;
    void add(double value) {
        Range.Lowest = Empty ? value : std::min(Range.Lowest, value);
        Range.Highest = Empty ? value : std::max(Range.Highest, value);
        Empty = false;
    }
};

// The opening range widened by its margin on each side.
struct TBounds {
    double Lowest = 0;
    double Highest = 0;
    explicit TBounds(const TRange& range) {
        const double margin = kRangeMargin * (range.Highest - range.Lowest);
        Lowest = range.Lowest - margin;
        Highest = range.Highest + margin;
    }
    bool within(double value) const { return value >= Lowest && value <= Highest; }
};

// The first rows, held until the encoder has shown its range: two revolutions'
// worth of edges under the range seen so far, or the budget, or the end.
class TOpening {
public:
    TOpening(int teeth, const TColumns& columns) : m_edges(2 * teeth + 2), m_columns(columns) {}

    // True when the range is known.
    bool add(const double* row, std::int64_t line) {
        const std::size_t width = m_columns.Names.size();
        m_values.insert(m_values.end(), row, row + width);
        m_lines.push_back(line);
        m_encoder.add(row[0]);
        if (m_columns.Index) {
            m_index.add(row[*m_columns.Index]);
        }
        const TRange& r = m_encoder.Range;
        if (!m_high && row[0] >= r.Lowest + 0.7 * (r.Highest - r.Lowest) && r.Highest > r.Lowest) {
            m_high = true;
            ++m_seen;
        } else if (m_high && row[0] <= r.Lowest + 0.3 * (r.Highest - r.Lowest)) {
            m_high = false;
        }
        return m_seen >= m_edges || m_values.size() + width > kOpeningValues;
    }

    std::size_t rows() const { return m_lines.size(); }
    const double* row(std::size_t at) const { return m_values.data() + at * m_columns.Names.size(); }
    std::int64_t line(std::size_t at) const { return m_lines[at]; }
    const TGrowingRange& encoder() const { return m_encoder; }
    const TGrowingRange& index() const { return m_index; }
    void release() {
        m_values = std::vector<double>();
        m_lines = std::vector<std::int64_t>();
    }

private:
    int m_edges;
    const TColumns& m_columns;
    std::vector<double> m_values;
    std::vector<std::int64_t> m_lines;
    TGrowingRange m_encoder;
    TGrowingRange m_index;
    bool m_high = false;
    int m_seen = 0;
};

// The cycles of one phase summed, and held while the phase is undecided.
struct TTally {
    std::array<long double, SignalPoints> Sum{};
    std::int64_t Count = 0;
    std::vector<TEncoderCycle> Held;
    TSignalTable mean() const {
        TSignalTable mean{};
        for (std::size_t k = 0; k < mean.size(); ++k) {
            mean[k] = Count > 0 ? static_cast<double>(Sum[k] / static_cast<long double>(Count)) : 0;
        }
        return mean;
    }
};

// The channels' scaled and band-passed values of the samples that wait for
// their encoder edge, by sample number: the crank carries only the number. A
// row holds the channels' values, then their band-passed values.
// The crank holds at most rows() - 1 samples, so a row is not overwritten
// while its sample waits; the ring's few MiB do not grow with the channels.
class TChannelRing {
public:
    explicit TChannelRing(std::size_t channels) : m_width(2 * channels) {
        constexpr std::size_t kBudget = std::size_t{1} << 19;  // values, 4 MiB
        std::size_t rows = 1;
        while (2 * rows * m_width <= kBudget) {
            rows *= 2;
        }
        m_mask = rows - 1;
        m_values.resize(rows * m_width);
    }
    std::size_t rows() const { return m_mask + 1; }
    std::size_t width() const { return m_width; }
    // Value of channel c at c, its band-passed value at channels + c.
    double* row(std::uint64_t sample) { return m_values.data() + (sample & m_mask) * m_width; }
    // The first sample after this one whose row does not follow in memory.
    std::uint64_t wrapAfter(std::uint64_t sample) const { return (sample | m_mask) + 1; }

private:
    std::size_t m_width;
    std::size_t m_mask = 0;
    std::vector<double> m_values;
};

// One channel's view of placed samples: each carries its number in the ring
// for its value, which is looked up only when the cycles need it.
struct TChannelRun {
    const TPlacedSample* Samples;
    TChannelRing& Ring;
    std::size_t Channel;
    std::size_t Channels;
    double angle(std::size_t k) const { return Samples[k].Angle; }
    double value(std::size_t k) const { return row(k)[Channel]; }
    double filtered(std::size_t k) const { return row(k)[Channels + Channel]; }
    const double* row(std::size_t k) const { return Ring.row(static_cast<std::uint64_t>(Samples[k].Value)); }
};

// Samples placed for each channel in turn, a batch at a time, so that the
// channels' cycles close in the order of the recording.
constexpr std::size_t kChannelBatch = 256;
// Rows band-passed in one run at most after they are read: the run is long
// enough to keep the filters' state in registers, and far shorter than the ring.
constexpr std::uint64_t kFilterRun = 64;

}  // namespace

// One import: rows in, cycles out.
class TEncoderRun final : public ICrankSink {
public:
    TEncoderRun(const TEncoderOptions& options, const TColumns& columns)
        : m_options(options),
          m_columns(columns),
          m_opening(options.Wheel.Teeth, columns),
          m_channels(std::max<std::size_t>(1, options.Channels.size())),
          m_phases(m_channels),
          m_tallies(m_channels) {
        m_chosen = options.Phase;
        m_interval = 1 / options.SampleRate;
        // Times 1 leaves every finite value as it is.
        m_scale = options.PressureScale.value_or(1.0);
        m_result.InBar = options.PressureScale.has_value();
        if (!columns.Time) {
            keepKnockIfItFits(options.SampleRate);
        }
        m_plain = !columns.Time && !columns.Index && !m_knock && !several();
        if (several()) {
            m_ring.emplace(m_channels);
        }
    }

    void row(const double* values, std::int64_t line);
    TEncoderResult finish();

    // Undecided, both phases see the samples (each in order; only the chosen
    // one delivers after the decision).
    void placed(const TPlacedSample* samples, std::size_t count) override {
        if (several()) {
            placeChannels(samples, count);
            return;
        }
        if (m_only != nullptr) {
            m_only->placed(samples, count);
            return;
        }
        for (const std::unique_ptr<TPhaseCycles>& phase : m_phases[0]) {
            if (phase) {
                phase->placed(samples, count);
            }
        }
        retireUnchosen();
    }
    void revolutionDone(std::int64_t revolutions, double seconds) override;
    void edgeInterval(double seconds, double longest) override {
        if (seconds > longest) {
            RaiseRecordingAtLineError(m_line, "interval mezi hranami kola trvá " +
                                                  FormatFloatGeneral(seconds, m_options.Numbers) +
                                                  " s; otáčky musí být od 1 do 1000000 RPM" + rateHint());
        }
    }

private:
    using TPhases = std::array<std::unique_ptr<TPhaseCycles>, 2>;

    bool several() const { return !m_options.Channels.empty(); }
    // Without a time column the times come from the sample rate alone, so a
    // revolution out of range most likely means a mistyped rate.
    std::string rateHint() const {
        return m_options.TimeColumn.empty() ? "; zkontrolujte Vzorkovací frekvence [Hz]" : "";
    }
    void fix();
    [[noreturn]] void leftRange(bool encoderWithin, std::int64_t line) const;
    void process(const double* values, std::int64_t line);
    double channelSample(const double* values, std::int64_t line);
    void placeChannels(const TPlacedSample* samples, std::size_t count);
    void filterUpTo(std::uint64_t end);
    double knockSampleRate() const;
    // The value in bar; a product beyond the double range names its line.
    double scaled(double value, double scale, std::int64_t line) const {
        const double product = value * scale;
        if (!std::isfinite(product)) {
            RaiseRecordingAtLineError(line, "hodnota " + FormatFloatGeneral(value, m_options.Numbers) +
                                                " krát citlivost snímače přesahuje rozsah čísel");
        }
        return product;
    }
    double channelStart(std::size_t channel) const {
        return several() ? m_options.Channels[channel].Start : 0;
    }
    void keepKnockIfItFits(double sampleRate);
    void closed(std::size_t channel, int phase, TEncoderCycle& cycle);
    void decide(int phase);
    void retireUnchosen();
    void deliver(std::size_t channel, TEncoderCycle& cycle);
    void finishChannels();

    const TEncoderOptions& m_options;
    const TColumns& m_columns;
    TOpening m_opening;
    TBounds m_encoderBounds{TRange{}};
    TBounds m_indexBounds{TRange{}};
    std::unique_ptr<TCrankAngle> m_crank;
    std::optional<TKnockSettings> m_knock;  // the options' knock, unless left out
    std::optional<TKnockFilter> m_filter;
    std::size_t m_channels;
    std::vector<TPhases> m_phases;                 // per channel
    TPhaseCycles* m_only = nullptr;                // one channel's one phase left once the other is retired
    std::vector<std::array<TTally, 2>> m_tallies;  // per channel
    std::optional<TKnockFilterBank> m_channelFilters;  // several channels with knock
    std::optional<TChannelRing> m_ring;                // several channels
    std::uint64_t m_sequence = 0;                      // several channels: the next sample's number
    std::uint64_t m_filteredTo = 0;  // several channels with knock: the next sample to band-pass
    int m_chosen = 0;                // 0 while undecided
    std::int64_t m_samples = 0;
    double m_interval = 0;  // seconds between samples without a time column
    double m_scale = 1;     // bar per unit of the value column, 1 without a pressure scale
    bool m_plain = false;   // one channel, no time column, no index channel, no knock filter
    std::int64_t m_line = 0;
    // The durations of the last two checked revolutions: a cycle is handed on
    // once its last revolution is checked, so they are its own, give or take
    // the phase's offset.
    std::array<double, 2> m_revolutionSeconds{};
    TEncoderResult m_result;
};

void TEncoderRun::row(const double* values, std::int64_t line) {
    // The common recording: a fixed rate, no index channel, no knock filter.
    if (m_plain && m_crank) {
        if (!m_encoderBounds.within(values[0])) {
            leftRange(false, line);
        }
        m_line = line;
        const double moment = static_cast<double>(m_samples) * m_interval;
        ++m_samples;
        m_crank->sample(moment, values[0], scaled(values[1], m_scale, line), 0);
        return;
    }
    if (!m_crank) {
        if (m_opening.add(values, line)) {
            fix();
        }
        return;
    }
    const bool encoderWithin = m_encoderBounds.within(values[0]);
    if (!encoderWithin || (m_columns.Index && !m_indexBounds.within(values[*m_columns.Index]))) {
        leftRange(encoderWithin, line);
    }
    process(values, line);
}

void TEncoderRun::leftRange(bool encoderWithin, std::int64_t line) const {
    const TRange& range = (encoderWithin ? m_opening.index() : m_opening.encoder()).Range;
    RaiseRecordingAtLineError(line, std::string("kanál ") + (encoderWithin ? "indexu" : "snímače otáček") +
                                        " opouští rozsah prvních otáček (od " +
                                        FormatFloatGeneral(range.Lowest, m_options.Numbers) + " do " +
                                        FormatFloatGeneral(range.Highest, m_options.Numbers) + ")");
}

// The range is known: the stages are built and the opening rows go through them.
void TEncoderRun::fix() {
    m_encoderBounds = TBounds(m_opening.encoder().Range);
    m_indexBounds = TBounds(m_opening.index().Range);
    const std::size_t mostWaiting = m_ring ? m_ring->rows() - 1 : TCrankAngle::kMostWaiting;
    m_crank = std::make_unique<TCrankAngle>(m_options.Wheel, m_opening.encoder().Range,
                                            m_opening.index().Range, *this, mostWaiting);
    if (m_options.Knock) {
        const double rate = knockSampleRate();
        keepKnockIfItFits(rate);
        if (m_knock) {
            m_result.KnockSampleRate = rate;
            m_filter.emplace(*m_knock, rate, m_options.Numbers);
            if (several()) {
                m_channelFilters.emplace(*m_filter, m_channels);
            }
        }
    }
    for (std::size_t channel = 0; channel < m_channels; ++channel) {
        for (int phase = 0; phase < 2; ++phase) {
            if (m_chosen == 0 || m_chosen == phase + 1) {
                m_phases[channel][static_cast<std::size_t>(phase)] = std::make_unique<TPhaseCycles>(
                    360.0 * phase - m_options.ReferenceAngle + channelStart(channel), m_knock,
                    [this, channel, phase](TEncoderCycle& cycle) { closed(channel, phase, cycle); });
            }
        }
    }
    retireUnchosen();
    for (std::size_t at = 0; at < m_opening.rows(); ++at) {
        process(m_opening.row(at), m_opening.line(at));
    }
    m_opening.release();
}

void TEncoderRun::process(const double* values, std::int64_t line) {
    m_line = line;
    const double moment =
        m_columns.Time ? values[*m_columns.Time] : static_cast<double>(m_samples) * m_interval;
    ++m_samples;
    double value = 0;
    double filtered = 0;
    if (several()) {
        value = channelSample(values, line);
    } else {
        value = scaled(values[1], m_scale, line);
        filtered = m_filter ? m_filter->step(value) : 0;
    }
    if (m_columns.Index) {
        m_crank->sample(moment, values[0], value, filtered, values[*m_columns.Index]);
    } else {
        m_crank->sample(moment, values[0], value, filtered);
    }
}

// Several channels: their values go into the ring, the crank carries the
// sample's number in their stead.
double TEncoderRun::channelSample(const double* values, std::int64_t line) {
    double* const row = m_ring->row(m_sequence);
    for (std::size_t channel = 0; channel < m_channels; ++channel) {
        row[channel] = scaled(values[1 + channel], m_options.Channels[channel].Scale, line);
    }
    const auto sample = static_cast<double>(m_sequence++);
    if (m_sequence - m_filteredTo >= kFilterRun) {
        filterUpTo(m_sequence);
    }
    return sample;
}

// The band-pass of the rows read before sample end; without knock the
// band-passed values stay the ring's zeros.
void TEncoderRun::filterUpTo(std::uint64_t end) {
    if (!m_channelFilters) {
        return;
    }
    while (m_filteredTo < end) {
        const std::uint64_t stop = std::min(end, m_ring->wrapAfter(m_filteredTo));
        m_channelFilters->filter(m_ring->row(m_filteredTo), m_ring->width(), stop - m_filteredTo);
        m_filteredTo = stop;
    }
}

void TEncoderRun::placeChannels(const TPlacedSample* samples, std::size_t count) {
    filterUpTo(m_sequence);
    for (std::size_t from = 0; from < count; from += kChannelBatch) {
        const std::size_t size = std::min(kChannelBatch, count - from);
        for (std::size_t channel = 0; channel < m_channels; ++channel) {
            const TChannelRun run{samples + from, *m_ring, channel, m_channels};
            for (const std::unique_ptr<TPhaseCycles>& phase : m_phases[channel]) {
                if (phase) {
                    phase->placedFrom(run, size);
                }
            }
        }
    }
    retireUnchosen();
}

// The fixed rate, or the mean sample interval of the first complete revolution.
double TEncoderRun::knockSampleRate() const {
    if (!m_columns.Time) {
        return m_options.SampleRate;
    }
    struct TFirstRevolution final : ICrankSink {
        bool Done = false;
        void placed(const TPlacedSample*, std::size_t) override {}
        void revolutionDone(std::int64_t, double) override { Done = true; }
    } first;
    TCrankAngle scan(m_options.Wheel, m_opening.encoder().Range, m_opening.index().Range, first);
    const std::size_t time = *m_columns.Time;
    for (std::size_t at = 0; at < m_opening.rows() && !first.Done; ++at) {
        const double* row = m_opening.row(at);
        if (m_columns.Index) {
            scan.sample(row[time], row[0], 0, 0, row[*m_columns.Index]);
        } else {
            scan.sample(row[time], row[0], 0, 0);
        }
    }
    const double from = first.Done ? scan.firstReference() : m_opening.row(0)[time];
    const double to = first.Done ? scan.lastReference() : m_opening.row(m_opening.rows() - 1)[time];
    double low = to;
    double high = from;
    std::int64_t count = 0;
    for (std::size_t at = 0; at < m_opening.rows(); ++at) {
        const double moment = m_opening.row(at)[time];
        if (moment >= from && moment <= to) {
            low = std::min(low, moment);
            high = std::max(high, moment);
            ++count;
        }
    }
    return count > 1 ? static_cast<double>(count - 1) / (high - low) : 0;
}

void TEncoderRun::keepKnockIfItFits(double sampleRate) {
    m_knock = m_options.Knock;
    if (m_knock && m_options.KnockIfBandFits && !KnockBandFits(*m_knock, sampleRate)) {
        m_result.KnockNote = KnockLeftOutNote(*m_knock, sampleRate, m_options.Numbers);
        m_knock.reset();
    }
}

void TEncoderRun::revolutionDone(std::int64_t revolutions, double seconds) {
    if (!(seconds >= 60 / kHighestRpm && seconds <= 60 / kLowestRpm)) {
        RaiseRecordingAtLineError(m_line, "otáčka " + std::to_string(revolutions) + " trvá " +
                                              FormatFloatGeneral(seconds, m_options.Numbers) +
                                              " s; otáčky musí být od 1 do 1000000 RPM" + rateHint());
    }
    m_revolutionSeconds = {m_revolutionSeconds[1], seconds};
    for (const TPhases& phases : m_phases) {
        for (const std::unique_ptr<TPhaseCycles>& phase : phases) {
            if (phase) {
                phase->revolutionsDone(revolutions);
            }
        }
    }
    retireUnchosen();
}

void TEncoderRun::closed(std::size_t channel, int phase, TEncoderCycle& cycle) {
    if (m_chosen != 0 && m_chosen != phase + 1) {
        return;  // a cycle the decided phase left over, closing in the same call
    }
    const double seconds = m_revolutionSeconds[0] + m_revolutionSeconds[1];
    const double revolutions = m_revolutionSeconds[0] > 0 ? 2 : 1;
    cycle.Rpm = seconds > 0 ? 60 * revolutions / seconds : 0;
    TTally& tally = m_tallies[channel][static_cast<std::size_t>(phase)];
    for (std::size_t k = 0; k < tally.Sum.size(); ++k) {
        tally.Sum[k] += cycle.Points[k];
    }
    ++tally.Count;
    if (m_chosen == phase + 1) {
        deliver(channel, cycle);
        return;
    }
    tally.Held.push_back(cycle);
    if (channel == 0 && phase == 0 && tally.Count == kDecidingCycles) {
        decide(PeakInFiringHalf(tally.mean()) ? 1 : 2);
    }
}

// The phase is known: the other one stops, the held cycles go on in order.
// The other phase's cycles are dropped by retireUnchosen(), once its own call
// (which may be the one deciding) has returned.
void TEncoderRun::decide(int phase) {
    m_chosen = phase;
    for (std::size_t channel = 0; channel < m_channels; ++channel) {
        m_tallies[channel][static_cast<std::size_t>(2 - phase)] = TTally();
        std::vector<TEncoderCycle> held =
            std::move(m_tallies[channel][static_cast<std::size_t>(phase - 1)].Held);
        for (TEncoderCycle& cycle : held) {
            deliver(channel, cycle);
        }
    }
}

void TEncoderRun::retireUnchosen() {
    if (m_chosen != 0) {
        for (TPhases& phases : m_phases) {
            phases[static_cast<std::size_t>(2 - m_chosen)].reset();
        }
        m_only = m_phases[0][static_cast<std::size_t>(m_chosen - 1)].get();
    }
}

void TEncoderRun::deliver(std::size_t channel, TEncoderCycle& cycle) {
    if (channel == 0 && m_knock) {
        m_result.Mapo.push_back(cycle.Mapo);
        m_result.Knocks.push_back(cycle.Knocks);
    }
    if (m_options.CycleSink) {
        if (several()) {
            // The cycle's place counted from the first channel's cycles of the chosen phase.
            const double origin = 360.0 * (m_chosen - 1) - m_options.ReferenceAngle + channelStart(channel);
            cycle.Channel = static_cast<int>(channel);
            cycle.EngineCycle = std::llround((cycle.Start - origin) / 720);
        }
        m_options.CycleSink(cycle);
    }
    if (channel == 0 && m_options.KeepCycles) {
        m_result.Cycles.push_back(cycle.Points);
        m_result.CycleRpm.push_back(cycle.Rpm);
    }
}

// Every channel's cycles and mean; a channel without a complete cycle fails.
void TEncoderRun::finishChannels() {
    for (std::size_t channel = 0; channel < m_channels && several(); ++channel) {
        const TTally& tally = m_tallies[channel][static_cast<std::size_t>(m_chosen - 1)];
        if (tally.Count == 0) {
            RaiseRecordingError(
                "Záznam nemá pro válec " + std::to_string(channel + 1) +
                " ani jeden úplný cyklus (úplných otáček: " + std::to_string(m_crank->revolutions()) + ")");
        }
        m_result.ChannelMeans.push_back(tally.mean());
        m_result.ChannelCycleCounts.push_back(tally.Count);
    }
}

TEncoderResult TEncoderRun::finish() {
    if (!m_crank) {
        if (m_opening.rows() == 0) {
            RaiseRecordingError("Soubor neobsahuje žádná data");
        }
        fix();
    }
    m_crank->finish();
    for (const TPhases& phases : m_phases) {
        for (const std::unique_ptr<TPhaseCycles>& phase : phases) {
            if (phase) {
                phase->finish();
            }
        }
    }
    if (m_crank->revolutions() < 1) {
        RaiseRecordingError("Záznam nemá ani jednu úplnou otáčku (referenčních značek: " +
                            std::to_string(m_crank->references()) + ")");
    }
    if (m_chosen == 0) {
        decide(m_tallies[0][0].Count > 0 && !PeakInFiringHalf(m_tallies[0][0].mean()) ? 2 : 1);
    }
    const TTally& chosen = m_tallies[0][static_cast<std::size_t>(m_chosen - 1)];
    if (chosen.Count == 0) {
        RaiseRecordingError(
            "Záznam nemá ani jeden úplný cyklus (úplných otáček: " + std::to_string(m_crank->revolutions()) +
            ", fáze " + std::to_string(m_chosen) + ")");
    }
    finishChannels();
    m_result.Phase = m_chosen;
    m_result.Revolutions = static_cast<int>(m_crank->revolutions());
    m_result.Rpm = 60.0 * static_cast<double>(m_crank->revolutions()) /
                   (m_crank->lastReference() - m_crank->firstReference());
    m_result.CycleCount = chosen.Count;
    m_result.Mean = chosen.mean();
    for (const double point : m_result.Mean) {
        m_result.Largest = std::max(m_result.Largest, std::fabs(point));
    }
    if (m_result.Largest > 0) {
        for (std::size_t k = 0; k < m_result.Signal.size(); ++k) {
            m_result.Signal[k] = m_result.Mean[k] / m_result.Largest;
        }
    }
    return std::move(m_result);
}

namespace {

// The time column's check, made where the line's text is at hand.
TRowSink TimeGrows(std::size_t time) {
    return
        [time, known = false, last = 0.0](const std::vector<double>& values, const TRowPlace& place) mutable {
            const double moment = values[time];
            if (known && !(moment > last)) {
                RaiseRecordingLineError(place.Line, place.Text, "čas ve sloupci času musí stále růst");
            }
            known = true;
            last = moment;
        };
}

}  // namespace

TEncoderResult ImportEncoderRecording(const TEncoderOptions& given) {
    // A binary recording's master stands for the angle or the time column.
    TEncoderOptions options = given;
    if (options.AngleColumn.empty() && options.TimeColumn.empty()) {
        options.AngleColumn = ImpliedAngleColumn(options.Path, options.ValueColumn);
    }
    if (!options.AngleColumn.empty()) {
        return ImportAngleRecording(options);
    }
    if (options.TimeColumn.empty()) {
        options.TimeColumn = ImpliedTimeColumn(options.Path, options.EncoderColumn);
    }
    CheckOptions(options);
    const TColumns columns = ColumnsOf(options);
    TEncoderRun run(options, columns);
    TRowBlockReading reading{options.Path, options.Format, columns.Names, options.Threads, {}};
    if (columns.Time) {
        reading.Check = TimeGrows(*columns.Time);
    }
    ReadRowBlocks(reading, [&run](const TRowBlock& block) {
        for (std::size_t at = 0; at < block.rows(); ++at) {
            run.row(block.row(at), block.Lines[at]);
        }
    });
    return run.finish();
}

void ShowEncoderResult(const TEncoderResult& result, IMessageBoxes& boxes, TSignalTable& signal) {
    boxes.ShowInfo(result.AngleDomain ? "Cykly: " + FormatInteger(result.CycleCount) + " (záznam v úhlu)"
                                      : "Cykly / Otáčky [RPM]: " + FormatInteger(result.CycleCount) + " / " +
                                            FormatInteger(std::llround(result.Rpm)));
    if (!result.KnockNote.empty()) {
        boxes.ShowInfo(result.KnockNote);
    }
    // Without a non-zero point the normalisation would be 0 / 0.
    if (result.Largest == 0) {
        RaiseInvalidOp();
    }
    signal = result.Signal;
}

void ImportEncoderSignal(const TEncoderOptions& options, IMessageBoxes& boxes, TSignalTable& signal) {
    ShowEncoderResult(ImportEncoderRecording(options), boxes, signal);
}

TPressureCycle PressureCycleOf(TEncoderResult result, const std::string& source) {
    TPressureCycle cycle{result.Mean, std::move(result.Cycles), source, {}, result.InBar};
    cycle.Rpm = result.Rpm;
    cycle.CycleRpm = std::move(result.CycleRpm);
    if (!result.Mapo.empty() && result.Mapo.size() == cycle.Cycles.size()) {
        cycle.Knock.reserve(result.Mapo.size());
        for (std::size_t i = 0; i < result.Mapo.size(); ++i) {
            cycle.Knock.push_back({result.Mapo[i], i < result.Knocks.size() && result.Knocks[i]});
        }
    }
    return cycle;
}

}  // namespace morvane
