// The tiles the tile stand-in serves: made by the project's tile generator
// over a rectangle of the kilometre grid, with their sizes and digests, and
// the catalogue document listing them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

struct StoredTile {
    std::string bytes;
    std::string sha256;  // lower-case hexadecimal
};

struct TileStore {
    int32_t west = 0, south = 0, columns = 0, rows = 0;  // grid x, grid y of the first tile, extent
    int cells = 1000;
    uint32_t seed = 1;
    std::map<std::pair<int32_t, int32_t>, StoredTile> tiles;
    std::string catalogue;  // the JSON body
    std::string etag;       // strong, quoted

    const StoredTile* find(int32_t gx, int32_t gy) const;
};

// "--catalog-tiles GX,GY,COLUMNS,ROWS" (default the demo's coast near Brest,
// "144,6838,4,4"), "--tile-cells N" (1000: the real product's 1 m cells; fewer
// make small tiles quickly), "--tile-seed N". Tiles are made on every core; a
// rectangle of 1,500 tiles of 10 cells takes well under a second.
std::shared_ptr<const TileStore> buildTileStore(const std::string& rectangle, int cells, uint32_t seed);

