// What every request to the product's tile server shares: where the server
// and the catalogue cache are, the transfer options, the bearer header from
// the signed-in account, the capture of the headers that describe a file,
// the result codes with their French messages, and the single token refresh
// after a 401.
#pragma once

#include "platform/http_client.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Outcome of a tile-service request. The numbers are a contract: the queue
// retries 5, 6 and 7, and the catalogue reports the code.
using TileResult = int32_t;
namespace TileCode {
enum : TileResult {
    Ok = 0,
    SessionExpired = 1,
    AccessDenied = 2,
    TileUnavailable = 3,
    RateLimited = 4,
    ServerError = 5,
    ConnectionProblem = 6,
    CorruptTransfer = 7,
    DiskWriteFailed = 8,
    Cancelled = 9,
    NotConfigured = 10,
};
}

// Written once at start-up, before any request or worker exists; only read afterwards.
// Trailing '/' are removed from the URL; the cache folder is created (failure ignored).
void configureTileServer(const std::string& baseUrl, const std::string& cacheDir);
bool tileServerConfigured();
std::string tileServerBaseUrl();
std::string catalogueCacheFile();  // cache folder + "/catalog.v1.json"
std::string catalogueEtagFile();   // cache folder + "/catalog.v1.etag"

// The headers the server uses to describe a file, one record per attempt.
struct ResponseHeaders {
    std::string etag;
    std::string sha256;
    int64_t size = 0;
};

// No redirect, the given total time-out, 15 s to connect, every encoding
// libcurl decodes, user agent "Abysto/1.0". TLS verification and the absence
// of signals are the HTTP helper's own.
void applyCommonOptions(HttpRequest& request, long timeoutSeconds);

// "Authorization: Bearer <token>" when the token is not empty.
void appendBearerHeader(std::vector<std::string>& headers, const std::string& accessToken);

// One header line as the transfer hands it over; lines without ':' (status
// line, blank line) are ignored. Returns size * count so it never aborts.
size_t captureResponseHeader(const char* data, size_t size, size_t count, ResponseHeaders& headers);

TileResult classifyTransfer(int curlCode, long httpStatus);
const char* resultMessage(TileResult code);
bool isRetryable(TileResult code);

// After a 401 on a request sent with `usedToken`: true when the session's
// token has already changed (another request refreshed it) or a refresh
// succeeds now. The comparison and the refresh run under the session lock, so
// concurrent 401s refresh once.
bool refreshAfterUnauthorized(const std::string& usedToken);

// Runs `attempt` with the session's access token; when it completes with 401,
// refreshes once and runs it again with the new token. `attempt` returns the
// transfer's outcome.
HttpResult fetchWithTokenRetry(const std::function<HttpResult(const std::string& accessToken)>& attempt);
