// The route renderer in a real GL context on the virtual screen: routes are
// drawn over a made-up terrain, read back and checked pixel by pixel.
#include "routes/route_renderer.h"
#include "test_terrain.h"

#include <filesystem>
#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <stb_image_write.h>

namespace {

constexpr int kSize = 400;       // framebuffer pixels
constexpr float kPxPerM = 4.0f;  // a 100 m square fills it
constexpr int kTolerance = 4;    // llvmpipe rounds a level or two off

struct Pixel {
    int r = 0, g = 0, b = 0;
};

// The colour an RGBA line colour leaves on the black background.
Pixel over(const RouteColor& c) {
    return {static_cast<int>(c.r * c.a * 255.0f + 0.5f), static_cast<int>(c.g * c.a * 255.0f + 0.5f),
            static_cast<int>(c.b * c.a * 255.0f + 0.5f)};
}

bool near(const Pixel& a, const Pixel& b) {
    return std::abs(a.r - b.r) <= kTolerance && std::abs(a.g - b.g) <= kTolerance && std::abs(a.b - b.b) <= kTolerance;
}

std::string describe(const Pixel& p) {
    return "(" + std::to_string(p.r) + ", " + std::to_string(p.g) + ", " + std::to_string(p.b) + ")";
}

struct Image {
    std::vector<unsigned char> rgba;  // rows top-down
    Pixel at(int x, int yFromTop) const {
        const unsigned char* p = &rgba[(static_cast<size_t>(yFromTop) * kSize + x) * 4];
        return {p[0], p[1], p[2]};
    }
    // Whether some pixel within `radius` of (x, y) has the colour.
    bool hasNear(int x, int y, const Pixel& want, int radius = 2) const {
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx)
                if (near(at(x + dx, y + dy), want)) return true;
        return false;
    }
    bool blankAround(int x, int y, int radius = 3) const { return hasNear(x, y, Pixel{}, 0) && !anyLit(x, y, radius); }
    bool anyLit(int x, int y, int radius) const {
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx) {
                const Pixel p = at(x + dx, y + dy);
                if (p.r + p.g + p.b > 3 * kTolerance) return true;
            }
        return false;
    }
};

// One window with a GL 3.3 core context, 400 x 400.
struct RouteRenderTest : testing::Test {
    GLFWwindow* window = nullptr;
    RouteRenderer renderer;
    TestTerrain terrain = makeTerrain(101, 101, [](int, int) { return -5.0f; });
    RouteEditor editor;
    RouteRenderParams params;

    void SetUp() override {
        ASSERT_TRUE(glfwInit());
        glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
        glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
        glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
        glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
        window = glfwCreateWindow(kSize, kSize, "routes", nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        glfwMakeContextCurrent(window);
        ASSERT_NE(gladLoadGL(glfwGetProcAddress), 0);
        int w = 0, h = 0;
        glfwGetFramebufferSize(window, &w, &h);
        ASSERT_EQ(w, kSize);
        ASSERT_EQ(h, kSize);
        glViewport(0, 0, kSize, kSize);
        glEnable(GL_DEPTH_TEST);
        ASSERT_TRUE(renderer.init());
        editor.resetForTerrain();
        editor.setTerrain(terrain.grid(), makeGeoreference(150000, 6800000, 48.4, -4.5));
        params.seaLevel = 0.0f;
        params.exaggeration = 1.0f;
        params.draught = 0.3f;
        params.pointSize = 1.5f;
    }
    void TearDown() override {
        renderer.destroy();
        if (window) glfwDestroyWindow(window);
        glfwTerminate();
    }

    void addRoute(const std::vector<std::pair<double, double>>& xy, bool loop = false) {
        editor.startRoute("test");
        for (auto [x, y] : xy) editor.addPoint(x, y);
        editor.inProgress.loop = loop;
        ASSERT_GE(editor.finishRoute(), 0);
    }

    // Looking straight down on the 100 m square: grid x to the right, rows downwards, 4 px a metre.
    Image drawFromAbove(const std::string& name) {
        const glm::mat4 view = glm::lookAt(glm::vec3(50, 200, 50), glm::vec3(50, 0, 50), glm::vec3(0, 0, -1));
        return draw(view, glm::ortho(-50.0f, 50.0f, -50.0f, 50.0f, 1.0f, 1000.0f), name);
    }
    // Looking north from the south edge: grid x to the right, height upwards,
    // heights -50..50 m on screen, 4 px a metre.
    Image drawFromSouth(const std::string& name) {
        const glm::mat4 view = glm::lookAt(glm::vec3(50, 0, 300), glm::vec3(50, 0, 0), glm::vec3(0, 1, 0));
        return draw(view, glm::ortho(-50.0f, 50.0f, -50.0f, 50.0f, 1.0f, 1000.0f), name);
    }

    Image draw(const glm::mat4& view, const glm::mat4& projection, const std::string& name) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderer.draw(editor, view, projection, params);
        glFinish();
        std::vector<unsigned char> bottomUp(static_cast<size_t>(kSize) * kSize * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
        Image image;
        image.rgba.resize(bottomUp.size());
        for (int row = 0; row < kSize; ++row)
            std::copy_n(&bottomUp[static_cast<size_t>(kSize - 1 - row) * kSize * 4], kSize * 4,
                        &image.rgba[static_cast<size_t>(row) * kSize * 4]);
        const std::filesystem::path dir = std::filesystem::path(ABYSTO_BINARY_DIR) / "Testing" / "routes";
        std::filesystem::create_directories(dir);
        stbi_write_png((dir / name).c_str(), kSize, kSize, 4, image.rgba.data(), kSize * 4);
        return image;
    }
};

int px(double metres) { return static_cast<int>(metres * kPxPerM); }

} // namespace

TEST_F(RouteRenderTest, FinishedRouteInProgressRouteCrossesAndSelectedPoint) {
    addRoute({{20, 20}, {80, 20}, {80, 80}});
    params.selectedRoute = 0;
    params.selectedPoint = 2;
    editor.startRoute("en cours");
    editor.addPoint(10, 90);
    editor.addPoint(60, 90);

    const Image image = drawFromAbove("route_from_above.png");
    // Deep water under every point: the finished route is green along both legs.
    EXPECT_TRUE(image.hasNear(px(50), px(20), over(routecolor::kGreen))) << describe(image.at(px(50), px(20)));
    EXPECT_TRUE(image.hasNear(px(80), px(50), over(routecolor::kGreen))) << describe(image.at(px(80), px(50)));
    // The route being drawn is grey; it is not a loop, so nothing closes it.
    EXPECT_TRUE(image.hasNear(px(35), px(90), over(routecolor::kInProgress))) << describe(image.at(px(35), px(90)));
    EXPECT_FALSE(image.anyLit(px(50), px(50), 6));
    // A white cross at a point, at half size 1.5 m; the selected point's is yellow and 1.8 times longer.
    EXPECT_TRUE(image.hasNear(px(20) - 5, px(20), over(routecolor::kCross), 1));
    EXPECT_TRUE(image.hasNear(px(80) - 9, px(80), over(routecolor::kSelectedCross), 1))
        << describe(image.at(px(80) - 9, px(80)));
    EXPECT_FALSE(image.anyLit(px(20) - 9, px(20), 1));

    // Blending and the line width are put back as they were.
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_FLOAT_EQ(width, 1.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RouteRenderTest, HiddenRoutesAreNotDrawnAndLoopsClose) {
    addRoute({{20, 20}, {80, 20}, {80, 80}}, true);
    addRoute({{10, 50}, {40, 50}});
    editor.routes[1].visible = false;
    const Image image = drawFromAbove("route_loop_hidden.png");
    EXPECT_TRUE(image.hasNear(px(50), px(50), over(routecolor::kGreen)));  // the closing diagonal
    EXPECT_FALSE(image.anyLit(px(25), px(50), 4));                          // the hidden route
    EXPECT_EQ(editor.routes.size(), 2u);

    editor.routes[0].visible = false;
    const Image none = drawFromAbove("route_none_visible.png");
    EXPECT_FALSE(none.anyLit(px(50), px(20), 4));
    EXPECT_TRUE(renderer.vertices.empty());
}

TEST_F(RouteRenderTest, ClearanceColoursAlongTheLine) {
    // A shoal: the bottom at -0.6 m round (50, 50), so the keel of 0.3 m has 0.3 m under it.
    for (GridPoint& p : terrain.points)
        if (std::abs(p.x - 50) <= 2 && std::abs(-p.y - 50) <= 2) p.z = -0.6f;
    addRoute({{50, 50}, {90, 50}});
    params.pointSize = 0.5f;
    const Image coloured = drawFromAbove("route_clearance.png");
    EXPECT_TRUE(coloured.hasNear(px(51), px(50), over(routecolor::kOrange), 1)) << describe(coloured.at(px(51), px(50)));
    EXPECT_TRUE(coloured.hasNear(px(89), px(50), over(routecolor::kGreen), 1)) << describe(coloured.at(px(89), px(50)));

    params.colorByClearance = false;
    const Image plain = drawFromAbove("route_clearance_off.png");
    EXPECT_TRUE(plain.hasNear(px(51), px(50), over(routecolor::kGreen), 1)) << describe(plain.at(px(51), px(50)));
}

TEST_F(RouteRenderTest, LinesFloatOnTheSeaAndStrokesReachTheBottom) {
    addRoute({{20, 50}, {80, 50}});
    params.seaLevel = 1.0f;
    params.exaggeration = 2.0f;
    params.pointSize = 0.5f;
    // Seen from the south, y on screen = 50 - height in pixels of 4 a metre.
    const auto row = [](double height) { return px(50 - height); };
    const Image image = drawFromSouth("route_from_south.png");
    EXPECT_TRUE(image.hasNear(px(50), row(2.0), over(routecolor::kGreen))) << describe(image.at(px(50), row(2.0)));
    // Strokes from the line down to the bottom at -5 x 2 = -10 m.
    EXPECT_TRUE(image.hasNear(px(20), row(-6.0), over(routecolor::kStroke), 1)) << describe(image.at(px(20), row(-6)));
    EXPECT_TRUE(image.hasNear(px(80), row(-9.5), over(routecolor::kStroke), 1));
    EXPECT_FALSE(image.anyLit(px(20), row(-11.5), 1));

    params.verticalStrokes = false;
    const Image without = drawFromSouth("route_from_south_no_strokes.png");
    EXPECT_FALSE(without.anyLit(px(20), row(-6.0), 1));
    EXPECT_TRUE(without.hasNear(px(50), row(2.0), over(routecolor::kGreen)));
}

TEST_F(RouteRenderTest, DestroyDeletesTheGlObjects) {
    addRoute({{20, 20}, {80, 20}});
    drawFromAbove("route_before_destroy.png");
    const unsigned int buffer = renderer.vertexBuffer, array = renderer.vertexArray, program = renderer.program.program;
    ASSERT_TRUE(glIsBuffer(buffer));
    renderer.destroy();
    glUseProgram(0);  // a program in use is only flagged for deletion
    EXPECT_FALSE(glIsBuffer(buffer));
    EXPECT_FALSE(glIsVertexArray(array));
    EXPECT_FALSE(glIsProgram(program));
    EXPECT_EQ(renderer.vertexArray, 0u);
    // Drawing after destroy does nothing rather than touching deleted names.
    renderer.draw(editor, glm::mat4(1.0f), glm::mat4(1.0f), params);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
