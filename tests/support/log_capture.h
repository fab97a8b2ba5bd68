// What a piece of code writes on the standard streams, for the message checks.
#pragma once

#include <gtest/gtest.h>
#include <string>

struct Captured {
    std::string out;
    std::string err;
};

template <typename F>
Captured captureStreams(F&& f) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    f();
    Captured c;
    c.out = testing::internal::GetCapturedStdout();
    c.err = testing::internal::GetCapturedStderr();
    return c;
}

// How many times `what` occurs in `text` (overlaps counted).
inline size_t countOf(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}
