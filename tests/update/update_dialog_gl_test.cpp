// The update dialog drawn into a real window over the stand-in's offer:
// colours of the header and the main button, then clicks through the
// download to the start of the installer.
#include "app/settings.h"
#include "tests/update/update_fixture.h"
#include "tests/viewer/gl_test_support.h"
#include "update/update_dialog.h"
#include "viewer/ui_manager.h"
#include "viewer/viewer.h"

#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <imgui_impl_glfw.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

struct Spot {
    int count = 0;
    int x = 0, y = 0;  // centre, window coordinates (top-down)
};

// Pixels within 4 of the colour, and their centre.
Spot findColour(const std::vector<unsigned char>& pixels, int w, int h, Rgba colour) {
    long sx = 0, sy = 0;
    Spot spot;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgba p = pixelAt(pixels, w, x, y);
            if (std::abs(p.r - colour.r) <= 4 && std::abs(p.g - colour.g) <= 4 && std::abs(p.b - colour.b) <= 4) {
                ++spot.count;
                sx += x;
                sy += h - 1 - y;
            }
        }
    if (spot.count) spot = {spot.count, static_cast<int>(sx / spot.count), static_cast<int>(sy / spot.count)};
    return spot;
}

const Rgba kAccent{8, 86, 170, 255};
const Rgba kBlueTitle{46, 134, 224, 255};
const Rgba kOrangeTitle{255, 191, 51, 255};

struct DialogFixture : testing::Test {
    Viewer viewer;
    UpdateDialogState dialog;
    bool launched = false;

    void SetUp() override {
        viewer.dataRoot = testDataRoot();
        ASSERT_TRUE(viewer.init());
        resetSettingsForTesting();
        resetUpdatesForTesting();
        glfwFocusWindow(viewer.window);
        glfwSetCursorPos(viewer.window, 2, 2);
    }
    void TearDown() override { resetUpdatesForTesting(); }

    // One frame; the pixels it drew.
    std::vector<unsigned char> frame() {
        glfwPollEvents();
        glViewport(0, 0, viewer.display.framebufferWidth, viewer.display.framebufferHeight);
        glClearColor(0.05f, 0.05f, 0.05f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        beginUiFrame();
        launched = drawUpdateDialog(dialog) || launched;
        endUiFrame();
        auto pixels = readFramebuffer(viewer.display.framebufferWidth, viewer.display.framebufferHeight, GL_BACK);
        glfwSwapBuffers(viewer.window);
        return pixels;
    }
    Spot colourAfterFrames(Rgba colour) {
        std::vector<unsigned char> pixels;
        for (int i = 0; i < 4; ++i) pixels = frame();
        return findColour(pixels, viewer.display.framebufferWidth, viewer.display.framebufferHeight, colour);
    }
    void click(const Spot& at) {
        glfwSetCursorPos(viewer.window, at.x, at.y);
        frame();
        ImGui_ImplGlfw_MouseButtonCallback(viewer.window, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
        frame();
        frame();
        glfwSetCursorPos(viewer.window, 2, 2);
    }
    bool framesUntilPhase(int phase) {
        for (int i = 0; i < 2000; ++i) {
            frame();
            if (updateSnapshot().phase == phase) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
};

} // namespace

TEST_F(DialogFixture, OfferDownloadAndInstallByClicks) {
    TempDir work;
    const std::string record = (work / "arguments.txt").string();
    std::string script = "#!/bin/sh\necho \"$@\" > '" + record + "'\n";
    script += std::string(64 * 1024, '#') + "\n";
    UpdateServer server(manifestFor("abysto-setup.run", script), script);
    startUpdateCheck("1.0.2", kTestPlatform);
    ASSERT_TRUE(framesUntilPhase(UpdateAvailable));

    const Spot button = colourAfterFrames(kAccent);
    EXPECT_GT(button.count, 3000);  // "Mettre à jour", 170 x 34
    EXPECT_GT(colourAfterFrames(kBlueTitle).count, 20);
    EXPECT_EQ(colourAfterFrames(kOrangeTitle).count, 0);

    click(button);
    ASSERT_TRUE(framesUntilPhase(UpdateReadyToInstall));
    const Spot install = colourAfterFrames(kAccent);  // "Installer maintenant", 200 x 34
    EXPECT_GT(install.count, 3000);
    EXPECT_FALSE(launched);
    click(install);
    EXPECT_TRUE(launched);
    for (int i = 0; i < 300 && readFile(record).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(readFile(record), "/SILENT /NOCANCEL /NORESTART /RELAUNCH=1\n");
}

TEST_F(DialogFixture, RequiredUpdateHasAnOrangeTitle) {
    const std::string bytes = installerBytes(3000);
    UpdateManifest manifest = manifestFor("abysto-setup.run", bytes);
    manifest.minSupported = "1.0.3";
    UpdateServer server(manifest, bytes);
    startUpdateCheck("1.0.2", kTestPlatform);
    ASSERT_TRUE(framesUntilPhase(UpdateAvailable));
    EXPECT_GT(colourAfterFrames(kOrangeTitle).count, 20);
    EXPECT_EQ(colourAfterFrames(kBlueTitle).count, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
