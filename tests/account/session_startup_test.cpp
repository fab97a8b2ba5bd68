// The real program restores the saved session at start-up, run after run,
// and starts signed out when the saved token has gone stale.
#include "account/session_file.h"
#include "tests/account/auth_standin.h"
#include "tests/support/grid_files.h"
#include "tests/support/gui_driver.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// Starts the program on one small tile, waits for the view, closes the window; the run's log.
std::string runOnce(const TempDir& home, const AuthStandIn& backend) {
    const fs::path log = home / "Abysto/logs/abysto.log";
    fs::remove(log);
    RunningProgram program = startProgram(
        ABYSTO_BINARY_DIR "/abysto", {"--open", (home / "tuile.asc").string()},
        {{"LOCALAPPDATA", home.str()}, {"ABYSTO_AUTH_URL", backend.stack->url()}, {"ABYSTO_TILE_SERVER", closedPortUrl()},
         {"ABYSTO_WMS_URL", closedPortUrl()}, {"ABYSTO_TIDE_URL", closedPortUrl()}},
        home / "sortie.txt");
    const std::string window = waitForWindow("Abysto", 20s);
    EXPECT_TRUE(waitForText(log, "Exagération verticale : x1", 60s)) << readFile(log);
    EXPECT_TRUE(requestClose(window));
    EXPECT_EQ(waitForExit(program, 30s), 0) << readFile(home / "sortie.txt");
    return readFile(log);
}

} // namespace

TEST(SessionAtStartup, RestoredOnEveryStartUntilTheTokenIsStale) {
    // Without the grace for a retired parent, each start must present the newest token.
    AuthStandIn backend({"--refresh-reuse-interval", "0"});
    TempDir home;
    writeFile(home / "tuile.asc", ascGrid(2, 2, 145000, 6838000, "-99999", {"1.5 2.5", "-3.25 4"}));
    const fs::path file = home / "Abysto/session.json";
    fs::create_directories(file.parent_path());
    ASSERT_TRUE(login("profil@abysto.test", "secret1").signedIn);
    ASSERT_TRUE(saveSession(file.string()));
    const std::string stale = readFile(file);

    for (int run = 1; run <= 2; ++run) {
        const std::string before = readFile(file);
        const std::string log = runOnce(home, backend);
        EXPECT_NE(log.find("\nSession restauree pour profil@abysto.test\n"), std::string::npos) << run << log;
        EXPECT_NE(readFile(file), before) << "the new token pair is saved";
        EXPECT_EQ(log.find(nlohmann::json::parse(readFile(file)).at("refresh_token").get<std::string>()),
                  std::string::npos);
    }
    EXPECT_EQ(backend.count(kRefreshPath), 2);

    writeFile(file, stale);
    const std::string log = runOnce(home, backend);
    EXPECT_EQ(log.find("Session restauree"), std::string::npos) << log;
    EXPECT_EQ(readFile(file), stale);
}
