#include "update/update_version.h"

#include "tiles/file_digest.h"

#include <cstdlib>

namespace {

constexpr int32_t kMaxVersionNumber = 1000000;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// Digits at `pos`, at least one, their value within the limit.
bool readNumber(const std::string& text, size_t& pos, int32_t& out) {
    const size_t start = pos;
    int64_t value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        if (value > kMaxVersionNumber) return false;
        ++pos;
    }
    out = static_cast<int32_t>(value);
    return pos > start;
}

} // namespace

ParsedVersion parseVersion(const std::string& raw) {
    ParsedVersion version;
    size_t first = 0, last = raw.size();
    while (first < last && isSpace(raw[first])) ++first;
    while (last > first && isSpace(raw[last - 1])) --last;
    const std::string text = raw.substr(first, last - first);
    if (text.empty()) return version;

    size_t pos = 0;
    if (text[pos] == 'v' || text[pos] == 'V') ++pos;
    if (!readNumber(text, pos, version.major)) return version;
    for (int32_t* part : {&version.minor, &version.patch}) {
        if (pos < text.size() && text[pos] == '.') {
            ++pos;
            if (!readNumber(text, pos, *part)) return version;
        }
    }
    const size_t plus = text.find('+', pos);
    const std::string rest = text.substr(pos, plus == std::string::npos ? std::string::npos : plus - pos);
    if (!rest.empty()) {
        if (rest[0] != '-' || rest.size() < 2) return version;
        version.preRelease = rest.substr(1);
    }
    version.valid = true;
    return version;
}

int compareVersions(const ParsedVersion& a, const ParsedVersion& b) {
    if (!a.valid || !b.valid) return a.valid == b.valid ? 0 : (a.valid ? 1 : -1);
    auto order = [](auto x, auto y) { return x < y ? -1 : (x > y ? 1 : 0); };
    if (int c = order(a.major, b.major)) return c;
    if (int c = order(a.minor, b.minor)) return c;
    if (int c = order(a.patch, b.patch)) return c;
    if (a.preRelease.empty() != b.preRelease.empty()) return a.preRelease.empty() ? 1 : -1;
    return order(a.preRelease.compare(b.preRelease), 0);
}

int decideUpdate(const UpdateManifest& manifest, const std::string& installedVersion, const std::string& installId) {
    const ParsedVersion offered = parseVersion(manifest.version);
    const ParsedVersion installed = parseVersion(installedVersion);
    if (!offered.valid || !installed.valid || compareVersions(offered, installed) <= 0) return UpdateNotOffered;
    const ParsedVersion minimum = parseVersion(manifest.minSupported);
    if (minimum.valid && compareVersions(installed, minimum) < 0) return UpdateRequired;
    return inRollout(installId, manifest.rollout) ? UpdateOptional : UpdateNotOffered;
}

bool inRollout(const std::string& installId, int rollout) {
    if (rollout >= 100) return true;
    if (rollout <= 0 || installId.empty()) return false;
    const std::string digest = sha256Text(installId);
    const auto bucket = static_cast<uint32_t>(std::strtoul(digest.substr(0, 8).c_str(), nullptr, 16));
    return bucket % 100 < static_cast<uint32_t>(rollout);
}
