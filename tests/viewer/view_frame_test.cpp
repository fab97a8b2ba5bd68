// Frames of the view drawn for real and read back: reference grid, pins, labels, minimap, windows shown.
#include "tests/viewer/slope_view.h"
#include "viewer/overlay_geometry.h"

#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>

#include <array>
#include <functional>

namespace {

// Framebuffer pixel (bottom-up) of a world point.
glm::ivec2 project(const glm::mat4& vp, const glm::vec3& p, int width, int height) {
    const glm::vec4 c = vp * glm::vec4(p, 1.0f);
    return {static_cast<int>((c.x / c.w * 0.5f + 0.5f) * width), static_cast<int>((c.y / c.w * 0.5f + 0.5f) * height)};
}

// Position and size of the window: x, y, width, height.
std::array<int, 4> stateOf(GLFWwindow* window) {
    std::array<int, 4> s{};
    glfwGetWindowPos(window, &s[0], &s[1]);
    glfwGetWindowSize(window, &s[2], &s[3]);
    return s;
}

bool windowShown(const char* name) {
    ImGuiWindow* w = ImGui::FindWindowByName(name);
    return w && w->Active;
}

struct FrameFixture : SlopeView {
    // Two frames, so that windows sized to their content are shown; the pixels of the last.
    Image frame() {
        viewer.drawFrame();
        glfwSwapBuffers(viewer.window);
        glfwPollEvents();
        viewer.drawFrame();
        return readBack(viewer.display.framebufferWidth, viewer.display.framebufferHeight);
    }
};

} // namespace

TEST_F(FrameFixture, PinsLabelsGridMinimapAndWhichWindowsShow) {
    viewer.markers = {{150, 150, 0.0f}, {100, 200, -10.0f}, {220, 80, 9.0f}};
    viewer.seaLevel = 1.0f;
    const Image pixels = frame();
    const int w = viewer.display.framebufferWidth, h = viewer.display.framebufferHeight;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_TRUE(windowShown("Points relevés"));
    EXPECT_TRUE(windowShown("Légende"));

    const glm::mat4 vp = viewer.camera.projection() * viewer.camera.view();
    const float pinSize = viewer.extents.diagonal * 0.01f;
    for (const DepthMarker& m : viewer.markers) {
        // The pin's crossbar, in the pin colour.
        const glm::ivec2 top = project(vp, {m.x, m.depth * viewer.exaggeration + pinSize, m.z}, w, h);
        EXPECT_TRUE(pixels.shows(top, {255, 217, 25}, 12, 3)) << m.x << "," << m.z;
        // The label starts 8 px right and 16 px above the foot (top-down), in its own yellow.
        const auto at = markerLabelPosition(vp, m, viewer.exaggeration, w, h);
        ASSERT_TRUE(at.has_value());
        const int labelX = static_cast<int>(at->x) + 20, labelY = h - static_cast<int>(at->y) - 9;
        EXPECT_TRUE(pixels.shows({labelX, labelY}, {255, 230, 60}, 12, 12)) << m.x << "," << m.z;
    }

    // The reference grid shows around the terrain, at its lowest height.
    const float half = viewer.extents.diagonal * 0.6f;
    const glm::ivec2 corner =
        project(vp, {viewer.extents.centre.x - half, viewer.extents.hMin, viewer.extents.centre.z + half}, w, h);
    EXPECT_TRUE(pixels.shows(corner, {77, 77, 89}, 12, 2)) << corner.x << "," << corner.y;

    // The minimap: its own background in the corner, the camera as a red cross
    // once the eye is over the mapped square.
    const PixelRect r = minimapRect(w, h);
    EXPECT_TRUE(near(pixels.at(r.x + 1, r.y + 1), {5, 5, 13}, 6));
    viewer.camera.distance = 200;
    const Image closer = frame();
    const MinimapCamera top =
        minimapCamera(viewer.extents.centre, viewer.extents.hMin, viewer.extents.hMax, viewer.extents.diagonal);
    const glm::vec3 eye = viewer.camera.eye();
    const glm::ivec2 cross =
        glm::ivec2(r.x, r.y) + project(top.projection * top.view, {eye.x, top.centre.y + 1, eye.z}, r.width, r.height);
    EXPECT_TRUE(closer.shows(cross, {255, 51, 51}, 12, 2)) << cross.x << "," << cross.y;

    // Without the minimap the corner shows the main view.
    viewer.panels.minimapVisible = false;
    const Image without = frame();
    EXPECT_FALSE(near(without.at(r.x + 1, r.y + 1), {5, 5, 13}, 6));

    // The marker list steps aside for any other window; the legend goes with its switch.
    for (bool* open : {&viewer.panels.helpOpen, &viewer.panels.exaggerationWindowOpen, &viewer.panels.settingsOpen,
                       &viewer.tides.state.tidePanelOpen, &viewer.routes.panel.routePanelOpen,
                       &viewer.tides.calendar.tideCalendarOpen}) {
        *open = true;
        frame();
        EXPECT_FALSE(windowShown("Points relevés"));
        *open = false;
    }
    viewer.panels.legendVisible = false;
    frame();
    EXPECT_FALSE(windowShown("Légende"));
}

// The chosen size is centred; full screen drops the settings window's size
// buttons, and twice returns the window where it was.
TEST_F(FrameFixture, FullScreenDropsTheSizeButtonsAndTwiceReturnsTheWindowThere) {
    viewer.setWindowedSize(1600, 900);
    const std::array<int, 4> before{160, 90, 1600, 900};
    ASSERT_TRUE(pumpUntil([&] { return stateOf(viewer.window) == before; }))
        << stateOf(viewer.window)[0] << "," << stateOf(viewer.window)[1];
    viewer.panels.settingsOpen = true;
    viewer.panels.exaggerationWindowOpen = true;
    viewer.panels.exaggerationHelpShown = true;
    viewer.panels.helpOpen = true;
    frame();
    const float windowedHeight = ImGui::FindWindowByName("Paramètres")->ContentSize.y;

    viewer.toggleFullscreen();
    ASSERT_TRUE(pumpUntil([&] {
        return stateOf(viewer.window) == std::array<int, 4>{0, 0, 1920, 1080} &&
               viewer.display.framebufferWidth == 1920 && viewer.display.framebufferHeight == 1080;
    }));
    EXPECT_EQ(glfwGetWindowMonitor(viewer.window), glfwGetPrimaryMonitor());
    frame();
    const float fullscreenHeight = ImGui::FindWindowByName("Paramètres")->ContentSize.y;
    // One row of buttons and its title line fewer.
    EXPECT_LT(fullscreenHeight, windowedHeight - 40.0f);

    viewer.toggleFullscreen();
    EXPECT_TRUE(pumpUntil([&] {
        return stateOf(viewer.window) == before && viewer.display.framebufferWidth == 1600 &&
               viewer.display.framebufferHeight == 900;
    }));
    EXPECT_FLOAT_EQ(viewer.camera.aspect, 1600.0f / 900.0f);
}

TEST_F(FrameFixture, AnEmptyZoneAfterAnotherShowsNothingOfIt) {
    TerrainGrid empty = makeSlopeGrid(3, 3, 0, 0);
    for (GridPoint& p : empty.points) p.valid = false;
    empty.triangles.clear();
    viewer.markers = {{150, 150, 0.0f}};
    viewer.panels.minimapVisible = viewer.panels.legendVisible = false;
    const glm::vec3 target = viewer.camera.target;
    viewer.setTerrain(empty);
    EXPECT_TRUE(viewer.markers.empty());
    EXPECT_EQ(viewer.gl.mesh.indexCount, 0);
    EXPECT_EQ(viewer.camera.target, target);
    // Nor does a later rebuild bring the old reference grid back: right of the
    // route toolbar and below the menu bar only the background is left.
    viewer.stepExaggeration(+1);
    viewer.rebuildReferenceGrid();
    const Image pixels = frame();
    const int w = viewer.display.framebufferWidth, h = viewer.display.framebufferHeight;
    const ImGuiWindow* toolbar = ImGui::FindWindowByName("##route_toolbar");
    ASSERT_NE(toolbar, nullptr);
    for (int y = 0; y < h - 40; y += 7)
        for (int x = static_cast<int>(toolbar->Pos.x + toolbar->Size.x) + 1; x < w; x += 7)
            ASSERT_TRUE(near(pixels.at(x, y), {13, 13, 20}, 2)) << x << "," << y;
}

// The corner from the kept picture must be the one drawn afresh, whatever
// changed since it was made; each change must also show in the corner.
TEST_F(FrameFixture, KeptMinimapMatchesTheDrawnOneAfterEachChange) {
    const auto corner = [&](bool kept) {
        viewer.gl.minimap.enabled = kept;
        const Image all = frame();
        const int w = viewer.display.framebufferWidth;
        const PixelRect r = minimapRect(w, viewer.display.framebufferHeight);
        std::vector<unsigned char> out;
        for (int y = r.y; y < r.y + r.height; ++y) {
            const auto row = all.rgba.begin() + 4 * (static_cast<std::ptrdiff_t>(y) * w + r.x);
            out.insert(out.end(), row, row + 4 * r.width);
        }
        return out;
    };
    std::vector<unsigned char> rgb(64 * 64 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<unsigned char>((i / 3 % 64 / 8 + i / 3 / 512) % 2 * 200);
    ASSERT_TRUE(viewer.uploadSatelliteImage(64, 64, rgb.data()));

    testing::internal::CaptureStdout();
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"sea level", [&] { viewer.seaLevel = 8.0f; }},
        {"exaggeration", [&] { viewer.setExaggeration(3.0f); }},
        {"satellite on", [&] { viewer.panels.satelliteOn = true; }},
        {"satellite off", [&] { viewer.panels.satelliteOn = false; }},
        {"new terrain", [&] { viewer.setTerrain(makeSlopeGrid(301, 201, 20.0f, -30.0f)); }},
        {"window size", [&] {
             viewer.setWindowedSize(1200, 700);
             ASSERT_TRUE(pumpUntil([&] { return viewer.display.framebufferWidth == 1200; }));
         }},
    };
    std::vector<unsigned char> before = corner(true);
    EXPECT_EQ(before, corner(false));
    for (const auto& [name, change] : changes) {
        change();
        const std::vector<unsigned char> kept = corner(true);
        ASSERT_TRUE(viewer.gl.minimap.holdsPicture) << name;  // the copy, not the fallback
        const std::vector<unsigned char> drawn = corner(false);
        EXPECT_NE(drawn, before) << name;
        EXPECT_EQ(kept, drawn) << name;
        before = drawn;
    }
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
