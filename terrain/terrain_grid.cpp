#include "terrain/terrain_grid.h"

#include <algorithm>
#include <cmath>

std::vector<TerrainVertex> buildRenderVertices(const std::vector<GridPoint>& points,
                                               const std::vector<Triangle>& triangles,
                                               float exaggeration, const RenderBounds& bounds) {
    const float rangeX = std::max(0.0001f, bounds.maxX - bounds.minX);
    const float rangeZ = std::max(0.0001f, bounds.maxZ - bounds.minZ);
    std::vector<TerrainVertex> vertices(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const GridPoint& p = points[i];
        TerrainVertex& v = vertices[i];
        v.aPos[0] = p.x;
        v.aPos[1] = p.z * exaggeration;
        v.aPos[2] = -p.y;
        v.aDepth = p.z;
        v.aUV[0] = (p.x - bounds.minX) / rangeX;
        v.aUV[1] = (-p.y - bounds.minZ) / rangeZ;
        v.aNormal[0] = v.aNormal[1] = v.aNormal[2] = 0.0f;
    }
    // Unnormalised face normals, so larger triangles weigh more.
    for (const Triangle& t : triangles) {
        const float* p0 = vertices[t.i0].aPos;
        const float* p1 = vertices[t.i1].aPos;
        const float* p2 = vertices[t.i2].aPos;
        const float a[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
        const float b[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
        const float n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
        for (uint32_t index : {t.i0, t.i1, t.i2})
            for (int k = 0; k < 3; ++k) vertices[index].aNormal[k] += n[k];
    }
    for (TerrainVertex& v : vertices) {
        float* n = v.aNormal;
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
