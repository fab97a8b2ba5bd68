// Sign-in, sign-up and refresh against the account stand-in, over HTTP.
#include "tests/account/auth_standin.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

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
