#include "tides/fetch_url.h"

#include <algorithm>
#include <iostream>

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

namespace {

// A month of water levels at one-minute steps is a few megabytes; more is not
// an answer to our request.
constexpr uint64_t kMaxBodyBytes = 32u * 1024u * 1024u;

} // namespace

bool fetchUrl(const std::string& url, std::string& body) {
    HttpRequest request;
    request.url = url;
    request.followRedirects = true;
    request.timeoutSeconds = 15;
    request.maxBodyBytes = kMaxBodyBytes;
    const HttpResult result = httpFetch(request, body);
    if (!result.completed()) {
        std::cerr << "Erreur curl : " << result.error << std::endl;
        return false;
    }
    if (result.status >= 400) {
        std::cerr << "HTTP " << result.status << " sur " << maskKeyInUrl(url) << "\n"
                  << "  reponse : " << textExcerpt(body) << std::endl;
        return false;
    }
    return true;
}
