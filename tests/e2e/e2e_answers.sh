#!/usr/bin/env bash
# End to end, what the player writes: the real players under wine, driven by
# the probe (no keystrokes, so nothing depends on the focus).
#  1. A player whose quiz content does not decode leaves the answers file
#     beside it byte for byte as it was when it is closed.
#  2. Two players of one video quiz play at once: each writes its clip under
#     a name of its own in the temporary folder, a file named like an old
#     clip in the current directory is untouched, and no clip is left after.
# Usage: e2e_answers.sh <player.exe> <video player.exe> <e2e_probe.exe>
set -euo pipefail
player=$1
video=$2
probe_exe=$3
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
cp "$probe_exe" "$work/probe.exe"
cd "$work"

probe() { wine probe.exe "$@" | tr -d '\r'; }
fail() { echo "FAIL: $*"; exit 1; }

# Waits (about 20 s at most) until `probe <args>` prints a line equal to $1.
wait_for() {
  local want=$1; shift
  for _ in $(seq 1 100); do
    probe "$@" 2>/dev/null | grep -qxF -- "$want" && return 0
    sleep 0.2
  done
  fail "never saw '$want' from: probe $*"
}

wait_for_exit() {
  for p in "${pids[@]}"; do
    for _ in $(seq 1 200); do kill -0 "$p" 2>/dev/null || continue 2; sleep 0.2; done
    fail "a player did not end after closing; $(probe windows) windows, boxes: $(probe boxes)"
  done
  pids=()
}

echo "== content that does not decode: the answers file stays as it was"
cp "$player" spoilt.exe
probe spoil spoilt.exe || fail "cannot spoil the quiz content"
printf 'paris\r\n\r\nquatre\r\nun autre\r\n' >spoilt.txt   # a save would keep three lines
cp spoilt.txt before.txt
wine spoilt.exe & pids+=($!)
boxes=""
for _ in $(seq 1 100); do                # the loader says so before the window shows
  boxes=$(probe boxes)
  [ -n "$boxes" ] && break
  sleep 0.2
done
LC_ALL=C grep -aq '^box=Erreur dans le d.cryptage des reponses$' <<<"$boxes" ||
  fail "the failed load was not reported: $boxes"
wait_for 1 windows
probe close                              # a box now would keep the player from ending
wait_for_exit
cmp -s before.txt spoilt.txt || { od -c spoilt.txt; fail "the answers file was changed"; }

echo "== two players of one clip quiz at once"
temp=$(winepath -u "$(wine cmd /c echo %TEMP% | tr -d '\r')")
[ -d "$temp" ] || fail "no temporary folder: $temp"
rm -f "$temp"/brelo-*-401.*
printf 'mien' >brelo401.AVI
cp "$video" video.exe
wine video.exe & pids+=($!)
wine video.exe & pids+=($!)
wait_for 2 windows
probe click 6001
clips=()
for _ in $(seq 1 50); do
  mapfile -t clips < <(ls "$temp" | grep -E '^brelo-[0-9]+-401\.AVI$' || true)
  [ ${#clips[@]} -ge 2 ] && break
  sleep 0.2
done
[ ${#clips[@]} -eq 2 ] || fail "two clip files expected, found: ${clips[*]:-none}"
[ "$(cat brelo401.AVI)" = mien ] || fail "the current directory's file was changed"
probe boxes | grep . && fail "a clip could not be played"
probe close
wait_for_exit
left=$(ls "$temp" | grep -E '^brelo-[0-9]+-401\.' || true)
[ -z "$left" ] || fail "clip files left after closing: $left"
[ "$(cat brelo401.AVI)" = mien ] || fail "the current directory's file was removed or changed"
[ "$(ls | grep -i '^brelo')" = brelo401.AVI ] || fail "a clip was written here: $(ls)"
echo "e2e answers: ok"
