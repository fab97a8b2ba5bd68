#!/usr/bin/env bash
# run_target.sh PROGRAM SEED_LIST SECONDS OUT_DIR [--fresh]
# Runs one libFuzzer program for SECONDS. Its corpus grows in OUT_DIR/corpus
# (kept between runs unless --fresh), started from the files named in SEED_LIST
# (one file or folder a line); what it finds goes to OUT_DIR/findings. Prints
# one line: name, executions, executions per second, coverage, findings.
# Exits non-zero when the program found something or did not run.
set -uo pipefail
program=$1 seeds=$2 seconds=$3 out=$4
name=$(basename "$program")
[ "${5:-}" = "--fresh" ] && rm -rf "$out"
mkdir -p "$out/corpus" "$out/seeds" "$out/findings"

# Seeds: small regular files only, so that the fuzzer stays fast.
while IFS= read -r seed; do
  [ -n "$seed" ] && [ -e "$seed" ] || continue
  find "$seed" -type f -size -256k -print0 | while IFS= read -r -d '' f; do
    cp -n "$f" "$out/seeds/$(printf '%s' "$f" | md5sum | cut -c1-16)_$(basename "$f")" 2>/dev/null
  done
done < "$seeds"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$program" "$out/corpus" "$out/seeds" -max_total_time="$seconds" -timeout=1 \
  -rss_limit_mb=2048 -malloc_limit_mb=2048 -close_fd_mask=3 -print_final_stats=1 \
  -artifact_prefix="$out/findings/" >"$out/log" 2>&1
rc=$?

figure() { sed -n "s/^stat::$1: *//p" "$out/log" | tail -1; }
runs=$(figure number_of_executed_units)
speed=$(figure average_exec_per_sec)
cov=$(grep -o 'cov: [0-9]*' "$out/log" | tail -1 | cut -d' ' -f2)
found=$(find "$out/findings" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
  -o -name 'oom-*' \) | wc -l)
printf '%-22s %12s exec %8s exec/s %6s cov %3s finding(s)\n' "$name" "${runs:-?}" "${speed:-?}" "${cov:-?}" "$found"
if [ "$rc" -ne 0 ] || [ -z "$runs" ]; then
  echo "  $name: see $out/log" >&2
  grep -m1 -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$out/log" >&2
  exit 1
fi
