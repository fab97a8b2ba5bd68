#include "tools/devstack/accounts.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdio>
#include <fstream>

namespace {

uint64_t fnv1a(const std::string& text, uint64_t hash) {
    for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

std::optional<std::string> optionalText(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || found->is_null()) return std::nullopt;
    return found->get<std::string>();
}

} // namespace

std::string standInUserId(const std::string& email) {
    const uint64_t high = fnv1a(email, 14695981039346656037ull);
    const uint64_t low = fnv1a(email, high);
    char text[40];
    std::snprintf(text, sizeof text, "%08x-%04x-4%03x-8%03x-%012llx", unsigned(high >> 32), unsigned(high >> 16 & 0xFFFF),
                  unsigned(high & 0xFFF), unsigned(low >> 48 & 0xFFF), (unsigned long long)(low & 0xFFFFFFFFFFFFull));
    return text;
}

bool loadStandInAccounts(const DevstackOptions& options, std::vector<StandInAccount>& accounts, std::string& error) {
    accounts.clear();
    const std::string single = options.value("account");
    const size_t colon = single.find(':');
    if (colon != std::string::npos) {
        StandInAccount account;
        account.email = single.substr(0, colon);
        account.password = single.substr(colon + 1);
        account.id = standInUserId(account.email);
        account.username = account.profile = account.email.substr(0, account.email.find('@'));
        accounts.push_back(account);
    }

    const std::string file = options.value("accounts");
    if (file.empty()) return true;
    try {
        std::ifstream in(file, std::ios::binary);
        if (!in) throw std::runtime_error("ouverture impossible");
        const nlohmann::json list = nlohmann::json::parse(in);
        if (!list.is_array()) throw std::runtime_error("une liste JSON est attendue");
        for (const nlohmann::json& entry : list) {
            StandInAccount account;
            account.email = entry.at("email").get<std::string>();
            account.password = entry.at("password").get<std::string>();
            account.id = entry.contains("id") ? entry.at("id").get<std::string>() : standInUserId(account.email);
            account.username = optionalText(entry, "username");
            account.profile = optionalText(entry, "profile");
            account.blocked = entry.value("blocked", false);
            accounts.push_back(account);
        }
    } catch (const std::exception& e) {
        error = "Fichier de comptes illisible (" + file + ") : " + e.what();
        return false;
    }
    return true;
}
