// Which tile server the program talks to: compiled default, then the
// "tileServer" key of config.json beside the executable, then the
// ABYSTO_TILE_SERVER environment variable.
#pragma once

#include <string>

inline constexpr const char* kDefaultTileServer = "https://dalles.abysto3d.fr";

struct AppConfig {
    std::string tileServer;
};

AppConfig loadConfig(const std::string& exeDir);
