// Test programs never touch the real home: before any test runs, the
// per-user folders point at a temporary folder of this process.
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    TempDir home;
    useAsUserHome(home.path / "home");
    return RUN_ALL_TESTS();
}
