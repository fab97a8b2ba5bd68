// The tide service's answer read by parseWaterLevels.
#include "tides/tide_parsing.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<WaterLevelSample> found;
    parseWaterLevels(std::string(reinterpret_cast<const char*>(data), size), found);
    return 0;
}
