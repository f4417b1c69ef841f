#!/usr/bin/env bash
# The home every test of a ctest run is given (HOME and the XDG folders under ROOT/home):
#   home.sh fresh ROOT  makes it anew and notes what it holds;
#   home.sh check ROOT  fails naming every file or folder a test made, changed or removed in it.
# A test that leaves its mark here would have left it in the user's home.
set -euo pipefail
mode="$1" root="$2"
listing() { (cd "$root/home" && find . -printf '%p\t%y %s %T@\n' | sort); }
case "$mode" in
fresh)
    rm -rf "$root"
    mkdir -p "$root/home/.config" "$root/home/.local/share" "$root/home/.local/state" "$root/home/.cache" "$root/run"
    chmod 700 "$root/run"
    listing >"$root/before"
    ;;
check)
    [ -f "$root/before" ] || { echo "no listing of the home from before the tests"; exit 1; }
    changed="$(diff "$root/before" <(listing) | sed -n 's/^[<>] \(.*\)\t.*/\1/p' | sort -u)" || true
    if [ -n "$changed" ]; then
        echo "the tests changed their home, $root/home:"
        sed 's/^/  /' <<<"$changed" | head -50
        exit 1
    fi
    echo "the home is as it was"
    ;;
*) echo "usage: home.sh fresh|check ROOT" >&2; exit 2 ;;
esac
