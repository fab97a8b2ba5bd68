// Recent zones: the insertion rule, the visit stamp, and the file.
#include "zones/zone_history.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

ZoneHistoryEntry zone(const std::string& label, int tiles = 1) { return {label, 48.0, -4.0, tiles, "01/01 00:00"}; }

std::vector<std::string> labels(const std::vector<ZoneHistoryEntry>& list) {
    std::vector<std::string> out;
    for (const auto& e : list) out.push_back(e.label);
    return out;
}

TEST(ZoneHistory, NewestFirstDistinctLabelsAtMostTheLimit) {
    std::vector<ZoneHistoryEntry> list = {zone("Crozon"), zone("Brest", 2), zone("Camaret-sur-Mer")};
    const ZoneHistoryEntry again{"Brest", 48.39, -4.49, 6, "03/03 07:05"};
    addZoneHistory(list, again, kZoneHistoryMax);
    EXPECT_EQ(labels(list), (std::vector<std::string>{"Brest", "Crozon", "Camaret-sur-Mer"}));
    EXPECT_EQ(list[0].tileCount, 6);

    list.clear();
    for (int i = 1; i <= 9; ++i) addZoneHistory(list, zone("Lieu " + std::to_string(i)), kZoneHistoryMax);
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list.front().label, "Lieu 9");
    EXPECT_EQ(list.back().label, "Lieu 2");  // the first place went

    std::tm visit{};
    visit.tm_mday = 3, visit.tm_mon = 2, visit.tm_hour = 7, visit.tm_min = 5;
    EXPECT_EQ(zoneTimestamp(visit), "03/03 07:05");
}

TEST(ZoneHistory, FileRoundTripAndItsFaults) {
    TempDir dir;
    const std::string path = (dir / "zone_history.json").string();
    const std::vector<ZoneHistoryEntry> saved = {{"Plougonvelin", 48.34, -4.7, 3, "03/03 07:05"},
                                                 {"Brest", 48.3825, -4.494717, 12, "02/03 18:40"}};
    ASSERT_TRUE(saveZoneHistory(path, saved));
    EXPECT_FALSE(std::filesystem::exists(path + ".part"));
    const std::string text = readFile(path);
    EXPECT_EQ(text.rfind("{\n  \"history\": [\n    {\n      \"label\": \"Plougonvelin\",\n", 0), 0u) << text;

    std::vector<ZoneHistoryEntry> loaded;
    ASSERT_TRUE(loadZoneHistory(path, loaded));
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[1].label, "Brest");
    EXPECT_DOUBLE_EQ(loaded[1].lon, -4.494717);
    EXPECT_EQ(loaded[1].tileCount, 12);
    EXPECT_EQ(loaded[0].timestamp, "03/03 07:05");

    const struct { const char* content; bool ok; size_t entries; } files[] = {
        {R"({"autre": 1})", true, 0},                                     // no "history": an empty list
        {R"({"history": [{"label": "Brest"}, {}]})", true, 2},             // absent keys take defaults
        {R"({"history": [{"label": "Brest"}, {"lat": "nord"}]})", false, 1},  // the entry before the fault stays
        {"{\"history\": [", false, 0},
        {nullptr, false, 0},  // no file
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.content ? f.content : "no file");
        if (f.content) writeFile(path, f.content);
        std::vector<ZoneHistoryEntry> list;
        EXPECT_EQ(loadZoneHistory(f.content ? path : (dir / "absent.json").string(), list), f.ok);
        EXPECT_EQ(list.size(), f.entries);
    }

    // A save that cannot be written leaves the previous history whole.
    ASSERT_TRUE(saveZoneHistory(path, saved));
    std::filesystem::create_directory(path + ".part");
    EXPECT_FALSE(saveZoneHistory(path, {zone("Crozon")}));
    loaded.clear();
    ASSERT_TRUE(loadZoneHistory(path, loaded));
    EXPECT_EQ(labels(loaded), labels(saved));
}

} // namespace
