// WMS 1.3.0 GetMap on "/wms-r", the way the national orthophoto service
// answers: a JPEG of the box, or a ServiceExceptionReport with HTTP 200.
// Images are drawn from the terrain tiles given with --tiles.
//
// Fault hooks for tests, placed before "/wms-r" so a client only changes its base URL:
//   /status/NNN/wms-r   the normal answer with HTTP status NNN
//   /redirect/wms-r     302 to /wms-r with the same query
//   /empty/wms-r        HTTP 200, image/jpeg, no body
//   /huge/wms-r         HTTP 200, image/jpeg, 80 MiB of zeros
// Every request is logged on standard output as "WMS <target> -> <status>".
#include "tools/devstack/aerial_image.h"
#include "tools/devstack/devstack.h"
#include "tools/devstack/terrain_tiles.h"

#include <gdal.h>
#include <httplib.h>
#include <stb_image_write.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr const char* kLayer = "OI.OrthoimageCoverage";
constexpr int kMaxImageSide = 4096;
constexpr size_t kHugeBodyBytes = 80u * 1024u * 1024u;

struct WmsError {
    std::string code;  // empty: no code attribute
    std::string message;
};

struct GetMapRequest {
    bool lambert93 = false;  // BBOX in EPSG:2154 metres instead of degrees
    LatLonBox box;
    Lambert93Box metres;
    int width = 0;
    int height = 0;
};

// Terrain is read on the first image; drawing is one image at a time.
struct WmsState {
    std::string tilesDir;
    std::mutex mutex;
    std::unique_ptr<TerrainTiles> terrain;
};

std::mutex logMutex;

void logRequest(const httplib::Request& req, int status) {
    std::lock_guard<std::mutex> lock(logMutex);
    std::cout << "WMS " << req.target << " -> " << status << std::endl;
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

std::string xmlEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string exceptionReport(const WmsError& error) {
    std::string xml =
        "<?xml version='1.0' encoding=\"UTF-8\" standalone=\"no\" ?>\n"
        "<ServiceExceptionReport version=\"1.3.0\" xmlns=\"http://www.opengis.net/ogc\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xsi:schemaLocation=\"http://www.opengis.net/ogc "
        "http://schemas.opengis.net/wms/1.3.0/exceptions_1_3_0.xsd\">\n";
    xml += error.code.empty() ? "<ServiceException>\n" : "<ServiceException code=\"" + error.code + "\">\n";
    xml += "WMS server error. " + xmlEscape(error.message) + "\n";
    xml += "</ServiceException>\n</ServiceExceptionReport>\n";
    return xml;
}

bool parseNumber(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

bool parseSize(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= 1 && value <= kMaxImageSide;
}

// Checks the query the way a WMS 1.3.0 server does, first fault first.
bool parseGetMap(const httplib::Request& req, GetMapRequest& out, WmsError& error) {
    std::map<std::string, std::string> params;  // parameter names are case-insensitive
    for (const auto& [key, value] : req.params) params.emplace(upper(key), value);
    auto missing = [&](const char* name) {
        if (params.count(name)) return false;
        error = {"MissingParameterValue", std::string("Missing required parameter ") + name};
        return true;
    };

    if (missing("SERVICE") || missing("REQUEST")) return false;
    if (upper(params["SERVICE"]) != "WMS") {
        error = {"InvalidParameterValue", "Unsupported SERVICE (" + params["SERVICE"] + "), expected WMS"};
        return false;
    }
    if (upper(params["REQUEST"]) != "GETMAP") {
        error = {"OperationNotSupported", "Unsupported REQUEST (" + params["REQUEST"] + "), only GetMap is served"};
        return false;
    }
    if (missing("VERSION")) return false;
    if (params["VERSION"] != "1.3.0") {
        error = {"", "Invalid VERSION (" + params["VERSION"] + "). This service speaks WMS 1.3.0"};
        return false;
    }
    if (missing("LAYERS")) return false;
    if (params["LAYERS"] != kLayer) {
        error = {"LayerNotDefined", "Invalid layer(s) given in the LAYERS parameter (" + params["LAYERS"] + ")"};
        return false;
    }
    if (missing("STYLES")) return false;
    const std::string style = params["STYLES"];
    if (!style.empty() && style != "normal" && style != "default") {
        error = {"StyleNotDefined", "Style (" + style + ") not defined on layer"};
        return false;
    }
    if (missing("CRS")) return false;
    const std::string crs = upper(params["CRS"]);
    if (crs != "EPSG:4326" && crs != "CRS:84" && crs != "EPSG:2154") {
        error = {"InvalidCRS", "Invalid CRS given (" + params["CRS"] + "): EPSG:4326, CRS:84 and EPSG:2154 are served"};
        return false;
    }
    if (missing("BBOX")) return false;
    double v[4];
    std::string rest = params["BBOX"];
    int n = 0;
    for (; n < 4; ++n) {
        const size_t comma = rest.find(',');
        const std::string part = n < 3 ? rest.substr(0, comma) : rest;
        if ((n < 3 && comma == std::string::npos) || !parseNumber(part, v[n])) break;
        if (n < 3) rest = rest.substr(comma + 1);
    }
    if (n < 4) {
        error = {"InvalidParameterValue", "Invalid BBOX (" + params["BBOX"] + "): four numbers expected"};
        return false;
    }
    // EPSG:4326 in WMS 1.3.0 puts latitude first; CRS:84 puts longitude first;
    // EPSG:2154 gives easting then northing.
    out.lambert93 = crs == "EPSG:2154";
    out.metres = Lambert93Box{v[0], v[1], v[2], v[3]};
    out.box = crs == "EPSG:4326" ? LatLonBox{v[0], v[1], v[2], v[3]} : LatLonBox{v[1], v[0], v[3], v[2]};
    if (v[0] >= v[2] || v[1] >= v[3]) {
        error = {"InvalidParameterValue", "Invalid BBOX (" + params["BBOX"] + "): minimum must be below maximum"};
        return false;
    }
    if (missing("WIDTH") || missing("HEIGHT")) return false;
    if (!parseSize(params["WIDTH"], out.width) || !parseSize(params["HEIGHT"], out.height)) {
        error = {"InvalidParameterValue", "Invalid WIDTH or HEIGHT (" + params["WIDTH"] + " x " + params["HEIGHT"] +
                                              "): whole numbers from 1 to " + std::to_string(kMaxImageSide)};
        return false;
    }
    if (missing("FORMAT")) return false;
    if (params["FORMAT"] != "image/jpeg") {
        error = {"InvalidFormat", "Unsupported FORMAT (" + params["FORMAT"] + "), only image/jpeg is served"};
        return false;
    }
    return true;
}

void appendBytes(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
}

// The GetMap answer (JPEG or exception report) with the given HTTP status.
void answerGetMap(WmsState& state, const httplib::Request& req, httplib::Response& res, int status) {
    res.status = status;
    GetMapRequest request;
    WmsError error;
    if (!parseGetMap(req, request, error)) {
        res.set_content(exceptionReport(error), "text/xml; charset=UTF-8");
        return;
    }

    std::vector<uint8_t> rgb;
    bool drawn = false;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        if (!state.terrain) {
            state.terrain = std::make_unique<TerrainTiles>(state.tilesDir);
            std::cout << "WMS : " << state.terrain->tileCount() << " dalle(s) de terrain dans '" << state.tilesDir
                      << "'" << std::endl;
        }
        drawn = request.lambert93
                    ? renderAerialImage(*state.terrain, request.metres, request.width, request.height, rgb)
                    : renderAerialImage(*state.terrain, request.box, request.width, request.height, rgb);
    }
    std::string jpeg;
    if (drawn)
        drawn = stbi_write_jpg_to_func(appendBytes, &jpeg, request.width, request.height, 3, rgb.data(), 90) != 0;
    if (!drawn) {
        res.set_content(exceptionReport({"", "Image rendering failed (EPSG:4326 to EPSG:2154)"}),
                        "text/xml; charset=UTF-8");
        return;
    }
    res.set_content(jpeg, "image/jpeg");
}

std::string queryOf(const httplib::Request& req) {
    const size_t mark = req.target.find('?');
    return mark == std::string::npos ? std::string() : req.target.substr(mark);
}

} // namespace

void registerWmsService(httplib::Server& server, const DevstackOptions& options) {
    GDALAllRegister();
    auto state = std::make_shared<WmsState>();
    state->tilesDir = options.tilesDir;

    server.Get("/wms-r", [state](const httplib::Request& req, httplib::Response& res) {
        answerGetMap(*state, req, res, 200);
        logRequest(req, res.status);
    });
    server.Get(R"(/status/(\d{3})/wms-r)", [state](const httplib::Request& req, httplib::Response& res) {
        const int status = std::stoi(req.matches[1]);
        answerGetMap(*state, req, res, status >= 200 && status <= 599 ? status : 500);
        logRequest(req, res.status);
    });
    server.Get("/redirect/wms-r", [](const httplib::Request& req, httplib::Response& res) {
        res.set_redirect("/wms-r" + queryOf(req));
        logRequest(req, res.status);
    });
    server.Get("/empty/wms-r", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content("", "image/jpeg");
        logRequest(req, res.status);
    });
    server.Get("/huge/wms-r", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content_provider(kHugeBodyBytes, "image/jpeg", [](size_t offset, size_t length, httplib::DataSink& sink) {
            static const std::string zeros(1024 * 1024, '\0');
            const size_t chunk = std::min(length, zeros.size());
            (void)offset;
            return sink.write(zeros.data(), chunk);
        });
        logRequest(req, 200);
    });
}
