#include "terrain/tile_info.h"
#include "tests/support/log_capture.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The error lines of a scan, sorted: folders list their entries in no set order.
std::vector<std::string> sortedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

} // namespace

TEST(TileScan, WhichFilesAreTiles) {
    const std::string noCoordinates = "Impossible d'extraire les coordonnées de : ";
    const struct { std::vector<std::string> files; size_t tiles; std::vector<std::string> errors; } cases[] = {
        // An upper-case extension, a download in progress, names without MNT1M (silent).
        {{"LITTO3D_FRA_0123_6789_MNT1M_a.ASC", "LITTO3D_FRA_0124_6789_MNT1M_a.asc.part", "notes.asc", "a.asc"}, 0, {}},
        // Which names give no coordinates: CoordinatesFromNames.
        {{"x_MNT1M_y.asc", "LITTO3D_FRA_123_6789_MNT1M_a.asc"},
         0,
         {noCoordinates + "LITTO3D_FRA_123_6789_MNT1M_a.asc", noCoordinates + "x_MNT1M_y.asc"}},
        // Duplicates in other folders, a prefix, a name that is not valid UTF-8: all kept.
        {{"a/prefix_LITTO3D_FRA_0001_0002_MNT1M_x.asc", "b/LITTO3D_FRA_0001_0002_MNT1M_x.asc",
          "c/LITTO3D_FRA_0003_0004_MNT1M_\xff\xfe.asc"},
         3,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files.empty() ? "" : c.files[0]);
        TempDir dir;
        for (const std::string& file : c.files) writeFile(dir / file, "");
        std::vector<TileInfo> tiles;
        const Captured log = captureStreams([&] { tiles = scanLocalTiles(dir.str()); });
        EXPECT_EQ(tiles.size(), c.tiles);
        EXPECT_EQ(sortedLines(log.err), c.errors);
    }
}

TEST(TileScan, ATileInASubfolder) {
    TempDir dir;
    writeFile(dir / "sub" / "LITTO3D_FRA_0123_6789_MNT1M_extra.asc", "");
    fs::create_directories(dir / "LITTO3D_FRA_0125_6789_MNT1M_dir.asc");  // a folder, not a file
    std::vector<TileInfo> tiles;
    const Captured log = captureStreams([&] { tiles = scanLocalTiles(dir.str()); });
    ASSERT_EQ(tiles.size(), 1u);
    const TileInfo& t = tiles[0];
    EXPECT_EQ(tileKey(t.gx, t.gy), "123_6789");
    EXPECT_EQ(t.localPath, (dir / "sub" / "LITTO3D_FRA_0123_6789_MNT1M_extra.asc").string());
    EXPECT_TRUE(t.isLocal);
    EXPECT_EQ(log.err, "");

    const Captured missing = captureStreams([&] { EXPECT_TRUE(scanLocalTiles((dir / "absent").string()).empty()); });
    EXPECT_EQ(missing.err, "Le répertoire des données n'existe pas: " + (dir / "absent").string() + "\n");
}

TEST(TileScan, UnreadableSubfoldersAreSkippedAndTheRestScanned) {
    TempDir dir;
    // Folders are listed in no set order: locked ones among readable ones,
    // so that some are met before the last tiles.
    const std::vector<std::string> readable = {"a_ok", "f_ok", "m_ok", "t_ok"};
    for (size_t i = 0; i < readable.size(); ++i)
        writeFile(dir / readable[i] / ("LITTO3D_FRA_000" + std::to_string(i) + "_0002_MNT1M_x.asc"), "");
    fs::permissions(dir.path, fs::perms::all);
    for (const std::string& name : readable) fs::permissions(dir / name, fs::perms::all);
    for (const char* locked : {"c_locked", "p_locked"}) {
        fs::create_directories(dir / locked);
        fs::permissions(dir / locked, fs::perms::none);
    }

    const ProcessResult run = runProcess("/proc/self/exe",
                                         {"--gtest_filter=TileScan.DISABLED_ScanAsAnOrdinaryUser",
                                          "--gtest_also_run_disabled_tests"},
                                         {{"ABYSTO_SCAN_DIR", dir.str()}});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(countOf(run.output, "Dalles : 4\n"), 1u) << run.output;
    // One line for each locked folder, naming it.
    const std::string unreadable = "Dossier de dalles illisible, ignoré : ";
    EXPECT_EQ(countOf(run.output, unreadable), 2u) << run.output;
    for (const char* locked : {"c_locked", "p_locked"})
        EXPECT_EQ(countOf(run.output, unreadable + (dir / locked).string() + " ("), 1u) << run.output;
}

// Run in a child process by the test above, as an ordinary user (root reads
// every folder), root again after to remove its temporary folder.
TEST(TileScan, DISABLED_ScanAsAnOrdinaryUser) {
    const uid_t user = geteuid();
    ASSERT_TRUE(user != 0 || seteuid(65534) == 0);
    const size_t found = scanLocalTiles(std::getenv("ABYSTO_SCAN_DIR")).size();
    ASSERT_EQ(seteuid(user), 0);
    std::cout << "Dalles : " << found << std::endl;
}

TEST(TileScan, CoordinatesFromNames) {
    // The last name, far longer than any file system allows, once made the pattern matcher run out of stack.
    for (const auto& [name, gx, gy] : std::vector<std::tuple<std::string, int32_t, int32_t>>{
             {"LITTO3D_FRA_0934_6315_MNT1M_RGF93LA93_IGN69.asc", 934, 6315},
             {"LITTO3D_FRA_LITTO3D_FRA_0001_0002_MNT1M_", 1, 2},
             {"LITTO3D__0934_6315_MNT1M_", 0, 0},
             {"LITTO3D_FRA_934_6315_MNT1M_", 0, 0},
             {"LITTO3D_FRA_0934_6315_MNT1M", 0, 0},
             {"LITTO3D_FRA_0934_63a5_MNT1M_", 0, 0},
             {"LITTO3D_" + std::string(200000, 'A'), 0, 0}}) {
        SCOPED_TRACE(name.substr(0, 60));
        int32_t x = 0, y = 0;
        EXPECT_EQ(tileCoordinatesFromName(name, x, y), gx != 0);
        EXPECT_EQ(std::pair(x, y), std::pair(gx, gy));
    }
}
