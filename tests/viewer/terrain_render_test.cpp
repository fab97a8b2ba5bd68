// The terrain drawn for real on the virtual screen and read back: shader
// build, depth colours, shoreline band, hill-shading and the satellite image.
#include "tests/viewer/gl_test_support.h"
#include "viewer/core/shader.h"
#include "viewer/core/shader_sources.h"
#include "viewer/viewer.h"

#include <algorithm>
#include <cmath>
#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace {

constexpr int kTolerance = 3;  // llvmpipe rounds a level or two off

// The colour the terrain program gives a fragment at height `height`, with
// the surface normal `normal`; `satellite` is the texture colour or null.
glm::vec3 expectedColour(float height, float seaLevel, glm::vec3 normal, const glm::vec3* satellite) {
    const float rel = height - seaLevel;
    glm::vec3 colour;
    if (rel >= 0.0f)
        colour = satellite ? *satellite
                           : glm::mix(glm::vec3(0.30f, 0.60f, 0.25f), glm::vec3(0.42f, 0.28f, 0.15f),
                                      std::clamp(rel / 40.0f, 0.0f, 1.0f));
    else
        colour = glm::mix(glm::vec3(0.55f, 0.85f, 0.95f), glm::vec3(0.02f, 0.10f, 0.30f),
                          std::clamp(-rel / 25.0f, 0.0f, 1.0f));
    const glm::vec3 towardLight = -glm::normalize(glm::vec3(-0.4f, -0.8f, -0.3f));
    const float diffuse = std::max(glm::dot(glm::normalize(normal), towardLight), 0.0f);
    colour *= 0.45f + diffuse * 0.55f;
    if (std::fabs(rel) < 0.15f) colour = glm::mix(colour, glm::vec3(1.0f, 1.0f, 0.6f), 0.6f);
    return colour;
}

void expectColour(const Rgba& got, const glm::vec3& want, const std::string& what) {
    EXPECT_NEAR(got.r, want.r * 255.0f, kTolerance) << what;
    EXPECT_NEAR(got.g, want.g * 255.0f, kTolerance) << what;
    EXPECT_NEAR(got.b, want.b * 255.0f, kTolerance) << what;
}

struct Sample {
    int px = 0, py = 0;  // framebuffer pixel, origin bottom-left
    float height = 0;    // terrain height seen through that pixel's centre
};

// The pixel showing world point (x, height at x, z) of the plane
// y = low + slope × x, and the height of the plane exactly at that pixel's
// centre (found by casting the pixel's ray onto the plane).
Sample sampleOnSlope(const Viewer& v, float x, float z, float low, float slope) {
    const glm::dmat4 view(v.camera.view()), projection(v.camera.projection());
    const glm::dvec4 viewport(0, 0, v.display.framebufferWidth, v.display.framebufferHeight);
    const glm::dvec3 world(x, low + slope * x, z);
    const glm::dvec3 win = glm::projectNO(world, view, projection, viewport);
    Sample s;
    s.px = static_cast<int>(std::floor(win.x));
    s.py = static_cast<int>(std::floor(win.y));
    const glm::dvec3 a = glm::unProjectNO(glm::dvec3(s.px + 0.5, s.py + 0.5, 0.0), view, projection, viewport);
    const glm::dvec3 b = glm::unProjectNO(glm::dvec3(s.px + 0.5, s.py + 0.5, 0.5), view, projection, viewport);
    const double t = -(a.y - slope * a.x - low) / ((b.y - a.y) - slope * (b.x - a.x));
    s.height = static_cast<float>(a.y + t * (b.y - a.y));
    return s;
}

struct ViewerTest : testing::Test {
    Viewer viewer;
    void SetUp() override {
        viewer.dataRoot = testDataRoot();
        ASSERT_TRUE(viewer.init());
    }
    std::vector<unsigned char> drawAndRead() {
        viewer.drawFrame();
        glFinish();
        return readFramebuffer(viewer.display.framebufferWidth, viewer.display.framebufferHeight, GL_BACK);
    }
};

// The slope of the colour tests: 201 × 101 m, from -20 m in the west to +30 m in the east.
constexpr float kLow = -20.0f, kHigh = 30.0f, kSlope = (kHigh - kLow) / 200.0f;
const glm::vec3 kSlopeNormal(-kSlope, 1.0f, 0.0f);

void pointCameraAtSlope(Viewer& v) {
    v.camera.pitch = 50.0f;
    v.camera.distance = 230.0f;
}

} // namespace

TEST_F(ViewerTest, ShadersCompileAndLinkAndBadSourcesAreRefused) {
    EXPECT_NE(viewer.gl.terrainShader.program, 0u);
    EXPECT_NE(viewer.gl.overlays.colourProgram.program, 0u);

    Shader fresh;
    EXPECT_TRUE(fresh.load(kColourVertexShader, kColourFragmentShader));
    EXPECT_NE(fresh.program, 0u);

    Shader broken;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(broken.load(kColourVertexShader, "#version 330 core\nvoid main() { nonsense; }\n"));
    broken.use();
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(broken.program, 0u);
    EXPECT_NE(errors.find("Erreur de compilation shader : "), std::string::npos) << errors;
    EXPECT_NE(errors.find("Erreur de lien shader : "), std::string::npos) << errors;
    EXPECT_NE(errors.find("Erreur : Shader non initialisé!"), std::string::npos) << errors;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ViewerTest, SlopeShowsDepthColoursLandColoursAndShoreline) {
    const TerrainGrid grid = makeSlopeGrid(201, 101, kLow, kHigh);
    testing::internal::CaptureStdout();
    viewer.setTerrain(grid);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Exagération verticale : x1  |  Hauteur min/max (exagérée) : -20 / 30"), std::string::npos)
        << out;
    EXPECT_FLOAT_EQ(viewer.camera.target.x, 100.0f);
    EXPECT_FLOAT_EQ(viewer.camera.target.y, 5.0f);
    EXPECT_FLOAT_EQ(viewer.camera.target.z, 50.0f);
    EXPECT_NEAR(viewer.camera.distance, std::sqrt(50.0f * 50.0f + 2.0f * (200.0f * 200.0f + 100.0f * 100.0f)), 1e-2);

    pointCameraAtSlope(viewer);
    const std::vector<unsigned char> pixels = drawAndRead();
    saveScreenshot("terrain_slope.png", viewer.display.framebufferWidth, viewer.display.framebufferHeight, pixels);

    // Deep and shallow water, both sides of the shoreline band, low and high land.
    for (float x : {8.0f, 60.0f, 78.0f, 79.8f, 80.2f, 82.0f, 120.0f, 196.0f}) {
        const Sample s = sampleOnSlope(viewer, x, 50.0f, kLow, kSlope);
        ASSERT_GE(s.px, 0);
        ASSERT_LT(s.px, viewer.display.framebufferWidth);
        ASSERT_GE(s.py, 0);
        ASSERT_LT(s.py, viewer.display.framebufferHeight);
        ASSERT_GT(std::fabs(std::fabs(s.height) - 0.15f), 0.02f) << "sample too close to the band's edge";
        expectColour(pixelAt(pixels, viewer.display.framebufferWidth, s.px, s.py),
                     expectedColour(s.height, 0.0f, kSlopeNormal, nullptr), "x = " + std::to_string(x));
    }

    // The sea rises: land 2 m up is now 3 m under water.
    viewer.seaLevel = 5.0f;
    const std::vector<unsigned char> flooded = drawAndRead();
    const Sample s = sampleOnSlope(viewer, 88.0f, 50.0f, kLow, kSlope);
    const glm::vec3 want = expectedColour(s.height, 5.0f, kSlopeNormal, nullptr);
    EXPECT_GT(want.b, want.g);
    expectColour(pixelAt(flooded, viewer.display.framebufferWidth, s.px, s.py), want, "sea level 5 m");
}

TEST_F(ViewerTest, ShorelineBandEdgesOnFlatGround) {
    const TerrainGrid grid = makeSlopeGrid(21, 21, 0.0f, 0.0f);
    viewer.setTerrain(grid);
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    const int cx = viewer.display.framebufferWidth / 2, cy = viewer.display.framebufferHeight / 2;
    // At the sea level: land, tinted; 0.1 m under: water, tinted; 0.15 m either side: no tint.
    for (float sea : {0.0f, 0.1f, 0.15f, -0.15f}) {
        viewer.seaLevel = sea;
        const std::vector<unsigned char> pixels = drawAndRead();
        expectColour(pixelAt(pixels, viewer.display.framebufferWidth, cx, cy), expectedColour(0.0f, sea, up, nullptr),
                     "sea level " + std::to_string(sea));
    }
}

TEST_F(ViewerTest, SatelliteImageCoversLandOnly) {
    const TerrainGrid grid = makeSlopeGrid(201, 101, kLow, kHigh);
    viewer.setTerrain(grid);
    pointCameraAtSlope(viewer);

    // Switched on without an image, the land keeps its own colours.
    viewer.panels.satelliteOn = true;
    const Sample land = sampleOnSlope(viewer, 150.0f, 50.0f, kLow, kSlope);
    const Sample water = sampleOnSlope(viewer, 40.0f, 50.0f, kLow, kSlope);
    std::vector<unsigned char> pixels = drawAndRead();
    expectColour(pixelAt(pixels, viewer.display.framebufferWidth, land.px, land.py),
                 expectedColour(land.height, 0.0f, kSlopeNormal, nullptr), "no image yet");

    const int w = 64, h = 32;
    std::vector<unsigned char> image(w * h * 3);
    for (int i = 0; i < w * h; ++i) {
        image[i * 3] = 200;
        image[i * 3 + 1] = 60;
        image[i * 3 + 2] = 180;
    }
    testing::internal::CaptureStdout();
    ASSERT_TRUE(viewer.uploadSatelliteImage(w, h, image.data()));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Texture satellite chargée (64x32)."), std::string::npos);
    EXPECT_TRUE(viewer.panels.satelliteOn);

    pixels = drawAndRead();
    saveScreenshot("terrain_satellite.png", viewer.display.framebufferWidth, viewer.display.framebufferHeight, pixels);
    const glm::vec3 magenta(200 / 255.0f, 60 / 255.0f, 180 / 255.0f);
    expectColour(pixelAt(pixels, viewer.display.framebufferWidth, land.px, land.py),
                 expectedColour(land.height, 0.0f, kSlopeNormal, &magenta), "land under the image");
    expectColour(pixelAt(pixels, viewer.display.framebufferWidth, water.px, water.py),
                 expectedColour(water.height, 0.0f, kSlopeNormal, &magenta), "water keeps its colour");

    // A bad image leaves the previous texture in place.
    const unsigned int before = viewer.gl.satelliteTexture;
    EXPECT_FALSE(viewer.uploadSatelliteImage(0, 0, nullptr));
    EXPECT_EQ(viewer.gl.satelliteTexture, before);

    // A new zone switches the image off.
    viewer.setTerrain(grid);
    EXPECT_FALSE(viewer.panels.satelliteOn);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ViewerTest, OddWidthSatelliteImageArrivesRowByRow) {
    // 5 × 3 RGB rows are 15 bytes: not a multiple of four.
    const int w = 5, h = 3;
    std::vector<unsigned char> image(w * h * 3);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<unsigned char>(i * 7 + 1);
    ASSERT_TRUE(viewer.uploadSatelliteImage(w, h, image.data()));

    glBindTexture(GL_TEXTURE_2D, viewer.gl.satelliteTexture);
    GLint tw = 0, th = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &tw);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &th);
    EXPECT_EQ(tw, w);
    EXPECT_EQ(th, h);
    std::vector<unsigned char> back(image.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
    EXPECT_EQ(back, image);
}

TEST_F(ViewerTest, ExaggerationRebuildsTheMeshTaller) {
    const TerrainGrid grid = makeSlopeGrid(201, 101, kLow, kHigh);
    viewer.setTerrain(grid);
    viewer.exaggeration = 7.0f;
    testing::internal::CaptureStdout();
    viewer.rebuildForExaggeration();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_FLOAT_EQ(viewer.extents.hMin, -140.0f);
    EXPECT_FLOAT_EQ(viewer.extents.hMax, 210.0f);
    EXPECT_NE(out.find("x7  |  Hauteur min/max (exagérée) : -140 / 210"), std::string::npos) << out;
    EXPECT_EQ(viewer.gl.mesh.indexCount, 3 * static_cast<int>(grid.triangles.size()));

    // A zone without any valid point keeps the camera but shows nothing of the previous zone.
    const glm::vec3 target = viewer.camera.target;
    TerrainGrid empty = makeSlopeGrid(3, 3, 0, 0);
    for (GridPoint& p : empty.points) p.valid = false;
    empty.triangles.clear();
    viewer.setTerrain(empty);
    EXPECT_EQ(viewer.camera.target, target);
    EXPECT_EQ(viewer.gl.mesh.indexCount, 0);
    // Nor does a later rebuild bring the old reference grid or heights back.
    testing::internal::CaptureStdout();
    viewer.stepExaggeration(-1);
    viewer.rebuildReferenceGrid();
    EXPECT_EQ(testing::internal::GetCapturedStdout().find("3.40282e+38"), std::string::npos);
    EXPECT_EQ(viewer.extents.diagonal, 0.0f);
    EXPECT_EQ(viewer.extents.hMin, 0.0f);
}

TEST_F(ViewerTest, TheViewKeepsNoPointerIntoTheCallersGrid) {
    {
        TerrainGrid caller = makeSlopeGrid(50, 50, -10.0f, 10.0f);
        viewer.setTerrain(caller);
        for (GridPoint& p : caller.points) p.z = 5000.0f;  // changed, then gone
    }
    testing::internal::CaptureStdout();
    viewer.stepExaggeration(+1);
    testing::internal::GetCapturedStdout();
    EXPECT_FLOAT_EQ(viewer.extents.hMax, 20.0f);
    float z = 0;
    ASSERT_TRUE(sampleHeight(viewer.routes.editor.heightGrid, 49.0, 10.0, z));
    EXPECT_FLOAT_EQ(z, 10.0f);
}

TEST_F(ViewerTest, NoDrawWithoutVerticesAndNoUniformWithoutProgram) {
    const TerrainGrid grid = makeSlopeGrid(20, 20, kLow, kHigh);
    viewer.setTerrain(grid);
    ASSERT_GT(viewer.gl.mesh.indexCount, 0);
    // Render vertices that could not be allocated come back empty.
    viewer.gl.mesh.uploadVertices({}, grid.triangles);
    EXPECT_EQ(viewer.gl.mesh.indexCount, 0);

    Shader unbuilt;
    while (glGetError() != GL_NO_ERROR) {}
    testing::internal::CaptureStderr();
    unbuilt.setInt("useSatellite", 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Erreur : Shader non initialisé!\n");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
