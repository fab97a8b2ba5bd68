// Small ESRI ASCII grids written for a test, and tiles made by make-tiles.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A grid with "ncols", "nrows", "xllcorner", "yllcorner", "cellsize" `cell` and,
// when `noData` is not empty, "NODATA_value" `noData`; then `rows` as given.
std::string ascGrid(int ncols, int nrows, double xll, double yll, const std::string& noData,
                    const std::vector<std::string>& rows, double cell = 1);

// Writes `text` to `dir`/`name` and returns the full path.
std::string writeGrid(const std::filesystem::path& dir, const std::string& name, const std::string& text);

// Runs build/make-tiles into `dir` for the tiles (gx, gy) and returns their paths.
std::vector<std::string> makeTiles(const std::filesystem::path& dir, const std::vector<std::pair<int, int>>& tiles,
                                   int seed = 1);
