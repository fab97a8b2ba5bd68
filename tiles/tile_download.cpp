#include "tiles/tile_download.h"

#include "platform/platform.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

namespace {

// The bound on a tile whose size nobody announced.
constexpr uint64_t kMaxUnknownTileBytes = 256ull << 20;
constexpr long kTileTimeoutSeconds = 900;
constexpr int kAbortedByCallback = 42;

bool isSet(const std::atomic<bool>* flag) { return flag && flag->load(); }

int64_t fileSize(const std::string& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return ec ? -1 : static_cast<int64_t>(size);
}

struct Attempt {
    ResponseHeaders headers;
    bool overran = false;  // more bytes than announced: the transfer was stopped
    bool closeFailed = false;
};

} // namespace

TileResult downloadTile(const CatalogueTile& tile, const std::string& destination, TileProgress progress,
                        const std::atomic<bool>* cancel) {
    if (!tileServerConfigured()) return TileCode::NotConfigured;
    const std::string part = destination + ".part";
    std::error_code ec;
    fs::create_directories(fs::path(destination).parent_path(), ec);
    if (ec) return TileCode::DiskWriteFailed;
    fs::remove(part, ec);

    const std::string url =
        tileServerBaseUrl() + "/v1/tile/mnt1m/" + std::to_string(tile.gx) + "/" + std::to_string(tile.gy);
    Attempt attempt;
    bool cancelledBeforeStart = false, cannotCreate = false;
    const HttpResult transfer = fetchWithTokenRetry([&](const std::string& token) {
        HttpResult refused;
        attempt = Attempt();
        if (isSet(cancel)) {
            cancelledBeforeStart = true;
            refused.curlCode = kAbortedByCallback;
            return refused;
        }
        std::FILE* file = std::fopen(part.c_str(), "wb");
        if (!file) {
            cannotCreate = true;
            refused.curlCode = kAbortedByCallback;
            return refused;
        }
        HttpRequest request;
        request.url = url;
        applyCommonOptions(request, kTileTimeoutSeconds);
        appendBearerHeader(request.headers, token);
        // One byte beyond the announced size is enough to know it is wrong.
        request.maxBodyBytes = tile.size > 0 ? uint64_t(tile.size) + 1 : kMaxUnknownTileBytes;
        request.onHeader = [&](const char* data, size_t size) { captureResponseHeader(data, size, 1, attempt.headers); };
        request.onProgress = [&](int64_t received, int64_t expected) {
            if (isSet(cancel)) return false;
            if (tile.size < 1 && attempt.headers.size > 0 && received > attempt.headers.size) {
                attempt.overran = true;
                return false;
            }
            if (!progress) return true;
            const double total = expected > 0 ? double(expected) : double(tile.compressedSize);
            if (total >= 1) progress(std::clamp(double(received) / total, 0.0, 1.0));
            return true;
        };
        const HttpResult result = httpFetchToFile(request, file);
        attempt.closeFailed = std::fclose(file) != 0;
        attempt.overran = attempt.overran || result.bodyTooLarge;
        return result;
    });
    if (cancelledBeforeStart || cannotCreate) {
        if (cannotCreate) std::cerr << "Impossible de creer " << part << std::endl;
        fs::remove(part, ec);  // what a first attempt answered with 401
        return cannotCreate ? TileCode::DiskWriteFailed : TileCode::Cancelled;
    }

    const int64_t expectedSize = tile.size >= 1 ? tile.size : attempt.headers.size;
    TileResult code;
    if (attempt.overran) {
        std::cerr << "[" << tile.name << "] taille inattendue : plus de " << expectedSize << " au lieu de "
                  << expectedSize << std::endl;
        code = TileCode::CorruptTransfer;
    } else if (transfer.curlCode == kAbortedByCallback || isSet(cancel)) {
        code = TileCode::Cancelled;
    } else if (transfer.completed() && attempt.closeFailed) {
        code = TileCode::DiskWriteFailed;
    } else {
        code = classifyTransfer(transfer.curlCode, transfer.status);
    }
    if (code != TileCode::Ok) {
        fs::remove(part, ec);
        return code;
    }

    const std::string expectedDigest = !tile.sha256.empty() ? tile.sha256 : attempt.headers.sha256;
    if (expectedSize > 0) {
        const int64_t actual = fileSize(part);
        if (actual != expectedSize) {
            std::cerr << "[" << tile.name << "] taille inattendue : " << actual << " au lieu de " << expectedSize
                      << std::endl;
            fs::remove(part, ec);
            return TileCode::CorruptTransfer;
        }
    }
    if (!expectedDigest.empty() && !digestsEqual(sha256File(part), expectedDigest)) {
        std::cerr << "[" << tile.name << "] SHA-256 incoherent" << std::endl;
        fs::remove(part, ec);
        return TileCode::CorruptTransfer;
    }
    // Moved over the old file in one step: there is never a moment without a tile.
    std::string error;
    if (!platform::replaceFile(part, destination, error)) {
        fs::remove(part, ec);
        return TileCode::DiskWriteFailed;
    }
    if (progress) progress(1.0);
    return TileCode::Ok;
}
