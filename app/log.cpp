#include "app/log.h"

#include "app/paths.h"

#include <atomic>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <streambuf>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kRotateAbove = 1024 * 1024;

std::atomic<int> logFd{-1};
std::mutex writeMutex;

void writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
}

// Each thread gathers its text until a line feed, then the whole line goes
// to the file in one write, so lines of different threads never mix.
struct PendingLine {
    std::string text;
    ~PendingLine() { flush(); }
    void flush() {
        if (text.empty()) return;
        // Read under the lock that closeLog holds while it closes: outside
        // it the number could already name a closed or reused descriptor.
        std::lock_guard lock(writeMutex);
        const int fd = logFd.load();
        if (fd >= 0) writeAll(fd, text.data(), text.size());
        text.clear();
    }
};

thread_local PendingLine pending;

class LineBuffer : public std::streambuf {
protected:
    int_type overflow(int_type ch) override {
        if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
        put(traits_type::to_char_type(ch));
        return ch;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        for (std::streamsize i = 0; i < n; ++i) put(s[i]);
        return n;
    }

private:
    static void put(char c) {
        pending.text.push_back(c);
        if (c == '\n') pending.flush();
    }
};

LineBuffer lineBuffer;
std::streambuf* originalOut = nullptr;
std::streambuf* originalErr = nullptr;
int originalOutFd = -1;
int originalErrFd = -1;

void rotateIfLarge(const fs::path& current, const fs::path& previous) {
    std::error_code ec;
    if (!fs::exists(current, ec)) return;
    std::uintmax_t size = fs::file_size(current, ec);
    if (!ec && size <= kRotateAbove) return;
    fs::remove(previous, ec);
    fs::rename(current, previous, ec);
}

std::string headerLine(const std::string& version) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    return "\n===== Abysto " + version + " -- " + stamp + " =====\n";
}

} // namespace

void openLog(const std::string& version) {
    if (logFd.load() < 0) {
        const fs::path folder(logsDir());
        std::error_code ec;
        fs::create_directories(folder, ec);
        const fs::path current = folder / "abysto.log";
        rotateIfLarge(current, folder / "abysto.1.log");
        int fd = ::open(current.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd < 0) {
            std::cerr << "[log] " << current.string() << " inaccessible" << std::endl;
            return;
        }
        std::cout.flush();
        std::cerr.flush();
        logFd.store(fd);
    }

    const std::string header = headerLine(version);
    {
        std::lock_guard lock(writeMutex);
        writeAll(logFd.load(), header.data(), header.size());
    }

    // Library code that prints through C stdio (GDAL, curl) lands there too.
    std::fflush(stdout);
    std::fflush(stderr);
    if (originalOutFd < 0) {
        originalOutFd = ::dup(STDOUT_FILENO);
        originalErrFd = ::dup(STDERR_FILENO);
    }
    ::dup2(logFd.load(), STDOUT_FILENO);
    ::dup2(logFd.load(), STDERR_FILENO);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    if (!originalOut) {
        originalOut = std::cout.rdbuf();
        originalErr = std::cerr.rdbuf();
    }
    std::cout.rdbuf(&lineBuffer);
    std::cerr.rdbuf(&lineBuffer);
    std::cout.setf(std::ios::unitbuf);
    std::cerr.setf(std::ios::unitbuf);
}

void closeLog() {
    int fd = logFd.load();
    if (fd < 0) return;
    pending.flush();
    std::fflush(stdout);
    std::fflush(stderr);
    if (originalOut) {
        std::cout.rdbuf(originalOut);
        std::cerr.rdbuf(originalErr);
        originalOut = originalErr = nullptr;
    }
    if (originalOutFd >= 0) {
        ::dup2(originalOutFd, STDOUT_FILENO);
        ::dup2(originalErrFd, STDERR_FILENO);
        ::close(originalOutFd);
        ::close(originalErrFd);
        originalOutFd = originalErrFd = -1;
    }
    std::lock_guard lock(writeMutex);
    logFd.store(-1);
    ::close(fd);
}
