// The terrain drawn for real and read back: shader build, depth colours, shoreline band, satellite image.
#include "tests/support/log_capture.h"
#include "tests/viewer/gl_test_support.h"
#include "viewer/core/shader.h"
#include "viewer/core/shader_sources.h"
#include "viewer/viewer.h"

#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace {

struct ViewerTest : testing::Test {
    Viewer viewer;
    void SetUp() override {
        viewer.dataRoot = testDataRoot();
        ASSERT_TRUE(viewer.init());
    }
    Image drawAndRead() {
        viewer.drawFrame();
        return readBack(viewer.display.framebufferWidth, viewer.display.framebufferHeight);
    }
    // The pixel showing the slope's point at `x` on its middle row.
    Rgba slopeAt(const Image& pixels, float x) const {
        const int w = pixels.width, h = pixels.height;
        const glm::vec3 p = glm::project(glm::vec3(x, kLow + kSlope * x, 50.0f), viewer.camera.view(),
                                         viewer.camera.projection(), glm::vec4(0, 0, w, h));
        EXPECT_TRUE(p.x >= 0 && p.y >= 0 && p.x < w && p.y < h) << x;
        return pixels.at(static_cast<int>(p.x), static_cast<int>(p.y));
    }
    // The slope of the colour tests: 201 × 101 m, from -20 m in the west to +30 m in the east.
    static constexpr float kLow = -20.0f, kHigh = 30.0f, kSlope = (kHigh - kLow) / 200.0f;
    void showSlope() {
        viewer.setTerrain(makeSlopeGrid(201, 101, kLow, kHigh));
        viewer.camera.pitch = 50.0f;
        viewer.camera.distance = 230.0f;
    }
};

bool water(const Rgba& p) { return p.b > p.r + 40; }
bool greenLand(const Rgba& p) { return p.g > p.r + 30 && p.g > p.b + 30; }
// The pale shoreline band at the sea level.
bool shoreTint(const Rgba& p) { return p.r > 170; }

} // namespace

TEST_F(ViewerTest, ShadersCompileAndLinkAndBadSourcesAreRefused) {
    EXPECT_NE(viewer.gl.terrainShader.program, 0u);
    EXPECT_NE(viewer.gl.overlays.colourProgram.program, 0u);

    Shader broken;
    const std::string errors = captureStreams([&] {
        EXPECT_FALSE(broken.load(kColourVertexShader, "#version 330 core\nvoid main() { nonsense; }\n"));
        broken.use();
        broken.setInt("useSatellite", 1);
    }).err;
    EXPECT_EQ(broken.program, 0u);
    EXPECT_NE(errors.find("Erreur de compilation shader : "), std::string::npos) << errors;
    EXPECT_NE(errors.find("Erreur de lien shader : "), std::string::npos) << errors;
    EXPECT_EQ(countOf(errors, "Erreur : Shader non initialisé!\n"), 2u) << errors;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ViewerTest, SlopeShowsDepthColoursLandColoursAndShoreline) {
    captureStreams([&] { viewer.setTerrain(makeSlopeGrid(201, 101, kLow, kHigh)); });
    // The camera aims at the middle of the box, half-way up.
    EXPECT_EQ(viewer.camera.target, glm::vec3(100.0f, 5.0f, 50.0f));
    EXPECT_NEAR(viewer.camera.distance, 320.16f, 0.01f);

    showSlope();
    const Image pixels = drawAndRead();
    // Water darkens with depth; the band shows within 0.15 m of the sea level
    // only; land browns with height.
    const Rgba deep = slopeAt(pixels, 8), shallow = slopeAt(pixels, 60), low = slopeAt(pixels, 120);
    const Rgba high = slopeAt(pixels, 196);
    EXPECT_TRUE(water(deep) && water(shallow) && water(slopeAt(pixels, 78)));
    EXPECT_LT(deep.r + deep.g + deep.b, shallow.r + shallow.g + shallow.b - 150);
    EXPECT_TRUE(shoreTint(slopeAt(pixels, 79.8f)) && shoreTint(slopeAt(pixels, 80.2f)));
    EXPECT_FALSE(shoreTint(slopeAt(pixels, 78)) || shoreTint(slopeAt(pixels, 82)));
    EXPECT_TRUE(greenLand(slopeAt(pixels, 82)) && greenLand(low));
    EXPECT_LT(high.g, low.g - 20);
    EXPECT_GT(high.r, low.r);

    // The sea rises: land 2 m up is now 3 m under water.
    EXPECT_FALSE(water(slopeAt(pixels, 88)));
    viewer.seaLevel = 5.0f;
    EXPECT_TRUE(water(slopeAt(drawAndRead(), 88)));
}

TEST_F(ViewerTest, SatelliteImageCoversLandOnly) {
    showSlope();
    // Switched on without an image, the land keeps its own colours.
    viewer.panels.satelliteOn = true;
    EXPECT_TRUE(greenLand(slopeAt(drawAndRead(), 120)));

    std::vector<unsigned char> image;
    for (int i = 0; i < 64 * 32; ++i) image.insert(image.end(), {200, 60, 180});
    const std::string loaded =
        captureStreams([&] { EXPECT_TRUE(viewer.uploadSatelliteImage(64, 32, image.data())); }).out;
    EXPECT_NE(loaded.find("Texture satellite chargée (64x32)."), std::string::npos);
    const Image pixels = drawAndRead();
    const Rgba land = slopeAt(pixels, 120);
    EXPECT_TRUE(land.r > land.g + 60 && land.b > land.g + 60) << land.r << "," << land.g << "," << land.b;
    EXPECT_TRUE(water(slopeAt(pixels, 40)));

    // A bad image leaves the previous texture in place.
    const unsigned int before = viewer.gl.satelliteTexture;
    EXPECT_FALSE(viewer.uploadSatelliteImage(0, 0, nullptr));
    EXPECT_EQ(viewer.gl.satelliteTexture, before);

    // A new zone switches the image off.
    showSlope();
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

TEST_F(ViewerTest, ExaggerationRebuildsTheMeshFromTheViewsOwnCopyOfTheGrid) {
    const TerrainGrid grid = makeSlopeGrid(201, 101, kLow, kHigh);
    {
        TerrainGrid caller = grid;
        viewer.setTerrain(caller);
        for (GridPoint& p : caller.points) p.z = 5000.0f;  // changed, then gone
    }
    viewer.exaggeration = 7.0f;
    const std::string out = captureStreams([&] { viewer.rebuildForExaggeration(); }).out;
    EXPECT_NE(out.find("x7  |  Hauteur min/max (exagérée) : -140 / 210"), std::string::npos) << out;
    EXPECT_EQ(viewer.gl.mesh.indexCount, 3 * static_cast<int>(grid.triangles.size()));
    float z = 0;
    ASSERT_TRUE(sampleHeight(viewer.routes.editor.heightGrid, 200.0, 10.0, z));
    EXPECT_FLOAT_EQ(z, kHigh);

    // Render vertices that could not be allocated come back empty: nothing is drawn.
    viewer.gl.mesh.uploadVertices({}, grid.triangles);
    EXPECT_EQ(viewer.gl.mesh.indexCount, 0);
}
