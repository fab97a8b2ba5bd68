// abysto-devstack [--port N] [--tiles DIR] [--tls-cert FILE --tls-key FILE] [--NAME VALUE ...]
// Binds 127.0.0.1 (port 0 = any free port) and prints "port N" first. With a
// certificate and its key it speaks HTTPS instead of HTTP. Other pairs are
// options of the services.
#include "tools/devstack/devstack.h"
#include "tools/devstack/request_counts.h"

#include <httplib.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    int port = 0;
    DevstackOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0 || arg.size() < 3 || i + 1 >= argc) {
            std::cerr << "usage : abysto-devstack [--port N] [--tiles DOSSIER] [--OPTION VALEUR ...]" << std::endl;
            return 2;
        }
        const std::string value = argv[++i];
        if (arg == "--port") {
            port = std::atoi(value.c_str());
        } else if (arg == "--tiles") {
            options.tilesDir = value;
        } else {
            options.values[arg.substr(2)] = value;
        }
    }

    std::unique_ptr<httplib::Server> server;
    const std::string cert = options.value("tls-cert"), key = options.value("tls-key");
    if (!cert.empty() || !key.empty()) {
        auto secure = std::make_unique<httplib::SSLServer>(cert.c_str(), key.c_str());
        if (!secure->is_valid()) {
            std::cerr << "Certificat ou clé TLS illisible : " << cert << " / " << key << std::endl;
            return 1;
        }
        server = std::move(secure);
    } else {
        server = std::make_unique<httplib::Server>();
    }
    registerWmsService(*server, options);
    registerTideService(*server, options);
    registerAuthService(*server, options);
    registerTileService(*server, options);
    registerUpdateService(*server, options);
    registerGeocodingService(*server, options);
    registerRequestCounts(*server);

    const int bound = port == 0 ? server->bind_to_any_port("127.0.0.1")
                                : (server->bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0) {
        std::cerr << "Impossible d'ouvrir le port " << port << " sur 127.0.0.1" << std::endl;
        return 1;
    }
    std::cout << "port " << bound << std::endl;
    return server->listen_after_bind() ? 0 : 1;
}
