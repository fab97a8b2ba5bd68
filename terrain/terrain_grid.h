// The terrain as geometry: one point per raster cell, triangles joining
// valid points, and the render vertices the terrain shader draws.
#pragma once

#include <cstdint>
#include <vector>

class Bathy;

struct GridPoint {
    float x = 0;  // metres east of the grid origin
    float y = 0;  // metres north of the grid origin (0 on the top row, negative below)
    float z = 0;  // elevation in metres, as read from the raster
    bool valid = false;
};

struct Triangle {
    uint32_t i0, i1, i2;
};

// One render vertex: 9 floats, 36 bytes, matching the terrain shader inputs.
struct TerrainVertex {
    float aPos[3];
    float aDepth;
    float aUV[2];
    float aNormal[3];
};
static_assert(sizeof(TerrainVertex) == 36);

// Bounds of the valid points in render space (render Z = -y).
struct RenderBounds {
    float minX = 0, minZ = 0, maxX = 1, maxZ = 1;
};

struct TerrainGrid {
    Bathy* dataset = nullptr;  // not owned; must outlive the grid
    std::vector<GridPoint> points;
    std::vector<Triangle> triangles;
    int32_t width = 0;
    int32_t height = 0;
    double originX = 0;
    double originY = 0;

    // Reads the dataset (its geotransform step must have run) and builds
    // points and triangles. False, everything empty, without an open dataset.
    bool generate();
    // The same from elevations already read: `w` x `h` values row by row from
    // the top, geotransform `gt`. The buffer is released before it returns.
    bool generateFrom(std::vector<float> elevations, int w, int h, const double gt[6], float noData);
    void logCounts() const;
};

// Bounds of the valid points in render space; the default bounds when none is valid.
RenderBounds renderBoundsOf(const std::vector<GridPoint>& points);

std::vector<TerrainVertex> buildRenderVertices(const std::vector<GridPoint>& points,
                                               const std::vector<Triangle>& triangles,
                                               float exaggeration, const RenderBounds& bounds);
