// Heights of the terrain tiles of a folder (ESRI ASCII grids in Lambert-93),
// read with GDAL on first use and kept in memory at the resolution asked for.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

class TerrainTiles {
public:
    // Lists the .asc files under `folder` (and its subfolders) with their extents.
    explicit TerrainTiles(const std::string& folder);

    size_t tileCount() const { return tiles.size(); }

    // Height at each Lambert-93 point (NaN where no tile has a value), read from
    // grids averaged down to about `metresPerSample` per cell.
    std::vector<float> heights(const std::vector<double>& x, const std::vector<double>& y, double metresPerSample);

private:
    struct Tile {
        std::string path;
        double minX = 0, minY = 0, maxX = 0, maxY = 0;
        int cols = 0, rows = 0;
        double cellSize = 1;
    };
    struct Grid {
        bool ok = false;
        int cols = 0, rows = 0;
        std::vector<float> values;  // NaN = no data
        uint64_t lastUse = 0;
    };

    int tileAt(double x, double y) const;
    const Grid& grid(int tile, int level);
    float sampleGrid(const Tile& tile, const Grid& grid, double x, double y) const;
    void evictOldGrids();

    std::vector<Tile> tiles;
    std::map<std::pair<long, long>, std::vector<int>> tilesByKm;  // kilometre cell -> tiles touching it
    std::map<std::pair<int, int>, Grid> grids;                     // (tile, level) -> heights
    size_t cachedValues = 0;
    uint64_t useCounter = 0;
};
