#include "routes/profile_chart.h"
#include "routes/route_geometry.h"
#include "routes/route_profile.h"
#include "test_terrain.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

TEST(RouteProfile, TwelveMetresWithStepFive) {
    TestTerrain t = makeTerrain(20, 5, [](int col, int) { return static_cast<float>(-col); });
    const Route r = makeRoute({{2, 2}, {14, 2}});
    const std::vector<ProfileSample> s = sampleProfile(r, t.grid(), 5.0f);
    ASSERT_EQ(s.size(), 3u);  // k = 2: 0 and 6 m, then the end at 12 m
    EXPECT_FLOAT_EQ(s[0].distance, 0.0f);
    EXPECT_FLOAT_EQ(s[1].distance, 6.0f);
    EXPECT_FLOAT_EQ(s[2].distance, 12.0f);
    EXPECT_FLOAT_EQ(s[1].z, -8.0f);
    EXPECT_TRUE(s[2].valid);

    // A step of 0.1 or less falls back to 5.
    EXPECT_EQ(sampleProfile(r, t.grid(), 0.05f).size(), 3u);
    // Too few points, no grid, or a route of zero length: nothing.
    EXPECT_TRUE(sampleProfile(makeRoute({{2, 2}}), t.grid(), 5.0f).empty());
    EXPECT_TRUE(sampleProfile(r, HeightGrid{}, 5.0f).empty());
    EXPECT_TRUE(sampleProfile(makeRoute({{2, 2}, {2, 2}}), t.grid(), 5.0f).empty());
}

TEST(RouteProfile, ThirtyKilometresAreSampledEverySevenAndAHalfMetres) {
    TestTerrain t = makeTerrain(3, 3, [](int, int) { return -1.0f; });
    const Route r = makeRoute({{0, 0}, {30000, 0}});
    const std::vector<ProfileSample> s = sampleProfile(r, t.grid(), 5.0f);
    ASSERT_EQ(s.size(), 4001u);
    EXPECT_FLOAT_EQ(s[1].distance, 7.5f);
    EXPECT_FLOAT_EQ(s[4000].distance, 30000.0f);
}

TEST(RouteProfile, LoopsCloseOnTheFirstPointAndStatsSkipInvalidSamples) {
    TestTerrain t = makeTerrain(50, 50, [](int col, int row) { return static_cast<float>(col - row); });
    t.points[10 * 50 + 40].valid = false;
    const Route loop = makeRoute({{10, 10}, {40, 10}, {40, 40}}, true);
    const std::vector<ProfileSample> s = sampleProfile(loop, t.grid(), 5.0f);
    const double diagonal = std::hypot(30.0, 30.0);
    EXPECT_NEAR(s.back().distance, 60.0 + diagonal, 1e-3);
    EXPECT_FLOAT_EQ(s.back().z, 0.0f);  // back at (10, 10)
    const ProfileStats st = profileStats(s);
    EXPECT_TRUE(st.hasValid);
    EXPECT_EQ(st.validCount, st.sampleCount - 1);  // the sample at (40, 10)
    EXPECT_FLOAT_EQ(st.minZ, 0.0f);
    EXPECT_FLOAT_EQ(st.maxZ, 25.0f);  // (35, 10) and (40, 15); 30 at (40, 10) is missing

    EXPECT_FALSE(profileStats({}).hasValid);
    EXPECT_EQ(profileStats({}).length, 0.0f);
}

TEST(RouteLegs, HeadingsFromTrueNorthAndTravelTimes) {
    const Route east = makeRoute({{0, 0}, {10, 0}});
    const Route south = makeRoute({{0, 0}, {0, 10}});
    const Route north = makeRoute({{0, 10}, {0, 0}});
    EXPECT_FLOAT_EQ(computeLegs(east, 0)[0].heading, 90.0f);
    EXPECT_FLOAT_EQ(computeLegs(north, 0)[0].heading, 0.0f);
    EXPECT_NEAR(computeLegs(north, -5.5)[0].heading, 354.5f, 1e-4);
    EXPECT_NEAR(computeLegs(east, 3.25)[0].heading, 93.25f, 1e-4);
    EXPECT_EQ(legRows(computeLegs(south, 0), 4.0f)[0].heading, "180 deg");
    EXPECT_EQ(legRows(computeLegs(north, -0.3), 4.0f)[0].heading, "000 deg");  // 359.7

    const Route loop = makeRoute({{0, 0}, {3000, 0}, {3000, 400}}, true);
    const std::vector<Leg> legs = computeLegs(loop, 0);
    ASSERT_EQ(legs.size(), 3u);
    EXPECT_FLOAT_EQ(legs[2].distance, std::hypot(3000.0f, 400.0f));
    const std::vector<LegRow> rows = legRows(legs, 4.0f);
    EXPECT_EQ(rows[2].step, "3 -> 4");
    EXPECT_EQ(rows[0].distance, "3.00 km");
    EXPECT_EQ(rows[1].distance, "400 m");
    EXPECT_EQ(rows[1].duration, "3 min");

    EXPECT_TRUE(computeLegs(makeRoute({{0, 0}}), 0).empty());
    EXPECT_EQ(computeLegs(makeRoute({{0, 0}, {0, 0}}), 0).size(), 1u);  // zero length kept

    // Travel times and their text.
    EXPECT_EQ(formatDuration(travelHours(1852, 4.0)), "15 min");
    EXPECT_EQ(formatDuration(travelHours(10000, 4.0)), "1h21");
    EXPECT_EQ(formatDuration(0.999), "1h00");
    EXPECT_EQ(formatDuration(0.0), "--");
    EXPECT_EQ(travelHours(1000, 0.01), 0.0);
}

TEST(RouteClearance, ColoursAndSummaryLines) {
    RoutePoint p{0, 0, -2.0f, true};
    // sea level 0, draught 1.5: 0.5 m under the keel is green, less is orange, negative red.
    EXPECT_EQ(clearanceColor(p, true, 1.5f, 0.0f), routecolor::kGreen);
    EXPECT_EQ(clearanceColor(p, true, 2.0f, 0.0f), routecolor::kOrange);  // exactly 0
    EXPECT_EQ(clearanceColor(p, true, 2.01f, 0.0f), routecolor::kRed);
    EXPECT_EQ(clearanceColor(p, false, 5.0f, 0.0f), routecolor::kGreen);
    p.hasZ = false;
    EXPECT_EQ(clearanceColor(p, true, 0.0f, 0.0f), routecolor::kNoHeight);

    ProfileStats st{1852, -2.0f, -6.0f, 8, 10, true};  // bottom -2 to -6 m, 8 valid samples of 10
    RouteSettings settings;  // draught 0.3, margin 0.5, 4 knots
    std::vector<PanelLine> lines = routeSummaryLines(st, settings, 0.0f);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0].text, "1.85 km");
    EXPECT_EQ(lines[1].text, "(1.00 NM)");
    EXPECT_TRUE(lines[1].sameLine);
    EXPECT_EQ(lines[2].text, "Durée estimée à 4.0 noeuds : 15 min");
    EXPECT_EQ(lines[3].text, "Hauteur d'eau : 2.00 m au plus bas, 6.00 m au plus profond");
    EXPECT_EQ(lines[4].text, "Marge sous quille : 1.70 m");
    EXPECT_EQ(lines[4].color, routecolor::kGreen);
    EXPECT_EQ(lines[5].text, "2 point(s) du profil hors données bathymétriques.");

    lines = routeSummaryLines(st, settings, -1.5f);  // 0.2 m: under the margin
    EXPECT_EQ(lines[4].text, "Marge sous quille : 0.20 m (sous votre marge de 0.50 m)");
    EXPECT_EQ(lines[4].color, routecolor::kOrange);
    lines = routeSummaryLines(st, settings, -2.0f);
    EXPECT_EQ(lines[4].text, "Talonnage : 0.30 m manquants au point le plus haut");
    EXPECT_EQ(lines[4].color, routecolor::kRed);

    st.hasValid = false;
    st.validCount = 0;
    lines = routeSummaryLines(st, settings, 0.0f);
    ASSERT_EQ(lines.size(), 4u);  // no clearance without a valid bottom
    EXPECT_EQ(requiredLevel(st, 1.0f, 0.5f), 0.0f);
    st.hasValid = true;
    EXPECT_FLOAT_EQ(requiredLevel(st, 1.0f, 0.5f), -0.5f);
    EXPECT_FLOAT_EQ(keelClearance(1.0f, -2.0f, 1.2f), 1.8f);
}

TEST(RouteSettingsPresets, ChoosingAPresetKeepsTheMargin) {
    RouteSettings s;
    s.margin = 1.25f;
    applyActivityPreset(s, 4);
    EXPECT_EQ(s.activity, 4);
    EXPECT_STREQ(activityLabel(s), "Chasse sous-marine");
    EXPECT_FLOAT_EQ(s.draught, 0.0f);  // no keel line
    EXPECT_FLOAT_EQ(s.speed, 2.5f);
    EXPECT_FLOAT_EQ(s.margin, 1.25f);
    applyActivityPreset(s, 2);
    applyActivityPreset(s, 5);  // no such preset
    EXPECT_EQ(s.activity, 2);
}

TEST(RouteProfileCache, RecomputedOnlyWhenStale) {
    TestTerrain t = makeTerrain(50, 50, [](int, int) { return -3.0f; });
    RouteEditor editor;
    editor.setTerrain(t.grid(), Georeference{});
    editor.routes.push_back(makeRoute({{1, 1}, {30, 1}}));
    editor.routes.push_back(makeRoute({{1, 5}, {1, 40}}));
    ProfileCache cache;
    EXPECT_FALSE(updateProfileCache(cache, editor, 5.0f));  // nothing selected
    editor.selectRoute(0);
    EXPECT_TRUE(updateProfileCache(cache, editor, 5.0f));
    EXPECT_FLOAT_EQ(cache.stats.length, 29.0f);
    EXPECT_FALSE(updateProfileCache(cache, editor, 5.0f));
    editor.routes[0].name = "Renommé";
    editor.routes[0].visible = false;
    EXPECT_FALSE(updateProfileCache(cache, editor, 5.0f));
    editor.routes[0].points.push_back({30, 30, 0, false});
    EXPECT_TRUE(updateProfileCache(cache, editor, 5.0f));
    editor.selectRoute(1);
    EXPECT_TRUE(updateProfileCache(cache, editor, 5.0f));
    EXPECT_FLOAT_EQ(cache.stats.length, 35.0f);
    cache.routesDirty = true;
    EXPECT_TRUE(updateProfileCache(cache, editor, 5.0f));
    EXPECT_FALSE(cache.routesDirty);
    editor.selectRoute(-1);
    updateProfileCache(cache, editor, 5.0f);
    EXPECT_TRUE(cache.samples.empty());
    EXPECT_EQ(cache.routeIndex, -1);
}

TEST(RouteChart, LayoutOfTheProfile) {
    std::vector<ProfileSample> samples = {{0, -4, true}, {50, -1, true}, {100, 0, false}, {2000, -3, true}};
    ProfileStats st = profileStats(samples);
    ProfileChartLayout c = layoutProfileChart({10, 100}, 400, samples, st, 0.0f, 1.5f);
    ASSERT_TRUE(c.available);
    EXPECT_FLOAT_EQ(c.origin.x, 52);
    EXPECT_FLOAT_EQ(c.width, 350);
    EXPECT_EQ(c.bottom.size(), 1u);       // only the first pair is valid on both ends
    EXPECT_EQ(c.keelOverlap.size(), 1u);  // -1 is above the keel at -1.5
    // lo = -4 - 0.5 (pad 0.48 raised to 0.5), top = 0 + 0.5: the sea line a tenth down.
    EXPECT_NEAR(c.seaY, 119.0f, 1e-3);
    EXPECT_EQ(c.heightLabels[0].text, "0.5");
    EXPECT_EQ(c.heightLabels[1].text, "-4.5");
    ASSERT_EQ(c.distanceLabels.size(), 5u);
    EXPECT_EQ(c.distanceLabels[1].text, "500 m");
    EXPECT_EQ(c.distanceLabels[4].text, "2.0 km");
    EXPECT_FLOAT_EQ(c.distanceLabels[4].at.x, 52 + 350);
    EXPECT_TRUE(c.keelLine);
    EXPECT_EQ(c.keelDashes.size(), 44u);  // every 8 pixels over 350
    EXPECT_FLOAT_EQ(c.keelDashes.back().second, 52 + 348);

    // "Chasse sous-marine": no keel line.
    EXPECT_FALSE(layoutProfileChart({10, 100}, 400, samples, st, 0.0f, 0.0f).keelLine);
    // No valid bottom: the message, centred.
    for (ProfileSample& s : samples) s.valid = false;
    ProfileChartLayout none = layoutProfileChart({10, 100}, 100, samples, profileStats(samples), 0.0f, 1.5f);
    EXPECT_FALSE(none.available);
    EXPECT_FLOAT_EQ(none.width, 120);
    EXPECT_FLOAT_EQ(none.unavailableAt.x, 52 + 60);
    EXPECT_FLOAT_EQ(none.unavailableAt.y, 189);
}

// How the lines look is checked where they are drawn (route_view_test); here the crosses' floor and the
// clearance colour of the line at each point.
TEST(RouteLines, CrossesNeverShrinkBelowHalfAMetreAndTheLineTakesTheClearanceColours) {
    RouteEditor editor;
    editor.routes.push_back(makeRoute({{10, 10}, {20, 10}}));
    editor.routes[0].points[0] = {10, 10, -0.6f, true};  // 0.3 m under a keel of 0.3 m
    editor.routes[0].points[1] = {20, 10, -5.0f, true};
    RouteRenderParams params;
    params.verticalStrokes = false;
    params.pointSize = 0.1f;
    params.draught = 0.3f;
    float left = 1e9f;
    std::vector<RouteColor> line;
    for (const RouteVertex& v : buildRouteVertices(editor, params)) {
        left = std::min(left, v.x);
        if (!(RouteColor{v.r, v.g, v.b, v.a} == routecolor::kCross)) line.push_back({v.r, v.g, v.b, v.a});
    }
    EXPECT_FLOAT_EQ(left, 10 - 0.5f);
    EXPECT_EQ(line, (std::vector<RouteColor>{routecolor::kOrange, routecolor::kGreen}));
}
