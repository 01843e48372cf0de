#!/usr/bin/env bash
# Harness post step after `services_win_test --schedule C:\restart`: restarts the prefix and
# checks that the restart deleted the file that was in use and replaced the
# target with the staged file.
set -u
dir=$WINEPREFIX/drive_c/restart
[ -e "$dir/in-use.txt" ] || { echo "in-use.txt should still exist before the restart"; exit 1; }
wineboot -r >/dev/null 2>&1
wineserver -w
fail=0
[ -e "$dir/in-use.txt" ] && { echo "in-use.txt was not deleted at the restart"; fail=1; }
[ -e "$dir/staged.txt" ] && { echo "staged.txt was not moved at the restart"; fail=1; }
[ "$(cat "$dir/target.txt" 2>/dev/null)" = new ] || { echo "target.txt was not replaced at the restart"; fail=1; }
[ $fail -eq 0 ] && echo "restart-time delete and replace carried out"
exit $fail
