#include "tiles/download_queue.h"

#include "tiles/tile_download.h"

#include <algorithm>
#include <system_error>

DownloadQueue::DownloadQueue(std::vector<TileInfo>& tileList, NoticeSink sink)
    : tiles(tileList), notice(std::move(sink)) {}

DownloadQueue::~DownloadQueue() { shutdown(); }

bool DownloadQueue::contains(const std::string& key) const {
    return running.count(key) > 0 ||
           std::any_of(pending.begin(), pending.end(), [&](const DownloadJob& job) { return job.key == key; });
}

void DownloadQueue::enqueue(const TileInfo& info, const std::string& tileDir) {
    DownloadJob job;
    job.key = tileKey(info.gx, info.gy);
    if (contains(job.key)) return;
    // The path came through the catalogue's check; a list changed elsewhere is checked again.
    if (!isSafeTilePath(info.catalogPath)) {
        if (notice) notice("Dalle " + job.key + " : " + resultMessage(TileCode::DiskWriteFailed), NoticeKind::Error);
        return;
    }
    job.tile.name = job.key;
    job.tile.gx = info.gx;
    job.tile.gy = info.gy;
    job.tile.path = info.catalogPath;
    job.tile.size = info.size;
    job.tile.compressedSize = info.compressedSize;
    job.tile.sha256 = info.sha256;
    job.tile.date = info.date;
    job.destination = tileDir + "/" + info.catalogPath;
    pending.push_back(std::move(job));
    pump();
}

void DownloadQueue::pump() {
    while (running.size() < maxConcurrentDownloads && !pending.empty()) {
        DownloadJob job = std::move(pending.front());
        pending.pop_front();
        auto download = std::make_unique<ActiveDownload>();
        download->destination = job.destination;
        download->tile = job.tile;
        download->attempt = job.attempt;
        ActiveDownload* shared = download.get();
        try {
            download->thread = std::thread([shared] {
                const TileResult result = downloadTile(
                    shared->tile, shared->destination,
                    [shared](double fraction) { shared->progress.store(static_cast<float>(fraction)); },
                    &shared->cancel);
                shared->result.store(result);
                shared->succeeded.store(result == TileCode::Ok);
                shared->done.store(true);
            });
        } catch (const std::system_error&) {
            if (notice) notice("Dalle " + job.key + " : " + resultMessage(-1), NoticeKind::Error);
            continue;
        }
        running.emplace(job.key, std::move(download));
    }
}

void DownloadQueue::poll() {
    for (auto it = running.begin(); it != running.end();) {
        ActiveDownload& download = *it->second;
        if (!download.done.load()) {
            ++it;
            continue;
        }
        download.thread.join();
        const std::string& key = it->first;
        const TileResult result = download.result.load();
        if (result == TileCode::Ok) {
            markArrived(key, download.destination, true);
        } else if (result == TileCode::Cancelled) {
            // The user asked for it: nothing to say.
        } else if (isRetryable(result) && download.attempt + 1 < maxAttempts) {
            pending.push_back({key, download.tile, download.destination, download.attempt + 1});
            if (notice)
                notice(std::string(resultMessage(result)) + " - nouvel essai (" + std::to_string(download.attempt + 2) +
                           "/" + std::to_string(maxAttempts) + ")",
                       NoticeKind::Information);
        } else if (notice) {
            notice("Dalle " + key + " : " + resultMessage(result), NoticeKind::Error);
        }
        it = running.erase(it);
    }
    pump();
}

void DownloadQueue::markArrived(const std::string& key, const std::string& destination, bool select) {
    for (TileInfo& tile : tiles) {
        if (tileKey(tile.gx, tile.gy) != key) continue;
        tile.isLocal = true;
        tile.localPath = destination;
        if (select) tile.selected = true;
        return;
    }
}

void DownloadQueue::shutdown() {
    pending.clear();
    for (auto& [key, download] : running) download->cancel.store(true);
    for (auto& [key, download] : running) {
        if (download->thread.joinable()) download->thread.join();
        // A tile that arrived before the cancel was seen is on disk whole: keep it
        // (unselected, as the user did not see it arrive).
        if (download->result.load() == TileCode::Ok) markArrived(key, download->destination, false);
    }
    running.clear();
}
