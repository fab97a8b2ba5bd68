// The account stand-in's token rotation, which the session tests rely on to
// tell a current saved token from a stale one.
#include "tests/account/auth_standin.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using nlohmann::json;

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
