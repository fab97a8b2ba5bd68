#include "tides/tide_panel_model.h"

#include <gtest/gtest.h>

TEST(TidePanelModel, CurveGeometry) {
    EXPECT_FLOAT_EQ(tideCurveWidth(600.0f), 460.0f);
    EXPECT_FLOAT_EQ(tideCurveWidth(480.0f), 420.0f);
    EXPECT_FLOAT_EQ(tideCurveIndent(600.0f, 460.0f), 50.0f);

    const std::vector<WaterLevelSample> samples = {{2.0f, 0.0f}, {6.0f, 6.0f}, {4.0f, 12.0f}};
    const TideCurve curve = makeTideCurve(samples, 100.0f, 50.0f, 480.0f);
    // Origin, lowest and highest heights, range: all exact in binary.
    EXPECT_EQ(std::vector<float>({curve.originX, curve.originY, curve.minHeight, curve.maxHeight, curve.range}),
              (std::vector<float>{140, 50, 2, 6, 4}));
    // Noon and its label; the highest point at the top, the lowest and the bottom edge 200 below.
    EXPECT_EQ(std::vector<float>({tideCurveX(curve, 12.0f), tideCurveHourLabelX(curve, 2), tideCurveY(curve, 6.0f),
                                  tideCurveY(curve, 4.0f), tideCurveY(curve, 2.0f), tideCurveBottom(curve)}),
              (std::vector<float>{380, 380, 50, 150, 250, 250}));
    EXPECT_STREQ(tideCurveHourLabel(4), "00:00");

    // Equal heights: a range of 0.01 and the curve on the bottom edge.
    const TideCurve flat = makeTideCurve({{3.0f, 0.0f}, {3.0f, 12.0f}}, 0.0f, 0.0f, 400.0f);
    EXPECT_FLOAT_EQ(flat.range, 0.01f);
    EXPECT_FLOAT_EQ(tideCurveY(flat, 3.0f), 200.0f);
    EXPECT_EQ(formatAxisValue(flat.minHeight), formatAxisValue(flat.maxHeight));
    EXPECT_EQ(formatAxisValue((flat.minHeight + flat.maxHeight) / 2), "3.0");
}

TEST(TidePanelModel, PressingTheCurve) {
    const TideCurve curve = makeTideCurve({{1.0f, 0.0f}}, 0.0f, 0.0f, 480.0f);  // origin x 40
    EXPECT_FLOAT_EQ(tideCurveHour(curve, 40.0f), 0.0f);
    EXPECT_FLOAT_EQ(tideCurveHour(curve, 520.0f), 23.99f);  // right edge: never 24:00
    EXPECT_EQ(formatTideClock(tideCurveHour(curve, 520.0f)), "23:59");
    EXPECT_FLOAT_EQ(tideCurveHour(curve, 280.0f), 12.0f);
    EXPECT_FLOAT_EQ(tideCurveHour(curve, 0.0f), 0.0f);
}

TEST(TidePanelModel, Texts) {
    EXPECT_EQ(formatTideClock(14.0f + 10.0f / 60.0f), "14:10");  // not 14:09

    TideState state;
    state.datumOffset = -3.5f;
    state.ramSiteName = "Brest";
    EXPECT_EQ(datumOffsetLine(state), "ZH/IGN69 : -3.50 m (Brest)");

    EXPECT_EQ(tideWaitingText(state), "En attente de la détection du port...");
    setTideSiteId(state, "brest");
    EXPECT_EQ(tideWaitingText(state), "Aucune donnée de marée chargée.");
    state.samplesLoaded = true;  // loaded, but the service gave no point
    EXPECT_EQ(tideWaitingText(state), "Aucune donnée de marée chargée.");
    state.samples = {{1.0f, 0.0f}};
    EXPECT_EQ(tideWaitingText(state), "");
}

TEST(TidePanelModel, FirstLoadRunsOncePerTerrain) {
    TideState state;
    EXPECT_FALSE(autoLoadTide(state));  // no port yet
    setTideSiteId(state, "brest");
    state.loadAttempted = true;
    EXPECT_FALSE(autoLoadTide(state));  // a failed load is not retried by itself
    state.loadAttempted = false;
    state.samplesLoaded = true;
    EXPECT_FALSE(autoLoadTide(state));
}
