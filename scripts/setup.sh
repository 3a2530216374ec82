#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Pelko needs.
# With --windows, also what the Windows build needs: the mingw-w64 cross
# compiler, zlib for it, wine, GoogleTest's sources, and libzip built from
# Debian's own source package into the Windows build tree.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail
cd "$(dirname "$0")/.."

windows=no
for arg in "$@"; do
  case "$arg" in
    --windows) windows=yes ;;
    *) echo "usage: $0 [--windows]" >&2; exit 2 ;;
  esac
done

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
WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine64
  googletest dpkg-dev
)
if [ "$windows" = yes ]; then
  PACKAGES+=("${WINDOWS_PACKAGES[@]}")
fi

# One query for all: the names of those installed.
installed=" $(dpkg-query -W -f='${Package} ${Status}\n' "${PACKAGES[@]}" 2>/dev/null \
  | awk '/ install ok installed$/ { printf "%s ", $1 }' || true)"
missing=()
for p in "${PACKAGES[@]}"; do
  case "$installed" in
    *" $p "*) ;;
    *) missing+=("$p") ;;
  esac
done

if [ ${#missing[@]} -ne 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  # Other builds on the machine may hold apt's locks for a while: wait for them.
  APT=($SUDO apt-get -o DPkg::Lock::Timeout=600)
  echo "setup: installing ${missing[*]}" >&2
  "${APT[@]}" update -qq
  DEBIAN_FRONTEND=noninteractive "${APT[@]}" install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

if [ "$windows" = yes ]; then
  bash scripts/windows/libzip.sh out-windows/deps
fi
