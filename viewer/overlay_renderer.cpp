#include "viewer/overlay_renderer.h"

#include "viewer/core/shader_sources.h"

#include <cstddef>
#include <glad/gl.h>

namespace {

// Position at attribute 0, colour at attribute 1, of the buffer bound to GL_ARRAY_BUFFER.
void describeColourVertices() {
    constexpr GLsizei stride = sizeof(ColourVertex);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(ColourVertex, x)));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(ColourVertex, r)));
    glEnableVertexAttribArray(1);
}

void upload(const std::vector<ColourVertex>& vertices, GLenum usage) {
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(ColourVertex)), vertices.data(),
                 usage);
}

} // namespace

bool OverlayRenderer::init() { return colourProgram.load(kColourVertexShader, kColourFragmentShader); }

void OverlayRenderer::buildGrid(const glm::vec3& centre, float diagonal, float hMin) {
    const std::vector<ColourVertex> lines = referenceGridLines(centre, diagonal, hMin);
    if (gridVertexArray == 0) glGenVertexArrays(1, &gridVertexArray);
    if (gridVertexBuffer == 0) glGenBuffers(1, &gridVertexBuffer);
    glBindVertexArray(gridVertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, gridVertexBuffer);
    upload(lines, GL_STATIC_DRAW);
    describeColourVertices();
    glBindVertexArray(0);
    gridLineVertexCount = static_cast<int>(lines.size());
}

void OverlayRenderer::drawGrid(const glm::mat4& view, const glm::mat4& projection) const {
    if (gridVertexArray == 0) return;
    colourProgram.use();
    colourProgram.setMat4("view", view);
    colourProgram.setMat4("projection", projection);
    glBindVertexArray(gridVertexArray);
    glDrawArrays(GL_LINES, 0, gridLineVertexCount);
    glBindVertexArray(0);
}

void OverlayRenderer::drawMarkerPins(const std::vector<glm::vec3>& positions, const glm::mat4& view,
                                     const glm::mat4& projection, float size) const {
    if (positions.empty()) return;
    const std::vector<ColourVertex> lines = markerPinLines(positions, size);
    GLuint vertexArray = 0, vertexBuffer = 0;
    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    upload(lines, GL_DYNAMIC_DRAW);
    describeColourVertices();
    colourProgram.use();
    colourProgram.setMat4("view", view);
    colourProgram.setMat4("projection", projection);
    glLineWidth(2.5f);
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(lines.size()));
    glLineWidth(1.0f);
    glBindVertexArray(0);
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteVertexArrays(1, &vertexArray);
}

void OverlayRenderer::drawMinimapCross(const glm::vec3& at, float halfLength, const glm::mat4& view,
                                       const glm::mat4& projection) {
    const std::vector<ColourVertex> lines = minimapCrossLines(at.x, at.y, at.z, halfLength);
    if (crossVertexArray == 0) glGenVertexArrays(1, &crossVertexArray);
    if (crossVertexBuffer == 0) glGenBuffers(1, &crossVertexBuffer);
    glBindVertexArray(crossVertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, crossVertexBuffer);
    upload(lines, GL_DYNAMIC_DRAW);
    describeColourVertices();
    crossVertexCount = static_cast<int>(lines.size());
    colourProgram.use();
    colourProgram.setMat4("view", view);
    colourProgram.setMat4("projection", projection);
    glLineWidth(3.0f);
    glDrawArrays(GL_LINES, 0, crossVertexCount);
    glLineWidth(1.0f);
    glBindVertexArray(0);
}

void OverlayRenderer::release() {
    if (gridVertexBuffer != 0) glDeleteBuffers(1, &gridVertexBuffer);
    if (gridVertexArray != 0) glDeleteVertexArrays(1, &gridVertexArray);
    if (crossVertexBuffer != 0) glDeleteBuffers(1, &crossVertexBuffer);
    if (crossVertexArray != 0) glDeleteVertexArrays(1, &crossVertexArray);
    gridVertexBuffer = gridVertexArray = crossVertexBuffer = crossVertexArray = 0;
    gridLineVertexCount = crossVertexCount = 0;
    colourProgram.release();
}
