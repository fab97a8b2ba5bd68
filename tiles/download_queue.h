// The downloads the zone selector asks for: a first-in first-out queue, at
// most three transfers at once, each on its own thread, transient failures
// tried again up to three attempts in all, and the tile list updated when a
// tile has arrived. Everything but the workers runs on the selector's thread.
#pragma once

#include "terrain/tile_info.h"
#include "tiles/catalogue.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

inline constexpr size_t maxConcurrentDownloads = 3;
inline constexpr uint32_t maxAttempts = 3;

struct DownloadJob {
    std::string key;  // "gx_gy"
    CatalogueTile tile;
    std::string destination;
    uint32_t attempt = 0;  // attempts already failed
};

// Shared with its worker through the atomic fields only; `done` is written last.
struct ActiveDownload {
    std::thread thread;
    std::atomic<float> progress{0.0f};
    std::atomic<bool> done{false};
    std::atomic<bool> succeeded{false};
    std::atomic<bool> cancel{false};
    std::atomic<int32_t> result{0};
    std::string destination;
    CatalogueTile tile;
    uint32_t attempt = 0;
};

enum class NoticeKind { Information, Error };
// The selector's status line: information for 4 s, errors for 8 s.
using NoticeSink = std::function<void(const std::string& text, NoticeKind kind)>;

class DownloadQueue {
public:
    // `tiles` is the program's tile list; it outlives the queue.
    DownloadQueue(std::vector<TileInfo>& tiles, NoticeSink notice);
    ~DownloadQueue();
    DownloadQueue(const DownloadQueue&) = delete;
    DownloadQueue& operator=(const DownloadQueue&) = delete;

    // A tile that is on the server and not local, neither pending nor active.
    void enqueue(const TileInfo& tile, const std::string& tileDir);
    // Starts waiting jobs while fewer than three run.
    void pump();
    // Once per frame: handles finished downloads in key order, then pumps.
    void poll();
    // Drops waiting jobs, cancels and joins running ones, without notices; a
    // tile that had arrived whole by then is marked local.
    void shutdown();

    const std::map<std::string, std::unique_ptr<ActiveDownload>>& active() const { return running; }
    size_t pendingCount() const { return pending.size(); }
    bool contains(const std::string& key) const;

private:
    void markArrived(const std::string& key, const std::string& destination, bool select);
    std::vector<TileInfo>& tiles;
    NoticeSink notice;
    std::deque<DownloadJob> pending;
    std::map<std::string, std::unique_ptr<ActiveDownload>> running;
};
