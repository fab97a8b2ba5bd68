#include "tests/support/gui_driver.h"

#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

#include <X11/Xlib.h>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout,
               std::chrono::milliseconds pause) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(pause);
    }
    return true;
}

RunningProgram::RunningProgram(const fs::path& home, const std::vector<std::string>& args,
                               const std::map<std::string, std::string>& env)
    : home(home), log(home / "Abysto/logs/abysto.log") {
    std::map<std::string, std::string> all{{"LOCALAPPDATA", home.string()}, {"HOME", home.string()},
                                           {"GSETTINGS_BACKEND", "memory"}};
    for (const char* service : {"ABYSTO_TILE_SERVER", "ABYSTO_WMS_URL", "ABYSTO_TIDE_URL", "ABYSTO_AUTH_URL",
                                "ABYSTO_GEOCODING_URL"})
        all[service] = "http://127.0.0.1:9";
    for (const auto& [key, value] : env) all[key] = value;
    const int fd = open((home / "sortie.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    pid = spawnProcess(ABYSTO_BINARY_DIR "/abysto", args, all, {}, fd);
    if (fd >= 0) ::close(fd);
}

RunningProgram::~RunningProgram() {
    if (pid <= 0) return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

bool RunningProgram::ready(const std::string& line, std::chrono::milliseconds timeout) {
    window = waitForWindow("Abysto", 30s);
    return !window.empty() && waitForText(log, line, timeout);
}

std::string RunningProgram::logText() const { return readFile(log); }
std::string RunningProgram::output() const { return readFile(home / "sortie.txt"); }

static std::string seconds(std::chrono::milliseconds t) { return std::to_string(t.count() / 1000.0); }

bool RunningProgram::click(int x, int y, std::chrono::milliseconds settle) const {
    return xdotool({"mousemove", "--window", window, std::to_string(x), std::to_string(y), "sleep", seconds(settle),
                    "mousedown", "1", "sleep", "0.2", "mouseup", "1", "sleep", seconds(settle)});
}

bool RunningProgram::press(const std::string& keys) const {
    return xdotool({"windowfocus", "--sync", window}) && xdotool({"keydown", keys, "sleep", "0.4", "keyup", keys});
}

bool RunningProgram::close() const {
    Display* display = window.empty() ? nullptr : XOpenDisplay(nullptr);
    if (!display) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(std::stoul(window));
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event) != 0;
    XFlush(display);
    XCloseDisplay(display);
    return sent;
}

int RunningProgram::exitCode(std::chrono::milliseconds timeout) {
    int status = 0;
    if (pid <= 0 || !waitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, timeout, 50ms)) return -1;
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunningProgram::escapeAndClose() {
    if (!press("Escape")) return -1;
    std::this_thread::sleep_for(1500ms);  // the view's last frame, the start screen's first
    return close() ? exitCode(60s) : -1;
}

bool waitForText(const fs::path& file, const std::string& text, std::chrono::milliseconds timeout) {
    return waitUntil([&] { return readFile(file).find(text) != std::string::npos; }, timeout);
}

std::string waitForWindow(const std::string& title, std::chrono::milliseconds timeout) {
    std::string id;
    waitUntil([&] {
        const ProcessResult r = runProcess("/usr/bin/xdotool", {"search", "--name", "^" + title + "$"});
        id = r.exitCode == 0 ? r.output.substr(0, r.output.find('\n')) : "";
        return !id.empty();
    }, timeout, 200ms);
    return id;
}

bool xdotool(const std::vector<std::string>& args) {
    return runProcess("/usr/bin/xdotool", args).exitCode == 0;
}

bool captureScreen(const std::filesystem::path& png) {
    return runProcess("/usr/bin/import", {"-window", "root", png.string()}).exitCode == 0;
}

bool waitForWindowGone(const std::string& window, std::chrono::milliseconds timeout) {
    return waitUntil([&] { return !xdotool({"getwindowname", window}); }, timeout);
}

bool answerFileDialog(const std::string& title, const std::string& path, DialogAnswer answer) {
    const std::string dialog = waitForWindow(title, 60s);
    if (dialog.empty()) {
        fprintf(stderr, "answerFileDialog: no dialog \"%s\" showed\n", title.c_str());
        return false;
    }
    for (int attempt = 0; attempt < 6; ++attempt) {
        std::this_thread::sleep_for(700ms);
        xdotool({"windowfocus", "--sync", dialog});
        if (answer == DialogAnswer::cancel) {
            xdotool({"key", "Escape"});
        } else {
            xdotool({"key", answer == DialogAnswer::save ? "ctrl+a" : "ctrl+l"});
            std::this_thread::sleep_for(answer == DialogAnswer::open ? 700ms : 0ms);  // the location field opens
            xdotool({"type", "--delay", "20", path});
            xdotool({"key", "Return"});
        }
        if (waitForWindowGone(dialog, 5s)) return true;
    }
    fprintf(stderr, "answerFileDialog: the dialog \"%s\" stayed\n", title.c_str());
    captureScreen(fs::path(ABYSTO_BINARY_DIR) / "Testing" /
                  ("dialog_not_answered_" + std::to_string(getpid()) + ".png"));
    // Never leave the program waiting on a dialog nobody will answer.
    const ProcessResult owner = runProcess("/usr/bin/xdotool", {"getwindowpid", dialog});
    if (owner.exitCode == 0) {
        const int pid = std::atoi(owner.output.c_str());
        if (pid > 0) kill(pid, SIGTERM);
    }
    return false;
}
