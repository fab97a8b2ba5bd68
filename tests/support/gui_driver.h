// Driving the real program in a real window: start it, wait for its window,
// click and type with xdotool, capture the screen, read its log.
// Needs DISPLAY (the GUI test programs run under xvfb-run).
#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

struct RunningProgram {
    int pid = -1;
    std::filesystem::path outputFile;  // its stdout and stderr
};

// ABYSTO_UPDATE_URL points at a closed local port unless `env` gives it.
RunningProgram startProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::map<std::string, std::string>& env, const std::filesystem::path& outputFile);

// Waits for the program to end; its exit code, or -1 on a timeout (the program is then killed) or a crash.
int waitForExit(RunningProgram& program, std::chrono::milliseconds timeout);
void killProgram(RunningProgram& program);

// Polls `file` until it contains `text` (true) or the timeout passes (false).
bool waitForText(const std::filesystem::path& file, const std::string& text, std::chrono::milliseconds timeout);

// The X window id of the first window whose title is exactly `title`, "" after the timeout.
std::string waitForWindow(const std::string& title, std::chrono::milliseconds timeout);

// xdotool and import, run without a shell; true when they succeed.
bool xdotool(const std::vector<std::string>& args);
bool clickAt(const std::string& window, int x, int y, int button = 1);
bool pressKey(const std::string& window, const std::string& key);
bool captureScreen(const std::filesystem::path& png);

// Asks the window to close, as a window manager's close button does.
bool requestClose(const std::string& window);

// Escape leaves the 3D view for the start screen; closing the window there ends the program.
bool escapeThenClose(const std::string& window);
// Waits until the window no longer exists (true) or the timeout passes.
bool waitForWindowGone(const std::string& window, std::chrono::milliseconds timeout);

// Answers the file dialog titled `title` as a user would: a save dialog's
// suggested name is replaced by `path`, an open dialog gets it in its location
// field (Ctrl+L); then Return. A dialog still setting itself up can drop keys,
// so the answer is typed again while the dialog stays. `cancel` presses Escape.
enum class DialogAnswer { save, open, cancel };
bool answerFileDialog(const std::string& title, const std::string& path, DialogAnswer answer);
// The program's own save dialog, "Enregistrer sous".
inline bool answerSaveDialog(const std::string& path, bool cancel = false) {
    return answerFileDialog("Enregistrer sous", path, cancel ? DialogAnswer::cancel : DialogAnswer::save);
}
