// Shared pieces of the tests that open the viewer's window on the virtual screen.
#pragma once

#include <functional>
#include <glm/vec2.hpp>
#include <imgui.h>
#include <string>
#include <vector>

struct Viewer;

// The build's data folder (icon, logo, fonts).
std::string testDataRoot();

// Polls window events until `done` holds or `seconds` have passed; returns `done`'s last value.
bool pumpUntil(const std::function<bool()>& done, double seconds = 3.0);

struct Rgba {
    int r = 0, g = 0, b = 0, a = 0;
};
// Red, green and blue each within `tolerance`.
bool near(const Rgba& got, const Rgba& want, int tolerance);

// RGBA pixels, rows bottom-up as GL reads them; probes look in the box of half-size `radius` round (x, y).
struct Image {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
    Rgba at(int x, int y) const;
    Rgba fromTop(int x, int y) const { return at(x, height - 1 - y); }
    bool any(glm::ivec2 xy, int radius, const std::function<bool(const Rgba&)>& test) const;
    bool shows(glm::ivec2 xy, const Rgba& colour, int tolerance, int radius) const {
        return any(xy, radius, [&](const Rgba& p) { return near(p, colour, tolerance); });
    }
    bool anyLit(glm::ivec2 xy, int radius) const {
        return any(xy, radius, [](const Rgba& p) { return p.r + p.g + p.b > 12; });
    }
};

// The back buffer once GL has finished drawing.
Image readBack(int width, int height);

// Moves the pointer over the box row by row, a frame a spot, until widget `id` is hovered; then presses and
// releases it there, a frame each. False when no spot hovers it.
bool clickWidget(ImGuiID id, ImVec2 from, ImVec2 to, ImVec2 step, const std::function<void(ImVec2, bool)>& pointer,
                 const std::function<void()>& frame);
// The same in the view, through GLFW's pointer and ImGui's button callback.
bool clickWidget(Viewer& viewer, ImGuiID id, ImVec2 from, ImVec2 to, ImVec2 step = {6, 4});

#include "terrain/terrain_grid.h"

// A west-to-east slope: `cols` × `rows` points one metre apart, heights from
// `low` on the west edge to `high` on the east edge, two triangles a cell.
TerrainGrid makeSlopeGrid(int cols, int rows, float low, float high);
