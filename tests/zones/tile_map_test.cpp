// The tile map's rules with the real Lambert-93 conversion.
#include "zones/tile_map.h"

#include "terrain/bathy.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr GeoPoint kBrest{48.3825, -4.494717};

// A tile `east` and `north` kilometres from the one holding Brest.
TileInfo tileNearBrest(int east, int north, bool local, bool server) {
    double x = 0, y = 0;
    EXPECT_TRUE(wgs84ToLambert93(kBrest, x, y));
    TileInfo t;
    t.gx = static_cast<int32_t>(std::floor(x / 1000)) + east;
    t.gy = static_cast<int32_t>(std::floor(y / 1000)) + 1 + north;
    t.isLocal = local;
    t.onServer = server;
    if (local) t.localPath = "/dalles/" + tileKey(t.gx, t.gy) + ".asc";
    t.catalogPath = "29/" + tileKey(t.gx, t.gy) + ".asc";
    return t;
}

TEST(TileMap, CountsVisibleTilesAndTheHeaderAroundAPlace) {
    // One degree of longitude is about 74 km here, one of latitude 111 km.
    const std::vector<TileInfo> tiles = {
        tileNearBrest(0, 0, true, true),    // counted local, visible
        tileNearBrest(3, 0, false, true),   // counted server, visible
        tileNearBrest(0, 5, true, false),   // 0.045° north: counted, visible
        tileNearBrest(5, 0, false, true),   // 0.067° east: not counted, visible
        tileNearBrest(7, 0, false, true),   // 0.094° east: neither
        tileNearBrest(0, -8, true, false),  // 0.072° south: neither
        tileNearBrest(1, 1, false, false),  // neither local nor on the server: visible, not counted
    };
    const std::vector<TileCentre> centres = buildTileCentres(tiles);
    const TileCounts counts = countTilesNear(tiles, centres, kBrest.lat, kBrest.lon);
    EXPECT_EQ(counts.local, 2);
    EXPECT_EQ(counts.server, 1);

    const MapArea area = mapAreaAround(tiles, centres, kBrest.lat, kBrest.lon);
    EXPECT_EQ(area.visible, (std::vector<size_t>{0, 1, 2, 3, 6}));
    EXPECT_EQ(area.bounds.maxGx - area.bounds.minGx, 5);
    EXPECT_EQ(area.bounds.maxGy - area.bounds.minGy, 5);
    ASSERT_EQ(area.rects.size(), area.visible.size());

    // Far from every tile: the box around the place, nothing to show.
    const MapArea empty = mapAreaAround(tiles, centres, 43.2966, 5.3700);
    EXPECT_TRUE(empty.visible.empty());
    EXPECT_NEAR(empty.box.minLon, 5.3700 - 0.075, 1e-12);
    EXPECT_NEAR(empty.box.maxLat, 43.2966 + 0.05, 1e-12);

    EXPECT_EQ(mapHeaderCoordinates(48.3825, -4.494717), "48.3825N, 4.4947W");
    EXPECT_EQ(mapHeaderCoordinates(49.481667, 0.106167), "49.4817N, 0.1062E");
}

// Within the image's margin, tiles are drawn where their ground lies, not stretched over all of it.
TEST(TileMap, TilesFallWhereTheirGroundLiesInTheImage) {
    const std::vector<TileInfo> tiles = {tileNearBrest(0, 0, true, false)};
    const MapArea one = mapAreaAround(tiles, buildTileCentres(tiles), kBrest.lat, kBrest.lon);
    ASSERT_EQ(one.rects.size(), 1u);
    const ImageRect r = one.rects[0];
    // Where the corners (south-west, north-west, north-east, south-east) lie in the image, in fractions of it.
    const int corners[4][2] = {{0, -1}, {0, 0}, {1, 0}, {1, -1}};
    double fx[4], fy[4];
    for (int i = 0; i < 4; ++i) {
        GeoPoint p;
        const double x = (tiles[0].gx + corners[i][0]) * 1000.0, y = (tiles[0].gy + corners[i][1]) * 1000.0;
        ASSERT_TRUE(lambert93ToWgs84(x, y, p));
        fx[i] = (p.lon - one.box.minLon) / (one.box.maxLon - one.box.minLon);
        fy[i] = (one.box.maxLat - p.lat) / (one.box.maxLat - one.box.minLat);
    }
    // The outermost corners lie on the margin; the square is turned, so each edge lies between its corners.
    EXPECT_NEAR(std::min(fx[0], fx[1]), 0.05 / 1.1, 1e-9);
    EXPECT_NEAR(std::max(fx[3], fx[2]), 1 - 0.05 / 1.1, 1e-9);
    EXPECT_NEAR(std::min(fy[1], fy[2]), 0.05 / 1.1, 1e-9);
    EXPECT_NEAR(std::max(fy[0], fy[3]), 1 - 0.05 / 1.1, 1e-9);
    EXPECT_TRUE(std::min(fx[0], fx[1]) < r.x0 && r.x0 < std::max(fx[0], fx[1]));
    EXPECT_TRUE(std::min(fx[3], fx[2]) < r.x1 && r.x1 < std::max(fx[3], fx[2]));
    EXPECT_TRUE(std::min(fy[1], fy[2]) < r.y0 && r.y0 < std::max(fy[1], fy[2]));
    EXPECT_TRUE(std::min(fy[0], fy[3]) < r.y1 && r.y1 < std::max(fy[0], fy[3]));
}

TEST(TileMap, SelectionButtonsAndTheExplorerRule) {
    std::vector<TileInfo> tiles = {tileNearBrest(0, 0, true, true), tileNearBrest(40, 0, true, false),
                                   tileNearBrest(1, 0, false, true), tileNearBrest(2, 0, true, false)};
    const std::vector<size_t> visible = {0, 2, 3};
    selectAllLocal(tiles, visible);
    EXPECT_TRUE(tiles[0].selected && tiles[3].selected);
    EXPECT_FALSE(tiles[2].selected);  // only on the server
    EXPECT_FALSE(tiles[1].selected);  // not on the map
    tiles[1].selected = true;
    EXPECT_EQ(countSelectedVisible(tiles, visible), 2);
    // Selected tiles off the map go to the view too, in list order.
    EXPECT_EQ(selectedTilePaths(tiles), (std::vector<std::string>{tiles[0].localPath, tiles[1].localPath,
                                                                   tiles[3].localPath}));
    selectNone(tiles, visible);
    EXPECT_EQ(selectedTilePaths(tiles), (std::vector<std::string>{tiles[1].localPath}));

    const ExploreAction expected[] = {ExploreAction::Disabled, ExploreAction::AlertFew, ExploreAction::Explore,
                                      ExploreAction::Explore,  ExploreAction::Explore,  ExploreAction::AlertMany,
                                      ExploreAction::AlertMany};
    for (int n = 0; n < 7; ++n) EXPECT_EQ(exploreAction(n), expected[n]) << n;
}

TEST(TileMap, ClicksOnTiles) {
    const TileClickContext ready{false, false, true, "/dalles"};
    const struct { bool local, server; TileClickContext context; const char* catalogPath; TileClick click; } rows[] = {
        {true, true, ready, "29/a.asc", TileClick::Toggled},
        {false, true, ready, "29/a.asc", TileClick::QueueDownload},
        {false, true, {false, true, true, "/dalles"}, "29/a.asc", TileClick::Nothing},   // waiting in the queue
        {false, true, {true, false, true, "/dalles"}, "29/a.asc", TileClick::Nothing},   // downloading
        {false, true, {false, false, false, "/dalles"}, "29/a.asc", TileClick::Nothing}, // no tile server
        {false, true, {false, false, true, ""}, "29/a.asc", TileClick::Nothing},         // no tile folder
        {false, true, ready, "../a.asc", TileClick::Nothing},  // the catalogue points out of the folder
        {false, false, ready, "29/a.asc", TileClick::Nothing},  // neither on disk nor on the server
    };
    for (const auto& r : rows) {
        TileInfo tile = tileNearBrest(0, 0, r.local, r.server);
        tile.catalogPath = r.catalogPath;
        EXPECT_EQ(clickTile(tile, r.context), r.click) << r.catalogPath;
        EXPECT_EQ(tile.selected, r.click == TileClick::Toggled) << r.catalogPath;
        if (!r.local) continue;
        EXPECT_EQ(clickTile(tile, r.context), TileClick::Toggled);  // and back
        EXPECT_FALSE(tile.selected);
    }

    const struct {
        const char *path, *destination;
    } paths[] = {{"29/a.asc", "/dalles/29/a.asc"}, {"a/./b.asc", "/dalles/a/./b.asc"}, {"a/../../b.asc", ""},
                 {"/etc/a.asc", ""}, {"", ""}, {"a\\..\\b.asc", ""}};
    for (const auto& p : paths) EXPECT_EQ(downloadDestination("/dalles", p.path), p.destination) << p.path;
}

} // namespace
