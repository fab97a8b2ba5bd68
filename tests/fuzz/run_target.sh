#!/usr/bin/env bash
# run_target.sh PROGRAM SEED_LIST SECONDS OUT_DIR [--fresh]
# Runs one libFuzzer program for SECONDS or 10 million executions
# (ABYSTO_FUZZ_RUNS), whichever comes first. Its corpus grows in OUT_DIR/corpus
# (kept between runs unless --fresh), started from the files named in SEED_LIST
# (one file or folder a line); what it finds goes to OUT_DIR/findings. Prints
# one line: name, executions, seconds, executions per second, coverage, findings.
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
# Seconds one input may take (the short runs of the test suite allow more, as
# the machine may be busy with other builds).
limit=${ABYSTO_FUZZ_TIMEOUT:-1}
findings() { find "$out/findings" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
  -o -name 'oom-*' \) | sort; }
before=$(findings)
: >"$out/log"
# A time-out is checked once more on its own: one that the input does not
# reproduce came from a busy machine, and fuzzing goes on for the time left.
start=$(date +%s)
end=$(( start + seconds ))
runs_cap=${ABYSTO_FUZZ_RUNS:-10000000}
executed() { sed -n "s/^stat::number_of_executed_units: *//p" "$out/log" | awk '{ s += $1 } END { print s + 0 }'; }
while :; do
  runs_left=$(( runs_cap - $(executed) ))
  [ "$runs_left" -ge 1 ] || break
  left=$(( end - $(date +%s) ))
  [ "$left" -ge 1 ] || left=1
  "$program" "$out/corpus" "$out/seeds" -max_total_time="$left" -runs="$runs_left" -timeout="$limit" \
    -rss_limit_mb=2048 -malloc_limit_mb=2048 -close_fd_mask=3 -print_final_stats=1 \
    -artifact_prefix="$out/findings/" >>"$out/log" 2>&1
  rc=$?
  [ "$rc" -eq 0 ] && break
  retried=0
  for f in $(comm -13 <(echo "$before") <(findings)); do
    case $(basename "$f") in timeout-*) ;; *) continue ;; esac
    if "$program" -timeout="$limit" -rss_limit_mb=2048 "$f" >/dev/null 2>&1; then
      mv "$f" "$out/findings/unconfirmed-$(basename "$f")"
      retried=1
    fi
  done
  [ "$retried" -eq 1 ] && [ "$(date +%s)" -lt "$end" ] || break
done
if [ "$rc" -ne 0 ] && [ -z "$(comm -13 <(echo "$before") <(findings))" ] && [ "$retried" -eq 1 ]; then rc=0; fi

figure() { sed -n "s/^stat::$1: *//p" "$out/log" | awk '{ s += $1 } END { if (NR) print s }'; }
runs=$(figure number_of_executed_units)
elapsed=$(( $(date +%s) - start ))
speed=$([ -n "$runs" ] && echo $(( runs / (elapsed > 0 ? elapsed : 1) )))
cov=$(grep -o 'cov: [0-9]*' "$out/log" | tail -1 | cut -d' ' -f2)
found=$(comm -13 <(echo "$before") <(findings) | grep -c . || true)
printf '%-22s %12s exec %5ss %8s exec/s %6s cov %3s finding(s)\n' "$name" "${runs:-?}" "$elapsed" "${speed:-?}" "${cov:-?}" "$found"
if [ "$rc" -ne 0 ] || [ -z "$runs" ]; then
  echo "  $name: see $out/log" >&2
  comm -13 <(echo "$before") <(findings) | sed 's/^/  /' >&2
  grep -m1 -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$out/log" >&2
  exit 1
fi
