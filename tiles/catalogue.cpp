#include "tiles/catalogue.h"

#include "tiles/cache_files.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <limits>
#include <unordered_map>

using nlohmann::json;

namespace {

// A catalogue of every French tile is a few megabytes; far more is not one.
constexpr uint64_t kMaxCatalogueBytes = 64ull << 20;
constexpr long kCatalogueTimeoutSeconds = 20;

// A whole number in [low, high] from a JSON number (a fraction truncated);
// 0 when absent or out of range. Non-numbers throw the library's type error.
int64_t wholeNumber(const json& tile, const char* key, int64_t low, int64_t high) {
    const auto found = tile.find(key);
    if (found == tile.end()) return 0;
    if (found->is_number_float()) {
        const double value = found->get<double>();
        return value >= double(low) && value <= double(high) ? static_cast<int64_t>(value) : 0;
    }
    if (found->is_number_unsigned()) {
        const uint64_t value = found->get<uint64_t>();
        return value <= uint64_t(high) ? static_cast<int64_t>(value) : 0;
    }
    const int64_t value = found->get<int64_t>();
    return value >= low && value <= high ? value : 0;
}

std::string fourDigits(int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d", value);
    return text;
}

void replaceAll(std::string& text, const std::string& placeholder, const std::string& value) {
    for (size_t at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
}

std::string defaultText(const json& defaults, const char* key, const char* fallback) {
    return defaults.is_object() ? defaults.value(key, std::string(fallback)) : std::string(fallback);
}

bool parsesAsCatalogue(const std::string& text, std::vector<CatalogueTile>& tiles) {
    std::string ignored;
    return !text.empty() && parseCatalogue(text, tiles, ignored);
}

} // namespace

std::string expandPathTemplate(const std::string& pathTemplate, int32_t gx, int32_t gy, const std::string& region,
                               const std::string& date, const std::string& suffix) {
    std::string path = pathTemplate;
    replaceAll(path, "{gx:04d}", fourDigits(gx));
    replaceAll(path, "{gy:04d}", fourDigits(gy));
    replaceAll(path, "{gx}", std::to_string(gx));
    replaceAll(path, "{gy}", std::to_string(gy));
    replaceAll(path, "{region}", region);
    replaceAll(path, "{date}", date);
    replaceAll(path, "{suffix}", suffix);
    return path;
}

bool isSafeTilePath(const std::string& path) {
    const std::string extension = ".asc";
    if (path.size() <= extension.size() || path.compare(path.size() - extension.size(), extension.size(), extension) != 0)
        return false;
    if (path.front() == '/' || path.find("..") != std::string::npos) return false;
    return path.find_first_of(std::string("\\:\0", 3)) == std::string::npos;
}

bool parseCatalogue(const std::string& text, std::vector<CatalogueTile>& tiles, std::string& error) {
    try {
        const json doc = json::parse(text);
        const bool isObject = doc.is_object();
        const std::string pathTemplate =
            isObject ? doc.value("pathTemplate", std::string(kDefaultPathTemplate)) : kDefaultPathTemplate;
        const json defaults = isObject ? doc.value("defaults", json()) : json();
        const std::string region = defaultText(defaults, "region", "FRA");
        const std::string suffix = defaultText(defaults, "suffix", "LAMB93_RGF93_IGN69");
        if (!isObject || !doc.contains("tiles") || !doc["tiles"].is_array()) {
            error = "catalogue sans tableau 'tiles'";
            return false;
        }
        const json& entries = doc["tiles"];
        std::vector<CatalogueTile> parsed;
        parsed.reserve(entries.size());
        constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
        constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
        for (const json& entry : entries) {
            entry.get_ref<const json::object_t&>();  // the library's type error for a non-object
            CatalogueTile tile;
            tile.gx = static_cast<int32_t>(wholeNumber(entry, "x", 1, kInt32Max));
            tile.gy = static_cast<int32_t>(wholeNumber(entry, "y", 1, kInt32Max));
            if (tile.gx < 1 || tile.gy < 1) continue;
            tile.size = wholeNumber(entry, "s", 0, kInt64Max);
            tile.compressedSize = wholeNumber(entry, "cs", 0, kInt64Max);
            tile.sha256 = entry.value("h", std::string());
            tile.date = entry.value("d", std::string());
            const std::string tileRegion = entry.value("r", region);
            const std::string tileSuffix = entry.value("sf", suffix);
            tile.name = fourDigits(tile.gx) + "_" + fourDigits(tile.gy);
            tile.path = expandPathTemplate(pathTemplate, tile.gx, tile.gy, tileRegion, tile.date, tileSuffix);
            // The path is joined to the tile folder: one that could leave it is refused.
            if (!isSafeTilePath(tile.path)) {
                std::cerr << "[" << tile.name << "] chemin refusé hors du dossier des dalles" << std::endl;
                continue;
            }
            parsed.push_back(std::move(tile));
        }
        tiles = std::move(parsed);
        return true;
    } catch (const json::exception& e) {
        error = std::string("catalogue illisible : ") + e.what();
        return false;
    }
}

CatalogueResult fetchCatalogue(std::vector<CatalogueTile>& tiles) {
    CatalogueResult result;
    if (!tileServerConfigured()) {
        result.code = TileCode::NotConfigured;
        result.message = resultMessage(TileCode::NotConfigured);
        return result;
    }
    const std::string etag = readWholeFile(catalogueEtagFile());
    std::string body;
    ResponseHeaders headers;
    const HttpResult transfer = fetchWithTokenRetry([&](const std::string& token) {
        HttpRequest request;
        request.url = tileServerBaseUrl() + "/v1/catalog";
        applyCommonOptions(request, kCatalogueTimeoutSeconds);
        request.maxBodyBytes = kMaxCatalogueBytes;
        appendBearerHeader(request.headers, token);
        if (!etag.empty()) request.headers.push_back("If-None-Match: " + etag);
        headers = ResponseHeaders();
        request.onHeader = [&](const char* data, size_t size) { captureResponseHeader(data, size, 1, headers); };
        return httpFetch(request, body);
    });
    if (transfer.curlCode == 2 /* CURLE_FAILED_INIT */) {
        result.code = TileCode::ConnectionProblem;
        result.message = "Initialisation reseau impossible";
        return result;
    }

    if (transfer.completed() && transfer.status == 200) {
        std::string error;
        if (!parseCatalogue(body, tiles, error)) {
            result.code = TileCode::ServerError;
            result.message = error;
            return result;
        }
        // The tag is written after its body, so the two always belong together.
        writeFileReplacing(catalogueCacheFile(), body);
        if (!headers.etag.empty()) writeFileReplacing(catalogueEtagFile(), headers.etag);
        result.ok = true;
        result.message = "Catalogue synchronise";
        return result;
    }
    if (transfer.completed() && transfer.status == 304) {
        if (parsesAsCatalogue(readWholeFile(catalogueCacheFile()), tiles)) {
            result.ok = result.fromCache = true;
            result.message = "Catalogue a jour";
        } else {
            std::error_code ec;
            std::filesystem::remove(catalogueEtagFile(), ec);
            result.code = TileCode::ServerError;
            result.message = "Cache du catalogue invalide, il sera retelecharge";
        }
        return result;
    }

    // A body beyond the cap is the server's fault, not the disk's.
    result.code = transfer.bodyTooLarge ? TileCode::ServerError : classifyTransfer(transfer.curlCode, transfer.status);
    if (parsesAsCatalogue(readWholeFile(catalogueCacheFile()), tiles)) {
        result.ok = result.fromCache = true;
        result.message = std::string("Hors ligne : catalogue local (") + resultMessage(result.code) + ")";
    } else {
        result.message = resultMessage(result.code);
    }
    return result;
}

int32_t mergeCatalogue(const std::vector<CatalogueTile>& catalogue, std::vector<TileInfo>& tiles) {
    // The first entry with a given (gx, gy), as a linear search would find it.
    auto key = [](int32_t gx, int32_t gy) { return (uint64_t(uint32_t(gx)) << 32) | uint32_t(gy); };
    std::unordered_map<uint64_t, size_t> firstIndex;
    firstIndex.reserve(tiles.size() + catalogue.size());
    for (size_t i = 0; i < tiles.size(); ++i) firstIndex.emplace(key(tiles[i].gx, tiles[i].gy), i);

    int32_t added = 0;
    for (const CatalogueTile& entry : catalogue) {
        const auto [found, inserted] = firstIndex.emplace(key(entry.gx, entry.gy), tiles.size());
        if (inserted) {
            TileInfo fresh;
            fresh.gx = entry.gx;
            fresh.gy = entry.gy;
            tiles.push_back(std::move(fresh));
            ++added;
        }
        TileInfo& tile = tiles[found->second];
        tile.onServer = true;
        tile.catalogPath = entry.path;
        tile.size = entry.size;
        tile.compressedSize = entry.compressedSize;
        tile.sha256 = entry.sha256;
        tile.date = entry.date;
    }
    return added;
}

CatalogueSyncSummary syncCatalogue(std::vector<TileInfo>& tiles) {
    std::vector<CatalogueTile> catalogue;
    const CatalogueResult fetched = fetchCatalogue(catalogue);
    CatalogueSyncSummary summary;
    summary.ok = fetched.ok;
    summary.fromCache = fetched.fromCache;
    summary.message = fetched.message;
    if (!fetched.ok) {
        std::cerr << "Catalogue indisponible : " << fetched.message << std::endl;
        return summary;
    }
    summary.total = static_cast<int32_t>(catalogue.size());
    summary.added = mergeCatalogue(catalogue, tiles);
    std::cout << summary.total << " dalle(s) au catalogue" << (summary.fromCache ? " (cache local)" : "") << ", "
              << summary.added << " nouvelle(s)." << std::endl;
    return summary;
}
