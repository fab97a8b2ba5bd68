// One HTTP exchange over libcurl's easy interface: a fresh handle per request,
// every option a plain field, the body into a string or into an open file.
// Every client of the program (tides, orthophotos, accounts, tiles, updates,
// place search) goes through here with its own options.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

struct HttpRequest {
    std::string url;
    // A POST with this body when set, else a GET.
    bool post = false;
    std::string postBody;
    // "Name: value" lines, sent in this order.
    std::vector<std::string> headers;
    std::string userAgent;  // empty: none sent
    bool followRedirects = false;
    long timeoutSeconds = 15;         // the whole transfer
    long connectTimeoutSeconds = 0;   // 0: libcurl's own
    // A transfer slower than lowSpeedBytes per second for lowSpeedSeconds is
    // ended as a time-out (0: never), so a stalled body does not hold a worker.
    long lowSpeedBytes = 0;
    long lowSpeedSeconds = 0;
    // An empty Accept-Encoding: every encoding libcurl decodes, decoded on arrival.
    bool acceptAnyEncoding = false;
    // Asks for the bytes from this offset on (Range), for a resumed download.
    int64_t resumeFrom = 0;
    // 0: no cap. Received bytes beyond it end the transfer (bodyTooLarge); an announced size is not looked
    // at here: a caller that knows what to expect checks it in onProgress.
    uint64_t maxBodyBytes = 0;
    // Each header line as libcurl hands it over, status line and blank line included.
    std::function<void(const char* data, size_t size)> onHeader;
    // Bytes received so far and expected (0 when unknown); false cancels the transfer.
    std::function<bool(int64_t received, int64_t expected)> onProgress;
};

struct HttpResult {
    int curlCode = 0;           // libcurl's CURLcode; 0 when the transfer completed
    long status = 0;            // HTTP status, 0 when no answer came
    bool bodyTooLarge = false;  // the body cap ended it (curlCode is then a write error)
    std::string error;          // libcurl's detailed words for a failed transfer
    std::string codeText;       // libcurl's fixed text for curlCode
    bool completed() const { return curlCode == 0; }
};

// TLS peers are always verified, only http and https are spoken (also after a
// redirect), and no signal is used, so workers may call these. When the
// environment names a CA file in ABYSTO_CA_FILE, it replaces the system's
// certificate authorities (tests with a certificate of their own).
HttpResult httpFetch(const HttpRequest& request, std::string& body);
// The body is written to `file` as it arrives; a short write ends the transfer
// with a write error.
HttpResult httpFetchToFile(const HttpRequest& request, std::FILE* file);

// Percent-encodes everything outside RFC 3986's unreserved characters, so a
// query value cannot break or extend the URL. Letters, digits, '-', '_', '.'
// and '~' come out unchanged.
std::string encodeQueryValue(const std::string& value);

// At most `maxBytes` of `text`, never ending inside a UTF-8 character.
std::string textExcerpt(const std::string& text, size_t maxBytes = 300);
