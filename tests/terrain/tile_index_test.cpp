#include "terrain/tile_info.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Scan {
    std::vector<TileInfo> tiles;
    std::string errors;
};

Scan scan(const fs::path& dir) {
    testing::internal::CaptureStderr();
    Scan s{scanLocalTiles(dir.string()), ""};
    s.errors = testing::internal::GetCapturedStderr();
    return s;
}

} // namespace

TEST(TileScan, FindsTilesInSubfoldersAndSkipsOthers) {
    TempDir dir;
    writeFile(dir / "sub" / "LITTO3D_FRA_0123_6789_MNT1M_extra.asc", "");
    writeFile(dir / "LITTO3D_FRA_0123_6789_MNT1M_a.ASC", "");       // extension case
    writeFile(dir / "LITTO3D_FRA_0124_6789_MNT1M_a.asc.part", "");  // download in progress
    writeFile(dir / "notes.asc", "");                               // no MNT1M: silent
    writeFile(dir / "a.asc", "");
    fs::create_directories(dir / "LITTO3D_FRA_0125_6789_MNT1M_dir.asc");  // a folder, not a file

    const Scan s = scan(dir.path);
    ASSERT_EQ(s.tiles.size(), 1u);
    const TileInfo& t = s.tiles[0];
    EXPECT_EQ(t.gx, 123);
    EXPECT_EQ(t.gy, 6789);
    EXPECT_EQ(t.localPath, (dir / "sub" / "LITTO3D_FRA_0123_6789_MNT1M_extra.asc").string());
    EXPECT_TRUE(t.isLocal);
    EXPECT_FALSE(t.selected || t.onServer);
    EXPECT_EQ(t.size, 0);
    EXPECT_EQ(s.errors, "");
    EXPECT_EQ(tileKey(t.gx, t.gy), "123_6789");
}

TEST(TileScan, NamesOutsideThePatternAreReported) {
    TempDir dir;
    writeFile(dir / "x_MNT1M_y.asc", "");
    writeFile(dir / "LITTO3D_Fra_0123_6789_MNT1M_a.asc", "");
    writeFile(dir / "LITTO3D_FRA_123_6789_MNT1M_a.asc", "");
    const Scan s = scan(dir.path);
    EXPECT_TRUE(s.tiles.empty());
    EXPECT_NE(s.errors.find("Impossible d'extraire les coordonnées de : x_MNT1M_y.asc\n"), std::string::npos);
    EXPECT_NE(s.errors.find("Impossible d'extraire les coordonnées de : LITTO3D_Fra_0123_6789_MNT1M_a.asc\n"),
              std::string::npos);
    EXPECT_EQ(std::count(s.errors.begin(), s.errors.end(), '\n'), 3);
}

TEST(TileScan, DuplicatesAndOddNamesAreKept) {
    TempDir dir;
    writeFile(dir / "a" / "prefix_LITTO3D_FRA_0001_0002_MNT1M_x.asc", "");
    writeFile(dir / "b" / "LITTO3D_FRA_0001_0002_MNT1M_x.asc", "");
    writeFile(dir / "c" / "LITTO3D_FRA_0003_0004_MNT1M_\xff\xfe.asc", "");  // not valid UTF-8
    const Scan s = scan(dir.path);
    EXPECT_EQ(s.tiles.size(), 3u);
    EXPECT_EQ(s.errors, "");
}

TEST(TileScan, MissingOrEmptyFolder) {
    TempDir dir;
    EXPECT_TRUE(scan(dir.path).tiles.empty());
    EXPECT_EQ(scan(dir.path).errors, "");
    const Scan missing = scan(dir / "absent");
    EXPECT_TRUE(missing.tiles.empty());
    EXPECT_EQ(missing.errors, "Le répertoire des données n'existe pas: " + (dir / "absent").string() + "\n");
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

    // Root reads every folder: scan as an ordinary user in a child process.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        dup2(fds[1], STDERR_FILENO);
        if (geteuid() == 0 && setuid(65534) != 0) _exit(100);
        _exit(static_cast<int>(scanLocalTiles(dir.str()).size()));
    }
    close(fds[1]);
    std::string errors;
    char buf[512];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) errors.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 100) << "setuid failed";
    EXPECT_EQ(WEXITSTATUS(status), 4) << errors;
    // One line for each locked folder, naming it.
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2) << errors;
    for (const char* locked : {"c_locked", "p_locked"})
        EXPECT_NE(errors.find("Dossier de dalles illisible, ignoré : " + (dir / locked).string() + " ("),
                  std::string::npos)
            << errors;
}

TEST(TileScan, CoordinatesFromNames) {
    struct Case {
        std::string name;
        bool matches;
        int gx, gy;
    };
    const std::vector<Case> cases = {
        {"LITTO3D_FRA_0934_6315_MNT1M_RGF93LA93_IGN69.asc", true, 934, 6315},
        {"copie de LITTO3D_GLP_0650_1780_MNT1M_UTM20N.asc", true, 650, 1780},
        {"LITTO3D_FRA_LITTO3D_FRA_0001_0002_MNT1M_", true, 1, 2},
        {"LITTO3D__0934_6315_MNT1M_", false, 0, 0},
        {"LITTO3D_FRA_934_6315_MNT1M_", false, 0, 0},
        {"LITTO3D_FRA_0934_6315_MNT1M", false, 0, 0},
        {"LITTO3D_FRA_0934_63a5_MNT1M_", false, 0, 0},
        // A name far longer than any file system allows, once made the
        // pattern matcher run out of stack.
        {"LITTO3D_" + std::string(200000, 'A'), false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.substr(0, 60));
        int32_t gx = 0, gy = 0;
        EXPECT_EQ(tileCoordinatesFromName(c.name, gx, gy), c.matches);
        EXPECT_EQ(gx, c.gx);
        EXPECT_EQ(gy, c.gy);
    }
}
