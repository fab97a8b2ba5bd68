// One tile downloaded through HTTP from the tile stand-in: what each answer
// of the server gives, that a failure never touches the destination nor
// leaves a ".part", cancellation, and the token refresh after a 401.
#include "tests/tiles/tile_standin.h"
#include "tiles/tile_download.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

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
    testing::internal::CaptureStderr();
    d.code = downloadTile(tile, destination, [&](double f) { d.progress.push_back(f); }, cancel);
    d.err = testing::internal::GetCapturedStderr();
    return d;
}

} // namespace

TEST(TileDownload, AnswersOfTheServer) {
    TileStandIn server;
    ASSERT_TRUE(TileStandIn::signIn());
    const CatalogueTile& served = server.tile(101, 6800);
    const std::string n = std::to_string(served.size);
    const struct {
        const char* fault;
        const char* change;  // of the catalogue's entry: "no-digest", "no-size", "bad-digest"
        TileResult code;
        const char* line;  // expected on the error stream
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
        {"extra-byte", "", 7, "taille inattendue : "},
        {"other-bytes", "", 7, "[0101_6800] SHA-256 incoherent\n"},
        {"oversize", "", 7, "taille inattendue : plus de "},
        {"oversize", "no-size", 7, "taille inattendue : plus de "},  // bounded by the header's size
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
        EXPECT_NE(d.err.find(c.line), std::string::npos) << c.fault << ": " << d.err;
        EXPECT_FALSE(fs::exists(destination + ".part")) << c.fault;
        if (c.code == 0) {
            EXPECT_EQ(sha256File(destination), served.sha256) << c.fault;
            EXPECT_EQ(d.progress.back(), 1.0);
        } else {
            EXPECT_EQ(readFile(destination), "ancienne dalle") << c.fault;
        }
    }
    // One byte more than the catalogue's size, in the words of the log.
    server.fault({{"clear", true}});
    server.fault({{"kind", "extra-byte"}});
    const Downloaded longer = download(served, server.destination(served) + ".long");
    EXPECT_EQ(longer.err, "[0101_6800] taille inattendue : " + std::to_string(served.size + 1) + " au lieu de " + n + "\n");

    // A ".part" that cannot be created is a disk fault, said once, not a cancel.
    const std::string blocked = server.destination(served) + ".bloquee";
    writeFile(blocked + ".part/occupe", "");
    const Downloaded full = download(served, blocked);
    EXPECT_EQ(full.code, TileCode::DiskWriteFailed) << full.err;
    EXPECT_EQ(full.err, "Impossible de creer " + blocked + ".part\n");
}

TEST(TileDownload, AccountsAndTokens) {
    TileStandIn server;
    const CatalogueTile& tile = server.tile(100, 6800);
    const std::string destination = server.destination(tile);

    // Signed out: no token, a refresh that cannot succeed, then 1.
    EXPECT_EQ(download(tile, destination).code, TileCode::SessionExpired);
    ASSERT_TRUE(TileStandIn::signIn("bloque@abysto.test"));
    EXPECT_EQ(download(tile, destination).code, TileCode::AccessDenied);

    // The token the server no longer takes: one refresh, the second attempt succeeds.
    ASSERT_TRUE(TileStandIn::signIn());
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // the refreshed token differs from this one
    server.fault({{"kind", "reject-token"}, {"token", currentSession().accessToken}});
    const long refreshes = server.count(kRefreshPath);
    const Downloaded d = download(tile, destination);
    EXPECT_EQ(d.code, 0) << d.err;
    EXPECT_EQ(server.count(kRefreshPath), refreshes + 1);
    EXPECT_EQ(server.count("/v1/tile/mnt1m/100/6800"), 4);
    EXPECT_EQ(sha256File(destination), tile.sha256);
    TileStandIn::signOut();

    configureTileServer("", "");
    EXPECT_EQ(download(tile, destination + ".x").code, TileCode::NotConfigured);
    EXPECT_FALSE(fs::exists(destination + ".x.part"));
}

// A flag set during a slow transfer ends it at the next progress tick.
TEST(TileDownload, CancelledDuringTheTransfer) {
    TileStandIn server;
    ASSERT_TRUE(TileStandIn::signIn());
    server.fault({{"kind", "slow"}});
    const CatalogueTile& tile = server.tile(100, 6801);
    const std::string destination = server.destination(tile);
    std::atomic<bool> cancel{false};
    std::promise<void> started;
    std::chrono::steady_clock::time_point cancelledAt;
    auto result = std::async(std::launch::async, [&] {
        bool first = true;
        return downloadTile(
            tile, destination,
            [&](double fraction) {
                if (fraction > 0 && first) {
                    first = false;
                    started.set_value();
                }
            },
            &cancel);
    });
    ASSERT_EQ(started.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
    cancelledAt = std::chrono::steady_clock::now();
    cancel = true;
    EXPECT_EQ(result.get(), TileCode::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - cancelledAt, std::chrono::milliseconds(1100));
    EXPECT_FALSE(fs::exists(destination + ".part"));
    EXPECT_FALSE(fs::exists(destination));
    TileStandIn::signOut();
}
