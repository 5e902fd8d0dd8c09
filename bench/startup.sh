#!/usr/bin/env bash
# Start-up benchmark of the player under wine: the maximal picture quiz (96
# questions, 800 x 600 JPEG pictures), from process start to first full paint.
# Usage: bench/startup.sh [build folder of the win64 preset] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/win64}
runs=${2:-5}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset win64 -B "$build" >/dev/null
fi
cmake --build "$build" --target brelo-max startup_timer
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/bench/startup/brelo-max.exe" "$build/bench/startup/startup_timer.exe" "$work/"
export WINEPREFIX=$(cd "$build" && pwd)/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cd "$work"
xvfb-run -a -s "-screen 0 1024x768x24" sh -c "
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1
  wine startup_timer.exe brelo-max.exe $runs
  rc=\$?
  wineserver -k
  exit \$rc" | tr -d '\r'
