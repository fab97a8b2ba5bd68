// Shom's maritime altimetric references (RAM): where chart datum ZH lies in
// the land datum IGN69 along the coast, read from the tab-separated RAM.csv
// shipped under the program's data folder.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

struct RamSite {
    std::string name;       // "SITE"
    double latitude = 0.0;  // "LATITUDE", WGS84 degrees
    double longitude = 0.0; // "LONGITUDE"
    float zhRef = 0.0f;     // "ZH_Ref": height of ZH in IGN69, metres
};

// Fields of one line: tabs separate, carriage returns are dropped, nothing
// is trimmed; an empty line gives one empty field.
std::vector<std::string> splitTabs(const std::string& line);

// Appends the rows that have a ZH_Ref; true when `sites` is not empty after.
// Logs "Impossible d'ouvrir ..." or "Colonnes attendues introuvables dans ...".
bool loadRamFile(const std::string& path, std::vector<RamSite>& sites);

// The same from an open stream; `path` only names it in the log line.
bool readRamTable(std::istream& in, const std::string& path, std::vector<RamSite>& sites);

// The start-up load with its progress or failure line; the program goes on either way.
bool loadRamAtStartup(const std::string& path, std::vector<RamSite>& sites);

// exeDir + "/data/SHOM-data/RAM.csv".
std::string ramFilePath(const std::string& exeDir);

// The row nearest to (latitude, longitude) in plain degrees; the first row
// wins a tie. False only for an empty list.
bool nearestRamSite(const std::vector<RamSite>& sites, double latitude, double longitude, RamSite& nearest);
