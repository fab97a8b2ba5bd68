// terrain-load-bench TILE...: for the first 1, 2 and 4 tiles, times GDAL's
// read of the merged band, the grid built from it and the render vertices,
// and measures the peak resident memory of the whole load. Times are the
// best of seven runs (the machine may be shared); memory is from the first.
// Exit code 1 when the four-tile load misses its targets: everything after
// the read within half the read's time, peak memory within 1.3 times the
// bytes of elevations, points, triangles and render vertices.
#include "terrain/bathy.h"
#include "terrain/terrain_grid.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Resident memory in bytes from /proc/self/status ("VmRSS" or "VmHWM").
double statusBytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) != 0) continue;
        std::istringstream fields(line.substr(key.size() + 1));
        double kb = 0;
        fields >> kb;
        return kb * 1024.0;
    }
    return 0;
}

// Starts a new peak measurement (Linux: "5" resets VmHWM to the current RSS).
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct Result {
    int tiles = 0;
    size_t cells = 0, triangles = 0;
    double read = 1e9, grid = 1e9, vertices = 1e9;
    double baseline = 0, peak = 0, needed = 0;
};

// The library's progress lines are not what is being measured.
struct Quiet {
    std::streambuf* saved = std::cout.rdbuf(nullptr);
    ~Quiet() { std::cout.rdbuf(saved); }
};

Result measure(const std::vector<std::string>& paths, int repetitions) {
    Result r;
    r.tiles = int(paths.size());
    for (int rep = 0; rep < repetitions; ++rep) {
        const double baseline = statusBytes("VmRSS");
        resetPeak();
        {
            Quiet quiet;
            Bathy bathy(paths);
            bathy.logGeoTransform();
            const int w = bathy.width(), h = bathy.height();

            Clock::time_point start = Clock::now();
            std::vector<float> elevations = bathy.readElevations();
            r.read = std::min(r.read, secondsSince(start));
            const size_t cells = elevations.size();

            TerrainGrid grid;
            grid.dataset = &bathy;
            start = Clock::now();
            grid.generateFrom(std::move(elevations), w, h, bathy.geoTransform(), bathy.noDataValue());
            const double gridTime = secondsSince(start);

            start = Clock::now();
            const std::vector<TerrainVertex> vertices =
                buildRenderVertices(grid.points, grid.triangles, 1.0f, renderBoundsOf(grid.points));
            const double vertexTime = secondsSince(start);
            // The best whole run after the read, not the best of each part.
            if (gridTime + vertexTime < r.grid + r.vertices) {
                r.grid = gridTime;
                r.vertices = vertexTime;
            }

            if (rep == 0) {
                r.cells = cells;
                r.triangles = grid.triangles.size();
                r.baseline = baseline;
                r.peak = statusBytes("VmHWM");
                r.needed = double(cells) * sizeof(float) + double(grid.points.size()) * sizeof(GridPoint) +
                           double(grid.triangles.size()) * sizeof(Triangle) +
                           double(vertices.size()) * sizeof(TerrainVertex);
            }
        }
    }
    return r;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> tiles(argv + 1, argv + argc);
    if (tiles.size() < 4) {
        std::cerr << "Usage : terrain-load-bench DALLE1 DALLE2 DALLE3 DALLE4 (deux par deux voisines)" << std::endl;
        return 2;
    }
    constexpr double MB = 1024.0 * 1024.0;
    std::printf("%5s %9s %9s %8s %8s %9s %10s %10s %9s %10s %9s\n", "tiles", "cells", "triangles", "read s",
                "grid s", "vertex s", "after/read", "peak MiB", "base MiB", "need MiB", "peak/need");
    Result four;
    for (int n : {1, 2, 4}) {
        const Result r = measure({tiles.begin(), tiles.begin() + n}, 7);
        const double after = r.grid + r.vertices;
        std::printf("%5d %9zu %9zu %8.3f %8.3f %9.3f %10.2f %10.1f %9.1f %10.1f %9.2f\n", r.tiles, r.cells,
                    r.triangles, r.read, r.grid, r.vertices, after / r.read, r.peak / MB, r.baseline / MB,
                    r.needed / MB, r.peak / r.needed);
        if (n == 4) four = r;
    }
    const bool timeOk = four.grid + four.vertices <= 0.5 * four.read;
    const bool memoryOk = four.peak <= 1.3 * four.needed;
    std::printf("4 dalles : après lecture %.3f s pour %.3f s de lecture (%s), pic %.1f MiB pour %.1f MiB "
                "autorisés (%s)\n",
                four.grid + four.vertices, four.read, timeOk ? "OK" : "TROP LENT", four.peak / MB,
                1.3 * four.needed / MB, memoryOk ? "OK" : "TROP");
    return timeOk && memoryOk ? 0 : 1;
}
