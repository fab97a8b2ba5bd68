// The tide service's extrema answer, read into the month's coefficients.
#include "tides/tide_parsing.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<DayCoefficients> days;
    parseTideExtrema(std::string(reinterpret_cast<const char*>(data), size), days);
    return 0;
}
