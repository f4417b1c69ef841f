# Sourced by the desktop tests: HOME and every XDG folder under the test's own folder, so
# nothing the program or its tools write lands in the user's home.
own_home() {
    export HOME="$1/home" XDG_CONFIG_HOME="$1/home/.config" XDG_DATA_HOME="$1/home/.local/share" \
        XDG_STATE_HOME="$1/home/.local/state" XDG_CACHE_HOME="$1/home/.cache" XDG_RUNTIME_DIR="$1/run"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_STATE_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
}
