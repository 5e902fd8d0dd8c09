#!/usr/bin/env bash
# End to end, a program in a folder that cannot be written (a CD, a share):
# the answers go to the user's fallback file, the pupil is told so once, and
# the next start restores them from there. The folder is a read-only bind
# mount in a mount namespace of its own, which vanishes with the test; the
# wine server runs inside it (wine opens files in the server), with a prefix
# of its own so no server outside the namespace can serve it.
# Usage: e2e_readonly.sh <player.exe> <e2e_probe.exe> <prefix folder>
set -euo pipefail
if [ "${1:-}" != --inside ]; then
  player=$1
  probe_exe=$2
  export WINEPREFIX=$3
  [ "$(id -u)" = 0 ] || { echo "skipped: a bind mount needs root"; exit 77; }
  src=$(mktemp -d)
  mnt=$(mktemp -d)
  trap 'rm -rf "$src"; rmdir "$mnt"' EXIT
  cp "$player" "$src/lecture.exe"
  cp "$probe_exe" "$src/probe.exe"
  mkdir -p "$WINEPREFIX"
  unshare -m bash -c "mount --make-rprivate / && mount --bind '$src' '$mnt' &&
    mount -o remount,ro,bind '$mnt' && exec bash '$0' --inside '$mnt'" ||
    exit $?
  exit 0
fi

mnt=$2
cd "$mnt"
fail() { echo "FAIL: $*"; wineserver -k 2>/dev/null || true; exit 1; }
! touch written 2>/dev/null || fail "the folder can be written"
wineserver -p
wine cmd /c exit >/dev/null 2>&1         # a new prefix is made here once (some seconds)
appdata=$(winepath -u "$(wine cmd /c echo %APPDATA% | tr -d '\r')")
rm -rf "$appdata/Brelo"

probe() { wine probe.exe "$@" | tr -d '\r'; }
pid=""
wait_for() {                             # wait_for <line> <probe args>
  local want=$1; shift
  for _ in $(seq 1 150); do
    probe "$@" 2>/dev/null | grep -qxF -- "$want" && return 0
    sleep 0.2
  done
  fail "never saw '$want' from: probe $*"
}
wait_for_exit() {
  for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.2; done
  fail "the player did not end after closing"
}
# Closes the player, answering every box it shows; prints the boxes' texts.
close_player() {
  probe close
  local shown=""
  for _ in $(seq 1 100); do
    shown+=$(probe boxes)
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  wait_for_exit
  printf '%s\n' "$shown" | grep -a '^box=' || true
}

echo "== first run: typed, closed"
wine lecture.exe & pid=$!
wait_for "field1=" dump
probe set 1 paris
probe set 3 quatre
boxes=$(close_player)
[ "$(grep -ac . <<<"$boxes")" = 1 ] || fail "one box expected, shown: $boxes"
grep -aqF 'Brelo\lecture-' <<<"$boxes" || fail "the box does not say where: $boxes"
fallback=$(ls "$appdata"/Brelo/lecture-*.txt) || fail "no fallback file"
[ "$(od -c "$fallback")" = "$(printf 'paris\r\n\r\nquatre\r\n' | od -c)" ] ||
  fail "fallback holds: $(od -c "$fallback")"
[ ! -e lecture.txt ] || fail "written beside the program"

echo "== second run: the answers come back from the fallback"
wine lecture.exe & pid=$!
wait_for "field1=paris" dump
wait_for "field3=quatre" dump
close_player >/dev/null
wineserver -k
echo "e2e read-only folder: ok"
