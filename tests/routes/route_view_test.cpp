// The route renderer alone in the view's GL context, then routes in the real view.
#include "tests/routes/test_terrain.h"
#include "tests/support/log_capture.h"
#include "tests/viewer/gl_test_support.h"
#include "viewer/viewer.h"

#include <cmath>
#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>

namespace {

// The colour a route line leaves on the black background, give or take llvmpipe's rounding.
bool shows(const Image& image, glm::ivec2 xy, const RouteColor& c, int radius = 2) {
    const auto level = [&](float v) { return static_cast<int>(v * c.a * 255.0f + 0.5f); };
    return image.shows(xy, {level(c.r), level(c.g), level(c.b)}, 4, radius);
}

// The view on a flat sea bed at -5 m, 201 x 101 points one metre apart, near Brest.
struct RouteViewTest : testing::Test {
    Viewer viewer;
    TerrainGrid grid = makeSlopeGrid(201, 101, -5.0f, -5.0f);

    void SetUp() override {
        grid.originX = 145000.0;
        grid.originY = 6839000.0;
        viewer.dataRoot = testDataRoot();
        ASSERT_TRUE(viewer.init());
        setTerrain(grid);
        viewer.camera.pitch = 60.0f;
    }
    void setTerrain(const TerrainGrid& terrain) {
        captureStreams([&] { viewer.setTerrain(terrain); });
    }
    // Where world point (x, height, z) shows on the framebuffer.
    glm::ivec2 onScreen(double x, double height, double z) const {
        const glm::dvec4 viewport(0, 0, viewer.display.framebufferWidth, viewer.display.framebufferHeight);
        const glm::dvec3 win = glm::projectNO(glm::dvec3(x, height, z), glm::dmat4(viewer.camera.view()),
                                              glm::dmat4(viewer.camera.projection()), viewport);
        return {static_cast<int>(win.x), static_cast<int>(win.y)};
    }
    // A click without movement on the sea bed at grid (x, y).
    void clickGrid(double x, double y) {
        const glm::ivec2 at = onScreen(x, -5.0, y);
        captureStreams([&] { viewer.handleClick(at.x, viewer.display.framebufferHeight - at.y); });
    }
    void press(int key, int mods = 0) { viewer.onKey(key, GLFW_PRESS, mods); }
    void drawRoute(const std::vector<std::pair<double, double>>& points) {
        viewer.routes.panel.interactionMode = kModeRoute;
        for (auto [x, y] : points) clickGrid(x, y);
        press(GLFW_KEY_ENTER);
    }
    Image drawAndRead() {
        viewer.drawFrame();
        return readBack(viewer.display.framebufferWidth, viewer.display.framebufferHeight);
    }
};

// The renderer alone: the sea bed's first 100 m square in a 400 x 400 corner, 4 px a metre.
struct RouteRenderTest : RouteViewTest {
    RouteEditor& editor = viewer.routes.editor;
    RouteRenderer& renderer = viewer.routes.renderer;
    RouteRenderParams params{0.0f, 1.0f, 0.3f, true, 1.5f};  // draught 0.3 m, crosses of 1.5 m
    // From above: x to the right, rows downwards; from the south: heights -50..50 m upwards.
    Image draw(bool fromSouth = false) {
        const glm::mat4 view = fromSouth
                                   ? glm::lookAt(glm::vec3(50, 0, 300), glm::vec3(50, 0, 0), glm::vec3(0, 1, 0))
                                   : glm::lookAt(glm::vec3(50, 200, 50), glm::vec3(50, 0, 50), glm::vec3(0, 0, -1));
        glViewport(0, 0, 400, 400);
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderer.draw(editor, view, glm::ortho(-50.0f, 50.0f, -50.0f, 50.0f, 1.0f, 1000.0f), params);
        return readBack(400, 400);
    }
};

// Pixel of (x, y) metres of the square, y downwards on the screen.
glm::ivec2 spot(double x, double y) { return {static_cast<int>(x * 4.0), 399 - static_cast<int>(y * 4.0)}; }

} // namespace

TEST_F(RouteRenderTest, RoutesInProgressLoopsHiddenCrossesAndSelectedPoint) {
    addRoute(editor, "test", {{20, 20}, {80, 20}, {80, 80}});
    params.selectedRoute = 0;
    params.selectedPoint = 2;
    editor.startRoute("en cours");
    editor.addPoint(10, 90);
    editor.addPoint(60, 90);

    const Image image = draw();
    // Deep water under every point: the finished route is green.
    EXPECT_TRUE(shows(image, spot(80, 50), routecolor::kGreen));
    // The route being drawn is grey; it is not a loop, so nothing closes it.
    EXPECT_TRUE(shows(image, spot(35, 90), routecolor::kInProgress));
    EXPECT_FALSE(image.anyLit(spot(50, 50), 6));
    // A white cross at a point, at half size 1.5 m; the selected point's is yellow and 1.8 times longer.
    EXPECT_TRUE(shows(image, spot(20 - 1.25, 20), routecolor::kCross, 1));
    EXPECT_TRUE(shows(image, spot(80 - 2.25, 80), routecolor::kSelectedCross, 1));
    EXPECT_FALSE(image.anyLit(spot(20 - 2.25, 20), 1));

    // Closed as a loop, the route gains its diagonal; a hidden route is not drawn.
    editor.routes[0].loop = true;
    addRoute(editor, "test", {{10, 50}, {40, 50}});
    editor.routes[1].visible = false;
    const Image loop = draw();
    EXPECT_TRUE(shows(loop, spot(50, 50), routecolor::kGreen));
    EXPECT_FALSE(loop.anyLit(spot(25, 50), 4));

    // Blending and the line width are put back as they were.
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_FLOAT_EQ(width, 1.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RouteRenderTest, LinesFloatOnTheSeaAndStrokesReachTheBottom) {
    addRoute(editor, "test", {{20, 50}, {80, 50}});
    params.seaLevel = 1.0f;
    params.exaggeration = 2.0f;
    params.pointSize = 0.5f;
    // Seen from the south, heights run up the screen from -50 m.
    const auto at = [](double x, double height) { return spot(x, 50 - height); };
    const Image image = draw(true);
    EXPECT_TRUE(shows(image, at(50, 2.0), routecolor::kGreen));
    // Strokes from the line down to the bottom at -5 x 2 = -10 m.
    EXPECT_TRUE(shows(image, at(20, -6.0), routecolor::kStroke, 1));
    EXPECT_TRUE(shows(image, at(80, -9.5), routecolor::kStroke, 1));
    EXPECT_FALSE(image.anyLit(at(20, -11.5), 1));

    params.verticalStrokes = false;
    const Image without = draw(true);
    EXPECT_FALSE(without.anyLit(at(20, -6.0), 1));

    // Drawing after destroy does nothing rather than touching deleted names.
    const unsigned int buffer = renderer.vertexBuffer;
    renderer.destroy();
    glUseProgram(0);  // a program in use is only flagged for deletion
    EXPECT_FALSE(glIsBuffer(buffer));
    EXPECT_FALSE(draw(true).anyLit(at(50, 2.0), 4));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The view's glue: georeference, pick, keys, sea level, selected cross, new terrain.
TEST_F(RouteViewTest, ClicksKeysAndTheRouteWindowInTheView) {
    const Georeference& geo = viewer.routes.editor.geo;
    EXPECT_TRUE(geo.georeferenced);
    EXPECT_DOUBLE_EQ(geo.originX, 145000.0);
    EXPECT_DOUBLE_EQ(geo.originY, 6839000.0);
    // Centre (145100, 6838950) is near 48.41 N 4.50 W: sin(48.41 deg) x (-4.50 - 3).
    EXPECT_NEAR(geo.convergence, std::sin(48.41 * M_PI / 180.0) * (-4.50 - 3.0), 0.01);
    EXPECT_EQ(viewer.routes.panel.interactionMode, kModeMarker);
    viewer.routes.panel.interactionMode = kModeRoute;
    clickGrid(40, 30);
    clickGrid(160, 30);
    clickGrid(100, 30);
    press(GLFW_KEY_Z, GLFW_MOD_CONTROL);
    clickGrid(160, 80);
    ASSERT_TRUE(viewer.routes.editor.drawing);
    const std::vector<RoutePoint>& drawn = viewer.routes.editor.inProgress.points;
    ASSERT_EQ(drawn.size(), 3u);
    // The pick marches in steps of about a metre.
    EXPECT_NEAR(drawn[2].x, 160, 1.5);
    EXPECT_NEAR(drawn[2].y, 80, 1.5);
    EXPECT_FLOAT_EQ(drawn[1].z, -5.0f);  // the view's heights reach the editor
    EXPECT_TRUE(viewer.markers.empty());  // route mode places no depth marker
    press(GLFW_KEY_ESCAPE);               // abandons the route, does not leave the view
    EXPECT_FALSE(viewer.routes.editor.drawing);
    EXPECT_FALSE(viewer.panels.returnToMenu);

    drawRoute({{40, 30}, {160, 30}, {160, 80}});
    ASSERT_EQ(viewer.routes.editor.routes.size(), 1u);
    const Route& route = viewer.routes.editor.routes[0];
    // Deep water under every point: the line is green, at the view's sea level.
    viewer.seaLevel = 3.0f;
    EXPECT_TRUE(shows(drawAndRead(), onScreen(route.points[1].x, 3.0, 55), routecolor::kGreen));

    // A click next to a point of the selected route selects it; Delete removes it.
    clickGrid(163, 31);
    EXPECT_EQ(viewer.routes.panel.selectedPoint, 1);
    const RoutePoint second = route.points[1];
    EXPECT_TRUE(shows(drawAndRead(), onScreen(second.x, 3.0, second.y), routecolor::kSelectedCross));
    press(GLFW_KEY_DELETE);
    EXPECT_EQ(route.points.size(), 2u);
    press(GLFW_KEY_ESCAPE);  // not drawing: the view's again
    EXPECT_TRUE(viewer.panels.returnToMenu);

    // A new terrain starts without routes, with its own georeference (none at Lambert-93 (0, 0)).
    viewer.routes.panel.selectedPoint = 1;
    setTerrain(makeSlopeGrid(50, 50, -5.0f, -5.0f));
    EXPECT_TRUE(viewer.routes.editor.routes.empty());
    EXPECT_EQ(viewer.routes.panel.selectedPoint, -1);
    EXPECT_FALSE(viewer.routes.editor.geo.georeferenced);
    EXPECT_EQ(viewer.routes.editor.heightGrid.width, 50);
    EXPECT_EQ(viewer.routes.panel.interactionMode, kModeRoute);  // the mode stays across zones
}

TEST_F(RouteViewTest, TypingARouteNameTogglesNoViewSwitchAndEscapeStaysInTheZone) {
    drawRoute({{40, 30}, {100, 30}});
    viewer.routes.panel.routePanelOpen = true;
    viewer.drawFrame();
    viewer.drawFrame();
    ImGuiWindow* window = ImGui::FindWindowByName("Parcours");
    ASSERT_NE(window, nullptr);
    const float middle = window->Pos.x + window->Size.x / 2;
    ASSERT_TRUE(clickWidget(viewer, window->GetIDNoKeepAlive("##name"), {middle, window->Pos.y + 30},
                            {middle, window->Pos.y + window->Size.y}, {6, 6}))
        << "pas de champ de nom";
    ASSERT_TRUE(ImGui::GetIO().WantTextInput);

    viewer.routes.panel.selectedPoint = 1;
    // Escape stands for the letters too: all are held back by the same test of the text field.
    press(GLFW_KEY_ESCAPE);
    press(GLFW_KEY_DELETE);
    EXPECT_EQ(viewer.routes.editor.routes[0].points.size(), 2u);  // Delete edits the text
    EXPECT_FALSE(viewer.panels.returnToMenu);
    // Function keys type nothing: they still act.
    press(GLFW_KEY_F10);
    EXPECT_TRUE(viewer.panels.settingsOpen);
}
