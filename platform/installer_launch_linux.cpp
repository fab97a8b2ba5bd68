#include "platform/installer_launch.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

InstallerFile openInstaller(const std::string& path, std::string& error) {
    InstallerFile file;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = std::strerror(fd < 0 ? errno : EINVAL);
        if (fd >= 0) close(fd);
        return file;
    }
    const mode_t mode = (info.st_mode & 07777 & ~static_cast<mode_t>(S_IWGRP | S_IWOTH)) | S_IXUSR;
    if (fchmod(fd, mode) != 0) {
        error = std::strerror(errno);
        close(fd);
        return file;
    }
    file.fd = fd;
    return file;
}

std::string installerContentPath(const InstallerFile& file) {
    return "/proc/self/fd/" + std::to_string(file.fd);
}

int64_t installerSize(const InstallerFile& file) {
    struct stat info {};
    return fstat(file.fd, &info) == 0 ? static_cast<int64_t>(info.st_size) : -1;
}

void closeInstaller(InstallerFile& file) {
    if (file.fd >= 0) close(file.fd);
    file.fd = -1;
}

InstallerLaunch launchInstaller(const InstallerFile& file, const std::vector<std::string>& arguments) {
    InstallerLaunch result;
    // Everything the child needs is built before fork: it may only make system calls.
    std::vector<char*> argv;
    static char name[] = "installer";
    argv.push_back(name);
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        result.systemCode = errno;
        return result;
    }
    const pid_t child = fork();
    if (child < 0) {
        result.systemCode = errno;
        close(report[0]);
        close(report[1]);
        return result;
    }
    if (child == 0) {
        // A new session and a second fork: the installer is nobody's child
        // here and outlives this program, which it is about to replace.
        setsid();
        const pid_t installer = fork();
        if (installer != 0) {
            if (installer < 0) {
                const int code = errno;
                (void)!write(report[1], &code, sizeof code);
            }
            _exit(0);
        }
        // A script's interpreter reads it through this descriptor, so it stays open across exec.
        fcntl(file.fd, F_SETFD, 0);
        fexecve(file.fd, argv.data(), environ);
        const int code = errno;
        (void)!write(report[1], &code, sizeof code);
        _exit(127);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int code = 0;
    ssize_t got;
    do {
        got = read(report[0], &code, sizeof code);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    // Nothing written before the pipe closed at exec: the installer runs.
    result.launched = got == 0;
    if (!result.launched) result.systemCode = got == static_cast<ssize_t>(sizeof code) ? code : EIO;
    return result;
}

const char* installerLaunchCallName() { return "fexecve"; }

} // namespace platform
