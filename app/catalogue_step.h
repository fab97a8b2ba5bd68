// The start-up step that merges the server's catalogue into the tile list,
// with the splash lines that tell the user when the program runs offline.
#pragma once

#include "terrain/tile_info.h"
#include "tiles/catalogue.h"

#include <functional>
#include <vector>

using SplashLine = std::function<void(const char* message, float fraction)>;

// The extra splash line after the synchronisation, null when the catalogue came from the server.
const char* catalogueSplashLine(const CatalogueSyncSummary& summary);

CatalogueSyncSummary synchroniseCatalogueAtStartup(std::vector<TileInfo>& tiles, const SplashLine& splash);
