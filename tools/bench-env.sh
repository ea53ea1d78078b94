# Functions for running Windows programs on a private X display (source this file).
#   bench_start   starts Xvfb on a free display number and a persistent wineserver for
#                 $WINEPREFIX; exports DISPLAY
#   bench_stop    stops both again, by PID, whatever state they are in
#   bench_prepare TOP BUILD   for the scripts in bench/: builds everything (the log in
#                 BUILD/bench-build.log, shown on failure), sets WINEPREFIX, starts the
#                 display and stops it when the script exits
# Wine's windows hide without stalls because the prefix has Managed=N (tools/wine-prefix.sh).

bench_xvfb_pid=
bench_start() {
  : "${WINEPREFIX:?WINEPREFIX must be set}"
  local fd_file
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fd_file" \
       >"${WINEPREFIX}.xvfb.log" 2>&1 &
  bench_xvfb_pid=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$fd_file" ] && break
    kill -0 "$bench_xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$fd_file" ]; then
    echo "bench: Xvfb did not start (see ${WINEPREFIX}.xvfb.log)" >&2
    rm -f "$fd_file"
    return 1
  fi
  export DISPLAY=:$(tr -d '[:space:]' <"$fd_file")
  rm -f "$fd_file"
  # Keep one server alive between the test programs; one already running serves as well.
  wineserver -p >/dev/null 2>&1 </dev/null || true
  echo "bench: display $DISPLAY, wineserver for $WINEPREFIX" >&2
}

bench_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$bench_xvfb_pid" ]; then
    kill "$bench_xvfb_pid" 2>/dev/null || true
    wait "$bench_xvfb_pid" 2>/dev/null || true
    bench_xvfb_pid=
  fi
}

bench_prepare() {
  local top=$1 build=$2
  bash "$top/tools/build.sh" >"$build/bench-build.log" 2>&1 \
    || { cat "$build/bench-build.log" >&2; return 1; }
  export WINEPREFIX=$build/wine WINEDEBUG=-all
  trap bench_stop EXIT
  bench_start 2>/dev/null
}
