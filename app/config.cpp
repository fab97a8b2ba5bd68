#include "app/config.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>

namespace fs = std::filesystem;

AppConfig loadConfig(const std::string& exeDir) {
    AppConfig config{kDefaultTileServer};
    std::string label = "valeur compilee";

    const fs::path file = fs::path(exeDir) / "config.json";
    std::error_code ec;
    const bool present = fs::exists(file, ec);
    if (ec) {
        std::cerr << "config.json illisible (" << ec.message() << "), valeur par defaut utilisee." << std::endl;
    } else if (present) {
        try {
            std::ifstream in(file, std::ios::binary);
            if (!in) throw std::runtime_error("ouverture impossible");
            const nlohmann::json doc = nlohmann::json::parse(in);
            if (!doc.is_object()) throw std::runtime_error("un objet JSON est attendu");
            const std::string value = doc.value("tileServer", std::string());
            if (!value.empty()) {
                config.tileServer = value;
                label = "config.json";
            }
        } catch (const std::exception& e) {
            std::cerr << "config.json illisible (" << e.what() << "), valeur par defaut utilisee." << std::endl;
        }
    }

    const char* env = std::getenv("ABYSTO_TILE_SERVER");
    if (env && *env) {
        config.tileServer = env;
        label = "ABYSTO_TILE_SERVER";
    }

    std::cout << "Serveur de dalles : " << config.tileServer << "  [" << label << "]" << std::endl;
    return config;
}
