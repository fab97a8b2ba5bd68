#include "tools/devstack/request_counts.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <map>
#include <mutex>

namespace {

std::mutex countsMutex;
std::map<std::string, long> counts;

} // namespace

void countRequest(const std::string& name) {
    std::lock_guard<std::mutex> lock(countsMutex);
    ++counts[name];
}

void registerRequestCounts(httplib::Server& server) {
    server.Get("/__counts", [](const httplib::Request&, httplib::Response& res) {
        nlohmann::json body = nlohmann::json::object();
        {
            std::lock_guard<std::mutex> lock(countsMutex);
            for (const auto& [name, count] : counts) body[name] = count;
        }
        res.set_content(body.dump(), "application/json");
    });
}
