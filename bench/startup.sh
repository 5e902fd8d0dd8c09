#!/usr/bin/env bash
# Start-up benchmark of the player under wine, for the x86_64 and the shipped
# i686 build: the maximal picture quiz (96 questions, 800 x 600 JPEG pictures)
# and the same quiz with 3 questions, each from process start to first full
# paint, all in one run. Rows and pictures out of view wait for idle time, so
# the first should stay within 1.5 times the second.
# Usage: bench/startup.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
root=$PWD
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for preset in win64 win32; do
  build=build/$preset
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset "$preset" >/dev/null
  fi
  cmake --build "$build" --target brelo-pictures-96 brelo-pictures-3 startup_timer >/dev/null
  mkdir -p "$work/$preset"
  cp "$build"/bench/startup/{brelo-pictures-96,brelo-pictures-3,startup_timer}.exe "$work/$preset/"
done
export WINEPREFIX=$root/build/win64/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
scripts/wine-prefix "$WINEPREFIX"
cd "$work"
xvfb-run -a -s "-screen 0 1024x768x24" sh -c "
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1
  rc=0
  for preset in win64 win32; do
    for quiz in 96 3; do
      echo \"== \$preset, \$quiz pictures\"
      (cd \$preset && wine startup_timer.exe brelo-pictures-\$quiz.exe $runs) || rc=1
    done
  done
  wineserver -k
  exit \$rc" | tr -d '\r' | tee "$work/log"
awk '/^== /{name=$2" "$3} /median/{sub(",", "", name); for (i = 1; i <= NF; ++i) if ($i == "median") m[name] = $(i + 1)}
     END {for (p in m) if (p ~ / 96$/) { q = p; sub(/96$/, "3", q);
       printf "%s ratio 96/3 pictures: %.2f\n", p, m[p] / m[q] } }' "$work/log"
