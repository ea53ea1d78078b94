#!/usr/bin/env bash
# Creates and configures the Wine prefix given as $WINEPREFIX, once (later calls return at
# once). Settings: no window manager stalls (Managed=N), Verdana mapped to a free font of
# similar metrics, Wine's own fonts linked into the prefix, a null sound device, no Mono or
# Gecko installers, and the drive z: (the whole Linux file system) marked as a network drive:
# it is the host's file system, not a local disk of the Windows computer, and the import
# wizard's scan of the local drives leaves it alone. A prefix made before that last setting
# gets it at the next call.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must be set}"
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all} WINEARCH=win64

ready() { [ -f "$WINEPREFIX/.zentrova-ready" ] && [ -f "$WINEPREFIX/.zentrova-drives" ]; }
ready && exit 0

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
ready && exit 0

log=$WINEPREFIX.init.log

# The drive types are read when the Wine server starts: the setting counts from the next start.
mark_drives() {
  cat >"$WINEPREFIX/zentrova-drives.reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Wine\Drives]
"z:"="network"
REG
  DISPLAY= wine regedit /S 'Z:'"$(echo "$WINEPREFIX/zentrova-drives.reg" | tr / '\\')" >>"$log" 2>&1 </dev/null
  wineserver -w >>"$log" 2>&1 || true
  touch "$WINEPREFIX/.zentrova-drives"
}
if [ -f "$WINEPREFIX/.zentrova-ready" ]; then
  mark_drives
  exit 0
fi

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

mark_drives
touch "$WINEPREFIX/.zentrova-ready"
echo "wine-prefix: ready" >&2
