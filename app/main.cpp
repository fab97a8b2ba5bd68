// Entry point: shared set-up, start-up steps, then the program's outer loop.
#include "app/command_line.h"
#include "app/config.h"
#include "app/load_zone.h"
#include "app/log.h"
#include "app/paths.h"
#include "app/settings.h"
#include "app/version.h"
#include "platform/platform.h"
#include "terrain/tile_info.h"

#include <cpl_conv.h>
#include <curl/curl.h>
#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    CommandLine options;
    std::string optionError;
    if (!parseCommandLine(argc, argv, options, optionError)) {
        std::cerr << optionError << std::endl;
        return 2;
    }

    platform::useUtf8Console();
    curl_global_init(CURL_GLOBAL_ALL);

    const std::string exeDir = platform::executableDir();
    migrateLegacyData(exeDir);
    const std::string tileDirectory = tilesDir();

    openLog(kAppVersion);

    // Only point PROJ at a bundled database: otherwise GDAL keeps its own search path.
    const std::string projData = exeDir + "/proj_data";
    std::error_code ec;
    if (std::filesystem::is_directory(projData, ec)) CPLSetConfigOption("PROJ_DATA", projData.c_str());

    std::cout << "Bienvenue dans Abysto 3D, l'explorateur du littoral de l'équipe Abysto." << std::endl;

    [[maybe_unused]] const AppConfig config = loadConfig(exeDir);
    loadSettings();

    std::vector<TileInfo> tiles = scanLocalTiles(tileDirectory);
    if (tiles.empty()) std::cout << "Aucune dalle pour l'instant (connexion requise ?)." << std::endl;
    std::cout << tiles.size() << " dalle(s) disponible(s) au total." << std::endl;

    // Tiles named on the command line stand in for the zone selector's
    // choice. Until the view exists, the cycle ends once the grid is built.
    if (!options.openFiles.empty()) {
        LoadedZone zone = loadZone(options.openFiles);
    }

    curl_global_cleanup();
    closeLog();
    return 0;
}
