// SHA-256 of a file on disk, and the comparison of two hexadecimal digests.
// Verified downloads (tiles and installers) rest on these two.
#pragma once

#include <string>

// Lower-case hexadecimal SHA-256 of the file (64 characters), read in 64 KiB
// blocks; empty when the file cannot be opened or a read fails.
std::string sha256File(const std::string& path);
// The same digest of bytes held in memory.
std::string sha256Text(const std::string& text);

// True only for two non-empty digests of the same length that are equal with
// ASCII letters folded to lower case.
bool digestsEqual(const std::string& a, const std::string& b);
