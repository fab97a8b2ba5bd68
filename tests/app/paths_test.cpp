#include "app/paths.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// A user home and an install folder, with the working directory inside the temp folder.
struct MigrationTest : testing::Test {
    TempDir temp;
    fs::path home = temp / "home";
    fs::path exe = temp / "install";
    fs::path work = temp / "work";
    fs::path oldCwd = fs::current_path();

    void SetUp() override {
        useAsUserHome(home);
        fs::create_directories(exe);
        fs::create_directories(work);
        fs::current_path(work);
        resetPathsForTesting();
    }
    void TearDown() override {
        fs::current_path(oldCwd);
        resetPathsForTesting();
    }
    std::string migrate() {
        const Captured c = captureStreams([&] { migrateLegacyData(exe.string()); });
        return c.out + c.err;
    }
};

} // namespace

TEST_F(MigrationTest, PathsLiveUnderLocalAppData) {
    EXPECT_EQ(rootDir(), (home / "Abysto").string());
    EXPECT_EQ(tilesDir(), (home / "Abysto" / "data" / "litto3d").string());
    EXPECT_EQ(sessionFile(), (home / "Abysto" / "session.json").string());
    EXPECT_EQ(uiLayoutFile(), (home / "Abysto" / "imgui.ini").string());
    migrate();
    for (const char* dir : {"cache", "updates", "data/litto3d"}) EXPECT_TRUE(fs::is_directory(home / "Abysto" / dir)) << dir;
    EXPECT_EQ(legacyDir(), exe.string());
}

TEST_F(MigrationTest, WithoutAnyHomeThePathsAreRelative) {
    unsetenv("LOCALAPPDATA");
    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    resetPathsForTesting();
    EXPECT_EQ(tilesDir(), "data/litto3d");
    EXPECT_EQ(sessionFile(), "session.json");
    useAsUserHome(home);
}

TEST_F(MigrationTest, WorkingDirectoryCopyWinsOverExecutableFolder) {
    writeFile(work / "session.json", "cwd");
    writeFile(exe / "session.json", "exe");
    writeFile(exe / "data" / "zone_history.json", "[]");
    writeFile(exe / "imgui.ini", "[Window]");
    const std::string out = migrate();
    EXPECT_EQ(readFile(home / "Abysto" / "session.json"), "cwd");
    EXPECT_FALSE(fs::exists(work / "session.json"));
    EXPECT_EQ(readFile(exe / "session.json"), "exe");
    EXPECT_TRUE(fs::exists(home / "Abysto" / "zone_history.json"));
    EXPECT_TRUE(fs::exists(home / "Abysto" / "imgui.ini"));
    EXPECT_NE(out.find("[chemins] session.json deplace"), std::string::npos) << out;
}

TEST_F(MigrationTest, OldTilesMoveIntoAnEmptyTileFolderAndOldCacheGoes) {
    writeFile(exe / "data" / "litto3d" / "sub" / "a.asc", "tile");
    writeFile(exe / "cache" / "catalog.v1.json", "{}");
    fs::create_directories(home / "Abysto" / "data" / "litto3d");
    const std::string out = migrate();
    EXPECT_TRUE(fs::exists(home / "Abysto" / "data" / "litto3d" / "sub" / "a.asc"));
    EXPECT_FALSE(fs::exists(exe / "data" / "litto3d"));
    EXPECT_FALSE(fs::exists(exe / "cache"));
    EXPECT_NE(out.find("[chemins] dalles deplacees vers " + tilesDir()), std::string::npos) << out;
}

TEST_F(MigrationTest, NonEmptyTileFolderOnlyWarns) {
    writeFile(exe / "data" / "litto3d" / "old.asc", "old");
    writeFile(home / "Abysto" / "data" / "litto3d" / "new.asc", "new");
    const std::string out = migrate();
    EXPECT_EQ(out, "[chemins] des dalles subsistent dans " + (exe / "data" / "litto3d").string() +
                       " ; elles ne sont plus lues. A supprimer a la main.\n");
    EXPECT_TRUE(fs::exists(exe / "data" / "litto3d" / "old.asc"));
    EXPECT_FALSE(fs::exists(home / "Abysto" / "data" / "litto3d" / "old.asc"));
}

TEST_F(MigrationTest, SecondRunIsSilent) {
    writeFile(exe / "tips_dismissed.txt", "1");
    EXPECT_FALSE(migrate().empty());
    // A new process: paths computed again, nothing left to move.
    resetPathsForTesting();
    EXPECT_EQ(migrate(), "");
    // Same process: the body runs once, even if a file shows up again.
    writeFile(exe / "session.json", "{}");
    EXPECT_EQ(migrate(), "");
    EXPECT_TRUE(fs::exists(exe / "session.json"));
}
