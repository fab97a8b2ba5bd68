// The places the geocoding stand-in knows: Shom's named tide sites (from the
// RAM table the program ships), a few of them with the municipality data the
// real service gives (city, postcode, INSEE code), the others without.
#pragma once

#include <string>
#include <vector>

struct GeocodingPlace {
    std::string label;     // the site's name, underscores as spaces
    std::string key;       // label folded for matching
    std::string city;      // empty: no "city" property
    std::string postcode;  // empty: no "postcode" property
    std::string citycode;
    std::string context;
    double lat = 0.0;
    double lon = 0.0;
};

struct CapturedAnswer {
    std::string query;
    std::string body;  // a GeoJSON FeatureCollection as received
};

// Lower case, accents and ligatures dropped, every run of characters other
// than letters and digits one space, no space at either end: "Saint-Malo"
// and "saint  malo" both become "saint malo".
std::string foldForMatching(const std::string& text);

// The named sites of the tab-separated RAM file, in file order, one per
// label; empty when the file cannot be read.
std::vector<GeocodingPlace> loadGeocodingPlaces(const std::string& ramFile);

// Places whose folded label holds the folded query as whole words: exact
// labels first, then labels starting with it, then the others, file order
// within each; at most `limit`. `scores` receives one score per match.
std::vector<const GeocodingPlace*> matchPlaces(const std::vector<GeocodingPlace>& places, const std::string& query,
                                               size_t limit, std::vector<double>& scores);

const std::vector<CapturedAnswer>& capturedGeocodingAnswers();
