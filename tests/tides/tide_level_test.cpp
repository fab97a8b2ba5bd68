#include "tides/tide_level.h"
#include "tides/tide_panel_model.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// A day rising one metre an hour from 0 m ZH at midnight; the offset to IGN69 is the default -3 m.
TideState loadedDay() {
    TideState state;
    for (int i = 0; i <= 144; ++i) state.samples.push_back({static_cast<float>(i) / 6.0f, static_cast<float>(i) / 6.0f});
    state.samples.back().hour = 23.99f;
    state.samplesLoaded = true;
    return state;
}

} // namespace

TEST(TideLevel, DatumConversion) {
    EXPECT_FLOAT_EQ(ign69ToZh(1.20f, -3.0f), 4.20f);  // the other way: the timelapse's sea levels

    TideState state;
    state.samples = {{4.20f, 0.0f}};
    state.samplesLoaded = true;
    const TidePanelResult result = applySelectedLevel(state);  // "Appliquer sur le terrain"
    EXPECT_TRUE(result.apply);
    EXPECT_FLOAT_EQ(result.level, 1.20f);
}

TEST(TideLevel, TimelapseMovesAndWraps) {
    const TideState day = loadedDay();
    // 10 s at half an hour a second; across midnight; a long stall wraps it all.
    for (const auto& [start, seconds, end] :
         std::vector<std::array<float, 3>>{{12, 10, 17}, {23.5f, 2, 0.5f}, {23, 100, 1}}) {
        float hour = start, seaLevel = 0.0f;
        ASSERT_TRUE(stepTimelapse(day, true, 0.5f, seconds, hour, seaLevel));
        EXPECT_FLOAT_EQ(hour, end);
        EXPECT_NEAR(seaLevel, end - 3.0f, 1e-4);
    }

    // Paused, nothing loaded, or a day without points: nothing moves.
    TideState notLoaded = day, empty = day;
    notLoaded.samplesLoaded = false;
    empty.samples.clear();
    for (const auto& [state, playing] :
         std::vector<std::pair<TideState, bool>>{{day, false}, {notLoaded, true}, {empty, true}}) {
        float hour = 5.0f, seaLevel = 7.0f;
        EXPECT_FALSE(stepTimelapse(state, playing, 0.5f, 1.0f, hour, seaLevel));
        EXPECT_FLOAT_EQ(hour, 5.0f);
        EXPECT_FLOAT_EQ(seaLevel, 7.0f);
    }
}

TEST(TideLevel, TimelapseKeyBeforeAnyTide) {
    TideState state;
    bool playing = false;
    Captured c = captureStreams([&] { toggleTimelapseFromKey(state, playing); });
    EXPECT_TRUE(playing);
    EXPECT_EQ(c.out, "Charge d'abord les données de marée (T) avant de lancer le timelapse.\n");

    // Once a day is loaded, nothing to say.
    state = loadedDay();
    playing = false;
    c = captureStreams([&] { toggleTimelapseFromKey(state, playing); });
    EXPECT_TRUE(playing);
    EXPECT_EQ(c.out, "");
}
