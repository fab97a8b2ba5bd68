#include "tiles/cache_files.h"

#include "platform/platform.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool writeFileReplacing(const std::string& path, const std::string& bytes) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    const std::string part = path + ".part";
    std::FILE* file = std::fopen(part.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    std::string error;
    if (!written || !closed || !platform::replaceFile(part, path, error)) {
        fs::remove(part, ec);
        return false;
    }
    return true;
}
