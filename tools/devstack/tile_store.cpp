#include "tools/devstack/tile_store.h"

#include "tiles/file_digest.h"
#include "tools/make-tiles/tile_writer.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

const StoredTile* TileStore::find(int32_t gx, int32_t gy) const {
    const auto found = tiles.find({gx, gy});
    return found == tiles.end() ? nullptr : &found->second;
}

std::shared_ptr<const TileStore> buildTileStore(const std::string& rectangle, int cells, uint32_t seed) {
    auto store = std::make_shared<TileStore>();
    store->cells = std::clamp(cells, 2, 4000);
    store->seed = seed;
    if (std::sscanf(rectangle.c_str(), "%d,%d,%d,%d", &store->west, &store->south, &store->columns, &store->rows) != 4 ||
        store->columns < 0 || store->rows < 0) {
        store->columns = store->rows = 0;
    }
    std::vector<std::pair<int32_t, int32_t>> keys;
    for (int32_t row = 0; row < store->rows; ++row)
        for (int32_t column = 0; column < store->columns; ++column)
            keys.emplace_back(store->west + column, store->south + row);

    std::vector<StoredTile> made(keys.size());
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < keys.size(); i = next++) {
            made[i].bytes = tileText(keys[i].first, keys[i].second, seed, store->cells);
            made[i].sha256 = sha256Text(made[i].bytes);
        }
    };
    std::vector<std::thread> workers;
    for (unsigned i = 1; i < std::max(1u, std::thread::hardware_concurrency()); ++i) workers.emplace_back(work);
    work();
    for (std::thread& t : workers) t.join();

    nlohmann::json list = nlohmann::json::array();
    for (size_t i = 0; i < keys.size(); ++i) {
        const auto [gx, gy] = keys[i];
        nlohmann::json entry = {{"x", gx},
                                {"y", gy},
                                {"s", made[i].bytes.size()},
                                {"cs", made[i].bytes.size()},
                                {"h", made[i].sha256},
                                {"d", "2021"}};
        // A few entries spell out the region and suffix, as the real catalogue does for its edges.
        if ((gx + gy) % 5 == 0) {
            entry["r"] = "FRA";
            entry["sf"] = "LAMB93_RGF93_IGN69";
        }
        list.push_back(std::move(entry));
        store->tiles.emplace(keys[i], std::move(made[i]));
    }
    const nlohmann::json doc = {
        {"pathTemplate",
         "LITTO3D_{region}_{gx:04d}_{gy:04d}_R2/MNT1m/LITTO3D_{region}_{gx:04d}_{gy:04d}_MNT1M_{date}_{suffix}.asc"},
        {"defaults", {{"region", "FRA"}, {"suffix", "LAMB93_RGF93_IGN69"}}},
        {"tiles", list}};
    store->catalogue = doc.dump();
    store->etag = "\"" + sha256Text(store->catalogue).substr(0, 32) + "\"";
    return store;
}
