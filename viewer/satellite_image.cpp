#include "viewer/satellite_image.h"

#include <curl/curl.h>
#include <stb_image.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <locale>
#include <sstream>

namespace {

// A JPEG of 4096 x 4096 stays far below this; anything larger is not an
// answer to our request and would only fill the memory.
constexpr size_t kMaxBodyBytes = 64u * 1024u * 1024u;

size_t appendToBuffer(char* data, size_t size, size_t count, void* userData) {
    auto* buffer = static_cast<std::vector<unsigned char>*>(userData);
    const size_t bytes = size * count;
    if (buffer->size() + bytes > kMaxBodyBytes) return 0;  // libcurl aborts with a write error
    buffer->insert(buffer->end(), data, data + bytes);
    return bytes;
}

} // namespace

std::string wmsBaseUrl() {
    std::string base = kDefaultWmsBaseUrl;
    const char* env = std::getenv("ABYSTO_WMS_URL");
    if (env && *env) base = env;
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base;
}

std::string satelliteRequestUrl(const std::string& baseUrl, double minLon, double minLat, double maxLon,
                                double maxLat, int width, int height) {
    std::ostringstream url;
    url.imbue(std::locale::classic());  // a decimal comma would break the BBOX
    url << baseUrl << "/wms-r?LAYERS=OI.OrthoimageCoverage"
        << "&FORMAT=image/jpeg&SERVICE=WMS&VERSION=1.3.0&REQUEST=GetMap&STYLES="
        << "&CRS=EPSG:4326"
        << "&BBOX=" << minLat << "," << minLon << "," << maxLat << "," << maxLon << "&WIDTH=" << width
        << "&HEIGHT=" << height;
    return url.str();
}

int satelliteImageHeight(double minLon, double minLat, double maxLon, double maxLat, int width) {
    const double lonSpan = maxLon - minLon;
    if (lonSpan > 0.0001) return static_cast<int>((maxLat - minLat) / lonSpan * width);
    return width;
}

SatelliteImage fetchSatelliteImage(double minLon, double minLat, double maxLon, double maxLat, int width,
                                   int height) {
    SatelliteImage result;
    const std::string url = satelliteRequestUrl(wmsBaseUrl(), minLon, minLat, maxLon, maxLat, width, height);

    CURL* curl = curl_easy_init();
    if (!curl) {
        std::cerr << "Erreur init curl." << std::endl;
        return result;
    }
    std::vector<unsigned char> body;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendToBuffer);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 15L);
    const CURLcode code = curl_easy_perform(curl);
    curl_easy_cleanup(curl);

    if (code != CURLE_OK) {
        std::cerr << "Erreur curl : " << curl_easy_strerror(code) << std::endl;
        return result;
    }

    int w = 0, h = 0, channels = 0;
    unsigned char* decoded = nullptr;
    if (!body.empty() && body.size() <= static_cast<size_t>(INT_MAX))
        decoded = stbi_load_from_memory(body.data(), static_cast<int>(body.size()), &w, &h, &channels, 3);
    if (!decoded) {
        std::cerr << "Erreur décodage image WMS (réponse non-image ?)." << std::endl;
        return result;
    }
    const size_t bytes = static_cast<size_t>(w) * static_cast<size_t>(h) * 3u;
    result.pixels.assign(decoded, decoded + bytes);
    result.width = w;
    result.height = h;
    result.ok = true;
    stbi_image_free(decoded);
    return result;
}
