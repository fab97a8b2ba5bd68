// Whole-file reads and writes for the catalogue cache.
#pragma once

#include <string>

// The file's bytes, or an empty string when it cannot be opened.
std::string readWholeFile(const std::string& path);

// Writes the bytes to path + ".part" and moves that over `path` in one step,
// so a crash leaves either the old file or the new one. Parent folders are
// created. False (and no ".part" left) when writing or the move fails.
bool writeFileReplacing(const std::string& path, const std::string& bytes);
