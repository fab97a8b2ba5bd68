#include "app/log.h"
#include "app/paths.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_dir.h"

#include <atomic>
#include <fcntl.h>
#include <unistd.h>
#include <chrono>
#include <gtest/gtest.h>

#include <iostream>
#include <regex>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

struct LogTest : testing::Test {
    TempDir temp;
    fs::path logs;
    void SetUp() override {
        useAsUserHome(temp.path);
        resetPathsForTesting();
        logs = logsDir();
    }
    void TearDown() override {
        closeLog();
        resetPathsForTesting();
    }
    void runOnce(const std::string& line) {
        openLog("1.0.2");
        std::cout << line << std::endl;
        closeLog();
    }
};

} // namespace

TEST_F(LogTest, HeaderAndBothStreamsInProgramOrder) {
    openLog("1.0.2");
    std::cout << "sortie " << 1 << "\n";
    std::cerr << "Erreur " << 2 << std::endl;
    std::cout << "sortie 3" << std::endl;
    std::printf("depuis C\n");
    closeLog();
    const std::string text = readFile(logs / "abysto.log");
    EXPECT_TRUE(std::regex_match(text, std::regex("\n===== Abysto 1\\.0\\.2 -- \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d =====\n"
                                                  "sortie 1\nErreur 2\nsortie 3\ndepuis C\n")))
        << text;
}

TEST_F(LogTest, RotatesOnlyAboveOneMebibyte) {
    writeFile(logs / "abysto.log", std::string(1048576, 'a'));
    runOnce("x");
    EXPECT_FALSE(fs::exists(logs / "abysto.1.log"));
    // Appended after the earlier run's lines, with a header of its own.
    const std::string appended = readFile(logs / "abysto.log");
    EXPECT_EQ(appended.rfind(std::string(1048576, 'a') + "\n===== Abysto 1.0.2 -- ", 0), 0u);
    EXPECT_TRUE(appended.ends_with(" =====\nx\n"));

    writeFile(logs / "abysto.log", std::string(1048577, 'b'));
    writeFile(logs / "abysto.1.log", "older generation");
    runOnce("y");
    EXPECT_EQ(fs::file_size(logs / "abysto.1.log"), 1048577u);
    EXPECT_EQ(countOf(readFile(logs / "abysto.log"), "====="), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(logs), fs::directory_iterator()), 2);
}

TEST_F(LogTest, ThreadsNeverMixInsideALine) {
    openLog("1.0.2");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 500; ++i) {
                // Several stream operations for one line.
                std::cout << "fil " << t << " ligne " << i << " " << std::string(40, char('a' + t)) << "\n";
            }
        });
    }
    for (auto& th : threads) th.join();
    closeLog();
    const std::string text = readFile(logs / "abysto.log");
    std::istringstream lines(text);
    std::string line;
    const std::regex shape("fil ([0-3]) ligne \\d+ ([a-d]{40})");
    int good = 0;
    while (std::getline(lines, line)) {
        if (line.empty() || line.rfind("=====", 0) == 0) continue;
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, shape)) << line;
        EXPECT_EQ(m[2].str(), std::string(40, char('a' + std::stoi(m[1].str()))));
        ++good;
    }
    EXPECT_EQ(good, 2000);
}

TEST_F(LogTest, WritersAfterTheCloseNeverReachAReusedDescriptor) {
    // Writers keep the log's line buffer while it closes; the file opened
    // next usually gets the closed descriptor's number.
    for (int round = 0; round < 40; ++round) {
        openLog("1.0.2");
        std::streambuf* logBuffer = std::cout.rdbuf();
        std::atomic<bool> stop{false};
        std::vector<std::thread> writers;
        for (int t = 0; t < 3; ++t)
            writers.emplace_back([&] {
                std::ostream out(logBuffer);
                while (!stop) out << "ligne de travail\n";
            });
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        closeLog();
        const fs::path victim = logs / "autre.txt";
        const int fd = ::open(victim.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        stop = true;
        for (auto& w : writers) w.join();
        ::close(fd);
        ASSERT_EQ(fs::file_size(victim), 0u) << "round " << round;
    }
}

TEST_F(LogTest, UnwritableFolderKeepsTheStreams) {
    writeFile(logs, "a file where the logs folder should be");
    EXPECT_EQ(captureStreams([] { openLog("1.0.2"); }).err,
              "[log] " + (logs / "abysto.log").string() + " inaccessible\n");
}
