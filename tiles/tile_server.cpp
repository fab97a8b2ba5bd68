#include "tiles/tile_server.h"

#include "account/account_session.h"

#include <charconv>
#include <filesystem>

namespace {

std::string baseUrl;
std::string cacheFolder;

constexpr int kAbortedByCallback = 42;  // CURLE_ABORTED_BY_CALLBACK
constexpr int kWriteError = 23;         // CURLE_WRITE_ERROR

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

void configureTileServer(const std::string& url, const std::string& cacheDir) {
    baseUrl = url;
    while (!baseUrl.empty() && baseUrl.back() == '/') baseUrl.pop_back();
    cacheFolder = cacheDir;
    std::error_code ec;
    if (!cacheFolder.empty()) std::filesystem::create_directories(cacheFolder, ec);
}

bool tileServerConfigured() { return !baseUrl.empty(); }
std::string tileServerBaseUrl() { return baseUrl; }
std::string catalogueCacheFile() { return (std::filesystem::path(cacheFolder) / "catalog.v1.json").string(); }
std::string catalogueEtagFile() { return (std::filesystem::path(cacheFolder) / "catalog.v1.etag").string(); }

void applyCommonOptions(HttpRequest& request, long timeoutSeconds) {
    request.followRedirects = false;
    request.timeoutSeconds = timeoutSeconds;
    request.connectTimeoutSeconds = 15;
    request.acceptAnyEncoding = true;
    request.userAgent = "Abysto/1.0";
}

void appendBearerHeader(std::vector<std::string>& headers, const std::string& accessToken) {
    if (!accessToken.empty()) headers.push_back("Authorization: Bearer " + accessToken);
}

size_t captureResponseHeader(const char* data, size_t size, size_t count, ResponseHeaders& headers) {
    const std::string line(data, size * count);
    const size_t colon = line.find(':');
    if (colon == std::string::npos) return size * count;
    std::string name = line.substr(0, colon);
    for (char& c : name) c = lower(c);
    size_t begin = colon + 1;
    while (begin < line.size() && (line[begin] == ' ' || line[begin] == '\t')) ++begin;
    size_t end = line.size();
    while (end > begin && (line[end - 1] == '\r' || line[end - 1] == '\n' || line[end - 1] == ' ' || line[end - 1] == '\t'))
        --end;
    const std::string value = line.substr(begin, end - begin);
    if (name == "etag") {
        headers.etag = value;
    } else if (name == "x-tile-sha256") {
        headers.sha256 = value;
    } else if (name == "x-tile-size") {
        int64_t parsed = 0;
        const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), parsed);
        if (ec == std::errc() && ptr == value.data() + value.size()) headers.size = parsed;
    }
    return size * count;
}

TileResult classifyTransfer(int curlCode, long httpStatus) {
    if (curlCode == kAbortedByCallback) return TileCode::Cancelled;
    if (curlCode == kWriteError) return TileCode::DiskWriteFailed;
    if (curlCode != 0) return TileCode::ConnectionProblem;
    switch (httpStatus) {
    case 200:
    case 206:
    case 304: return TileCode::Ok;
    case 401: return TileCode::SessionExpired;
    case 403: return TileCode::AccessDenied;
    case 404: return TileCode::TileUnavailable;
    case 429: return TileCode::RateLimited;
    default: return httpStatus < 500 ? TileCode::ConnectionProblem : TileCode::ServerError;
    }
}

const char* resultMessage(TileResult code) {
    switch (code) {
    case TileCode::Ok: return "Terminé";
    case TileCode::SessionExpired: return "Session expirée, reconnectez-vous";
    case TileCode::AccessDenied: return "Accès refusé pour ce compte";
    case TileCode::TileUnavailable: return "Dalle indisponible sur le serveur";
    case TileCode::RateLimited: return "Limite de téléchargement atteinte, réessayez plus tard";
    case TileCode::ServerError: return "Erreur du serveur";
    case TileCode::ConnectionProblem: return "Problème de connexion";
    case TileCode::CorruptTransfer: return "Fichier corrompu pendant le transfert";
    case TileCode::DiskWriteFailed: return "Impossible d'écrire sur le disque";
    case TileCode::Cancelled: return "Téléchargement annulé";
    case TileCode::NotConfigured: return "Serveur de dalles non configuré";
    default: return "Erreur inconnue";
    }
}

bool isRetryable(TileResult code) {
    return code == TileCode::ServerError || code == TileCode::ConnectionProblem || code == TileCode::CorruptTransfer;
}

bool refreshAfterUnauthorized(const std::string& usedToken) {
    std::lock_guard<std::recursive_mutex> lock(sessionMutex);
    if (currentSession().accessToken != usedToken) return true;
    return refreshSession();
}

HttpResult fetchWithTokenRetry(const std::function<HttpResult(const std::string& accessToken)>& attempt) {
    std::string token = currentSession().accessToken;
    HttpResult result = attempt(token);
    if (result.completed() && result.status == 401 && refreshAfterUnauthorized(token)) {
        token = currentSession().accessToken;
        result = attempt(token);
    }
    return result;
}
