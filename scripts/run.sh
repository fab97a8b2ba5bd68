#!/usr/bin/env bash
# Sets up, builds and runs the program. When no web service is configured
# (ABYSTO_TILE_SERVER, ABYSTO_WMS_URL, ABYSTO_TIDE_URL, ABYSTO_AUTH_URL,
# ABYSTO_UPDATE_URL, ABYSTO_GEOCODING_URL), a local demo stack plays them on
# 127.0.0.1 with generated tiles near Brest, the demo account demo@abysto3d.fr
# (password maree-haute) and an update to a newer version, signed with a key
# made for the demo (ABYSTO_DEMO_UPDATE=0: no update offered): nothing reaches
# the internet.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh

launcher=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Pas d'écran graphique : le programme tourne sur un écran virtuel (xvfb-run)." >&2
  launcher=(xvfb-run -a -s "-screen 0 1920x1080x24")
fi

if [ -n "${ABYSTO_TILE_SERVER:-}${ABYSTO_WMS_URL:-}${ABYSTO_TIDE_URL:-}${ABYSTO_AUTH_URL:-}${ABYSTO_UPDATE_URL:-}${ABYSTO_GEOCODING_URL:-}" ]; then
  exec "${launcher[@]}" build/abysto "$@"
fi

demo=build/demo
tiles=$demo/tuiles
if [ ! -d "$tiles" ]; then
  build/make-tiles "$tiles" 145 6839 146 6839 145 6840 146 6840 >/dev/null
fi
mkdir -p "$demo"

# The demo's update: a stand-in installer that only says it ran, signed like a
# release but with a key of the demo's own, which development builds trust
# through ABYSTO_DEV_UPDATE_KEY_FILE.
update_args=()
if [ "${ABYSTO_DEMO_UPDATE:-1}" != 0 ]; then
  updates=$demo/mise-a-jour
  mkdir -p "$updates"
  if [ ! -f "$demo/cle-demo.pem" ]; then
    build/sign-update keygen "$demo/cle-demo.pem" >"$demo/cle-demo.pub"
  fi
  installer=$updates/abysto-1.1.0-linux-x64.run
  printf '#!/bin/sh\necho "Installeur de démonstration lancé avec : $*"\n' >"$installer"
  printf 'Démonstration de la mise à jour signée.\nAucun changement réel.\n' >"$updates/changelog.txt"
  build/sign-update sign --key "$demo/cle-demo.pem" --file "$installer" --version 1.1.0 --min-supported 1.0.0 \
    --rollout 100 --changelog "$updates/changelog.txt" --out "$updates/manifest.json"
  update_args=(--update-manifest "$updates/manifest.json" --update-file "$installer")
  export ABYSTO_DEV_UPDATE_KEY_FILE="$demo/cle-demo.pub"
fi
build/abysto-devstack --tiles "$tiles" --account demo@abysto3d.fr:maree-haute "${update_args[@]}" \
  >"$demo/devstack.log" 2>&1 &
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
export ABYSTO_UPDATE_URL="http://127.0.0.1:$port"
export ABYSTO_GEOCODING_URL="http://127.0.0.1:$port"
echo "Démonstration : services locaux sur http://127.0.0.1:$port, dalles dans $tiles"

echo "Compte de démonstration : demo@abysto3d.fr, mot de passe maree-haute ; cherchez « Brest »."
"${launcher[@]}" build/abysto "$@"
