#pragma once

#include <filesystem>
#include <string>

// A fresh folder under the system's temporary folder, removed at the end.
struct TempDir {
    std::filesystem::path path;
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string str() const { return path.string(); }
    std::filesystem::path operator/(const std::string& name) const { return path / name; }
};

// Points LOCALAPPDATA, XDG_DATA_HOME and HOME at `dir` (creating it).
void useAsUserHome(const std::filesystem::path& dir);

void writeFile(const std::filesystem::path& file, const std::string& content);
std::string readFile(const std::filesystem::path& file);
