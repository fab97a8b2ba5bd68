// JSON Web Tokens signed with HMAC-SHA256 (HS256), as the account stand-in
// issues them and the tile stand-in checks them, both with the same secret.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

// The secret both services share unless "--jwt-secret" gives another.
inline constexpr const char* kDefaultJwtSecret = "abysto-devstack-secret-do-not-use-in-production";

std::string base64UrlEncode(const std::string& bytes);
// False for a character outside the base64url alphabet.
bool base64UrlDecode(const std::string& text, std::string& bytes);

// header.payload.signature for these claims.
std::string signJwt(const nlohmann::json& claims, const std::string& secret);
// True when the token has three parts, an HS256 header, a matching signature
// and a JSON object as payload, which lands in `claims`. Expiry is the caller's.
bool verifyJwt(const std::string& token, const std::string& secret, nlohmann::json& claims);
