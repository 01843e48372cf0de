#!/usr/bin/env bash
# Makes sure this machine can start 32-bit Wine. Kernels built without 32-bit
# support refuse i386 ELF programs ("Exec format error"); there the static
# user-mode emulator that tools/install-deps.sh put in /opt/kreska runs them
# through binfmt_misc. The registration does not survive a reboot, so the
# harness and `make run` call this before every use. Registering needs root.
set -euo pipefail

QEMU=/opt/kreska/bin/qemu-i386
BINFMT=/proc/sys/fs/binfmt_misc
ENTRY=$BINFMT/qemu-i386
PROBE=/usr/lib/wine/wine          # the 32-bit Wine loader (wine32:i386)

registered_to_us() {
  [ -r "$ENTRY" ] && grep -qx enabled "$ENTRY" && grep -qx "interpreter $QEMU" "$ENTRY"
}

# Fast path: already set up, or a kernel that runs 32-bit programs itself.
if registered_to_us; then exit 0; fi
if [ ! -e "$ENTRY" ] && "$PROBE" --version >/dev/null 2>&1; then exit 0; fi

if [ ! -x "$QEMU" ]; then
  echo "wine-env: 32-bit programs cannot run here and $QEMU is missing (run tools/install-deps.sh)" >&2
  exit 1
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "wine-env: registering $QEMU with binfmt_misc needs root" >&2
  exit 1
fi
if [ ! -e "$BINFMT/register" ]; then
  mount -t binfmt_misc binfmt_misc "$BINFMT"
fi
# An entry of that name with another interpreter is replaced by ours.
if [ -e "$ENTRY" ]; then
  echo -1 > "$ENTRY"
fi
# i386 ELF executables and shared objects; F opens the interpreter now, so it
# works inside any mount namespace later.
printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$QEMU"':F' \
  > "$BINFMT/register"

if ! "$PROBE" --version >/dev/null 2>&1; then
  echo "wine-env: $PROBE still cannot run after registering $QEMU" >&2
  exit 1
fi
