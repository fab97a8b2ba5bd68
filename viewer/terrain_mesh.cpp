#include "viewer/terrain_mesh.h"

#include <cstddef>
#include <glad/gl.h>

TerrainMesh::~TerrainMesh() { release(); }

void TerrainMesh::upload(const std::vector<GridPoint>& points, const std::vector<Triangle>& triangles,
                         float exaggeration, const RenderBounds& bounds) {
    uploadVertices(buildRenderVertices(points, triangles, exaggeration, bounds), triangles);
}

void TerrainMesh::uploadVertices(const std::vector<TerrainVertex>& vertices, const std::vector<Triangle>& triangles) {
    ++version;
    if (vertices.empty() && !triangles.empty()) {
        // The index count of the previous terrain would make the next draw
        // read past the empty buffer.
        indexCount = 0;
        return;
    }
    indexCount = static_cast<int>(3 * triangles.size());

    if (vertexArray == 0) glGenVertexArrays(1, &vertexArray);
    if (vertexBuffer == 0) glGenBuffers(1, &vertexBuffer);
    if (elementBuffer == 0) glGenBuffers(1, &elementBuffer);

    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(TerrainVertex)),
                 vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elementBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(triangles.size() * sizeof(Triangle)),
                 triangles.data(), GL_STATIC_DRAW);

    const GLsizei stride = sizeof(TerrainVertex);
    const auto attribute = [stride](GLuint location, GLint count, std::size_t offset) {
        glVertexAttribPointer(location, count, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offset));
        glEnableVertexAttribArray(location);
    };
    attribute(0, 3, offsetof(TerrainVertex, aPos));
    attribute(1, 1, offsetof(TerrainVertex, aDepth));
    attribute(2, 2, offsetof(TerrainVertex, aUV));
    attribute(3, 3, offsetof(TerrainVertex, aNormal));
    glBindVertexArray(0);
}

void TerrainMesh::draw() const {
    if (vertexArray == 0 || indexCount == 0) return;
    glBindVertexArray(vertexArray);
    glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
}

void TerrainMesh::release() {
    ++version;
    if (vertexBuffer != 0) glDeleteBuffers(1, &vertexBuffer);
    if (elementBuffer != 0) glDeleteBuffers(1, &elementBuffer);
    if (vertexArray != 0) glDeleteVertexArrays(1, &vertexArray);
    vertexBuffer = elementBuffer = vertexArray = 0;
    indexCount = 0;
}
