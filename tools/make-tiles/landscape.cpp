#include "tools/make-tiles/landscape.h"

#include <algorithm>
#include <cmath>

namespace landscape {
namespace {

constexpr double kPi = 3.14159265358979323846;

uint32_t hash(int64_t ix, int64_t iy, uint32_t seed) {
    uint64_t h = uint64_t(ix) * 0x9E3779B97F4A7C15ull ^ (uint64_t(iy) + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
    h ^= uint64_t(seed) * 0x165667B19E3779F9ull;
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    h *= 0x94D049BB133111EBull;
    h ^= h >> 32;
    return uint32_t(h);
}

// Uniform in [-1, 1].
double lattice(int64_t ix, int64_t iy, uint32_t seed) {
    return hash(ix, iy, seed) * (2.0 / 4294967295.0) - 1.0;
}

double fade(double t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

// Smooth value noise in [-1, 1], one lattice step per unit.
double noise(double x, double y, uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const int64_t ix = int64_t(fx), iy = int64_t(fy);
    const double u = fade(x - fx), v = fade(y - fy);
    const double a = lattice(ix, iy, seed), b = lattice(ix + 1, iy, seed);
    const double c = lattice(ix, iy + 1, seed), d = lattice(ix + 1, iy + 1, seed);
    return a + (b - a) * u + (c - a) * v + (a - b - c + d) * u * v;
}

double fbm(double x, double y, int octaves, uint32_t seed) {
    double sum = 0, amplitude = 1, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * noise(x, y, seed + 101u * uint32_t(i));
        total += amplitude;
        amplitude *= 0.5;
        // Turn each octave so the lattice does not show as straight lines.
        const double rx = 1.6 * x - 1.2 * y, ry = 1.2 * x + 1.6 * y;
        x = rx;
        y = ry;
    }
    return sum / total;
}

double smoothstep(double e0, double e1, double x) {
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

} // namespace

double height(double x, double y, uint32_t seed) {
    // Coast lines run across the map about every 850 m, so every 1 km tile
    // crosses at least one; the noise makes them wander.
    const double angle = 25.0 * kPi / 180.0;
    const double across = x * std::cos(angle) + y * std::sin(angle);
    const double warp = 190.0 * fbm(x / 700.0, y / 700.0, 3, seed + 1);
    const double t = std::sin(kPi * (across + warp) / 850.0);  // > 0 on land

    if (t > 0) {
        const double hills = fbm(x / 260.0, y / 260.0, 3, seed + 2);
        const double rough = 0.25 * noise(x / 9.0, y / 9.0, seed + 3);
        return 40.0 * std::pow(t, 1.4) * (0.85 + 0.25 * hills) + rough * smoothstep(0.0, 0.05, t);
    }

    const double s = -t;
    const double floor = -30.0 * std::pow(s, 0.8) * (0.9 + 0.15 * fbm(x / 300.0, y / 300.0, 2, seed + 4));
    // Rocks: steep outcrops in patches.
    const double rockMask = smoothstep(0.0, 0.4, noise(x / 350.0, y / 350.0, seed + 6));
    const double rocks =
        rockMask > 0 ? 9.0 * rockMask * smoothstep(0.15, 0.6, fbm(x / 35.0, y / 35.0, 3, seed + 5)) : 0.0;
    // Channels: narrow trenches along the zero line of a slow noise.
    const double c = fbm(x / 450.0, y / 450.0, 2, seed + 7);
    const double channel = 6.0 * std::exp(-(c * c) / (0.05 * 0.05));
    const double ripple = 0.15 * noise(x / 7.0, y / 7.0, seed + 8);
    return floor + (rocks - channel + ripple) * smoothstep(0.0, 0.08, s);
}

std::vector<Hole> holesNear(double minX, double minY, double maxX, double maxY, uint32_t seed) {
    // Two to four holes in every square kilometre of the tile grid.
    constexpr double kCell = 1000.0, kMaxRadius = 40.0;
    std::vector<Hole> holes;
    const int64_t i0 = int64_t(std::floor((minX - kMaxRadius) / kCell));
    const int64_t i1 = int64_t(std::floor((maxX + kMaxRadius) / kCell));
    const int64_t j0 = int64_t(std::floor((minY - kMaxRadius) / kCell));
    const int64_t j1 = int64_t(std::floor((maxY + kMaxRadius) / kCell));
    auto unit = [](uint32_t h) { return h / 4294967295.0; };
    for (int64_t j = j0; j <= j1; ++j) {
        for (int64_t i = i0; i <= i1; ++i) {
            const int count = 2 + int(hash(i, j, seed + 9) % 3);
            for (int k = 0; k < count; ++k) {
                const int64_t key = i * 8 + k;
                const double r = 12.0 + (kMaxRadius - 12.0) * unit(hash(key, j, seed + 10));
                const double cx = (i + unit(hash(key, j, seed + 11))) * kCell;
                const double cy = (j + unit(hash(key, j, seed + 12))) * kCell;
                if (cx + r < minX || cx - r > maxX || cy + r < minY || cy - r > maxY) continue;
                holes.push_back({cx, cy, r});
            }
        }
    }
    return holes;
}

} // namespace landscape
