#!/usr/bin/env bash
# Creates and configures the Wine prefix given as $WINEPREFIX, once (later calls return at
# once). Settings: no window manager stalls (Managed=N), Verdana mapped to a free font of
# similar metrics, Wine's own fonts linked into the prefix, a null sound device, no Mono or
# Gecko installers.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must be set}"
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all} WINEARCH=win64

[ -f "$WINEPREFIX/.zentrova-ready" ] && exit 0

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$WINEPREFIX/.zentrova-ready" ] && exit 0

log=$WINEPREFIX.init.log
echo "wine-prefix: creating $WINEPREFIX" >&2
# The display is not needed to create the prefix; keep wineboot from opening windows.
WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY= wineboot -i >"$log" 2>&1 </dev/null || true
wineserver -w >>"$log" 2>&1 || true
[ -f "$WINEPREFIX/system.reg" ] || { echo "wine-prefix: wineboot failed, see $log" >&2; exit 1; }

cat >"$WINEPREFIX/zentrova.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Verdana"="DejaVu Sans"

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"mscoree"=""
"mshtml"=""
"winemenubuilder.exe"=""

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Audio"="alsa"
REG
DISPLAY= wine regedit /S 'Z:'"$(echo "$WINEPREFIX/zentrova.reg" | tr / '\\')" >>"$log" 2>&1 </dev/null
wineserver -w >>"$log" 2>&1 || true

fonts=$WINEPREFIX/drive_c/windows/Fonts
mkdir -p "$fonts"
for f in /usr/share/wine/fonts/*.ttf; do
  [ -e "$f" ] && ln -sfn "$f" "$fonts/$(basename "$f")"
done

# One sound device that accepts and drops everything.
cat >"$WINEPREFIX/asound.conf" <<'ALSA'
pcm.!default { type null }
ctl.!default { type hw card 0 }
ALSA

touch "$WINEPREFIX/.zentrova-ready"
echo "wine-prefix: ready" >&2
