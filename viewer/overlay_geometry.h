// Line geometry of the overlays (reference grid and axes, marker pins, the
// minimap's camera cross) and the minimap's place, computed without GL.
#pragma once

#include <glm/glm.hpp>
#include <vector>

// One coloured line vertex: position then RGB, 24 bytes.
struct ColourVertex {
    float x, y, z;
    float r, g, b;
};
static_assert(sizeof(ColourVertex) == 24);

// 21 x 21 grid lines at height hMin plus the three axes: 90 vertices.
std::vector<ColourVertex> referenceGridLines(const glm::vec3& centre, float diagonal, float hMin);

// A T-shaped pin standing on each position, `size` tall: 4 vertices a pin.
std::vector<ColourVertex> markerPinLines(const std::vector<glm::vec3>& positions, float size);

// The camera cross of the minimap: two lines of half-length `halfLength` around (x, y, z).
std::vector<ColourVertex> minimapCrossLines(float x, float y, float z, float halfLength);

struct PixelRect {
    int x, y, width, height;  // GL window coordinates, y from the bottom
};

// A square a quarter of the smaller side, 20 px from the right and bottom edges.
PixelRect minimapRect(int framebufferWidth, int framebufferHeight);

// The minimap's top-down camera: from one diagonal above the terrain's middle
// height, north at the top, an orthographic box 1.1 diagonals wide.
struct MinimapCamera {
    glm::vec3 centre{0.0f};
    glm::mat4 view{1.0f};
    glm::mat4 projection{1.0f};
};
MinimapCamera minimapCamera(const glm::vec3& terrainCentre, float hMin, float hMax, float diagonal);
