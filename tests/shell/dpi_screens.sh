#!/usr/bin/env bash
# Runs the DPI test programs at 96, 120, 144 and 192 DPI, each on a screen of
# 1024 x 768 at that scale, and keeps one screenshot per program and DPI.
# Wine reads the DPI from its prefix's registry when the wineserver starts:
# the prefix is this test's own (no other test sees its DPI change) and its
# server is restarted for each DPI.
# Usage: dpi_screens.sh <prefix> <screenshot folder> <test program>...
set -uo pipefail
export WINEPREFIX=$1
shots=$2
shift 2
mkdir -p "$WINEPREFIX" "$shots"
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
status=0
for dpi in 96 120 144 192; do
  wineserver -k 2>/dev/null; wineserver -w
  for key in 'HKCU\Control Panel\Desktop' \
             'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  done
  wineserver -k; wineserver -w   # the next start reads the new DPI
  for program in "$@"; do
    name=$(basename "$program" .exe)
    cp "$program" "$work/$name.exe"   # no answers file of an earlier run
    echo "-- $name at $dpi DPI"
    if ! (cd "$work" && BRELO_DPI=$dpi BRELO_SHOT="$work/shot.bmp" \
          xvfb-run -a -s "-screen 0 $((1024 * dpi / 96))x$((768 * dpi / 96))x24" \
          wine "$name.exe" --gtest_color=no --gtest_brief=1); then
      status=1
    fi
    if [ -s "$work/shot.bmp" ]; then
      convert "$work/shot.bmp" "$shots/${name%_tests}-$dpi.png" && rm -f "$work/shot.bmp"
    else
      echo "FAIL: no screenshot"; status=1
    fi
  done
done
exit $status
