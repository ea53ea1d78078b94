#!/usr/bin/env bash
# Builds Zentrova and starts it under Wine from its program folder build/run/, with the
# import wizard Skelvane.exe beside it. Without a display of its own the program gets a
# private Xvfb display, which is stopped when the program ends.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")
build=${ZENTROVA_BUILD:-$top/build}

bash "$here/build.sh"

exe=$build/bin/Zentrova.exe
if [ ! -f "$exe" ]; then
  echo "run: $exe was not built" >&2
  exit 1
fi

export WINEPREFIX=$build/wine WINEDEBUG=${WINEDEBUG:--all}
if [ -z "${DISPLAY:-}" ]; then
  source "$here/bench-env.sh"
  bench_start
  trap bench_stop EXIT
fi
# The program runs from a folder of its own, build/run/, so that what it writes (options,
# project store, progress log) leaves the shipped data files in build/bin untouched. The
# options and the project are copied once; later runs keep the user's.
run=$build/run
mkdir -p "$run"
cp -f "$exe" "$run/"
# The import wizard, which the main program starts from beside itself.
cp -f "$build/bin/Skelvane.exe" "$run/"
# The page judge, the file-wrapper library and the replacement page, which the download
# engine loads from beside the program, the report pages' converters and templates and the
# query help page come fresh from every build.
for f in Vostrel.dll Wrapper.dll replace.tif Corvella.dll Corvella6.dll Template.bmp Template2.bmp \
         HText.html; do
  cp -f "$build/bin/$f" "$run/"
done
# The recipe is the program's, never the user's: a newer shipped Download.cfg replaces the
# one in the run folder. (A recipe the program itself swapped in from NewConfig.cfg is newer
# than the build's and stays.)
if [ ! -f "$run/Download.cfg" ] || [ "$build/bin/Download.cfg" -nt "$run/Download.cfg" ]; then
  cp -f "$build/bin/Download.cfg" "$run/"
fi
for f in config2.cfg Project.cfg; do
  [ -f "$run/$f" ] || cp "$build/bin/$f" "$run/"
done
cd "$run"
wine "$run/Zentrova.exe" "$@" >"$build/zentrova.out.log" 2>&1 </dev/null
