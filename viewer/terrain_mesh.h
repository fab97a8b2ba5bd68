// The terrain on the GPU: one vertex per grid point, the triangle list as indices.
#pragma once

#include "terrain/terrain_grid.h"

#include <vector>

struct TerrainMesh {
    unsigned int vertexArray = 0;
    unsigned int vertexBuffer = 0;
    unsigned int elementBuffer = 0;
    int indexCount = 0;
    // Changes with every upload or release, so that a picture made from the
    // mesh knows when it is out of date.
    unsigned int version = 0;

    TerrainMesh() = default;
    ~TerrainMesh();
    TerrainMesh(const TerrainMesh&) = delete;
    TerrainMesh& operator=(const TerrainMesh&) = delete;

    // Derives the render vertices and refills the buffers (created on first use).
    void upload(const std::vector<GridPoint>& points, const std::vector<Triangle>& triangles,
                float exaggeration, const RenderBounds& bounds);
    // Refills the buffers from vertices already derived. Without vertices for
    // the triangles (they could not be allocated) nothing is drawn.
    void uploadVertices(const std::vector<TerrainVertex>& vertices, const std::vector<Triangle>& triangles);
    void draw() const;
    // Deletes the GL objects; needs the context that created them to be current.
    void release();
};
