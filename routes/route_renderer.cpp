#include "routes/route_renderer.h"

#include "viewer/core/shader_sources.h"

#include <algorithm>
#include <cstddef>
#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

bool RouteRenderer::init() {
    if (!program.load(kColourVertexShader, kColourFragmentShader)) return false;
    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(RouteVertex),
                          reinterpret_cast<void*>(offsetof(RouteVertex, x)));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, sizeof(RouteVertex),
                          reinterpret_cast<void*>(offsetof(RouteVertex, r)));
    glEnableVertexAttribArray(1);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return true;
}

void RouteRenderer::draw(const RouteEditor& editor, const glm::mat4& view, const glm::mat4& projection,
                         const RouteRenderParams& params) {
    if (vertexArray == 0) return;
    vertices = buildRouteVertices(editor, params);
    if (vertices.empty()) return;
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(RouteVertex)), vertices.data(),
                 GL_DYNAMIC_DRAW);
    program.use();
    program.setMat4("view", view);
    program.setMat4("projection", projection);
    const GLboolean blendWasOn = glIsEnabled(GL_BLEND);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(std::max(params.lineWidth, 1.0f));
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(vertices.size()));
    glLineWidth(1.0f);
    if (!blendWasOn) glDisable(GL_BLEND);
    glBindVertexArray(0);
}

void RouteRenderer::destroy() {
    // Without a current context the GL names cannot be deleted (they went with it).
    if (glfwGetCurrentContext()) {
        if (vertexBuffer != 0) glDeleteBuffers(1, &vertexBuffer);
        if (vertexArray != 0) glDeleteVertexArrays(1, &vertexArray);
        program.release();
    }
    vertexBuffer = 0;
    vertexArray = 0;
    program.program = 0;
    std::vector<RouteVertex>().swap(vertices);
}
