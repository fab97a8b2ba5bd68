// Runs the built program the way a user would and reads its log.
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

std::string ascTile(int gx, int gy) {
    std::string text = "ncols 2\nnrows 2\nxllcorner " + std::to_string(gx * 1000) + "\nyllcorner " +
                       std::to_string((gy - 1) * 1000) + "\ncellsize 1\nNODATA_value -99999\n1.5 2.5\n-3.25 4\n";
    return text;
}

} // namespace

TEST(Startup, LogsConfigurationAndLocalTiles) {
    TempDir home;
    const fs::path tiles = home / "Abysto/data/litto3d";
    writeFile(tiles / "LITTO3D_FRA_0145_6839_MNT1M_2021_LAMB93_RGF93_IGN69.asc", ascTile(145, 6839));
    writeFile(tiles / "nord" / "LITTO3D_FRA_0146_6839_MNT1M_2021_LAMB93_RGF93_IGN69.asc", ascTile(146, 6839));

    const ProcessResult run = runProcess(ABYSTO_BINARY_DIR "/abysto", {},
                                         {{"LOCALAPPDATA", home.str()}, {"HOME", home.str()},
                                          {"ABYSTO_TILE_SERVER", "http://127.0.0.1:9"}});
    EXPECT_EQ(run.exitCode, 0) << run.output;

    const std::string log = readFile(home / "Abysto/logs/abysto.log");
    EXPECT_EQ(log.rfind("\n===== Abysto 1.0.2 -- ", 0), 0u) << log;
    EXPECT_NE(log.find("Serveur de dalles : http://127.0.0.1:9  [ABYSTO_TILE_SERVER]\n"), std::string::npos) << log;
    EXPECT_NE(log.find("\n2 dalle(s) disponible(s) au total.\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("Aucune dalle"), std::string::npos);
    EXPECT_TRUE(fs::exists(home / "Abysto/settings.json"));
}

TEST(Startup, NoTileSaysSo) {
    TempDir home;
    const ProcessResult run = runProcess(ABYSTO_BINARY_DIR "/abysto", {}, {{"LOCALAPPDATA", home.str()}});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const std::string log = readFile(home / "Abysto/logs/abysto.log");
    EXPECT_NE(log.find("Aucune dalle pour l'instant (connexion requise ?).\n0 dalle(s) disponible(s) au total.\n"),
              std::string::npos)
        << log;
}

// The first cycle on tiles named on the command line: merge, describe, mesh, end.
TEST(Startup, OpensTilesFromTheCommandLine) {
    TempDir home;
    const fs::path tiles = home / "tuiles";
    const ProcessResult made =
        runProcess(ABYSTO_BINARY_DIR "/make-tiles", {tiles.string(), "145", "6839", "146", "6839"});
    ASSERT_EQ(made.exitCode, 0) << made.output;
    const std::string west = (tiles / "LITTO3D_FRA_0145_6839_MNT1M_2021_LAMB93_RGF93_IGN69.asc").string();
    const std::string east = (tiles / "LITTO3D_FRA_0146_6839_MNT1M_2021_LAMB93_RGF93_IGN69.asc").string();

    const ProcessResult run = runProcess(ABYSTO_BINARY_DIR "/abysto", {"--open", west, east},
                                         {{"LOCALAPPDATA", home.str()}, {"ABYSTO_TILE_SERVER", "http://127.0.0.1:9"}});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const std::string log = readFile(home / "Abysto/logs/abysto.log");
    for (const char* line : {"\n2 dalle(s) sélectionnée(s) à fusionner.\n2 dalle(s) fusionnée(s) en un seul raster.\n"
                             "Nombre de bandes : 1\nTaille de l'image : 2000 x 1000\n",
                             "\nTransform : 145000 1 0 6.839e+06 0 -1 \n=== Emprise geographique ===\n",
                             "\nWGS84 centre : lat=48.4099 lon=-4.49748\n", "\nNODATA détecté : -99999\n",
                             "\nNombre de vertices : 2000000\nNombre de triangles : "})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    EXPECT_EQ(log.find("Aucun vertex"), std::string::npos) << log;
}

TEST(Startup, OpeningSomethingElseThanATileLeavesTheViewEmpty) {
    TempDir home;
    writeFile(home / "notes.asc", "pas une grille\n");
    const ProcessResult run = runProcess(ABYSTO_BINARY_DIR "/abysto", {"--open", (home / "notes.asc").string()},
                                         {{"LOCALAPPDATA", home.str()}, {"ABYSTO_TILE_SERVER", "http://127.0.0.1:9"}});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const std::string log = readFile(home / "Abysto/logs/abysto.log");
    EXPECT_NE(log.find("\n1 dalle(s) sélectionnée(s) à fusionner.\n"), std::string::npos) << log;
    EXPECT_NE(log.find("\nErreur lors de la fusion des 1 dalle(s).\nAucun dataset ouvert.\n"), std::string::npos) << log;
    EXPECT_NE(log.find("\nNombre de vertices : 0\nNombre de triangles : 0\nAucun vertex à afficher.\n"),
              std::string::npos)
        << log;
}
