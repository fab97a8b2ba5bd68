// Per-installation values kept in settings.json: an anonymous installation
// id and the user's answers to update offers. Safe to use from any thread.
#pragma once

#include <cstdint>
#include <string>

void loadSettings();
void saveSettings();

std::string getInstallId();
std::string getIgnoredUpdateVersion();
void setIgnoredUpdateVersion(const std::string& version);
int64_t getUpdateSnoozedUntil();
void snoozeUpdatesForDays(int days);
void clearUpdatePreferences();

// Forgets what was loaded so the next call reads the file again (tests only).
void resetSettingsForTesting();
