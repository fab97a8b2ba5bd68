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
