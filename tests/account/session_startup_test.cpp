// The real program restores the saved session at start-up and keeps the
// refreshed token pair for the next start.
#include "account/session_file.h"
#include "tests/account/auth_standin.h"
#include "tests/support/gui_driver.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace fs = std::filesystem;

TEST(SessionAtStartup, RestoredAndTheNewTokenPairSaved) {
    AuthStandIn backend;
    TempDir home;
    const fs::path file = home / "Abysto/session.json";
    fs::create_directories(file.parent_path());
    ASSERT_TRUE(login("profil@abysto.test", "secret1").signedIn);
    ASSERT_TRUE(saveSession(file.string()));
    const std::string before = readFile(file);

    RunningProgram app(home.path, {}, {{"ABYSTO_AUTH_URL", backend.stack->url()}});
    EXPECT_TRUE(app.ready("\nSession restauree pour profil@abysto.test\n")) << app.logText();
    EXPECT_TRUE(app.close());
    EXPECT_EQ(app.exitCode(), 0) << app.output();
    EXPECT_NE(readFile(file), before) << "the new token pair is saved";
    const std::string refreshToken = nlohmann::json::parse(readFile(file)).at("refresh_token");
    EXPECT_EQ(app.logText().find(refreshToken), std::string::npos);
    EXPECT_EQ(backend.stack->count(kRefreshPath), 1);
}
