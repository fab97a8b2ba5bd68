// start-screen-bench URL TILE...: the start screen's frame (events, finished
// downloads, UI, glFinish) on the map of Brest, idle and while three slow
// downloads run; then the time from "Explorer" to the first 3D frame for the
// given tiles (merge, mesh, tide calibration, orthophoto, one frame) next to
// GDAL's plain read of the same files. URL is a stand-in with the account
// bench@abysto.test / banc-essai. Needs a display (scripts/bench.sh runs it
// on a private virtual screen).
#include "account/account_session.h"
#include "account/backend_config.h"
#include "app/zone_view.h"
#include "tiles/tile_server.h"
#include "viewer/ui_manager.h"
#include "viewer/viewer.h"
#include "zones/zone_selector.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <gdal_priv.h>
#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Quiet {
    std::streambuf* saved = std::cout.rdbuf(nullptr);
    ~Quiet() { std::cout.rdbuf(saved); }
};

Viewer* viewer = nullptr;
SelectorScreen* screen = nullptr;

void selectorFrame() {
    glfwPollEvents();
    screen->downloads.poll();
    int width = 0, height = 0;
    glfwGetFramebufferSize(viewer->window, &width, &height);
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    beginUiFrame();
    screen->drawUi(static_cast<float>(width), static_cast<float>(height));
    endUiFrame();
    glFinish();
}

std::string standIn, tileDir;

// Three transfers slowed down by the stand-in, running for the whole measurement.
void startThreeDownloads() {
    if (!screen->downloads.active().empty()) return;
    CURL* curl = curl_easy_init();
    const std::string faults = standIn + "/__tile-faults";
    curl_easy_setopt(curl, CURLOPT_URL, faults.c_str());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, R"({"kind": "slow"})");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, +[](char*, size_t size, size_t count, void*) { return size * count; });
    curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    int queued = 0;
    for (const size_t index : screen->map.area.visible)
        if (queued < 3 && !screen->tiles[index].isLocal && screen->tiles[index].onServer) {
            screen->downloads.enqueue(screen->tiles[index], tileDir);
            ++queued;
        }
}

void frames(benchmark::State& state, bool downloading) {
    Quiet quiet;
    if (downloading) startThreeDownloads();
    for (auto _ : state) selectorFrame();
    state.counters["downloads"] = static_cast<double>(screen->downloads.active().size());
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Every band value of every file, as GDAL reads them.
double gdalRead(const std::vector<std::string>& tiles) {
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : tiles) {
        GDALDataset* dataset = GDALDataset::FromHandle(GDALOpen(path.c_str(), GA_ReadOnly));
        if (!dataset) continue;
        const int w = dataset->GetRasterXSize(), h = dataset->GetRasterYSize();
        std::vector<float> values(static_cast<size_t>(w) * h);
        if (dataset->GetRasterBand(1)->RasterIO(GF_Read, 0, 0, w, h, values.data(), w, h, GDT_Float32, 0, 0) !=
            CE_None)
            std::cerr << "lecture impossible : " << path << std::endl;
        GDALClose(dataset);
    }
    return seconds(start);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc < 3) {
        std::cerr << "Usage : start-screen-bench URL DALLE.asc..." << std::endl;
        return 2;
    }
    const std::string url = argv[1];
    const std::vector<std::string> tiles(argv + 2, argv + argc);
    curl_global_init(CURL_GLOBAL_ALL);
    GDALAllRegister();
    setenv("ABYSTO_WMS_URL", url.c_str(), 1);
    setenv("ABYSTO_TIDE_URL", url.c_str(), 1);
    const std::filesystem::path work = std::filesystem::temp_directory_path() / "abysto-start-screen-bench";
    std::filesystem::create_directories(work);
    setenv("LOCALAPPDATA", work.c_str(), 1);

    Viewer v;
    viewer = &v;
    v.dataRoot = ABYSTO_BINARY_DIR "/data";
    std::vector<TileInfo> list;
    {
        Quiet quiet;
        if (!v.init()) return 1;
        configureBackend(url, kDefaultAuthAnonKey);
        configureTileServer(url, (work / "cache").string());
        if (!login("bench@abysto.test", "banc-essai").signedIn) {
            std::cerr << "connexion au service local impossible : " << url << std::endl;
            return 1;
        }
        syncCatalogue(list);
    }
    {
        standIn = url;
        tileDir = (work / "tuiles").string();
        SelectorScreen selector(v.window, list, tileDir);
        screen = &selector;
        selector.tips.show = false;
        {
            Quiet quiet;
            choosePlace(selector.map, list, selector.centres, selector.sidebar.history,
                        (work / "zones.json").string(), 48.3825, -4.4947, "Brest");
            for (int i = 0; i < 3; ++i) selectorFrame();
        }
        benchmark::RegisterBenchmark("start_screen/idle", frames, false)->UseRealTime()->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("start_screen/three_downloads", frames, true)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RunSpecifiedBenchmarks();
        selector.finish();
    }

    // From "Explorer" to the first frame of the 3D view, next to GDAL's read alone.
    double toView = 0, read = 0;
    const int rounds = 3;
    for (int round = 0; round < rounds; ++round) {
        read += gdalRead(tiles);
        Quiet quiet;
        const auto start = std::chrono::steady_clock::now();
        prepareZoneView(v, tiles, {});
        v.drawFrame(0.0f);
        glFinish();
        toView += seconds(start);
    }
    std::cout << tiles.size() << " dalle(s) : de « Explorer » à la première image 3D " << toView / rounds
              << " s, lecture GDAL seule " << read / rounds << " s (rapport " << toView / read << ")" << std::endl;
    benchmark::Shutdown();
    curl_global_cleanup();
    return 0;
}
