#!/usr/bin/env bash
# `make run`: copies the installer into dist/ and starts it under Wine in the
# project's own 32-bit prefix .wine/ (created on first use). Without a display
# it runs on a private Xvfb server whose number is printed.
set -euo pipefail
cd "$(dirname "$0")/.."

path_file=build/win32/installer-path.txt
if [ ! -f "$path_file" ] || [ ! -f "$(cat "$path_file")" ]; then
  echo "run: the installer kreska-setup.exe has not been built: the build has no kreska-setup target yet" >&2
  exit 1
fi
mkdir -p dist
cp "$(cat "$path_file")" dist/kreska-setup.exe
echo "run: the installer is $(pwd)/dist/kreska-setup.exe"

bash tools/wine-env.sh
export WINEPREFIX="$(pwd)/.wine" WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

xvfb_pid=
cleanup() {
  wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & echo "pid $!")
  read -r _ xvfb_pid <&3
  read -r number <&3
  export DISPLAY=":$number"
  echo "run: no display; running on Xvfb $DISPLAY (screenshot: DISPLAY=$DISPLAY import -window root shot.png)"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "run: creating the Wine prefix $WINEPREFIX (once)"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
echo "run: starting dist/kreska-setup.exe in $WINEPREFIX"
set +e
wine dist/kreska-setup.exe "$@"
code=$?
echo "run: kreska-setup.exe ended with exit code $code"
exit $code
