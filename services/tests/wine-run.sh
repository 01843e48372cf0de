#!/usr/bin/env bash
# Runs a Windows program under Wine in a throwaway prefix of its own.
# Usage: wine-run.sh OS LANG PROGRAM [ARGS...]   (OS: win2k winxp vista win7 win10; LANG: en pl)
# With KRESKA_AFTER set, that command then runs in the same prefix (WINEPREFIX
# exported) and must succeed too.
# Stand-in for the shared harness while the tree does not have it.
set -uo pipefail
os=$1 lang=$2; shift 2
case $os in win2k|winxp) arch=win32 ;; *) arch=win64 ;; esac
case $lang in pl) locale=pl_PL.UTF-8 ;; *) locale=en_US.UTF-8 ;; esac
prefix=$(mktemp -d /tmp/kreska-services-XXXXXX)
export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=$locale LC_ALL=$locale
cleanup() { wineserver -k >/dev/null 2>&1; rm -rf "$prefix"; }
trap cleanup EXIT
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine' /v Version /d "$os" /f >/dev/null 2>&1
wineserver -w
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  xvfb-run -a wine "$@"
else
  wine "$@"
fi
rc=$?
if [ $rc -eq 0 ] && [ -n "${KRESKA_AFTER:-}" ]; then
  bash -c "$KRESKA_AFTER"
  rc=$?
fi
exit $rc
