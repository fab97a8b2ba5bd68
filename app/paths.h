// Per-user folders and files. Every part of the program takes its paths
// from these getters and never builds them itself.
#pragma once

#include <string>

void ensurePaths();

std::string rootDir();
std::string tilesDir();
std::string cacheDir();
std::string updatesDir();
std::string logsDir();
std::string legacyDir();
std::string sessionFile();
std::string zoneHistoryFile();
std::string tipsDismissedFile();
std::string uiLayoutFile();
std::string settingsFile();

// Creates the folders and, once per process, moves files that older
// versions kept beside the executable or in the working directory.
void migrateLegacyData(const std::string& exeDir);

// Forgets the computed paths and the "already migrated" mark (tests only).
void resetPathsForTesting();
