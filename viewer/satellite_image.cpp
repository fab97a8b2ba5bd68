#include "viewer/satellite_image.h"

#include "platform/http_client.h"

#include <stb_image.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <locale>
#include <sstream>

namespace {

// A JPEG of 4096 x 4096 stays far below this; anything larger is not an
// answer to our request and would only fill the memory.
constexpr uint64_t kMaxBodyBytes = 64u * 1024u * 1024u;

const char* kGetMapPrefix = "/wms-r?LAYERS=OI.OrthoimageCoverage&FORMAT=image/jpeg&SERVICE=WMS&VERSION=1.3.0"
                            "&REQUEST=GetMap&STYLES=";

SatelliteImage fetchSatelliteImageAt(const std::string& url);

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
    url << baseUrl << kGetMapPrefix << "&CRS=EPSG:4326"
        << "&BBOX=" << minLat << "," << minLon << "," << maxLat << "," << maxLon << "&WIDTH=" << width
        << "&HEIGHT=" << height;
    return url.str();
}

std::string satelliteRequestUrlLambert93(const std::string& baseUrl, double minX, double minY, double maxX,
                                         double maxY, int width, int height) {
    std::ostringstream url;
    url.imbue(std::locale::classic());
    url << std::fixed << std::setprecision(2);  // centimetres; six significant digits would round to 10 m
    url << baseUrl << kGetMapPrefix << "&CRS=EPSG:2154"
        << "&BBOX=" << minX << "," << minY << "," << maxX << "," << maxY << "&WIDTH=" << width
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
    return fetchSatelliteImageAt(satelliteRequestUrl(wmsBaseUrl(), minLon, minLat, maxLon, maxLat, width, height));
}

SatelliteImage fetchSatelliteImageLambert93(double minX, double minY, double maxX, double maxY, int width,
                                            int height) {
    return fetchSatelliteImageAt(satelliteRequestUrlLambert93(wmsBaseUrl(), minX, minY, maxX, maxY, width, height));
}

namespace {

SatelliteImage fetchSatelliteImageAt(const std::string& url) {
    SatelliteImage result;
    HttpRequest request;
    request.url = url;
    request.followRedirects = true;
    request.timeoutSeconds = 15;
    request.maxBodyBytes = kMaxBodyBytes;
    std::string body;
    const HttpResult transfer = httpFetch(request, body);
    if (!transfer.completed()) {
        std::cerr << "Erreur curl : " << transfer.codeText << std::endl;
        return result;
    }

    int w = 0, h = 0, channels = 0;
    unsigned char* decoded = nullptr;
    if (!body.empty() && body.size() <= static_cast<size_t>(INT_MAX))
        decoded = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(body.data()), static_cast<int>(body.size()),
                                        &w, &h, &channels, 3);
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

} // namespace
