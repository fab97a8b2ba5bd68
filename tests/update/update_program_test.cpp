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

    RunningProgram app(home.path, {}, {{"ABYSTO_UPDATE_URL", server.devstack->url()}});
    ASSERT_TRUE(app.ready(""));
    ASSERT_TRUE(server.devstack->waitForOutput("UPDATE GET /v1/update/linux-x64 -> 200", 30000));
    std::this_thread::sleep_for(1500ms);

    ASSERT_TRUE(app.click(558, 551));  // "Mettre à jour"
    const auto barFilled = [] {
        return countNear(grabScreen("mise-a-jour"), {230, 179, 0}, 8, {460, 228, 973, 581}) > 100;
    };
    EXPECT_TRUE(waitUntil(barFilled, 2s)) << "pas de barre de progression";
    const fs::path downloaded = home / "Abysto/updates/abysto-1.1.0-linux-x64.run";
    ASSERT_TRUE(waitUntil([&] { return fs::exists(downloaded); }, 20s));
    std::this_thread::sleep_for(1s);
    ASSERT_TRUE(app.click(573, 405));  // "Installer maintenant"
    EXPECT_EQ(app.exitCode(), 0) << app.output();
    EXPECT_EQ(textOnceWritten(recorded), "/SILENT\n/NOCANCEL\n/NORESTART\n/RELAUNCH=1\n");
}
