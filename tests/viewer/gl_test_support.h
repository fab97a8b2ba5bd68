// Shared pieces of the tests that open the viewer's window on the virtual screen.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The build's data folder (icon, logo, fonts).
std::string testDataRoot();

// Polls window events until `done` holds or `seconds` have passed; returns `done`'s last value.
bool pumpUntil(const std::function<bool()>& done, double seconds = 3.0);

struct Rgba {
    int r = 0, g = 0, b = 0, a = 0;
};

// Reads the whole framebuffer (rows bottom-up, 4 bytes per pixel) from the given buffer.
std::vector<unsigned char> readFramebuffer(int width, int height, unsigned int glBuffer);
Rgba pixelAt(const std::vector<unsigned char>& pixels, int width, int x, int y);

// Writes bottom-up RGBA rows as a top-down PNG under build/Testing/viewer/.
std::string saveScreenshot(const std::string& name, int width, int height, const std::vector<unsigned char>& pixels);

// The whole virtual screen as the X server shows it (ImageMagick's import),
// rows top-down; `ok` is false when the capture failed.
struct ScreenImage {
    bool ok = false;
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
    Rgba at(int x, int yFromTop) const;
};
ScreenImage captureScreen(const std::string& name);

#include "terrain/terrain_grid.h"

// A west-to-east slope: `cols` × `rows` points one metre apart, heights from
// `low` on the west edge to `high` on the east edge, two triangles a cell.
TerrainGrid makeSlopeGrid(int cols, int rows, float low, float high);
