// The saved session ("session.json" in the user's folder), so the user stays
// signed in across runs. The file holds tokens: it is the user's alone and is
// always replaced in one step, never left half-written.
#pragma once

#include "account/account_session.h"

#include <string>

// Writes the signed-in session to `path`; false (and nothing written) when
// signed out or when the file cannot be written. `path` becomes the
// session's file.
bool saveSession(const std::string& path);

// The tokens and identity of a saved session's text; false for a text that is
// not a JSON object of strings with a refresh token.
bool parseSessionDocument(const std::string& text, AccountSession& stored);

// Reads `path` back and revives the session through a token refresh; true
// when the backend accepted it. A missing, unreadable or refused file leaves
// the program signed out and the file in place. `path` becomes the session's file.
bool restoreSession(const std::string& path);

// For refreshSession and logout, which hold sessionMutex: the new token pair
// goes to the session's file (the backend has retired the old refresh token),
// and sign-out deletes it.
void storeRefreshedSession(const AccountSession& session);
void deleteSessionFile();
