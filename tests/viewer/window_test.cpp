// The viewer's window on the virtual screen: start-up, icon and fonts,
// window modes, the view loop's two exits and the mouse gestures.
#include "tests/support/gui_driver.h"
#include "tests/viewer/gl_test_support.h"
#include "viewer/texture.h"
#include "viewer/ui_fonts.h"
#include "viewer/viewer.h"

#include <array>
#include <chrono>
#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <imgui.h>
#include <thread>

namespace {

// Position and size of the window: x, y, width, height.
std::array<int, 4> stateOf(GLFWwindow* window) {
    std::array<int, 4> s{};
    glfwGetWindowPos(window, &s[0], &s[1]);
    glfwGetWindowSize(window, &s[2], &s[3]);
    return s;
}

} // namespace

TEST(ViewerWindow, StartsWithIconFontsAndThreeQuartersOfTheScreen) {
    Viewer viewer;
    viewer.dataRoot = testDataRoot();
    testing::internal::CaptureStdout();
    ASSERT_TRUE(viewer.init());
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Fenêtre GLFW créée avec succès."), std::string::npos) << out;
    EXPECT_NE(out.find("Icone de fenetre chargee (128x128)."), std::string::npos) << out;

    EXPECT_EQ(viewer.display.framebufferWidth, 1440);  // three quarters of the 1920-pixel screen
    EXPECT_EQ(viewer.display.framebufferHeight, 810);
    int profile = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_TRUE(profile & GL_CONTEXT_CORE_PROFILE_BIT);  // the shaders are GLSL 3.30 core

    viewer.drawFrame();  // the font atlas is built by the first UI frame
    ASSERT_NE(uiFontRegular, nullptr);
    EXPECT_STREQ(uiFontRegular->GetDebugName(), "Inter-Regular.otf, 18px");
    EXPECT_STREQ(uiFontBold->GetDebugName(), "Inter-Bold.otf, 18px");
    EXPECT_STREQ(uiFontTitle->GetDebugName(), "Inter-Bold.otf, 26px");

    const unsigned int logo = loadTexture(testDataRoot() + "/ancre.png");
    EXPECT_NE(logo, 0u);
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadTexture(testDataRoot() + "/absent.png"), 0u);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Impossible de charger texture : "), std::string::npos);
    glDeleteTextures(1, &logo);
}

TEST(ViewerWindow, WithoutDataFolderTheIconIsSkippedAndTheDefaultFontUsed) {
    Viewer viewer;  // empty dataRoot: "data/icon.png" under the working directory, which has none
    testing::internal::CaptureStderr();
    ASSERT_TRUE(viewer.init());
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("Fichier icone introuvable : data/icon.png"), std::string::npos) << errors;
    viewer.drawFrame();
    ASSERT_NE(uiFontRegular, nullptr);
    EXPECT_EQ(uiFontRegular, uiFontBold);
    EXPECT_EQ(uiFontRegular, uiFontTitle);
    EXPECT_NE(std::string(uiFontRegular->GetDebugName()).find("ProggyClean"), std::string::npos);
}

TEST(ViewerWindow, ChosenSizeIsCentredAndFullScreenTwiceReturnsTheWindowThere) {
    Viewer viewer;
    viewer.dataRoot = testDataRoot();
    ASSERT_TRUE(viewer.init());
    viewer.setWindowedSize(1600, 900);
    EXPECT_EQ(viewer.display.windowedWidth, 1600);
    EXPECT_EQ(viewer.display.windowedHeight, 900);
    const std::array<int, 4> before{160, 90, 1600, 900};
    ASSERT_TRUE(pumpUntil([&] { return stateOf(viewer.window) == before; }))
        << stateOf(viewer.window)[0] << "," << stateOf(viewer.window)[1];

    viewer.toggleFullscreen();
    EXPECT_TRUE(viewer.display.fullscreen);
    EXPECT_TRUE(pumpUntil([&] { return stateOf(viewer.window) == std::array<int, 4>{0, 0, 1920, 1080}; }));
    EXPECT_TRUE(
        pumpUntil([&] { return viewer.display.framebufferWidth == 1920 && viewer.display.framebufferHeight == 1080; }));
    EXPECT_EQ(glfwGetWindowMonitor(viewer.window), glfwGetPrimaryMonitor());

    viewer.toggleFullscreen();
    EXPECT_FALSE(viewer.display.fullscreen);
    EXPECT_EQ(glfwGetWindowMonitor(viewer.window), nullptr);
    EXPECT_TRUE(pumpUntil([&] { return stateOf(viewer.window) == before; }));
    EXPECT_TRUE(
        pumpUntil([&] { return viewer.display.framebufferWidth == 1600 && viewer.display.framebufferHeight == 900; }));
    EXPECT_FLOAT_EQ(viewer.camera.aspect, 1600.0f / 900.0f);
}

TEST(ViewerWindow, ViewLoopOrbitsZoomsAndLeavesOnEscapeOrClose) {
    Viewer viewer;
    viewer.dataRoot = testDataRoot();
    ASSERT_TRUE(viewer.init());
    const float yaw = viewer.camera.yaw, pitch = viewer.camera.pitch, distance = viewer.camera.distance;
    const glm::vec3 target = viewer.camera.target;

    // A left drag of 100 pixels to the right, a right drag of 100 pixels down
    // and a move after its release, one wheel notch forward, L, then Escape.
    std::thread user([] {
        const std::string id = waitForWindow("Abysto", std::chrono::seconds(5));
        xdotool({"windowfocus", "--sync", id});
        xdotool({"mousemove", "--window", id, "600", "400", "sleep", "0.2", "mousedown", "1", "sleep", "0.2",
                 "mousemove", "--window", id, "700", "400", "sleep", "0.2", "mouseup", "1", "sleep", "0.2",
                 "mousedown", "3", "sleep", "0.2", "mousemove", "--window", id, "700", "500", "sleep", "0.2",
                 "mouseup", "3", "sleep", "0.2", "mousemove", "--window", id, "650", "450", "sleep", "0.2", "click",
                 "4", "sleep", "0.2", "key", "l", "sleep", "0.2", "key", "Escape"});
    });
    const auto start = std::chrono::steady_clock::now();
    testing::internal::CaptureStdout();
    const bool backToMenu = viewer.run();
    user.join();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(viewer.panels.satelliteOn);
    EXPECT_NE(out.find("Texture satellite : activée"), std::string::npos) << out;
    EXPECT_TRUE(backToMenu);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_NEAR(viewer.camera.yaw, yaw - 30.0f, 1e-3);
    EXPECT_NEAR(viewer.camera.pitch, pitch, 1e-3);
    EXPECT_NEAR(viewer.camera.distance, distance * 0.9f, 1e-2);
    // Panning moves the target by 0.0015 × distance per pixel.
    EXPECT_NEAR(glm::length(viewer.camera.target - target), 100.0f * distance * 0.0015f, 0.5f);
    EXPECT_FALSE(viewer.gestures.orbitDragging);
    EXPECT_FALSE(viewer.gestures.panDragging);

    // The next run starts afresh and ends when the window is closed.
    std::thread closer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        glfwSetWindowShouldClose(viewer.window, GLFW_TRUE);
        glfwPostEmptyEvent();  // wakes the idle loop, as the close event of a window manager does
    });
    EXPECT_FALSE(viewer.run());
    closer.join();
    EXPECT_FALSE(viewer.run());
}

TEST(ViewerWindow, ViewerCanBeMadeAgainAfterTheFirstIsGone) {
    for (int round = 0; round < 2; ++round) {
        Viewer viewer;
        viewer.dataRoot = testDataRoot();
        ASSERT_TRUE(viewer.init()) << "round " << round;
        std::vector<unsigned char> rgb(4 * 4 * 3, 128);
        ASSERT_TRUE(viewer.uploadSatelliteImage(4, 4, rgb.data()));
        viewer.drawFrame();
        glfwSwapBuffers(viewer.window);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}
