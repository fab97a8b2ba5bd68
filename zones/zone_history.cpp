#include "zones/zone_history.h"

#include "platform/platform.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

using nlohmann::json;

void addZoneHistory(std::vector<ZoneHistoryEntry>& list, const ZoneHistoryEntry& entry, size_t maxEntries) {
    std::erase_if(list, [&](const ZoneHistoryEntry& e) { return e.label == entry.label; });
    list.insert(list.begin(), entry);
    if (list.size() > maxEntries) list.resize(maxEntries);
}

std::string zoneTimestamp(const std::tm& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d %02d:%02d", t.tm_mday, t.tm_mon + 1, t.tm_hour, t.tm_min);
    return text;
}

std::string zoneTimestampNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return zoneTimestamp(local);
}

bool loadZoneHistory(const std::string& path, std::vector<ZoneHistoryEntry>& list) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    try {
        const json doc = json::parse(in);
        const json history = doc.value("history", json::array());
        for (const json& item : history) {
            ZoneHistoryEntry entry;
            entry.label = item.value("label", std::string());
            entry.lat = item.value("lat", 0.0);
            entry.lon = item.value("lon", 0.0);
            entry.tileCount = item.value("tileCount", int32_t{0});
            entry.timestamp = item.value("timestamp", std::string());
            list.push_back(std::move(entry));
        }
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool saveZoneHistory(const std::string& path, const std::vector<ZoneHistoryEntry>& list) {
    json history = json::array();
    for (const ZoneHistoryEntry& e : list) {
        // Object keys come out sorted, which is the order the file lists them in.
        history.push_back({{"label", e.label}, {"lat", e.lat}, {"lon", e.lon}, {"tileCount", e.tileCount},
                           {"timestamp", e.timestamp}});
    }
    const json doc = {{"history", history}};
    const std::string staged = path + ".part";
    {
        std::ofstream out(staged, std::ios::trunc);
        if (!out) return false;
        out << doc.dump(2, ' ', false, json::error_handler_t::replace);
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(staged, ignored);
            return false;
        }
    }
    std::string error;
    if (platform::replaceFile(staged, path, error)) return true;
    std::error_code ignored;
    std::filesystem::remove(staged, ignored);
    return false;
}
