// The view on the virtual screen showing a 301 × 301 m slope, from -20 m in
// the west to +20 m in the east, and the view loop driven with xdotool.
#pragma once

#include "tests/support/gui_driver.h"
#include "tests/support/log_capture.h"
#include "tests/viewer/gl_test_support.h"
#include "viewer/viewer.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

struct SlopeView : testing::Test {
    Viewer viewer;
    TerrainGrid grid = makeSlopeGrid(301, 301, -20.0f, 20.0f);
    void SetUp() override {
        viewer.dataRoot = testDataRoot();
        ASSERT_TRUE(viewer.init());
        captureStreams([&] { viewer.setTerrain(grid); });
    }
    // Runs the view loop while `user` acts from another thread, then leaves it
    // with Escape (back to the zone menu); stdout of the run.
    std::string runWith(const std::function<void(const std::string& window)>& user) {
        std::thread driver([&] {
            const std::string window = waitForWindow("Abysto", std::chrono::seconds(5));
            xdotool({"windowfocus", "--sync", window});
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            user(window);
            xdotool({"windowfocus", "--sync", window});
            xdotool({"key", "Escape"});
        });
        testing::internal::CaptureStdout();
        EXPECT_TRUE(viewer.run());
        driver.join();
        return testing::internal::GetCapturedStdout();
    }
};
