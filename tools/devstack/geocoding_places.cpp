#include "tools/devstack/geocoding_places.h"

#include "tides/ram_table.h"

#include <algorithm>
#include <fstream>
#include <map>

namespace {

// U+00C0 to U+00FF without their accents; "" for the two signs among them.
const char* const kLatin1Folded[64] = {
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    "d", "n", "o", "o", "o", "o", "o", "",  "o", "u", "u", "u", "u", "y", "th", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    "d", "n", "o", "o", "o", "o", "o", "",  "o", "u", "u", "u", "u", "y", "th", "y"};

// The municipalities among the sites, with what the real service says of them.
struct Municipality {
    const char* postcode;
    const char* citycode;
    const char* context;
};
const std::map<std::string, Municipality>& municipalities() {
    static const std::map<std::string, Municipality> known = {
        {"Brest", {"29200", "29019", "29, Finistère, Bretagne"}},
        {"Le Conquet", {"29217", "29040", "29, Finistère, Bretagne"}},
        {"Camaret-sur-Mer", {"29570", "29022", "29, Finistère, Bretagne"}},
        {"Douarnenez", {"29100", "29046", "29, Finistère, Bretagne"}},
        {"Roscoff", {"29680", "29239", "29, Finistère, Bretagne"}},
        {"Concarneau", {"29900", "29039", "29, Finistère, Bretagne"}},
        {"Saint-Malo", {"35400", "35288", "35, Ille-et-Vilaine, Bretagne"}},
        {"Le Havre", {"76600", "76351", "76, Seine-Maritime, Normandie"}},
        {"Dieppe", {"76200", "76217", "76, Seine-Maritime, Normandie"}},
        {"Calais", {"62100", "62193", "62, Pas-de-Calais, Hauts-de-France"}},
        {"Boulogne-sur-Mer", {"62200", "62160", "62, Pas-de-Calais, Hauts-de-France"}},
        {"Dunkerque", {"59140", "59183", "59, Nord, Hauts-de-France"}},
        {"Ajaccio", {"20000", "2A004", "2A, Corse-du-Sud, Corse"}},
    };
    return known;
}

std::string underscoresAsSpaces(std::string text) {
    for (char& c : text)
        if (c == '_') c = ' ';
    return text;
}

int column(const std::vector<std::string>& header, const char* name) {
    for (size_t i = 0; i < header.size(); ++i)
        if (header[i] == name) return static_cast<int>(i);
    return -1;
}

bool parseDegrees(const std::string& text, double& value) {
    try {
        size_t used = 0;
        value = std::stod(text, &used);
        return used == text.size();
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

std::string foldForMatching(const std::string& text) {
    std::string out;
    bool pendingSpace = false;
    auto append = [&](const std::string& piece) {
        if (piece.empty()) {
            pendingSpace = true;
            return;
        }
        if (pendingSpace && !out.empty()) out += ' ';
        pendingSpace = false;
        out += piece;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c >= 'A' && c <= 'Z')
                append(std::string(1, static_cast<char>(c - 'A' + 'a')));
            else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
                append(std::string(1, static_cast<char>(c)));
            else
                append("");
            continue;
        }
        const unsigned char next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        const unsigned codePoint = ((c & 0x1Fu) << 6) | (next & 0x3Fu);
        if ((c == 0xC3) && (next & 0xC0) == 0x80) {
            append(kLatin1Folded[codePoint - 0xC0]);
            ++i;
        } else if (c == 0xC5 && (next == 0x92 || next == 0x93)) {  // Œ œ
            append("oe");
            ++i;
        } else if (c == 0xC5 && next == 0xB8) {  // Ÿ
            append("y");
            ++i;
        } else {
            append(std::string(1, static_cast<char>(c)));  // other letters stay as they are
        }
    }
    return out;
}

std::vector<GeocodingPlace> loadGeocodingPlaces(const std::string& ramFile) {
    std::vector<GeocodingPlace> places;
    std::ifstream in(ramFile, std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line)) return places;
    const std::vector<std::string> header = splitTabs(line);
    const int site = column(header, "SITE"), zone = column(header, "ZONE");
    const int latitude = column(header, "LATITUDE"), longitude = column(header, "LONGITUDE");
    if (site < 0 || latitude < 0 || longitude < 0) return places;
    std::map<std::string, bool> seen;
    while (std::getline(in, line)) {
        const std::vector<std::string> fields = splitTabs(line);
        const int needed = std::max({site, zone, latitude, longitude});
        if (static_cast<int>(fields.size()) <= needed || fields[site].empty()) continue;
        GeocodingPlace place;
        place.label = underscoresAsSpaces(fields[site]);
        if (seen[place.label] || !parseDegrees(fields[latitude], place.lat) ||
            !parseDegrees(fields[longitude], place.lon))
            continue;
        seen[place.label] = true;
        place.key = foldForMatching(place.label);
        place.context = zone >= 0 ? underscoresAsSpaces(fields[zone]) : std::string();
        const auto known = municipalities().find(place.label);
        if (known != municipalities().end()) {
            place.city = place.label;
            place.postcode = known->second.postcode;
            place.citycode = known->second.citycode;
            place.context = known->second.context;
        }
        places.push_back(std::move(place));
    }
    return places;
}

std::vector<const GeocodingPlace*> matchPlaces(const std::vector<GeocodingPlace>& places, const std::string& query,
                                               size_t limit, std::vector<double>& scores) {
    const std::string key = foldForMatching(query);
    std::vector<const GeocodingPlace*> ranked[3];
    if (!key.empty()) {
        const std::string word = " " + key + " ";
        for (const GeocodingPlace& place : places) {
            const std::string padded = " " + place.key + " ";
            const size_t at = padded.find(word);
            if (at == std::string::npos) continue;
            ranked[place.key == key ? 0 : at == 0 ? 1 : 2].push_back(&place);
        }
    }
    static const double kScores[3] = {0.97, 0.84, 0.66};
    std::vector<const GeocodingPlace*> matches;
    scores.clear();
    for (int rank = 0; rank < 3; ++rank)
        for (const GeocodingPlace* place : ranked[rank]) {
            if (matches.size() >= limit) return matches;
            matches.push_back(place);
            scores.push_back(kScores[rank]);
        }
    return matches;
}
