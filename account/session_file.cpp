#include "account/session_file.h"

#include "platform/platform.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

using nlohmann::json;

namespace {

// The file the session was last saved to or restored from; guarded by sessionMutex.
std::string sessionPath;

bool writeSessionFile(const std::string& path, const AccountSession& s, std::string& error) {
    const json doc = {{"access_token", s.accessToken}, {"email", s.email}, {"refresh_token", s.refreshToken},
                      {"user_id", s.userId}, {"username", s.username}};
    const std::string staged = path + ".part";
    if (platform::writePrivateFile(staged, doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n", error) &&
        platform::replaceFile(staged, path, error))
        return true;
    std::error_code ignored;
    std::filesystem::remove(staged, ignored);
    return false;
}

} // namespace

bool saveSession(const std::string& path) {
    std::lock_guard<std::recursive_mutex> lock(sessionMutex);
    const AccountSession s = currentSession();
    if (!s.signedIn) return false;
    sessionPath = path;
    std::string error;
    if (!writeSessionFile(path, s, error)) return false;
    std::cout << "Session sauvegardee." << std::endl;
    return true;
}

bool parseSessionDocument(const std::string& text, AccountSession& stored) {
    try {
        const json doc = json::parse(text);
        if (!doc.is_object()) return false;
        stored.accessToken = doc.value("access_token", std::string());
        stored.refreshToken = doc.value("refresh_token", std::string());
        stored.userId = doc.value("user_id", std::string());
        stored.email = doc.value("email", std::string());
        stored.username = doc.value("username", std::string());
    } catch (const std::exception&) {
        return false;
    }
    return !stored.refreshToken.empty();
}

bool restoreSession(const std::string& path) {
    {
        std::lock_guard<std::recursive_mutex> lock(sessionMutex);
        sessionPath = path;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream content;
    content << in.rdbuf();

    AccountSession stored;
    if (!parseSessionDocument(content.str(), stored)) return false;

    std::lock_guard<std::recursive_mutex> lock(sessionMutex);
    adoptSavedSession(stored);
    if (!refreshSession()) return false;
    std::cout << "Session restauree pour " << currentSession().email << std::endl;
    return true;
}

void storeRefreshedSession(const AccountSession& session) {
    std::lock_guard<std::recursive_mutex> lock(sessionMutex);
    if (sessionPath.empty()) return;
    std::string error;
    if (!writeSessionFile(sessionPath, session, error))
        std::cerr << "Session renouvelee mais non enregistree : " << error << std::endl;
}

void deleteSessionFile() {
    std::lock_guard<std::recursive_mutex> lock(sessionMutex);
    if (sessionPath.empty()) return;
    std::error_code ignored;
    std::filesystem::remove(sessionPath, ignored);
}
