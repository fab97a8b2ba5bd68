#include "app/paths.h"

#include "platform/platform.h"

#include <filesystem>
#include <iostream>
#include <mutex>

namespace fs = std::filesystem;

namespace {

struct Paths {
    bool computed = false;
    bool migrated = false;
    fs::path root, tiles, cache, updates, legacy;
};

Paths& state() {
    static Paths p;
    return p;
}

std::mutex& pathsMutex() {
    static std::mutex m;
    return m;
}

fs::path rootPath() {
    ensurePaths();
    return state().root;
}

std::string inRoot(const char* name) { return (rootPath() / name).string(); }

bool isEmptyDir(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec) && fs::is_empty(p, ec);
}

void migrateFile(const fs::path& source, const fs::path& destination) {
    std::error_code ec;
    if (!fs::exists(source, ec) || fs::exists(destination, ec)) return;
    const std::string name = source.filename().string();
    fs::rename(source, destination, ec);
    if (!ec) {
        std::cout << "[chemins] " << name << " deplace" << std::endl;
        return;
    }
    ec.clear();
    fs::copy_file(source, destination, fs::copy_options::overwrite_existing, ec);
    if (!ec) {
        fs::remove(source, ec);
        std::cout << "[chemins] " << name << " copie" << std::endl;
        return;
    }
    std::cout << "[chemins] " << name << " non migre : " << ec.message() << std::endl;
}

// Returns true when the old tile folder was moved into place.
bool migrateTiles(const fs::path& legacyTiles) {
    std::error_code ec;
    if (!fs::exists(legacyTiles, ec) || isEmptyDir(legacyTiles)) return false;
    const fs::path& target = state().tiles;
    if (fs::exists(target, ec) && !isEmptyDir(target)) {
        std::cerr << "[chemins] des dalles subsistent dans " << legacyTiles.string()
                  << " ; elles ne sont plus lues. A supprimer a la main." << std::endl;
        return false;
    }
    fs::remove(target, ec);
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    ec.clear();
    fs::rename(legacyTiles, target, ec);
    if (ec) {
        std::cerr << "[chemins] dalles laissees dans " << legacyTiles.string()
                  << " (deplacement impossible : " << ec.message() << ")" << std::endl;
        return false;
    }
    std::cout << "[chemins] dalles deplacees vers " << target.string() << std::endl;
    return true;
}

} // namespace

void ensurePaths() {
    std::lock_guard lock(pathsMutex());
    Paths& p = state();
    if (p.computed) return;
    std::string base = platform::localAppDataDir();
    p.root = base.empty() ? fs::path() : fs::path(base) / "Abysto";
    p.tiles = p.root / "data" / "litto3d";
    p.cache = p.root / "cache";
    p.updates = p.root / "updates";
    p.computed = true;
}

std::string rootDir() { return rootPath().string(); }
std::string tilesDir() { ensurePaths(); return state().tiles.string(); }
std::string cacheDir() { ensurePaths(); return state().cache.string(); }
std::string updatesDir() { ensurePaths(); return state().updates.string(); }
std::string logsDir() { return inRoot("logs"); }
std::string legacyDir() { ensurePaths(); return state().legacy.string(); }
std::string sessionFile() { return inRoot("session.json"); }
std::string zoneHistoryFile() { return inRoot("zone_history.json"); }
std::string tipsDismissedFile() { return inRoot("tips_dismissed.txt"); }
std::string uiLayoutFile() { return inRoot("imgui.ini"); }
std::string settingsFile() { return inRoot("settings.json"); }

void migrateLegacyData(const std::string& exeDir) {
    ensurePaths();
    Paths& p = state();
    p.legacy = exeDir;

    std::error_code ec;
    for (const fs::path& dir : {p.root, p.cache, p.updates})
        if (!dir.empty()) fs::create_directories(dir, ec);

    if (p.migrated) return;
    p.migrated = true;

    const fs::path exe(exeDir);
    if (!migrateTiles(exe / "data" / "litto3d")) fs::create_directories(p.tiles, ec);

    const fs::path workingDir = fs::current_path(ec);
    for (const fs::path& candidate : {workingDir, exe, exe / "data"}) {
        for (const char* name : {"session.json", "zone_history.json", "tips_dismissed.txt"})
            migrateFile(candidate / name, p.root / name);
    }
    migrateFile(exe / "imgui.ini", p.root / "imgui.ini");

    // The old cache is not worth keeping: the catalogue is fetched again.
    fs::remove_all(exe / "cache", ec);
}

void resetPathsForTesting() {
    std::lock_guard lock(pathsMutex());
    state() = Paths{};
}
