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

# Window names and tests in a named language need its locale generated; Debian ships none.
ensure_locales() {
    local missing=()
    for l in "$@"; do
        locale -a 2>/dev/null | grep -qix "${l/UTF-8/utf8}" || missing+=("$l")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        for l in "${missing[@]}"; do
            grep -qx "$l UTF-8" /etc/locale.gen 2>/dev/null ||
                echo "$l UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
        done
        as_root locale-gen >/dev/null
    fi
}

# Splits the arguments into cmake_args (those of the form -DNAME=VALUE) and ctest_args (the rest).
split_args() {
    cmake_args=()
    ctest_args=()
    for arg in "$@"; do
        case "$arg" in
            -D?*=*) cmake_args+=("$arg") ;;
            *) ctest_args+=("$arg") ;;
        esac
    done
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
