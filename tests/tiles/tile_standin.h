// The devstack serving small tiles and two accounts (one blocked), the clients pointed at it.
#pragma once

#include "account/account_session.h"
#include "account/backend_config.h"
#include "tests/support/devstack_process.h"
#include "tests/support/log_capture.h"
#include "tiles/catalogue.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <memory>

struct TileStandIn {
    TempDir dir;
    std::unique_ptr<DevstackProcess> stack;
    std::string tileDir = (dir / "dalles").string();
    std::vector<CatalogueTile> catalogue;

    // `rectangle`: "GX,GY,COLUMNS,ROWS" of the served tiles, of `cells` cells each.
    explicit TileStandIn(const std::string& rectangle = "100,6800,4,2", std::vector<std::string> args = {},
                         const std::string& cells = "40") {
        writeFile(dir / "accounts.json", R"([
            {"email": "marin@abysto.test", "password": "secret1"},
            {"email": "bloque@abysto.test", "password": "secret1", "blocked": true}])");
        args.insert(args.end(), {"--accounts", (dir / "accounts.json").string(), "--catalog-tiles", rectangle,
                                 "--tile-cells", cells});
        stack = std::make_unique<DevstackProcess>(args);
        configureBackend(stack->url(), kDefaultAuthAnonKey);
        configureTileServer(stack->url(), (dir / "cache").string());
        signOut();
        captureStreams([&] { fetchCatalogue(catalogue); });
        std::filesystem::remove_all(dir / "cache");
    }

    static void signOut() { captureStreams([] { logout(); }); }
    static bool signIn(const char* email = "marin@abysto.test") {
        bool signedIn = false;
        captureStreams([&] { signedIn = login(email, "secret1").signedIn; });
        return signedIn;
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
