#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian bookworm, as root.
# Idempotent and quick when everything is present: no package list is fetched
# then. Steps:
#   1. the Debian packages below;
#   2. the pl_PL.UTF-8 and en_US.UTF-8 locales (Wine takes the user language
#      from LANG);
#   3. on kernels that cannot run 32-bit programs, a static i386 user-mode
#      emulator registered with binfmt_misc (tools/wine-env.sh) so that the
#      32-bit Wine can run.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake make ninja-build debootstrap g++ clang libclang-rt-14-dev pkg-config
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 binutils-mingw-w64
  mingw-w64-tools libz-mingw-w64-dev
  zlib1g-dev libgtest-dev googletest libbenchmark-dev
  unicode-data python3 locales
  wine wine32:i386 wine64 xvfb xauth imagemagick x11-utils
  librsvg2-bin fonts-dejavu-core poppler-utils
)
locales=(pl_PL.UTF-8 en_US.UTF-8)
QEMU=/opt/kreska/bin/qemu-i386
QEMU_STATE=/var/cache/kreska-qemu     # private apt state for the sid download

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: $1 (run as root)" >&2
    exit 1
  fi
}

install_packages() {
  local missing=() p
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    need_root "the i386 architecture must be added for wine32"
    dpkg --add-architecture i386
  fi
  local installed
  installed=$(dpkg-query -W -f='${binary:Package} ${Status}\n' "${packages[@]}" 2>/dev/null |
              awk '$NF == "installed" && $(NF-1) == "ok" { print $1 }')
  for p in "${packages[@]}"; do
    grep -qx -e "$p" -e "$p:amd64" <<<"$installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  need_root "missing packages: ${missing[*]}"
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

ensure_locales() {
  local missing=() l
  for l in "${locales[@]}"; do
    # locale -a spells them pl_PL.utf8
    locale -a 2>/dev/null | grep -qix "${l%.UTF-8}.utf8" || missing+=("$l")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  need_root "missing locales: ${missing[*]}"
  for l in "${missing[@]}"; do
    if grep -q "^# *$l UTF-8" /etc/locale.gen; then
      sed -i "s/^# *$l UTF-8/$l UTF-8/" /etc/locale.gen
    elif ! grep -q "^$l UTF-8" /etc/locale.gen; then
      echo "$l UTF-8" >> /etc/locale.gen
    fi
  done
  locale-gen >/dev/null
}

# A kernel runs i386 programs itself when no emulator entry is registered
# and the 32-bit Wine loader starts.
runs_32bit_natively() {
  [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Bookworm's emulator (7.2) makes a trivial 32-bit Wine program take about a
# minute here; sid's starts it in well under a second. Only its static
# qemu-i386 is taken, with apt's own verification, from a private sources
# list and state folder so the system's sources stay untouched.
install_emulator() {
  [ -x "$QEMU" ] && return 0
  runs_32bit_natively && return 0
  need_root "32-bit programs need $QEMU"
  local apt=(apt-get -qq
    -o Dir::Etc::sourcelist="$QEMU_STATE/sources.list" -o Dir::Etc::sourceparts=/dev/null
    -o Dir::State::Lists="$QEMU_STATE/lists" -o Dir::Cache="$QEMU_STATE/cache"
    -o APT::Architecture=amd64 -o APT::Architectures=amd64
    -o Acquire::Check-Valid-Until=false -o APT::Sandbox::User=root)
  echo "install-deps: fetching the i386 user-mode emulator from Debian sid"
  rm -rf "$QEMU_STATE"
  mkdir -p "$QEMU_STATE/lists/partial" "$QEMU_STATE/cache/archives/partial" "$QEMU_STATE/deb"
  echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian sid main" \
    > "$QEMU_STATE/sources.list"
  "${apt[@]}" update
  (cd "$QEMU_STATE/deb" && "${apt[@]}" download qemu-user/sid)
  dpkg -x "$QEMU_STATE"/deb/qemu-user_*.deb "$QEMU_STATE/root"
  install -D -m 755 "$QEMU_STATE/root/usr/bin/qemu-i386" "$QEMU"
  rm -rf "$QEMU_STATE/root" "$QEMU_STATE/deb" "$QEMU_STATE/cache"
  "$QEMU" --version | head -1
}

install_packages
ensure_locales
install_emulator
bash tools/wine-env.sh
