#include "update/update_client.h"

#include "update/update_signature.h"
#include "update/update_status.h"

#include <curl/curl.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <mutex>

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kMaxManifestBytes = 256 * 1024;
constexpr long kCurlAbortedByCallback = 42;
constexpr long kCurlWriteError = 23;

std::mutex configMutex;
UpdateClientConfig config;

std::string fallbackUpdatesDir() {
    for (const char* name : {"LOCALAPPDATA", "TEMP"}) {
        const char* value = std::getenv(name);
        if (value && *value) return (fs::path(value) / "Abysto" / "updates").string();
    }
    return "updates";
}

std::string httpOutcomeText(const HttpResult& result) {
    return "HTTP " + std::to_string(result.status) + " (" + curl_easy_strerror(static_cast<CURLcode>(result.curlCode)) + ")";
}

} // namespace

void configureUpdateClient(const std::string& baseUrl, const std::string& updatesDirectory) {
    std::lock_guard lock(configMutex);
    config.baseUrl = baseUrl;
    while (!config.baseUrl.empty() && config.baseUrl.back() == '/') config.baseUrl.pop_back();
    config.updatesDir = updatesDirectory.empty() ? fallbackUpdatesDir() : updatesDirectory;
}

void reportDevelopmentUpdateKey() {
    if (trustedUpdateKeys().size() > 2)
        std::cerr << "[update] build de developpement : la cle de ABYSTO_DEV_UPDATE_KEY_FILE est acceptee" << std::endl;
}

UpdateClientConfig updateClientConfig() {
    std::lock_guard lock(configMutex);
    return config;
}

bool updateClientConfigured() {
    const UpdateClientConfig current = updateClientConfig();
    return !current.baseUrl.empty() && !current.updatesDir.empty();
}

std::string updateServerUrl(const std::string& tileServerUrl) {
    const char* env = std::getenv("ABYSTO_UPDATE_URL");
    return env && *env ? std::string(env) : tileServerUrl;
}

HttpRequest updateServerRequest(const std::string& path) {
    HttpRequest request;
    request.url = updateClientConfig().baseUrl + path;
    request.followRedirects = false;
    request.connectTimeoutSeconds = 10;
    request.userAgent = "Abysto/1.0";
    return request;
}

ManifestCheckResult fetchManifest(const std::string& platform) {
    ManifestCheckResult result;
    if (!updateClientConfigured()) {
        result.status = UpdateConnectionFailed;
        return result;
    }
    HttpRequest request = updateServerRequest("/v1/update/" + platform);
    request.maxBodyBytes = kMaxManifestBytes;
    request.timeoutSeconds = 8;
    request.acceptAnyEncoding = true;
    std::string body;
    const HttpResult http = httpFetch(request, body);

    if (http.bodyTooLarge) {
        result.status = UpdateNotAuthentic;
        result.reason = ManifestUnreadable;
        result.message = "manifeste anormalement volumineux";
        return result;
    }
    result.message = httpOutcomeText(http);
    if (http.curlCode == kCurlAbortedByCallback) {
        result.status = UpdateCancelled;
    } else if (http.curlCode == kCurlWriteError) {
        result.status = UpdateWriteFailed;
    } else if (!http.completed()) {
        result.status = UpdateConnectionFailed;
    } else if (http.status == 200 || http.status == 206) {
        result.reason = validateManifest(body, platform, result.manifest, result.message);
        if (result.reason == ManifestValid) {
            result.status = UpdateReady;
        } else {
            result.status = UpdateNotAuthentic;
            result.manifest = UpdateManifest{};
            std::cerr << "[update] manifeste refuse : " << manifestReasonText(result.reason) << " ("
                      << result.message << ")" << std::endl;
        }
    } else if (http.status == 404) {
        result.status = UpdateNone;
    } else if (http.status == 416) {
        result.status = UpdateInconsistent;
    } else if (http.status == 429) {
        result.status = UpdateServerBusy;
    } else if (http.status < 500) {
        result.status = UpdateConnectionFailed;
    } else {
        result.status = UpdateServerDown;
    }
    return result;
}
