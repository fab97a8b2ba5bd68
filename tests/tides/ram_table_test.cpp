#include "tides/ram_table.h"
#include "tests/support/temp_dir.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

namespace {

const std::string kSharedRam = std::string(ABYSTO_SHARED_DATA) + "/ram/";

struct Load {
    bool ok = false;
    std::vector<RamSite> sites;
    Captured log;
};

Load load(const std::string& path) {
    Load l;
    l.log = captureStreams([&] { l.ok = loadRamFile(path, l.sites); });
    return l;
}

Load loadText(const TempDir& dir, const std::string& text) {
    const std::string path = (dir / "RAM.csv").string();
    writeFile(path, text);
    return load(path);
}

} // namespace

TEST(RamTable, SplitTabs) {
    using V = std::vector<std::string>;
    EXPECT_EQ(splitTabs("a\tb"), (V{"a", "b"}));
    EXPECT_EQ(splitTabs(""), (V{""}));
    EXPECT_EQ(splitTabs("a\t"), (V{"a", ""}));
    EXPECT_EQ(splitTabs("\t\t"), (V{"", "", ""}));
    EXPECT_EQ(splitTabs("a\rb\t c \r"), (V{"ab", " c "}));
    EXPECT_EQ(splitTabs("\"x\ty\""), (V{"\"x", "y\""}));
    EXPECT_EQ(splitTabs("a;b,c"), (V{"a;b,c"}));
}

TEST(RamTable, ColumnsInAnyOrderAndLineEnds) {
    TempDir dir;
    const std::string lf = "ZH_Ref\tAUTRE\tLONGITUDE\tSITE\tLATITUDE\n"
                           "-3.635\tx\t-4.494717\tBrest\t48.3825\n"
                           "\n"
                           "-6.289\t\t-2.0275\tSaint-Malo\t48.641167\n";
    Load a = loadText(dir, lf);
    ASSERT_TRUE(a.ok) << a.log.err;
    ASSERT_EQ(a.sites.size(), 2u);
    EXPECT_EQ(a.sites[0].name, "Brest");
    EXPECT_DOUBLE_EQ(a.sites[0].latitude, 48.3825);
    EXPECT_DOUBLE_EQ(a.sites[0].longitude, -4.494717);
    EXPECT_FLOAT_EQ(a.sites[0].zhRef, -3.635f);
    EXPECT_EQ(a.sites[1].name, "Saint-Malo");

    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    Load b = loadText(dir, crlf);
    ASSERT_TRUE(b.ok);
    ASSERT_EQ(b.sites.size(), 2u);
    EXPECT_EQ(b.sites[1].name, "Saint-Malo");
    EXPECT_FLOAT_EQ(b.sites[1].zhRef, -6.289f);

    // A byte-order mark does not hide the first column.
    Load c = loadText(dir, "\xEF\xBB\xBFSITE\tLATITUDE\tLONGITUDE\tZH_Ref\nBrest\t48.3825\t-4.494717\t-3.635");
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.sites[0].name, "Brest");
}

TEST(RamTable, MissingOrMisspeltColumns) {
    TempDir dir;
    for (const char* header : {"SITE\tLATITUDE\tLONGITUDE\tZH_REF", "SITE\tLATITUDE\tLONGITUDE", " SITE\tLATITUDE\tLONGITUDE\tZH_Ref",
                               "SITE;LATITUDE;LONGITUDE;ZH_Ref", ""}) {
        const Load l = loadText(dir, std::string(header) + "\nBrest\t48.38\t-4.49\t-3.6\n");
        EXPECT_FALSE(l.ok) << header;
        EXPECT_TRUE(l.sites.empty());
        EXPECT_EQ(l.log.err, "Colonnes attendues introuvables dans " + (dir / "RAM.csv").string() + "\n");
    }
    const Load missing = load((dir / "absent.csv").string());
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.log.err, "Impossible d'ouvrir " + (dir / "absent.csv").string() + "\n");
}

TEST(RamTable, RowsWithoutUsableNumbersAreSkipped) {
    TempDir dir;
    const Load l = loadText(dir,
                            "SITE\tLATITUDE\tLONGITUDE\tZH_Ref\tNOTE\n"
                            "Vide\t48\t-4\t\tzh vide\n"
                            "Mot\t48\t-4\tinconnu\n"
                            "Unite\t 48.5\t-4.25\t-3.5m\n"
                            "Latitude mot\tnord\t-4\t-3\n"
                            "Trop grand\t1e999\t-4\t-3\n"
                            "Infini\t48\tinf\t-3\n"
                            "Plus\t+47.25\t-2\t-2.5\n"
                            "Court\t48\n"
                            "Virgule\t48,75\t-3,5\t-5,469\n"
                            "Seul");
    ASSERT_TRUE(l.ok);
    ASSERT_EQ(l.sites.size(), 3u);
    EXPECT_EQ(l.sites[0].name, "Unite");
    EXPECT_DOUBLE_EQ(l.sites[0].latitude, 48.5);
    EXPECT_FLOAT_EQ(l.sites[0].zhRef, -3.5f);
    EXPECT_DOUBLE_EQ(l.sites[1].latitude, 47.25);
    EXPECT_EQ(l.sites[2].name, "Virgule");
    EXPECT_DOUBLE_EQ(l.sites[2].latitude, 48.75);
    EXPECT_FLOAT_EQ(l.sites[2].zhRef, -5.469f);
    EXPECT_EQ(l.log.err, "");

    const Load none = loadText(dir, "SITE\tLATITUDE\tLONGITUDE\tZH_Ref\nVide\t48\t-4\t\n");
    EXPECT_FALSE(none.ok);
    EXPECT_EQ(none.log.err, "");
}

TEST(RamTable, NearestSite) {
    const std::vector<RamSite> sites = {{"Nord", 49.0, 0.0, -1.0f}, {"Sud", 47.0, 0.0, -2.0f}, {"Est", 48.0, 0.5, -3.0f}};
    RamSite nearest;
    ASSERT_TRUE(nearestRamSite(sites, 48.0, 0.0, nearest));
    EXPECT_EQ(nearest.name, "Est");
    // Nord and Sud both 1 degree away: the first listed wins.
    ASSERT_TRUE(nearestRamSite({sites[1], sites[0]}, 48.0, 0.0, nearest));
    EXPECT_EQ(nearest.name, "Sud");
    ASSERT_TRUE(nearestRamSite({sites[0], sites[1]}, 48.0, 0.0, nearest));
    EXPECT_EQ(nearest.name, "Nord");
    EXPECT_FLOAT_EQ(nearest.zhRef, -1.0f);
    EXPECT_FALSE(nearestRamSite({}, 48.0, 0.0, nearest));
}

TEST(RamTable, ShippedTable) {
    const std::string path = ramFilePath(ABYSTO_BINARY_DIR);
    std::vector<RamSite> sites;
    bool ok = false;
    const Captured c = captureStreams([&] { ok = loadRamAtStartup(path, sites); });
    ASSERT_TRUE(ok) << c.err;
    EXPECT_EQ(c.out, "290 sites RAM chargés.\n");
    RamSite nearest;
    ASSERT_TRUE(nearestRamSite(sites, 48.39, -4.48, nearest));
    EXPECT_EQ(nearest.name, "Brest");
    EXPECT_FLOAT_EQ(nearest.zhRef, -3.635f);
    ASSERT_TRUE(nearestRamSite(sites, 48.64, -2.03, nearest));
    EXPECT_EQ(nearest.name, "Saint-Malo");
    EXPECT_FLOAT_EQ(nearest.zhRef, -6.289f);
    for (const RamSite& s : sites) EXPECT_LT(s.zhRef, 0.0f) << s.name;

    std::vector<RamSite> none;
    const Captured missing = captureStreams([&] { loadRamAtStartup("/nulle/part/RAM.csv", none); });
    EXPECT_EQ(missing.err, "Impossible d'ouvrir /nulle/part/RAM.csv\n"
                           "Impossible de charger les données RAM depuis /nulle/part/RAM.csv\n");
}

TEST(RamTable, SharedExtracts) {
    // The Channel extracts separated by semicolons fail on the header.
    for (const char* name : {"rivages_RAM_extract_semicolon_utf8bom.csv", "rivages_RAM_extract_semicolon_utf8bom_crlf.csv",
                             "RAM_2020.dbf", "RAM_2020.shp"}) {
        const Load l = load(kSharedRam + name);
        EXPECT_FALSE(l.ok) << name;
        EXPECT_EQ(l.log.err, "Colonnes attendues introuvables dans " + kSharedRam + name + "\n");
    }

    // Tab-separated with decimal commas and Mac Roman names: every row with a ZH_Ref, right values.
    const Load mac = load(kSharedRam + "rivages_RAM_extract_tab_decimalcomma_macroman.txt");
    ASSERT_TRUE(mac.ok);
    ASSERT_EQ(mac.sites.size(), 31u);
    EXPECT_DOUBLE_EQ(mac.sites.front().latitude, 48.78333333);
    EXPECT_DOUBLE_EQ(mac.sites.front().longitude, -3.1);
    EXPECT_FLOAT_EQ(mac.sites.front().zhRef, -5.469f);
    EXPECT_EQ(mac.sites.back().name, "Fecamp");
    EXPECT_FLOAT_EQ(mac.sites.back().zhRef, -4.435f);

    // The full table as converted from Shom's file: the shipped one.
    const Load full = load(kSharedRam + "RAM_2020_from_dbf.tsv");
    ASSERT_TRUE(full.ok);
    EXPECT_EQ(full.sites.size(), 290u);
}
