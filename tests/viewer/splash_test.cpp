// The splash frame drawn for real and captured from the virtual screen.
#include "app/splash.h"
#include "tests/viewer/gl_test_support.h"
#include "viewer/viewer.h"

#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

TEST(Splash, DrawsTitleAndProgressBar) {
    Viewer viewer;
    viewer.dataRoot = testDataRoot();
    ASSERT_TRUE(viewer.init());
    int left = 0, top = 0;
    glfwGetWindowPos(viewer.window, &left, &top);
    const int w = viewer.display.framebufferWidth, h = viewer.display.framebufferHeight;
    // Track from x0 = w/2 - 150 to x0 + 300; its 3 rows start at 0.42 h + 95 from the top.
    const int x0 = left + w / 2 - 150;
    const int barRow = top + static_cast<int>(h * 0.42f + 95.0f + 1.5f);

    showSplash(viewer.window, "Analyse des dalles locales...", 0.85f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glFinish();
    ScreenImage shown = captureScreen("splash.png");
    ASSERT_TRUE(shown.ok);

    // Filled part (blue), the track beyond 255 pixels (faint grey), the window background.
    const Rgba filled = shown.at(x0 + 200, barRow);
    const Rgba track = shown.at(x0 + 280, barRow);
    const Rgba background = shown.at(left + 10, top + 10);
    EXPECT_GT(filled.b, 150);
    EXPECT_LT(filled.r, 80);
    EXPECT_LT(track.b, 60);
    EXPECT_GT(track.r, background.r);

    showSplash(viewer.window, "Lancement...", 1.0f);
    glFinish();
    shown = captureScreen("splash_full.png");
    ASSERT_TRUE(shown.ok);
    EXPECT_GT(shown.at(x0 + 280, barRow).b, 150);

    // Indeterminate, and a message far wider than the window: still one clean frame.
    showSplash(viewer.window, std::string(400, 'M'), -1.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
