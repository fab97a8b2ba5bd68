// The viewer's window on the virtual screen: start-up, icon and fonts (also
// without the data folder, in a second viewer), and the splash frame captured
// from the screen. The window modes are view_frame_test's, the gestures view_input_test's.
#include "app/splash.h"
#include "tests/support/log_capture.h"
#include "tests/support/screen_reading.h"
#include "tests/viewer/gl_test_support.h"
#include "viewer/texture.h"
#include "viewer/ui_fonts.h"
#include "viewer/viewer.h"

#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <imgui.h>

TEST(ViewerWindow, StartsWithIconAndFontsAndAgainWithoutTheDataFolder) {
    const std::vector<unsigned char> rgb(4 * 4 * 3, 128);
    {
        Viewer viewer;
        viewer.dataRoot = testDataRoot();
        bool started = false;
        const std::string out = captureStreams([&] { started = viewer.init(); }).out;
        ASSERT_TRUE(started);
        EXPECT_NE(out.find("Fenêtre GLFW créée avec succès."), std::string::npos) << out;
        EXPECT_NE(out.find("Icone de fenetre chargee (128x128)."), std::string::npos) << out;

        viewer.drawFrame();  // the font atlas is built by the first UI frame
        ASSERT_NE(uiFontRegular, nullptr);
        EXPECT_STREQ(uiFontRegular->GetDebugName(), "Inter-Regular.otf, 18px");
        EXPECT_STREQ(uiFontBold->GetDebugName(), "Inter-Bold.otf, 18px");
        EXPECT_STREQ(uiFontTitle->GetDebugName(), "Inter-Bold.otf, 26px");

        const unsigned int logo = loadTexture(testDataRoot() + "/ancre.png");
        EXPECT_NE(logo, 0u);
        const std::string missing =
            captureStreams([] { EXPECT_EQ(loadTexture(testDataRoot() + "/absent.png"), 0u); }).err;
        EXPECT_NE(missing.find("Impossible de charger texture : "), std::string::npos) << missing;
        glDeleteTextures(1, &logo);
        ASSERT_TRUE(viewer.uploadSatelliteImage(4, 4, rgb.data()));
    }

    // A second viewer once the first is gone, with an empty dataRoot: "data/icon.png"
    // under the working directory, which has none.
    Viewer viewer;
    bool started = false;
    const std::string errors = captureStreams([&] { started = viewer.init(); }).err;
    ASSERT_TRUE(started);
    EXPECT_NE(errors.find("Fichier icone introuvable : data/icon.png"), std::string::npos) << errors;
    ASSERT_TRUE(viewer.uploadSatelliteImage(4, 4, rgb.data()));
    viewer.drawFrame();
    glfwSwapBuffers(viewer.window);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    ASSERT_NE(uiFontRegular, nullptr);
    EXPECT_EQ(uiFontRegular, uiFontBold);
    EXPECT_EQ(uiFontRegular, uiFontTitle);
    EXPECT_NE(std::string(uiFontRegular->GetDebugName()).find("ProggyClean"), std::string::npos);
}

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
    const Screen shown = grabScreen("splash");
    ASSERT_GT(shown.width, x0 + 280);

    // Filled part (blue), the track beyond 255 pixels (faint grey), the window background.
    const Rgb filled = shown.at(x0 + 200, barRow), track = shown.at(x0 + 280, barRow);
    const Rgb background = shown.at(left + 10, top + 10);
    EXPECT_GT(filled.b, 150);
    EXPECT_LT(filled.r, 80);
    EXPECT_LT(track.b, 60);
    EXPECT_GT(track.r, background.r);
}
