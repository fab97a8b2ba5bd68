// The saved session: written private and whole, kept current through token
// refreshes, refused when stale, deleted at sign-out.
#include "account/session_file.h"
#include "tests/account/auth_standin.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

namespace fs = std::filesystem;

TEST(SessionFile, NothingToRefreshMakesNoRequest) {
    AuthStandIn backend;
    const fs::path file = backend.dir / "session.json";
    EXPECT_FALSE(refreshSession());
    EXPECT_FALSE(saveSession(file.string()));  // signed out: nothing written
    EXPECT_FALSE(fs::exists(file));
    for (const char* content : {"", R"({"access_token": "a", "email": "x@y.fr"})",
                                R"({"refresh_token": ""})", "pas du JSON", R"({"refresh_token": 12})"}) {
        if (*content) writeFile(file, content);
        EXPECT_FALSE(restoreSession(file.string())) << content;
    }
    EXPECT_EQ(backend.count(kRefreshPath), 0);
}

TEST(SessionFile, FollowsEveryRefreshAndIsRefusedOnceStale) {
    AuthStandIn backend;
    const fs::path file = backend.dir / "session.json";
    const Captured streams = captureStreams([&] {
        ASSERT_TRUE(login("marin@abysto.test", "pa\"ss\\mot").signedIn);
        ASSERT_TRUE(saveSession(file.string()));
    });
    EXPECT_NE(streams.out.find("Session sauvegardee.\n"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    const std::string stale = readFile(file);

    // Two refreshes within the run (the restore, a 401 during a download):
    // the next start presents the newest token and is accepted.
    std::string log;
    for (int i = 0; i < 2; ++i) {
        const Captured refreshed = captureStreams([] { ASSERT_TRUE(refreshSession()); });
        log += refreshed.out + refreshed.err;
        const nlohmann::json saved = nlohmann::json::parse(readFile(file));
        EXPECT_EQ(saved.at("refresh_token"), currentSession().refreshToken);
        EXPECT_EQ(saved.at("access_token"), currentSession().accessToken);
        EXPECT_EQ(saved.at("username"), "Marin");
    }
    const Captured restored = captureStreams([&] { EXPECT_TRUE(restoreSession(file.string())); });
    EXPECT_EQ(restored.out, "Session restauree pour marin@abysto.test\n");
    log += streams.out + streams.err + restored.out + restored.err;
    const AccountSession session = currentSession();
    for (const std::string& secret : {session.accessToken, session.refreshToken, std::string("pa\"ss\\mot")})
        EXPECT_EQ(log.find(secret), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(file.string() + ".part"));

    // A token the backend has moved past: signed out, the file left as it was.
    writeFile(file, stale);
    EXPECT_FALSE(restoreSession(file.string()));
    EXPECT_FALSE(currentSession().signedIn);
    EXPECT_TRUE(currentSession().accessToken.empty());
    EXPECT_EQ(readFile(file), stale);

    const Captured out = captureStreams([] { logout(); });
    EXPECT_EQ(out.out, "Deconnexion.\n");
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(currentSession().refreshToken.empty());
}
