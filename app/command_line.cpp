#include "app/command_line.h"

bool parseCommandLine(int argc, const char* const* argv, CommandLine& out, std::string& error) {
    out = CommandLine{};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--open") {
            int first = i + 1;
            while (i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0)
                out.openFiles.emplace_back(argv[++i]);
            if (i < first) {
                error = "Option --open : au moins un fichier de dalle est attendu.";
                return false;
            }
        } else {
            error = "Option inconnue : " + arg;
            return false;
        }
    }
    return true;
}
