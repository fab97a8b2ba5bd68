// abysto-devstack [--port N] [--tiles DIR]
// Binds 127.0.0.1 (port 0 = any free port) and prints "port N" first.
#include "tools/devstack/devstack.h"

#include <httplib.h>

#include <cstdlib>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    int port = 0;
    DevstackOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--port" && i + 1 < argc) {
            port = std::atoi(argv[++i]);
        } else if (arg == "--tiles" && i + 1 < argc) {
            options.tilesDir = argv[++i];
        } else {
            std::cerr << "usage : abysto-devstack [--port N] [--tiles DOSSIER]" << std::endl;
            return 2;
        }
    }

    httplib::Server server;
    registerWmsService(server, options);
    registerTideService(server, options);

    const int bound = port == 0 ? server.bind_to_any_port("127.0.0.1") : (server.bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0) {
        std::cerr << "Impossible d'ouvrir le port " << port << " sur 127.0.0.1" << std::endl;
        return 1;
    }
    std::cout << "port " << bound << std::endl;
    return server.listen_after_bind() ? 0 : 1;
}
