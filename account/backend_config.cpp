#include "account/backend_config.h"

#include <cstdlib>

namespace {

std::string fromEnvironment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : std::string(fallback);
}

} // namespace

std::string authBackendUrl() {
    std::string url = fromEnvironment("ABYSTO_AUTH_URL", kDefaultAuthUrl);
    while (!url.empty() && url.back() == '/') url.pop_back();
    return url;
}

std::string authAnonKey() {
    return fromEnvironment("ABYSTO_AUTH_KEY", kDefaultAuthAnonKey);
}
