// Where updates come from and go to, and the manifest request.
#pragma once

#include "platform/http_client.h"
#include "update/update_manifest.h"

#include <string>

struct UpdateClientConfig {
    std::string baseUrl;     // without trailing '/'; empty: not configured
    std::string updatesDir;  // where installers are downloaded
};

// Called once at start-up, before any update thread exists. An empty
// `updatesDirectory` falls back to LOCALAPPDATA, then TEMP, then "updates".
void configureUpdateClient(const std::string& baseUrl, const std::string& updatesDirectory);
UpdateClientConfig updateClientConfig();
// Says in the log when a development build trusts the extra key.
void reportDevelopmentUpdateKey();
bool updateClientConfigured();

// ABYSTO_UPDATE_URL when set, else the tile server's URL the program was configured with.
std::string updateServerUrl(const std::string& tileServerUrl);

// A request to the update server with the options every such request shares.
HttpRequest updateServerRequest(const std::string& path);

struct ManifestCheckResult {
    int status = 0;  // UpdateStatus
    int reason = 0;  // ManifestReason
    UpdateManifest manifest;  // meaningful only when status is 0
    std::string message;
};

// GET /v1/update/<platform>, at most 256 KiB, then validated.
ManifestCheckResult fetchManifest(const std::string& platform);
