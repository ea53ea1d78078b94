#!/usr/bin/env bash
# Starts and stops the fixture web server (tools/fixture_server.py) for the tests, and runs a
# program with the service addresses pointed at it.
#   fixture-server.sh start STATEDIR DATADIR   start a server serving DATADIR; its pid, port
#                                              and log go to STATEDIR
#   fixture-server.sh stop STATEDIR            stop that server (by its pid)
#   fixture-server.sh env STATEDIR CMD...      run CMD with ZENTROVA_SERVICE_BASE naming it
# The tests' CTest fixtures call start and stop (tests/CMakeLists.txt). The server stops by
# itself when the process that started it (CTest) has gone, so an interrupted run leaves
# nothing behind. A server that does not come up fails start, loudly, with its log.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

cmd=${1:-}
state=${2:-}
[ -n "$cmd" ] && [ -n "$state" ] || { echo "usage: fixture-server.sh start|stop|env STATEDIR ..." >&2; exit 2; }

# The pid file names our server only while that process still runs the server for this
# state folder; a stale file (an earlier run, a reused pid) names nothing.
server_pid() {
  local pid
  pid=$(cat "$state/pid" 2>/dev/null) || return 1
  [ -n "$pid" ] && [ -r "/proc/$pid/cmdline" ] || return 1
  tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q "fixture_server.py .*--port-file $state/port" || return 1
  echo "$pid"
}

stop_server() {
  local pid i
  pid=$(server_pid) || { rm -f "$state/pid" "$state/port"; return 0; }
  kill -TERM "$pid" 2>/dev/null
  # A server that has ended may linger as a zombie of init: it no longer runs the server.
  for i in $(seq 1 50); do
    server_pid >/dev/null || break
    sleep 0.1
  done
  server_pid >/dev/null && kill -KILL "$pid" 2>/dev/null
  rm -f "$state/pid" "$state/port"
  echo "fixture server $pid stopped"
}

case "$cmd" in
  start)
    data=${3:?usage: fixture-server.sh start STATEDIR DATADIR}
    [ -d "$data" ] || { echo "fixture server: no data folder $data" >&2; exit 1; }
    mkdir -p "$state"
    stop_server >/dev/null
    # No terminal, no pipes: CTest must not wait for the server's output to end.
    # The server writes its own pid: python3 may be a wrapper that starts it as a child.
    python3 "$here/fixture_server.py" --data "$data" --port-file "$state/port" \
            --pid-file "$state/pid" --owner-pid "$PPID" </dev/null >"$state/server.log" 2>&1 &
    launcher=$!
    for i in $(seq 1 100); do
      [ -s "$state/port" ] && break
      kill -0 "$launcher" 2>/dev/null || break
      sleep 0.1
    done
    if [ ! -s "$state/port" ] || ! pid=$(server_pid); then
      echo "fixture server did not start; its log ($state/server.log):" >&2
      cat "$state/server.log" >&2
      stop_server >/dev/null
      kill "$launcher" 2>/dev/null
      exit 1
    fi
    echo "fixture server on 127.0.0.1:$(cat "$state/port") (pid $pid, data $data)"
    ;;
  stop)
    stop_server
    ;;
  env)
    shift 2
    if ! server_pid >/dev/null || [ ! -s "$state/port" ]; then
      echo "fixture server is not running for $state (see $state/server.log)" >&2
      exit 1
    fi
    # The program under test talks to 127.0.0.1 directly, never through a proxy.
    unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
    export ZENTROVA_SERVICE_BASE="http://127.0.0.1:$(tr -d '[:space:]' <"$state/port")"
    exec "$@"
    ;;
  *)
    echo "fixture-server.sh: unknown command $cmd" >&2
    exit 2
    ;;
esac
