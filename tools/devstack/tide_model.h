// Harmonic tide prediction for the stand-in: water heights above chart
// datum from tidal constituents with astronomical arguments and nodal
// corrections, high and low waters found on that curve, and French tide
// coefficients from the semi-diurnal range.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Amplitude (m) and Greenwich phase lag (degrees) of one constituent.
struct HarmonicConstant {
    double amplitude = 0.0;
    double phase = 0.0;
};

// One port of the stand-in. Only the main constituents are listed per port;
// the minor ones follow from them (see tide_model.cpp).
struct TidePort {
    std::string id;
    std::string nameKey;  // JSON key carrying the name ("" = no name at all)
    std::string name;
    double latitude = 0.0;
    double longitude = 0.0;
    double meanLevel = 0.0;  // Z0, metres above chart datum
    HarmonicConstant m2, s2, n2, k2, k1, o1, m4;
};

const std::vector<TidePort>& tidePorts();
const TidePort* findTidePort(const std::string& id);

// Height above chart datum at a UTC instant (seconds since 1970).
double tideHeight(const TidePort& port, double utcSeconds);

// The French coefficient at an instant: 100 times the semi-diurnal amplitude
// over the port's unit height (half the mean equinoctial spring range).
int tideCoefficient(const TidePort& port, double utcSeconds);

struct TideExtremum {
    bool high = false;   // high water (PM) or low water (BM)
    int64_t utcSeconds = 0;
    double height = 0.0;
};

// High and low waters between two UTC instants, alternating, with the small
// wiggles of shallow-water constituents merged away.
std::vector<TideExtremum> findTideExtrema(const TidePort& port, int64_t fromUtc, int64_t toUtc);
