#include "platform/http_client.h"

#include <curl/curl.h>

#include <cstdlib>

namespace {

struct BodySink {
    std::string* text = nullptr;
    std::FILE* file = nullptr;
    uint64_t cap = 0;
    uint64_t received = 0;
    bool tooLarge = false;
};

size_t writeBody(char* data, size_t size, size_t count, void* userData) {
    auto* sink = static_cast<BodySink*>(userData);
    const size_t bytes = size * count;
    if (sink->cap > 0 && sink->received + bytes > sink->cap) {
        sink->tooLarge = true;
        return 0;  // libcurl ends the transfer with a write error
    }
    sink->received += bytes;
    if (sink->text) {
        sink->text->append(data, bytes);
        return bytes;
    }
    return std::fwrite(data, 1, bytes, sink->file);
}

size_t forwardHeader(char* data, size_t size, size_t count, void* userData) {
    const auto* onHeader = static_cast<const std::function<void(const char*, size_t)>*>(userData);
    (*onHeader)(data, size * count);
    return size * count;
}

int forwardProgress(void* userData, curl_off_t expected, curl_off_t received, curl_off_t, curl_off_t) {
    const auto* onProgress = static_cast<const std::function<bool(int64_t, int64_t)>*>(userData);
    return (*onProgress)(received, expected) ? 0 : 1;
}

HttpResult perform(const HttpRequest& request, BodySink& sink) {
    HttpResult result;
    CURL* curl = curl_easy_init();
    if (!curl) {
        result.curlCode = CURLE_FAILED_INIT;
        result.error = result.codeText = curl_easy_strerror(CURLE_FAILED_INIT);
        return result;
    }
    char errorText[CURL_ERROR_SIZE] = {};
    curl_slist* headers = nullptr;
    for (const std::string& line : request.headers) headers = curl_slist_append(headers, line.c_str());

    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, request.timeoutSeconds);
    if (request.connectTimeoutSeconds > 0) curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, request.connectTimeoutSeconds);
    if (request.lowSpeedSeconds > 0) {
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, request.lowSpeedBytes);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, request.lowSpeedSeconds);
    }
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    const char* caFile = std::getenv("ABYSTO_CA_FILE");
    if (caFile && *caFile) curl_easy_setopt(curl, CURLOPT_CAINFO, caFile);
    if (request.acceptAnyEncoding) curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    if (!request.userAgent.empty()) curl_easy_setopt(curl, CURLOPT_USERAGENT, request.userAgent.c_str());
    if (headers) curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    if (request.post) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.postBody.c_str());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.postBody.size()));
    }
    if (request.resumeFrom > 0) curl_easy_setopt(curl, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(request.resumeFrom));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    if (request.onHeader) {
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, forwardHeader);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, &request.onHeader);
    }
    if (request.onProgress) {
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, forwardProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &request.onProgress);
    }

    const CURLcode code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
    curl_easy_cleanup(curl);
    curl_slist_free_all(headers);

    result.curlCode = code;
    result.bodyTooLarge = sink.tooLarge;
    if (code != CURLE_OK) {
        result.codeText = curl_easy_strerror(code);
        result.error = errorText[0] ? errorText : result.codeText;
    }
    return result;
}

bool isContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

} // namespace

HttpResult httpFetch(const HttpRequest& request, std::string& body) {
    body.clear();
    BodySink sink;
    sink.text = &body;
    sink.cap = request.maxBodyBytes;
    return perform(request, sink);
}

HttpResult httpFetchToFile(const HttpRequest& request, std::FILE* file) {
    BodySink sink;
    sink.file = file;
    sink.cap = request.maxBodyBytes;
    return perform(request, sink);
}

std::string encodeQueryValue(const std::string& value) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : value) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                c == '-' || c == '_' || c == '.' || c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string textExcerpt(const std::string& text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    size_t end = maxBytes;
    // Back off to the start of the character that the cut would split.
    while (end > 0 && isContinuationByte(static_cast<unsigned char>(text[end]))) --end;
    return text.substr(0, end);
}
