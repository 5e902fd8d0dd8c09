#!/usr/bin/env bash
# End to end: the real player with a three-question quiz, under wine on an X
# display. Real keystrokes and clicks (xdotool) type answers, Tab, Enter, F1
# and F2; the window is closed; the answers file is compared byte for byte;
# the player is started again and must show the answers and verdicts back.
# Usage: e2e_player.sh <player.exe> <e2e_probe.exe>
set -euo pipefail
player=$1
probe_exe=$2
work=$(mktemp -d)
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
cp "$player" "$work/e2e.exe"
cp "$probe_exe" "$work/probe.exe"
cd "$work"

probe() { wine probe.exe "$@" | tr -d '\r'; }

start_player() {
  wine e2e.exe &
  pid=$!
}

# Waits until the player shows every "name=text" given (about 20 s at most:
# a first start under wine is slow).
expect() {
  local dump="" missing=""
  for _ in $(seq 1 40); do
    dump=$(probe dump || true)
    missing=""
    for want in "$@"; do
      grep -qxF -- "$want" <<<"$dump" || missing="$missing [$want]"
    done
    [ -z "$missing" ] && return 0
    sleep 0.2
  done
  echo "FAIL: the player does not show:$missing"
  echo "it shows:"; echo "$dump"
  exit 1
}

keys() { xdotool key --delay 80 "$@"; sleep 0.3; }
type_text() { xdotool type --delay 80 "$1"; sleep 0.3; }

wait_for_exit() {
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || { pid=""; return 0; }
    sleep 0.2
  done
  echo "FAIL: the player did not end after closing"
  exit 1
}

expect_file() {  # expect_file <printf format of the whole file>
  local want
  want=$(mktemp)
  printf "$1" >"$want"
  if ! cmp -s "$want" e2e.txt; then
    echo "FAIL: answers file differs"
    echo "want:"; od -c "$want"
    echo "got:"; od -c e2e.txt 2>/dev/null || echo "(no file)"
    exit 1
  fi
  rm -f "$want"
}

echo "== first run: no answers file"
start_player
expect "label1=?" "label2=?" "label3=?" "score= 0 / 3" "code="

expect "focus=4001"                    # typing can start at once
xdotool search --sync --onlyvisible --name "Brelo bout en bout" windowfocus --sync
type_text "paris"
expect "label1=?"                      # typing alone judges nothing
keys Tab                               # leaving the field judges it
expect "label1=BRAVO" "focus=4002" "score= 1 / 3" "code=UN"

type_text "bleus"
keys Return                            # Enter released judges, the focus stays
expect "label2=Quasiment" "field2=bleus" "focus=4002"

keys F1                                # copies into every unsolved field
expect "field1=paris" "field3=bleus" "label3=FAUX" "focus=4002"

keys Tab
type_text "quatre"
keys Return
expect "label3=BRAVO" "score= 2 / 3" "code=DEUX"

keys F2                                # saves without leaving the field
expect "focus=4003"
expect_file 'paris\r\nbleus\r\nquatre\r\n'

keys shift+Tab
type_text "bleu"                       # not judged yet: closing saves it anyway
probe close
wait_for_exit
expect_file 'paris\r\nbleu\r\nquatre\r\n'

echo "== second run: the answers come back, judged"
start_player
expect "field1=paris" "field2=bleu" "field3=quatre" \
       "label1=BRAVO" "label2=BRAVO" "label3=BRAVO" "score= 3 / 3" "code=TROIS"
probe close
wait_for_exit
expect_file 'paris\r\nbleu\r\nquatre\r\n'
echo "e2e: ok"
