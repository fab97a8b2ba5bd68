#include "app/settings.h"

#include "app/paths.h"
#include "platform/platform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <mutex>
#include <nlohmann/json.hpp>
#include <random>

namespace fs = std::filesystem;

namespace {

struct Settings {
    std::string installId;
    std::string ignoredUpdateVersion;
    int64_t updateSnoozedUntil = 0;
    bool settingsLoaded = false;
};

std::mutex settingsMutex;
Settings settings;

int64_t nowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch()).count();
}

std::string newInstallId() {
    std::random_device device;
    const uint64_t high = static_cast<uint64_t>(static_cast<uint32_t>(device())) << 32;
    const uint64_t low = static_cast<uint32_t>(device());
    std::mt19937_64 engine(high ^ low ^ static_cast<uint64_t>(nowSeconds()));
    const unsigned long long a = engine();
    const unsigned long long b = engine();
    char text[33];
    std::snprintf(text, sizeof text, "%016llx%016llx", b, a);
    return text;
}

// "updateSnoozedUntil" must be a whole number within 64 bits: nlohmann would
// cut a fraction off, wrap a larger unsigned value, and leave a float beyond
// the range undefined.
int64_t snoozeTimeOf(const nlohmann::json& doc) {
    const auto it = doc.find("updateSnoozedUntil");
    if (it == doc.end()) return 0;
    if (!it->is_number_integer() ||
        (it->is_number_unsigned() && it->get<uint64_t>() > uint64_t(std::numeric_limits<int64_t>::max())))
        throw std::runtime_error("updateSnoozedUntil n'est pas un entier sur 64 bits");
    return it->get<int64_t>();
}
void writeSettingsFile();

void ensureLoaded() {
    bool loaded;
    {
        std::lock_guard lock(settingsMutex);
        loaded = settings.settingsLoaded;
    }
    if (!loaded) loadSettings();
}

} // namespace

void loadSettings() {
    std::unique_lock lock(settingsMutex);
    if (settings.settingsLoaded) return;
    settings.settingsLoaded = true;

    const fs::path path = settingsFile();
    std::error_code ec;
    if (fs::exists(path, ec) && !ec) {
        try {
            std::ifstream in(path, std::ios::binary);
            if (!in) throw std::runtime_error("ouverture impossible");
            const nlohmann::json doc = nlohmann::json::parse(in);
            settings.installId = doc.value("installId", std::string());
            settings.ignoredUpdateVersion = doc.value("ignoredUpdateVersion", std::string());
            settings.updateSnoozedUntil = snoozeTimeOf(doc);
        } catch (const std::exception& e) {
            std::cerr << "[settings] fichier illisible, valeurs par defaut (" << e.what() << ")" << std::endl;
            settings.installId.clear();
            settings.ignoredUpdateVersion.clear();
            settings.updateSnoozedUntil = 0;
        }
    }

    if (settings.installId.size() != 32) {
        settings.installId = newInstallId();
        lock.unlock();
        writeSettingsFile();
    }
}

// Loads first: a save before any load would write an empty installation id
// over the one on disk.
void saveSettings() {
    ensureLoaded();
    writeSettingsFile();
}

namespace {

void writeSettingsFile() {
    nlohmann::json doc;
    {
        std::lock_guard lock(settingsMutex);
        // nlohmann::json keeps object keys sorted, as the file format asks.
        doc["ignoredUpdateVersion"] = settings.ignoredUpdateVersion;
        doc["installId"] = settings.installId;
        doc["updateSnoozedUntil"] = settings.updateSnoozedUntil;
    }

    const fs::path dir = rootDir();
    std::error_code ec;
    if (!dir.empty()) fs::create_directories(dir, ec);
    const std::string finalPath = settingsFile();
    const std::string tempPath = finalPath + ".tmp";

    std::ofstream out(tempPath, std::ios::binary | std::ios::trunc);
    if (!out) {
        std::cerr << "[settings] enregistrement impossible" << std::endl;
        return;
    }
    out << doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    out.flush();
    if (!out.good()) {
        std::cerr << "[settings] ecriture incomplete" << std::endl;
        return;
    }
    out.close();

    // Renaming over the old file keeps it intact until the new one is complete.
    std::string error;
    if (!platform::replaceFile(tempPath, finalPath, error))
        std::cerr << "[settings] " << error << std::endl;
}

} // namespace

std::string getInstallId() {
    ensureLoaded();
    std::lock_guard lock(settingsMutex);
    return settings.installId;
}

std::string getIgnoredUpdateVersion() {
    ensureLoaded();
    std::lock_guard lock(settingsMutex);
    return settings.ignoredUpdateVersion;
}

void setIgnoredUpdateVersion(const std::string& version) {
    ensureLoaded();
    {
        std::lock_guard lock(settingsMutex);
        settings.ignoredUpdateVersion = version;
    }
    saveSettings();
}

int64_t getUpdateSnoozedUntil() {
    ensureLoaded();
    std::lock_guard lock(settingsMutex);
    return settings.updateSnoozedUntil;
}

void snoozeUpdatesForDays(int days) {
    ensureLoaded();
    {
        std::lock_guard lock(settingsMutex);
        settings.updateSnoozedUntil = nowSeconds() + static_cast<int64_t>(std::max(days, 0)) * 86400;
    }
    saveSettings();
}

void clearUpdatePreferences() {
    ensureLoaded();
    {
        std::lock_guard lock(settingsMutex);
        settings.ignoredUpdateVersion.clear();
        settings.updateSnoozedUntil = 0;
    }
    saveSettings();
}

void resetSettingsForTesting() {
    std::lock_guard lock(settingsMutex);
    settings = Settings{};
}
