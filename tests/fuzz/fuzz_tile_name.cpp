// The file-name pattern of the local tile scan.
#include "terrain/tile_info.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int32_t gx = 0, gy = 0;
    tileCoordinatesFromName(std::string(reinterpret_cast<const char*>(data), size), gx, gy);
    return 0;
}
