// The local service stand-in (build/abysto-devstack) run by a test: started
// on a free port of 127.0.0.1, stopped when the object goes away.
#pragma once

#include <map>
#include <string>

struct TideServerProcess {
    int pid = -1;
    int port = 0;

    // Starts the stand-in with `env` added to the environment and waits for
    // its "port N" line (at most 10 s). `port` stays 0 when it did not start.
    explicit TideServerProcess(const std::map<std::string, std::string>& env = {});
    ~TideServerProcess();
    TideServerProcess(const TideServerProcess&) = delete;
    TideServerProcess& operator=(const TideServerProcess&) = delete;

    bool started() const { return port > 0; }
    std::string url() const;  // "http://127.0.0.1:N"
};

// A URL where nothing listens (connections are refused).
std::string closedPortUrl();
