// The recent zones of the start screen: newest first, distinct labels,
// kept in "zone_history.json" in the user's folder.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

struct ZoneHistoryEntry {
    std::string label;  // the place's display label; the entry's identity
    double lat = 0.0;   // WGS84 degrees
    double lon = 0.0;
    int32_t tileCount = 0;  // tiles found around the place when it was opened
    std::string timestamp;  // "dd/mm hh:mm", local time of the visit
};

// The zone selector keeps this many.
inline constexpr size_t kZoneHistoryMax = 8;

// Puts `entry` first, drops every older entry with the same label (exact
// bytes) and then the oldest ones beyond `maxEntries`.
void addZoneHistory(std::vector<ZoneHistoryEntry>& list, const ZoneHistoryEntry& entry, size_t maxEntries);

// "%02d/%02d %02d:%02d": day of month, month, hour, minute.
std::string zoneTimestamp(const std::tm& localTime);
// The same for the present moment in local time.
std::string zoneTimestampNow();

// Appends the entries of the file. False when it cannot be opened or is not
// the expected JSON (entries read before the fault stay); silent. A document
// without "history" is an empty history.
bool loadZoneHistory(const std::string& path, std::vector<ZoneHistoryEntry>& list);

// Writes the list (2-space indent) beside `path` and moves it over the file,
// so a failed write leaves the previous history whole. Silent; false on failure.
bool saveZoneHistory(const std::string& path, const std::vector<ZoneHistoryEntry>& list);
