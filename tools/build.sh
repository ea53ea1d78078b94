#!/usr/bin/env bash
# Installs what is missing, builds the dependencies once, then configures and builds
# Zentrova into build/ (or $ZENTROVA_BUILD). Programs land in build/bin/.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")
build=${ZENTROVA_BUILD:-$top/build}

deps=$(bash "$here/bootstrap.sh" | tail -n 1)
mkdir -p "$build"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/mingw64.cmake" \
      -DZENTROVA_DEPS="$deps" >"$build/configure.log" 2>&1 \
  || { cat "$build/configure.log" >&2; exit 1; }
WINEPREFIX=$build/wine bash "$here/wine-prefix.sh"
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 4)"
