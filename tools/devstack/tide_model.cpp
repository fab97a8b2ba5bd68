#include "tools/devstack/tide_model.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

// Mean longitudes (degrees) of the Moon s, the Sun h, the lunar perigee p and
// the Moon's ascending node N, and T = hour angle of the mean Sun + 180.
struct Astronomy {
    double T, s, h, p, N;
};

Astronomy astronomyAt(double utcSeconds) {
    const double julianCenturies = (utcSeconds / 86400.0 + 2440587.5 - 2451545.0) / 36525.0;
    const double hourOfDay = std::fmod(utcSeconds, 86400.0) / 3600.0;
    Astronomy a;
    a.T = 15.0 * hourOfDay + 180.0;
    a.s = 218.3164477 + 481267.88123421 * julianCenturies;
    a.h = 280.46646 + 36000.76983 * julianCenturies;
    a.p = 83.3532465 + 4069.0137287 * julianCenturies;
    a.N = 125.04452 - 1934.136261 * julianCenturies;
    return a;
}

// Doodson-style multipliers of (T, s, h, p) plus a constant, and the family
// of nodal corrections the constituent follows.
enum class Nodal { none, m2, k1, o1, k2, m2Squared };

struct Constituent {
    int t, s, h, p;
    double constant;
    Nodal nodal;
    bool semidiurnal;
};

// Equilibrium argument V (degrees) and nodal factor f and angle u.
double argument(const Constituent& c, const Astronomy& a) {
    return c.t * a.T + c.s * a.s + c.h * a.h + c.p * a.p + c.constant;
}

void nodalCorrection(Nodal nodal, double nodeDegrees, double& f, double& u) {
    const double n = nodeDegrees * kDegree;
    const double fM2 = 1.0004 - 0.0373 * std::cos(n) + 0.0002 * std::cos(2 * n);
    const double uM2 = -2.14 * std::sin(n);
    switch (nodal) {
    case Nodal::none: f = 1.0, u = 0.0; break;
    case Nodal::m2: f = fM2, u = uM2; break;
    case Nodal::m2Squared: f = fM2 * fM2, u = 2 * uM2; break;
    case Nodal::k1:
        f = 1.0060 + 0.1150 * std::cos(n) - 0.0088 * std::cos(2 * n) + 0.0006 * std::cos(3 * n);
        u = -8.86 * std::sin(n) + 0.68 * std::sin(2 * n) - 0.07 * std::sin(3 * n);
        break;
    case Nodal::o1:
        f = 1.0089 + 0.1871 * std::cos(n) - 0.0147 * std::cos(2 * n) + 0.0014 * std::cos(3 * n);
        u = 10.80 * std::sin(n) - 1.34 * std::sin(2 * n) + 0.19 * std::sin(3 * n);
        break;
    case Nodal::k2:
        f = 1.0241 + 0.2863 * std::cos(n) + 0.0083 * std::cos(2 * n) - 0.0015 * std::cos(3 * n);
        u = -17.74 * std::sin(n) + 0.68 * std::sin(2 * n) - 0.04 * std::sin(3 * n);
        break;
    }
}

struct PortConstituent {
    Constituent constituent;
    HarmonicConstant constant;
};

// The port's full set: its main constituents and the minor ones, taken in
// the usual proportions of the Atlantic and Channel coasts.
std::vector<PortConstituent> constituentsOf(const TidePort& port) {
    const auto with = [](HarmonicConstant base, double ratio, double phaseShift) {
        return HarmonicConstant{base.amplitude * ratio, base.phase + phaseShift};
    };
    return {
        {{2, -2, 2, 0, 0.0, Nodal::m2, true}, port.m2},                        // M2
        {{2, 0, 0, 0, 0.0, Nodal::none, true}, port.s2},                       // S2
        {{2, -3, 2, 1, 0.0, Nodal::m2, true}, port.n2},                        // N2
        {{2, 0, 2, 0, 0.0, Nodal::k2, true}, port.k2},                         // K2
        {{1, 0, 1, 0, -90.0, Nodal::k1, false}, port.k1},                      // K1
        {{1, -2, 1, 0, 90.0, Nodal::o1, false}, port.o1},                      // O1
        {{1, 0, -1, 0, 90.0, Nodal::none, false}, with(port.k1, 0.33, -4)},    // P1
        {{1, -3, 1, 1, 90.0, Nodal::o1, false}, with(port.o1, 0.20, -45)},     // Q1
        {{2, -3, 4, -1, 0.0, Nodal::m2, true}, with(port.n2, 0.19, 3)},        // NU2
        {{2, -1, 2, -1, 180.0, Nodal::m2, true}, with(port.m2, 0.028, 25)},    // L2
        {{2, -4, 2, 2, 0.0, Nodal::m2, true}, with(port.n2, 0.13, -18)},       // 2N2
        {{4, -4, 4, 0, 0.0, Nodal::m2Squared, false}, port.m4},                // M4
        {{4, -2, 2, 0, 0.0, Nodal::m2, false}, with(port.m4, 0.6, 48)},        // MS4
        {{4, -5, 4, 1, 0.0, Nodal::m2Squared, false}, with(port.m4, 0.35, -22)}, // MN4
    };
}

// Half the mean equinoctial spring range, in the proportion it has at Brest
// (3.05 m for M2 + S2 = 2.80 m).
double unitHeight(const TidePort& port) {
    return (port.m2.amplitude + port.s2.amplitude) * (3.05 / 2.80);
}

} // namespace

const TidePort* findTidePort(const std::string& id) {
    for (const TidePort& port : tidePorts()) {
        if (port.id == id) return &port;
    }
    return nullptr;
}

double tideHeight(const TidePort& port, double utcSeconds) {
    const Astronomy a = astronomyAt(utcSeconds);
    double height = port.meanLevel;
    for (const PortConstituent& pc : constituentsOf(port)) {
        double f = 1.0, u = 0.0;
        nodalCorrection(pc.constituent.nodal, a.N, f, u);
        height += f * pc.constant.amplitude * std::cos((argument(pc.constituent, a) + u - pc.constant.phase) * kDegree);
    }
    return height;
}

int tideCoefficient(const TidePort& port, double utcSeconds) {
    const Astronomy a = astronomyAt(utcSeconds);
    std::complex<double> sum;
    for (const PortConstituent& pc : constituentsOf(port)) {
        if (!pc.constituent.semidiurnal) continue;
        double f = 1.0, u = 0.0;
        nodalCorrection(pc.constituent.nodal, a.N, f, u);
        sum += std::polar(f * pc.constant.amplitude, (argument(pc.constituent, a) + u - pc.constant.phase) * kDegree);
    }
    return static_cast<int>(std::lround(100.0 * std::abs(sum) / unitHeight(port)));
}

std::vector<TideExtremum> findTideExtrema(const TidePort& port, int64_t fromUtc, int64_t toUtc) {
    // Search beyond both ends so that an extremum near an end is judged
    // against its true neighbours.
    const int64_t margin = 6 * 3600;
    const int64_t step = 60;
    std::vector<double> heights;
    for (int64_t t = fromUtc - margin; t <= toUtc + margin; t += step) heights.push_back(tideHeight(port, static_cast<double>(t)));

    std::vector<TideExtremum> found;
    for (size_t i = 1; i + 1 < heights.size(); ++i) {
        const bool high = heights[i] > heights[i - 1] && heights[i] >= heights[i + 1];
        const bool low = heights[i] < heights[i - 1] && heights[i] <= heights[i + 1];
        if (!high && !low) continue;
        if (!found.empty() && found.back().high == high) {
            // Two of a kind in a row (a flat stretch): keep the more extreme.
            if ((high && heights[i] > found.back().height) || (!high && heights[i] < found.back().height)) {
                found.back() = {high, fromUtc - margin + static_cast<int64_t>(i) * step, heights[i]};
            }
            continue;
        }
        found.push_back({high, fromUtc - margin + static_cast<int64_t>(i) * step, heights[i]});
    }

    // A rise or fall smaller than this is a shallow-water wiggle (the double
    // high water of the Seine estuary), not a tide of its own.
    const double threshold = 0.08 * (port.m2.amplitude + port.s2.amplitude);
    const auto moreExtreme = [](const TideExtremum& a, const TideExtremum& b) {
        return a.high ? (a.height >= b.height ? a : b) : (a.height <= b.height ? a : b);
    };
    for (;;) {
        size_t smallest = found.size();
        double smallestRise = threshold;
        for (size_t i = 0; i + 1 < found.size(); ++i) {
            const double rise = std::fabs(found[i + 1].height - found[i].height);
            if (rise < smallestRise) {
                smallestRise = rise;
                smallest = i;
            }
        }
        if (smallest == found.size()) break;
        // Drop the pair; the neighbours of each kind merge into the more extreme one.
        const size_t i = smallest;
        if (i > 0) found[i - 1] = moreExtreme(found[i - 1], found[i + 1]);
        if (i + 2 < found.size()) found[i + 2] = moreExtreme(found[i + 2], found[i]);
        found.erase(found.begin() + static_cast<std::ptrdiff_t>(i), found.begin() + static_cast<std::ptrdiff_t>(i + 2));
    }

    std::vector<TideExtremum> result;
    for (const TideExtremum& e : found) {
        if (e.utcSeconds >= fromUtc && e.utcSeconds < toUtc) result.push_back(e);
    }
    return result;
}
