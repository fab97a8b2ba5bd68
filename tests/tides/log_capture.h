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
