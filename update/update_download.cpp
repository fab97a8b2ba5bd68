#include "update/update_download.h"

#include "tiles/file_digest.h"
#include "update/update_client.h"
#include "update/update_status.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

namespace {

constexpr long kCurlAbortedByCallback = 42;
constexpr long kCurlWriteError = 23;

int64_t regularFileSize(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return -1;
    const auto size = fs::file_size(path, ec);
    return ec ? -1 : static_cast<int64_t>(size);
}

std::string firstLine(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return line;
}

void removeQuietly(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

int dropPartial(const std::string& part, const std::string& marker, int status) {
    removeQuietly(part);
    removeQuietly(marker);
    return status;
}

bool writeMarker(const std::string& marker, const std::string& digest) {
    std::ofstream out(marker, std::ios::binary | std::ios::trunc);
    out << digest << '\n';
    return static_cast<bool>(out);
}

} // namespace

std::string updateFilePath(const std::string& fileName) {
    return (fs::path(updateClientConfig().updatesDir) / fileName).string();
}

bool isUpdateAlreadyDownloaded(const UpdateManifest& manifest, std::string& path) {
    if (!updateClientConfigured() || !isSafeUpdateFileName(manifest.fileName)) return false;
    const std::string candidate = updateFilePath(manifest.fileName);
    if (regularFileSize(candidate) != manifest.fileSize) return false;
    if (!digestsEqual(sha256File(candidate), manifest.fileSha256)) {
        removeQuietly(candidate);
        return false;
    }
    path = candidate;
    return true;
}

int downloadUpdateFile(const UpdateManifest& manifest, std::string& path,
                       const std::function<void(double)>& progress, const std::atomic<bool>& stop) {
    if (!updateClientConfigured()) return UpdateNotConfigured;
    if (!isSafeUpdateFileName(manifest.fileName) || manifest.fileSize < 1 || manifest.fileSha256.size() != 64)
        return UpdateNotAuthentic;
    if (isUpdateAlreadyDownloaded(manifest, path)) {
        if (progress) progress(1.0);
        return UpdateReady;
    }

    std::error_code ec;
    fs::create_directories(updateClientConfig().updatesDir, ec);
    if (ec) return UpdateWriteFailed;
    const std::string target = updateFilePath(manifest.fileName);
    const std::string part = target + ".part", marker = part + ".sha";

    const int64_t partSize = regularFileSize(part);
    int64_t offset = 0;
    if (partSize >= 1 && partSize < manifest.fileSize && firstLine(marker) == manifest.fileSha256) {
        offset = partSize;
    } else {
        removeQuietly(part);
        if (!writeMarker(marker, manifest.fileSha256)) return UpdateWriteFailed;
    }

    std::FILE* file = std::fopen(part.c_str(), offset > 0 ? "ab" : "wb");
    if (!file) return UpdateWriteFailed;

    bool overflow = false;
    HttpRequest request = updateServerRequest("/v1/update/file/" + manifest.fileName);
    request.timeoutSeconds = 0;
    request.lowSpeedBytes = 1024;
    request.lowSpeedSeconds = 60;
    request.resumeFrom = offset;
    // Nothing beyond the signed size reaches the disk.
    request.maxBodyBytes = static_cast<uint64_t>(manifest.fileSize - offset);
    // The total is the signed size, never what the server announces.
    request.onProgress = [&](int64_t received, int64_t) {
        if (stop.load()) return false;
        const int64_t total = offset + received;
        if (total > manifest.fileSize) {
            overflow = true;
            return false;
        }
        if (progress) progress(std::clamp(static_cast<double>(total) / manifest.fileSize, 0.0, 1.0));
        return true;
    };
    const HttpResult http = httpFetchToFile(request, file);
    const bool closed = std::fclose(file) == 0;

    if (offset >= 1 && http.status == 200) {
        std::cerr << "[update] plage ignoree par le serveur, on repart de zero" << std::endl;
        return dropPartial(part, marker, UpdateInconsistent);
    }
    if (overflow || http.bodyTooLarge) {
        std::cerr << "[update] le serveur envoie plus que les " << manifest.fileSize << " octets signes" << std::endl;
        return dropPartial(part, marker, UpdateInconsistent);
    }
    if (http.curlCode == kCurlAbortedByCallback || stop.load()) return UpdateCancelled;
    if (http.curlCode == kCurlWriteError || !closed) return UpdateWriteFailed;
    if (!http.completed()) return UpdateConnectionFailed;
    if (http.status == 404) return UpdateNone;
    if (http.status == 416) return dropPartial(part, marker, UpdateInconsistent);
    if (http.status == 429) return UpdateServerBusy;
    if (http.status >= 500) return UpdateServerDown;
    if (http.status != 200 && http.status != 206) return UpdateConnectionFailed;

    const int64_t received = regularFileSize(part);
    if (received != manifest.fileSize) {
        std::cerr << "[update] taille recue " << received << " au lieu de " << manifest.fileSize << std::endl;
        return dropPartial(part, marker, UpdateInconsistent);
    }
    if (!digestsEqual(sha256File(part), manifest.fileSha256)) {
        std::cerr << "[update] empreinte du fichier telecharge incoherente" << std::endl;
        return dropPartial(part, marker, UpdateInconsistent);
    }
    removeQuietly(target);
    fs::rename(part, target, ec);
    if (ec) {
        std::cerr << "[update] renommage impossible : " << ec.message() << std::endl;
        return UpdateWriteFailed;
    }
    removeQuietly(marker);
    path = target;
    return UpdateReady;
}
