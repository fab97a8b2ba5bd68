// Starting a downloaded installer so that what runs is exactly the file that
// was checked: it is opened once, checked through that open file, and the
// same open file is executed, whatever happens to its path in between.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct InstallerFile {
    int fd = -1;
    bool isOpen() const { return fd >= 0; }
};

// Opens a regular file (not a symbolic link) for reading and makes it
// executable by its owner alone (nobody else may write it).
InstallerFile openInstaller(const std::string& path, std::string& error);
// A path that reads the open file itself, not whatever its name points at now.
std::string installerContentPath(const InstallerFile& file);
int64_t installerSize(const InstallerFile& file);
void closeInstaller(InstallerFile& file);

struct InstallerLaunch {
    bool launched = false;
    bool declined = false;  // the user refused the elevation the installer asked for
    long systemCode = 0;    // the system's error number when not launched
};

// Starts the open installer detached from this process, with `arguments` as
// its argument list (no shell), and returns once it runs or failed to start.
InstallerLaunch launchInstaller(const InstallerFile& file, const std::vector<std::string>& arguments);

// The system call the launch goes through, as the log names it.
const char* installerLaunchCallName();

} // namespace platform
