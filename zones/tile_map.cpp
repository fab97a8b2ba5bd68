#include "zones/tile_map.h"

#include "terrain/bathy.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <utility>

namespace {

constexpr double kSearchHalfLat = 0.05;
constexpr double kSearchHalfLon = 0.075;
constexpr double kImageMargin = 0.05;

bool toImage(double x, double y, const MapBox& box, double& fx, double& fy) {
    GeoPoint p;
    if (!lambert93ToWgs84(x, y, p)) return false;
    fx = (p.lon - box.minLon) / (box.maxLon - box.minLon);
    fy = (box.maxLat - p.lat) / (box.maxLat - box.minLat);
    return true;
}

} // namespace

void GridBounds::add(int32_t gx, int32_t gy) {
    minGx = std::min(minGx, gx);
    maxGx = std::max(maxGx, gx);
    minGy = std::min(minGy, gy);
    maxGy = std::max(maxGy, gy);
}

std::vector<TileCentre> buildTileCentres(const std::vector<TileInfo>& tiles) {
    std::vector<TileCentre> centres;
    centres.reserve(tiles.size());
    for (size_t i = 0; i < tiles.size(); ++i) {
        GeoPoint p;
        if (lambert93ToWgs84((tiles[i].gx + 0.5) * 1000.0, (tiles[i].gy - 0.5) * 1000.0, p))
            centres.push_back({i, p.lat, p.lon});
    }
    return centres;
}

TileCounts countTilesNear(const std::vector<TileInfo>& tiles, const std::vector<TileCentre>& centres, double lat,
                          double lon) {
    TileCounts counts;
    for (const TileCentre& c : centres) {
        if (std::hypot(c.lat - lat, c.lon - lon) > kNearbyTileDegrees) continue;
        const TileInfo& tile = tiles[c.index];
        if (tile.isLocal)
            ++counts.local;
        else if (tile.onServer)
            ++counts.server;
    }
    return counts;
}

MapArea mapAreaAround(const std::vector<TileInfo>& tiles, const std::vector<TileCentre>& centres, double lat,
                      double lon) {
    MapArea area;
    const MapBox search{lon - kSearchHalfLon, lon + kSearchHalfLon, lat - kSearchHalfLat, lat + kSearchHalfLat};
    for (const TileCentre& c : centres) {
        if (c.lat < search.minLat || c.lat > search.maxLat || c.lon < search.minLon || c.lon > search.maxLon)
            continue;
        area.visible.push_back(c.index);
        area.bounds.add(tiles[c.index].gx, tiles[c.index].gy);
    }
    area.box = search;
    if (!area.bounds.empty()) {
        // All four corners: the grid is turned against the meridians, so its
        // north-west and south-east corners reach beyond the box of the other two.
        const double west = area.bounds.minGx * 1000.0, east = (area.bounds.maxGx + 1) * 1000.0;
        const double south = (area.bounds.minGy - 1) * 1000.0, north = area.bounds.maxGy * 1000.0;
        MapBox grid{std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
                    std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest()};
        bool converted = true;
        for (const auto& [x, y] : {std::pair{west, south}, {west, north}, {east, south}, {east, north}}) {
            GeoPoint p;
            if (!lambert93ToWgs84(x, y, p)) {
                converted = false;
                break;
            }
            grid = {std::min(grid.minLon, p.lon), std::max(grid.maxLon, p.lon), std::min(grid.minLat, p.lat),
                    std::max(grid.maxLat, p.lat)};
        }
        if (converted) {
            const double lonMargin = (grid.maxLon - grid.minLon) * kImageMargin;
            const double latMargin = (grid.maxLat - grid.minLat) * kImageMargin;
            area.box = {grid.minLon - lonMargin, grid.maxLon + lonMargin, grid.minLat - latMargin,
                        grid.maxLat + latMargin};
        }
    }
    for (size_t index : area.visible) {
        ImageRect rect;
        // A corner that does not convert while the centre did is next to
        // impossible; such a tile keeps an empty rectangle and cannot be hit.
        tileImageRect(tiles[index].gx, tiles[index].gy, area.box, rect);
        area.rects.push_back(rect);
    }
    return area;
}

bool tileImageRect(int32_t gx, int32_t gy, const MapBox& box, ImageRect& rect) {
    if (!(box.maxLon > box.minLon) || !(box.maxLat > box.minLat)) return false;
    const double west = gx * 1000.0, east = (gx + 1) * 1000.0;
    const double south = (gy - 1) * 1000.0, north = gy * 1000.0;
    double swx, swy, nwx, nwy, sex, sey, nex, ney;
    if (!toImage(west, south, box, swx, swy) || !toImage(west, north, box, nwx, nwy) ||
        !toImage(east, south, box, sex, sey) || !toImage(east, north, box, nex, ney))
        return false;
    rect = {(swx + nwx) / 2, (nwy + ney) / 2, (sex + nex) / 2, (swy + sey) / 2};
    return true;
}

MapSize mapAreaSize(float availableWidth, float availableHeight, int textureWidth, int textureHeight) {
    MapSize size;
    size.width = std::max(availableWidth - 16.0f, 1.0f);
    const float ratio = textureWidth > 0 && textureHeight > 0
                            ? static_cast<float>(textureHeight) / static_cast<float>(textureWidth)
                            : 0.7f;
    size.height = std::max(std::min(size.width * ratio, availableHeight - 80.0f), 1.0f);
    return size;
}

std::string mapHeaderCoordinates(double lat, double lon) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4f%c, %.4f%c", std::fabs(lat), lat < 0 ? 'S' : 'N', std::fabs(lon),
                  lon < 0 ? 'W' : 'E');
    return text;
}

ExploreAction exploreAction(int selectedCount) {
    if (selectedCount < 1) return ExploreAction::Disabled;
    if (selectedCount == 1) return ExploreAction::AlertFew;
    if (selectedCount <= 4) return ExploreAction::Explore;
    return ExploreAction::AlertMany;
}

int countSelectedVisible(const std::vector<TileInfo>& tiles, const std::vector<size_t>& visible) {
    return static_cast<int>(
        std::count_if(visible.begin(), visible.end(), [&](size_t i) { return tiles[i].selected; }));
}

void selectAllLocal(std::vector<TileInfo>& tiles, const std::vector<size_t>& visible) {
    for (size_t i : visible)
        if (tiles[i].isLocal) tiles[i].selected = true;
}

void selectNone(std::vector<TileInfo>& tiles, const std::vector<size_t>& visible) {
    for (size_t i : visible) tiles[i].selected = false;
}

TileClick clickTile(TileInfo& tile, const TileClickContext& context) {
    if (context.downloading) return TileClick::Nothing;
    if (tile.isLocal) {
        tile.selected = !tile.selected;
        return TileClick::Toggled;
    }
    if (!tile.onServer || context.waiting || !context.serverConfigured || context.tileDir.empty())
        return TileClick::Nothing;
    if (downloadDestination(context.tileDir, tile.catalogPath).empty()) return TileClick::Nothing;
    return TileClick::QueueDownload;
}

std::string downloadDestination(const std::string& tileDir, const std::string& catalogPath) {
    if (tileDir.empty() || catalogPath.empty()) return {};
    const std::filesystem::path relative(catalogPath);
    if (relative.is_absolute() || relative.has_root_name() || relative.has_root_directory()) return {};
    if (catalogPath.find('\\') != std::string::npos || catalogPath.find('\0') != std::string::npos) return {};
    for (const auto& part : relative)
        if (part == "..") return {};
    return tileDir + "/" + catalogPath;
}

std::vector<std::string> selectedTilePaths(const std::vector<TileInfo>& tiles) {
    std::vector<std::string> paths;
    for (const TileInfo& tile : tiles)
        if (tile.selected && !tile.localPath.empty()) paths.push_back(tile.localPath);
    return paths;
}
