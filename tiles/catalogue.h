// The server's catalogue of tiles: parsed, fetched with an entity tag,
// cached, and merged into the program's tile list.
#pragma once

#include "terrain/tile_info.h"
#include "tiles/tile_server.h"

#include <cstdint>
#include <string>
#include <vector>

struct CatalogueTile {
    std::string name;  // "0125_6815", for log lines
    int32_t gx = 0;
    int32_t gy = 0;
    std::string path;  // relative to the tile folder, from the path template
    int64_t size = 0;  // bytes of the final file; 0 = unknown
    int64_t compressedSize = 0;  // bytes on the wire, a progress total; 0 = unknown
    std::string sha256;          // empty = unknown
    std::string date;
};

struct CatalogueResult {
    bool ok = false;
    bool fromCache = false;
    TileResult code = TileCode::Ok;
    std::string message;
};

struct CatalogueSyncSummary {
    bool ok = false;
    bool fromCache = false;
    int32_t total = 0;
    int32_t added = 0;
    std::string message;
};

inline constexpr const char* kDefaultPathTemplate =
    "LITTO3D_{region}_{gx:04d}_{gy:04d}_R2/MNT1m/LITTO3D_{region}_{gx:04d}_{gy:04d}_MNT1M_{date}_{suffix}.asc";

// False with a French message in `error`; the list is then left as it was.
// Entries whose path would leave the tile folder are skipped, one line each.
bool parseCatalogue(const std::string& text, std::vector<CatalogueTile>& tiles, std::string& error);

std::string expandPathTemplate(const std::string& pathTemplate, int32_t gx, int32_t gy, const std::string& region,
                               const std::string& date, const std::string& suffix);

// A relative path that stays inside the folder it is joined to: not empty,
// not absolute, no "..", backslash, colon or NUL, ending in ".asc".
bool isSafeTilePath(const std::string& path);

// The catalogue from the server (If-None-Match with the cached tag), else the cache.
CatalogueResult fetchCatalogue(std::vector<CatalogueTile>& tiles);

// Adds unknown tiles and marks every catalogue tile as on the server with its
// data; returns how many entries were added.
int32_t mergeCatalogue(const std::vector<CatalogueTile>& catalogue, std::vector<TileInfo>& tiles);

// fetchCatalogue, then mergeCatalogue, with the summary line on standard output.
CatalogueSyncSummary syncCatalogue(std::vector<TileInfo>& tiles);
