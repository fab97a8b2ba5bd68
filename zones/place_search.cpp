#include "zones/place_search.h"

#include "platform/http_client.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <stdexcept>

using nlohmann::json;

namespace {

// A handful of municipalities is a few kilobytes; anything near this is not an answer.
constexpr uint64_t kMaxAnswerBytes = 4u << 20;

double coordinate(const json& coordinates, size_t index) {
    const json& value = coordinates.at(index);
    if (!value.is_number()) throw std::runtime_error("coordonnée non numérique");
    const double degrees = value.get<double>();
    if (!std::isfinite(degrees)) throw std::runtime_error("coordonnée non numérique");
    return degrees;
}

} // namespace

std::string geocodingServiceUrl() {
    const char* env = std::getenv("ABYSTO_GEOCODING_URL");
    std::string url = env && *env ? env : kDefaultGeocodingUrl;
    while (!url.empty() && url.back() == '/') url.pop_back();
    return url;
}

std::string placeSearchUrl(const std::string& baseUrl, const std::string& query, int limit) {
    return baseUrl + "/geocodage/search?q=" + encodeQueryValue(query) + "&type=municipality&limit=" +
           std::to_string(limit);
}

bool searchPlaces(const std::string& query, std::vector<PlaceResult>& results, int limit) {
    HttpRequest request;
    request.url = placeSearchUrl(geocodingServiceUrl(), query, limit);
    request.followRedirects = true;
    request.timeoutSeconds = 10;
    request.maxBodyBytes = kMaxAnswerBytes;
    std::string body;
    const HttpResult result = httpFetch(request, body);
    if (!result.completed()) {
        std::cerr << "Erreur géocodage : " << result.codeText << std::endl;
        return false;
    }
    return readPlaceResults(body, results);
}

bool readPlaceResults(const std::string& body, std::vector<PlaceResult>& results) {
    try {
        const json doc = json::parse(body);
        for (const json& feature : doc.at("features")) {
            const json& properties = feature.at("properties");
            PlaceResult place;
            place.label = properties.value("label", std::string());
            place.city = properties.value("city", place.label);
            place.postcode = properties.value("postcode", std::string());
            const json& coordinates = feature.at("geometry").at("coordinates");
            place.lon = coordinate(coordinates, 0);
            place.lat = coordinate(coordinates, 1);
            results.push_back(std::move(place));
        }
    } catch (const std::exception& e) {
        std::cerr << "Erreur parsing géocodage : " << e.what() << std::endl;
        return false;
    }
    return true;
}
