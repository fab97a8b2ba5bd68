// The start-up's catalogue step against the tile stand-in: its splash lines
// for a catalogue from the server, from the cache, and none at all.
#include "app/catalogue_step.h"

#include "tests/support/devstack_process.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

TEST(CatalogueStep, SplashLinesAndLog) {
    TempDir cache;
    DevstackProcess server({"--catalog-tiles", "145,6839,3,1", "--tile-cells", "10"});
    ASSERT_TRUE(server.started());
    const struct {
        std::string url;
        bool clearCache;
        std::vector<std::string> lines;
        const char* err;
        size_t tiles;
    } cases[] = {
        {server.url(), false, {"Synchronisation du catalogue...@0.3"}, "", 3},
        {closedPortUrl(), false, {"Synchronisation du catalogue...@0.3", "Catalogue local (hors ligne)...@0.4"}, "", 3},
        {closedPortUrl(), true, {"Synchronisation du catalogue...@0.3", "Catalogue indisponible, mode hors-ligne...@0.4"},
         "Catalogue indisponible : Problème de connexion\nCatalogue indisponible : Problème de connexion\n", 1},
    };
    for (const auto& c : cases) {
        if (c.clearCache) std::filesystem::remove_all(cache.path);
        configureTileServer(c.url, cache.str());
        std::vector<TileInfo> tiles(1);
        tiles[0].gx = 145, tiles[0].gy = 6839, tiles[0].isLocal = true;
        std::vector<std::string> lines;
        const Captured output = captureStreams([&] {
            synchroniseCatalogueAtStartup(tiles, [&](const char* message, float fraction) {
                char text[16];
                std::snprintf(text, sizeof text, "@%.1f", fraction);
                lines.push_back(message + std::string(text));
            });
        });
        EXPECT_EQ(output.err, c.err) << c.url;
        EXPECT_EQ(lines, c.lines) << c.url;
        EXPECT_EQ(tiles.size(), c.tiles) << c.url;
    }
}
