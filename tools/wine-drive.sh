#!/usr/bin/env bash
# Maps a drive letter of the Wine prefix $WINEPREFIX to a folder of its own for a test, and
# removes the mapping again (a link in the prefix's dosdevices folder).
#   bash tools/wine-drive.sh map d: FOLDER     FOLDER is made anew, empty
#   bash tools/wine-drive.sh unmap d: FOLDER   the link and FOLDER go
# A letter that the prefix maps elsewhere is refused. A Wine server that is already running
# lists only the drives it knew at its start; the test itself makes the new letter known
# to it (DefineDosDevice).
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must be set}"
action=${1:?usage: wine-drive.sh map|unmap LETTER FOLDER}
letter=$(echo "${2:?usage: wine-drive.sh map|unmap LETTER FOLDER}" | tr '[:upper:]' '[:lower:]')
folder=${3:?usage: wine-drive.sh map|unmap LETTER FOLDER}
link=$WINEPREFIX/dosdevices/$letter
case $action in
  map)
    if [ -e "$link" ] || [ -L "$link" ]; then
      if [ "$(readlink "$link")" != "$folder" ]; then
        echo "wine-drive: $letter is already mapped to $(readlink "$link")" >&2
        exit 1
      fi
    fi
    rm -rf "$folder"
    mkdir -p "$folder"
    ln -sfn "$folder" "$link"
    ;;
  unmap)
    if [ -L "$link" ] && [ "$(readlink "$link")" = "$folder" ]; then
      rm -f "$link"
    fi
    rm -rf "$folder"
    ;;
  *)
    echo "usage: wine-drive.sh map|unmap LETTER FOLDER" >&2
    exit 2
    ;;
esac
