#!/usr/bin/env bash
# idle_cpu.sh PROGRAM TILE: processor time (user + system) the program uses
# over 10 idle seconds in the 3D view (--open TILE) and on the start screen,
# with frames on demand and, as the baseline, drawn at full rate
# (ABYSTO_DRAW_EVERY_FRAME=1). Every service points at a closed local port.
# Needs a display.
set -euo pipefail
program=$1 tile=$2
closed="http://127.0.0.1:9"
ticks=$(getconf CLK_TCK)

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# measure NAME EVERY LOGLINE ARGS...: seconds of processor time over 10 s once LOGLINE is logged.
measure() {
  local name=$1 every=$2 line=$3; shift 3
  local home; home=$(mktemp -d)
  LOCALAPPDATA="$home" HOME="$home" ABYSTO_DRAW_EVERY_FRAME="$every" ABYSTO_WMS_URL="$closed" \
    ABYSTO_TIDE_URL="$closed" ABYSTO_TILE_SERVER="$closed" ABYSTO_UPDATE_URL="$closed" ABYSTO_AUTH_URL="$closed" \
    ABYSTO_GEOCODING_URL="$closed" "$program" "$@" >"$home/out.txt" 2>&1 &
  local pid=$!
  for _ in $(seq 1200); do
    grep -qF "$line" "$home/Abysto/logs/abysto.log" 2>/dev/null && break
    sleep 0.1
  done
  sleep 3
  local before; before=$(cpu_ticks "$pid")
  sleep 10
  local after; after=$(cpu_ticks "$pid")
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  rm -rf "$home"
  awk -v n="$name" -v t="$((after - before))" -v hz="$ticks" \
    'BEGIN { printf "%-34s %6.2f s de processeur en 10 s (%5.1f %% d\047un cœur)\n", n, t / hz, 10 * t / hz }'
}

echo "Temps processeur au repos, 10 s :"
measure "vue 3D, images à la demande" 0 "Exagération verticale : x1" --open "$tile"
measure "vue 3D, chaque image (base)" 1 "Exagération verticale : x1" --open "$tile"
measure "écran d'accueil, à la demande" 0 "disponible(s) au total."
measure "écran d'accueil, chaque image" 1 "disponible(s) au total."
