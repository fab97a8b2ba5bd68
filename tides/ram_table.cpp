#include "tides/ram_table.h"
#include "tides/nearest_site.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iostream>

namespace {

// A decimal number at the start of `field`: leading spaces skipped, trailing
// characters ignored. Independent of the process locale (the UI may set a
// French one, where the C library would expect a comma). A field written
// with a decimal comma and no point reads the comma as the separator, so
// such files give the right value rather than the whole part alone.
template <typename T>
bool leadingNumber(std::string field, T& value) {
    size_t start = field.find_first_not_of(" \f\v\n");
    if (start == std::string::npos) return false;
    if (field[start] == '+') ++start;
    if (field.find('.') == std::string::npos) {
        const size_t comma = field.find(',', start);
        if (comma != std::string::npos) field[comma] = '.';
    }
    const char* begin = field.data() + start;
    const char* end = field.data() + field.size();
    T parsed{};
    const auto [ptr, ec] = std::from_chars(begin, end, parsed, std::chars_format::general);
    if (ec != std::errc() || ptr == begin || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

int columnOf(const std::vector<std::string>& header, const char* name) {
    for (size_t i = 0; i < header.size(); ++i) {
        if (header[i] == name) return static_cast<int>(i);
    }
    return -1;
}

} // namespace

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == '\t') {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

bool loadRamFile(const std::string& path, std::vector<RamSite>& sites) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "Impossible d'ouvrir " << path << std::endl;
        return false;
    }
    return readRamTable(in, path, sites);
}

bool readRamTable(std::istream& in, const std::string& path, std::vector<RamSite>& sites) {
    std::string line;
    std::getline(in, line);
    // A byte-order mark would otherwise stick to the first column's name.
    if (line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    const std::vector<std::string> header = splitTabs(line);
    const int siteCol = columnOf(header, "SITE");
    const int latCol = columnOf(header, "LATITUDE");
    const int lonCol = columnOf(header, "LONGITUDE");
    const int zhCol = columnOf(header, "ZH_Ref");
    if (siteCol < 0 || latCol < 0 || lonCol < 0 || zhCol < 0) {
        std::cerr << "Colonnes attendues introuvables dans " << path << std::endl;
        return false;
    }
    const size_t needed = static_cast<size_t>(std::max(std::max(siteCol, latCol), std::max(lonCol, zhCol))) + 1;

    while (std::getline(in, line)) {
        if (line.empty()) continue;
        const std::vector<std::string> fields = splitTabs(line);
        // A short row is never read past its end.
        if (fields.size() < needed || fields[zhCol].empty()) continue;
        RamSite site;
        site.name = fields[siteCol];
        if (!leadingNumber(fields[latCol], site.latitude) || !leadingNumber(fields[lonCol], site.longitude) ||
            !leadingNumber(fields[zhCol], site.zhRef)) {
            continue;
        }
        sites.push_back(std::move(site));
    }
    return !sites.empty();
}

bool loadRamAtStartup(const std::string& path, std::vector<RamSite>& sites) {
    if (loadRamFile(path, sites)) {
        std::cout << sites.size() << " sites RAM chargés." << std::endl;
        return true;
    }
    std::cerr << "Impossible de charger les données RAM depuis " << path << std::endl;
    return false;
}

std::string ramFilePath(const std::string& exeDir) { return exeDir + "/data/SHOM-data/RAM.csv"; }

bool nearestRamSite(const std::vector<RamSite>& sites, double latitude, double longitude, RamSite& nearest) {
    const RamSite* best = nearestSite(sites, latitude, longitude, [](const RamSite&) { return true; });
    if (!best) return false;
    nearest = *best;
    return true;
}
