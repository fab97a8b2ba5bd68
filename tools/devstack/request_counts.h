// How many requests the stand-in received, by name (a path, with the query
// part that tells requests apart where it matters). Tests read them with
// GET /__counts, a JSON object {"name": count, ...}.
#pragma once

#include <string>

namespace httplib {
class Server;
}

void countRequest(const std::string& name);
void registerRequestCounts(httplib::Server& server);
