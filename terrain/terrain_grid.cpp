#include "terrain/terrain_grid.h"

#include "terrain/bathy.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <iostream>
#include <new>
#include <system_error>
#include <thread>

namespace {

// Runs `other` on a helper thread while `here` runs on this one; one after
// the other when no thread can be started.
void runSideBySide(const std::function<void()>& here, const std::function<void()>& other) {
    std::thread helper;
    try {
        helper = std::thread(other);
    } catch (const std::system_error&) {
        here();
        other();
        return;
    }
    here();
    helper.join();
}

} // namespace

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
    width = height = 0;  // readers rely on width x height points
    if (w < 0 || h < 0 || elevations.size() != size_t(w) * size_t(h)) return true;

    width = w;
    height = h;
    originX = gt[0];
    originY = gt[3];
    try {
        points.reserve(elevations.size());
        if (w > 1 && h > 1) triangles.reserve(size_t(w - 1) * size_t(h - 1) * 2);
    } catch (const std::bad_alloc&) {
        points = {};
        triangles = {};
        width = height = 0;
        std::cerr << "Mémoire insuffisante pour le maillage de " << w << " x " << h << " points." << std::endl;
        return false;
    }

    // A NaN no-data value never compares equal: non-finite heights are holes
    // too, or they would poison the normals around them.
    auto isValid = [noData](float z) { return z != noData && std::isfinite(z); };
    const float* z = elevations.data();

    // Points and triangles only share the read-only elevations, so they are
    // built side by side (most of the time goes into fresh memory pages).
    auto buildPoints = [&] {
        for (int row = 0; row < h; ++row) {
            const float* rowZ = z + size_t(row) * size_t(w);
            for (int col = 0; col < w; ++col) {
                const double x = gt[0] + col * gt[1] + row * gt[2];
                const double y = gt[3] + col * gt[4] + row * gt[5];
                points.push_back({float(x - originX), float(y - originY), rowZ[col], isValid(rowZ[col])});
            }
        }
    };
    auto buildTriangles = [&] {
        for (int row = 0; row + 1 < h; ++row) {
            const float* upper = z + size_t(row) * size_t(w);
            const float* lower = upper + w;
            const uint32_t rowStart = uint32_t(row) * uint32_t(w);
            for (int col = 0; col + 1 < w; ++col) {
                if (!(isValid(upper[col + 1]) && isValid(lower[col]))) continue;
                const uint32_t a = rowStart + uint32_t(col);
                const uint32_t b = a + 1, d = a + uint32_t(w), e = d + 1;
                if (isValid(upper[col])) triangles.push_back({a, b, d});
                if (isValid(lower[col + 1])) triangles.push_back({b, e, d});
            }
        }
    };
    runSideBySide(buildPoints, buildTriangles);
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

namespace {

// n = (P2 - P0) x (P1 - P0), not normalised: larger triangles weigh more.
inline void addFaceNormal(TerrainVertex* v, uint32_t i0, uint32_t i1, uint32_t i2) {
    const float* p0 = v[i0].aPos;
    const float* p1 = v[i1].aPos;
    const float* p2 = v[i2].aPos;
    const float ux = p2[0] - p0[0], uy = p2[1] - p0[1], uz = p2[2] - p0[2];
    const float wx = p1[0] - p0[0], wy = p1[1] - p0[1], wz = p1[2] - p0[2];
    const float nx = uy * wz - uz * wy;
    const float ny = uz * wx - ux * wz;
    const float nz = ux * wy - uy * wx;
    float* n0 = v[i0].aNormal;
    float* n1 = v[i1].aNormal;
    float* n2 = v[i2].aNormal;
    n0[0] += nx, n0[1] += ny, n0[2] += nz;
    n1[0] += nx, n1[1] += ny, n1[2] += nz;
    n2[0] += nx, n2[1] += ny, n2[2] += nz;
}

inline void normalise(float* n) {
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length > 0.0001f) {
        const float inverse = 1.0f / length;  // one division instead of three
        n[0] *= inverse, n[1] *= inverse, n[2] *= inverse;
    } else {
        n[0] = 0.0f, n[1] = 1.0f, n[2] = 0.0f;
    }
}

} // namespace

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
    const size_t count = points.size();
    TerrainVertex* v = vertices.data();  // stable: the capacity is reserved

    // This thread fills the vertices in order and publishes how far it got;
    // a helper follows with the normals. Each touches different vertices.
    std::atomic<size_t> published{0};
    auto fill = [&] {
        const float minX = bounds.minX, minZ = bounds.minZ;
        const float scaleU = 1.0f / std::max(0.0001f, bounds.maxX - bounds.minX);
        const float scaleV = 1.0f / std::max(0.0001f, bounds.maxZ - bounds.minZ);
        constexpr size_t kChunk = 16384;
        for (size_t start = 0; start < count; start += kChunk) {
            const size_t end = std::min(count, start + kChunk);
            for (size_t i = start; i < end; ++i) {
                const GridPoint& q = points[i];
                vertices.push_back({{q.x, q.z * exaggeration, -q.y},
                                    q.z,
                                    {(q.x - minX) * scaleU, (-q.y - minZ) * scaleV},
                                    {0.0f, 0.0f, 0.0f}});
            }
            published.store(end, std::memory_order_release);
            published.notify_one();
        }
    };
    auto waitFor = [&](size_t needed) {
        size_t seen = published.load(std::memory_order_acquire);
        while (seen < needed) {
            published.wait(seen, std::memory_order_acquire);
            seen = published.load(std::memory_order_acquire);
        }
    };

    // Triangles listed as generate() makes them (lowest index never
    // decreasing) only touch a band of about one row, so each vertex is
    // finished once the lowest index has passed it. Any other order is
    // redone by a plain pass below.
    bool ordered = true;
    auto normals = [&] {
        size_t finished = 0;
        uint32_t lastLowest = 0;
        for (const Triangle& t : triangles) {
            const uint32_t lowest = std::min(t.i0, std::min(t.i1, t.i2));
            const uint32_t highest = std::max(t.i0, std::max(t.i1, t.i2));
            if (highest >= count) continue;  // an index past the points is never written through
            if (lowest < lastLowest) {
                ordered = false;
                return;
            }
            lastLowest = lowest;
            waitFor(size_t(highest) + 1);
            for (; finished < lowest; ++finished) normalise(v[finished].aNormal);
            addFaceNormal(v, t.i0, t.i1, t.i2);
        }
        waitFor(count);
        for (; finished < count; ++finished) normalise(v[finished].aNormal);
    };
    runSideBySide(fill, normals);

    if (!ordered) {
        for (size_t i = 0; i < count; ++i) v[i].aNormal[0] = v[i].aNormal[1] = v[i].aNormal[2] = 0.0f;
        for (const Triangle& t : triangles)
            if (std::max(t.i0, std::max(t.i1, t.i2)) < count) addFaceNormal(v, t.i0, t.i1, t.i2);
        for (size_t i = 0; i < count; ++i) normalise(v[i].aNormal);
    }
    return vertices;
}
