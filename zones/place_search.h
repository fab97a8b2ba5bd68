// Place search: a town name as typed, turned into matching municipalities
// with their coordinates by the national geocoding service (GeoJSON answer).
#pragma once

#include <string>
#include <vector>

// The national geocoding platform; ABYSTO_GEOCODING_URL replaces it at run
// time (tests and the demo point it at the local stand-in).
inline constexpr const char* kDefaultGeocodingUrl = "https://data.geopf.fr";

struct PlaceResult {
    std::string label;  // the service's display label, UTF-8
    std::string city;
    std::string postcode;
    double lat = 0.0;  // WGS84 degrees
    double lon = 0.0;
};

// ABYSTO_GEOCODING_URL when set and not empty, else the compiled default; no trailing slash.
std::string geocodingServiceUrl();

// baseUrl + "/geocodage/search?q=" + the query percent-encoded byte by byte
// + "&type=municipality&limit=" + limit.
std::string placeSearchUrl(const std::string& baseUrl, const std::string& query, int limit);

// One synchronous GET (10 s at most). Appends the matches in the service's
// order to `results`; true when the request succeeded and the whole answer
// was read. A failed transfer or an answer that is not the expected GeoJSON
// prints one line on std::cerr; matches read before a faulty feature stay.
bool searchPlaces(const std::string& query, std::vector<PlaceResult>& results, int limit);

// The matches of a service's GeoJSON answer, appended in its order; false
// (and one line on std::cerr) for anything else. Matches read before a
// faulty feature stay.
bool readPlaceResults(const std::string& body, std::vector<PlaceResult>& results);
