// Sign-in, sign-up and refresh against the account stand-in, over HTTP.
#include "tests/account/auth_standin.h"
#include "tests/tides/log_capture.h"

#include <gtest/gtest.h>

using nlohmann::json;

TEST(AccountClient, SignInTakesTheNameFromTheMetadataElseTheProfile) {
    AuthStandIn backend;
    const struct {
        const char* email;
        const char* password;
        const char* username;
    } rows[] = {
        {"marin@abysto.test", "pa\"ss\\mot", "Marin"},  // quote and backslash survive the JSON body
        {"profil@abysto.test", "secret1", "Capitaine"},  // no user_metadata: the profile row
        {"anonyme@abysto.test", "secret1", ""},          // neither: empty
    };
    for (const auto& row : rows) {
        AccountResult result;
        const Captured streams = captureStreams([&] { result = login(row.email, row.password); });
        EXPECT_TRUE(result.signedIn) << row.email << streams.err;
        EXPECT_EQ(result.username, row.username) << row.email;
        EXPECT_EQ(result.email, row.email);
        EXPECT_FALSE(result.userId.empty());
        EXPECT_EQ(streams.out, std::string("Connexion réussie : ") + row.email + "\n");
        EXPECT_EQ(streams.out.find(row.password), std::string::npos);
    }
}

TEST(AccountClient, RefusedOrUnreachableSignIn) {
    const struct {
        std::vector<std::string> args;
        bool offline;
        const char* key;
        const char* lastError;
        const char* logged;
    } rows[] = {
        {{"--auth-error-shape", "legacy"}, false, kDefaultAuthAnonKey, "Invalid login credentials",
         "Erreur login : Invalid login credentials\n"},
        {{"--auth-error-shape", "current"}, false, kDefaultAuthAnonKey, "Invalid login credentials",
         "Erreur login : Invalid login credentials\n"},
        {{}, false, "une-autre-cle", "Erreur de connexion", "Erreur login : Erreur de connexion\n"},
        {{}, true, kDefaultAuthAnonKey, "Erreur réseau", "Erreur login JSON : "},
    };
    for (const auto& row : rows) {
        AuthStandIn backend(row.args);
        configureBackend(row.offline ? closedPortUrl() : backend.stack->url(), row.key);
        AccountResult result;
        const Captured streams = captureStreams([&] { result = login("marin@abysto.test", "mauvais"); });
        EXPECT_FALSE(result.signedIn);
        EXPECT_FALSE(currentSession().signedIn);
        EXPECT_EQ(result.lastError, row.lastError);
        EXPECT_EQ(streams.err.rfind(row.logged, 0), 0u) << streams.err;
    }
}

TEST(AccountClient, SignUpIsSentWithoutSigningIn) {
    AuthStandIn backend;
    const struct {
        const char* email;
        const char* password;
        const char* lastError;
    } rows[] = {
        {"nouveau@abysto.test", "assez-long", ""},
        {"profil@abysto.test", "assez-long", "User already registered"},
        {"court@abysto.test", "12345", "Password should be at least 6 characters."},
    };
    for (const auto& row : rows) {
        AccountResult result;
        const Captured streams = captureStreams([&] { result = signUp(row.email, row.password, "Mousse"); });
        EXPECT_EQ(result.lastError, row.lastError) << row.email;
        EXPECT_FALSE(result.signedIn);
        EXPECT_FALSE(currentSession().signedIn);
        const std::string said = *row.lastError ? streams.err : streams.out;
        EXPECT_EQ(said, *row.lastError ? "Erreur signup : " + std::string(row.lastError) + "\n"
                                       : "Inscription envoyée pour " + std::string(row.email) + "\n");
    }
    // The address is still to be confirmed.
    EXPECT_EQ(login("nouveau@abysto.test", "assez-long").lastError, "Email not confirmed");
}

// Each refresh retires the token it presents; only the parent of the active
// one may come back, and any older one revokes the whole session.
TEST(AccountStandIn, RefreshTokensRotateWithReuseDetection) {
    AuthStandIn backend;
    ASSERT_TRUE(login("profil@abysto.test", "secret1").signedIn);
    auto refresh = [&](const std::string& token) {
        const std::string answer = backendPost(backend.stack->url() + kRefreshPath,
                                               json{{"refresh_token", token}}.dump(), kDefaultAuthAnonKey, "");
        const json parsed = json::parse(answer);
        return parsed.value("refresh_token", parsed.value("msg", std::string("?")));
    };
    const std::string first = currentSession().refreshToken;
    const std::string second = refresh(first);
    EXPECT_NE(second, first);
    EXPECT_EQ(refresh(first), second);  // the parent again: the active token comes back
    const std::string third = refresh(second);
    EXPECT_NE(third, second);
    EXPECT_EQ(refresh(first), "Invalid Refresh Token: Already Used");
    EXPECT_EQ(refresh(third), "Invalid Refresh Token: Already Used");  // revoked with the session
}
