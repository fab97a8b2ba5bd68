// The release side of update manifests: P-256 signing keys and the signed
// manifest document the program checks.
#pragma once

#include "update/update_manifest.h"

#include <memory>
#include <string>

struct SigningKey {
    std::shared_ptr<void> key;  // an EVP_PKEY
    bool valid() const { return key != nullptr; }
};

// A new P-256 key pair; the private key is written as PEM readable by the user alone.
SigningKey generateSigningKey(const std::string& privateKeyFile, std::string& error);
SigningKey loadSigningKey(const std::string& privateKeyFile, std::string& error);
SigningKey generateSigningKeyInMemory();

// 128 hexadecimal digits: X then Y.
std::string publicKeyHex(const SigningKey& key);
// 128 hexadecimal digits: r then s, over the SHA-256 of `message`.
std::string signMessage(const SigningKey& key, const std::string& message);

// The manifest document (JSON text) for `platform`, signed with `key`.
std::string signedManifestJson(const SigningKey& key, const std::string& platform, const UpdateManifest& manifest);
