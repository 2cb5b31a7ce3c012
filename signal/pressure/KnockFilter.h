#pragma once

#include "util/numtext.h"

// The knock band-pass of a cylinder-pressure recording and its settings.
//
// Band-pass = a 2nd-order Butterworth high-pass at Low followed by a
// 2nd-order Butterworth low-pass at High, each a biquad from the bilinear
// transform with its cut-off pre-warped (K = tan(pi * fc / fs), Q = 1/sqrt(2)),
// run forward in time over every sample of the recording from a zero state.
// MAPO of a cycle = the largest |filtered value| among its samples whose cycle
// angle lies in [From, To] (both ends included); a cycle knocks when its MAPO
// exceeds Threshold.

namespace morvane {

struct TKnockSettings {
    double Low = 4000;    // Hz, > 0
    double High = 20000;  // Hz, above Low and below half the sample rate
    double From = 360;    // cycle angle [°], 0 <= From <= To <= 720
    double To = 420;
    double Threshold = 1.0;  // bar, >= 0
};

// Whether the band lies below half the sample rate, as the filter needs.
bool KnockBandFits(const TKnockSettings& settings, double sampleRate);

// Raises EInputError naming the field and its valid range when the settings
// cannot be used at this sample rate.
void CheckKnockSettings(const TKnockSettings& settings, double sampleRate, TNumberFormat format);

// One biquad section, direct form I.
class TBiquad {
public:
    TBiquad(double b0, double b1, double b2, double a1, double a2) : m_b{b0, b1, b2}, m_a{a1, a2} {}
    // The coefficients b0, b1, b2 of the input and a1, a2 of the output.
    double b(int k) const { return m_b[k]; }
    double a(int k) const { return m_a[k - 1]; }
    double step(double x) {
        const double y = m_b[0] * x + m_b[1] * m_x1 + m_b[2] * m_x2 - m_a[0] * m_y1 - m_a[1] * m_y2;
        m_x2 = m_x1;
        m_x1 = x;
        m_y2 = m_y1;
        m_y1 = y;
        return y;
    }

private:
    double m_b[3];
    double m_a[2];
    double m_x1 = 0;
    double m_x2 = 0;
    double m_y1 = 0;
    double m_y2 = 0;
};

// The pre-warped Butterworth sections at cut-off / sampleRate.
TBiquad ButterworthHighPass(double cutOff, double sampleRate);
TBiquad ButterworthLowPass(double cutOff, double sampleRate);

// The band-pass above; the settings are checked first.
class TKnockFilter {
public:
    TKnockFilter(const TKnockSettings& settings, double sampleRate, TNumberFormat format);
    double step(double x) { return m_lowPass.step(m_highPass.step(x)); }
    const TBiquad& highPass() const { return m_highPass; }
    const TBiquad& lowPass() const { return m_lowPass; }

private:
    TBiquad m_highPass;
    TBiquad m_lowPass;
};

}  // namespace morvane
