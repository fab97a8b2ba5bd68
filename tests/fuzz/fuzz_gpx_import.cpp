// GPX route import: the tolerant scan of tracks and routes, their points
// converted to a small terrain grid and their heights sampled from it.
#include "routes/gpx_import.h"
#include "routes/route_model.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<GridPoint> points = [] {
        std::vector<GridPoint> made(64 * 64);
        for (int i = 0; i < 64 * 64; ++i) made[i] = GridPoint{float(i % 64), -float(i / 64), -5.0f, i % 7 != 0};
        return made;
    }();
    static const Georeference geo = makeGeoreference(934000, 6316000, 48.38, -4.49);
    const HeightGrid grid{&points, 64, 64};
    parseGpxRoutes(std::string_view(reinterpret_cast<const char*>(data), size), geo, grid);
    return 0;
}
