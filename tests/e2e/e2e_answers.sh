#!/usr/bin/env bash
# End to end, what the player writes, driven by the probe (no keystrokes).
#   e2e_answers.sh players <player.exe> <video player.exe> <e2e_probe.exe>
#     content that does not decode leaves the answers file as it was; two
#     players of one clip quiz write clips of their own in the temporary
#     folder (the second's start keeps the first's), never in the current
#     directory, and leave none behind.
#   e2e_answers.sh readonly <player.exe> <e2e_probe.exe> <prefix folder>
#     in a folder that cannot be written (a read-only bind mount in a mount
#     namespace of its own, root only) the answers go to the fallback, the
#     pupil is told once, and the next start restores them. The wine server
#     runs inside the namespace (wine opens files there), on a prefix of its own.
set -euo pipefail
mode=$1
pids=()
probe() { wine probe.exe "$@" | tr -d '\r'; }
fail() { echo "FAIL: $*"; exit 1; }
wait_for() {  # wait_for <line> <probe arguments>: about 30 s at most
  local want=$1; shift
  for _ in $(seq 1 150); do
    probe "$@" 2>/dev/null | grep -qxF -- "$want" && return 0
    sleep 0.2
  done
  fail "never saw '$want' from: probe $*"
}
close_all() {  # closes every player, answering its boxes; prints their texts
  probe close
  for p in "${pids[@]}"; do
    for _ in $(seq 1 200); do
      probe boxes | grep -a '^box=' || true
      kill -0 "$p" 2>/dev/null || continue 2
      sleep 0.2
    done
    fail "a player did not end after closing"
  done
  pids=()
}

if [ "$mode" = players ]; then
  work=$(mktemp -d)
  trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
  cp "$4" "$work/probe.exe"
  cp "$3" "$work/video.exe"
  cd "$work"
  echo "== content that does not decode: the answers file stays as it was"
  cp "$2" spoilt.exe
  probe spoil spoilt.exe || fail "cannot spoil the quiz content"
  printf 'paris\r\n\r\nquatre\r\nun autre\r\n' | tee spoilt.txt >before.txt  # a save keeps 3
  wine spoilt.exe & pids+=($!)
  for _ in $(seq 1 150); do             # the loader's box comes before the window
    boxes=$(probe boxes)
    [ -n "$boxes" ] && break
    sleep 0.2
  done
  LC_ALL=C grep -aqx 'box=Erreur dans le d.cryptage des reponses' <<<"$boxes" ||
    fail "the failed load was not reported: $boxes"
  wait_for 1 windows
  [ -z "$(close_all)" ] || fail "a box was shown on closing"
  cmp -s before.txt spoilt.txt || fail "the answers file was changed: $(od -c spoilt.txt)"

  echo "== two players of one clip quiz at once"
  temp=$(winepath -u "$(wine cmd /c echo %TEMP% | tr -d '\r')")
  printf 'mien' >brelo405.AVI
  clips() { ls "$temp" | grep -cE '^brelo-[0-9]+-405\.AVI$' || true; }
  wine video.exe & pids+=($!)
  wait_for 1 windows
  probe click 6005                       # the fifth clip is the quiz's video
  for _ in $(seq 1 150); do [ "$(clips)" = 1 ] && break; sleep 0.2; done
  wine video.exe & pids+=($!)
  wait_for 2 windows
  probe click 6005                       # the first pauses, the second plays
  for _ in $(seq 1 150); do [ "$(clips)" = 2 ] && break; sleep 0.2; done
  [ "$(clips)" = 2 ] || fail "not two clip files: $(ls "$temp")"
  [ -z "$(close_all)" ] || fail "a box was shown"
  [ "$(clips)" = 0 ] || fail "clip files left after closing"
  [ "$(ls | grep -i '^brelo')" = brelo405.AVI ] && [ "$(cat brelo405.AVI)" = mien ] ||
    fail "the current directory was written: $(ls)"
  echo "e2e answers: ok"
  exit 0
fi

if [ "$mode" = readonly ]; then
  export WINEPREFIX=$4
  [ "$(id -u)" = 0 ] || { echo "skipped: a bind mount needs root"; exit 77; }
  src=$(mktemp -d)
  mnt=$(mktemp -d)
  trap 'rm -rf "$src"; rmdir "$mnt"' EXIT
  cp "$2" "$src/lecture.exe"
  cp "$3" "$src/probe.exe"
  "$(dirname "$0")/../../scripts/wine-prefix" "$WINEPREFIX"
  unshare -m bash -c "mount --make-rprivate / && mount --bind '$src' '$mnt' &&
    mount -o remount,ro,bind '$mnt' && cd '$mnt' && exec bash '$0' inside"
  exit 0
fi

# Inside the namespace, in the read-only folder.
! touch written 2>/dev/null || fail "the folder can be written"
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p
wine cmd /c exit >/dev/null 2>&1         # a new prefix is made here once (some seconds)
appdata=$(winepath -u "$(wine cmd /c echo %APPDATA% | tr -d '\r')")
rm -rf "$appdata/Brelo"
echo "== first run: typed, closed"
wine lecture.exe & pids+=($!)
wait_for "field1=" dump
probe set 1 paris
probe set 3 quatre
boxes=$(close_all)
[ "$(grep -ac . <<<"$boxes")" = 1 ] && grep -aqF 'Brelo\lecture-' <<<"$boxes" ||
  fail "one box saying where expected: $boxes"
[ "$(od -c "$appdata"/Brelo/lecture-*.txt)" = "$(printf 'paris\r\n\r\nquatre\r\n' | od -c)" ] ||
  fail "the fallback file is missing or wrong"
[ ! -e lecture.txt ] || fail "written beside the program"
echo "== second run: the answers come back from the fallback"
wine lecture.exe & pids+=($!)
wait_for "field3=quatre" dump
wait_for "field1=paris" dump
close_all >/dev/null
echo "e2e read-only folder: ok"
