// The signed-in account: one process-wide session against the account
// backend (sign-in, sign-up, token refresh, profile, sign-out). Tile requests
// read its access token and refresh it after a 401.
#pragma once

#include <mutex>
#include <string>

struct AccountSession {
    bool signedIn = false;
    std::string accessToken;
    std::string userId;
    std::string email;
    std::string username;
    std::string lastError;
    std::string refreshToken;
};

// What sign-in and sign-up hand back to the form: the session without its refresh token.
struct AccountResult {
    bool signedIn = false;
    std::string accessToken;
    std::string userId;
    std::string email;
    std::string username;
    std::string lastError;
};

// Guards the session. Recursive, because the retry after a 401 holds it while
// it compares tokens and calls refreshSession, which takes it too.
extern std::recursive_mutex sessionMutex;

// The backend's base URL and public anonymous key; set once at start-up.
void configureBackend(const std::string& baseUrl, const std::string& anonKey);

// A copy of the session, read under the lock.
AccountSession currentSession();

// One request each (5 s in all); the body as received, empty when the transfer failed.
std::string backendGet(const std::string& url, const std::string& anonKey, const std::string& accessToken);
std::string backendPost(const std::string& url, const std::string& jsonBody, const std::string& anonKey,
                        const std::string& accessToken);

AccountResult login(const std::string& email, const std::string& password);
AccountResult signUp(const std::string& email, const std::string& password, const std::string& username);
bool refreshSession();
std::string fetchProfileUsername(const std::string& accessToken, const std::string& userId);
void logout();

enum class TokenAnswer {
    accepted,   // `into` holds the new tokens and identity, signed in
    refused,    // no token: `message` gets the backend's words (or "Erreur de connexion")
    malformed,  // not a token answer: `message` gets the parser's words, without document text
};

// Reads the answer of a sign-in or refresh request into `into` (left as it was
// unless accepted; a missing refresh token or name keeps the one it had).
TokenAnswer readTokenAnswer(const std::string& answerText, AccountSession& into, std::string& message);

// The name in a profile rows answer; empty when there is none.
std::string readProfileUsername(const std::string& answerText);

// Takes the tokens and identity of a saved session, still signed out: only a
// refresh that the backend accepts signs it in (restoreSession).
void adoptSavedSession(const AccountSession& saved);
