#include "tests/support/tide_server_process.h"

#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifndef ABYSTO_DEVSTACK_PATH
#error "ABYSTO_DEVSTACK_PATH must name the stand-in program"
#endif

TideServerProcess::TideServerProcess(const std::map<std::string, std::string>& env) {
    int fds[2];
    if (pipe(fds) != 0) return;
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return;
    }
    if (child == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        for (const auto& [key, value] : env) setenv(key.c_str(), value.c_str(), 1);
        const char* program = ABYSTO_DEVSTACK_PATH;
        execl(program, program, "--port", "0", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    pid = child;

    // The first line is "port N".
    std::string line;
    char c = 0;
    while (line.size() < 64) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 10000) <= 0 || read(fds[0], &c, 1) != 1 || c == '\n') break;
        line += c;
    }
    close(fds[0]);
    if (line.rfind("port ", 0) == 0) port = std::atoi(line.c_str() + 5);
}

TideServerProcess::~TideServerProcess() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

std::string TideServerProcess::url() const { return "http://127.0.0.1:" + std::to_string(port); }

std::string closedPortUrl() {
    // Bind a free port, then release it: nothing listens there afterwards.
    int port = 1;
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s >= 0) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (bind(s, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
            getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
            port = ntohs(address.sin_port);
        }
        close(s);
    }
    return "http://127.0.0.1:" + std::to_string(port);
}
