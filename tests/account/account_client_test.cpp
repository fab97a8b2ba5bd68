// Sign-in and sign-up against the account stand-in, over HTTP, and the saved
// session: written private and whole, kept current through token refreshes,
// refused when stale, deleted at sign-out.
#include "account/session_file.h"
#include "tests/account/auth_standin.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace fs = std::filesystem;

TEST(AccountClient, SignInAndSignUp) {
    const struct {
        bool signUp;
        const char* email;
        const char* password;
        const char* username;
        const char* lastError;
        std::string said;  // the start of the one line said: on the output if all is well, else on the errors
        std::vector<std::string> args = {};
        bool offline = false;
        const char* key = kDefaultAuthAnonKey;
    } rows[] = {
        // Quote and backslash survive the JSON body; the name comes from the metadata, else the profile.
        {false, "marin@abysto.test", "pa\"ss\\mot", "Marin", "", "Connexion réussie : marin@abysto.test\n"},
        {false, "profil@abysto.test", "secret1", "Capitaine", "", "Connexion réussie : profil@abysto.test\n"},
        {false, "anonyme@abysto.test", "secret1", "", "", "Connexion réussie : anonyme@abysto.test\n"},
        {false, "marin@abysto.test", "mauvais", "", "Invalid login credentials",
         "Erreur login : Invalid login credentials\n", {"--auth-error-shape", "legacy"}},
        {false, "marin@abysto.test", "mauvais", "", "Invalid login credentials",
         "Erreur login : Invalid login credentials\n", {"--auth-error-shape", "current"}},
        {false, "marin@abysto.test", "mauvais", "", "Erreur de connexion", "Erreur login : Erreur de connexion\n",
         {}, false, "une-autre-cle"},
        {false, "marin@abysto.test", "mauvais", "", "Erreur réseau", "Erreur login JSON : ", {}, true},
        {true, "nouveau@abysto.test", "assez-long", "Mousse", "", "Inscription envoyée pour nouveau@abysto.test\n"},
        {true, "profil@abysto.test", "assez-long", "Mousse", "User already registered",
         "Erreur signup : User already registered\n"},
        {true, "court@abysto.test", "12345", "Mousse", "Password should be at least 6 characters.",
         "Erreur signup : Password should be at least 6 characters.\n"},
    };
    for (const auto& row : rows) {
        AuthStandIn backend(row.args);
        configureBackend(row.offline ? closedPortUrl() : backend.stack->url(), row.key);
        AccountResult result;
        const Captured streams = captureStreams([&] {
            result = row.signUp ? signUp(row.email, row.password, "Mousse") : login(row.email, row.password);
        });
        const bool signedIn = !row.signUp && !*row.lastError;
        EXPECT_EQ(result.signedIn, signedIn) << row.email << streams.err;
        EXPECT_EQ(currentSession().signedIn, signedIn) << row.email;
        EXPECT_EQ(result.username, row.username) << row.email;
        EXPECT_EQ(result.lastError, row.lastError) << row.email;
        EXPECT_EQ(result.email, signedIn || row.signUp ? row.email : "") << row.email;
        EXPECT_EQ(result.userId.empty(), !signedIn) << row.email;
        const std::string& said = *row.lastError ? streams.err : streams.out;
        EXPECT_EQ(said.rfind(row.said, 0), 0u) << said;
        EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
        EXPECT_EQ((streams.out + streams.err).find(row.password), std::string::npos);
        if (row.signUp && !*row.lastError) {
            EXPECT_EQ(login(row.email, row.password).lastError, "Email not confirmed");
        }
    }
}

TEST(SessionFile, FollowsEveryRefreshAndIsRefusedOnceStale) {
    AuthStandIn backend;
    const fs::path file = backend.dir / "session.json";
    // Signed out: nothing written, and no file without a refresh token is sent to the backend.
    EXPECT_FALSE(refreshSession());
    EXPECT_FALSE(saveSession(file.string()));
    EXPECT_FALSE(fs::exists(file));
    for (const char* content : {"", R"({"access_token": "a", "email": "x@y.fr"})",
                                R"({"refresh_token": ""})", "pas du JSON", R"({"refresh_token": 12})"}) {
        if (*content) writeFile(file, content);
        EXPECT_FALSE(restoreSession(file.string())) << content;
    }
    EXPECT_EQ(backend.stack->count(kRefreshPath), 0);

    const Captured saved = captureStreams([&] {
        ASSERT_TRUE(login("marin@abysto.test", "pa\"ss\\mot").signedIn);
        ASSERT_TRUE(saveSession(file.string()));
    });
    EXPECT_NE(saved.out.find("Session sauvegardee.\n"), std::string::npos);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    const std::string stale = readFile(file);

    // Two refreshes within the run (the restore, a 401 during a download): the newest token is kept.
    std::string log = saved.out + saved.err;
    for (int i = 0; i < 2; ++i) {
        const Captured refreshed = captureStreams([] { ASSERT_TRUE(refreshSession()); });
        log += refreshed.out + refreshed.err;
        const nlohmann::json json = nlohmann::json::parse(readFile(file));
        EXPECT_EQ(json.at("refresh_token"), currentSession().refreshToken);
        EXPECT_EQ(json.at("access_token"), currentSession().accessToken);
        EXPECT_EQ(json.at("username"), "Marin");
    }
    const Captured restored = captureStreams([&] { EXPECT_TRUE(restoreSession(file.string())); });
    EXPECT_EQ(restored.out, "Session restauree pour marin@abysto.test\n");
    log += restored.out + restored.err;
    const std::string secrets[] = {currentSession().accessToken, currentSession().refreshToken, "pa\"ss\\mot"};
    for (const std::string& secret : secrets)
        EXPECT_EQ(log.find(secret), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(file.string() + ".part"));

    // A token the backend has moved past: signed out, the file left as it was.
    writeFile(file, stale);
    EXPECT_FALSE(restoreSession(file.string()));
    EXPECT_FALSE(currentSession().signedIn);
    EXPECT_TRUE(currentSession().accessToken.empty());
    EXPECT_EQ(readFile(file), stale);

    EXPECT_EQ(captureStreams([] { logout(); }).out, "Deconnexion.\n");
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(currentSession().refreshToken.empty());
}
