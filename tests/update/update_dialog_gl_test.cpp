// The update dialog drawn into a real window over the stand-in's offer: the
// main button in the accent colour, the header blue for an optional update and
// orange for a required one. Its clicks through to the installer are the
// program test's.
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

#include <chrono>
#include <cstdlib>
#include <thread>

TEST(UpdateDialogDrawn, AccentButtonAndTheHeadersColour) {
    Viewer viewer;
    viewer.dataRoot = testDataRoot();
    ASSERT_TRUE(viewer.init());
    resetSettingsForTesting();
    glfwSetCursorPos(viewer.window, 2, 2);
    const int w = viewer.display.framebufferWidth, h = viewer.display.framebufferHeight;
    UpdateDialogState dialog;
    // The pixels of one frame within 4 of each colour.
    auto frame = [&](std::vector<Rgba> colours) {
        glfwPollEvents();
        glViewport(0, 0, w, h);
        glClearColor(0.05f, 0.05f, 0.05f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        beginUiFrame();
        drawUpdateDialog(dialog);
        endUiFrame();
        const std::vector<unsigned char> pixels = readFramebuffer(w, h, GL_BACK);
        glfwSwapBuffers(viewer.window);
        std::vector<int> counts(colours.size());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (size_t c = 0; c < colours.size(); ++c) {
                    const Rgba p = pixelAt(pixels, w, x, y);
                    counts[c] += std::abs(p.r - colours[c].r) <= 4 && std::abs(p.g - colours[c].g) <= 4 &&
                                 std::abs(p.b - colours[c].b) <= 4;
                }
        return counts;
    };
    const Rgba accent{8, 86, 170, 255}, blue{46, 134, 224, 255}, orange{255, 191, 51, 255};
    for (const bool required : {false, true}) {
        resetUpdatesForTesting();
        const std::string bytes = installerBytes(3000);
        UpdateManifest manifest = manifestFor("abysto-setup.run", bytes);
        if (required) manifest.minSupported = "1.0.3";
        UpdateServer server(manifest, bytes);
        startUpdateCheck("1.0.2", kTestPlatform);
        for (int i = 0; i < 2000 && updateSnapshot().phase != UpdateAvailable; ++i) {
            frame({});
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_EQ(updateSnapshot().phase, UpdateAvailable);
        std::vector<int> counts;
        for (int i = 0; i < 4; ++i) counts = frame({accent, blue, orange});
        EXPECT_GT(counts[0], 3000) << "\"Mettre à jour\", 170 x 34";
        EXPECT_GT(counts[required ? 2 : 1], 20) << required;
        EXPECT_EQ(counts[required ? 1 : 2], 0) << required;
    }
    resetUpdatesForTesting();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
