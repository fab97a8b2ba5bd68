// Line geometry drawn around the terrain with the colour-vertex program: the
// reference grid and axes, the depth-marker pins and the minimap's camera cross.
#pragma once

#include "viewer/overlay_geometry.h"
#include "viewer/core/shader.h"

#include <glm/glm.hpp>
#include <vector>

struct OverlayRenderer {
    Shader colourProgram;
    unsigned int gridVertexArray = 0;
    unsigned int gridVertexBuffer = 0;
    int gridLineVertexCount = 0;
    unsigned int crossVertexArray = 0;
    unsigned int crossVertexBuffer = 0;
    int crossVertexCount = 0;

    // Builds the colour program.
    bool init();
    // Refills the grid buffer (created on first use); hMin is the lowest exaggerated height.
    void buildGrid(const glm::vec3& centre, float diagonal, float hMin);
    // No grid to draw (a zone without any valid point); the buffers stay for reuse.
    void clearGrid() { gridLineVertexCount = 0; }
    void drawGrid(const glm::mat4& view, const glm::mat4& projection) const;
    // T-shaped pins `size` tall on each position; nothing at all without positions.
    void drawMarkerPins(const std::vector<glm::vec3>& positions, const glm::mat4& view,
                        const glm::mat4& projection, float size) const;
    // The camera cross in the minimap (its buffer is created on first use).
    void drawMinimapCross(const glm::vec3& at, float halfLength, const glm::mat4& view,
                          const glm::mat4& projection);
    // Deletes the GL objects; needs the viewer's context to be current.
    void release();
};
