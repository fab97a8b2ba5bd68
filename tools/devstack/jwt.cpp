#include "tools/devstack/jwt.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <cstring>

namespace {

const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

std::string hmacSha256(const std::string& key, const std::string& data) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(data.data()),
         data.size(), digest, &length);
    return std::string(reinterpret_cast<const char*>(digest), length);
}

} // namespace

std::string base64UrlEncode(const std::string& bytes) {
    std::string out;
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = (unsigned char)bytes[i] << 16 | (unsigned char)bytes[i + 1] << 8 | (unsigned char)bytes[i + 2];
        out += kAlphabet[v >> 18 & 63];
        out += kAlphabet[v >> 12 & 63];
        out += kAlphabet[v >> 6 & 63];
        out += kAlphabet[v & 63];
    }
    if (i + 1 == bytes.size()) {
        const unsigned v = (unsigned char)bytes[i] << 16;
        out += kAlphabet[v >> 18 & 63];
        out += kAlphabet[v >> 12 & 63];
    } else if (i + 2 == bytes.size()) {
        const unsigned v = (unsigned char)bytes[i] << 16 | (unsigned char)bytes[i + 1] << 8;
        out += kAlphabet[v >> 18 & 63];
        out += kAlphabet[v >> 12 & 63];
        out += kAlphabet[v >> 6 & 63];
    }
    return out;
}

bool base64UrlDecode(const std::string& text, std::string& bytes) {
    bytes.clear();
    unsigned value = 0;
    int bits = 0;
    for (char c : text) {
        const char* at = c ? std::strchr(kAlphabet, c) : nullptr;
        if (!at) return false;
        value = (value << 6) | static_cast<unsigned>(at - kAlphabet);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += static_cast<char>((value >> bits) & 0xFF);
        }
    }
    return true;
}

std::string signJwt(const nlohmann::json& claims, const std::string& secret) {
    const std::string signingInput =
        base64UrlEncode(R"({"alg":"HS256","typ":"JWT"})") + "." + base64UrlEncode(claims.dump());
    return signingInput + "." + base64UrlEncode(hmacSha256(secret, signingInput));
}

bool verifyJwt(const std::string& token, const std::string& secret, nlohmann::json& claims) {
    const size_t first = token.find('.');
    const size_t second = first == std::string::npos ? first : token.find('.', first + 1);
    if (second == std::string::npos || token.find('.', second + 1) != std::string::npos) return false;
    std::string header, payload, signature;
    if (!base64UrlDecode(token.substr(0, first), header) ||
        !base64UrlDecode(token.substr(first + 1, second - first - 1), payload) ||
        !base64UrlDecode(token.substr(second + 1), signature))
        return false;
    const std::string expected = hmacSha256(secret, token.substr(0, second));
    if (signature.size() != expected.size() || CRYPTO_memcmp(signature.data(), expected.data(), expected.size()) != 0)
        return false;
    try {
        const nlohmann::json parsedHeader = nlohmann::json::parse(header);
        if (!parsedHeader.is_object() || parsedHeader.value("alg", "") != "HS256") return false;
        claims = nlohmann::json::parse(payload);
        return claims.is_object();
    } catch (const nlohmann::json::exception&) {
        return false;
    }
}
