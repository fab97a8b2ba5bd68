// The update server played locally:
//   GET /v1/update/<platform>      the signed manifest of --update-manifest when it is
//                                  for that platform, else 404
//   GET /v1/update/file/<name>     the installer of --update-file (its own file name),
//                                  with Range requests (206, 416)
// Options:
//   --update-manifest FILE   a manifest written by sign-update
//   --update-file FILE       the installer it offers
//   --update-rate BYTES      send the installer at about this many bytes per second
//   --update-fault NAME      misbehave on purpose:
//       ignore-range    answer every installer request with the whole file (200)
//       extra-bytes     send 64 KiB more than the installer holds
//       busy            429 for every update request
//       unavailable     503 for every update request
//       huge-manifest   pad the manifest to 300 KiB
//       tampered        change the offered version after signing
// Every request is logged as "UPDATE GET <path> [range <Range header>] -> <status>".
#include "tools/devstack/devstack.h"
#include "tools/devstack/request_counts.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <thread>

namespace {

struct UpdateFiles {
    std::string platform;
    std::string manifest;
    std::string fileName;
    std::string file;
    std::string fault;
    size_t rate = 0;
};

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void logRequest(const httplib::Request& req, int status) {
    std::string line = "UPDATE GET " + req.path;
    if (req.has_header("Range")) line += " range " + req.get_header_value("Range");
    std::cout << line << " -> " << status << std::endl;
}

// The manifest as the fault switches want it served.
std::string servedManifest(const UpdateFiles& files) {
    if (files.fault != "huge-manifest" && files.fault != "tampered") return files.manifest;
    nlohmann::ordered_json doc = nlohmann::ordered_json::parse(files.manifest, nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) return files.manifest;
    if (files.fault == "tampered") doc["version"] = doc.value("version", std::string()) + "9";
    if (files.fault == "huge-manifest") doc["padding"] = std::string(300 * 1024, ' ');
    return doc.dump(2);
}

bool answeredByFault(const UpdateFiles& files, const httplib::Request& req, httplib::Response& res) {
    if (files.fault != "busy" && files.fault != "unavailable") return false;
    res.status = files.fault == "busy" ? 429 : 503;
    res.set_content("{\"error\":\"indisponible (simule)\"}", "application/json");
    logRequest(req, res.status);
    return true;
}

} // namespace

void registerUpdateService(httplib::Server& server, const DevstackOptions& options) {
    auto files = std::make_shared<UpdateFiles>();
    files->fault = options.value("update-fault");
    files->rate = static_cast<size_t>(std::max(0L, std::atol(options.value("update-rate", "0").c_str())));
    const std::string manifestPath = options.value("update-manifest");
    if (!manifestPath.empty()) {
        files->manifest = readWhole(manifestPath);
        const auto doc = nlohmann::json::parse(files->manifest, nullptr, false);
        if (doc.is_object() && doc.contains("platform") && doc["platform"].is_string())
            files->platform = doc["platform"].get<std::string>();
        else
            std::cerr << "Manifeste de mise à jour illisible : " << manifestPath << std::endl;
    }
    const std::string filePath = options.value("update-file");
    if (!filePath.empty()) {
        files->fileName = std::filesystem::path(filePath).filename().string();
        files->file = readWhole(filePath);
        if (files->fault == "extra-bytes") files->file += std::string(64 * 1024, 'x');
    }

    server.Get(R"(/v1/update/file/([^/]+))", [files](const httplib::Request& req, httplib::Response& res) {
        countRequest("/v1/update/file");
        if (answeredByFault(*files, req, res)) return;
        if (files->fileName.empty() || req.matches[1] != files->fileName) {
            res.status = 404;
            logRequest(req, 404);
            return;
        }
        // Forgetting the parsed range makes the server answer 200 with everything.
        if (files->fault == "ignore-range") const_cast<httplib::Request&>(req).ranges.clear();
        const bool ranged = !req.ranges.empty();
        if (files->rate == 0) {
            res.set_content(files->file, "application/octet-stream");
        } else {
            res.set_content_provider(files->file.size(), "application/octet-stream",
                                     [files](size_t offset, size_t length, httplib::DataSink& sink) {
                                         const size_t chunk = std::max<size_t>(1, files->rate / 20);
                                         const size_t n = std::min(chunk, length);
                                         std::this_thread::sleep_for(std::chrono::milliseconds(50));
                                         return sink.write(files->file.data() + offset, n);
                                     });
        }
        res.set_header("Accept-Ranges", "bytes");
        logRequest(req, ranged ? 206 : 200);
    });

    server.Get(R"(/v1/update/([^/]+))", [files](const httplib::Request& req, httplib::Response& res) {
        countRequest("/v1/update");
        if (answeredByFault(*files, req, res)) return;
        if (files->manifest.empty() || req.matches[1] != files->platform) {
            res.status = 404;
            res.set_content("{\"error\":\"aucune mise a jour\"}", "application/json");
            logRequest(req, 404);
            return;
        }
        res.set_content(servedManifest(*files), "application/json");
        logRequest(req, 200);
    });
}
