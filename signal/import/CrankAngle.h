#pragma once

// The crank angle of every sample of an encoder recording, in one pass: the
// encoder's rising edges, the reference mark among them, the angle of each
// edge, and each sample's angle interpolated between its two edges.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "signal/import/ToothedWheel.h"

namespace morvane {

// The lowest and highest value a channel takes.
struct TRange {
    double Lowest = 0;
    double Highest = 0;
};

// A sample at its angle [°] from the first reference edge; the edges before
// that edge are placed by counting back, so angles may start below 0.
struct TPlacedSample {
    double Angle;
    double Value;
    double Filtered;  // travels with Value
};

// Receives the samples with their angle, in recording order.
class ICrankSink {
public:
    virtual ~ICrankSink() = default;
    // The next count samples; one call for the samples between two edges (or
    // a part of them), so the per-sample work stays out of a virtual call.
    virtual void placed(const TPlacedSample* samples, std::size_t count) = 0;
    // Revolution revolutions has closed at a reference edge with the right
    // edge count; seconds is its duration.
    virtual void revolutionDone(std::int64_t revolutions, double seconds) = 0;
    // The encoder's next edge, seconds after the one before; longest is the
    // time the widest interval (the gap) takes at 1 rpm.
    virtual void edgeInterval(double /*seconds*/, double /*longest*/) {}
};

class TCrankAngle {
public:
    // Samples waiting for an edge; without edges (a flat encoder, a stalled
    // engine) the oldest are let go, so memory stays bounded.
    static constexpr std::size_t kMostWaiting = std::size_t{1} << 19;

    // mostWaiting: the samples held for their edge at most (see kMostWaiting).
    TCrankAngle(const TWheel& wheel, TRange encoder, TRange index, ICrankSink& sink,
                std::size_t mostWaiting = kMostWaiting);
    TCrankAngle(const TCrankAngle&) = delete;
    TCrankAngle& operator=(const TCrankAngle&) = delete;

    // The next sample (moments rising). filtered travels with value.
    void sample(double moment, double encoder, double value, double filtered) {
        m_waiting.pushBack({moment, value, filtered});
        if (m_waiting.size() > m_mostWaiting) {
            m_waiting.popFront();
        }
        if (const std::optional<double> edge = m_encoder.feed(moment, encoder)) {
            encoderEdge(*edge);
        }
    }
    // The same with the index channel's sample.
    void sample(double moment, double encoder, double value, double filtered, double index) {
        if (const std::optional<double> indexEdge = m_index.feed(moment, index)) {
            m_finder.indexEdge(*indexEdge);
        }
        sample(moment, encoder, value, filtered);
    }
    // At the end: the last edge's verdict.
    void finish();

    std::int64_t revolutions() const { return m_revolutions; }
    std::int64_t references() const { return m_started ? m_revolutions + 1 : 0; }
    double firstReference() const { return m_firstReference; }
    double lastReference() const { return m_lastReference; }

private:
    struct TSample {
        double Moment;
        double Value;
        double Filtered;
    };

    // The samples waiting for their edge, first in first out, in a ring that
    // doubles when full.
    class TQueue {
    public:
        bool empty() const { return m_size == 0; }
        std::size_t size() const { return m_size; }
        const TSample& front() const { return m_items[m_head]; }
        void popFront() {
            m_head = (m_head + 1) & (m_items.size() - 1);
            --m_size;
        }
        // Takes the samples at or before moment off the front, in order.
        template <typename Each>
        void popUpTo(double moment, Each&& each) {
            const std::size_t mask = m_items.size() - 1;
            const TSample* const items = m_items.data();
            std::size_t head = m_head;
            std::size_t size = m_size;
            for (; size > 0 && items[head].Moment <= moment; --size) {
                each(items[head]);
                head = (head + 1) & mask;
            }
            m_head = head;
            m_size = size;
        }
        void pushBack(const TSample& sample) {
            if (m_size == m_items.size()) {
                grow();
            }
            m_items[(m_head + m_size) & (m_items.size() - 1)] = sample;
            ++m_size;
        }

    private:
        void grow();
        std::vector<TSample> m_items = std::vector<TSample>(1024);
        std::size_t m_head = 0;
        std::size_t m_size = 0;
    };

    void encoderEdge(double moment);
    void place(const TWheelEdge& edge);
    void early(double moment);
    void start(double moment);
    void release(double moment, double angle);

    TEdgeDetector m_encoder;
    TEdgeDetector m_index;
    TReferenceFinder m_finder;
    ICrankSink& m_sink;
    std::size_t m_mostWaiting;
    double m_pitch;
    int m_missing;
    int m_edgesPerRevolution;
    double m_longestInterval;
    std::optional<double> m_lastEdge;
    TQueue m_waiting;
    std::deque<double> m_early;  // edges before the first reference edge
    bool m_started = false;
    bool m_hasEdge = false;
    double m_edgeMoment = 0;
    double m_edgeAngle = 0;
    int m_teeth = 0;
    std::int64_t m_revolutions = 0;
    double m_firstReference = 0;
    double m_lastReference = 0;
};

}  // namespace morvane
