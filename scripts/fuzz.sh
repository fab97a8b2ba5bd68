#!/usr/bin/env bash
# scripts/fuzz.sh [SECONDS] [NAME...]: builds the sanitizer build and runs every
# fuzz program (or those named) for SECONDS each (default 60), two at a time,
# under AddressSanitizer and UndefinedBehaviorSanitizer. Corpora and findings
# (crash-*, leak-*, timeout-*, oom-* reproducers) are kept across runs in
# ABYSTO_FUZZ_DIR (default ~/.cache/abysto-fuzz), outside the source tree.
# Prints per program: executions, executions per second, coverage, findings.
# Exits non-zero when something was found.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
out=${ABYSTO_FUZZ_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/abysto-fuzz}
scripts/setup.sh
scripts/build-asan.sh >/dev/null

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for list in build-asan/fuzz/*.seeds; do names+=("$(basename "$list" .seeds)"); done
fi
echo "Corpus et trouvailles : $out"
printf '%s\n' "${names[@]}" | xargs -P 2 -I{} tests/fuzz/run_target.sh \
  "build-asan/fuzz/fuzz-{}" "build-asan/fuzz/{}.seeds" "$seconds" "$out/{}"
