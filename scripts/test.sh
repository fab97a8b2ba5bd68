#!/usr/bin/env bash
# Sets up, builds and runs every test. Exits non-zero on any failure.
# Then the windowless tests again, and each fuzz program for a few seconds,
# under AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/): any
# finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# No include or library link may run upward in the layering.
scripts/check_layers.py
scripts/build.sh
cd build
# GUI tests drive a software-rendered window on 2 cores; a case that misses a
# frame deadline under load gets one more try.
ctest --output-on-failure -j "$(nproc)" --repeat until-pass:2 "$@"
cd ..

# The download queue and the update worker under ThreadSanitizer: a build
# folder of its own holding only those test programs, which start the plain
# build's stand-in.
launcher=$(command -v ccache || true)
if [ ! -f build-tsan/CMakeCache.txt ]; then
  cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_FLAGS=-fsanitize=thread -DCMAKE_CXX_FLAGS=-fsanitize=thread \
    -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_CXX_COMPILER_LAUNCHER="$launcher" \
    -DABYSTO_DEVSTACK_DIR="$PWD/build" >/dev/null
fi
cmake --build build-tsan -j "$(nproc)" --target tile_queue_tests update_thread_tests >/dev/null
TSAN_OPTIONS="halt_on_error=1" build-tsan/tests/tiles/tile_queue_tests --gtest_brief=1
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" build-tsan/tests/update/update_thread_tests --gtest_brief=1

scripts/build-asan.sh
cd build-asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure -j "$(nproc)" --repeat until-pass:2 "$@"
