#include "tides/ram_table.h"
#include "tests/support/temp_dir.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

namespace {

// Name, latitude, longitude and ZH_Ref, compared exactly: the numbers are
// read with from_chars, as the compiler reads the literals.
using Row = std::tuple<std::string, double, double, float>;

struct Load {
    bool ok = false;
    std::vector<RamSite> sites;
    std::vector<Row> rows;
    Captured log;
};

Load loadText(const TempDir& dir, const std::string& text) {
    writeFile(dir / "RAM.csv", text);
    Load l;
    l.log = captureStreams([&] { l.ok = loadRamFile((dir / "RAM.csv").string(), l.sites); });
    for (const RamSite& s : l.sites) l.rows.emplace_back(s.name, s.latitude, s.longitude, s.zhRef);
    return l;
}

} // namespace

// Tabs only, carriage returns dropped, quotes and spaces kept.
TEST(RamTable, SplitTabs) {
    for (const auto& [line, fields] : std::vector<std::pair<std::string, std::vector<std::string>>>{
             {"", {""}}, {"a\t", {"a", ""}}, {"a\rb\t c \r", {"ab", " c "}}, {"\"x\ty\"", {"\"x", "y\""}}})
        EXPECT_EQ(splitTabs(line), fields) << line;
}

TEST(RamTable, ColumnsInAnyOrderAndByteOrderMark) {
    TempDir dir;
    const std::string lf = "ZH_Ref\tAUTRE\tLONGITUDE\tSITE\tLATITUDE\n"
                           "-3.635\tx\t-4.494717\tBrest\t48.3825\n"
                           "\n"
                           "-6.289\t\t-2.0275\tSaint-Malo\t48.641167\n";
    const Row brest{"Brest", 48.3825, -4.494717, -3.635f}, malo{"Saint-Malo", 48.641167, -2.0275, -6.289f};
    for (const auto& [text, expected] : std::vector<std::pair<std::string, std::vector<Row>>>{
             {lf, {brest, malo}},
             {"\xEF\xBB\xBFSITE\tLATITUDE\tLONGITUDE\tZH_Ref\nBrest\t48.3825\t-4.494717\t-3.635", {brest}}}) {
        const Load l = loadText(dir, text);
        EXPECT_TRUE(l.ok) << l.log.err;
        EXPECT_EQ(l.rows, expected) << text;
    }
}

TEST(RamTable, MissingOrMisspeltColumns) {
    TempDir dir;
    // Each column missing in turn: a misspelt ZH_Ref, a space before SITE, no LATITUDE, no LONGITUDE.
    for (const char* header : {"SITE\tLATITUDE\tLONGITUDE\tZH_REF", " SITE\tLATITUDE\tLONGITUDE\tZH_Ref",
                               "SITE\tLONGITUDE\tZH_Ref", "SITE\tLATITUDE\tZH_Ref"}) {
        const Load l = loadText(dir, std::string(header) + "\nBrest\t48.38\t-4.49\t-3.6\n");
        EXPECT_FALSE(l.ok) << header;
        EXPECT_TRUE(l.sites.empty());
        EXPECT_EQ(l.log.err, "Colonnes attendues introuvables dans " + (dir / "RAM.csv").string() + "\n");
    }
}

TEST(RamTable, RowsWithoutUsableNumbersAreSkipped) {
    TempDir dir;
    const Load l = loadText(dir,
                            "SITE\tLATITUDE\tLONGITUDE\tZH_Ref\tNOTE\n"
                            "Vide\t48\t-4\t\tzh vide\n"
                            "Mot\t48\t-4\tinconnu\n"
                            "Unite\t 48.5\t-4.25\t-3.5m\n"
                            "Latitude mot\tnord\t-4\t-3\n"
                            "Infini\t48\tinf\t-3\n"
                            "Plus\t+47.25\t-2\t-2.5\n"
                            "Court\t48\n"
                            "Virgule\t48,75\t-3,5\t-5,469");
    EXPECT_TRUE(l.ok);
    EXPECT_EQ(l.rows, (std::vector<Row>{{"Unite", 48.5, -4.25, -3.5f}, {"Plus", 47.25, -2, -2.5f},
                                        {"Virgule", 48.75, -3.5, -5.469f}}));
    EXPECT_EQ(l.log.err, "");

    const Load none = loadText(dir, "SITE\tLATITUDE\tLONGITUDE\tZH_Ref\nVide\t48\t-4\t\n");
    EXPECT_FALSE(none.ok);
    EXPECT_EQ(none.log.err, "");
}

TEST(RamTable, NearestSite) {
    const RamSite nord{"Nord", 49.0, 0.0, -1.0f}, sud{"Sud", 47.0, 0.0, -2.0f}, est{"Est", 48.0, 0.5, -3.0f};
    RamSite nearest;
    // Nord and Sud both 1 degree away: the first listed wins.
    for (const auto& [sites, name] : std::vector<std::pair<std::vector<RamSite>, std::string>>{
             {{nord, sud, est}, "Est"}, {{sud, nord}, "Sud"}, {{nord, sud}, "Nord"}}) {
        ASSERT_TRUE(nearestRamSite(sites, 48.0, 0.0, nearest));
        EXPECT_EQ(nearest.name, name);
    }
    EXPECT_FLOAT_EQ(nearest.zhRef, -1.0f);
    EXPECT_FALSE(nearestRamSite({}, 48.0, 0.0, nearest));
}

TEST(RamTable, ShippedTable) {
    std::vector<RamSite> sites;
    Captured c = captureStreams([&] { EXPECT_TRUE(loadRamAtStartup(ramFilePath(ABYSTO_BINARY_DIR), sites)); });
    EXPECT_EQ(c.out, "290 sites RAM chargés.\n");
    const Captured missing = captureStreams([&] { loadRamAtStartup("/nulle/part/RAM.csv", sites); });
    EXPECT_EQ(missing.err, "Impossible d'ouvrir /nulle/part/RAM.csv\n"
                           "Impossible de charger les données RAM depuis /nulle/part/RAM.csv\n");
}
