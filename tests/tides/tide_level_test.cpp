#include "tides/tide_level.h"
#include "tides/tide_panel_model.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

namespace {

// A day rising one metre an hour from 0 m ZH at midnight.
TideState loadedDay() {
    TideState state;
    for (int i = 0; i <= 144; ++i) state.samples.push_back({static_cast<float>(i) / 6.0f, static_cast<float>(i) / 6.0f});
    state.samples.back().hour = 23.99f;
    state.samplesLoaded = true;
    return state;
}

} // namespace

TEST(TideLevel, DatumConversion) {
    EXPECT_FLOAT_EQ(zhToIgn69(4.20f, -3.0f), 1.20f);
    EXPECT_FLOAT_EQ(ign69ToZh(1.20f, -3.0f), 4.20f);

    TideState state;
    state.samples = {{4.20f, 0.0f}};
    state.samplesLoaded = true;
    const TidePanelResult result = applySelectedLevel(state);  // "Appliquer sur le terrain"
    EXPECT_TRUE(result.apply);
    EXPECT_FLOAT_EQ(result.level, 1.20f);
}

TEST(TideLevel, TimelapseMovesAndWraps) {
    TideState state = loadedDay();
    state.datumOffset = -3.0f;
    float hour = 12.0f, seaLevel = 0.0f;
    ASSERT_TRUE(stepTimelapse(state, true, 0.5f, 10.0f, hour, seaLevel));
    EXPECT_FLOAT_EQ(hour, 17.0f);  // 10 s at half an hour a second
    EXPECT_NEAR(seaLevel, 17.0f - 3.0f, 1e-4);

    hour = 23.5f;
    ASSERT_TRUE(stepTimelapse(state, true, 0.5f, 2.0f, hour, seaLevel));
    EXPECT_FLOAT_EQ(hour, 0.5f);
    EXPECT_NEAR(seaLevel, 0.5f - 3.0f, 1e-4);

    hour = 23.0f;
    ASSERT_TRUE(stepTimelapse(state, true, 0.5f, 100.0f, hour, seaLevel));  // a long stall
    EXPECT_FLOAT_EQ(hour, 1.0f);

    // Paused, or nothing to play: nothing moves.
    hour = 5.0f, seaLevel = 7.0f;
    EXPECT_FALSE(stepTimelapse(state, false, 0.5f, 1.0f, hour, seaLevel));
    state.samplesLoaded = false;
    EXPECT_FALSE(stepTimelapse(state, true, 0.5f, 1.0f, hour, seaLevel));
    state.samplesLoaded = true;
    state.samples.clear();
    EXPECT_FALSE(stepTimelapse(state, true, 0.5f, 1.0f, hour, seaLevel));
    EXPECT_FLOAT_EQ(hour, 5.0f);
    EXPECT_FLOAT_EQ(seaLevel, 7.0f);
}

TEST(TideLevel, TimelapseKeyBeforeAnyTide) {
    TideState state;
    bool playing = false;
    Captured c = captureStreams([&] { toggleTimelapseFromKey(state, playing); });
    EXPECT_TRUE(playing);
    EXPECT_EQ(c.out, "Charge d'abord les données de marée (T) avant de lancer le timelapse.\n");

    // Still on: it starts by itself once a day is loaded.
    float hour = 12.0f, seaLevel = 0.0f;
    EXPECT_FALSE(stepTimelapse(state, playing, 0.5f, 1.0f, hour, seaLevel));
    state = loadedDay();
    EXPECT_TRUE(stepTimelapse(state, playing, 0.5f, 1.0f, hour, seaLevel));
    EXPECT_NEAR(seaLevel, 12.5f - 3.0f, 1e-4);

    c = captureStreams([&] { toggleTimelapseFromKey(state, playing); });
    EXPECT_FALSE(playing);
    EXPECT_EQ(c.out, "");
    c = captureStreams([&] { toggleTimelapseFromKey(state, playing); });
    EXPECT_TRUE(playing);
    EXPECT_EQ(c.out, "");
}
