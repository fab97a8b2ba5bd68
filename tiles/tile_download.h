// One tile from the server into its place under the tile folder, accepted
// only when its size and SHA-256 match the catalogue or the response headers.
// The bytes go to destination + ".part" as they arrive; the destination is
// replaced in one step by a verified file only.
#pragma once

#include "tiles/catalogue.h"
#include "tiles/file_digest.h"
#include "tiles/tile_server.h"

#include <atomic>
#include <functional>
#include <string>

// Progress as a fraction in [0, 1], on the downloading thread.
using TileProgress = std::function<void(double fraction)>;

// `cancel` (may be null) is read between and during attempts: a set flag ends
// the transfer at the next progress tick with Cancelled.
TileResult downloadTile(const CatalogueTile& tile, const std::string& destination, TileProgress progress,
                        const std::atomic<bool>* cancel);
