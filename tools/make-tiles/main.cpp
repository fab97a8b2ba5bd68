// make-tiles OUTDIR GX GY [GX GY ...] [--seed N]
// Writes made-up LITTO3D tiles for tests, benchmarks and demos: the same
// seed and coordinates always give the same file, and neighbours join.
#include "tools/make-tiles/tile_writer.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

bool parseInt(const std::string& text, long long& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

int usage(const std::string& why) {
    std::cerr << why << "\nUsage : make-tiles [--seed N] DOSSIER GX GY [GX GY ...]" << std::endl;
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    long long seed = 1;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--seed") {
            if (i + 1 >= argc || !parseInt(argv[i + 1], seed) || seed < 0 || seed > 0xFFFFFFFFll)
                return usage("Option --seed : un entier positif est attendu.");
            ++i;
        } else {
            args.push_back(arg);
        }
    }
    if (args.size() < 3 || args.size() % 2 == 0) return usage("Un dossier et des paires GX GY sont attendus.");

    std::vector<std::pair<int, int>> tiles;
    for (size_t i = 1; i < args.size(); i += 2) {
        long long gx = 0, gy = 0;
        if (!parseInt(args[i], gx) || !parseInt(args[i + 1], gy) || gx < 0 || gx > 9999 || gy < 1 || gy > 9999)
            return usage("Coordonnées de dalle invalides : " + args[i] + " " + args[i + 1]);
        tiles.emplace_back(int(gx), int(gy));
    }

    std::error_code ec;
    std::filesystem::create_directories(args[0], ec);

    // Tiles are independent: one worker per core takes the next one.
    std::vector<std::string> errors(tiles.size());
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < tiles.size(); i = next++)
            writeTile(args[0], tiles[i].first, tiles[i].second, uint32_t(seed), errors[i]);
    };
    std::vector<std::thread> workers;
    const size_t count = std::min<size_t>(tiles.size(), std::max(1u, std::thread::hardware_concurrency()));
    for (size_t i = 1; i < count; ++i) workers.emplace_back(work);
    work();
    for (std::thread& t : workers) t.join();

    int status = 0;
    for (size_t i = 0; i < tiles.size(); ++i) {
        if (!errors[i].empty()) {
            std::cerr << errors[i] << std::endl;
            status = 1;
        } else {
            std::cout << (std::filesystem::path(args[0]) / tileFileName(tiles[i].first, tiles[i].second)).string()
                      << std::endl;
        }
    }
    return status;
}
