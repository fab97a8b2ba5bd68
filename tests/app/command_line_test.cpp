#include "app/command_line.h"

#include <gtest/gtest.h>

TEST(CommandLine, OpenTakesTheFilesUpToTheNextOption) {
    const struct { std::vector<const char*> args; std::vector<std::string> files; std::string error; } rows[] = {
        {{}, {}, ""},
        {{"--open", "a.asc"}, {"a.asc"}, ""},
        {{"--open", "a.asc", "b.asc", "--open", "c.asc"}, {"a.asc", "b.asc", "c.asc"}, ""},
        {{"--open"}, {}, "Option --open : au moins un fichier de dalle est attendu."},
        {{"--open", "--open", "a.asc"}, {}, "Option --open : au moins un fichier de dalle est attendu."},
        {{"a.asc"}, {}, "Option inconnue : a.asc"},
    };
    for (const auto& row : rows) {
        std::vector<const char*> argv{"abysto"};
        argv.insert(argv.end(), row.args.begin(), row.args.end());
        CommandLine line;
        std::string error;
        SCOPED_TRACE(row.args.empty() ? "(rien)" : row.args.back());
        EXPECT_EQ(parseCommandLine(static_cast<int>(argv.size()), argv.data(), line, error), row.error.empty());
        EXPECT_EQ(error, row.error);
        if (row.error.empty()) {
            EXPECT_EQ(line.openFiles, row.files);
        }
    }
}
