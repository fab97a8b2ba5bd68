// One tile downloaded through HTTP from the tile stand-in: what each answer
// of the server gives, that a failure never touches the destination nor
// leaves a ".part", cancellation, and the accounts refused. The token refresh
// after a 401 is the queue's case.
#include "tests/tiles/tile_standin.h"
#include "tiles/tile_download.h"

#include <gtest/gtest.h>

#include <chrono>

namespace fs = std::filesystem;

namespace {

struct Downloaded {
    TileResult code;
    std::string err;
    std::vector<double> progress;
};

Downloaded download(const CatalogueTile& tile, const std::string& destination,
                    const std::atomic<bool>* cancel = nullptr) {
    Downloaded d;
    d.err = captureStreams([&] {
        d.code = downloadTile(tile, destination, [&](double f) { d.progress.push_back(f); }, cancel);
    }).err;
    return d;
}

} // namespace

TEST(TileDownload, AnswersOfTheServerCancelAndAccounts) {
    TileStandIn server;
    ASSERT_TRUE(TileStandIn::signIn());
    const CatalogueTile& served = server.tile(101, 6800);
    const std::string n = std::to_string(served.size), unexpected = "[0101_6800] taille inattendue : ";
    const struct {
        const char* fault;
        const char* change;  // of the catalogue's entry: "no-digest", "no-size", "bad-digest"
        TileResult code;
        std::string err;  // all that is said on the error stream
    } cases[] = {
        {"", "", 0, ""},
        {"wrong-digest", "", 0, ""},        // the catalogue's digest wins over the header's
        {"", "no-digest", 0, ""},           // the header's upper-case digest
        {"", "bad-digest", 7, "[0101_6800] SHA-256 incoherent\n"},
        {"404", "", 3, ""},
        {"429", "", 4, ""},
        {"503", "", 5, ""},
        {"redirect", "", 6, ""},  // not followed
        {"drop", "", 6, ""},
        {"extra-byte", "", 7, unexpected + std::to_string(served.size + 1) + " au lieu de " + n + "\n"},
        {"other-bytes", "", 7, "[0101_6800] SHA-256 incoherent\n"},
        {"oversize", "", 7, unexpected + "plus de " + n + " au lieu de " + n + "\n"},
        // Bounded by the header's size.
        {"oversize", "no-size", 7, unexpected + "plus de " + n + " au lieu de " + n + "\n"},
    };
    for (const auto& c : cases) {
        server.fault({{"clear", true}});
        if (*c.fault) server.fault({{"kind", c.fault}});
        CatalogueTile tile = served;
        if (std::string(c.change) == "no-digest") tile.sha256.clear();
        if (std::string(c.change) == "no-size") tile.size = 0;
        if (std::string(c.change) == "bad-digest") tile.sha256 = std::string(64, '0');
        const std::string destination = server.destination(tile);
        fs::remove(destination);
        if (c.code != 0) writeFile(destination, "ancienne dalle");
        const Downloaded d = download(tile, destination);
        EXPECT_EQ(d.code, c.code) << c.fault << " " << c.change << "\n" << d.err;
        EXPECT_EQ(d.err, c.err) << c.fault;
        EXPECT_FALSE(fs::exists(destination + ".part")) << c.fault;
        if (c.code == 0) {
            EXPECT_EQ(sha256File(destination), served.sha256) << c.fault;
            EXPECT_EQ(d.progress.back(), 1.0);
        } else {
            EXPECT_EQ(readFile(destination), "ancienne dalle") << c.fault;
        }
    }
    // A ".part" that cannot be created is a disk fault, said once, not a cancel.
    const std::string blocked = server.destination(served) + ".bloquee";
    writeFile(blocked + ".part/occupe", "");
    const Downloaded full = download(served, blocked);
    EXPECT_EQ(full.code, TileCode::DiskWriteFailed) << full.err;
    EXPECT_EQ(full.err, "Impossible de creer " + blocked + ".part\n");
    // A flag set during a slow transfer ends it at the next progress tick.
    server.fault({{"clear", true}});
    server.fault({{"kind", "slow"}});
    const CatalogueTile& slow = server.tile(100, 6801);
    std::atomic<bool> cancel{false};
    std::chrono::steady_clock::time_point cancelledAt;
    const auto cancelOnce = [&](double fraction) {
        if (fraction <= 0 || cancel) return;
        cancelledAt = std::chrono::steady_clock::now();
        cancel = true;
    };
    EXPECT_EQ(downloadTile(slow, server.destination(slow), cancelOnce, &cancel), TileCode::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - cancelledAt, std::chrono::milliseconds(1100));
    EXPECT_FALSE(fs::exists(server.destination(slow) + ".part"));
    EXPECT_FALSE(fs::exists(server.destination(slow)));

    // Signed out: no token, a refresh that cannot succeed, then 1; a blocked account: 2.
    server.fault({{"clear", true}});
    TileStandIn::signOut();
    const std::string destination = server.destination(served);
    EXPECT_EQ(download(served, destination).code, TileCode::SessionExpired);
    ASSERT_TRUE(TileStandIn::signIn("bloque@abysto.test"));
    EXPECT_EQ(download(served, destination).code, TileCode::AccessDenied);
    TileStandIn::signOut();
    configureTileServer("", "");
    EXPECT_EQ(download(served, destination + ".x").code, TileCode::NotConfigured);
    EXPECT_FALSE(fs::exists(destination + ".x.part"));
}
