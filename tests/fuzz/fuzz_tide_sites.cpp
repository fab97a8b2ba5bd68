// The tide service's answer read by parseSites.
#include "tides/tide_parsing.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<TideSite> found;
    parseSites(std::string(reinterpret_cast<const char*>(data), size), found);
    return 0;
}
