#include "tests/support/gui_driver.h"

#include "tests/support/process.h"

#include <X11/Xlib.h>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

RunningProgram startProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::map<std::string, std::string>& env, const std::filesystem::path& outputFile) {
    RunningProgram running;
    running.outputFile = outputFile;
    const int fd = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    running.pid = spawnProcess(program, args, env, {}, fd);
    if (fd >= 0) close(fd);
    return running;
}

int waitForExit(RunningProgram& program, std::chrono::milliseconds timeout) {
    if (program.pid <= 0) return -1;
    const auto end = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
        const pid_t done = waitpid(program.pid, &status, WNOHANG);
        if (done == program.pid) {
            program.pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(50ms);
    }
    killProgram(program);
    return -1;
}

void killProgram(RunningProgram& program) {
    if (program.pid <= 0) return;
    kill(program.pid, SIGKILL);
    waitpid(program.pid, nullptr, 0);
    program.pid = -1;
}

bool waitForText(const std::filesystem::path& file, const std::string& text, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    do {
        std::ifstream in(file, std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        if (content.str().find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(100ms);
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

std::string waitForWindow(const std::string& title, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    do {
        const ProcessResult r = runProcess("/usr/bin/xdotool", {"search", "--name", "^" + title + "$"});
        if (r.exitCode == 0) {
            std::istringstream lines(r.output);
            std::string id;
            if (std::getline(lines, id) && !id.empty()) return id;
        }
        std::this_thread::sleep_for(200ms);
    } while (std::chrono::steady_clock::now() < end);
    return "";
}

bool xdotool(const std::vector<std::string>& args) {
    return runProcess("/usr/bin/xdotool", args).exitCode == 0;
}

bool clickAt(const std::string& window, int x, int y, int button) {
    return xdotool({"mousemove", "--window", window, std::to_string(x), std::to_string(y)}) &&
           xdotool({"click", std::to_string(button)});
}

bool pressKey(const std::string& window, const std::string& key) {
    return xdotool({"windowfocus", "--sync", window}) && xdotool({"key", key});
}

bool captureScreen(const std::filesystem::path& png) {
    return runProcess("/usr/bin/import", {"-window", "root", png.string()}).exitCode == 0;
}

bool escapeThenClose(const std::string& window) {
    if (!pressKey(window, "Escape")) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the view's last frame, the start screen's first
    return requestClose(window);
}

bool requestClose(const std::string& window) {
    Display* display = XOpenDisplay(nullptr);
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

bool waitForWindowGone(const std::string& window, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (!xdotool({"getwindowname", window})) return true;
        std::this_thread::sleep_for(100ms);
    }
    return false;
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
    captureScreen(std::filesystem::path(ABYSTO_BINARY_DIR) / "Testing" /
                  ("dialog_not_answered_" + std::to_string(getpid()) + ".png"));
    // Never leave the program waiting on a dialog nobody will answer.
    const ProcessResult owner = runProcess("/usr/bin/xdotool", {"getwindowpid", dialog});
    if (owner.exitCode == 0) {
        const int pid = std::atoi(owner.output.c_str());
        if (pid > 0) kill(pid, SIGTERM);
    }
    return false;
}
