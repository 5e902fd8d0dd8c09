#!/bin/sh
# Runs a Windows test program under wine (32- or 64-bit, as the program is). ctest uses it as the
# cross-compiling emulator; the test's environment names the private prefix
# that lives in the build tree.
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-run.sh: WINEPREFIX is not set" >&2
  exit 2
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
