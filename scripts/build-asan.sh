#!/usr/bin/env bash
# Builds the sanitizer build into build-asan/ with clang: the windowless test
# programs and the fuzz programs, under AddressSanitizer and
# UndefinedBehaviorSanitizer (scripts/test.sh and scripts/fuzz.sh run them).
# Tests that need the stand-in start the plain build's (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build-asan/CMakeCache.txt ]; then
  launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DABYSTO_SANITIZE=ON -DABYSTO_DEVSTACK_DIR="$PWD/build" "${launcher[@]}" >/dev/null
fi
cmake --build build-asan -j "$(nproc)" --target windowless_tests fuzz_targets
