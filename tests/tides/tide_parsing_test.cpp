#include "tides/tide_level.h"
#include "tides/tide_parsing.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

namespace {

// A parser's result and the one error line it logs, when it fails.
template <typename F>
bool failsWithOneLine(F&& parse, const std::string& prefix) {
    bool ok = true;
    const Captured c = captureStreams([&] { ok = parse(); });
    EXPECT_EQ(c.err.rfind(prefix, 0), 0u) << c.err;
    EXPECT_EQ(std::count(c.err.begin(), c.err.end(), '\n'), 1) << c.err;
    return !ok;
}

} // namespace

TEST(TideParsing, PrettifySiteId) {
    // Bytes above 127 are copied as they are.
    for (const auto& [id, name] : std::vector<std::pair<std::string, std::string>>{
             {"le_havre", "Le-Havre"}, {"saint-malo", "Saint-Malo"}, {"__x", "--X"}, {"île", "île"}})
        EXPECT_EQ(prettifySiteId(id), name);
}

TEST(TideParsing, SiteNamesTakeTheFirstUsableKey) {
    std::vector<TideSite> sites;
    const std::string body = R"({"sites": [
        {"site_id": "a", "name": "", "site_name": 12, "nom": "Nom A", "label": "Label A", "latitude": 48.5, "longitude": -4.5},
        {"site_id": "b_c", "name": null, "title": "Titre"},
        {"site_id": "le_havre", "name": ["x"], "label": ""},
        {"name": "Sans id", "latitude": 1}
    ]})";
    ASSERT_TRUE(parseSites(body, sites));
    std::vector<std::string> names;
    for (const TideSite& s : sites) names.push_back(s.id + ":" + s.name);
    // The site without an id is kept, never chosen as a port.
    EXPECT_EQ(names, (std::vector<std::string>{"a:Nom A", "b_c:Titre", "le_havre:Le-Havre", ":Sans id"}));
    EXPECT_EQ(std::tuple(sites[0].latitude, sites[0].longitude, sites[1].latitude), std::tuple(48.5, -4.5, 0.0));

    sites.clear();
    EXPECT_TRUE(parseSites(R"({"autre": 1})", sites));
    EXPECT_TRUE(sites.empty());
}

TEST(TideParsing, BadSiteListsFailWithOneLine) {
    for (const char* body : {R"({"sites": [{"site_id": 7}]})", R"({"sites": [{"site_id": "a", "latitude": "48"}]})",
                             R"({"sites": ["a"]})", R"({"sites": {"site_id": "a"}})", R"([])", "{ // note\n}"}) {
        std::vector<TideSite> sites;
        EXPECT_TRUE(failsWithOneLine([&] { return parseSites(body, sites); }, "Erreur JSON /sites : ")) << body;
    }
}

TEST(TideParsing, SampleHours) {
    // The time starts at character 11; the separator is not read; 15 characters are enough; a failure leaves 0.
    for (const auto& [text, ok, hour] : std::vector<std::tuple<std::string, bool, float>>{
             {"2026-12-06T07:30:00Z", true, 7.5f}, {"2026-12-06T23:50", true, 23.0f + 50.0f / 60.0f},
             {"2026-12-06T07:3", true, 0.0f}, {"2026-12-06Txx:30", false, 0.0f}, {"2026-12-06T24:00", false, 0.0f}}) {
        float got = -1;
        EXPECT_EQ(parseSampleHour(text, got), ok) << text;
        EXPECT_FLOAT_EQ(got, hour) << text;
    }
    for (const auto& [text, hour] : std::vector<std::pair<std::string, int>>{
             {"14:40", 14}, {"7:05", 7}, {"x", 0}, {"ab:cd", 0}})
        EXPECT_EQ(parseLeadingHour(text), hour) << text;
}

TEST(TideParsing, WaterLevels) {
    std::vector<WaterLevelSample> samples;
    ASSERT_TRUE(parseWaterLevels(R"({"data": [{"time": "2026-12-06T07:30:00Z", "height": 4.25},
                                              {"height": 2}, {"time": "2026-12-06T08:00"}]})",
                                 samples));
    std::vector<std::pair<float, float>> read;  // hour, height
    for (const WaterLevelSample& s : samples) read.emplace_back(s.hour, s.height);
    EXPECT_EQ(read, (std::vector<std::pair<float, float>>{{7.5f, 4.25f}, {0, 2}, {8, 0}}));

    samples.clear();
    EXPECT_TRUE(parseWaterLevels(R"({"site": "brest"})", samples));  // no "data": a day without points
    EXPECT_TRUE(samples.empty());

    // Points read before a fault stay.
    const std::string broken = R"({"data": [{"time": "2026-12-06T01:00Z", "height": 1}, {"time": "2026-12-06Tab:00Z"}]})";
    EXPECT_TRUE(failsWithOneLine([&] { return parseWaterLevels(broken, samples); }, "Erreur JSON /water-levels : "));
    EXPECT_EQ(samples.size(), 1u);
}

TEST(TideParsing, CoefficientRounding) {
    for (const auto& [coef, ok, rounded] : std::vector<std::tuple<double, bool, int>>{
             {0.4, false, -1}, {0.5, true, 1}, {94.5, true, 95}, {1e300, false, -1}}) {
        int value = -1;  // left as it was on a failure
        EXPECT_EQ(roundCoefficient(coef, value), ok) << coef;
        EXPECT_EQ(value, rounded) << coef;
    }
}

// The morning and afternoon rule through the document: the first high water
// before noon and the last from noon on.
TEST(TideParsing, ExtremaToDays) {
    const std::string body = R"({"data": [
        {"date": "2026-12-06", "extrema": [
            {"type": "PM", "time": "14:40", "coef": 80}, {"type": "BM", "time": "08:00", "coef": null},
            {"type": "PM", "time": "02:10", "coef": 70}, {"type": "PM", "time": "23:55", "coef": 84.5}]},
        {"date": "2026-12-07", "extrema": [{"type": "PM", "time": "12:05", "coef": 91}]},
        {"date": "2026-12-08", "extrema": [{"type": "PM", "time": "11:59", "coef": 92}]},
        {"date": "2026-12-09", "extrema": [{"type": "PM", "time": "06:00", "coef": 0.4}, {"type": "PM", "time": "18:00", "coef": 0.5}]},
        {"date": "2026-12-10", "extrema": [{"type": "pm", "time": "06:00", "coef": 60}, {"type": "PM", "time": "07:00"}]},
        {"date": "2026-12-xx", "extrema": [{"type": "PM", "time": "06:00", "coef": 60}]},
        {"date": "2026-12-32", "extrema": [{"type": "PM", "time": "06:00", "coef": 60}]},
        {"date": "2026-12", "extrema": [{"type": "PM", "time": "06:00", "coef": 60}]},
        {"date": "2026-12-11", "extrema": "aucun"},
        {"date": "2026-12-12"}
    ]})";
    std::vector<DayCoefficients> days;
    ASSERT_EQ(parseTideExtrema(body, days), ExtremaParse::ok);
    std::vector<std::array<int, 3>> read;  // day, morning, afternoon
    for (const DayCoefficients& d : days) read.push_back({d.day, d.morning, d.afternoon});
    // On the 9th 0.4 is dropped and 0.5 kept as 1.
    EXPECT_EQ(read, (std::vector<std::array<int, 3>>{{6, 70, 85}, {7, 0, 91}, {8, 92, 0}, {9, 0, 1}}));
}

TEST(TideParsing, BadExtremaDocuments) {
    const std::string unexpected = "Coefficients : reponse inattendue : ", json = "Erreur JSON /tide-extrema : ";
    const std::vector<std::tuple<std::string, ExtremaParse, std::string>> cases = {
        {R"({"sites": []})", ExtremaParse::unexpected, unexpected + "{\"sites\": []}\n"},
        {R"({"data": {}})", ExtremaParse::unexpected, unexpected},
        {R"({"data": [{"date": "2026-12-06", "extrema": [{"type": "PM", "coef": "fort"}]}]})", ExtremaParse::jsonError,
         json},
    };
    for (const auto& [body, expected, prefix] : cases) {
        std::vector<DayCoefficients> days;
        ExtremaParse result = ExtremaParse::ok;
        const Captured c = captureStreams([&, &body = body] { result = parseTideExtrema(body, days); });
        EXPECT_EQ(result, expected) << body;
        EXPECT_EQ(c.err.rfind(prefix, 0), 0u) << c.err;
    }

    // The excerpt of an unexpected answer stops at 300 bytes, never inside a character.
    const std::string longBody = "{\"x\": \"" + std::string(292, 'a') + "é\"}";
    std::vector<DayCoefficients> days;
    const Captured c = captureStreams([&] { parseTideExtrema(longBody, days); });
    EXPECT_EQ(c.err, unexpected + longBody.substr(0, 299) + "\n");
}

TEST(TideLevel, InterpolateLevel) {
    EXPECT_FLOAT_EQ(interpolateLevel({}, 5.0f), 0.0f);
    const std::vector<WaterLevelSample> samples = {{1.0f, 0.0f}, {3.0f, 1.0f}, {2.0f, 2.0f}, {5.0f, 2.0f}, {4.0f, 3.0f}};
    // At a sample its height; equal hours: the first pair wins, no division by
    // 0; before the start or past the end: the last height.
    for (const auto& [hour, level] : std::vector<std::pair<float, float>>{
             {1.0f, 3.0f}, {0.5f, 2.0f}, {1.5f, 2.5f}, {2.0f, 2.0f}, {2.5f, 4.5f}, {3.0f, 4.0f}, {7.0f, 4.0f}, {-1.0f, 4.0f}})
        EXPECT_FLOAT_EQ(interpolateLevel(samples, hour), level) << hour;
    EXPECT_FLOAT_EQ(interpolateLevel({{2.5f, 9.0f}}, 1.0f), 2.5f);
    EXPECT_FLOAT_EQ(interpolateLevel({{1.0f, 2.0f}, {5.0f, 2.0f}}, 2.0f), 1.0f);  // denominator 0.0001
}
