#!/usr/bin/env bash
# Installs what is missing, builds, and starts the client on the user's display against the
# server address of the settings file ($APPDATA/Dravik/TAXDravik.ini, else
# ~/.config/Dravik/TAXDravik.ini, section [Options], key BaseHRef).
#
#   bash scripts/run-demo.sh                      start the client (or raise the running one)
#   bash scripts/run-demo.sh KEY=VALUE ...        write launch keys first, e.g.
#       bash scripts/run-demo.sh BaseHRef=http://127.0.0.1:8080/dravik/ idUser=1 idTVO=1
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
bin=${DRAVIK_BUILD_DIR:-$root/build}/src/app

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: run this from a desktop session (DISPLAY or WAYLAND_DISPLAY unset)." >&2
    exit 1
fi

settings="${APPDATA:-${XDG_CONFIG_HOME:-$HOME/.config}}/Dravik/TAXDravik.ini"
if [ $# -gt 0 ]; then
    # Writes the keys, then reloads the running copy or starts a new one.
    exec "$bin/dravik-launch" "$@"
fi
if ! grep -qi '^[[:space:]]*BaseHRef[[:space:]]*=[[:space:]]*[^[:space:]]' "$settings" 2>/dev/null; then
    echo "Note: no BaseHRef in $settings; the client will show the request warning." >&2
    echo "      Give one with: bash scripts/run-demo.sh BaseHRef=http://host:port/path/" >&2
fi
exec "$bin/dravik"
