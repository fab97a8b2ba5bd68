// The product's tile server played locally:
//   GET /v1/catalog                    the JSON catalogue, strong ETag, 304 on
//                                      If-None-Match, gzip when asked
//   GET /v1/tile/mnt1m/<gx>/<gy>       the tile's bytes with x-tile-sha256
//                                      (upper-case hexadecimal) and x-tile-size
// Bearer tokens are the account stand-in's JWTs, checked for signature and
// expiry: none (tiles) or an invalid or expired one → 401, a blocked account →
// 403. The catalogue may be asked for without a token.
// Options: --catalog-tiles, --tile-cells, --tile-seed (tools/devstack/tile_store.h),
// --jwt-secret, --accounts / --account (the blocked accounts). Faults:
// tools/devstack/tile_faults.h. Requests are counted per path (GET /__counts)
// and logged as "TILES GET <path> -> <status>".
#include "tools/devstack/accounts.h"
#include "tools/devstack/devstack.h"
#include "tools/devstack/jwt.h"
#include "tools/devstack/request_counts.h"
#include "tools/devstack/tile_faults.h"
#include "tools/devstack/tile_store.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <iostream>
#include <memory>
#include <thread>

namespace {

struct TileServiceState {
    std::string jwtSecret;
    std::vector<StandInAccount> accounts;
    std::string rectangle;
    int cells = 1000;
    uint32_t seed = 1;
    TileFaults faults;

    // Made at the first request that needs them, so stand-ins started for other
    // services pay nothing; concurrent first requests wait for the same store.
    std::shared_ptr<const TileStore> store() {
        std::call_once(made, [this] { tiles = buildTileStore(rectangle, cells, seed); });
        return tiles;
    }

private:
    std::once_flag made;
    std::shared_ptr<const TileStore> tiles;
};

constexpr size_t kSlowChunk = 1024;
constexpr auto kSlowPause = std::chrono::milliseconds(100);
constexpr auto kStallTime = std::chrono::seconds(30);
constexpr size_t kOversizeLimit = size_t(1) << 30;  // even an endless body ends somewhere

void sendText(httplib::Response& res, int status, const std::string& text) {
    res.status = status;
    res.set_content(text, "text/plain; charset=utf-8");
}

// 0 when the request may go on, else the status of the refusal.
int bearerRefusal(TileServiceState& state, const httplib::Request& req, bool required) {
    const std::string header = req.get_header_value("Authorization");
    if (header.empty()) return required ? 401 : 0;
    if (header.rfind("Bearer ", 0) != 0) return 401;
    const std::string token = header.substr(7);
    nlohmann::json claims;
    if (!verifyJwt(token, state.jwtSecret, claims)) return 401;
    if (!claims.contains("exp") || !claims["exp"].is_number() || claims["exp"].get<long>() <= std::time(nullptr))
        return 401;
    if (state.faults.rejectsToken(token)) return 401;
    const std::string subject = claims.value("sub", std::string());
    for (const StandInAccount& account : state.accounts)
        if (account.id == subject && account.blocked) return 403;
    return 0;
}

void serveCatalogue(TileServiceState& state, const httplib::Request& req, httplib::Response& res) {
    if (const int refused = bearerRefusal(state, req, false)) return sendText(res, refused, "token refused");
    const std::shared_ptr<const TileStore> store = state.store();
    const std::string fault = state.faults.take("catalog");
    if (!fault.empty() && std::isdigit(static_cast<unsigned char>(fault[0])))
        return sendText(res, std::atoi(fault.c_str()), "catalog fault " + fault);
    if (fault == "garbage") return sendText(res, 200, "<html>maintenance</html>");
    if (fault == "oversize") {
        // Sent as it is: compressed, an endless body would cost the stand-in more than the client.
        res.set_chunked_content_provider("application/octet-stream", [](size_t offset, httplib::DataSink& sink) {
            const std::string block(64 * 1024, ' ');
            if (offset >= kOversizeLimit || !sink.write(block.data(), block.size())) return false;
            return true;
        });
        return;
    }
    std::string body = store->catalogue;
    std::string etag = store->etag;
    if (fault == "hostile") {
        nlohmann::json doc = nlohmann::json::parse(body);
        // Each would place its file outside the tile folder; the template
        // starting with the region lets one make an absolute path.
        doc["pathTemplate"] = "{region}/{gx}_{gy}_{date}.asc";
        const std::vector<std::pair<std::string, std::string>> escapes = {
            {"d", "../../../evade"}, {"r", "/tmp/evade"}, {"d", "a\\b"}, {"d", "C:"}, {"d", std::string("nul\0x", 5)}};
        for (const auto& [key, value] : escapes)
            doc["tiles"].push_back({{"x", 9001}, {"y", 9001}, {key, value}, {"s", 4}});
        body = doc.dump();
        etag = "\"hostile\"";
    }
    res.set_header("ETag", etag);
    if (req.get_header_value("If-None-Match") == etag) {
        res.status = 304;
        return;
    }
    res.set_content(body, "application/json");
}

void serveTile(TileServiceState& state, const httplib::Request& req, httplib::Response& res) {
    if (const int refused = bearerRefusal(state, req, true)) return sendText(res, refused, "token refused");
    const std::shared_ptr<const TileStore> store = state.store();
    const int gx = std::atoi(req.matches[1].str().c_str()), gy = std::atoi(req.matches[2].str().c_str());
    const StoredTile* tile = store->find(gx, gy);
    if (!tile) return sendText(res, 404, "no such tile");
    const std::string fault = state.faults.take(std::to_string(gx) + "_" + std::to_string(gy));
    if (!fault.empty() && std::isdigit(static_cast<unsigned char>(fault[0])))
        return sendText(res, std::atoi(fault.c_str()), "tile fault " + fault);
    if (fault == "redirect") {
        res.status = 302;
        res.set_header("Location", "http://127.0.0.1:9/elsewhere.asc");
        return;
    }

    std::string digest = tile->sha256;
    for (char& c : digest) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (fault == "wrong-digest") digest = std::string(64, 'A');
    res.set_header("X-Tile-Sha256", digest);
    res.set_header("X-Tile-Size", std::to_string(tile->bytes.size()));

    // The store lives as long as the service; providers may keep pointers into it.
    const std::string* bytes = &tile->bytes;
    const size_t size = bytes->size();
    const auto keep = store;
    if (fault == "extra-byte") {
        res.set_content(*bytes + "\n", "application/octet-stream");
    } else if (fault == "other-bytes") {
        std::string changed = *bytes;
        changed[size / 2] = changed[size / 2] == '1' ? '2' : '1';
        res.set_content(changed, "application/octet-stream");
    } else if (fault == "drop" || fault == "stall") {
        const bool stall = fault == "stall";
        res.set_content_provider(size, "application/octet-stream",
                                 [bytes, size, stall, keep](size_t offset, size_t length, httplib::DataSink& sink) {
                                     const size_t half = size / 2;
                                     if (offset < half) return sink.write(bytes->data() + offset, std::min(length, half - offset));
                                     if (stall) {
                                         const auto until = std::chrono::steady_clock::now() + kStallTime;
                                         while (std::chrono::steady_clock::now() < until && sink.is_writable())
                                             std::this_thread::sleep_for(kSlowPause);
                                     }
                                     return false;  // the connection is closed mid-body
                                 });
    } else if (fault == "slow") {
        res.set_content_provider(size, "application/octet-stream",
                                 [bytes, keep](size_t offset, size_t length, httplib::DataSink& sink) {
                                     std::this_thread::sleep_for(kSlowPause);
                                     return sink.write(bytes->data() + offset, std::min(length, kSlowChunk));
                                 });
    } else if (fault == "oversize") {
        res.set_chunked_content_provider("application/octet-stream",
                                         [bytes, keep](size_t offset, httplib::DataSink& sink) {
                                             if (offset >= kOversizeLimit) return false;
                                             return sink.write(bytes->data(), bytes->size());
                                         });
    } else {
        res.set_content(*bytes, "application/octet-stream");
    }
}

template <typename Handler>
httplib::Server::Handler logged(const std::shared_ptr<TileServiceState>& state, Handler handler) {
    return [state, handler](const httplib::Request& req, httplib::Response& res) {
        countRequest(req.path);
        handler(*state, req, res);
        std::cout << "TILES " << req.method << " " << req.path << " -> " << res.status << std::endl;
    };
}

} // namespace

void registerTileService(httplib::Server& server, const DevstackOptions& options) {
    auto state = std::make_shared<TileServiceState>();
    state->jwtSecret = options.value("jwt-secret", kDefaultJwtSecret);
    std::string error;
    if (!loadStandInAccounts(options, state->accounts, error)) std::cerr << error << std::endl;
    state->rectangle = options.value("catalog-tiles", "144,6838,4,4");
    state->cells = std::atoi(options.value("tile-cells", "1000").c_str());
    state->seed = static_cast<uint32_t>(std::strtoul(options.value("tile-seed", "1").c_str(), nullptr, 10));

    server.Get("/v1/catalog", logged(state, serveCatalogue));
    server.Get(R"(/v1/tile/mnt1m/(\d{1,9})/(\d{1,9}))", logged(state, serveTile));
    server.Post("/__tile-faults", [state](const httplib::Request& req, httplib::Response& res) {
        std::string why;
        if (state->faults.configure(req.body, why))
            sendText(res, 200, "ok");
        else
            sendText(res, 400, why);
    });
}
