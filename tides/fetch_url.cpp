#include "tides/fetch_url.h"

#include <curl/curl.h>
#include <iostream>

namespace {

size_t appendChunk(char* data, size_t size, size_t count, void* userData) {
    static_cast<std::string*>(userData)->append(data, size * count);
    return size * count;
}

bool isContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

} // namespace

std::string textExcerpt(const std::string& text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    size_t end = maxBytes;
    // Back off to the start of the character that the cut would split.
    while (end > 0 && isContinuationByte(static_cast<unsigned char>(text[end]))) --end;
    return text.substr(0, end);
}

std::string maskKeyInUrl(const std::string& url) {
    const size_t query = url.find('?');
    if (query == std::string::npos) return url;
    std::string result = url;
    size_t pos = query;
    while (pos < result.size()) {
        const size_t start = pos + 1;
        const size_t end = std::min(result.find('&', start), result.size());
        if (result.compare(start, 4, "key=") == 0 && end > start + 4) {
            result.replace(start + 4, end - start - 4, "***");
            pos = start + 4 + 3;
        } else {
            pos = end;
        }
    }
    return result;
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

bool fetchUrl(const std::string& url, std::string& body) {
    body.clear();
    CURL* curl = curl_easy_init();
    if (!curl) return false;

    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendChunk);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 15L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);

    const CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);

    if (code != CURLE_OK) {
        std::cerr << "Erreur curl : " << (errorText[0] ? errorText : curl_easy_strerror(code)) << std::endl;
        return false;
    }
    if (status >= 400) {
        std::cerr << "HTTP " << status << " sur " << maskKeyInUrl(url) << "\n"
                  << "  reponse : " << textExcerpt(body) << std::endl;
        return false;
    }
    return true;
}
