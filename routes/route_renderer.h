// The routes in the 3D view: every visible route and the one being drawn,
// rebuilt and uploaded in full every frame (a few thousand vertices at most)
// and drawn as line segments over the terrain.
#pragma once

#include "routes/route_geometry.h"
#include "viewer/core/shader.h"

#include <glm/glm.hpp>
#include <vector>

struct RouteRenderer {
    unsigned int vertexArray = 0;
    unsigned int vertexBuffer = 0;
    Shader program;
    std::vector<RouteVertex> vertices;

    // Builds the program and the vertex array; false when the program does not build.
    bool init();
    // After the terrain; leaves depth testing as the terrain renderer set it.
    void draw(const RouteEditor& editor, const glm::mat4& view, const glm::mat4& projection,
              const RouteRenderParams& params);
    // Deletes the GL objects while a context is current.
    void destroy();
};
