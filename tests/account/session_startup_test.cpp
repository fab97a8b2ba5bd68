// The real program restores the saved session at start-up and keeps the
// refreshed token pair for the next start.
#include "account/session_file.h"
#include "tests/account/auth_standin.h"
#include "tests/support/gui_driver.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

TEST(SessionAtStartup, RestoredAndTheNewTokenPairSaved) {
    AuthStandIn backend;
    TempDir home;
    const fs::path file = home / "Abysto/session.json";
    fs::create_directories(file.parent_path());
    ASSERT_TRUE(login("profil@abysto.test", "secret1").signedIn);
    ASSERT_TRUE(saveSession(file.string()));
    const std::string before = readFile(file);

    const fs::path log = home / "Abysto/logs/abysto.log";
    RunningProgram program = startProgram(
        ABYSTO_BINARY_DIR "/abysto", {},
        {{"LOCALAPPDATA", home.str()}, {"ABYSTO_AUTH_URL", backend.stack->url()}, {"ABYSTO_TILE_SERVER", closedPortUrl()},
         {"ABYSTO_WMS_URL", closedPortUrl()}, {"ABYSTO_TIDE_URL", closedPortUrl()}},
        home / "sortie.txt");
    EXPECT_TRUE(waitForText(log, "\nSession restauree pour profil@abysto.test\n", 60s)) << readFile(log);
    EXPECT_TRUE(requestClose(waitForWindow("Abysto", 20s)));
    EXPECT_EQ(waitForExit(program, 30s), 0) << readFile(home / "sortie.txt");
    EXPECT_NE(readFile(file), before) << "the new token pair is saved";
    const std::string refreshToken = nlohmann::json::parse(readFile(file)).at("refresh_token");
    EXPECT_EQ(readFile(log).find(refreshToken), std::string::npos);
    EXPECT_EQ(backend.stack->count(kRefreshPath), 1);
}
