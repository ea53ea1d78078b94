#!/usr/bin/env bash
# Builds Zentrova and starts it under Wine. Without a display of its own the program gets a
# private Xvfb display, which is stopped when the program ends.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")
build=${ZENTROVA_BUILD:-$top/build}

bash "$here/build.sh"

exe=$build/bin/Zentrova.exe
if [ ! -f "$exe" ]; then
  echo "run: everything that exists is built in $build/bin; the main program Zentrova.exe is not part of the build yet, so there is nothing to start."
  exit 0
fi

export WINEPREFIX=$build/wine WINEDEBUG=${WINEDEBUG:--all}
if [ -z "${DISPLAY:-}" ]; then
  source "$here/bench-env.sh"
  bench_start
  trap bench_stop EXIT
fi
cd "$build/bin"
wine "$exe" "$@" >"$build/zentrova.out.log" 2>&1 </dev/null
