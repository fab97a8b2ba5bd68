// The body of a WMS GetMap answer: an image, or a service exception.
#include "viewer/satellite_image.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    decodeSatelliteImage(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
