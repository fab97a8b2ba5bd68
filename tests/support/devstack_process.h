// The local service stand-in (build/abysto-devstack, or ABYSTO_DEVSTACK_DIR's) started for a test:
// it listens on a free port of 127.0.0.1 and is stopped at the end. Its
// standard output and error go to a file, so tests can read what it logged.
// ABYSTO_DEVSTACK_PROGRAM, when set, names the program to start instead.
#pragma once

#include "tests/support/temp_dir.h"

#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

class DevstackProcess {
public:
    // Starts the stand-in with `args` (e.g. {"--tiles", dir}) and `env` added to its
    // environment, and waits for its "port N" line (at most 10 s).
    explicit DevstackProcess(const std::vector<std::string>& args = {},
                             const std::map<std::string, std::string>& env = {});
    ~DevstackProcess();
    DevstackProcess(const DevstackProcess&) = delete;
    DevstackProcess& operator=(const DevstackProcess&) = delete;

    bool started() const { return port > 0; }
    std::string url() const;     // "http://127.0.0.1:N"
    std::string output() const;  // everything it printed so far
    // Waits until `text` appears in the output; false after `timeoutMs`.
    bool waitForOutput(const std::string& text, int timeoutMs = 5000) const;
    void stop();
    // How many requests it served on `path` (its /__counts), 0 for none.
    long count(const std::string& path) const;
    // POSTs `body` to `path` (a fault switch); true on HTTP 200.
    bool post(const std::string& path, const std::string& body) const;

    int port = 0;

private:
    TempDir dir;
    pid_t pid = -1;
};

// The account stand-in's token refresh, as counted.
inline constexpr const char* kRefreshPath = "/auth/v1/token?grant_type=refresh_token";

// A URL where nothing listens (connections are refused).
std::string closedPortUrl();
