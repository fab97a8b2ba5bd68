// The view's input on a real window: what the keys do, clicks that place markers and gestures that must not.
#include "tests/viewer/slope_view.h"

#include <chrono>
#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

struct ViewFixture : SlopeView {
    // Stdout of one key press.
    std::string press(int key, int mods = 0) {
        return captureStreams([&] { viewer.onKey(key, GLFW_PRESS, mods); }).out;
    }
};

} // namespace

TEST_F(ViewFixture, KeysStepTheExaggerationAndFlipTheirSwitches) {
    viewer.exaggeration = 6;
    press(GLFW_KEY_KP_ADD);
    EXPECT_FLOAT_EQ(viewer.exaggeration, 7);
    // At either end a key neither changes nor rebuilds anything.
    EXPECT_EQ(press(GLFW_KEY_EQUAL), "");
    viewer.exaggeration = 1;
    EXPECT_EQ(press(GLFW_KEY_MINUS), "");
    EXPECT_FLOAT_EQ(viewer.exaggeration, 1);

    const std::pair<int, bool*> switches[] = {
        {GLFW_KEY_M, &viewer.panels.minimapVisible}, {GLFW_KEY_T, &viewer.tides.state.tidePanelOpen},
        {GLFW_KEY_I, &viewer.panels.helpOpen},       {GLFW_KEY_V, &viewer.panels.exaggerationWindowOpen},
        {GLFW_KEY_F10, &viewer.panels.settingsOpen},
    };
    for (const auto& [key, on] : switches) {
        const bool was = *on;
        press(key);
        EXPECT_NE(*on, was) << key;
    }
    EXPECT_EQ(press(GLFW_KEY_L), "Texture satellite : activée\n");
    EXPECT_EQ(press(GLFW_KEY_L), "Texture satellite : désactivée\n");
    // The menu's own line has no accents.
    EXPECT_EQ(captureStreams([&] { viewer.applyMenuAction(MenuAction::ToggleSatellite); }).out,
              "Texture satellite : activee\n");

    // P plays a loaded day's timelapse with the frame clock (its hint and steps are tide_level_test's).
    viewer.tides.state.samples = {{1.0f, 0.0f}, {5.0f, 12.0f}};
    viewer.tides.state.samplesLoaded = true;
    viewer.tides.state.datumOffset = 0;
    viewer.panels.timelapseHour = 6.0f;
    EXPECT_EQ(press(GLFW_KEY_P), "");
    ASSERT_TRUE(viewer.panels.timelapsePlaying);
    viewer.drawFrame(0.4f);  // 0.2 tide hours
    EXPECT_NEAR(viewer.panels.timelapseHour, 6.2f, 1e-4f);
    EXPECT_NEAR(viewer.seaLevel, 1.0f + 4.0f * 6.2f / 12.0f, 1e-4f);
    EXPECT_EQ(press(GLFW_KEY_P), "");
    EXPECT_FALSE(viewer.panels.timelapsePlaying);

    // Repeats and releases do nothing; Escape asks for the zone menu.
    viewer.onKey(GLFW_KEY_M, GLFW_REPEAT, 0);
    viewer.onKey(GLFW_KEY_M, GLFW_RELEASE, 0);
    EXPECT_FALSE(viewer.panels.minimapVisible);
    press(GLFW_KEY_ESCAPE);
    EXPECT_TRUE(viewer.panels.returnToMenu);
}

// A left drag of 100 px right, a right drag of 100 px down, one wheel notch; then closing ends the loop.
TEST_F(ViewFixture, DragsOrbitAndPanTheWheelZoomsAndClosingEndsTheLoop) {
    const float yaw = viewer.camera.yaw, pitch = viewer.camera.pitch, distance = viewer.camera.distance;
    const glm::vec3 target = viewer.camera.target;
    runWith([](const std::string& id) {
        xdotool({"mousemove", "--window", id, "600", "400", "sleep", "0.2", "mousedown", "1", "sleep", "0.2",
                 "mousemove", "--window", id, "700", "400", "sleep", "0.2", "mouseup", "1", "sleep", "0.2",
                 "mousedown", "3", "sleep", "0.2", "mousemove", "--window", id, "700", "500", "sleep", "0.2",
                 "mouseup", "3", "sleep", "0.2", "mousemove", "--window", id, "650", "450", "sleep", "0.2", "click",
                 "4", "sleep", "0.2"});
    });
    EXPECT_NEAR(viewer.camera.yaw, yaw - 30.0f, 1e-3);
    EXPECT_NEAR(viewer.camera.pitch, pitch, 1e-3);
    EXPECT_NEAR(viewer.camera.distance, distance * 0.9f, 1e-2);
    // Panning moves the target by 0.0015 × distance per pixel.
    EXPECT_NEAR(glm::length(viewer.camera.target - target), 100.0f * distance * 0.0015f, 0.5f);
    EXPECT_FALSE(viewer.gestures.orbitDragging);
    EXPECT_FALSE(viewer.gestures.panDragging);

    std::thread closer([&] {
        std::this_thread::sleep_for(300ms);
        glfwSetWindowShouldClose(viewer.window, GLFW_TRUE);
        glfwPostEmptyEvent();  // wakes the idle loop, as the close event of a window manager does
    });
    captureStreams([&] {
        EXPECT_FALSE(viewer.run());
        closer.join();
        EXPECT_FALSE(viewer.run());
    });
}

TEST_F(ViewFixture, ClickPlacesAMarkerButDragsAndWindowsDoNot) {
    const std::string out = runWith([](const std::string& w) {
        // A still click in the middle of the terrain.
        xdotool({"mousemove", "--window", w, "720", "405", "sleep", "0.3", "mousedown", "1", "sleep", "0.2",
                 "mouseup", "1", "sleep", "0.3"});
        // One pixel of movement between press and release: an orbit.
        xdotool({"mousedown", "1", "sleep", "0.2", "mousemove", "--window", w, "721", "405", "sleep", "0.2",
                 "mouseup", "1", "sleep", "0.3"});
        // A press on the legend window starts no drag, so its release adds nothing.
        xdotool({"mousemove", "--window", w, "60", "200", "sleep", "0.3", "click", "1", "sleep", "0.3"});
    });
    ASSERT_EQ(viewer.markers.size(), 1u) << out;
    EXPECT_NE(out.find("Point ajouté - profondeur : "), std::string::npos) << out;
    // Only the still click picked: neither the drag nor the press on the legend did.
    EXPECT_EQ(out.find("camDist="), out.rfind("camDist="));
    // The slope runs from -20 m (west) to +20 m (east); the middle is near 0.
    EXPECT_NEAR(viewer.markers[0].depth, 0.0f, 1.0f);
    EXPECT_NEAR(viewer.markers[0].x, 150.0f, 3.0f);
    EXPECT_NEAR(viewer.markers[0].z, 150.0f, 3.0f);
    EXPECT_NEAR(viewer.camera.yaw, -90.0f - 0.3f, 1e-3f);  // the one-pixel drag orbited

    // A press arriving with the pointer, before a frame saw it there, belongs to the window under it.
    for (const bool windowOpen : {true, false}) {
        viewer.panels.exaggerationWindowOpen = windowOpen;
        glfwSetCursorPos(viewer.window, 900, 300);  // over the terrain only
        for (int i = 0; i < 2; ++i) viewer.drawFrame();
        const size_t before = viewer.markers.size();
        const ImGuiWindow* w = ImGui::FindWindowByName("Exagération verticale");
        ASSERT_NE(w, nullptr);
        captureStreams([&] {
            viewer.onCursor(w->Pos.x + 150, w->Pos.y + w->Size.y - 20);
            viewer.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
            viewer.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE);
        });
        EXPECT_EQ(viewer.markers.size(), before + (windowOpen ? 0 : 1)) << windowOpen;
    }

    // After a slow frame, press, move and release come in one go: judged where they happened, an orbit.
    glfwSetCursorPos(viewer.window, 721, 405);
    for (int i = 0; i < 2; ++i) viewer.drawFrame();
    testing::internal::CaptureStdout();
    viewer.onCursor(720, 405);
    viewer.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
    viewer.onCursor(721, 405);
    viewer.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(viewer.markers.size(), 2u);
    EXPECT_NEAR(viewer.camera.yaw, -90.0f - 0.6f, 1e-3f);
}

TEST_F(ViewFixture, ListButtonsRemoveOneMarkerOrAll) {
    viewer.markers = {{150, 150, -1.0f}, {100, 100, -2.0f}, {200, 200, -3.0f}};
    viewer.panels.minimapVisible = false;  // quicker frames for the pointer search
    xdotool({"windowfocus", "--sync", waitForWindow("Abysto", 5s)});
    for (int i = 0; i < 3; ++i) viewer.drawFrame();
    ImGuiWindow* list = ImGui::FindWindowByName("Points relevés");
    ASSERT_NE(list, nullptr);
    // The clear button first, then one line a marker, each about 25 px high.
    const float top = list->DC.CursorStartPos.y, left = list->Pos.x + 4, right = list->Pos.x + list->Size.x;
    const int second = 1;
    const ImGuiID removeSecond = ImHashStr("X", 0, ImHashData(&second, sizeof second, list->ID));
    ASSERT_TRUE(clickWidget(viewer, removeSecond, {left, top + 64}, {right, top + 84}));
    // "X" on the second line: the third marker becomes the second.
    ASSERT_EQ(viewer.markers.size(), 2u);
    EXPECT_FLOAT_EQ(viewer.markers[0].depth, -1.0f);
    EXPECT_FLOAT_EQ(viewer.markers[1].depth, -3.0f);

    // "Tout effacer": none left, and the list is gone.
    ASSERT_TRUE(clickWidget(viewer, ImHashStr("Tout effacer", 0, list->ID), {left, top + 15}, {right, top + 15}))
        << "the legend must not cover the list";
    EXPECT_TRUE(viewer.markers.empty());
    viewer.drawFrame();
    EXPECT_FALSE(ImGui::FindWindowByName("Points relevés")->Active);
}
