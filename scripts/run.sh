#!/usr/bin/env bash
# Sets up, builds and runs the program. When no web service is configured
# (ABYSTO_TILE_SERVER, ABYSTO_WMS_URL, ABYSTO_TIDE_URL, ABYSTO_AUTH_URL,
# ABYSTO_GEOCODING_URL), a local
# demo stack plays them on 127.0.0.1 with generated tiles near Brest and the demo
# account demo@abysto3d.fr (password maree-haute): nothing reaches the internet.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh

launcher=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Pas d'écran graphique : le programme tourne sur un écran virtuel (xvfb-run)." >&2
  launcher=(xvfb-run -a -s "-screen 0 1920x1080x24")
fi

if [ -n "${ABYSTO_TILE_SERVER:-}${ABYSTO_WMS_URL:-}${ABYSTO_TIDE_URL:-}${ABYSTO_AUTH_URL:-}${ABYSTO_GEOCODING_URL:-}" ]; then
  exec "${launcher[@]}" build/abysto "$@"
fi

demo=build/demo
tiles=$demo/tuiles
if [ ! -d "$tiles" ]; then
  build/make-tiles "$tiles" 145 6839 146 6839 145 6840 146 6840 >/dev/null
fi
mkdir -p "$demo"
build/abysto-devstack --tiles "$tiles" --account demo@abysto3d.fr:maree-haute >"$demo/devstack.log" 2>&1 &
stack=$!
trap 'kill "$stack" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  port=$(sed -n 's/^port \([0-9]*\)$/\1/p' "$demo/devstack.log" | head -n 1)
  [ -n "$port" ] && break
  sleep 0.1
done
if [ -z "${port:-}" ]; then
  echo "Le service local de démonstration n'a pas démarré :" >&2
  cat "$demo/devstack.log" >&2
  exit 1
fi
export ABYSTO_TILE_SERVER="http://127.0.0.1:$port"
export ABYSTO_WMS_URL="http://127.0.0.1:$port"
export ABYSTO_TIDE_URL="http://127.0.0.1:$port"
export ABYSTO_AUTH_URL="http://127.0.0.1:$port"
export ABYSTO_GEOCODING_URL="http://127.0.0.1:$port"
echo "Démonstration : services locaux sur http://127.0.0.1:$port, dalles dans $tiles"

# Until the zone selector exists, the demo opens its tiles directly.
if [ $# -eq 0 ]; then
  set -- --open "$tiles"/*.asc
fi
"${launcher[@]}" build/abysto "$@"
