// The altimetric reference table (RAM.csv).
#include "tides/ram_table.h"

#include <cstddef>
#include <cstdint>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<RamSite> sites;
    readRamTable(in, "RAM.csv", sites);
    RamSite nearest;
    nearestRamSite(sites, 48.0, -4.0, nearest);
    return 0;
}
