// Runs the built program the way a user would and reads its log.
#include "tests/support/devstack_process.h"
#include "tests/support/grid_files.h"
#include "tests/support/gui_driver.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <memory>
#include <thread>

using namespace std::chrono_literals;

namespace fs = std::filesystem;

namespace {

// Starts the program without tiles to open, waits for its start screen and
// closes the window there, as a user would; the exit code.
int runToTheStartScreen(const TempDir& home, const std::map<std::string, std::string>& env) {
    RunningProgram program = startProgram(ABYSTO_BINARY_DIR "/abysto", {}, env, home / "sortie.txt");
    const std::string window = waitForWindow("Abysto", 20s);
    EXPECT_TRUE(waitForText(home / "Abysto/logs/abysto.log", " dalle(s) disponible(s) au total.", 30s));
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(requestClose(window));
    return waitForExit(program, 30s);
}

} // namespace

TEST(Startup, LogsConfigurationAndLocalTiles) {
    TempDir home;
    const fs::path tiles = home / "Abysto/data/litto3d";
    writeFile(tiles / "LITTO3D_FRA_0145_6839_MNT1M_2021_LAMB93_RGF93_IGN69.asc", ascGrid(2, 2, 145000, 6838000, "-99999", {"1.5 2.5", "-3.25 4"}));
    writeFile(tiles / "nord" / "LITTO3D_FRA_0146_6839_MNT1M_2021_LAMB93_RGF93_IGN69.asc", ascGrid(2, 2, 146000, 6838000, "-99999", {"1.5 2.5", "-3.25 4"}));

    EXPECT_EQ(runToTheStartScreen(home, {{"LOCALAPPDATA", home.str()}, {"HOME", home.str()},
                                         {"ABYSTO_TILE_SERVER", "http://127.0.0.1:9"}}),
              0);

    const std::string log = readFile(home / "Abysto/logs/abysto.log");
    EXPECT_EQ(log.rfind("\n===== Abysto 1.0.2 -- ", 0), 0u) << log;
    EXPECT_NE(log.find("Serveur de dalles : http://127.0.0.1:9  [ABYSTO_TILE_SERVER]\n"), std::string::npos) << log;
    EXPECT_NE(log.find("\n2 dalle(s) disponible(s) au total.\n"), std::string::npos) << log;
    // The catalogue step's own line after the synchronisation's.
    EXPECT_NE(log.find("\nCatalogue indisponible : Problème de connexion\nCatalogue indisponible : Problème de connexion\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("Aucune dalle pour"), std::string::npos);
    EXPECT_NE(log.find("\nAucune dalle sélectionnée, fermeture.\n"), std::string::npos) << log;
    EXPECT_TRUE(fs::exists(home / "Abysto/settings.json"));
}

// Without any tile the program says so and goes on to its start screen; the
// update check runs at the end of start-up for this build's platform and is
// waited for before the end.
TEST(Startup, NoTileSaysSoAndTheUpdateCheckIsWaitedFor) {
    TempDir home;
    DevstackProcess updates({"--update-fault", "unavailable"});
    ASSERT_TRUE(updates.started());
    EXPECT_EQ(runToTheStartScreen(home, {{"LOCALAPPDATA", home.str()}, {"ABYSTO_UPDATE_URL", updates.url()},
                                         {"ABYSTO_TILE_SERVER", closedPortUrl()}}),
              0);
    const std::string log = readFile(home / "Abysto/logs/abysto.log");
    const size_t none = log.find("\nAucune dalle pour l'instant (connexion requise ?).\n");
    const size_t count = log.find("\n0 dalle(s) disponible(s) au total.\n");
    ASSERT_NE(none, std::string::npos) << log;
    ASSERT_NE(count, std::string::npos) << log;
    EXPECT_LT(none, count);
    EXPECT_NE(log.find("\nAucune dalle sélectionnée, fermeture.\n"), std::string::npos) << log;
    EXPECT_NE(log.find("[update] verification sans suite : le serveur de mise à jour est indisponible"),
              std::string::npos)
        << log;
    EXPECT_TRUE(updates.waitForOutput("UPDATE GET /v1/update/linux-x64 -> 503"));
}

namespace {

// Two generated tiles near Brest, and the stand-in drawing their orthophoto.
struct OpenedZone : testing::Test {
    TempDir home;
    fs::path tiles = home / "tuiles";
    std::string west, east;
    std::unique_ptr<DevstackProcess> services;
    RunningProgram program;
    fs::path log = home / "Abysto/logs/abysto.log";

    void SetUp() override {
        const std::vector<std::string> made = makeTiles(tiles, {{145, 6839}, {146, 6839}});
        ASSERT_EQ(made.size(), 2u);
        west = made[0];
        east = made[1];
        services = std::make_unique<DevstackProcess>(std::vector<std::string>{"--tiles", tiles.string()});
        ASSERT_TRUE(services->started());
    }
    void TearDown() override { killProgram(program); }

    void start(const std::vector<std::string>& files) {
        std::vector<std::string> args = {"--open"};
        args.insert(args.end(), files.begin(), files.end());
        program = startProgram(ABYSTO_BINARY_DIR "/abysto", args,
                               {{"LOCALAPPDATA", home.str()}, {"ABYSTO_TILE_SERVER", "http://127.0.0.1:9"},
                                {"ABYSTO_WMS_URL", services->url()}, {"ABYSTO_TIDE_URL", services->url()}},
                               home / "sortie.txt");
    }
};

} // namespace

// The first cycle on tiles named on the command line: merge, describe, mesh,
// satellite texture, then the view until Escape, then the start screen until the window closes.
TEST_F(OpenedZone, ShowsTilesFromTheCommandLineUntilEscape) {
    start({west, east});
    const std::string window = waitForWindow("Abysto", 20s);
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(waitForText(log, "Exagération verticale : x1", 60s)) << readFile(log);
    std::this_thread::sleep_for(1s);  // a few frames of the view
    ASSERT_TRUE(escapeThenClose(window));
    EXPECT_EQ(waitForExit(program, 30s), 0) << readFile(home / "sortie.txt");

    const std::string text = readFile(log);
    // The steps of the cycle in the real log; their wording is the merge's and the mesh's own tests'.
    for (const char* line : {"\n2 dalle(s) sélectionnée(s) à fusionner.\n2 dalle(s) fusionnée(s) en un seul raster.\n",
                             "\n=== Emprise geographique ===\n", "\nNODATA détecté : -99999\n",
                             "\nNombre de vertices : 2000000\nNombre de triangles : ",
                             "\nRécupération de la texture satellite du terrain...\nTexture satellite chargée (1024x"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    EXPECT_EQ(text.find("Aucun vertex"), std::string::npos) << text;
    EXPECT_NE(services->output().find("WMS /wms-r?"), std::string::npos);
}

TEST_F(OpenedZone, ClosingTheWindowEndsTheProgram) {
    start({west});
    const std::string window = waitForWindow("Abysto", 20s);
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(waitForText(log, "Exagération verticale : x1", 60s)) << readFile(log);
    ASSERT_TRUE(requestClose(window));
    EXPECT_EQ(waitForExit(program, 30s), 0) << readFile(home / "sortie.txt");
    EXPECT_EQ(readFile(log).find("Aucune dalle sélectionnée"), std::string::npos);  // no second cycle
}

TEST_F(OpenedZone, NoOrthophotoLeavesTheDepthColours) {
    services.reset();  // nothing listens any more
    program = startProgram(ABYSTO_BINARY_DIR "/abysto", {"--open", west},
                           {{"LOCALAPPDATA", home.str()}, {"ABYSTO_WMS_URL", closedPortUrl()},
                            {"ABYSTO_TIDE_URL", closedPortUrl()}},
                           home / "sortie.txt");
    const std::string window = waitForWindow("Abysto", 20s);
    ASSERT_TRUE(waitForText(log, "Exagération verticale : x1", 60s)) << readFile(log);
    ASSERT_TRUE(escapeThenClose(window));
    EXPECT_EQ(waitForExit(program, 30s), 0);
    const std::string text = readFile(log);
    EXPECT_NE(text.find("\nErreur curl : "), std::string::npos) << text;
    EXPECT_NE(text.find("\nÉchec récupération texture satellite.\n"), std::string::npos) << text;
}

TEST(Startup, OpeningSomethingElseThanATileLeavesTheViewEmpty) {
    TempDir home;
    writeFile(home / "notes.asc", "pas une grille\n");
    RunningProgram program = startProgram(ABYSTO_BINARY_DIR "/abysto", {"--open", (home / "notes.asc").string()},
                                          {{"LOCALAPPDATA", home.str()}, {"ABYSTO_WMS_URL", closedPortUrl()},
                                           {"ABYSTO_TIDE_URL", closedPortUrl()}},
                                          home / "sortie.txt");
    const fs::path log = home / "Abysto/logs/abysto.log";
    const std::string window = waitForWindow("Abysto", 20s);
    ASSERT_TRUE(waitForText(log, "Aucun vertex à afficher.", 30s)) << readFile(log);
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(escapeThenClose(window));
    EXPECT_EQ(waitForExit(program, 30s), 0);
    const std::string text = readFile(log);
    EXPECT_NE(text.find("\n1 dalle(s) sélectionnée(s) à fusionner.\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nErreur lors de la fusion des 1 dalle(s).\nAucun dataset ouvert.\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\nNombre de vertices : 0\nNombre de triangles : 0\nAucun vertex à afficher.\n"),
              std::string::npos)
        << text;
}
