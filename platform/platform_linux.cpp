#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <limits.h>
#include <unistd.h>

namespace platform {

static std::string envOrEmpty(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

static std::string stripTrailingSeparators(std::string s) {
    while (s.size() > 1 && (s.back() == '/' || s.back() == '\\')) s.pop_back();
    return s;
}

std::string executableDir() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    std::string path(buf, static_cast<size_t>(n));
    size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos) return {};
    return stripTrailingSeparators(path.substr(0, cut == 0 ? 1 : cut));
}

std::string localAppDataDir() {
    std::string dir = envOrEmpty("LOCALAPPDATA");
    if (dir.empty()) dir = envOrEmpty("XDG_DATA_HOME");
    if (dir.empty()) {
        std::string home = envOrEmpty("HOME");
        if (!home.empty()) dir = (std::filesystem::path(home) / ".local" / "share").string();
    }
    return dir.empty() ? dir : stripTrailingSeparators(dir);
}

std::string tempDir() {
    std::string dir = envOrEmpty("TMPDIR");
    return dir.empty() ? std::string("/tmp") : stripTrailingSeparators(dir);
}

bool replaceFile(const std::string& from, const std::string& to, std::string& error) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    int code = errno;
    if (code == EXDEV) {
        // Different file systems: copy beside the target, then rename there.
        std::error_code ec;
        std::string staged = to + ".move";
        std::filesystem::copy_file(from, staged, std::filesystem::copy_options::overwrite_existing, ec);
        if (!ec && std::rename(staged.c_str(), to.c_str()) == 0) {
            std::filesystem::remove(from, ec);
            return true;
        }
        code = ec ? ec.value() : errno;
        std::filesystem::remove(staged, ec);
    }
    error = std::strerror(code);
    return false;
}

bool writePrivateFile(const std::string& path, const std::string& content, std::string& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    // An older file of that name keeps its mode through O_CREAT.
    bool ok = ::fchmod(fd, 0600) == 0;
    for (size_t written = 0; ok && written < content.size();) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) written += static_cast<size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    if (!ok) error = std::strerror(errno);
    if (::close(fd) != 0 && ok) {
        error = std::strerror(errno);
        ok = false;
    }
    return ok;
}

void useUtf8Console() {}

} // namespace platform
