#!/usr/bin/env bash
# Builds, makes four neighbouring tiles and times the terrain load for 1, 2
# and 4 of them (GDAL read, grid, render vertices, peak memory), then times
# one frame of the 3D view on them and the idle cost of the program; then a verified tile download next to curl
# and the parse and merge of a 1,500-tile catalogue.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/make-tiles "$work" 145 6839 146 6839 145 6838 146 6838 >/dev/null
name() { echo "$work/LITTO3D_FRA_0$1_$2_MNT1M_2021_LAMB93_RGF93_IGN69.asc"; }
build/bench/terrain-load-bench "$(name 145 6839)" "$(name 146 6839)" "$(name 145 6838)" "$(name 146 6838)"

# One frame of the 3D view on the four tiles, with 100 markers and its windows,
# next to an empty frame; on a private virtual screen.
tests/support/with_xvfb.sh build/bench/view-frame-bench \
  "$(name 145 6839)" "$(name 146 6839)" "$(name 145 6838)" "$(name 146 6838)"

# The processor time of 10 idle seconds in the 3D view and on the start screen,
# frames on demand against frames at full rate.
tests/support/with_xvfb.sh bench/idle_cpu.sh build/abysto "$(name 145 6839)"

# A verified tile download next to the curl command line on the same file, and
# the parse and merge of a 1,500-tile catalogue, against two local stand-ins.
start_stack() {
  local log=$1; shift
  build/abysto-devstack --account bench@abysto.test:banc-essai "$@" >"$log" 2>&1 &
  stacks+=($!)
}
stacks=()
trap 'kill "${stacks[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
start_stack "$work/big.log" --catalog-tiles 145,6839,1,1 --tile-cells 3000
start_stack "$work/wide.log" --catalog-tiles 100,6800,50,30 --tile-cells 10
start_stack "$work/brest.log" --tile-cells 1000
port_of() {
  for _ in $(seq 100); do
    p=$(sed -n 's/^port \([0-9]*\)$/\1/p' "$1" | head -n 1)
    [ -n "$p" ] && { echo "$p"; return; }
    sleep 0.1
  done
}
build/bench/tile-download-bench "http://127.0.0.1:$(port_of "$work/big.log")" "http://127.0.0.1:$(port_of "$work/wide.log")"

# The start screen's frame on the map of Brest, idle and with three downloads
# running, and the time from "Explorer" to the first 3D frame for the four tiles.
tests/support/with_xvfb.sh build/bench/start-screen-bench "http://127.0.0.1:$(port_of "$work/brest.log")" \
  "$(name 145 6839)" "$(name 146 6839)" "$(name 145 6838)" "$(name 146 6838)"
