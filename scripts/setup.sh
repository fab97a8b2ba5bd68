#!/usr/bin/env bash
# Installs the Debian packages the project builds, runs and tests with.
# Idempotent: prints nothing when everything is already present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config ninja-build ccache
  clang libclang-rt-14-dev llvm
  libglfw3-dev libglm-dev libimgui-dev libstb-dev nlohmann-json3-dev
  libgdal-dev gdal-bin proj-data
  libcurl4-openssl-dev libssl-dev libcpp-httplib-dev
  libgtest-dev libbenchmark-dev
  python3-glad python3-jinja2
  xvfb xauth mesa-utils libgl1-mesa-dri xdotool imagemagick
  fonts-inter zenity libxml2-utils librsvg2-bin xdg-utils libx11-dev
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Paquets manquants : ${missing[*]}" >&2
  echo "Relancez ce script en root (sudo $0) pour les installer." >&2
  exit 1
fi

echo "Installation des paquets manquants : ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
