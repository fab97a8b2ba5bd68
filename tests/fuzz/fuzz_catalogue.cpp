// The tile server's catalogue, parsed and merged into an empty tile list:
// every path that survives must stay inside the tile folder.
#include "tiles/catalogue.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<CatalogueTile> catalogue;
    std::string error;
    if (!parseCatalogue(std::string(reinterpret_cast<const char*>(data), size), catalogue, error)) return 0;
    std::vector<TileInfo> tiles;
    mergeCatalogue(catalogue, tiles);
    for (const TileInfo& tile : tiles)
        if (!isSafeTilePath(tile.catalogPath)) std::abort();
    return 0;
}
