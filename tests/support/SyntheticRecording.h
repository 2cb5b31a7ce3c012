#pragma once

// Synthetic engine-bench recordings for the tests of the toothed-wheel import:
// generated, never committed, with a known wheel, speed and pressure shape.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace morvane::testing {

// A synthetic engine-bench recording: a toothed wheel turning at a known speed
// past its sensor, sampled beside a known pressure shape over the cycle.
struct TSynthetic {
    int Teeth = 60;
    int Missing = 2;
    double RpmStart = 3000;
    double RpmEnd = 3000;
    double Rate = 100000;
    int Revolutions = 20;       // complete ones, between the first and the last reference edge
    double ReferenceAngle = 0;  // cycle angle of the reference edge
    double FiringShift = 0;     // 360: the second complete revolution opens the firing cycle
    std::string Separator = ";";
    char Decimal = ',';
    bool TimeColumn = false;
    bool IndexColumn = false;
    double Noise = 0;  // encoder noise, a share of its swing
    int DroppedToothRevolution = 0;
    bool HeaderInTheMiddle = false;
    double Scale = 1;  // bar per recorded unit of the pressure column
    // Added to the pressure [bar] of cycle (counted from the one holding the
    // first reference edge at its cycle angle, -1 before it) at time t [s].
    std::function<double(int cycle, double cycleAngle, double t)> Added;
    // One pressure column per cylinder instead of one: cylinder k's cycle opens
    // at cycle angle CylinderOffsets[k]; Added is then asked with the
    // cylinder's own cycle and angle, CylinderAdded before it with its number.
    std::vector<double> CylinderOffsets;
    std::function<double(int cylinder, int cycle, double cycleAngle, double t)> CylinderAdded;
};

inline constexpr double kStartAngle = -100;  // the recording starts within a revolution

inline double Pressure(double cycleAngle) {
    const double x = (cycleAngle - 372) / 15;
    return 1 + 40 * std::exp(-x * x);
}

// Moment at which the crank, accelerating evenly, reaches angle (degrees from the first reference edge).
inline double MomentOf(const TSynthetic& s, double angle, double duration) {
    const double a = 6 * (s.RpmEnd - s.RpmStart) / (2 * duration);
    const double b = 6 * s.RpmStart;
    const double c = kStartAngle - angle;
    return a == 0 ? -c / b : (-b + std::sqrt(b * b - 4 * a * c)) / (2 * a);
}

inline double ExpectedRpm(const TSynthetic& s) {
    const double duration = (360.0 * s.Revolutions - 2 * kStartAngle) / (3 * (s.RpmStart + s.RpmEnd));
    return 60.0 * s.Revolutions / (MomentOf(s, 360.0 * s.Revolutions, duration) - MomentOf(s, 0, duration));
}

// The encoder's level at a crank angle: ramps of 1° (less on fine wheels)
// centred on each tooth's rising and falling flank.
inline double EncoderLevel(const TSynthetic& s, double angle) {
    const double pitch = 360.0 / s.Teeth;
    const double ramp = std::min(1.0, pitch / 6);
    const int revolution = static_cast<int>(std::floor(angle / 360)) + 1;
    const double position = angle - 360.0 * (revolution - 1);
    const auto present = [&](int tooth) {
        tooth %= s.Teeth;
        return tooth < s.Teeth - s.Missing && !(revolution == s.DroppedToothRevolution && tooth == 10);
    };
    const int tooth = static_cast<int>(position / pitch);
    const double f = position / pitch - tooth;
    if (f < 0.25) {
        return present(tooth) ? std::clamp(0.5 + f * pitch / ramp, 0.0, 1.0) : 0;
    }
    if (f < 0.75) {
        return present(tooth) ? std::clamp(0.5 - (f - 0.5) * pitch / ramp, 0.0, 1.0) : 0;
    }
    return present(tooth + 1) ? std::clamp(0.5 + (f - 1) * pitch / ramp, 0.0, 1.0) : 0;
}

inline std::string Number(double value, char decimal) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    std::string number = text;
    std::replace(number.begin(), number.end(), '.', decimal);
    return number;
}

inline std::vector<std::string> RecordingLines(const TSynthetic& s) {
    const double duration = (360.0 * s.Revolutions - 2 * kStartAngle) / (3 * (s.RpmStart + s.RpmEnd));
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-s.Noise, s.Noise);
    std::vector<std::string> lines;
    std::string header = "encoder" + s.Separator + "pressure";
    for (std::size_t k = 1; k < s.CylinderOffsets.size(); ++k) {
        header += s.Separator + "pressure " + std::to_string(k + 1);
    }
    header += s.TimeColumn ? s.Separator + "time" : "";
    header += s.IndexColumn ? s.Separator + "index" : "";
    lines.push_back(header);
    const auto samples = static_cast<long>(duration * s.Rate);
    for (long i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / s.Rate;
        const double angle =
            kStartAngle + 6 * (s.RpmStart * t + (s.RpmEnd - s.RpmStart) * t * t / (2 * duration));
        const double cycleAngle = std::fmod(s.ReferenceAngle + s.FiringShift + angle + 1440, 720);
        const int cycle = static_cast<int>(std::floor((s.ReferenceAngle + s.FiringShift + angle) / 720));
        const double pressure = Pressure(cycleAngle) + (s.Added ? s.Added(cycle, cycleAngle, t) : 0);
        std::string line = Number(EncoderLevel(s, angle) + noise(random), s.Decimal);
        if (s.CylinderOffsets.empty()) {
            line += s.Separator + Number(pressure / s.Scale, s.Decimal);
        }
        for (std::size_t k = 0; k < s.CylinderOffsets.size(); ++k) {
            const double own = s.ReferenceAngle + s.FiringShift + angle - s.CylinderOffsets[k];
            const int ownCycle = static_cast<int>(std::floor(own / 720));
            const double ownAngle = own - 720.0 * ownCycle;
            const int cylinder = static_cast<int>(k) + 1;
            const double added = s.CylinderAdded ? s.CylinderAdded(cylinder, ownCycle, ownAngle, t) : 0;
            line += s.Separator + Number((Pressure(ownAngle) + added) / s.Scale, s.Decimal);
        }
        line += s.TimeColumn ? s.Separator + Number(t, s.Decimal) : "";
        const double position = std::fmod(angle + 720, 360);
        line += s.IndexColumn ? s.Separator + (position >= 359.3 && position < 359.8 ? "1" : "0") : "";
        lines.push_back(line);
        if (s.HeaderInTheMiddle && i == samples / 2) {
            lines.push_back(header);
        }
    }
    return lines;
}

// The lines joined as a file's text with CR LF line ends.
inline std::string RecordingText(const std::vector<std::string>& lines) {
    std::string content;
    for (const std::string& line : lines) {
        content += line + "\r\n";
    }
    return content;
}

}  // namespace morvane::testing
