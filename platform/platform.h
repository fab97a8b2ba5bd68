// The few operating-system services the program needs, behind one small
// interface. Everything above this layer is portable C++.
#pragma once

#include <string>

namespace platform {

// Folder of the running executable, without trailing separators.
std::string executableDir();

// The per-user local application-data folder (LOCALAPPDATA when set, else
// XDG_DATA_HOME, else HOME/.local/share). Empty when none of them is set.
std::string localAppDataDir();

// Folder for temporary files (TMPDIR, else /tmp).
std::string tempDir();

// Moves `from` over `to` in one step, replacing an existing target, so
// readers see either the old or the new file, never a half-written one.
// On failure `error` receives the system's message.
bool replaceFile(const std::string& from, const std::string& to, std::string& error);

// Creates or truncates `path` readable and writable by the user alone, from
// its first byte on, and writes `content` to disk. For files holding secrets;
// a symbolic link at `path` is refused.
bool writePrivateFile(const std::string& path, const std::string& content, std::string& error);

// Makes console output UTF-8 (nothing to do where it already is).
void useUtf8Console();

} // namespace platform

#include <vector>

namespace platform {

struct FileFilter {
    std::string description;  // "Fichier CSV"
    std::string pattern;      // "*.csv"
};

// The system's save dialog, pre-filled with `defaultName`, asking before
// overwriting. `defaultExtension` (without dot) is added when the chosen name
// has none. False when the user cancels or no dialog can be shown.
bool saveFileDialog(const std::string& title, const std::string& defaultName,
                    const std::vector<FileFilter>& filters, const std::string& defaultExtension,
                    std::string& chosenPath);

// The system's open dialog for one existing file.
bool openFileDialog(const std::string& title, const std::vector<FileFilter>& filters, std::string& chosenPath);

// Opens a web address in the user's browser, without waiting for it.
bool openUrl(const std::string& url);

} // namespace platform
