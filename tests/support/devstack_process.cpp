#include "tests/support/devstack_process.h"

#include "platform/http_client.h"
#include "tests/support/gui_driver.h"
#include "tests/support/process.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdlib>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
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

    const bool settled = waitUntil([&] { return (port = portLine(output())) > 0 || exited(pid); },
                                   std::chrono::seconds(10), kPollInterval);
    if (port > 0) return;
    if (settled) pid = -1;  // it ended at start-up
    else stop();
}

DevstackProcess::~DevstackProcess() { stop(); }

std::string DevstackProcess::url() const { return "http://127.0.0.1:" + std::to_string(port); }

std::string DevstackProcess::output() const { return readFile(dir / "devstack.log"); }

bool DevstackProcess::waitForOutput(const std::string& text, int timeoutMs) const {
    return waitUntil([&] { return output().find(text) != std::string::npos; }, std::chrono::milliseconds(timeoutMs),
                     kPollInterval);
}

void DevstackProcess::stop() {
    port = 0;
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    if (!waitUntil([&] { return exited(pid); }, std::chrono::seconds(5), kPollInterval)) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
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
