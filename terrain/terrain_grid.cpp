#include "terrain/terrain_grid.h"

#include "terrain/bathy.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <new>

bool TerrainGrid::generate() {
    if (!dataset || !dataset->isOpen()) return false;
    points = {};
    triangles = {};
    const int w = dataset->width();
    const int h = dataset->height();
    std::vector<float> elevations = dataset->readElevations();
    return generateFrom(std::move(elevations), w, h, dataset->geoTransform(), dataset->noDataValue());
}

bool TerrainGrid::generateFrom(std::vector<float> elevations, int w, int h, const double gt[6], float noData) {
    points = {};
    triangles = {};
    if (w < 0 || h < 0 || elevations.size() != size_t(w) * size_t(h)) return true;

    width = w;
    height = h;
    originX = gt[0];
    originY = gt[3];
    try {
        points.reserve(elevations.size());
        for (int row = 0; row < h; ++row) {
            const float* z = elevations.data() + size_t(row) * size_t(w);
            for (int col = 0; col < w; ++col) {
                const double x = gt[0] + col * gt[1] + row * gt[2];
                const double y = gt[3] + col * gt[4] + row * gt[5];
                // A NaN no-data value never compares equal: non-finite heights
                // are holes too, or they would poison the normals around them.
                const bool valid = z[col] != noData && std::isfinite(z[col]);
                points.push_back({float(x - originX), float(y - originY), z[col], valid});
            }
        }
        // The points carry the heights now; the raster copy can go before the
        // triangle list grows.
        elevations = {};

        if (w < 1 || h < 1) return true;
        triangles.reserve(size_t(w - 1) * size_t(h - 1) * 2);
        for (int row = 0; row + 1 < h; ++row) {
            const uint32_t rowStart = uint32_t(row) * uint32_t(w);
            const GridPoint* upper = points.data() + rowStart;
            const GridPoint* lower = upper + w;
            for (int col = 0; col + 1 < w; ++col) {
                const uint32_t a = rowStart + uint32_t(col);
                const uint32_t b = a + 1, d = a + uint32_t(w), e = d + 1;
                const bool vb = upper[col + 1].valid, vd = lower[col].valid;
                if (!(vb && vd)) continue;
                if (upper[col].valid) triangles.push_back({a, b, d});
                if (lower[col + 1].valid) triangles.push_back({b, e, d});
            }
        }
    } catch (const std::bad_alloc&) {
        points = {};
        triangles = {};
        std::cerr << "Mémoire insuffisante pour le maillage de " << w << " x " << h << " points." << std::endl;
        return false;
    }
    return true;
}

void TerrainGrid::logCounts() const {
    std::cout << "Nombre de vertices : " << points.size() << "\n"
              << "Nombre de triangles : " << triangles.size() << std::endl;
    if (points.empty()) std::cerr << "Aucun vertex à afficher." << std::endl;
}

RenderBounds renderBoundsOf(const std::vector<GridPoint>& points) {
    bool any = false;
    RenderBounds b;
    for (const GridPoint& p : points) {
        if (!p.valid) continue;
        const float rx = p.x, rz = -p.y;
        if (!any) {
            b = {rx, rz, rx, rz};
            any = true;
            continue;
        }
        b.minX = std::min(b.minX, rx);
        b.maxX = std::max(b.maxX, rx);
        b.minZ = std::min(b.minZ, rz);
        b.maxZ = std::max(b.maxZ, rz);
    }
    return b;
}

std::vector<TerrainVertex> buildRenderVertices(const std::vector<GridPoint>& points,
                                               const std::vector<Triangle>& triangles, float exaggeration,
                                               const RenderBounds& bounds) {
    std::vector<TerrainVertex> vertices;
    try {
        vertices.reserve(points.size());
    } catch (const std::bad_alloc&) {
        std::cerr << "Mémoire insuffisante pour " << points.size() << " vertices de rendu." << std::endl;
        return vertices;
    }
    const float rangeX = std::max(0.0001f, bounds.maxX - bounds.minX);
    const float rangeZ = std::max(0.0001f, bounds.maxZ - bounds.minZ);
    for (const GridPoint& p : points) {
        vertices.push_back({{p.x, p.z * exaggeration, -p.y},
                            p.z,
                            {(p.x - bounds.minX) / rangeX, (-p.y - bounds.minZ) / rangeZ},
                            {0.0f, 0.0f, 0.0f}});
    }

    // Unnormalised face normals: larger triangles weigh more in the average.
    TerrainVertex* v = vertices.data();
    for (const Triangle& t : triangles) {
        const float* p0 = v[t.i0].aPos;
        const float* p1 = v[t.i1].aPos;
        const float* p2 = v[t.i2].aPos;
        const float ux = p2[0] - p0[0], uy = p2[1] - p0[1], uz = p2[2] - p0[2];
        const float wx = p1[0] - p0[0], wy = p1[1] - p0[1], wz = p1[2] - p0[2];
        const float nx = uy * wz - uz * wy;
        const float ny = uz * wx - ux * wz;
        const float nz = ux * wy - uy * wx;
        for (uint32_t i : {t.i0, t.i1, t.i2}) {
            v[i].aNormal[0] += nx;
            v[i].aNormal[1] += ny;
            v[i].aNormal[2] += nz;
        }
    }

    for (TerrainVertex& vertex : vertices) {
        float* n = vertex.aNormal;
        const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (length > 0.0001f) {
            n[0] /= length;
            n[1] /= length;
            n[2] /= length;
        } else {
            n[0] = 0.0f;
            n[1] = 1.0f;
            n[2] = 0.0f;
        }
    }
    return vertices;
}
