#include "tides/tide_service_config.h"

#include <cstdlib>

namespace {

std::string fromEnvironment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : std::string(fallback);
}

} // namespace

std::string tideServiceUrl() {
    std::string url = fromEnvironment("ABYSTO_TIDE_URL", kDefaultTideServiceUrl);
    // The paths are appended with their own slash.
    while (!url.empty() && url.back() == '/') url.pop_back();
    return url;
}

std::string tideServiceKey() {
    return fromEnvironment("ABYSTO_TIDE_KEY", kDefaultTideServiceKey);
}
