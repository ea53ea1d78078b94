#!/usr/bin/env bash
# Saves the whole X screen of $DISPLAY (the bench's Xvfb) as a PNG file, for reviews.
#   DISPLAY=:99 bash tools/screenshot.sh OUT.png
# Window tests call it through testsupport::SaveScreenshot.
set -euo pipefail
# Started from a Windows program under Wine, PATH may hold Windows folders only.
export PATH=/usr/local/bin:/usr/bin:/bin:${PATH:-}
out=${1:?usage: screenshot.sh OUT.png}
: "${DISPLAY:?DISPLAY must name the X display}"
mkdir -p "$(dirname "$out")"
tmp=$(mktemp "${TMPDIR:-/tmp}/screenshot.XXXXXX.xwd")
trap 'rm -f "$tmp"' EXIT
xwd -root -silent -display "$DISPLAY" -out "$tmp"
# Written under another name and moved: the file appears complete or not at all.
convert "xwd:$tmp" "png:$out.part"
mv -f "$out.part" "$out"
