// The tide prediction service played locally: the site list, water levels
// and high/low waters with coefficients, computed from each port's harmonic
// constituents. Special keys and site ids make it fail on purpose:
//   key "panne-500"     every request answers 500
//   key "json-casse"    every request answers a truncated JSON document
//   key "redirige"      every request is redirected (302) to the right key
//   key "sites-vide"    /sites lists no site
//   key "sites-types"   /sites has a latitude written as text
//   key "sites-sans-id" /sites lists sites without "site_id"
//   any other wrong key 401
//   site "test-500", "test-json-casse"   as the keys above, per request
//   site "test-sans-data"                 answers without "data"
//   site "test-heure-illisible"           water levels with an unreadable time
//   site "test-type-faux"                 a height and a coefficient written as text
//   site "test-sans-pm"                   extrema without a usable high water
//   unknown site                          404 with the list of known ids
#include "tools/devstack/civil_time.h"
#include "tools/devstack/devstack.h"
#include "tools/devstack/tide_model.h"
#include "tides/tide_service_config.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>

using nlohmann::json;

namespace {

constexpr int kWindowDays = 30;
// Clients judge "today" in their own time zone, which may be a day off Paris.
constexpr int kWindowToleranceDays = 1;

std::string acceptedKey() {
    const char* env = std::getenv("ABYSTO_TIDE_KEY");
    return env && *env ? env : kDefaultTideServiceKey;
}

void sendJson(httplib::Response& res, int status, const json& body) {
    res.status = status;
    res.set_content(body.dump(), "application/json; charset=utf-8");
}

void sendError(httplib::Response& res, int status, const std::string& message) {
    sendJson(res, status, {{"error", message}, {"status", status}});
}

std::string percentEncode(const std::string& value) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : value) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~' || c == ':') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// Handles the key switches; true when the request was answered here.
bool answeredByKey(const httplib::Request& req, httplib::Response& res) {
    const std::string key = req.get_param_value("key");
    if (key == acceptedKey()) return false;
    if (key == "panne-500") {
        res.status = 500;
        res.set_content("Erreur interne du service de prediction (simulee).", "text/plain; charset=utf-8");
    } else if (key == "json-casse") {
        res.status = 200;
        res.set_content(R"({"sites": [{"site_id": "brest", "latitude": 48.38)", "application/json");
    } else if (key == "redirige") {
        std::string location = req.path + "?";
        for (const auto& [name, value] : req.params) {
            if (location.back() != '?') location += '&';
            location += name + "=" + percentEncode(name == "key" ? acceptedKey() : value);
        }
        res.set_redirect(location, 302);
    } else if (req.path == "/sites" && (key == "sites-vide" || key == "sites-types" || key == "sites-sans-id")) {
        return false;
    } else {
        sendError(res, 401, "Cle API invalide ou absente.");
    }
    return true;
}

json siteEntry(const TidePort& port) {
    json site = {{"site_id", port.id}, {"latitude", port.latitude}, {"longitude", port.longitude}};
    if (!port.nameKey.empty()) site[port.nameKey] = port.name;
    if (port.id == "roscoff") {
        // Some stations carry an empty name and a numeric station code.
        site["name"] = "";
        site["site_name"] = 2950;
    }
    site["datum"] = "ZH";
    return site;
}

void handleSites(const httplib::Request& req, httplib::Response& res) {
    if (answeredByKey(req, res)) return;
    const std::string key = req.get_param_value("key");
    json sites = json::array();
    if (key == "sites-vide") {
        // nothing listed
    } else if (key == "sites-types") {
        sites.push_back({{"site_id", "brest"}, {"name", "Brest"}, {"latitude", "48.3825"}, {"longitude", -4.494717}});
    } else if (key == "sites-sans-id") {
        sites.push_back({{"name", "Brest"}, {"latitude", 48.3825}, {"longitude", -4.494717}});
        sites.push_back({{"site_id", ""}, {"name", "Roscoff"}, {"latitude", 48.716667}, {"longitude", -3.966667}});
    } else {
        for (const TidePort& port : tidePorts()) sites.push_back(siteEntry(port));
        // A closed station stays listed, without an id to ask for.
        sites.push_back({{"name", "Île de Sein (station fermée)"}, {"latitude", 48.038333}, {"longitude", -4.85}});
    }
    sendJson(res, 200, {{"count", sites.size()}, {"sites", sites}});
}

// The port a request is about: a real port, or Brest's curve for the test
// sites (which then spoil it); nullptr after answering 404.
const TidePort* portForRequest(const std::string& site, httplib::Response& res) {
    if (site.rfind("test-", 0) == 0) return findTidePort("brest");
    if (const TidePort* port = findTidePort(site)) return port;
    json known = json::array();
    for (const TidePort& p : tidePorts()) known.push_back(p.id);
    sendJson(res, 404, {{"error", "Site inconnu : " + site},
                        {"status", 404},
                        {"detail", "Les identifiants de site sont ceux que renvoie /sites (champ site_id)."},
                        {"sites_disponibles", known}});
    return nullptr;
}

bool answeredBySite(const std::string& site, httplib::Response& res) {
    if (site == "test-500") {
        res.status = 500;
        res.set_content("Erreur interne du service de prediction (simulee).", "text/plain; charset=utf-8");
        return true;
    }
    if (site == "test-json-casse") {
        res.status = 200;
        res.set_content(R"({"site": "test-json-casse", "data": [{"time": "2026-)", "application/json");
        return true;
    }
    if (site == "test-sans-data") {
        sendJson(res, 200, {{"site", site}, {"unit", "m"}, {"datum", "ZH"}});
        return true;
    }
    return false;
}

bool parisZone(const std::string& tz, bool& paris) {
    paris = tz == "Europe/Paris";
    return paris || tz == "UTC";
}

double roundedMetres(double value) { return std::round(value * 1000.0) / 1000.0; }

std::string clockText(int64_t localSeconds, bool withDate, const char* zoneSuffix) {
    const int64_t day = localSeconds >= 0 ? localSeconds / 86400 : (localSeconds - 86399) / 86400;
    const int64_t second = localSeconds - day * 86400;
    char text[64];
    if (withDate) {
        std::snprintf(text, sizeof text, "%sT%02d:%02d:00%s", formatIsoDate(civilFromDays(day)).c_str(),
                      static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60), zoneSuffix);
    } else {
        std::snprintf(text, sizeof text, "%02d:%02d", static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60));
    }
    return text;
}

void handleWaterLevels(const httplib::Request& req, httplib::Response& res) {
    if (answeredByKey(req, res)) return;
    const std::string site = req.get_param_value("site");
    const TidePort* port = portForRequest(site, res);
    if (!port || answeredBySite(site, res)) return;

    CivilDate fromDate, toDate;
    int fromMinute = 0, toMinute = 0;
    bool paris = false;
    if (!parseIsoDateTime(req.get_param_value("from"), fromDate, fromMinute) ||
        !parseIsoDateTime(req.get_param_value("to"), toDate, toMinute)) {
        return sendError(res, 400, "Parametres from et to attendus sous la forme AAAA-MM-JJTHH:MM.");
    }
    const std::string tz = req.has_param("tz") ? req.get_param_value("tz") : "UTC";
    if (!parisZone(tz, paris)) return sendError(res, 400, "Fuseau inconnu : " + tz + " (UTC ou Europe/Paris).");
    const int step = req.has_param("step") ? std::atoi(req.get_param_value("step").c_str()) : 10;
    if (step < 1 || step > 60) return sendError(res, 400, "Pas de temps hors de 1..60 minutes.");
    const int64_t from = daysFromCivil(fromDate) * 86400 + fromMinute * 60;
    const int64_t to = daysFromCivil(toDate) * 86400 + toMinute * 60;
    if (to < from || to - from > 31 * 86400) return sendError(res, 400, "Periode vide ou de plus de 31 jours.");

    json data = json::array();
    const bool spoilTime = site == "test-heure-illisible";
    const bool spoilType = site == "test-type-faux";
    for (int64_t local = from; local <= to; local += step * 60) {
        const int64_t utc = paris ? parisLocalToUtc(local) : local;
        std::string suffix = "Z";
        if (paris) suffix = parisOffsetSeconds(utc) == 7200 ? "+02:00" : "+01:00";
        std::string time = clockText(local, true, suffix.c_str());
        if (spoilTime && local > from) time.replace(11, 5, "xx:yy");
        const double height = roundedMetres(tideHeight(*port, static_cast<double>(utc)));
        json point = {{"time", time}, {"height", height}};
        if (spoilType && local > from) point["height"] = std::to_string(height) + " m";
        data.push_back(point);
    }
    sendJson(res, 200, {{"site", site}, {"datum", "ZH"}, {"unit", "m"}, {"tz", tz}, {"step", step}, {"data", data}});
}

void handleTideExtrema(const httplib::Request& req, httplib::Response& res) {
    if (answeredByKey(req, res)) return;
    const std::string site = req.get_param_value("site");
    const TidePort* port = portForRequest(site, res);
    if (!port || answeredBySite(site, res)) return;

    CivilDate fromDate, toDate;
    bool paris = false;
    if (!parseIsoDate(req.get_param_value("from"), fromDate) || !parseIsoDate(req.get_param_value("to"), toDate)) {
        return sendError(res, 400, "Parametres from et to attendus sous la forme AAAA-MM-JJ.");
    }
    const std::string tz = req.has_param("tz") ? req.get_param_value("tz") : "Europe/Paris";
    if (!parisZone(tz, paris)) return sendError(res, 400, "Fuseau inconnu : " + tz + " (UTC ou Europe/Paris).");
    const int64_t firstDay = daysFromCivil(fromDate);
    const int64_t lastDay = daysFromCivil(toDate);
    const int64_t today = daysFromCivil(parisToday());
    const int64_t reach = kWindowDays + kWindowToleranceDays;
    if (lastDay < firstDay) return sendError(res, 400, "Periode vide.");
    if (firstDay < today - reach || lastDay > today + reach) {
        return sendError(res, 400, "Les extremes ne sont servis que de J-30 a J+30 (du " +
                                       formatIsoDate(civilFromDays(today - kWindowDays)) + " au " +
                                       formatIsoDate(civilFromDays(today + kWindowDays)) + ").");
    }

    json data = json::array();
    for (int64_t day = firstDay; day <= lastDay; ++day) {
        const int64_t localStart = day * 86400;
        const int64_t start = paris ? parisLocalToUtc(localStart) : localStart;
        const int64_t end = paris ? parisLocalToUtc(localStart + 86400) : localStart + 86400;
        json extrema = json::array();
        for (const TideExtremum& e : findTideExtrema(*port, start, end)) {
            const int64_t local = e.utcSeconds + (paris ? parisOffsetSeconds(e.utcSeconds) : 0);
            json item = {{"type", e.high ? "PM" : "BM"}, {"time", clockText(local, false, "")},
                         {"height", roundedMetres(e.height)}};
            if (!e.high) {
                item["coef"] = nullptr;
            } else if (site == "test-type-faux") {
                item["coef"] = "fort";
            } else if (site == "test-sans-pm") {
                item["coef"] = nullptr;
            } else {
                item["coef"] = tideCoefficient(*port, static_cast<double>(e.utcSeconds));
            }
            if (site == "test-heure-illisible") item["time"] = "xx:yy";
            extrema.push_back(item);
        }
        data.push_back({{"date", formatIsoDate(civilFromDays(day))}, {"extrema", extrema}});
    }
    sendJson(res, 200, {{"site", site}, {"datum", "ZH"}, {"unit", "m"}, {"tz", tz}, {"data", data}});
}

} // namespace

void registerTideService(httplib::Server& server, const DevstackOptions&) {
    server.Get("/sites", handleSites);
    server.Get("/water-levels", handleWaterLevels);
    server.Get("/tide-extrema", handleTideExtrema);
}
