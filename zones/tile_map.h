// The tile map of the start screen, without drawing: which tiles lie around
// a place, the box of the satellite image, where each tile falls in that
// image, and what the selection buttons and clicks do to the tile list.
#pragma once

#include "terrain/tile_info.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

// A tile of the list whose centre has a WGS84 position.
struct TileCentre {
    size_t index = 0;  // into the tile list
    double lat = 0.0;
    double lon = 0.0;
};

// The centres of the tiles, in list order; a tile whose centre does not
// convert (no PROJ data) is left out and so never shown.
std::vector<TileCentre> buildTileCentres(const std::vector<TileInfo>& tiles);

// Tiles within this many degrees (latitude and longitude differences taken
// as plane coordinates) count as the search result's tiles.
inline constexpr double kNearbyTileDegrees = 0.06;

struct TileCounts {
    int local = 0;
    int server = 0;  // on the server and not on disk
};
TileCounts countTilesNear(const std::vector<TileInfo>& tiles, const std::vector<TileCentre>& centres, double lat,
                          double lon);

struct MapBox {
    double minLon = 0.0, maxLon = 0.0, minLat = 0.0, maxLat = 0.0;
};

struct GridBounds {
    int32_t minGx = std::numeric_limits<int32_t>::max();
    int32_t maxGx = std::numeric_limits<int32_t>::min();
    int32_t minGy = std::numeric_limits<int32_t>::max();
    int32_t maxGy = std::numeric_limits<int32_t>::min();
    bool empty() const { return minGx > maxGx; }
    void add(int32_t gx, int32_t gy);
};

// A rectangle in fractions of the image: x from its west edge, y from its north edge.
struct ImageRect {
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
};

// What the map shows around a chosen place.
struct MapArea {
    std::vector<size_t> visible;  // tile indices, in the order of the centres
    GridBounds bounds;
    MapBox box;                   // the satellite image's box
    std::vector<ImageRect> rects; // per visible tile, where it lies in the image
};

// Tiles whose centre lies within ±0.05° of latitude and ±0.075° of longitude
// of the place (edges included). The image box is the box of the visible
// grid's four corners widened by 5 % of its spans on each side, or that
// search box when no tile is visible or the corners do not convert.
MapArea mapAreaAround(const std::vector<TileInfo>& tiles, const std::vector<TileCentre>& centres, double lat,
                      double lon);

// Where the tile's Lambert-93 square falls in an image of `box`: each edge
// lies midway between the two corners it joins (the square is slightly turned
// in latitude and longitude), so neighbours share their edges exactly.
// False when a corner does not convert.
bool tileImageRect(int32_t gx, int32_t gy, const MapBox& box, ImageRect& rect);

// The map area's size in pixels: the available width less 16, the texture's
// ratio (0.7 without one), at most the available height less 80.
struct MapSize {
    float width = 0.0f, height = 0.0f;
};
MapSize mapAreaSize(float availableWidth, float availableHeight, int textureWidth, int textureHeight);

// "48.3905N, 4.4860W"; a place east of Greenwich is written with "E".
std::string mapHeaderCoordinates(double lat, double lon);

// What the "Explorer" button does for this many selected visible tiles.
enum class ExploreAction { Disabled, AlertFew, Explore, AlertMany };
ExploreAction exploreAction(int selectedCount);
int countSelectedVisible(const std::vector<TileInfo>& tiles, const std::vector<size_t>& visible);

// "Tout sélect.": every visible tile on disk; "Aucun": none of the visible tiles.
void selectAllLocal(std::vector<TileInfo>& tiles, const std::vector<size_t>& visible);
void selectNone(std::vector<TileInfo>& tiles, const std::vector<size_t>& visible);

// A click on a tile of the map. A tile on disk is toggled here; a tile only
// on the server asks for its download, once: not while it waits in the queue
// or is downloading, and only with a tile server and a tile folder.
enum class TileClick { Nothing, Toggled, QueueDownload };
struct TileClickContext {
    bool downloading = false;  // the tile's download is running
    bool waiting = false;      // the tile's key waits in the queue
    bool serverConfigured = false;
    std::string tileDir;
};
TileClick clickTile(TileInfo& tile, const TileClickContext& context);

// tileDir + "/" + catalogPath, or "" when the catalogue's path is absolute,
// empty or climbs out of the folder: a server never chooses where we write.
std::string downloadDestination(const std::string& tileDir, const std::string& catalogPath);

// What the screen hands to the 3D view: every selected tile with a file, in list order.
std::vector<std::string> selectedTilePaths(const std::vector<TileInfo>& tiles);
