#!/usr/bin/env bash
# Builds Zentrova and runs every test under Wine, on a private X display.
#   bash tools/test.sh [CTEST ARGS...]      e.g. -R download  or  -V
# Environment: ZENTROVA_BUILD (build folder, default build/), ZENTROVA_DEPS_CACHE.
# Everything this script starts (Xvfb, the wineserver) is stopped again, on success and on
# failure. The run fails when a test fails and when no test ran.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")
build=${ZENTROVA_BUILD:-$top/build}

export WINEPREFIX=$build/wine WINEDEBUG=${WINEDEBUG:--all}
source "$here/bench-env.sh"
trap bench_stop EXIT
bash "$here/build.sh"
bench_start

jobs=$(nproc 2>/dev/null || echo 4)
ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$jobs" "$@"
