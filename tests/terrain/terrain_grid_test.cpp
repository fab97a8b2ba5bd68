// Grids built from real rasters read by GDAL, and the render vertices
// derived from them.
#include "terrain/bathy.h"
#include "terrain/terrain_grid.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/grid_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <random>

namespace {

// A raster written, merged, described and meshed as a loading cycle does.
struct Mesh {
    TempDir dir;
    std::unique_ptr<Bathy> bathy;
    TerrainGrid grid;
    bool generated = false;

    explicit Mesh(const std::string& ascText) { load({writeGrid(dir.path, "g.asc", ascText)}); }
    explicit Mesh(const std::vector<std::string>& paths) { load(paths); }
    void load(const std::vector<std::string>& paths) {
        captureStreams([&] {
            bathy = std::make_unique<Bathy>(paths);
            bathy->logGeoTransform();
            grid.dataset = bathy.get();
            generated = grid.generate();
        });
    }
    std::vector<TerrainVertex> vertices(float exaggeration) const {
        return buildRenderVertices(grid.points, grid.triangles, exaggeration, renderBoundsOf(grid.points));
    }
};

// The plan area the triangles cover, negative for those facing down.
double coveredArea(const TerrainGrid& g) {
    double area = 0;
    for (const Triangle& t : g.triangles) {
        const GridPoint &a = g.points.at(t.i0), &b = g.points.at(t.i1), &c = g.points.at(t.i2);
        EXPECT_TRUE(a.valid && b.valid && c.valid);
        area += 0.5 * ((c.x - a.x) * (b.y - a.y) - (b.x - a.x) * (c.y - a.y));
    }
    return area;
}

// Position, depth and texture coordinates of a vertex.
std::vector<float> placed(const TerrainVertex& v) {
    return {v.aPos[0], v.aPos[1], v.aPos[2], v.aDepth, v.aUV[0], v.aUV[1]};
}

void expectNormal(const TerrainVertex& v, const std::array<float, 3>& n) {
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(v.aNormal[k], n[k], 1e-6f) << k;
}

const float kDiagonal = 1.0f / std::sqrt(2.0f);

} // namespace

// The surface covers every cell whose four corners have a height, less the
// half cells beside a hole, and faces up.
TEST(TerrainGrid, TrianglesCoverTheCellsBetweenValidPoints) {
    const struct {
        const char* name;
        int w, h;
        std::vector<std::string> rows;
        const char* noData;
        size_t triangles;
        double area;
    } cases[] = {
        {"hole", 2, 2, {"1 2", "3 -99999"}, "-99999", 1, 0.5},
        {"nan", 2, 2, {"1 2", "3 nan"}, "nan", 1, 0.5},
        {"corner", 3, 2, {"-99999 1 2", "3 4 5"}, "-99999", 3, 1.5},
        {"row", 5, 1, {"1 2 3 4 5"}, "-99999", 0, 0.0},
        {"column", 1, 4, {"1", "2", "3", "4"}, "-99999", 0, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Mesh m(ascGrid(c.w, c.h, 5000, 7000, c.noData, c.rows));
        ASSERT_TRUE(m.generated);
        EXPECT_EQ(m.grid.points.size(), size_t(c.w * c.h));  // holes keep their place
        EXPECT_EQ(m.grid.triangles.size(), c.triangles);
        EXPECT_DOUBLE_EQ(coveredArea(m.grid), c.area);
        for (const TerrainVertex& v : m.vertices(1.0f))
            for (float n : v.aNormal) EXPECT_TRUE(std::isfinite(n));
    }
}

// A coastal grid of 75 m cells: positions in metres from the north-west
// corner, texture across the whole extent, heights exaggerated.
TEST(TerrainGrid, CellsOfSeventyFiveMetresWithAHole) {
    Mesh m(ascGrid(3, 2, 152000, 6830000, "-99999", {"0 75 150", "0 60 -99999"}, 75));
    ASSERT_TRUE(m.generated);
    EXPECT_EQ(m.grid.originX, 152000.0);
    EXPECT_EQ(m.grid.originY, 6830150.0);
    const GridPoint& p = m.grid.points.at(4);
    EXPECT_EQ(std::vector<float>({p.x, p.y, p.z}), (std::vector<float>{75, -75, 60}));
    EXPECT_DOUBLE_EQ(coveredArea(m.grid), 1.5 * 75.0 * 75.0);
    const RenderBounds b = renderBoundsOf(m.grid.points);
    EXPECT_EQ(std::vector<float>({b.minX, b.maxX, b.minZ, b.maxZ}), (std::vector<float>{0, 150, 0, 75}));
    const std::vector<TerrainVertex> v = buildRenderVertices(m.grid.points, m.grid.triangles, 3.0f, b);
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(placed(v[4]), (std::vector<float>{75, 180, 75, 60, 0.5f, 1}));
    // The hole keeps its place and an upward normal.
    EXPECT_EQ(v[5].aDepth, -99999.0f);
    expectNormal(v[5], {0, 1, 0});
}

TEST(TerrainGrid, NoDatasetOrAFailedReadGivesNothingToShow) {
    TerrainGrid none;
    EXPECT_FALSE(none.generate());

    Mesh closed(std::vector<std::string>{});
    EXPECT_FALSE(closed.generated);
    const Captured counts = captureStreams([&] { closed.grid.logCounts(); });
    EXPECT_EQ(counts.out, "Nombre de vertices : 0\nNombre de triangles : 0\n");
    EXPECT_EQ(counts.err, "Aucun vertex à afficher.\n");

    Mesh shortFile(ascGrid(3, 3, 0, 0, "-99999", {"1 2 3", "4"}));
    EXPECT_TRUE(shortFile.generated);
    EXPECT_TRUE(shortFile.grid.points.empty());
    EXPECT_EQ(shortFile.grid.width, 0);
    EXPECT_TRUE(buildRenderVertices({}, {}, 1.0f, {}).empty());
}

TEST(TerrainGrid, NormalsFollowTheExaggeratedSlope) {
    const std::vector<std::string> east = {"0 1 2", "0 1 2", "0 1 2"};  // rising by 1 m per metre eastwards
    const float n = 1.0f / std::sqrt(5.0f);
    const struct { std::vector<std::string> rows; float exaggeration; std::array<float, 3> normal; } cases[] = {
        {east, 1, {-kDiagonal, kDiagonal, 0}},
        {{"0 0 0", "1 1 1", "2 2 2"}, 1, {0, kDiagonal, -kDiagonal}},  // rising southwards: leaning north
        {east, 2, {-2 * n, n, 0}},                                      // twice as steep once exaggerated
        {east, 0, {0, 1, 0}},                                           // flattened
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows[1] + " x" + std::to_string(c.exaggeration));
        Mesh m(ascGrid(3, 3, 0, 0, "-99999", c.rows));
        for (const TerrainVertex& v : m.vertices(c.exaggeration)) expectNormal(v, c.normal);
    }
}

TEST(TerrainGrid, ALonePointSpansTheTextureFromItself) {
    Mesh lone(ascGrid(3, 3, 0, 0, "-99999", {"-99999 -99999 -99999", "-99999 8 -99999", "-99999 -99999 -99999"}));
    EXPECT_TRUE(lone.grid.triangles.empty());
    const std::vector<TerrainVertex> v = lone.vertices(1.0f);
    // Zero-width bounds: spans floored at 0.0001.
    EXPECT_EQ(v[4].aUV[0], 0.0f);
    EXPECT_EQ(v[4].aUV[1], 0.0f);
    EXPECT_NEAR(v[5].aUV[0], 10000.0f, 1.0f);
    EXPECT_NEAR(v[7].aUV[1], 10000.0f, 1.0f);
}

TEST(TerrainGrid, AGeneratedTileHasTheSameNormalsInAnyTriangleOrder) {
    TempDir dir;
    Mesh m(makeTiles(dir.path, {{145, 6839}}));
    ASSERT_EQ(m.grid.points.size(), 1000000u);  // many chunks of vertices for the normals to follow
    const RenderBounds b = renderBoundsOf(m.grid.points);
    const std::vector<TerrainVertex> ordered = buildRenderVertices(m.grid.points, m.grid.triangles, 2.0f, b);
    // The same triangles shuffled, plus one pointing past the points, which is skipped.
    std::vector<Triangle> shuffled = m.grid.triangles;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
    shuffled.push_back({0, 1, 5000000});
    const std::vector<TerrainVertex> other = buildRenderVertices(m.grid.points, shuffled, 2.0f, b);

    ASSERT_EQ(ordered.size(), other.size());
    for (size_t i = 0; i < ordered.size(); i += 997) {
        const float* n = ordered[i].aNormal;
        EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0f, 1e-5f);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(n[k], other[i].aNormal[k], 1e-5f) << i;
    }
}
