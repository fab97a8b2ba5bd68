// Pictures that look like aerial photographs, drawn from terrain heights:
// shaded relief, sand at the waterline, vegetation and rock on land, water
// blue by depth, open sea where there is no tile.
#pragma once

#include "tools/devstack/terrain_tiles.h"

#include <cstdint>
#include <vector>

struct LatLonBox {
    double minLat = 0, minLon = 0, maxLat = 0, maxLon = 0;
};

// Lambert-93 metres (EPSG:2154), easting then northing.
struct Lambert93Box {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

// width * height * 3 RGB bytes, rows from north to south; false when the
// WGS84 to Lambert-93 transformation cannot be set up.
bool renderAerialImage(TerrainTiles& terrain, const LatLonBox& box, int width, int height,
                       std::vector<uint8_t>& rgb);
bool renderAerialImage(TerrainTiles& terrain, const Lambert93Box& box, int width, int height,
                       std::vector<uint8_t>& rgb);
