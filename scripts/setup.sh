#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Pelko needs.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-qpa-plugins
  libzip-dev zlib1g-dev zipcmp
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  zip unzip openjdk-17-jdk-headless
  xvfb xauth fonts-ipafont-gothic
  valgrind hyperfine time desktop-file-utils appstream librsvg2-bin lintian bash-completion man-db
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "setup: installing ${missing[*]}" >&2
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
