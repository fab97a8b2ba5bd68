// File dialogs through zenity and links through xdg-open, started with
// fork/exec and an argument list: nothing passes through a shell.
#include "platform/platform.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

namespace {

// Runs a program, returns its exit status (-1 when it could not run) and its stdout.
int runCapturing(const std::vector<std::string>& args, std::string& output) {
    // Everything the child needs is prepared before fork: after it, only exec.
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // Close-on-exec: a program another thread starts meanwhile must not hold
    // the pipe open, or the read below would wait for that program to end.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return -1;
    pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return -1;
    }
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    char buf[1024];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0) output.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> filterArgs(const std::vector<FileFilter>& filters) {
    std::vector<std::string> args;
    for (const FileFilter& f : filters) {
        const std::string pattern = f.pattern == "*.*" ? "*" : f.pattern;
        args.push_back("--file-filter=" + f.description + " | " + pattern);
    }
    return args;
}

bool finishChoice(int status, std::string output, std::string& chosenPath) {
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    if (status != 0 || output.empty()) return false;
    chosenPath = output;
    return true;
}

} // namespace

bool saveFileDialog(const std::string& title, const std::string& defaultName,
                    const std::vector<FileFilter>& filters, const std::string& defaultExtension,
                    std::string& chosenPath) {
    std::vector<std::string> args = {"zenity", "--file-selection", "--save", "--confirm-overwrite",
                                     "--title=" + title, "--filename=" + defaultName};
    for (std::string& f : filterArgs(filters)) args.push_back(std::move(f));
    // The dialog must have run before its output is looked at: two statements,
    // since the order in which call arguments are evaluated is unspecified.
    std::string output;
    const int status = runCapturing(args, output);
    if (!finishChoice(status, output, chosenPath)) return false;
    if (!defaultExtension.empty() && !std::filesystem::path(chosenPath).has_extension())
        chosenPath += "." + defaultExtension;
    return true;
}

bool openFileDialog(const std::string& title, const std::vector<FileFilter>& filters, std::string& chosenPath) {
    std::vector<std::string> args = {"zenity", "--file-selection", "--title=" + title};
    for (std::string& f : filterArgs(filters)) args.push_back(std::move(f));
    std::string output;
    const int status = runCapturing(args, output);
    return finishChoice(status, output, chosenPath);
}

bool openUrl(const std::string& url) {
    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        // A grandchild runs the browser so nobody has to wait for it.
        if (fork() == 0) {
            execlp("xdg-open", "xdg-open", url.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        _exit(0);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace platform
