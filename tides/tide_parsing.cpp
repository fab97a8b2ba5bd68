#include "tides/tide_parsing.h"

#include "tides/fetch_url.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <iostream>
#include <nlohmann/json.hpp>
#include <stdexcept>

using nlohmann::json;

namespace {

// Members read strictly: absent gives the default, any other type is a fault
// of the document (nlohmann would quietly turn a boolean into a number).
std::string stringMember(const json& object, const char* key) {
    if (!object.is_object()) throw std::runtime_error("un objet est attendu, trouve : " + std::string(object.type_name()));
    const auto it = object.find(key);
    if (it == object.end()) return {};
    if (!it->is_string()) throw std::runtime_error(std::string("\"") + key + "\" n'est pas un texte");
    return it->get<std::string>();
}

double numberMember(const json& object, const char* key, double fallback) {
    if (!object.is_object()) throw std::runtime_error("un objet est attendu, trouve : " + std::string(object.type_name()));
    const auto it = object.find(key);
    if (it == object.end()) return fallback;
    if (!it->is_number()) throw std::runtime_error(std::string("\"") + key + "\" n'est pas un nombre");
    return it->get<double>();
}

// The array member `key`, or nullptr when absent; a fault when of another type.
const json* arrayMember(const json& root, const char* key) {
    if (!root.is_object()) throw std::runtime_error("un objet JSON est attendu a la racine");
    const auto it = root.find(key);
    if (it == root.end()) return nullptr;
    if (!it->is_array()) throw std::runtime_error(std::string("\"") + key + "\" n'est pas un tableau");
    return &*it;
}

std::string siteName(const json& site, const std::string& id) {
    for (const char* key : {"name", "site_name", "nom", "label", "title"}) {
        const auto it = site.find(key);
        if (it != site.end() && it->is_string() && !it->get<std::string>().empty()) return it->get<std::string>();
    }
    return prettifySiteId(id);
}

bool twoDigits(const std::string& text, size_t pos, int& value) {
    if (pos + 2 > text.size()) return false;
    const unsigned char a = static_cast<unsigned char>(text[pos]);
    const unsigned char b = static_cast<unsigned char>(text[pos + 1]);
    if (!std::isdigit(a) || !std::isdigit(b)) return false;
    value = (a - '0') * 10 + (b - '0');
    return true;
}

} // namespace

std::string prettifySiteId(const std::string& id) {
    std::string out;
    bool wordStart = true;
    for (char c : id) {
        if (c == '-' || c == '_') {
            out += '-';
            wordStart = true;
        } else {
            out += wordStart ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
            wordStart = false;
        }
    }
    return out;
}

bool parseSites(const std::string& body, std::vector<TideSite>& sites) {
    try {
        const json root = json::parse(body, nullptr, true, false);
        const json* list = arrayMember(root, "sites");
        if (!list) return true;
        for (const json& element : *list) {
            TideSite site;
            site.id = stringMember(element, "site_id");
            site.latitude = numberMember(element, "latitude", 0.0);
            site.longitude = numberMember(element, "longitude", 0.0);
            site.name = siteName(element, site.id);
            sites.push_back(std::move(site));
        }
        return true;
    } catch (const std::exception& e) {
        std::cerr << "Erreur JSON /sites : " << e.what() << std::endl;
        return false;
    }
}

bool parseSampleHour(const std::string& time, float& hour) {
    hour = 0.0f;
    if (time.size() < 16) return true;
    int hh = 0, mm = 0;
    if (!twoDigits(time, 11, hh) || !twoDigits(time, 14, mm) || hh > 23 || mm > 59) return false;
    hour = static_cast<float>(hh) + static_cast<float>(mm) / 60.0f;
    return true;
}

bool parseWaterLevels(const std::string& body, std::vector<WaterLevelSample>& samples) {
    try {
        const json root = json::parse(body, nullptr, true, false);
        const json* data = arrayMember(root, "data");
        if (!data) return true;
        for (const json& point : *data) {
            const std::string time = stringMember(point, "time");
            WaterLevelSample sample;
            sample.height = static_cast<float>(numberMember(point, "height", 0.0));
            if (!parseSampleHour(time, sample.hour)) throw std::runtime_error("heure illisible : \"" + textExcerpt(time, 40) + "\"");
            samples.push_back(sample);
        }
        return true;
    } catch (const std::exception& e) {
        std::cerr << "Erreur JSON /water-levels : " << e.what() << std::endl;
        return false;
    }
}

int parseLeadingHour(const std::string& time) {
    if (time.size() < 2) return 0;
    const unsigned char a = static_cast<unsigned char>(time[0]);
    const unsigned char b = static_cast<unsigned char>(time[1]);
    if (!std::isdigit(a)) return 0;
    return std::isdigit(b) ? (a - '0') * 10 + (b - '0') : a - '0';
}

bool roundCoefficient(double coef, int& value) {
    if (!std::isfinite(coef)) return false;
    const double rounded = std::round(coef);  // halves away from zero
    if (rounded < 1.0 || rounded > static_cast<double>(INT_MAX)) return false;
    value = static_cast<int>(rounded);
    return true;
}

bool dayFromHighWaters(int day, std::vector<HighWater> highWaters, DayCoefficients& result) {
    if (highWaters.empty()) return false;
    std::stable_sort(highWaters.begin(), highWaters.end(),
                     [](const HighWater& a, const HighWater& b) { return a.hour < b.hour; });
    result = DayCoefficients{day, 0, 0};
    if (highWaters.size() >= 2) {
        result.morning = highWaters.front().coefficient;
        result.afternoon = highWaters.back().coefficient;
    } else if (highWaters.front().hour < 12) {
        result.morning = highWaters.front().coefficient;
    } else {
        result.afternoon = highWaters.front().coefficient;
    }
    return true;
}

ExtremaParse parseTideExtrema(const std::string& body, std::vector<DayCoefficients>& days) {
    try {
        const json root = json::parse(body, nullptr, true, false);
        const auto data = root.is_object() ? root.find("data") : root.end();
        if (!root.is_object() || data == root.end() || !data->is_array()) {
            std::cerr << "Coefficients : reponse inattendue : " << textExcerpt(body) << std::endl;
            return ExtremaParse::unexpected;
        }
        for (const json& element : *data) {
            const std::string date = stringMember(element, "date");
            int day = 0;
            if (date.size() < 10 || !twoDigits(date, 8, day) || day < 1 || day > 31) continue;
            const auto extrema = element.find("extrema");
            if (extrema == element.end() || !extrema->is_array()) continue;

            std::vector<HighWater> highWaters;
            for (const json& extremum : *extrema) {
                if (stringMember(extremum, "type") != "PM") continue;
                const auto coef = extremum.find("coef");
                if (coef == extremum.end() || coef->is_null()) continue;
                if (!coef->is_number()) throw std::runtime_error("\"coef\" n'est pas un nombre");
                HighWater highWater;
                if (!roundCoefficient(coef->get<double>(), highWater.coefficient)) continue;
                highWater.hour = parseLeadingHour(stringMember(extremum, "time"));
                highWaters.push_back(highWater);
            }
            DayCoefficients record;
            if (dayFromHighWaters(day, std::move(highWaters), record)) days.push_back(record);
        }
        return ExtremaParse::ok;
    } catch (const std::exception& e) {
        std::cerr << "Erreur JSON /tide-extrema : " << e.what() << std::endl;
        return ExtremaParse::jsonError;
    }
}
