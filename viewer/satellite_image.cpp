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

// Far beyond any orthophoto asked for (1024 pixels wide); 192 MiB once decoded.
constexpr uint64_t kMaxImagePixels = 8192u * 8192u;

// The most pixels a format can pack into one byte of file: a baseline or
// progressive JPEG spends at least one bit on each 8 x 8 block; deflate
// expands a byte at most 1032 times, and a 1-bit PNG packs 8 pixels a byte.
constexpr uint64_t kJpegPixelsPerByte = 512;
constexpr uint64_t kPngPixelsPerByte = 1032u * 8u;

uint32_t bigEndian32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// Every chunk of a PNG lies within the body: the decoder would otherwise
// reserve what a chunk announces before reading it.
bool pngChunksFit(const std::string& body) {
    size_t at = 8;
    while (at + 12 <= body.size()) {
        const uint64_t length = bigEndian32(body, at);
        if (length > body.size() - at - 12) return false;
        if (body.compare(at + 4, 4, "IEND") == 0) return true;
        at += 12 + size_t(length);
    }
    return false;
}

// A JPEG or PNG (the two formats asked of the service) whose announced size
// fits both the cap and the bytes actually present; checked before the
// decoder reserves memory for it.
bool imageIsPlausible(const std::string& body) {
    const bool jpeg = body.size() >= 3 && body.compare(0, 3, "\xFF\xD8\xFF") == 0;
    const bool png = body.size() >= 8 && body.compare(0, 8, "\x89PNG\r\n\x1A\n") == 0;
    if (!(jpeg || png) || body.size() > static_cast<size_t>(INT_MAX)) return false;
    if (png && !pngChunksFit(body)) return false;
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(reinterpret_cast<const unsigned char*>(body.data()), static_cast<int>(body.size()), &w,
                               &h, &channels) ||
        w <= 0 || h <= 0)
        return false;
    const uint64_t pixels = uint64_t(w) * uint64_t(h);
    return pixels <= kMaxImagePixels && pixels <= uint64_t(body.size()) * (jpeg ? kJpegPixelsPerByte : kPngPixelsPerByte);
}

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
    HttpRequest request;
    request.url = url;
    request.followRedirects = true;
    request.timeoutSeconds = 15;
    request.maxBodyBytes = kMaxBodyBytes;
    std::string body;
    const HttpResult transfer = httpFetch(request, body);
    if (!transfer.completed()) {
        std::cerr << "Erreur curl : " << transfer.codeText << std::endl;
        return {};
    }
    return decodeSatelliteImage(body);
}

} // namespace

SatelliteImage decodeSatelliteImage(const std::string& body) {
    SatelliteImage result;
    int w = 0, h = 0, channels = 0;
    unsigned char* decoded = nullptr;
    if (imageIsPlausible(body))
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
