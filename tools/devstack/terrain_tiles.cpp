#include "tools/devstack/terrain_tiles.h"

#include <gdal.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <limits>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr float kNoHeight = std::numeric_limits<float>::quiet_NaN();
// About 256 MB of heights; the grids of one image always stay.
constexpr size_t kMaxCachedValues = 64u * 1024u * 1024u;
constexpr int kMaxLevel = 64;
constexpr double kMaxTileKm2 = 10000;

bool isAscFile(const fs::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".asc";
}

} // namespace

TerrainTiles::TerrainTiles(const std::string& folder) {
    if (folder.empty()) return;
    std::error_code ec;
    std::vector<fs::path> files;
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec) && isAscFile(it->path())) files.push_back(it->path());
    }
    if (ec) std::cerr << "Dossier de dalles illisible : " << folder << " (" << ec.message() << ")" << std::endl;
    std::sort(files.begin(), files.end());

    for (const fs::path& file : files) {
        GDALDatasetH dataset = GDALOpen(file.string().c_str(), GA_ReadOnly);
        if (!dataset) continue;  // GDAL has said why
        double gt[6];
        const bool usable = GDALGetGeoTransform(dataset, gt) == CE_None && GDALGetRasterCount(dataset) >= 1 &&
                            gt[1] > 0 && gt[5] < 0 && gt[2] == 0 && gt[4] == 0;
        // A grid of kilometres of cells is not a terrain tile, and would flood the index.
        const double kmCells = std::abs(gt[1] * GDALGetRasterXSize(dataset) * gt[5] * GDALGetRasterYSize(dataset)) / 1e6;
        if (usable && kmCells > kMaxTileKm2) {
            std::cerr << "Dalle ignorée (trop étendue) : " << file.string() << std::endl;
        } else if (usable) {
            Tile tile;
            tile.path = file.string();
            tile.cols = GDALGetRasterXSize(dataset);
            tile.rows = GDALGetRasterYSize(dataset);
            tile.cellSize = gt[1];
            tile.minX = gt[0];
            tile.maxX = gt[0] + gt[1] * tile.cols;
            tile.maxY = gt[3];
            tile.minY = gt[3] + gt[5] * tile.rows;
            const int index = static_cast<int>(tiles.size());
            tiles.push_back(tile);
            for (long kx = static_cast<long>(std::floor(tile.minX / 1000)); kx * 1000.0 < tile.maxX; ++kx)
                for (long ky = static_cast<long>(std::floor(tile.minY / 1000)); ky * 1000.0 < tile.maxY; ++ky)
                    tilesByKm[{kx, ky}].push_back(index);
        } else {
            std::cerr << "Dalle ignorée (géoréférencement inattendu) : " << file.string() << std::endl;
        }
        GDALClose(dataset);
    }
}

int TerrainTiles::tileAt(double x, double y) const {
    const auto it = tilesByKm.find({static_cast<long>(std::floor(x / 1000)), static_cast<long>(std::floor(y / 1000))});
    if (it == tilesByKm.end()) return -1;
    for (int index : it->second) {
        const Tile& t = tiles[static_cast<size_t>(index)];
        if (x >= t.minX && x < t.maxX && y > t.minY && y <= t.maxY) return index;
    }
    return -1;
}

const TerrainTiles::Grid& TerrainTiles::grid(int tile, int level) {
    Grid& grid = grids[{tile, level}];
    grid.lastUse = useCounter;
    if (grid.cols > 0) return grid;

    const Tile& t = tiles[static_cast<size_t>(tile)];
    grid.cols = std::max(1, (t.cols + level - 1) / level);
    grid.rows = std::max(1, (t.rows + level - 1) / level);
    grid.values.assign(static_cast<size_t>(grid.cols) * static_cast<size_t>(grid.rows), kNoHeight);
    cachedValues += grid.values.size();

    GDALDatasetH dataset = GDALOpen(t.path.c_str(), GA_ReadOnly);
    if (!dataset) return grid;
    GDALRasterBandH band = GDALGetRasterBand(dataset, 1);
    int hasNoData = 0;
    const double noData = GDALGetRasterNoDataValue(band, &hasNoData);
    GDALRasterIOExtraArg extra;
    INIT_RASTERIO_EXTRA_ARG(extra);
    extra.eResampleAlg = level > 1 ? GRIORA_Average : GRIORA_NearestNeighbour;
    grid.ok = GDALRasterIOEx(band, GF_Read, 0, 0, t.cols, t.rows, grid.values.data(), grid.cols, grid.rows,
                             GDT_Float32, 0, 0, &extra) == CE_None;
    GDALClose(dataset);
    const float noDataValue = static_cast<float>(noData);
    for (float& v : grid.values) {
        if (!grid.ok || !std::isfinite(v) || (hasNoData && v == noDataValue)) v = kNoHeight;
    }
    return grid;
}

float TerrainTiles::sampleGrid(const Tile& tile, const Grid& grid, double x, double y) const {
    const double cellX = (tile.maxX - tile.minX) / grid.cols;
    const double cellY = (tile.maxY - tile.minY) / grid.rows;
    const double fx = (x - tile.minX) / cellX - 0.5;
    const double fy = (tile.maxY - y) / cellY - 0.5;
    auto at = [&](int c, int r) {
        c = std::clamp(c, 0, grid.cols - 1);
        r = std::clamp(r, 0, grid.rows - 1);
        return grid.values[static_cast<size_t>(r) * static_cast<size_t>(grid.cols) + static_cast<size_t>(c)];
    };
    const int c0 = static_cast<int>(std::floor(fx));
    const int r0 = static_cast<int>(std::floor(fy));
    const float v00 = at(c0, r0), v10 = at(c0 + 1, r0), v01 = at(c0, r0 + 1), v11 = at(c0 + 1, r0 + 1);
    if (std::isnan(v00) || std::isnan(v10) || std::isnan(v01) || std::isnan(v11))
        return at(static_cast<int>(std::lround(fx)), static_cast<int>(std::lround(fy)));  // edge of the data
    const float ax = static_cast<float>(fx - c0), ay = static_cast<float>(fy - r0);
    return (v00 * (1 - ax) + v10 * ax) * (1 - ay) + (v01 * (1 - ax) + v11 * ax) * ay;
}

void TerrainTiles::evictOldGrids() {
    while (cachedValues > kMaxCachedValues) {
        auto oldest = grids.end();
        for (auto it = grids.begin(); it != grids.end(); ++it) {
            if (it->second.lastUse != useCounter && (oldest == grids.end() || it->second.lastUse < oldest->second.lastUse))
                oldest = it;
        }
        if (oldest == grids.end()) return;  // everything left belongs to this image
        cachedValues -= oldest->second.values.size();
        grids.erase(oldest);
    }
}

std::vector<float> TerrainTiles::heights(const std::vector<double>& x, const std::vector<double>& y,
                                         double metresPerSample) {
    ++useCounter;
    std::vector<float> result(x.size(), kNoHeight);
    int lastTile = -1;
    const Grid* lastGrid = nullptr;
    for (size_t i = 0; i < x.size(); ++i) {
        if (!std::isfinite(x[i]) || !std::isfinite(y[i])) continue;
        const int tile = tileAt(x[i], y[i]);
        if (tile < 0) continue;
        const Tile& t = tiles[static_cast<size_t>(tile)];
        if (tile != lastTile) {
            int level = 1;
            while (level < kMaxLevel && level * 2 * t.cellSize <= metresPerSample && level * 2 <= std::min(t.cols, t.rows))
                level *= 2;
            lastGrid = &grid(tile, level);  // std::map keeps references stable while we insert
            lastTile = tile;
        }
        result[i] = sampleGrid(t, *lastGrid, x[i], y[i]);
    }
    evictOldGrids();
    return result;
}
