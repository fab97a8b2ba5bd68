// Driving the real program in a real window with xdotool; needs DISPLAY (the tests run under Xvfb).
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Polls `done` every `pause` until it holds (true) or the timeout passes (false).
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout,
               std::chrono::milliseconds pause = std::chrono::milliseconds(100));

// The built program with `home` as its user folder and HOME, its output in home/sortie.txt, every service at a
// closed local port unless `env` gives it; killed at the end if still running.
struct RunningProgram {
    std::filesystem::path home, log;
    int pid = -1;
    std::string window;  // its X window, once `ready`
    RunningProgram(const std::filesystem::path& home, const std::vector<std::string>& args,
                   const std::map<std::string, std::string>& env = {});
    ~RunningProgram();

    // Waits for the window, then for `line` in the log.
    bool ready(const std::string& line, std::chrono::milliseconds timeout = std::chrono::seconds(60));
    std::string logText() const;
    std::string output() const;
    // The pointer rests `settle` before and after the press: the UI sees a press only over a few frames.
    bool click(int x, int y, std::chrono::milliseconds settle = std::chrono::milliseconds(300)) const;
    // Keys (xdotool's names, "ctrl+a") held over a few frames: a press between two slow frames goes unseen.
    bool press(const std::string& keys) const;
    // Asks the window to close, as a window manager's close button does.
    bool close() const;
    // Its exit code once it ends, -1 on a crash or after the timeout (it is then killed).
    int exitCode(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Escape to the start screen, the window closed there: the exit code.
    int escapeAndClose();
};

// Polls `file` until it contains `text` (true) or the timeout passes (false).
bool waitForText(const std::filesystem::path& file, const std::string& text, std::chrono::milliseconds timeout);

// The X window id of the first window whose title is exactly `title`, "" after the timeout.
std::string waitForWindow(const std::string& title, std::chrono::milliseconds timeout);

// xdotool and import, run without a shell; true when they succeed.
bool xdotool(const std::vector<std::string>& args);
bool captureScreen(const std::filesystem::path& png);

// Waits until the window no longer exists (true) or the timeout passes.
bool waitForWindowGone(const std::string& window, std::chrono::milliseconds timeout);

// Answers the file dialog `title` as a user would: `path` replaces a save dialog's name or goes in an open
// dialog's location field (Ctrl+L), then Return, typed again while the dialog stays (it can drop keys early).
enum class DialogAnswer { save, open, cancel };
bool answerFileDialog(const std::string& title, const std::string& path, DialogAnswer answer);
// The program's own save dialog, "Enregistrer sous".
inline bool answerSaveDialog(const std::string& path, bool cancel = false) {
    return answerFileDialog("Enregistrer sous", path, cancel ? DialogAnswer::cancel : DialogAnswer::save);
}
