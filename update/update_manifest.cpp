#include "update/update_manifest.h"

#include "tiles/file_digest.h"
#include "update/update_signature.h"
#include "update/update_status.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdio>

using nlohmann::json;

namespace {

// A JSON integer, or a string holding a base-10 integer and nothing else.
bool readInteger(const json& value, int64_t& out) {
    if (value.is_number_integer()) {
        if (value.is_number_unsigned()) {
            const uint64_t u = value.get<uint64_t>();
            if (u > static_cast<uint64_t>(INT64_MAX)) return false;
            out = static_cast<int64_t>(u);
        } else {
            out = value.get<int64_t>();
        }
        return true;
    }
    if (!value.is_string()) return false;
    const std::string& text = value.get_ref<const std::string&>();
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, out);
    return error == std::errc() && stop == end;
}

bool stringField(const json& doc, const char* key, std::string& out) {
    const auto found = doc.find(key);
    if (found == doc.end() || !found->is_string()) return false;
    out = found->get<std::string>();
    return true;
}

bool integerField(const json& doc, const char* key, int64_t& out) {
    const auto found = doc.find(key);
    return found != doc.end() && readInteger(*found, out);
}

int fail(std::string& detail, int reason, const std::string& text) {
    detail = text;
    return reason;
}

} // namespace

int validateManifest(const std::string& jsonText, const std::string& expectedPlatform, UpdateManifest& manifest,
                     std::string& detail) {
    json doc;
    try {
        doc = json::parse(jsonText);
    } catch (const json::exception& e) {
        return fail(detail, ManifestUnreadable, std::string("JSON invalide : ") + e.what());
    }
    if (!doc.is_object()) return fail(detail, ManifestUnreadable, "le manifeste n'est pas un objet");

    int64_t schema = 0;
    if (integerField(doc, "schema", schema) && schema > 1)
        return fail(detail, ManifestUnsupported, "schema " + std::to_string(schema) + " inconnu");

    UpdateManifest read;
    std::string platform, changelogDigest, signature;
    if (!stringField(doc, "platform", platform)) return fail(detail, ManifestUnreadable, "champ platform");
    if (!stringField(doc, "version", read.version)) return fail(detail, ManifestUnreadable, "champ version");
    if (!stringField(doc, "minSupported", read.minSupported))
        return fail(detail, ManifestUnreadable, "champ minSupported");
    if (!stringField(doc, "changelogSha256", changelogDigest))
        return fail(detail, ManifestUnreadable, "champ changelogSha256");
    if (!stringField(doc, "signature", signature)) return fail(detail, ManifestUnreadable, "champ signature");
    int64_t rollout = -1;
    if (!integerField(doc, "rollout", rollout) || rollout < 0 || rollout > 100)
        return fail(detail, ManifestUnreadable, "champ rollout invalide");
    read.rollout = static_cast<int32_t>(rollout);

    const auto file = doc.find("file");
    if (file == doc.end() || !file->is_object()) return fail(detail, ManifestUnreadable, "champ file");
    if (!stringField(*file, "name", read.fileName)) return fail(detail, ManifestUnreadable, "champ file.name");
    if (!stringField(*file, "sha256", read.fileSha256)) return fail(detail, ManifestUnreadable, "champ file.sha256");
    if (!integerField(*file, "size", read.fileSize) || read.fileSize < 1)
        return fail(detail, ManifestUnreadable, "champ file.size invalide");

    stringField(doc, "changelog", read.changelog);

    const std::string& name = read.fileName;
    if (name.empty() || name.find_first_of("/\\:") != std::string::npos || name.find("..") != std::string::npos)
        return fail(detail, ManifestUnreadable, "nom de fichier refuse : " + name);
    if (platform != expectedPlatform)
        return fail(detail, ManifestOtherPlatform, "plateforme " + platform + " au lieu de " + expectedPlatform);
    if (!digestsEqual(sha256Text(read.changelog), changelogDigest))
        return fail(detail, ManifestChangelogMismatch, "empreinte du changelog incoherente");

    const std::string signedText = canonicalSignedText(expectedPlatform, read, changelogDigest);
    for (const std::string& key : trustedUpdateKeys()) {
        if (verifySignature(key, signedText, signature)) {
            manifest = read;
            detail.clear();
            return ManifestValid;
        }
    }
    return fail(detail, ManifestBadSignature, "aucune cle de confiance ne valide cette signature");
}

std::string canonicalSignedText(const std::string& platform, const UpdateManifest& manifest,
                                const std::string& changelogDigest) {
    char rollout[16], size[32];
    std::snprintf(rollout, sizeof rollout, "%d", static_cast<int>(manifest.rollout));
    std::snprintf(size, sizeof size, "%lld", static_cast<long long>(manifest.fileSize));
    return std::string("abysto-update-v1") + "\nplatform=" + platform + "\nversion=" + manifest.version +
           "\nminSupported=" + manifest.minSupported + "\nrollout=" + rollout + "\nname=" + manifest.fileName +
           "\nsize=" + size + "\nsha256=" + manifest.fileSha256 + "\nchangelogSha256=" + changelogDigest;
}

bool isSafeUpdateFileName(const std::string& name) {
    if (name.empty() || name.size() > 128) return false;
    if (name.front() == '.' || name.front() == '-' || name.find("..") != std::string::npos) return false;
    for (const unsigned char c : name) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                             c == '.' || c == '_' || c == '-';
        if (!allowed) return false;
    }
    return true;
}
