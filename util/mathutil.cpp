#include "util/mathutil.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>

#include "parser/Parser.h"
#include "util/errors.h"
#include "util/fpfault.h"

namespace morvane {

std::array<double, kDegreeTableSize> SinTable{};
std::array<double, kDegreeTableSize> CosTable{};
TMathParser* MathParser = nullptr;

namespace {

// Pi to more digits than the extended type holds, so the angle is formed from
// the nearest extended value.
constexpr long double kExtendedPi = 3.14159265358979323846264338327950288L;

// Round to the nearest, exact halves to even, as a colour channel 0..255.
unsigned Channel(long double value) {
    return static_cast<unsigned>(RoundToInt64(value));
}

}  // namespace

void ResampleTable(const T1DTable& source, T1DTable& dest, std::int32_t n) {
    const std::int64_t sampleCount = source.Count;
    if (sampleCount <= 0) {
        return;
    }
    // Count is trusted to match Values; a table that claims more samples than
    // it holds must not be read past its end.
    if (static_cast<std::uint64_t>(sampleCount) > source.Values.size()) {
        RaiseListIndexError(sampleCount - 1);
    }
    if (n < 1) {
        dest.Values.clear();
        dest.Count = 0;
        return;
    }

    dest.Count = n;
    dest.Values.resize(static_cast<std::size_t>(n));
    const std::int64_t lastSample = sampleCount - 1;
    const long double intervals = static_cast<long double>(n - 1);
    for (std::int64_t i = 0; i + 1 < n; ++i) {
        // The product needs 64 bits: 1441 points over a few million samples
        // already exceed the 32-bit range.
        const std::int64_t product = i * lastSample;
        const double position = static_cast<double>(static_cast<long double>(product) / intervals);
        const std::int64_t k = static_cast<std::int64_t>(position);
        const double fraction = position - static_cast<double>(k);
        const double a = source.Values[static_cast<std::size_t>(k)];
        if (sampleCount == 1) {
            dest.Values[static_cast<std::size_t>(i)] = a;
            continue;
        }
        const double b = source.Values[static_cast<std::size_t>(k + 1)];
        const long double point = (static_cast<long double>(b) - a) * static_cast<long double>(fraction) +
                                  static_cast<long double>(a);
        dest.Values[static_cast<std::size_t>(i)] = StoreDouble(point);
    }
    dest.Values[static_cast<std::size_t>(n - 1)] = source.Values[static_cast<std::size_t>(lastSample)];
}

double RoundToStep(double value, double step) {
    const long double quotient = Divide(value, step);
    const std::int64_t multiple = RoundToInt64(quotient);
    return StoreDouble(static_cast<long double>(multiple) * static_cast<long double>(step));
}

TColor ValueToColor(double x) {
    double v = static_cast<double>(1.0L - static_cast<long double>(x));
    // The negated test also sends NaN to 0.
    if (!(v >= 0)) {
        v = 0;
    }
    if (v > 1) {
        v = 1;
    }

    const long double w = v;
    unsigned red = 0;
    unsigned green = 0;
    unsigned blue = 0;
    if (v <= 0.25) {
        red = 255;
        green = Channel(1020.0L * w);
    } else if (v <= 0.5) {
        red = Channel(255.0L - (w - 0.25L) * 1020.0L);
        green = 255;
    } else if (v <= 0.75) {
        green = 255;
        blue = Channel((w - 0.5L) * 1020.0L);
    } else {
        green = Channel(255.0L - (w - 0.75L) * 1020.0L);
        blue = 255;
    }
    return red + 256u * green + 65536u * blue;
}

void MathUtilStartup() {
    MathUtilShutdown();
    MathParser = new TMathParser(nullptr);

    for (int i = 0; i < kDegreeTableSize; ++i) {
        const long double angle = static_cast<long double>(i) * kExtendedPi / 180.0L;
        SinTable[static_cast<std::size_t>(i)] = static_cast<double>(sinl(angle));
        CosTable[static_cast<std::size_t>(i)] = static_cast<double>(cosl(angle));
    }

    // Nothing draws random numbers; the generator is seeded as the module
    // always has been, from the low 32 bits of the fastest clock.
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    std::srand(static_cast<unsigned>(static_cast<std::uint64_t>(ticks) & 0xFFFFFFFFu));
}

void MathUtilShutdown() {
    delete MathParser;
    MathParser = nullptr;
}

namespace {

template <typename TBefore>
const double* FirstExtreme(const double* const first, const double* const last, TBefore before) {
    if (first == last) {
        return last;
    }
    std::array<double, 4> lanes = {*first, *first, *first, *first};
    const double* p = first;
    for (; last - p >= 4; p += 4) {
        for (std::size_t lane = 0; lane < lanes.size(); ++lane) {
            lanes[lane] = before(p[lane], lanes[lane]) ? p[lane] : lanes[lane];
        }
    }
    for (; p != last; ++p) {
        lanes[0] = before(*p, lanes[0]) ? *p : lanes[0];
    }
    const double a = before(lanes[1], lanes[0]) ? lanes[1] : lanes[0];
    const double b = before(lanes[3], lanes[2]) ? lanes[3] : lanes[2];
    return std::find(first, last, before(b, a) ? b : a);
}

}  // namespace

const double* FirstLargest(const double* first, const double* last) {
    return FirstExtreme(first, last, [](double x, double than) { return than < x; });
}

const double* FirstSmallest(const double* first, const double* last) {
    return FirstExtreme(first, last, [](double x, double than) { return x < than; });
}

}  // namespace morvane
