#include "account/account_session.h"

#include "account/session_file.h"
#include "platform/http_client.h"

#include <nlohmann/json.hpp>

#include <iostream>

using nlohmann::json;

std::recursive_mutex sessionMutex;

namespace {

AccountSession session;
std::string backendUrl;
std::string anonymousKey;

constexpr long kRequestTimeoutSeconds = 5;
// A backend answer is a few hundred bytes; anything far beyond is not one.
constexpr uint64_t kMaxAnswerBytes = 1u << 20;
// Texts from the backend that reach the log and the form.
constexpr size_t kMaxMessageBytes = 300;

std::string backendRequest(const std::string& url, bool post, const std::string& body, const std::string& key,
                           const std::string& accessToken, bool alwaysSendBearer) {
    HttpRequest request;
    request.url = url;
    request.post = post;
    request.postBody = body;
    request.timeoutSeconds = kRequestTimeoutSeconds;
    request.maxBodyBytes = kMaxAnswerBytes;
    request.headers = {"Content-Type: application/json", "apikey: " + key};
    if (alwaysSendBearer || !accessToken.empty()) request.headers.push_back("Authorization: Bearer " + accessToken);
    std::string answer;
    httpFetch(request, answer);
    return answer;
}

// Compact, keys in alphabetical order (nlohmann's objects are sorted maps).
std::string compactJson(const json& body) {
    return body.dump(-1, ' ', false, json::error_handler_t::replace);
}

// The parser quotes the last characters it read, which may be part of a
// token: the log only gets the message up to there.
std::string parserMessage(const std::exception& e) {
    std::string text = e.what();
    const size_t quoted = text.find("; last read");
    if (quoted != std::string::npos) text.erase(quoted);
    return text;
}

std::string messageFrom(const json& answer, const char* first, const char* second, const char* fallback) {
    for (const char* key : {first, second}) {
        const auto found = answer.find(key);
        if (found != answer.end() && found->is_string()) return textExcerpt(found->get<std::string>(), kMaxMessageBytes);
    }
    return fallback;
}

std::string stringAt(const json& object, const char* key) {
    return object.at(key).get<std::string>();
}

// "user"."user_metadata"."username" when the answer carries one.
bool metadataUsername(const json& user, std::string& username) {
    const auto metadata = user.find("user_metadata");
    if (metadata == user.end() || !metadata->is_object()) return false;
    const auto name = metadata->find("username");
    if (name == metadata->end() || !name->is_string()) return false;
    username = name->get<std::string>();
    return true;
}

AccountResult resultOf(const AccountSession& s) {
    return {s.signedIn, s.accessToken, s.userId, s.email, s.username, s.lastError};
}

// Takes the profile's name when the answer had none. Called without the lock
// held by sign-in, with it by refresh.
void completeUsernameFromProfile() {
    std::string token, userId;
    {
        std::lock_guard<std::recursive_mutex> lock(sessionMutex);
        if (!session.username.empty()) return;
        token = session.accessToken;
        userId = session.userId;
    }
    const std::string profileName = fetchProfileUsername(token, userId);
    std::lock_guard<std::recursive_mutex> lock(sessionMutex);
    if (session.username.empty() && session.userId == userId) session.username = profileName;
}

} // namespace

TokenAnswer readTokenAnswer(const std::string& answerText, AccountSession& into, std::string& message) {
    try {
        const json answer = json::parse(answerText);
        if (!answer.is_object() || !answer.contains("access_token")) {
            message = answer.is_object() ? messageFrom(answer, "error_description", "msg", "Erreur de connexion")
                                         : "Erreur de connexion";
            return TokenAnswer::refused;
        }
        AccountSession read = into;
        read.accessToken = stringAt(answer, "access_token");
        if (answer.contains("refresh_token")) read.refreshToken = stringAt(answer, "refresh_token");
        const json& user = answer.at("user");
        read.userId = stringAt(user, "id");
        read.email = stringAt(user, "email");
        metadataUsername(user, read.username);
        read.signedIn = true;
        into = read;
        return TokenAnswer::accepted;
    } catch (const std::exception& e) {
        message = parserMessage(e);
        return TokenAnswer::malformed;
    }
}

void configureBackend(const std::string& baseUrl, const std::string& anonKey) {
    std::lock_guard<std::recursive_mutex> lock(sessionMutex);
    backendUrl = baseUrl;
    anonymousKey = anonKey;
}

AccountSession currentSession() {
    std::lock_guard<std::recursive_mutex> lock(sessionMutex);
    return session;
}

std::string backendGet(const std::string& url, const std::string& anonKey, const std::string& accessToken) {
    return backendRequest(url, false, {}, anonKey, accessToken, true);
}

std::string backendPost(const std::string& url, const std::string& jsonBody, const std::string& anonKey,
                        const std::string& accessToken) {
    return backendRequest(url, true, jsonBody, anonKey, accessToken, false);
}

AccountResult login(const std::string& email, const std::string& password) {
    std::string base, key;
    {
        std::lock_guard<std::recursive_mutex> lock(sessionMutex);
        session.signedIn = false;
        base = backendUrl;
        key = anonymousKey;
    }
    const std::string answerText = backendPost(base + "/auth/v1/token?grant_type=password",
                                               compactJson({{"email", email}, {"password", password}}), key, "");
    AccountSession signedIn;
    std::string message;
    const TokenAnswer read = readTokenAnswer(answerText, signedIn, message);
    if (read == TokenAnswer::malformed) {
        std::lock_guard<std::recursive_mutex> lock(sessionMutex);
        session.lastError = "Erreur réseau";
        std::cerr << "Erreur login JSON : " << message << std::endl;
        return resultOf(session);
    }
    if (read == TokenAnswer::refused) {
        std::lock_guard<std::recursive_mutex> lock(sessionMutex);
        session.lastError = message;
        std::cerr << "Erreur login : " << message << std::endl;
        return resultOf(session);
    }
    {
        std::lock_guard<std::recursive_mutex> lock(sessionMutex);
        session = signedIn;
    }
    completeUsernameFromProfile();
    std::cout << "Connexion réussie : " << textExcerpt(signedIn.email, kMaxMessageBytes) << std::endl;
    return resultOf(currentSession());
}

AccountResult signUp(const std::string& email, const std::string& password, const std::string& username) {
    std::string base, key;
    {
        std::lock_guard<std::recursive_mutex> lock(sessionMutex);
        base = backendUrl;
        key = anonymousKey;
    }
    const json body = {{"data", {{"username", username}}}, {"email", email}, {"password", password}};
    const std::string answerText = backendPost(base + "/auth/v1/signup", compactJson(body), key, "");

    AccountResult result;
    result.email = email;
    result.username = username;
    try {
        const json answer = json::parse(answerText);
        if (answer.is_object() && (answer.contains("id") || answer.contains("access_token"))) {
            std::cout << "Inscription envoyée pour " << email << std::endl;
            return result;
        }
        result.lastError = answer.is_object()
                               ? messageFrom(answer, "msg", "error_description", "Erreur d'inscription")
                               : "Erreur d'inscription";
        std::cerr << "Erreur signup : " << result.lastError << std::endl;
    } catch (const std::exception& e) {
        result.lastError = "Erreur réseau";
        std::cerr << "Erreur signup JSON : " << parserMessage(e) << std::endl;
    }
    return result;
}

bool refreshSession() {
    // Held throughout, so concurrent callers never present a token that
    // another refresh has just replaced (the backend would revoke the session).
    std::lock_guard<std::recursive_mutex> lock(sessionMutex);
    if (session.refreshToken.empty()) return false;

    const std::string answerText =
        backendPost(backendUrl + "/auth/v1/token?grant_type=refresh_token",
                    compactJson({{"refresh_token", session.refreshToken}}), anonymousKey, "");
    AccountSession renewed = session;
    std::string message;
    if (readTokenAnswer(answerText, renewed, message) != TokenAnswer::accepted) {
        // Signed out, but the refresh token stays for a later attempt.
        const std::string keep = session.refreshToken;
        session = AccountSession{};
        session.refreshToken = keep;
        return false;
    }
    session = renewed;
    completeUsernameFromProfile();
    // The backend has retired the previous refresh token: the saved one must follow.
    storeRefreshedSession(session);
    return true;
}

std::string fetchProfileUsername(const std::string& accessToken, const std::string& userId) {
    std::string base, key;
    {
        std::lock_guard<std::recursive_mutex> lock(sessionMutex);
        base = backendUrl;
        key = anonymousKey;
    }
    const std::string answerText =
        backendGet(base + "/rest/v1/profiles?id=eq." + encodeQueryValue(userId) + "&select=username", key, accessToken);
    return readProfileUsername(answerText);
}

std::string readProfileUsername(const std::string& answerText) {
    try {
        const json rows = json::parse(answerText);
        if (!rows.is_array() || rows.empty() || !rows[0].is_object()) return {};
        const auto name = rows[0].find("username");
        return name != rows[0].end() && name->is_string() ? name->get<std::string>() : std::string();
    } catch (const std::exception&) {
        return {};
    }
}

void logout() {
    std::lock_guard<std::recursive_mutex> lock(sessionMutex);
    session = AccountSession{};
    deleteSessionFile();
    std::cout << "Deconnexion." << std::endl;
}

void adoptSavedSession(const AccountSession& saved) {
    std::lock_guard<std::recursive_mutex> lock(sessionMutex);
    session.accessToken = saved.accessToken;
    session.refreshToken = saved.refreshToken;
    session.userId = saved.userId;
    session.email = saved.email;
    session.username = saved.username;
}
