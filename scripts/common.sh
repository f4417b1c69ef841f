# Shared by run.sh and test.sh: install what is missing, then configure and build.

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${PAGELET_BUILD_DIR:-$root/build}"

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
    fi
}

# Arguments are CMake options (-DNAME=VALUE); a build folder made before takes them too.
configure() {
    if [ ! -f "$build/build.ninja" ]; then
        launcher=(); command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@"
    elif [ $# -gt 0 ]; then
        cmake -S "$root" -B "$build" "$@"
    fi
}
