#!/usr/bin/env bash
# Starts the player with the demo quiz on the X display, checks that its
# window carries the demo quiz's title and writes a screenshot of it, to be
# looked at (nothing compares it pixel by pixel).
# Usage: page_screenshot.sh <program.exe> <screenshot.png> [<window title> [<arguments>...]]
# (the title defaults to the demo quiz's).
set -euo pipefail
player=$1
shot=$2
title=${3:-"Drapeaux d'Europe et d'ailleurs"}
shift $(($# < 3 ? $# : 3))
work=$(mktemp -d)
pid=""
shown=""  # the process that owns the window, which the wine launcher may not be
cleanup() {
  for p in $pid $shown; do
    if kill -0 "$p" 2>/dev/null; then kill "$p" 2>/dev/null || true; fi
  done
  rm -rf "$work"
}
trap cleanup EXIT
# A folder of its own, so no answers file of an earlier run is restored.
program=$(basename "$player")
cp "$player" "$work/$program"
cd "$work"
wine "$program" "$@" &
pid=$!

window=""
for _ in $(seq 1 120); do
  window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.5
done
if [ -z "$window" ]; then
  echo "FAIL: no visible window titled \"$title\""
  exit 1
fi
shown=$(xdotool getwindowpid "$window" 2>/dev/null || true)
sleep 2  # let the pictures and the header finish painting
mkdir -p "$(dirname "$shot")"
import -window "$window" "$shot"
colours=$(convert "$shot" -format "%k" info:)
echo "screenshot: $shot ($(identify -format "%wx%h" "$shot"), $colours colours)"
# The flags alone bring more than a dozen colours; a blank window has one or two.
if [ "$colours" -lt 12 ]; then
  echo "FAIL: the window looks empty"
  exit 1
fi
