// One LITTO3D tile (1 km², 1 m cells), keyed by its kilometre grid
// coordinates in Lambert-93, and the scan of the tiles already on disk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TileInfo {
    int32_t gx = 0;
    int32_t gy = 0;
    std::string localPath;
    bool selected = false;
    bool isLocal = false;
    bool onServer = false;
    std::string catalogPath;
    int64_t size = 0;
    std::string sha256;
    int64_t compressedSize = 0;
    std::string date;
};

// The key of a tile in queues and maps: "gx_gy", without padding.
std::string tileKey(int gx, int gy);

// The grid coordinates in a LITTO3D file name
// ("LITTO3D_FRA_0934_6315_MNT1M_..."); false for any other name.
bool tileCoordinatesFromName(const std::string& name, int32_t& gx, int32_t& gy);

// Walks `tileDir` recursively for LITTO3D .asc files, in walk order.
std::vector<TileInfo> scanLocalTiles(const std::string& tileDir);
