#include "terrain/tile_info.h"

#include <filesystem>
#include <iostream>
#include <regex>

namespace fs = std::filesystem;

std::string tileKey(int gx, int gy) {
    return std::to_string(gx) + "_" + std::to_string(gy);
}

bool tileCoordinatesFromName(const std::string& name, int32_t& gx, int32_t& gy) {
    static const std::regex pattern("LITTO3D_[A-Z]+_(\\d{4})_(\\d{4})_MNT1M_");
    std::smatch match;
    if (!std::regex_search(name, match, pattern)) return false;
    gx = std::stoi(match[1].str());
    gy = std::stoi(match[2].str());
    return true;
}

std::vector<TileInfo> scanLocalTiles(const std::string& tileDir) {
    std::vector<TileInfo> tiles;
    std::error_code ec;
    if (!fs::exists(tileDir, ec)) {
        std::cerr << "Le répertoire des données n'existe pas: " << tileDir << std::endl;
        return tiles;
    }

    fs::recursive_directory_iterator it(tileDir, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        std::error_code statusError;
        if (!entry.is_regular_file(statusError) || entry.path().extension() != ".asc") continue;

        const std::string name = entry.path().filename().string();
        if (name.size() < 5 || name.find("MNT1M") == std::string::npos) continue;

        TileInfo tile;
        if (!tileCoordinatesFromName(name, tile.gx, tile.gy)) {
            std::cerr << "Impossible d'extraire les coordonnées de : " << name << std::endl;
            continue;
        }
        tile.localPath = entry.path().string();
        tile.isLocal = true;
        tiles.push_back(std::move(tile));
    }
    if (ec) {
        // Keep what was found; the rest of the folder could not be read.
        std::cerr << "Erreur de lecture du dossier des dalles (" << ec.message() << "), "
                  << tiles.size() << " dalle(s) retenue(s)." << std::endl;
    }
    return tiles;
}
