#!/usr/bin/env bash
# Installs what is missing, builds, starts the demo services on loopback (the reference server
# on a demo dealership, and its FTP photo folder) and the client on a demo record, on the
# user's display. Closing the client's window stops the services.
#
#   bash scripts/run-demo.sh                   the demo used vehicle, for the administrator
#   bash scripts/run-demo.sh KEY=VALUE ...     other launch keys, for example
#       idTVO=2 idTypeVO=3                     the demonstration vehicle
#       idTVO=3 idUser=3                       the new-vehicle order, seen by accounting
#       idTVO= idClient=1                      the demo customer
# While the client runs, build/src/app/dravik-launch KEY=VALUE ... shows another record.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
build=${DRAVIK_BUILD_DIR:-$root/build}
bin=$build/src/app

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: run this from a desktop session (DISPLAY or WAYLAND_DISPLAY unset)." >&2
    exit 1
fi
for arg in "$@"; do
    case "$arg" in
    *=*) ;;
    *) echo "run-demo.sh: launch keys are KEY=VALUE, not '$arg'" >&2; exit 2 ;;
    esac
done

data=${DRAVIK_DEMO_DIR:-$build/demo}
bash "$root/scripts/demo-services.sh" start "$data"
trap 'bash "$root/scripts/demo-services.sh" stop "$data"' EXIT

# The client writes its window handle into the settings file once it answers its messages.
settings="${APPDATA:-${XDG_CONFIG_HOME:-$HOME/.config}}/Dravik/TAXDravik.ini"
sed -i '/^FirstFormHandle=/d' "$settings"
"$bin/dravik" &
client=$!
# The keys given go through the launcher, as the outside launcher gives them.
if [ $# -gt 0 ]; then
    for _ in $(seq 1 100); do
        grep -q '^FirstFormHandle=' "$settings" 2>/dev/null && break
        kill -0 "$client" 2>/dev/null || break
        sleep 0.1
    done
    # Another user is logged in for the record asked for.
    keys=("$@")
    for arg in "$@"; do
        case "$arg" in
        idUser=*) keys+=("SessionKey=$(bash "$root/scripts/demo-services.sh" login "${arg#idUser=}" "$data")") ;;
        esac
    done
    "$bin/dravik-launch" "${keys[@]}"
fi
wait "$client"
