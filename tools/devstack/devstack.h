// The local stand-in for the web services the program talks to: one HTTP
// server on 127.0.0.1 for tests and the demo, never the internet.
#pragma once

#include <map>
#include <string>

namespace httplib {
class Server;
}

struct DevstackOptions {
    std::string tilesDir;  // terrain tiles the WMS images are drawn from
    // Every other "--name value" pair of the command line, by name without
    // the dashes; each service reads its own.
    std::map<std::string, std::string> values;

    std::string value(const std::string& name, const std::string& fallback = {}) const {
        const auto found = values.find(name);
        return found == values.end() ? fallback : found->second;
    }
};

// Each service adds its routes to the server.
void registerWmsService(httplib::Server& server, const DevstackOptions& options);
void registerTideService(httplib::Server& server, const DevstackOptions& options);
void registerAuthService(httplib::Server& server, const DevstackOptions& options);
void registerTileService(httplib::Server& server, const DevstackOptions& options);
void registerUpdateService(httplib::Server& server, const DevstackOptions& options);
// Place search; "--ram FILE" names the RAM table its places come from.
void registerGeocodingService(httplib::Server& server, const DevstackOptions& options);
