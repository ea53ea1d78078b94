#!/usr/bin/env bash
# Benchmark of a search of real size: a Basic Search on the shipped recipe's "European Patent
# Office" location ("siemens", which the location sends as txt = siemens and pn=EP) through
# the search pane and its real search thread (build/bin/searchbench.exe, from its own folder
# with the shipped Download.cfg), against the fixture server's OPS imitation serving the
# recorded result blocks renumbered into pages of 100 at real size (about 1.8 MB a page),
# answered at once. RESULTS (default 2000, the most OPS gives one query) sets how many
# results the server's series holds; the other arguments go to searchbench (--runs N,
# --location NAME, --terms TEXT). It prints, per page and per 100 results, the wall and the
# processor time and the stage clock's sums (lines starting BENCHMARK, see
# bench/SearchBench.cpp); it judges none of them.
#   bash bench/search_bench.sh [RESULTS] [searchbench options]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")
build=${ZENTROVA_BUILD:-$top/build}
results=2000
if [ $# -ge 1 ] && [[ $1 =~ ^[0-9]+$ ]]; then
  results=$1
  shift
fi

source "$top/tools/bench-env.sh"
bench_prepare "$top" "$build"

work=$build/bench-search
state=$work/server
rm -rf "$work"
mkdir -p "$work/program"
# The program's folder as beside Zentrova.exe: the recipe and the libraries it loads.
cp "$build/bin/searchbench.exe" "$build/bin/Download.cfg" "$build/bin/Corvella6.dll" "$build/bin/Wrapper.dll" \
   "$work/program/"

stop_all() {
  bash "$top/tools/fixture-server.sh" stop "$state" >/dev/null 2>&1 || true
  bench_stop
}
trap stop_all EXIT
bash "$top/tools/fixture-server.sh" start "$state" "$top/tests/data/web" >/dev/null
base=http://127.0.0.1:$(cat "$state/port")
python3 -c 'import sys, urllib.request; urllib.request.urlopen(sys.argv[1]).read()' \
  "$base/_series?count=$results"
echo "search_bench: $results results of each kind in the server's real series"

cd "$work/program"
ZENTROVA_SERVICE_BASE=$base bash "$top/tools/wine-exec.sh" "$work/program/searchbench.exe" "$@"
