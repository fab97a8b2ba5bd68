#include "tests/support/process.h"

#include <cstdlib>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

int spawnProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& env, const std::string& workingDir, int outputFd) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) return pid;
    // Dies with the test program, even when that one crashes.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    dup2(outputFd, STDOUT_FILENO);
    dup2(outputFd, STDERR_FILENO);
    const int devNull = open("/dev/null", O_RDONLY);
    if (devNull >= 0) dup2(devNull, STDIN_FILENO);
    // The program's start-up update check stays on this machine unless a test points it elsewhere.
    setenv("ABYSTO_UPDATE_URL", "http://127.0.0.1:9", 1);
    for (const auto& [key, value] : env) setenv(key.c_str(), value.c_str(), 1);
    if (!workingDir.empty() && chdir(workingDir.c_str()) != 0) _exit(127);
    execv(program.c_str(), argv.data());
    _exit(127);
}

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env, const std::string& workingDir) {
    ProcessResult result;
    // Close-on-exec, so a program started meanwhile by another thread cannot
    // keep this pipe open and hold the read below.
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return result;
    const pid_t pid = spawnProcess(program, args, env, workingDir, pipeFds[1]);
    close(pipeFds[1]);
    char buf[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], buf, sizeof buf)) > 0) result.output.append(buf, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    return result;
}
