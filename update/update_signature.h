// ECDSA P-256 over SHA-256 with raw keys and signatures, as update manifests
// are signed.
#pragma once

#include <string>
#include <vector>

// `publicKeyHex`: 128 hexadecimal characters, X then Y (big-endian);
// `signatureHex`: 128 hexadecimal characters, r then s. False for anything
// malformed as well as for a signature that does not match.
bool verifySignature(const std::string& publicKeyHex, const std::string& message, const std::string& signatureHex);

// The keys a manifest may be signed with, in the order they are tried: the two
// compiled release keys and, in development builds only, the key of the file
// named by ABYSTO_DEV_UPDATE_KEY_FILE (tests and the demo sign with it).
std::vector<std::string> trustedUpdateKeys();

// Decodes an even number of hexadecimal digits (either case); false otherwise.
bool decodeHex(const std::string& text, std::string& bytes);
