// The tile generator, as far as the other tests rely on it: tiles named like
// the real product's, with a coast and holes, the same file at each run, and
// neighbours that join. Their header, as GDAL reads it, is bathy_test's
// (TwoNeighbouringTilesMergeIntoOneRaster).
#include "tests/support/temp_dir.h"
#include "tests/support/grid_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>

namespace {

using Rows = std::vector<std::vector<float>>;  // -99999 for a hole

Rows readRows(const std::string& path) {
    Rows rows;
    std::istringstream in(readFile(path));
    std::string line;
    for (int i = 0; i < 6; ++i) std::getline(in, line);  // the header
    while (std::getline(in, line)) {
        std::istringstream words(line);
        rows.emplace_back();
        for (float z; words >> z;) rows.back().push_back(z);
    }
    return rows;
}

// Mean absolute height step between the pairs of cells along an edge, where both are valid.
double meanStep(const std::function<std::pair<float, float>(int)>& cells) {
    double sum = 0;
    int n = 0;
    for (int i = 0; i < 1000; ++i) {
        const auto [a, b] = cells(i);
        if (a == -99999.0f || b == -99999.0f) continue;
        sum += std::fabs(a - b);
        ++n;
    }
    return n ? sum / n : 0;
}

} // namespace

TEST(MakeTiles, TilesLikeTheRealProductThatJoinAndRepeat) {
    TempDir dir;
    const std::vector<std::string> paths = makeTiles(dir / "a", {{145, 6839}, {146, 6839}, {145, 6838}});
    ASSERT_EQ(paths.size(), 3u);  // west, east, south
    EXPECT_EQ(paths[0], (dir / "a" / "LITTO3D_FRA_0145_6839_MNT1M_2021_LAMB93_RGF93_IGN69.asc").string());
    EXPECT_EQ(readFile(makeTiles(dir / "b", {{145, 6839}})[0]), readFile(paths[0]));

    // A coast across the tile: land and sea in fair amounts, and a few holes.
    const Rows west = readRows(paths[0]), east = readRows(paths[1]), south = readRows(paths[2]);
    std::vector<float> z;
    for (const auto& row : west) z.insert(z.end(), row.begin(), row.end());
    ASSERT_EQ(z.size(), 1000000u);
    const auto holes = std::partition(z.begin(), z.end(), [](float v) { return v != -99999.0f; });
    const long land = std::count_if(z.begin(), holes, [](float v) { return v > 0; });
    const auto [lowest, highest] = std::minmax_element(z.begin(), holes);
    EXPECT_TRUE(land > 100000 && land < 900000) << land;
    EXPECT_TRUE(*highest > 20 && *highest < 50) << *highest;
    EXPECT_TRUE(*lowest > -45 && *lowest < -15) << *lowest;
    EXPECT_TRUE(z.end() - holes > 100 && z.end() - holes < 20000) << z.end() - holes;

    // Across each seam the step is like any step between neighbouring cells.
    const double inside = meanStep([&](int i) { return std::pair(west[i][998], west[i][999]); });
    EXPECT_LT(meanStep([&](int i) { return std::pair(west[i][999], east[i][0]); }), 3 * inside + 0.05);
    const double insideY = meanStep([&](int i) { return std::pair(west[998][i], west[999][i]); });
    EXPECT_LT(meanStep([&](int i) { return std::pair(west[999][i], south[0][i]); }), 3 * insideY + 0.05);
}
