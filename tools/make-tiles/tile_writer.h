// Writes one made-up LITTO3D tile (1000 x 1000 cells of 1 m, ESRI ASCII
// grid) named and laid out like the real product.
#pragma once

#include <cstdint>
#include <string>

// The real product's file name for the tile whose north-west corner is at
// (gx, gy) kilometres.
std::string tileFileName(int gx, int gy);

// Writes `outDir`/tileFileName(gx, gy) through a ".part" file. On failure
// `error` holds a French message.
bool writeTile(const std::string& outDir, int gx, int gy, uint32_t seed, std::string& error);
