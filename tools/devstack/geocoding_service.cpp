// The national geocoding service played locally:
//   GET /geocodage/search?q=...&type=municipality&limit=N
// answers a GeoJSON FeatureCollection of the matching places, in the shape
// of the real service. Its places are Shom's named tide sites (--ram FILE,
// else the repository's RAM table) and the captured answers of the real
// service for the queries they answered; matching ignores case and accents.
// Special queries make it fail on purpose:
//   q "test-page-erreur"       502 with a plain-text (HTML) error page
//   q "test-json-casse"        a truncated JSON document
//   q "test-coordonnee-texte"  a good feature, then one whose latitude is text
// Every request is counted under its raw target (GET /__counts).
#include "tools/devstack/devstack.h"
#include "tools/devstack/geocoding_places.h"
#include "tools/devstack/request_counts.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <iostream>
#include <memory>

using nlohmann::json;

namespace {

// The real service refuses more than this.
constexpr long kMaxLimit = 50;

void sendJson(httplib::Response& res, int status, const json& body) {
    res.status = status;
    res.set_content(body.dump(), "application/json; charset=utf-8");
}

void sendBadRequest(httplib::Response& res, const std::string& detail) {
    sendJson(res, 400, {{"code", 400}, {"message", "Failed parsing query"}, {"detail", json::array({detail})}});
}

json feature(const GeocodingPlace& place, double score) {
    json properties = {{"label", place.label}, {"score", score}, {"type", "municipality"}, {"name", place.label}};
    if (!place.citycode.empty()) properties["id"] = place.citycode;
    if (!place.postcode.empty()) properties["postcode"] = place.postcode;
    if (!place.citycode.empty()) properties["citycode"] = place.citycode;
    if (!place.city.empty()) properties["city"] = place.city;
    if (!place.context.empty()) properties["context"] = place.context;
    properties["importance"] = score * 0.5;
    properties["municipality"] = place.label;
    properties["_type"] = "address";
    return {{"type", "Feature"},
            {"geometry", {{"type", "Point"}, {"coordinates", {place.lon, place.lat}}}},
            {"properties", properties}};
}

// True when the query was one of the failure switches.
bool answeredOnPurpose(const std::string& query, httplib::Response& res) {
    if (query == "test-page-erreur") {
        res.status = 502;
        res.set_content("<html><head><title>502 Bad Gateway</title></head>\n<body><center><h1>502 Bad Gateway"
                        "</h1></center></body></html>\n",
                        "text/html");
    } else if (query == "test-json-casse") {
        res.status = 200;
        res.set_content(R"({"type":"FeatureCollection","features":[{"type":"Feature","geometry":{"type":"Po)",
                        "application/json");
    } else if (query == "test-coordonnee-texte") {
        GeocodingPlace good{"Brest", "brest", "Brest", "29200", "29019", "29, Finistère, Bretagne", 48.3825, -4.494717};
        json bad = feature(good, 0.5);
        bad["properties"]["label"] = "Brest (texte)";
        bad["geometry"]["coordinates"] = {-4.494717, "48.3825"};
        sendJson(res, 200, {{"type", "FeatureCollection"}, {"features", {feature(good, 0.97), bad}}, {"query", query}});
    } else {
        return false;
    }
    return true;
}

} // namespace

void registerGeocodingService(httplib::Server& server, const DevstackOptions& options) {
    const std::string ramFile = options.value("ram", ABYSTO_DEVSTACK_RAM_FILE);
    auto places = std::make_shared<const std::vector<GeocodingPlace>>(loadGeocodingPlaces(ramFile));
    if (places->empty()) std::cerr << "Géocodage : aucun lieu lu dans " << ramFile << std::endl;

    server.Get("/geocodage/search", [places](const httplib::Request& req, httplib::Response& res) {
        countRequest(req.target);
        if (!req.has_param("q")) return sendBadRequest(res, "q: required");
        const std::string query = req.get_param_value("q");
        if (answeredOnPurpose(query, res)) return;
        if (foldForMatching(query).size() < 3 || query.size() > 200)
            return sendBadRequest(res, "q: must contain between 3 and 200 chars and start with a number or a letter");
        long limit = 10;
        if (req.has_param("limit")) {
            try {
                size_t used = 0;
                const std::string text = req.get_param_value("limit");
                limit = std::stol(text, &used);
                if (used != text.size()) limit = 0;
            } catch (const std::exception&) {
                limit = 0;
            }
            if (limit < 1 || limit > kMaxLimit) return sendBadRequest(res, "limit: must be between 1 and 50");
        }

        for (const CapturedAnswer& answer : capturedGeocodingAnswers()) {
            if (foldForMatching(answer.query) != foldForMatching(query)) continue;
            json body = json::parse(answer.body);
            json& features = body["features"];
            if (features.size() > static_cast<size_t>(limit)) features.erase(features.begin() + limit, features.end());
            return sendJson(res, 200, body);
        }

        std::vector<double> scores;
        const auto matches = matchPlaces(*places, query, static_cast<size_t>(limit), scores);
        json features = json::array();
        for (size_t i = 0; i < matches.size(); ++i) features.push_back(feature(*matches[i], scores[i]));
        sendJson(res, 200, {{"type", "FeatureCollection"}, {"features", features}, {"query", query}});
    });
}
