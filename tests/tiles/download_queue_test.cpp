// The download queue and its workers against the tile stand-in; also built with ThreadSanitizer.
#include "tests/support/gui_driver.h"
#include "tests/tiles/tile_standin.h"
#include "tiles/download_queue.h"
#include "tiles/tile_download.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

struct CurlEnvironment : testing::Environment {
    void SetUp() override { curl_global_init(CURL_GLOBAL_ALL); }
    void TearDown() override { curl_global_cleanup(); }
};
[[maybe_unused]] testing::Environment* const curlEnvironment = testing::AddGlobalTestEnvironment(new CurlEnvironment);

struct Notices {
    std::vector<std::pair<std::string, NoticeKind>> list;
    NoticeSink sink() {
        return [this](const std::string& text, NoticeKind kind) { list.emplace_back(text, kind); };
    }
};

// The zone selector's frame loop, reduced to polling; false when it does not settle.
bool runUntilIdle(DownloadQueue& queue, std::chrono::seconds limit, const std::function<void()>& everyFrame = [] {}) {
    return waitUntil([&] {
        queue.poll();
        everyFrame();
        return queue.active().empty() && queue.pendingCount() == 0;
    }, limit, 5ms);
}

// Signed in, with the stand-in's catalogue as the tile list.
struct DownloadQueueTest : testing::Test {
    TileStandIn server;
    std::vector<TileInfo> tiles;
    Notices notices;
    void SetUp() override {
        ASSERT_TRUE(TileStandIn::signIn());
        mergeCatalogue(server.catalogue, tiles);
    }
    void TearDown() override { TileStandIn::signOut(); }
};

} // namespace

// Five tiles for three workers whose token the server refuses: the first one
// refreshes it, the other two see the new token and only retry.
TEST_F(DownloadQueueTest, ThreeAtOnceOneTokenRefreshAndTheTileListUpdated) {
    std::this_thread::sleep_for(1100ms);  // the refreshed token differs from this one
    server.fault({{"kind", "reject-token"}, {"token", currentSession().accessToken}});
    const long refreshes = server.count(kRefreshPath);
    DownloadQueue queue(tiles, notices.sink());
    for (int i = 0; i < 5; ++i) queue.enqueue(tiles[i], server.tileDir);
    queue.enqueue(tiles[0], server.tileDir);  // already queued: ignored
    EXPECT_EQ(queue.active().size(), 3u);
    EXPECT_EQ(queue.pendingCount(), 2u);
    // A freed slot is taken in the frame that handles the completion.
    ASSERT_TRUE(runUntilIdle(queue, 30s, [&] {
        EXPECT_TRUE(queue.pendingCount() == 0 || queue.active().size() == 3) << queue.active().size();
    }));
    EXPECT_TRUE(notices.list.empty());
    EXPECT_EQ(server.count(kRefreshPath), refreshes + 1);
    EXPECT_EQ(server.count("/v1/tile/mnt1m/100/6800"), 2);  // refused once, then taken
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(tiles[i].isLocal && tiles[i].selected) << i;
        EXPECT_EQ(tiles[i].localPath, server.tileDir + "/" + tiles[i].catalogPath);
    }
    EXPECT_FALSE(tiles[5].isLocal);
}

TEST_F(DownloadQueueTest, RetriesThenGivesUpAndRefusalsAreFinal) {
    server.fault({{"kind", "503"}, {"target", "100_6800"}, {"count", 3}});
    server.fault({{"kind", "404"}, {"target", "101_6800"}});
    DownloadQueue queue(tiles, notices.sink());
    queue.enqueue(tiles[0], server.tileDir);
    ASSERT_TRUE(runUntilIdle(queue, 30s));
    using N = std::vector<std::pair<std::string, NoticeKind>>;
    EXPECT_EQ(notices.list, (N{{"Erreur du serveur - nouvel essai (2/3)", NoticeKind::Information},
                               {"Erreur du serveur - nouvel essai (3/3)", NoticeKind::Information},
                               {"Dalle 100_6800 : Erreur du serveur", NoticeKind::Error}}));
    EXPECT_FALSE(tiles[0].isLocal);
    EXPECT_EQ(server.count("/v1/tile/mnt1m/100/6800"), 3);

    notices.list.clear();
    queue.enqueue(tiles[1], server.tileDir);
    ASSERT_TRUE(runUntilIdle(queue, 30s));
    EXPECT_EQ(notices.list, (N{{"Dalle 101_6800 : Dalle indisponible sur le serveur", NoticeKind::Error}}));
    EXPECT_EQ(server.count("/v1/tile/mnt1m/101/6800"), 1);
}

TEST_F(DownloadQueueTest, LeavingStopsTransfersSilently) {
    {  // A tile that arrives in the frame in which the user leaves is kept: whole, unselected.
        DownloadQueue queue(tiles, notices.sink());
        queue.enqueue(tiles[4], server.tileDir);
        const ActiveDownload& download = *queue.active().begin()->second;
        waitUntil([&] { return download.done.load(); }, 20s);
        queue.shutdown();
    }
    EXPECT_TRUE(tiles[4].isLocal);
    EXPECT_FALSE(tiles[4].selected);
    EXPECT_EQ(sha256File(tiles[4].localPath), tiles[4].sha256);

    server.fault({{"kind", "stall"}});
    {
        DownloadQueue queue(tiles, notices.sink());
        for (int i = 0; i < 4; ++i) queue.enqueue(tiles[i], server.tileDir);
        ASSERT_TRUE(waitUntil([&] {
            for (const auto& [key, download] : queue.active())
                if (download->progress.load() <= 0) return false;
            return true;
        }, 10s));
        const auto leaving = std::chrono::steady_clock::now();
        queue.shutdown();
        EXPECT_LT(std::chrono::steady_clock::now() - leaving, 2s);
        EXPECT_TRUE(queue.active().empty());
        EXPECT_EQ(queue.pendingCount(), 0u);
    }
    EXPECT_TRUE(notices.list.empty());
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(tiles[i].isLocal) << i;
        EXPECT_FALSE(fs::exists(server.tileDir + "/" + tiles[i].catalogPath + ".part")) << i;
    }
}

// Random faults and hostile catalogue entries: accepted files match their digest, none is ever
// seen half-written, no ".part" stays and nothing lands outside the tile folder.
TEST(DownloadQueue, SoakUnderRandomFaults) {
    TileStandIn server("200,6700,20,11", {}, "12");
    ASSERT_TRUE(TileStandIn::signIn());
    server.fault({{"kind", "hostile"}, {"target", "catalog"}});
    std::vector<TileInfo> tiles;
    captureStreams([&] { ASSERT_TRUE(syncCatalogue(tiles).ok); });
    ASSERT_EQ(tiles.size(), 220u);
    server.fault({{"random",
                   {{"seed", 12},
                    {"rate", 0.3},
                    {"kinds", {"503", "429", "404", "500", "drop", "extra-byte", "other-bytes", "redirect", "oversize",
                               "wrong-digest"}}}}});

    std::map<std::string, int64_t> expectedSize;
    for (const TileInfo& tile : tiles) expectedSize[server.tileDir + "/" + tile.catalogPath] = tile.size;
    std::atomic<bool> watching{true};
    std::atomic<int> halfWritten{0}, looks{0};
    std::thread watcher([&] {
        while (watching) {
            std::error_code ec;
            for (fs::recursive_directory_iterator it(server.tileDir, ec), end; !ec && it != end; it.increment(ec)) {
                if (!it->is_regular_file(ec) || it->path().extension() == ".part") continue;
                const auto found = expectedSize.find(it->path().string());
                const auto size = fs::file_size(it->path(), ec);
                if (!ec && (found == expectedSize.end() || int64_t(size) != found->second)) ++halfWritten;
            }
            ++looks;
        }
    });

    Notices notices;
    DownloadQueue queue(tiles, notices.sink());
    bool settled = false;
    captureStreams([&] {
        for (const TileInfo& tile : tiles) queue.enqueue(tile, server.tileDir);
        settled = runUntilIdle(queue, 120s);
    });
    watching = false;
    watcher.join();
    ASSERT_TRUE(settled);

    // Only the accepted tiles are files (no ".part", nothing of a refused one).
    size_t local = 0, files = 0;
    for (const TileInfo& tile : tiles) {
        if (!tile.isLocal) continue;
        ++local;
        EXPECT_EQ(sha256File(tile.localPath), tile.sha256) << tile.catalogPath;
    }
    for (fs::recursive_directory_iterator it(server.tileDir), end; it != end; ++it) files += it->is_regular_file();
    EXPECT_EQ(files, local);
    EXPECT_EQ(halfWritten.load(), 0) << looks.load() << " looks";
    EXPECT_FALSE(fs::exists("/tmp/evade"));
    // Most tiles arrive; the rest end with one error notice each.
    EXPECT_GT(local, 150u);
    const auto errors = std::ranges::count(notices.list, NoticeKind::Error, [](const auto& n) { return n.second; });
    EXPECT_EQ(static_cast<size_t>(errors), tiles.size() - local);
    TileStandIn::signOut();
}
