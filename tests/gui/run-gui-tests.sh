#!/usr/bin/env bash
# Runs the GUI scenarios under Wine, each in a throwaway 32-bit prefix with a
# virtual desktop (so that window frames are drawn), under Xvfb when there is
# no display. Screenshots land in BUILD/screenshots as BMP and PNG.
#
#   [KRESKA_INSTALLER=EXE] run-gui-tests.sh WIN32_BUILD_DIR [SCENARIO ...]
set -uo pipefail

build=$(cd "$1" && pwd); shift
scenarios=("$@")
[ ${#scenarios[@]} -gt 0 ] || scenarios=(navigate language close second escape installed)
driver=$build/tests/gui/gui_driver.exe
installer=${KRESKA_INSTALLER:-$build/core/kreska-setup.exe}
shots=$build/screenshots
mkdir -p "$shots"

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "${scenarios[@]}"
fi

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=${WINEARCH:-win32}
failed=0
for scenario in "${scenarios[@]}"; do
  prefix=$(mktemp -d /tmp/kreska-gui-XXXXXX)
  export WINEPREFIX=$prefix
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  wineserver -k  # the desktop is chosen when the next session starts
  # The installed state is shown by the host the driver knows it from.
  host=$installer args=()
  [ "$scenario" = installed ] && host=$build/tests/gui/installed_host.exe args=(--installed)
  timeout 180 wine "$driver" "$scenario" "$host" 'Z:'"${shots//\//\\}" "${args[@]}"
  rc=$?
  echo "gui scenario $scenario: exit $rc"
  [ $rc -eq 0 ] || failed=1
  wineserver -k
  rm -rf "$prefix"
done
for bmp in "$shots"/*.bmp; do
  [ -e "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png"
done
exit $failed
