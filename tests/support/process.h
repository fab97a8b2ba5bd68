#pragma once

#include <map>
#include <string>
#include <vector>

struct ProcessResult {
    int exitCode = -1;   // -1 when the process did not exit normally
    std::string output;  // standard output and error together
};

// Starts `program` with `args` (no shell), the current environment plus `env`,
// in `workingDir` when not empty, its standard output and error on `outputFd`
// and nothing on its input, killed if the test program dies; its process id. ABYSTO_UPDATE_URL points at a
// closed local port unless `env` gives it.
int spawnProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& env, const std::string& workingDir, int outputFd);

// Runs `program` as spawnProcess does and waits for it.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env = {},
                         const std::string& workingDir = {});
