// view-frame-bench TILE...: the work of one frame of the 3D view, everything
// but the buffer swap: Viewer::drawFrame followed by glFinish, so that the GL
// work counts too (without a GPU, Mesa's llvmpipe rasterises on the CPU).
// Cases: an empty frame (no zone, no window); the bare terrain of the zone
// (no marker, window or minimap); the zone of the given tiles
// with 100 markers, their list and labels, legend and minimap; the same with
// every view window open (which hides the list and labels), with the minimap
// from its kept picture and, as the baseline, drawn again; and both again
// on a 100 x 100 zone, where the frame is mostly the view's own UI work.
// Needs a display (scripts/bench.sh runs it on a private virtual screen).
#include "app/load_zone.h"
#include "viewer/viewer.h"

#include <benchmark/benchmark.h>
#include <glad/gl.h>
#include <iostream>
#include <string>
#include <vector>

namespace {

// The library's progress lines are not what is being measured.
struct Quiet {
    std::streambuf* saved = std::cout.rdbuf(nullptr);
    ~Quiet() { std::cout.rdbuf(saved); }
};

enum class Scene {
    Empty,
    ZoneTerrainOnly,
    ZoneMarkersAndList,
    ZoneEveryWindow,
    ZoneEveryWindowMinimapRedrawn,
    SmallMarkersAndList,
    SmallEveryWindow
};

struct Bench {
    Viewer viewer;
    LoadedZone zone;
    TerrainGrid small;
    TerrainGrid nothing;
};

// A square zone `n` points wide, a gentle slope from -10 m to +10 m.
TerrainGrid squareZone(int n) {
    TerrainGrid grid;
    grid.width = grid.height = n;
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            grid.points.push_back({float(c), -float(r), -10.0f + 20.0f * float(c) / float(n - 1), true});
    for (int r = 0; r + 1 < n; ++r)
        for (int c = 0; c + 1 < n; ++c) {
            const uint32_t a = r * n + c, b = a + 1, d = a + n, e = d + 1;
            grid.triangles.push_back({a, b, d});
            grid.triangles.push_back({b, e, d});
        }
    return grid;
}

Bench* bench = nullptr;

void setScene(Scene scene) {
    Viewer& v = bench->viewer;
    Quiet quiet;
    const bool small = scene == Scene::SmallMarkersAndList || scene == Scene::SmallEveryWindow;
    v.setTerrain(scene == Scene::Empty ? bench->nothing : small ? bench->small : bench->zone.grid);
    v.markers.clear();
    // The minimap from its kept picture, or drawn again each frame as a baseline.
    v.gl.minimap.enabled = scene != Scene::ZoneEveryWindowMinimapRedrawn;
    v.panels.helpOpen = v.panels.exaggerationWindowOpen = v.panels.exaggerationHelpShown = v.panels.settingsOpen =
        false;
    v.panels.legendVisible = v.panels.minimapVisible = scene != Scene::Empty && scene != Scene::ZoneTerrainOnly;
    if (scene == Scene::Empty || scene == Scene::ZoneTerrainOnly) return;
    // 100 markers spread over the zone, as the list and the labels show them.
    for (int i = 0; i < 100; ++i) {
        const float x = v.extents.minX + (v.extents.maxX - v.extents.minX) * static_cast<float>(i % 10 + 0.5f) / 10.0f;
        const float z = v.extents.minZ + (v.extents.maxZ - v.extents.minZ) * static_cast<float>(i / 10 + 0.5f) / 10.0f;
        v.markers.push_back({x, z, -5.0f + static_cast<float>(i % 7)});
    }
    // Every view window open hides the list and the labels, as it does for the user.
    if (scene == Scene::ZoneEveryWindow || scene == Scene::ZoneEveryWindowMinimapRedrawn ||
        scene == Scene::SmallEveryWindow)
        v.panels.helpOpen = v.panels.exaggerationWindowOpen = v.panels.exaggerationHelpShown = v.panels.settingsOpen =
            true;
}

void frame(benchmark::State& state, Scene scene) {
    setScene(scene);
    for (int i = 0; i < 3; ++i) bench->viewer.drawFrame(0.016f);  // windows size themselves first
    glFinish();
    for (auto _ : state) {
        bench->viewer.drawFrame(0.016f);
        glFinish();
    }
    glFinish();
    state.counters["triangles"] = static_cast<double>(bench->viewer.gl.mesh.indexCount / 3);
    state.counters["markers"] = static_cast<double>(bench->viewer.markers.size());
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::vector<std::string> tiles(argv + 1, argv + argc);
    if (tiles.empty()) {
        std::cerr << "Usage : view-frame-bench DALLE.asc..." << std::endl;
        return 2;
    }
    Bench b;
    bench = &b;
    b.viewer.dataRoot = ABYSTO_BINARY_DIR "/data";
    {
        Quiet quiet;
        if (!b.viewer.init()) return 1;
        b.zone = loadZone(tiles);
    }
    std::cerr << tiles.size() << " dalle(s), " << b.zone.grid.width << " x " << b.zone.grid.height << " points, "
              << b.zone.grid.triangles.size() << " triangles, fenêtre " << b.viewer.display.framebufferWidth << " x "
              << b.viewer.display.framebufferHeight << std::endl;

    b.small = squareZone(100);
    const std::pair<const char*, Scene> cases[] = {
        {"frame/empty", Scene::Empty},
        {"frame/zone_terrain_only", Scene::ZoneTerrainOnly},
        {"frame/zone_100_markers_list_legend_minimap", Scene::ZoneMarkersAndList},
        {"frame/zone_100_markers_every_window", Scene::ZoneEveryWindow},
        {"frame/zone_100_markers_every_window_minimap_redrawn", Scene::ZoneEveryWindowMinimapRedrawn},
        {"frame/small_zone_100_markers_list_legend_minimap", Scene::SmallMarkersAndList},
        {"frame/small_zone_100_markers_every_window", Scene::SmallEveryWindow},
    };
    for (const auto& [name, scene] : cases)
        benchmark::RegisterBenchmark(name, frame, scene)->UseRealTime()->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
