// The recent zones file (zone_history.json), read from disk as at start.
#include "tests/fuzz/fuzz_folder.h"
#include "zones/zone_history.h"

#include <cstddef>
#include <cstdint>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzzFolder() + "/zone_history.json";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
    std::vector<ZoneHistoryEntry> history;
    loadZoneHistory(path, history);
    return 0;
}
