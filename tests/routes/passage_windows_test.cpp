#include "routes/passage_windows.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// A day sampled every 10 minutes (144 samples, 00h00 to 23h50).
std::vector<WaterLevelSample> day(float (*height)(float hour)) {
    std::vector<WaterLevelSample> samples;
    for (int i = 0; i < 144; ++i) {
        const float hour = i / 6.0f;
        samples.push_back({height(hour), hour});
    }
    return samples;
}

} // namespace

TEST(PassageWindows, CrossingsAreInterpolatedAndHoursWritten) {
    // Up from 0 to 4 m between 2h and 4h, down again between 8h and 10h.
    const std::vector<WaterLevelSample> s = {{0, 0}, {0, 2}, {4, 4}, {4, 8}, {0, 10}, {0, 12}, {3, 14}};
    const auto w = passageWindows(s, 0.0f, 1.0f);
    ASSERT_EQ(w.size(), 2u);
    EXPECT_FLOAT_EQ(w[0].start, 2.5f);
    EXPECT_FLOAT_EQ(w[0].end, 9.5f);
    EXPECT_FALSE(w[0].fromDayStart);
    EXPECT_FALSE(w[0].toDayEnd);
    EXPECT_EQ(passageWindowSpan(w[0]), "de 02h30 a 09h30");
    EXPECT_NEAR(w[1].start, 12.0f + 2.0f / 3.0f, 1e-5);
    EXPECT_FLOAT_EQ(w[1].end, 14.0f);
    EXPECT_FALSE(w[1].fromDayStart);
    EXPECT_TRUE(w[1].toDayEnd);

    // Exactly at the need counts as enough; levels closer than 1e-6 cross at the earlier sample.
    const auto touch = passageWindows({{0.9999995f, 3}, {1.0f, 4}}, 0.0f, 1.0f);
    ASSERT_EQ(touch.size(), 1u);
    EXPECT_FLOAT_EQ(touch[0].start, 3.0f);
    EXPECT_TRUE(touch[0].toDayEnd);

    EXPECT_TRUE(passageWindows({{5, 1}}, 0.0f, 1.0f).empty());
    EXPECT_TRUE(passageWindows({}, 0.0f, 1.0f).empty());

    EXPECT_EQ(formatHourMinute(7.0f + 5.0f / 60.0f), "07h05");
    EXPECT_EQ(formatHourMinute(9.9995f), "10h00");  // 59.97 minutes round to the next hour
}

TEST(PassageWindows, LinesOfTheRouteWindow) {
    ProfileStats stats;
    RouteSettings settings;  // draught 0.3, margin 0.5
    const auto samples = day([](float h) { return 3.0f + 2.0f * std::sin(h / 12.0f * 3.14159265f); });
    EXPECT_TRUE(passageWindowLines(stats, settings, samples, -3.0f).empty());  // no valid bottom

    stats.hasValid = true;
    stats.validCount = 1;
    stats.maxZ = -1.2f;
    auto lines = passageWindowLines(stats, settings, {}, -3.0f);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "Ouvrez le panneau Marée pour calculer les créneaux de passage.");

    // Need -1.2 + 0.8 = -0.4 m IGN69, i.e. 2.6 m ZH: from the start of the
    // day until the sine falls under it at 12h46, and again from 23h14.
    lines = passageWindowLines(stats, settings, samples, -3.0f);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].text, "Niveau d'eau nécessaire : -0.40 m IGN69");
    EXPECT_EQ(lines[1].text, "Passage possible");
    EXPECT_EQ(lines[1].color, routecolor::kGreen);
    EXPECT_TRUE(lines[2].sameLine);
    EXPECT_EQ(lines[2].text, "de <= 00h00 a 12h46");
    EXPECT_EQ(lines[4].text, "de 23h14 a 23h50 ->");

    stats.maxZ = 2.0f;  // a shoal that never covers
    lines = passageWindowLines(stats, settings, samples, -3.0f);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].text, "Aucun créneau aujourd'hui : le haut-fond ne");
    EXPECT_EQ(lines[2].text, "passe jamais sous 0.80 m d'eau.");
    EXPECT_EQ(lines[2].color, routecolor::kRed);
}
