// A private folder for a fuzz program's files, made once and removed at exit.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

inline const std::string& fuzzFolder() {
    // Never destroyed: the exit handler below still needs it.
    static const std::string* folder = [] {
        char name[] = "/tmp/abysto-fuzz-XXXXXX";
        const char* made = mkdtemp(name);
        auto* path = new std::string(made ? made : "/tmp");
        if (made) std::atexit([] { std::error_code ignored; std::filesystem::remove_all(fuzzFolder(), ignored); });
        return path;
    }();
    return *folder;
}
