#!/usr/bin/env bash
# Runs a Windows program under the project's Wine prefix and passes on its exit status.
# The program's output goes through files, never a pipe: Wine's background processes would
# inherit a pipe and keep the caller (CTest, make) waiting for ever.
#   WINEPREFIX   the prefix (created on first use); default: the build tree's wine folder
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
: "${WINEPREFIX:=${ZENTROVA_WINEPREFIX:-$PWD/wine}}"
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all} WINEARCH=win64
export ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$WINEPREFIX/asound.conf"
bash "$here/wine-prefix.sh" || exit 1

[ $# -ge 1 ] || { echo "usage: wine-exec.sh PROGRAM [ARGS...]" >&2; exit 2; }
out=$(mktemp "${TMPDIR:-/tmp}/wine-exec.XXXXXX")
err=$out.err
trap 'rm -f "$out" "$err"' EXIT
wine "$@" >"$out" 2>"$err" </dev/null
rc=$?
cat "$out"
# Wine's own chatter on stderr is dropped unless the program failed.
if [ $rc -ne 0 ]; then cat "$err" >&2; else grep -v -E '^(wine: |[0-9a-f]{4}:(err|fixme|warn):|it looks like wine32|multiarch needs|execute "dpkg|apt-get install wine32)' "$err" >&2 || true; fi
exit $rc
