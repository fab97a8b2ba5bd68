// Entry point: shared set-up, start-up steps with the splash, then the
// program's outer loop (choose tiles, load them, show them).
#include "account/backend_config.h"
#include "account/session_file.h"
#include "app/catalogue_step.h"
#include "app/command_line.h"
#include "app/config.h"
#include "app/log.h"
#include "app/paths.h"
#include "app/settings.h"
#include "app/splash.h"
#include "app/zone_view.h"
#include "app/version.h"
#include "platform/platform.h"
#include "terrain/tile_info.h"
#include "tides/ram_table.h"
#include "tiles/tile_server.h"
#include "update/update_client.h"
#include "update/update_state.h"
#include "viewer/viewer.h"
#include "zones/zone_selector.h"

#include <cpl_conv.h>
#include <curl/curl.h>
#include <filesystem>
#include <iostream>

namespace {

// Merges, meshes and shows one zone. True when the user asked to go back to
// the zone menu, false when the window is closing.
bool showZone(Viewer& viewer, const std::vector<std::string>& paths) {
    prepareZoneView(viewer, paths,
                    [&](const char* message, float fraction) { showSplash(viewer.window, message, fraction); });
    return viewer.run();
}

int runProgram(const CommandLine& options) {
    const std::string exeDir = platform::executableDir();
    migrateLegacyData(exeDir);
    const std::string tileDirectory = tilesDir();

    openLog(kAppVersion);

    // Only point PROJ at a bundled database: otherwise GDAL keeps its own search path.
    const std::string projData = exeDir + "/proj_data";
    std::error_code ec;
    if (std::filesystem::is_directory(projData, ec)) CPLSetConfigOption("PROJ_DATA", projData.c_str());

    std::cout << "Bienvenue dans Abysto 3D, l'explorateur du littoral de l'équipe Abysto." << std::endl;

    const AppConfig config = loadConfig(exeDir);
    configureTileServer(config.tileServer, cacheDir());
    configureUpdateClient(updateServerUrl(config.tileServer), updatesDir());
    reportDevelopmentUpdateKey();
    loadSettings();

    Viewer viewer;
    viewer.dataRoot = exeDir + "/data";
    viewer.uiLayoutPath = uiLayoutFile();
    viewer.versionText = std::string("Abysto 3D ") + kAppVersion;
    if (!viewer.init()) return -1;
    auto splash = [&](const char* message, float fraction) { showSplash(viewer.window, message, fraction); };

    splash("Restauration de la session...", 0.85f);
    restoreSession(sessionFile());
    splash("Analyse des dalles locales...", -1.0f);
    std::vector<TileInfo> tiles = scanLocalTiles(tileDirectory);
    synchroniseCatalogueAtStartup(tiles, splash);
    if (tiles.empty()) std::cout << "Aucune dalle pour l'instant (connexion requise ?)." << std::endl;

    splash("Chargement des références altimétriques...", 0.6f);
    loadRamAtStartup(ramFilePath(exeDir), viewer.tides.ramSites);

    splash("Préparation de l'interface...", 0.8f);
    std::cout << tiles.size() << " dalle(s) disponible(s) au total." << std::endl;
    splash("Lancement...", 1.0f);
    startUpdateCheck(kAppVersion, kPlatformTag);

    bool firstCycle = true;
    for (;;) {
        for (TileInfo& tile : tiles) tile.selected = false;
        // Tiles named on the command line are shown first, without the start screen.
        const std::vector<std::string> paths = firstCycle && !options.openFiles.empty()
                                                   ? options.openFiles
                                                   : ZoneSelector::run(viewer.window, tiles, tileDirectory);
        firstCycle = false;
        if (paths.empty()) {
            std::cout << "Aucune dalle sélectionnée, fermeture." << std::endl;
            break;
        }
        if (!showZone(viewer, paths)) break;
    }
    stopUpdates();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    CommandLine options;
    std::string optionError;
    if (!parseCommandLine(argc, argv, options, optionError)) {
        std::cerr << optionError << std::endl;
        return 2;
    }

    platform::useUtf8Console();
    curl_global_init(CURL_GLOBAL_ALL);
    configureBackend(authBackendUrl(), authAnonKey());
    const int code = runProgram(options);
    // A failed window start leaves libcurl as it is: the process ends anyway.
    if (code == 0) curl_global_cleanup();
    closeLog();
    return code;
}
