// The account backend played locally, shaped like the hosted one: its
// authentication service under "/auth/v1/" and its table interface under
// "/rest/v1/".
//   POST /auth/v1/token?grant_type=password       {"email","password"} -> tokens and user
//   POST /auth/v1/token?grant_type=refresh_token  {"refresh_token"}    -> new tokens and user
//   POST /auth/v1/signup  {"email","password","data":{"username"}}      -> the user, no session
//   GET  /rest/v1/profiles?id=eq.<id>&select=username                   -> [{"username": ...}] or []
// Every request needs the "apikey" header (the compiled anonymous key, or
// --anon-key). Refresh tokens rotate: each refresh retires the token it was
// given and issues a new one. The retired parent of the active token may be
// presented again for --refresh-reuse-interval seconds (default 10) and gets
// the active one back; any other retired token is taken as stolen and revokes
// the whole session.
// Options:
//   --accounts FILE, --account EMAIL:PASSWORD   the accounts (tools/devstack/accounts.h)
//   --token-lifetime SECONDS                    access-token lifetime (default 3600)
//   --auth-error-shape legacy|current           how a refused token request is worded:
//       legacy  {"error":"invalid_grant","error_description":"..."}
//       current {"code":400,"error_code":"...","msg":"..."} (default)
//   --jwt-secret TEXT                           the access tokens' HS256 secret
// Requests are counted per path (GET /__counts; the token endpoint with its
// grant type) and logged as "AUTH <method> <path> -> <status>", without bodies.
#include "account/backend_config.h"
#include "tools/devstack/accounts.h"
#include "tools/devstack/devstack.h"
#include "tools/devstack/jwt.h"
#include "tools/devstack/request_counts.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <ctime>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <random>

using nlohmann::json;

namespace {

constexpr size_t kMinPasswordLength = 6;

struct RefreshToken {
    std::string sessionId;
    std::string parent;  // the token this one replaced, empty for the first
    bool retired = false;
    std::time_t retiredAt = 0;
};

struct AuthSession {
    std::string userId;
    std::string active;  // the refresh token to present next
    bool revoked = false;
};

struct AuthState {
    std::string anonKey;
    std::string jwtSecret;
    long tokenLifetime = 3600;
    long reuseInterval = 10;
    bool legacyErrors = false;

    std::mutex mutex;
    std::vector<StandInAccount> accounts;
    std::map<std::string, RefreshToken> refreshTokens;
    std::map<std::string, AuthSession> sessions;
    std::mt19937_64 random{std::random_device{}()};
};

void sendJson(httplib::Response& res, int status, const json& body) {
    res.status = status;
    res.set_content(body.dump(), "application/json");
}

void sendAuthError(httplib::Response& res, int status, const std::string& code, const std::string& message) {
    sendJson(res, status, {{"code", status}, {"error_code", code}, {"msg", message}});
}

// A refused token request, in the shape the switch chooses.
void sendGrantError(const AuthState& state, httplib::Response& res, const std::string& code, const std::string& message) {
    if (state.legacyErrors)
        sendJson(res, 400, {{"error", "invalid_grant"}, {"error_description", message}});
    else
        sendAuthError(res, 400, code, message);
}

std::string randomToken(AuthState& state) {
    std::string bytes;
    for (int i = 0; i < 2; ++i) {
        const uint64_t v = state.random();
        bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
    }
    return base64UrlEncode(bytes);
}

const StandInAccount* findAccount(const AuthState& state, const std::string& key, bool byId) {
    for (const StandInAccount& account : state.accounts)
        if ((byId ? account.id : account.email) == key) return &account;
    return nullptr;
}

json userObject(const StandInAccount& account) {
    json user = {{"id", account.id},
                 {"aud", "authenticated"},
                 {"role", "authenticated"},
                 {"email", account.email},
                 {"app_metadata", {{"provider", "email"}, {"providers", {"email"}}}}};
    if (account.username) user["user_metadata"] = {{"username", *account.username}};
    return user;
}

// Access and refresh token for a session whose active refresh token is set.
json sessionAnswer(const AuthState& state, const StandInAccount& account, const std::string& sessionId) {
    const std::time_t now = std::time(nullptr);
    const json claims = {{"aud", "authenticated"}, {"email", account.email},          {"exp", now + state.tokenLifetime},
                         {"iat", now},             {"role", "authenticated"},         {"session_id", sessionId},
                         {"sub", account.id}};
    return {{"access_token", signJwt(claims, state.jwtSecret)},
            {"token_type", "bearer"},
            {"expires_in", state.tokenLifetime},
            {"expires_at", now + state.tokenLifetime},
            {"refresh_token", state.sessions.at(sessionId).active},
            {"user", userObject(account)}};
}

void passwordGrant(AuthState& state, const json& body, httplib::Response& res) {
    const std::string email = body.value("email", std::string());
    const std::string password = body.value("password", std::string());
    if (email.empty() || password.empty()) {
        sendAuthError(res, 400, "validation_failed", "missing email or phone");
        return;
    }
    const StandInAccount* account = findAccount(state, email, false);
    if (!account || account->password != password) {
        sendGrantError(state, res, "invalid_credentials", "Invalid login credentials");
        return;
    }
    if (!account->confirmed) {
        sendGrantError(state, res, "email_not_confirmed", "Email not confirmed");
        return;
    }
    const std::string sessionId = randomToken(state);
    const std::string token = randomToken(state);
    state.sessions[sessionId] = {account->id, token, false};
    state.refreshTokens[token] = {sessionId, {}, false, 0};
    sendJson(res, 200, sessionAnswer(state, *account, sessionId));
}

void refreshGrant(AuthState& state, const json& body, httplib::Response& res) {
    const std::string presented = body.value("refresh_token", std::string());
    const auto found = presented.empty() ? state.refreshTokens.end() : state.refreshTokens.find(presented);
    if (found == state.refreshTokens.end()) {
        sendGrantError(state, res, "refresh_token_not_found", "Invalid Refresh Token: Refresh Token Not Found");
        return;
    }
    RefreshToken& token = found->second;
    AuthSession& session = state.sessions.at(token.sessionId);
    const StandInAccount* account = findAccount(state, session.userId, true);
    if (session.revoked || !account) {
        sendGrantError(state, res, "refresh_token_already_used", "Invalid Refresh Token: Already Used");
        return;
    }
    if (token.retired) {
        const bool parentOfActive = state.refreshTokens.at(session.active).parent == presented;
        if (!parentOfActive || std::time(nullptr) - token.retiredAt > state.reuseInterval) {
            session.revoked = true;  // a retired token came back: taken as stolen
            sendGrantError(state, res, "refresh_token_already_used", "Invalid Refresh Token: Already Used");
            return;
        }
    } else {
        const std::string next = randomToken(state);
        token.retired = true;
        token.retiredAt = std::time(nullptr);
        state.refreshTokens[next] = {found->second.sessionId, presented, false, 0};
        session.active = next;
    }
    sendJson(res, 200, sessionAnswer(state, *account, state.refreshTokens.at(presented).sessionId));
}

void signUp(AuthState& state, const json& body, httplib::Response& res) {
    const std::string email = body.value("email", std::string());
    const std::string password = body.value("password", std::string());
    const size_t at = email.find('@');
    if (at == std::string::npos || at == 0 || email.find('.', at) == std::string::npos) {
        sendAuthError(res, 400, "validation_failed", "Unable to validate email address: invalid format");
        return;
    }
    if (findAccount(state, email, false)) {
        sendAuthError(res, 422, "user_already_exists", "User already registered");
        return;
    }
    if (password.size() < kMinPasswordLength) {
        json answer = {{"code", 422},
                       {"error_code", "weak_password"},
                       {"msg", "Password should be at least 6 characters."},
                       {"weak_password", {{"reasons", {"length"}}}}};
        sendJson(res, 422, answer);
        return;
    }
    StandInAccount account;
    account.email = email;
    account.password = password;
    account.id = standInUserId(email);
    account.confirmed = false;
    const json data = body.value("data", json::object());
    if (data.is_object() && data.contains("username") && data["username"].is_string())
        account.username = account.profile = data["username"].get<std::string>();
    state.accounts.push_back(account);
    json user = userObject(account);
    user["confirmation_sent_at"] = std::time(nullptr);
    sendJson(res, 200, user);
}

void profiles(AuthState& state, const httplib::Request& req, httplib::Response& res) {
    const std::string id = req.get_param_value("id");
    if (id.rfind("eq.", 0) != 0) {
        sendJson(res, 400, {{"code", "PGRST100"}, {"details", nullptr}, {"hint", nullptr},
                            {"message", "\"failed to parse filter (" + id + ")\""}});
        return;
    }
    const std::string select = req.has_param("select") ? req.get_param_value("select") : "*";
    if (select != "*" && select != "username" && select != "id,username") {
        sendJson(res, 400, {{"code", "42703"}, {"details", nullptr}, {"hint", nullptr},
                            {"message", "column profiles." + select + " does not exist"}});
        return;
    }
    // No user token: the anonymous role, which the table's row security shows nothing.
    std::string bearer = req.get_header_value("Authorization");
    bearer = bearer.rfind("Bearer ", 0) == 0 ? bearer.substr(7) : std::string();
    json rows = json::array();
    if (!bearer.empty() && bearer != state.anonKey) {
        json claims;
        if (!verifyJwt(bearer, state.jwtSecret, claims)) {
            sendJson(res, 401, {{"code", "PGRST301"}, {"details", nullptr}, {"hint", nullptr},
                                {"message", "JWSError JWSInvalidSignature"}});
            return;
        }
        if (claims.value("exp", 0L) <= std::time(nullptr)) {
            sendJson(res, 401, {{"code", "PGRST301"}, {"details", nullptr}, {"hint", nullptr}, {"message", "JWT expired"}});
            return;
        }
        const StandInAccount* account = findAccount(state, id.substr(3), true);
        if (account && account->profile) {
            json row = {{"username", *account->profile}};
            if (select != "username") row["id"] = account->id;
            rows.push_back(row);
        }
    }
    sendJson(res, 200, rows);
}

// Counts, checks the key, logs; the handler answers under the state's lock.
template <typename Handler>
httplib::Server::Handler guarded(const std::shared_ptr<AuthState>& state, Handler handler) {
    return [state, handler](const httplib::Request& req, httplib::Response& res) {
        std::string name = req.path;
        if (req.has_param("grant_type")) name += "?grant_type=" + req.get_param_value("grant_type");
        countRequest(name);
        const std::string key = req.get_header_value("apikey");
        if (key.empty()) {
            sendJson(res, 401, {{"message", "No API key found in request"},
                                {"hint", "No `apikey` request header or url param was found."}});
        } else if (key != state->anonKey) {
            sendJson(res, 401, {{"message", "Invalid API key"},
                                {"hint", "Double check your Supabase `anon` or `service_role` API key."}});
        } else {
            std::lock_guard<std::mutex> lock(state->mutex);
            handler(*state, req, res);
        }
        std::cout << "AUTH " << req.method << " " << name << " -> " << res.status << std::endl;
    };
}

// The JSON object of a POST body, or the service's own 400.
template <typename Grant>
auto withJsonBody(Grant grant) {
    return [grant](AuthState& state, const httplib::Request& req, httplib::Response& res) {
        json body;
        try {
            body = json::parse(req.body);
        } catch (const json::exception&) {
        }
        if (!body.is_object()) {
            sendAuthError(res, 400, "bad_json", "Could not parse request body as JSON");
            return;
        }
        try {
            grant(state, body, res);
        } catch (const json::exception&) {
            sendAuthError(res, 400, "validation_failed", "Invalid field types in request body");
        }
    };
}

} // namespace

void registerAuthService(httplib::Server& server, const DevstackOptions& options) {
    auto state = std::make_shared<AuthState>();
    state->anonKey = options.value("anon-key", kDefaultAuthAnonKey);
    state->jwtSecret = options.value("jwt-secret", kDefaultJwtSecret);
    state->tokenLifetime = std::atol(options.value("token-lifetime", "3600").c_str());
    state->reuseInterval = std::atol(options.value("refresh-reuse-interval", "10").c_str());
    state->legacyErrors = options.value("auth-error-shape", "current") == "legacy";
    std::string error;
    if (!loadStandInAccounts(options, state->accounts, error)) std::cerr << error << std::endl;

    server.Post("/auth/v1/token",
                guarded(state, [](AuthState& s, const httplib::Request& req, httplib::Response& res) {
                    const std::string grant = req.get_param_value("grant_type");
                    if (grant == "password")
                        withJsonBody(passwordGrant)(s, req, res);
                    else if (grant == "refresh_token")
                        withJsonBody(refreshGrant)(s, req, res);
                    else
                        sendAuthError(res, 400, "unsupported_grant_type", "unsupported_grant_type");
                }));
    server.Post("/auth/v1/signup", guarded(state, withJsonBody(signUp)));
    server.Get("/rest/v1/profiles", guarded(state, profiles));
}
