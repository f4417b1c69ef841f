#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what the desktop reads from it.
# Usage: install.sh BUILD_DIR. Exit 77 (skipped) when the validators are missing.
set -euo pipefail
build="$1"
for tool in desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is missing (Debian: desktop-file-utils, appstream)"
        exit 77
    fi
done
dest="$(mktemp -d)"
source "$(dirname "$0")/own-home.sh"
own_home "$dest"
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
usr="$dest/usr"
id=org.tarnwick.Pagelet

for f in bin/pagelet bin/pagelet-setup share/applications/$id.desktop share/metainfo/$id.metainfo.xml; do
    [ -e "$usr/$f" ] || { echo "missing $f"; exit 1; }
done
# The memos' sound, the month files' reader and the line diff, loaded by the program from beside
# its bin folder.
for module in sound yaml diff; do
    [ -n "$(find "$usr/lib" -path "*/pagelet/libpagelet-$module.so")" ] || { echo "missing the $module module"; exit 1; }
done
for skin in default Blue Wood; do
    [ -f "$usr/share/pagelet/skins/$skin/skin.skn" ] || { echo "missing skin $skin"; exit 1; }
done
for size in 48 128 256; do
    icon="$usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    read -r w h < <(od -An -tu1 -j16 -N8 "$icon" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
    [ "$w" = "$size" ] && [ "$h" = "$size" ] || { echo "$icon is ${w}x${h}, not ${size}x${size}"; exit 1; }
done
grep -qx "Exec=pagelet --desktop" "$usr/share/applications/$id.desktop" || { echo "desktop entry does not pass --desktop"; exit 1; }
grep -q "<image>https://" "$usr/share/metainfo/$id.metainfo.xml" || { echo "metainfo has no screenshot"; exit 1; }

desktop-file-validate "$usr/share/applications/$id.desktop"
appstreamcli validate --pedantic --no-net "$usr/share/metainfo/$id.metainfo.xml"

# The installed setup takes its skins from the installed share folder, not from the sources.
out="$(XDG_CONFIG_HOME="$dest/config" "$usr/bin/pagelet-setup" --program-path "$dest/home/Pagelet")"
echo "$out" | grep -qx "skins from $usr/share/pagelet/skins" || { echo "setup took the skins elsewhere: $out"; exit 1; }
[ -f "$dest/home/Pagelet/skin/Wood/back.bmp" ] || { echo "setup installed no skins"; exit 1; }
echo "installed files are complete and valid"
