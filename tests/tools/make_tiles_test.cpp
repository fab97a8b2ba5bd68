// The tile generator, as far as the other tests rely on it: tiles named like
// the real product's, with a coast and holes, the same file at each run.
// Their header, as GDAL reads it, is bathy_test's (TwoNeighbouringTilesMergeIntoOneRaster).
#include "tests/support/temp_dir.h"
#include "tests/support/grid_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

// A tile's heights, row after row (-99999 for a hole).
std::vector<float> readHeights(const std::string& path) {
    std::istringstream in(readFile(path));
    std::string line;
    for (int i = 0; i < 6; ++i) std::getline(in, line);  // the header
    std::vector<float> z;
    for (float v; in >> v;) z.push_back(v);
    return z;
}

} // namespace

TEST(MakeTiles, TilesLikeTheRealProductThatRepeat) {
    TempDir dir;
    const std::vector<std::string> paths = makeTiles(dir / "a", {{145, 6839}});
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0], (dir / "a" / "LITTO3D_FRA_0145_6839_MNT1M_2021_LAMB93_RGF93_IGN69.asc").string());
    EXPECT_EQ(readFile(makeTiles(dir / "b", {{145, 6839}})[0]), readFile(paths[0]));

    // A coast across the tile: land and sea in fair amounts, and a few holes.
    std::vector<float> z = readHeights(paths[0]);
    ASSERT_EQ(z.size(), 1000000u);
    const auto holes = std::partition(z.begin(), z.end(), [](float v) { return v != -99999.0f; });
    const long land = std::count_if(z.begin(), holes, [](float v) { return v > 0; });
    const auto [lowest, highest] = std::minmax_element(z.begin(), holes);
    EXPECT_TRUE(land > 100000 && land < 900000) << land;
    EXPECT_TRUE(*highest > 20 && *highest < 50) << *highest;
    EXPECT_TRUE(*lowest > -45 && *lowest < -15) << *lowest;
    EXPECT_TRUE(z.end() - holes > 100 && z.end() - holes < 20000) << z.end() - holes;
}
