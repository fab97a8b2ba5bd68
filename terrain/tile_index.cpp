#include "terrain/tile_info.h"

#include <filesystem>
#include <iostream>
#include <string_view>

namespace fs = std::filesystem;

std::string tileKey(int gx, int gy) {
    return std::to_string(gx) + "_" + std::to_string(gy);
}

// "LITTO3D_", capitals, "_dddd_dddd_MNT1M_" anywhere in the name. Scanned by
// hand: the standard regex engine recurses once per character matched and
// runs out of stack on a long name.
bool tileCoordinatesFromName(const std::string& name, int32_t& gx, int32_t& gy) {
    const std::string_view text(name);
    const auto digits = [&](size_t at, int32_t& value) {
        value = 0;
        for (size_t k = at; k < at + 4; ++k) {
            if (text[k] < '0' || text[k] > '9') return false;
            value = value * 10 + (text[k] - '0');
        }
        return true;
    };
    constexpr std::string_view prefix = "LITTO3D_";
    for (size_t at = text.find(prefix); at != std::string_view::npos; at = text.find(prefix, at + 1)) {
        size_t i = at + prefix.size();
        const size_t letters = i;
        while (i < text.size() && text[i] >= 'A' && text[i] <= 'Z') ++i;
        if (i == letters || text.size() - i < 17) continue;
        int32_t x = 0, y = 0;
        if (text[i] == '_' && digits(i + 1, x) && text[i + 5] == '_' && digits(i + 6, y) &&
            text.substr(i + 10, 7) == "_MNT1M_") {
            gx = x;
            gy = y;
            return true;
        }
    }
    return false;
}

namespace {

void scanFile(const fs::directory_entry& entry, std::vector<TileInfo>& tiles) {
    std::error_code statusError;
    if (!entry.is_regular_file(statusError) || entry.path().extension() != ".asc") return;

    const std::string name = entry.path().filename().string();
    if (name.size() < 5 || name.find("MNT1M") == std::string::npos) return;

    TileInfo tile;
    if (!tileCoordinatesFromName(name, tile.gx, tile.gy)) {
        std::cerr << "Impossible d'extraire les coordonnées de : " << name << std::endl;
        return;
    }
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
