#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Idempotent: a
# machine that has everything is left alone and no package list is fetched.
set -euo pipefail

packages=(
  cmake make ninja-build debootstrap g++ clang libclang-rt-14-dev pkg-config
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 binutils-mingw-w64
  mingw-w64-tools libz-mingw-w64-dev
  zlib1g-dev libgtest-dev googletest libbenchmark-dev
  unicode-data python3
  wine wine32:i386 wine64 xvfb xauth imagemagick x11-utils
  librsvg2-bin fonts-dejavu-core poppler-utils
  fonts-wine fonts-liberation
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
