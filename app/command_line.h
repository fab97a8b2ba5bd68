// Options beyond the normal start: `--open FILE...` shows these tile files
// in the first cycle instead of asking the zone selector.
#pragma once

#include <string>
#include <vector>

struct CommandLine {
    std::vector<std::string> openFiles;
};

// False with a French message in `error` for an unknown or incomplete option.
bool parseCommandLine(int argc, const char* const* argv, CommandLine& out, std::string& error);
