// An update in the running program (its 1440 x 810 window): offered over the start screen, downloaded
// with its progress shown, and installed with its arguments as the program ends.
#include "tests/support/gui_driver.h"
#include "tests/support/screen_reading.h"
#include "tests/update/update_fixture.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

TEST(UpdateInTheProgram, OfferedDownloadedInstalledAndTheProgramEnds) {
    TempDir home;
    const fs::path recorded = home / "arguments.txt";
    const std::string installer = recordingInstaller(recorded.string(), 300 * 1024);
    UpdateServer server(manifestFor("abysto-1.1.0-linux-x64.run", installer, "1.1.0"), installer,
                        {"--update-rate", "100000"});
    ASSERT_TRUE(server.devstack->started());

    RunningProgram program = startProgram(
        ABYSTO_BINARY_DIR "/abysto", {},
        {{"LOCALAPPDATA", home.str()}, {"ABYSTO_UPDATE_URL", server.devstack->url()},
         {"ABYSTO_TILE_SERVER", closedPortUrl()}, {"ABYSTO_AUTH_URL", closedPortUrl()}},
        home / "sortie.txt");
    const std::string window = waitForWindow("Abysto", 20s);
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(server.devstack->waitForOutput("UPDATE GET /v1/update/linux-x64 -> 200", 30000));
    std::this_thread::sleep_for(1500ms);

    ASSERT_TRUE(clickAt(window, 558, 551));  // "Mettre à jour"
    std::this_thread::sleep_for(1200ms);
    const fs::path shot = fs::path(ABYSTO_BINARY_DIR) / "Testing/update-telechargement.png";
    fs::create_directories(shot.parent_path());
    ASSERT_TRUE(captureScreen(shot));
    // The progress bar's fill.
    EXPECT_GT(countNear(loadScreen(shot), {230, 179, 0}, 8, {460, 228, 973, 581}), 100)
        << "pas de barre de progression";

    const fs::path downloaded = home / "Abysto/updates/abysto-1.1.0-linux-x64.run";
    for (int i = 0; i < 200 && !fs::exists(downloaded); ++i) std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(fs::exists(downloaded));
    std::this_thread::sleep_for(1s);
    ASSERT_TRUE(clickAt(window, 573, 405));  // "Installer maintenant"
    EXPECT_EQ(waitForExit(program, 30s), 0) << readFile(home / "sortie.txt");
    EXPECT_EQ(textOnceWritten(recorded), "/SILENT\n/NOCANCEL\n/NORESTART\n/RELAUNCH=1\n");
}
