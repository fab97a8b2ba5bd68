// Routes in the real view on the virtual screen: clicks in route mode pick
// the terrain, the keys finish, abandon, undo and delete, the lines are drawn
// over the terrain and the route window shows the selected route.
#include "tests/viewer/gl_test_support.h"
#include "viewer/viewer.h"

#include <cmath>
#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_impl_glfw.h>
#include <imgui_internal.h>

namespace {

// A flat sea bed at -5 m, `cols` x `rows` points one metre apart, with its
// top-left corner at Lambert-93 (originX, originY).
TerrainGrid makeSeaBed(int cols, int rows, double originX, double originY) {
    TerrainGrid grid;
    grid.width = cols;
    grid.height = rows;
    grid.originX = originX;
    grid.originY = originY;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) grid.points.push_back({float(c), -float(r), -5.0f, true});
    for (int r = 0; r + 1 < rows; ++r)
        for (int c = 0; c + 1 < cols; ++c) {
            const uint32_t a = r * cols + c, b = a + 1, d = a + cols, e = d + 1;
            grid.triangles.push_back({a, b, d});
            grid.triangles.push_back({b, e, d});
        }
    return grid;
}

struct Pixel {
    double x = 0, y = 0;  // framebuffer, origin top-left
};

struct RouteViewTest : testing::Test {
    Viewer viewer;
    TerrainGrid grid = makeSeaBed(201, 101, 145000.0, 6839000.0);

    void SetUp() override {
        viewer.dataRoot = testDataRoot();
        ASSERT_TRUE(viewer.init());
        testing::internal::CaptureStdout();
        viewer.setTerrain(grid);
        testing::internal::GetCapturedStdout();
        viewer.camera.pitch = 60.0f;
    }

    // Where world point (x, height, z) shows on the framebuffer.
    Pixel onScreen(double x, double height, double z) const {
        const glm::dvec4 viewport(0, 0, viewer.display.framebufferWidth, viewer.display.framebufferHeight);
        const glm::dvec3 win = glm::projectNO(glm::dvec3(x, height, z), glm::dmat4(viewer.camera.view()),
                                              glm::dmat4(viewer.camera.projection()), viewport);
        return {win.x, viewer.display.framebufferHeight - win.y};
    }
    // A click without movement on the sea bed at grid (x, y).
    void clickGrid(double x, double y) {
        const Pixel p = onScreen(x, -5.0, y);
        testing::internal::CaptureStdout();
        viewer.handleClick(p.x, p.y);
        testing::internal::GetCapturedStdout();
    }
    void press(int key, int mods = 0) { viewer.onKey(key, GLFW_PRESS, mods); }

    std::vector<unsigned char> drawAndRead() {
        viewer.drawFrame();
        glFinish();
        return readFramebuffer(viewer.display.framebufferWidth, viewer.display.framebufferHeight, GL_BACK);
    }
    // Whether a pixel within 2 of p has the colour (rows of `pixels` are bottom-up).
    bool colourNear(const std::vector<unsigned char>& pixels, Pixel p, int r, int g, int b) const {
        const int cx = static_cast<int>(p.x), cy = viewer.display.framebufferHeight - 1 - static_cast<int>(p.y);
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const ::Rgba c = pixelAt(pixels, viewer.display.framebufferWidth, cx + dx, cy + dy);
                if (std::abs(c.r - r) <= 4 && std::abs(c.g - g) <= 4 && std::abs(c.b - b) <= 4) return true;
            }
        return false;
    }
};

} // namespace

TEST_F(RouteViewTest, ThreeClicksAndEnterMakeARouteDrawnOverTheSeaBed) {
    EXPECT_EQ(viewer.routes.panel.interactionMode, kModeMarker);
    viewer.routes.panel.interactionMode = kModeRoute;
    clickGrid(40, 30);
    clickGrid(160, 30);
    clickGrid(160, 80);
    ASSERT_TRUE(viewer.routes.editor.drawing);
    const Route& drawn = viewer.routes.editor.inProgress;
    EXPECT_EQ(drawn.name, "Parcours 1");
    ASSERT_EQ(drawn.points.size(), 3u);
    // The pick marches in steps of about a metre.
    EXPECT_NEAR(drawn.points[0].x, 40, 1.5);
    EXPECT_NEAR(drawn.points[0].y, 30, 1.5);
    EXPECT_NEAR(drawn.points[2].x, 160, 1.5);
    EXPECT_NEAR(drawn.points[2].y, 80, 1.5);
    EXPECT_TRUE(drawn.points[1].hasZ);
    EXPECT_FLOAT_EQ(drawn.points[1].z, -5.0f);
    EXPECT_TRUE(viewer.markers.empty());  // route mode places no depth marker

    press(GLFW_KEY_ENTER);
    ASSERT_FALSE(viewer.routes.editor.drawing);
    ASSERT_EQ(viewer.routes.editor.routes.size(), 1u);
    EXPECT_EQ(viewer.routes.editor.selectedRoute, 0);
    EXPECT_TRUE(viewer.routes.panel.profile.routesDirty);
    EXPECT_FALSE(viewer.panels.returnToMenu);

    // 5.3 m of water under every point: the line is green, at the sea level over the bed.
    const Route& route = viewer.routes.editor.routes[0];
    const std::vector<unsigned char> pixels = drawAndRead();
    saveScreenshot("route_in_view.png", viewer.display.framebufferWidth, viewer.display.framebufferHeight, pixels);
    EXPECT_TRUE(colourNear(pixels, onScreen(100, 0, route.points[0].y), 76, 217, 115));
    EXPECT_TRUE(colourNear(pixels, onScreen(route.points[1].x, 0, 55), 76, 217, 115));

    // Raising the sea lifts the line with it.
    viewer.seaLevel = 3.0f;
    const std::vector<unsigned char> raised = drawAndRead();
    EXPECT_TRUE(colourNear(raised, onScreen(route.points[1].x, 3.0, 55), 76, 217, 115));
}

TEST_F(RouteViewTest, KeysUndoAbandonDeleteAndOtherwiseKeepTheirViewMeaning) {
    viewer.routes.panel.interactionMode = kModeRoute;
    clickGrid(40, 30);
    clickGrid(100, 30);
    press(GLFW_KEY_Z);  // without Ctrl: nothing for the route
    EXPECT_EQ(viewer.routes.editor.inProgress.points.size(), 2u);
    press(GLFW_KEY_Z, GLFW_MOD_CONTROL);
    EXPECT_EQ(viewer.routes.editor.inProgress.points.size(), 1u);
    press(GLFW_KEY_ESCAPE);  // abandons the route, does not leave the view
    EXPECT_FALSE(viewer.routes.editor.drawing);
    EXPECT_FALSE(viewer.panels.returnToMenu);

    clickGrid(40, 30);
    clickGrid(100, 30);
    clickGrid(100, 80);
    press(GLFW_KEY_KP_ENTER);
    ASSERT_EQ(viewer.routes.editor.routes.size(), 1u);
    EXPECT_EQ(viewer.routes.editor.routes[0].name, "Parcours 1");

    // A click next to a point of the selected route selects it; Delete removes it.
    clickGrid(103, 31);
    EXPECT_FALSE(viewer.routes.editor.drawing);
    EXPECT_EQ(viewer.routes.panel.selectedPoint, 1);
    const std::vector<unsigned char> selected = drawAndRead();
    saveScreenshot("route_point_selected.png", viewer.display.framebufferWidth, viewer.display.framebufferHeight,
                   selected);
    const RoutePoint second = viewer.routes.editor.routes[0].points[1];
    EXPECT_TRUE(colourNear(selected, onScreen(second.x, 0, second.y), 255, 230, 77));  // the yellow cross
    viewer.routes.panel.interactionMode = kModeNavigate;  // Delete works in any mode
    press(GLFW_KEY_DELETE);
    ASSERT_EQ(viewer.routes.editor.routes[0].points.size(), 2u);
    EXPECT_NEAR(viewer.routes.editor.routes[0].points[1].y, 80, 1.5);
    EXPECT_EQ(viewer.routes.panel.selectedPoint, -1);

    // In navigation mode a click does nothing; Escape is the view's again.
    clickGrid(60, 60);
    EXPECT_FALSE(viewer.routes.editor.drawing);
    EXPECT_TRUE(viewer.markers.empty());
    press(GLFW_KEY_ESCAPE);
    EXPECT_TRUE(viewer.panels.returnToMenu);
}

TEST_F(RouteViewTest, ANewTerrainStartsWithoutRoutesAndWithItsGeoreference) {
    const Georeference& geo = viewer.routes.editor.geo;
    EXPECT_TRUE(geo.georeferenced);
    EXPECT_DOUBLE_EQ(geo.originX, 145000.0);
    EXPECT_DOUBLE_EQ(geo.originY, 6839000.0);
    // Centre (145100, 6838950) is near 48.41 N 4.50 W: sin(48.41 deg) x (-4.50 - 3).
    EXPECT_NEAR(geo.convergence, std::sin(48.41 * M_PI / 180.0) * (-4.50 - 3.0), 0.01);

    viewer.routes.panel.interactionMode = kModeRoute;
    clickGrid(40, 30);
    clickGrid(100, 30);
    press(GLFW_KEY_ENTER);
    clickGrid(100, 30);  // selects its last point
    ASSERT_EQ(viewer.routes.panel.selectedPoint, 1);

    const TerrainGrid other = makeSeaBed(50, 50, 0.0, 0.0);
    testing::internal::CaptureStdout();
    viewer.setTerrain(other);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(viewer.routes.editor.routes.empty());
    EXPECT_EQ(viewer.routes.editor.selectedRoute, -1);
    EXPECT_EQ(viewer.routes.panel.selectedPoint, -1);
    EXPECT_TRUE(viewer.routes.panel.profile.routesDirty);
    EXPECT_FALSE(viewer.routes.editor.geo.georeferenced);
    EXPECT_EQ(viewer.routes.editor.heightGrid.width, 50);
    EXPECT_EQ(viewer.routes.panel.interactionMode, kModeRoute);  // the mode stays across zones
}

TEST_F(RouteViewTest, RouteWindowShowsTheSelectedRouteWithItsPassageWindows) {
    // A shoal at -1 m across the middle of the route.
    for (GridPoint& p : grid.points)
        if (p.x >= 95 && p.x <= 105) p.z = -1.0f;
    testing::internal::CaptureStdout();
    viewer.setTerrain(grid);
    testing::internal::GetCapturedStdout();
    viewer.routes.panel.interactionMode = kModeRoute;
    clickGrid(20, 50);
    clickGrid(180, 50);
    press(GLFW_KEY_ENTER);
    // A tide day sampled every 10 minutes, 1 to 5 m ZH, with an offset of -3 m: -2 to +2 m IGN69.
    for (int i = 0; i < 144; ++i) {
        const float hour = i / 6.0f;
        viewer.tides.state.samples.push_back({3.0f + 2.0f * std::cos(hour / 12.42f * 2.0f * float(M_PI)), hour});
    }
    viewer.tides.state.datumOffset = -3.0f;
    viewer.seaLevel = 1.0f;
    viewer.routes.panel.routePanelOpen = true;
    // The whole screen, so that the whole window shows.
    viewer.setWindowedSize(1920, 1080);
    ASSERT_TRUE(
        pumpUntil([&] { return viewer.display.framebufferWidth == 1920 && viewer.display.framebufferHeight == 1080; }));
    for (int i = 0; i < 3; ++i) {  // the buffers take the new size; auto-sized windows settle
        viewer.drawFrame();
        glfwSwapBuffers(viewer.window);
        glfwPollEvents();
    }
    ImGui::SetWindowSize("Parcours", ImVec2(460.0f, 1020.0f));  // tall enough to show everything
    const std::vector<unsigned char> pixels = drawAndRead();
    saveScreenshot("route_window.png", viewer.display.framebufferWidth, viewer.display.framebufferHeight, pixels);
    // The profile was computed for the route: 160 m, its highest bottom -1 m.
    EXPECT_EQ(viewer.routes.panel.profile.routeIndex, 0);
    EXPECT_NEAR(viewer.routes.panel.profile.stats.length, 160.0, 2.0);
    EXPECT_FLOAT_EQ(viewer.routes.panel.profile.stats.maxZ, -1.0f);
    EXPECT_FALSE(viewer.routes.panel.profile.routesDirty);
}

TEST_F(RouteViewTest, TypingARouteNameTogglesNoViewSwitchAndEscapeStaysInTheZone) {
    viewer.routes.panel.interactionMode = kModeRoute;
    clickGrid(40, 30);
    clickGrid(100, 30);
    press(GLFW_KEY_ENTER);
    viewer.routes.panel.routePanelOpen = true;
    drawAndRead();
    drawAndRead();
    // A click in the name field: the pointer is found over it, then pressed.
    ImGuiWindow* window = ImGui::FindWindowByName("Parcours");
    ASSERT_NE(window, nullptr);
    const ImGuiID name = window->GetIDNoKeepAlive("##name");
    const double x = window->Pos.x + window->Size.x / 2;
    bool over = false;
    for (double y = window->Pos.y + 30; y < window->Pos.y + window->Size.y && !over; y += 6) {
        glfwSetCursorPos(viewer.window, x, y);
        viewer.drawFrame();
        over = GImGui->HoveredId == name;
    }
    ASSERT_TRUE(over) << "pas de champ de nom";
    ImGui_ImplGlfw_MouseButtonCallback(viewer.window, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
    viewer.drawFrame();
    ImGui_ImplGlfw_MouseButtonCallback(viewer.window, GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
    viewer.drawFrame();
    ASSERT_TRUE(ImGui::GetIO().WantTextInput);
    EXPECT_EQ(viewer.routes.editor.routes[0].points.size(), 2u);  // the click added no route point
    EXPECT_FALSE(viewer.routes.editor.drawing);

    const bool minimap = viewer.panels.minimapVisible, tidePanel = viewer.tides.state.tidePanelOpen,
               help = viewer.panels.helpOpen;
    const float exaggeration = viewer.exaggeration;
    for (int key : {GLFW_KEY_M, GLFW_KEY_T, GLFW_KEY_I, GLFW_KEY_L, GLFW_KEY_V, GLFW_KEY_P, GLFW_KEY_EQUAL,
                    GLFW_KEY_ESCAPE})
        press(key);
    EXPECT_EQ(viewer.panels.minimapVisible, minimap);
    EXPECT_EQ(viewer.tides.state.tidePanelOpen, tidePanel);
    EXPECT_EQ(viewer.panels.helpOpen, help);
    EXPECT_FALSE(viewer.panels.satelliteOn);
    EXPECT_FALSE(viewer.panels.exaggerationWindowOpen);
    EXPECT_FALSE(viewer.panels.timelapsePlaying);
    EXPECT_EQ(viewer.exaggeration, exaggeration);
    EXPECT_FALSE(viewer.panels.returnToMenu);
    ASSERT_EQ(viewer.routes.editor.routes.size(), 1u);
    // Function keys type nothing: they still act.
    press(GLFW_KEY_F10);
    EXPECT_TRUE(viewer.panels.settingsOpen);
}
