#!/usr/bin/env bash
# Builds, makes four neighbouring tiles and times the terrain load for 1, 2
# and 4 of them (GDAL read, grid, render vertices, peak memory), then times
# one frame of the 3D view on them.
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
