// The tile generator, as far as the other tests rely on it: tiles shaped like
// the real product's (a coast, holes, two decimals), the same file for the
// same seed, and neighbours that join.
#include "tests/support/temp_dir.h"
#include "tests/support/grid_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

struct Tile {
    std::vector<std::string> header;
    std::vector<std::vector<float>> rows;
    bool twoDecimals = true;

    float at(int row, int col) const { return rows[size_t(row)][size_t(col)]; }
};

Tile readTile(const std::string& path) {
    Tile t;
    std::ifstream in(path);
    std::string line;
    for (int i = 0; i < 6 && std::getline(in, line); ++i) t.header.push_back(line);
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::vector<float> row;
        for (std::string word; words >> word;) {
            const size_t dot = word.find('.');
            if (word != "-99999" && (dot == std::string::npos || word.size() - dot != 3)) t.twoDecimals = false;
            row.push_back(std::stof(word));
        }
        t.rows.push_back(row);
    }
    return t;
}

bool valid(float z) {
    return z != -99999.0f;
}

// Mean absolute height step between two columns (or rows) of valid cells.
double meanStep(const std::function<float(int)>& a, const std::function<float(int)>& b) {
    double sum = 0;
    int n = 0;
    for (int i = 0; i < 1000; ++i) {
        if (!valid(a(i)) || !valid(b(i))) continue;
        sum += std::fabs(a(i) - b(i));
        ++n;
    }
    return n ? sum / n : 0;
}

} // namespace

TEST(MakeTiles, WritesTilesLikeTheRealProduct) {
    TempDir dir;
    const std::vector<std::string> paths = makeTiles(dir.path, {{145, 6839}, {1020, 6210}});
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0], (dir / "LITTO3D_FRA_0145_6839_MNT1M_2021_LAMB93_RGF93_IGN69.asc").string());
    EXPECT_EQ(paths[1], (dir / "LITTO3D_FRA_1020_6210_MNT1M_2021_LAMB93_RGF93_IGN69.asc").string());

    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        const Tile t = readTile(path);
        ASSERT_EQ(t.header.size(), 6u);
        EXPECT_EQ(t.header[0], "ncols 1000");
        EXPECT_EQ(t.header[1], "nrows 1000");
        EXPECT_EQ(t.header[4], "cellsize 1");
        EXPECT_EQ(t.header[5], "NODATA_value -99999");
        ASSERT_EQ(t.rows.size(), 1000u);
        size_t land = 0, holes = 0, cells = 0;
        float lowest = 0, highest = 0;
        for (const auto& row : t.rows) {
            ASSERT_EQ(row.size(), 1000u);
            for (float z : row) {
                ++cells;
                if (!valid(z)) {
                    ++holes;
                    continue;
                }
                land += z > 0;
                lowest = std::min(lowest, z);
                highest = std::max(highest, z);
            }
        }
        EXPECT_TRUE(t.twoDecimals);
        // A coast across the tile: both land and sea in fair amounts.
        EXPECT_GT(land, cells / 10);
        EXPECT_LT(land, cells * 9 / 10);
        EXPECT_GT(highest, 20.0f);
        EXPECT_LT(highest, 50.0f);
        EXPECT_LT(lowest, -15.0f);
        EXPECT_GT(lowest, -45.0f);
        EXPECT_GT(holes, 100u);
        EXPECT_LT(holes, cells / 50);
    }
    const Tile far = readTile(paths[1]);
    EXPECT_EQ(far.header[2], "xllcorner 1020000");
    EXPECT_EQ(far.header[3], "yllcorner 6209000");
}

TEST(MakeTiles, SameSeedSameFileOtherSeedOtherFile) {
    TempDir dir;
    const std::string a = makeTiles(dir / "a", {{200, 6800}}, 4)[0];
    const std::string b = makeTiles(dir / "b", {{200, 6800}}, 4)[0];
    const std::string c = makeTiles(dir / "c", {{200, 6800}}, 5)[0];
    EXPECT_EQ(readFile(a), readFile(b));
    EXPECT_NE(readFile(a), readFile(c));
}

TEST(MakeTiles, NeighboursJoinWithoutSeams) {
    TempDir dir;
    const std::vector<std::string> p = makeTiles(dir.path, {{300, 6700}, {301, 6700}, {300, 6699}});
    const Tile west = readTile(p[0]), east = readTile(p[1]), south = readTile(p[2]);
    // Across the seam the step is like any step between neighbouring cells.
    const double inside = meanStep([&](int i) { return west.at(i, 998); }, [&](int i) { return west.at(i, 999); });
    const double across = meanStep([&](int i) { return west.at(i, 999); }, [&](int i) { return east.at(i, 0); });
    EXPECT_LT(across, 3 * inside + 0.05);
    const double insideY = meanStep([&](int i) { return west.at(998, i); }, [&](int i) { return west.at(999, i); });
    const double acrossY = meanStep([&](int i) { return west.at(999, i); }, [&](int i) { return south.at(0, i); });
    EXPECT_LT(acrossY, 3 * insideY + 0.05);
}
