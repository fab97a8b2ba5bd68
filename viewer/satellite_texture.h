// The orthophoto draped over the land of a zone.
#pragma once

#include "terrain/terrain_grid.h"

struct Viewer;

// The Lambert-93 box that the terrain's texture coordinates span: from 0 to 1
// across the valid points, v = 0 on the north edge. False without a valid point.
struct Lambert93Box {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
};
bool textureBoxOf(const TerrainGrid& grid, Lambert93Box& box);

// Image size for the box: `width` pixels across, square pixels on the ground,
// the height kept within 1 .. 4096.
int textureImageHeight(const Lambert93Box& box, int width = 1024);

// Fetches the orthophoto of exactly that box (CRS EPSG:2154) and makes it the
// viewer's satellite texture. On failure the previous texture stays. The
// satellite switch is left as it is.
void uploadSatelliteTexture(Viewer& viewer, const TerrainGrid& grid);
