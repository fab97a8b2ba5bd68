#pragma once

#include <map>
#include <string>
#include <vector>

struct ProcessResult {
    int exitCode = -1;   // -1 when the process did not exit normally
    std::string output;  // standard output and error together
};

// Runs `program` with `args` (no shell), the current environment plus `env`,
// in `workingDir` when not empty, and waits for it. ABYSTO_UPDATE_URL points at
// a closed local port unless `env` gives it.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env = {},
                         const std::string& workingDir = {});
