// Writes one made-up LITTO3D tile (1000 x 1000 cells of 1 m, ESRI ASCII
// grid) named and laid out like the real product.
#pragma once

#include <cstdint>
#include <string>

// The real product's file name for the tile whose north-west corner is at
// (gx, gy) kilometres.
std::string tileFileName(int gx, int gy);

// The tile's file content: `cells` x `cells` cells over the kilometre (1 m
// cells for the real product's 1000; fewer, larger cells make small tiles
// for tests). The same arguments always give the same bytes.
std::string tileText(int gx, int gy, uint32_t seed, int cells = 1000);

// Writes `outDir`/tileFileName(gx, gy) through a ".part" file. On failure
// `error` holds a French message.
bool writeTile(const std::string& outDir, int gx, int gy, uint32_t seed, std::string& error);
