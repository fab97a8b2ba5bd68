// The local stand-in for the web services the program talks to: one HTTP
// server on 127.0.0.1 for tests and the demo, never the internet.
#pragma once

#include <string>

namespace httplib {
class Server;
}

struct DevstackOptions {
    std::string tilesDir;  // terrain tiles the WMS images are drawn from
};

// Each service adds its routes to the server.
void registerWmsService(httplib::Server& server, const DevstackOptions& options);
void registerTideService(httplib::Server& server, const DevstackOptions& options);
