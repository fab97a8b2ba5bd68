// tile-download-bench TILE_SERVER CATALOGUE_SERVER: two timings against the
// tile stand-in (scripts/bench.sh starts both with the account
// bench@abysto.test, password banc-essai).
//  1. A verified download (transfer into ".part", size and SHA-256 check,
//     move into place) of TILE_SERVER's first tile, next to the curl command
//     line fetching the same file with the same token in the same run; best of
//     seven each (the machine may be shared), and the peak resident memory
//     growth over the downloads, which stays flat in the tile's size.
//  2. CATALOGUE_SERVER's catalogue (about 1,500 tiles) parsed and merged into a
//     tile list of four local tiles, best of twenty.
// Exit code 1 when a target is missed: downloads at 0.9 times curl's
// throughput or better, parse and merge under 20 ms.
#include "account/account_session.h"
#include "account/backend_config.h"
#include "tiles/catalogue.h"
#include "tiles/tile_download.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double peakBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) * 1024.0;
    return 0;
}

// Wall time of one run of the curl command line writing the file, as a user would run it.
double curlSeconds(const std::string& url, const std::string& token, const std::string& out) {
    const std::string command = "curl -s -f -o '" + out + "' -H 'Authorization: Bearer " + token + "' '" + url + "'";
    const auto start = Clock::now();
    const int status = std::system(command.c_str());
    const double seconds = secondsSince(start);
    return status == 0 ? seconds : -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage : tile-download-bench SERVEUR_DALLES SERVEUR_CATALOGUE" << std::endl;
        return 2;
    }
    curl_global_init(CURL_GLOBAL_ALL);
    const fs::path work = fs::temp_directory_path() / ("tile-bench-" + std::to_string(::getpid()));
    configureBackend(argv[1], authAnonKey());
    if (!login("bench@abysto.test", "banc-essai").signedIn) return 2;
    configureTileServer(argv[1], (work / "cache").string());
    std::vector<CatalogueTile> catalogue;
    const CatalogueResult fetched = fetchCatalogue(catalogue);
    if (!fetched.ok || catalogue.empty()) {
        std::cerr << "Catalogue : " << fetched.message << std::endl;
        return 2;
    }
    const CatalogueTile& tile = catalogue.front();
    const std::string url = std::string(argv[1]) + "/v1/tile/mnt1m/" + std::to_string(tile.gx) + "/" +
                            std::to_string(tile.gy);
    const std::string destination = (work / "dalles" / tile.path).string();
    const std::string token = currentSession().accessToken;

    const double peakBefore = peakBytes();
    double ours = 1e9, theirs = 1e9;
    for (int run = 0; run < 7; ++run) {
        const auto start = Clock::now();
        if (downloadTile(tile, destination, nullptr, nullptr) != TileCode::Ok) return 2;
        ours = std::min(ours, secondsSince(start));
        const double curl = curlSeconds(url, token, (work / "curl.asc").string());
        if (curl < 0) return 2;
        theirs = std::min(theirs, curl);
    }
    const double growth = peakBytes() - peakBefore;
    const double mib = tile.size / 1048576.0;
    const double ratio = theirs / ours;
    std::printf("Téléchargement vérifié de %.1f MiB : %.1f ms (%.0f MiB/s) ; curl : %.1f ms (%.0f MiB/s) ; "
                "rapport %.2f\n",
                mib, ours * 1e3, mib / ours, theirs * 1e3, mib / theirs, ratio);
    std::printf("Mémoire de pointe pendant les téléchargements : +%.1f MiB pour une dalle de %.1f MiB\n",
                growth / 1048576.0, mib);

    // The catalogue of a regional coverage, parsed and merged as at start-up.
    std::string body;
    HttpRequest request;
    request.url = std::string(argv[2]) + "/v1/catalog";
    request.acceptAnyEncoding = true;
    httpFetch(request, body);
    double merge = 1e9;
    size_t total = 0;
    for (int run = 0; run < 20; ++run) {
        std::vector<TileInfo> tiles(4);
        for (int i = 0; i < 4; ++i) tiles[i].gx = 145 + i % 2, tiles[i].gy = 6839 + i / 2, tiles[i].isLocal = true;
        const auto start = Clock::now();
        std::vector<CatalogueTile> parsed;
        std::string error;
        if (!parseCatalogue(body, parsed, error)) {
            std::cerr << error << std::endl;
            return 2;
        }
        mergeCatalogue(parsed, tiles);
        merge = std::min(merge, secondsSince(start));
        total = parsed.size();
    }
    std::printf("Catalogue de %zu dalles (%.0f Kio) lu et fusionné : %.2f ms\n", total, body.size() / 1024.0,
                merge * 1e3);

    std::error_code ec;
    fs::remove_all(work, ec);
    const bool met = ratio >= 0.9 && merge < 0.020;
    if (!met) std::printf("Objectif manqué.\n");
    return met ? 0 : 1;
}
