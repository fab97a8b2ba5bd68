// The devstack serving small tiles besides the accounts, the clients pointed at it.
#pragma once

#include "tests/account/auth_standin.h"
#include "tiles/catalogue.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

struct TileStandIn : AuthStandIn {
    std::string tileDir = (dir / "dalles").string();
    std::vector<CatalogueTile> catalogue;

    // `rectangle`: "GX,GY,COLUMNS,ROWS" of the served tiles, of `cells` cells each.
    explicit TileStandIn(const std::string& rectangle = "100,6800,4,2", std::vector<std::string> args = {},
                         const std::string& cells = "40")
        : AuthStandIn([&] {
              args.insert(args.end(), {"--catalog-tiles", rectangle, "--tile-cells", cells});
              return args;
          }()) {
        configureTileServer(stack->url(), (dir / "cache").string());
        captureStreams([&] { fetchCatalogue(catalogue); });
        std::filesystem::remove_all(dir / "cache");
    }

    void fault(const nlohmann::json& body) const { ASSERT_TRUE(stack->post("/__tile-faults", body.dump())); }
    long count(const std::string& path) const { return stack->count(path); }

    const CatalogueTile& tile(int gx, int gy) const {
        for (const CatalogueTile& t : catalogue)
            if (t.gx == gx && t.gy == gy) return t;
        throw std::runtime_error("tile not in the stand-in's catalogue");
    }
    std::string destination(const CatalogueTile& t) const { return tileDir + "/" + t.path; }
};
