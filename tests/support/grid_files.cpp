#include "tests/support/grid_files.h"

#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <sstream>

std::string ascGrid(int ncols, int nrows, double xll, double yll, const std::string& noData,
                    const std::vector<std::string>& rows, double cell) {
    std::ostringstream text;
    text.precision(12);
    text << "ncols " << ncols << "\nnrows " << nrows << "\nxllcorner " << xll << "\nyllcorner " << yll
         << "\ncellsize " << cell << "\n";
    if (!noData.empty()) text << "NODATA_value " << noData << "\n";
    for (const std::string& row : rows) text << row << "\n";
    return text.str();
}

std::string writeGrid(const std::filesystem::path& dir, const std::string& name, const std::string& text) {
    writeFile(dir / name, text);
    return (dir / name).string();
}

std::vector<std::string> makeTiles(const std::filesystem::path& dir, const std::vector<std::pair<int, int>>& tiles,
                                   int seed) {
    std::vector<std::string> args = {dir.string()};
    for (const auto& [gx, gy] : tiles) {
        args.push_back(std::to_string(gx));
        args.push_back(std::to_string(gy));
    }
    args.push_back("--seed");
    args.push_back(std::to_string(seed));
    const ProcessResult run = runProcess(ABYSTO_BINARY_DIR "/make-tiles", args);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    std::vector<std::string> paths;
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) paths.push_back(line);
    EXPECT_EQ(paths.size(), tiles.size()) << run.output;
    return paths;
}
