// The geocoding service's answer to a place search.
#include "zones/place_search.h"

#include <cstddef>
#include <cstdint>
#include <iostream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = (std::cerr.rdbuf(nullptr), true);
    (void)quiet;
    std::vector<PlaceResult> results;
    readPlaceResults(std::string(reinterpret_cast<const char*>(data), size), results);
    return 0;
}
