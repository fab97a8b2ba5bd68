#include "tools/devstack/tile_faults.h"

#include <nlohmann/json.hpp>

bool TileFaults::configure(const std::string& body, std::string& error) {
    try {
        const nlohmann::json doc = nlohmann::json::parse(body);
        std::lock_guard<std::mutex> lock(mutex);
        if (doc.value("clear", false)) {
            switches.clear();
            randomOn = false;
            return true;
        }
        if (doc.contains("random")) {
            const nlohmann::json& r = doc.at("random");
            random.seed(r.value("seed", 1u));
            randomRate = r.value("rate", 0.0);
            randomKinds = r.at("kinds").get<std::vector<std::string>>();
            randomOn = !randomKinds.empty();
            return true;
        }
        Switch s;
        s.kind = doc.at("kind").get<std::string>();
        s.target = doc.value("target", std::string("*"));
        s.remaining = doc.value("count", -1L);
        s.token = doc.value("token", std::string());
        switches.push_back(s);
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

std::string TileFaults::take(const std::string& target) {
    std::lock_guard<std::mutex> lock(mutex);
    for (Switch& s : switches) {
        if (s.kind == "reject-token" || s.remaining == 0) continue;
        if (s.target != target && !(s.target == "*" && target != "catalog")) continue;
        if (s.remaining > 0) --s.remaining;
        return s.kind;
    }
    if (randomOn && target != "catalog" && std::uniform_real_distribution<double>(0, 1)(random) < randomRate)
        return randomKinds[std::uniform_int_distribution<size_t>(0, randomKinds.size() - 1)(random)];
    return {};
}

bool TileFaults::rejectsToken(const std::string& token) {
    std::lock_guard<std::mutex> lock(mutex);
    for (const Switch& s : switches)
        if (s.kind == "reject-token" && s.token == token) return true;
    return false;
}
