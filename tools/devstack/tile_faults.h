// Fault switches of the tile stand-in, set by tests with
//   POST /__tile-faults {"kind": K, "target": T, "count": N, "token": "..."}
//     target  "gx_gy" of one tile, "catalog", or "*" (every tile; default)
//     count   how many requests it spoils (default: all of them)
//   POST /__tile-faults {"random": {"seed": S, "rate": R, "kinds": [K, ...]}}
//     each tile request spoilt with probability R by one of the kinds
//   POST /__tile-faults {"clear": true}
// Kinds for tiles: "404", "429", "500", "503", "401", "drop" (connection closed
// mid-body), "extra-byte" (one byte beyond the size), "other-bytes" (same size,
// one byte changed), "slow" (1 KiB every 100 ms), "stall" (half the body, then
// nothing for 30 s), "redirect" (302 elsewhere), "oversize" (an endless body
// under the true size headers), "wrong-digest" (a false x-tile-sha256),
// "reject-token" (401 for requests bearing "token").
// For the catalogue: the statuses, "garbage" (not JSON), "oversize",
// "hostile" (extra entries whose paths would leave the tile folder).
#pragma once

#include <mutex>
#include <random>
#include <string>
#include <vector>

class TileFaults {
public:
    // The body of a POST; false with a reason for a body it cannot take.
    bool configure(const std::string& body, std::string& error);
    // The fault spoiling this request to `target`, "" for none; counts it.
    std::string take(const std::string& target);
    bool rejectsToken(const std::string& token);

private:
    struct Switch {
        std::string kind, target, token;
        long remaining = -1;  // -1: every request
    };
    std::mutex mutex;
    std::vector<Switch> switches;
    bool randomOn = false;
    double randomRate = 0;
    std::vector<std::string> randomKinds;
    std::mt19937 random;
};
