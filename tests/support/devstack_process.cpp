#include "tests/support/devstack_process.h"

#include "platform/http_client.h"
#include "tests/support/process.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);

// The number in the first "port N" line, 0 while there is none.
int portLine(const std::string& output) {
    size_t at = 0;
    while (at < output.size()) {
        const size_t end = output.find('\n', at);
        if (end == std::string::npos) return 0;  // line still being written
        const std::string line = output.substr(at, end - at);
        if (line.rfind("port ", 0) == 0) return std::atoi(line.c_str() + 5);
        at = end + 1;
    }
    return 0;
}

bool exited(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

} // namespace

DevstackProcess::DevstackProcess(const std::vector<std::string>& args,
                                 const std::map<std::string, std::string>& env) {
    // A sanitizer build of the tests may use the ordinary build's stand-in.
    const char* chosen = std::getenv("ABYSTO_DEVSTACK_PROGRAM");
    const std::string program = chosen && *chosen ? chosen : ABYSTO_DEVSTACK_DIR "/abysto-devstack";
    const std::string logFile = (dir / "devstack.log").string();
    const int fd = open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    pid = spawnProcess(program, args, env, {}, fd);
    close(fd);
    if (pid < 0) return;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        port = portLine(output());
        if (port > 0) return;
        if (exited(pid)) {
            pid = -1;
            return;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    stop();
}

DevstackProcess::~DevstackProcess() { stop(); }

std::string DevstackProcess::url() const { return "http://127.0.0.1:" + std::to_string(port); }

std::string DevstackProcess::output() const {
    std::ifstream in(dir / "devstack.log", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool DevstackProcess::waitForOutput(const std::string& text, int timeoutMs) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        if (output().find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(kPollInterval);
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

void DevstackProcess::stop() {
    port = 0;
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!exited(pid)) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    pid = -1;
}

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

long DevstackProcess::count(const std::string& path) const {
    HttpRequest request;
    request.url = url() + "/__counts";
    std::string body;
    httpFetch(request, body);
    return nlohmann::json::parse(body, nullptr, false).value(path, 0L);
}

bool DevstackProcess::post(const std::string& path, const std::string& body) const {
    HttpRequest request;
    request.url = url() + path;
    request.post = true;
    request.postBody = body;
    std::string answer;
    return httpFetch(request, answer).status == 200;
}
