#include "viewer/overlay_geometry.h"

#include <algorithm>
#include <glm/gtc/matrix_transform.hpp>

namespace {

void line(std::vector<ColourVertex>& out, glm::vec3 a, glm::vec3 b, glm::vec3 colour) {
    out.push_back({a.x, a.y, a.z, colour.r, colour.g, colour.b});
    out.push_back({b.x, b.y, b.z, colour.r, colour.g, colour.b});
}

} // namespace

std::vector<ColourVertex> referenceGridLines(const glm::vec3& centre, float diagonal, float hMin) {
    const float half = diagonal * 0.6f;
    const float step = 2.0f * half / 20.0f;
    const glm::vec3 gridColour(0.3f, 0.3f, 0.35f);
    std::vector<ColourVertex> v;
    v.reserve(90);
    for (int i = 0; i <= 20; ++i) {
        const float z = centre.z - half + static_cast<float>(i) * step;
        line(v, {centre.x - half, hMin, z}, {centre.x + half, hMin, z}, gridColour);
    }
    for (int i = 0; i <= 20; ++i) {
        const float x = centre.x - half + static_cast<float>(i) * step;
        line(v, {x, hMin, centre.z - half}, {x, hMin, centre.z + half}, gridColour);
    }
    line(v, {centre.x, hMin + 1, centre.z}, {centre.x + half, hMin + 1, centre.z}, {1.0f, 0.1f, 0.1f});
    line(v, {centre.x, hMin, centre.z}, {centre.x, hMin + half * 0.5f, centre.z}, {0.1f, 1.0f, 0.1f});
    line(v, {centre.x, hMin + 1, centre.z}, {centre.x, hMin + 1, centre.z - half}, {1.0f, 0.9f, 0.1f});  // north
    return v;
}

std::vector<ColourVertex> markerPinLines(const std::vector<glm::vec3>& positions, float size) {
    const glm::vec3 pinColour(1.0f, 0.85f, 0.1f);
    std::vector<ColourVertex> v;
    v.reserve(positions.size() * 4);
    for (const glm::vec3& p : positions) {
        line(v, p, p + glm::vec3(0, size, 0), pinColour);
        line(v, {p.x - 0.3f * size, p.y + size, p.z}, {p.x + 0.3f * size, p.y + size, p.z}, pinColour);
    }
    return v;
}

std::vector<ColourVertex> minimapCrossLines(float x, float y, float z, float s) {
    const glm::vec3 red(1.0f, 0.2f, 0.2f);
    std::vector<ColourVertex> v;
    line(v, {x - s, y, z}, {x + s, y, z}, red);
    line(v, {x, y, z - s}, {x, y, z + s}, red);
    return v;
}

PixelRect minimapRect(int framebufferWidth, int framebufferHeight) {
    const int size = std::min(framebufferWidth, framebufferHeight) / 4;
    return {framebufferWidth - 20 - size, 20, size, size};
}

MinimapCamera minimapCamera(const glm::vec3& terrainCentre, float hMin, float hMax, float diagonal) {
    MinimapCamera m;
    m.centre = glm::vec3(terrainCentre.x, (hMin + hMax) / 2.0f, terrainCentre.z);
    m.view = glm::lookAt(m.centre + glm::vec3(0.0f, diagonal, 0.0f), m.centre, glm::vec3(0.0f, 0.0f, -1.0f));
    const float half = 0.55f * diagonal;
    m.projection = glm::ortho(-half, half, -half, half, 0.0f, 1e8f);
    return m;
}
