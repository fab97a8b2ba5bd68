#include "tools/sign-update/update_signer.h"

#include "tiles/file_digest.h"

#include <nlohmann/json.hpp>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

SigningKey own(EVP_PKEY* key) {
    SigningKey out;
    if (key) out.key = std::shared_ptr<void>(key, [](void* p) { EVP_PKEY_free(static_cast<EVP_PKEY*>(p)); });
    return out;
}

EVP_PKEY* raw(const SigningKey& key) { return static_cast<EVP_PKEY*>(key.key.get()); }

std::string hex(const unsigned char* bytes, size_t size) {
    static const char* digits = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

std::string bignumHex32(const BIGNUM* number) {
    unsigned char bytes[32];
    if (BN_bn2binpad(number, bytes, 32) != 32) return {};
    return hex(bytes, 32);
}

} // namespace

SigningKey generateSigningKeyInMemory() { return own(EVP_EC_gen("P-256")); }

SigningKey generateSigningKey(const std::string& privateKeyFile, std::string& error) {
    SigningKey key = generateSigningKeyInMemory();
    const int fd = open(privateKeyFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, 0600);
    std::FILE* file = fd >= 0 ? fdopen(fd, "w") : nullptr;
    if (!key.valid() || !file) {
        if (fd >= 0 && !file) close(fd);
        error = "impossible d'ecrire " + privateKeyFile;
        return {};
    }
    const bool written = PEM_write_PrivateKey(file, raw(key), nullptr, nullptr, 0, nullptr, nullptr) == 1;
    if (std::fclose(file) != 0 || !written) {
        error = "impossible d'ecrire " + privateKeyFile;
        return {};
    }
    return key;
}

SigningKey loadSigningKey(const std::string& privateKeyFile, std::string& error) {
    std::FILE* file = std::fopen(privateKeyFile.c_str(), "r");
    if (!file) {
        error = "cle privee illisible : " + privateKeyFile;
        return {};
    }
    EVP_PKEY* key = PEM_read_PrivateKey(file, nullptr, nullptr, nullptr);
    std::fclose(file);
    char group[32] = {};
    size_t length = 0;
    if (!key || EVP_PKEY_get_utf8_string_param(key, OSSL_PKEY_PARAM_GROUP_NAME, group, sizeof group, &length) != 1 ||
        std::string(group) != "prime256v1") {
        EVP_PKEY_free(key);
        error = "une cle privee EC P-256 (PEM) est attendue : " + privateKeyFile;
        return {};
    }
    return own(key);
}

std::string publicKeyHex(const SigningKey& key) {
    unsigned char point[65];
    size_t length = 0;
    if (!key.valid() ||
        EVP_PKEY_get_octet_string_param(raw(key), OSSL_PKEY_PARAM_PUB_KEY, point, sizeof point, &length) != 1 ||
        length != 65 || point[0] != 0x04)
        return {};
    return hex(point + 1, 64);
}

std::string signMessage(const SigningKey& key, const std::string& message) {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    std::string der(128, '\0');
    size_t length = der.size();
    const bool ok = context && EVP_DigestSignInit(context, nullptr, EVP_sha256(), nullptr, raw(key)) == 1 &&
                    EVP_DigestSign(context, reinterpret_cast<unsigned char*>(der.data()), &length,
                                   reinterpret_cast<const unsigned char*>(message.data()), message.size()) == 1;
    EVP_MD_CTX_free(context);
    if (!ok) return {};
    const auto* cursor = reinterpret_cast<const unsigned char*>(der.data());
    ECDSA_SIG* sig = d2i_ECDSA_SIG(nullptr, &cursor, static_cast<long>(length));
    if (!sig) return {};
    const std::string text = bignumHex32(ECDSA_SIG_get0_r(sig)) + bignumHex32(ECDSA_SIG_get0_s(sig));
    ECDSA_SIG_free(sig);
    return text.size() == 128 ? text : std::string();
}

std::string signedManifestJson(const SigningKey& key, const std::string& platform, const UpdateManifest& manifest) {
    const std::string changelogDigest = sha256Text(manifest.changelog);
    nlohmann::ordered_json doc;
    doc["schema"] = 1;
    doc["platform"] = platform;
    doc["version"] = manifest.version;
    doc["minSupported"] = manifest.minSupported;
    doc["rollout"] = manifest.rollout;
    doc["file"] = {{"name", manifest.fileName}, {"sha256", manifest.fileSha256}, {"size", manifest.fileSize}};
    doc["changelog"] = manifest.changelog;
    doc["changelogSha256"] = changelogDigest;
    doc["signature"] = signMessage(key, canonicalSignedText(platform, manifest, changelogDigest));
    return doc.dump(2);
}
