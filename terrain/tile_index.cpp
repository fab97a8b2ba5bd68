#include "terrain/tile_info.h"

#include <filesystem>
#include <iostream>
#include <regex>

namespace fs = std::filesystem;

std::string tileKey(int gx, int gy) {
    return std::to_string(gx) + "_" + std::to_string(gy);
}

namespace {

const std::regex& tileNamePattern() {
    static const std::regex pattern("LITTO3D_[A-Z]+_(\\d{4})_(\\d{4})_MNT1M_");
    return pattern;
}

void scanFile(const fs::directory_entry& entry, std::vector<TileInfo>& tiles) {
    std::error_code statusError;
    if (!entry.is_regular_file(statusError) || entry.path().extension() != ".asc") return;

    const std::string name = entry.path().filename().string();
    if (name.size() < 5 || name.find("MNT1M") == std::string::npos) return;

    std::smatch match;
    if (!std::regex_search(name, match, tileNamePattern())) {
        std::cerr << "Impossible d'extraire les coordonnées de : " << name << std::endl;
        return;
    }
    TileInfo tile;
    tile.gx = std::stoi(match[1].str());
    tile.gy = std::stoi(match[2].str());
    tile.localPath = entry.path().string();
    tile.isLocal = true;
    tiles.push_back(std::move(tile));
}

// Depth first, in the order the folders list their entries, without following
// links to folders. A folder that cannot be read is named once and skipped:
// the tiles of its neighbours still count.
void scanFolder(const fs::path& folder, std::vector<TileInfo>& tiles) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        std::error_code statusError;
        if (entry.is_directory(statusError) && !entry.is_symlink(statusError))
            scanFolder(entry.path(), tiles);
        else
            scanFile(entry, tiles);
    }
    if (ec)
        std::cerr << "Dossier de dalles illisible, ignoré : " << folder.string() << " (" << ec.message() << ")"
                  << std::endl;
}

} // namespace

std::vector<TileInfo> scanLocalTiles(const std::string& tileDir) {
    std::vector<TileInfo> tiles;
    std::error_code ec;
    if (!fs::exists(tileDir, ec)) {
        std::cerr << "Le répertoire des données n'existe pas: " << tileDir << std::endl;
        return tiles;
    }
    scanFolder(tileDir, tiles);
    return tiles;
}
