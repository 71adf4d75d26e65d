#!/usr/bin/env bash
# Takes the screenshots of docs/screenshots/ (or of the folder given): the demo services on a
# fresh database, the client under xvfb-run on a used vehicle, a demonstration vehicle, a
# new-vehicle order (seen by accounting) and a customer with its other two tabs. Records are
# changed through the launcher, as the outside launcher does; tabs are clicked with xdotool.
# Needs the build (bash scripts/build.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${DRAVIK_BUILD_DIR:-$root/build}
out=$(mkdir -p "${1:-$root/docs/screenshots}" && cd "${1:-$root/docs/screenshots}" && pwd)
work=$(mktemp -d /tmp/dravik-shots.XXXXXX)
# A settings file, temporary folder and single-copy name of our own: no running client is
# disturbed, and none disturbs us.
export APPDATA=$work/appdata TEMP=$work/temp TMPDIR=$work/tmp USER=dravik-shots-$$
mkdir -p "$APPDATA" "$TEMP" "$TMPDIR"
cleanup() {
    bash "$root/scripts/demo-services.sh" stop "$work/demo" || true
    rm -rf "$work"
}
trap cleanup EXIT
bash "$root/scripts/demo-services.sh" start "$work/demo" >/dev/null

export BIN="$build/src/app" OUT="$out"
xvfb-run -a -s "-screen 0 825x600x24" bash -euc '
    "$BIN/dravik" >/dev/null 2>&1 &
    client=$!
    # Waits for the record on screen, then takes the client area.
    shot() { sleep 3; import -window root -crop 825x596+0+0 +repage "$OUT/$1.png"; }
    show() { "$BIN/dravik-launch" "$@" >/dev/null 2>&1; }
    tab() { xdotool mousemove "$1" 69 click 1; }
    shot used-vehicle
    tab 170; shot used-vehicle-equipment
    show idTVO=2 idTypeVO=3; shot demonstration-vehicle
    show idTVO=3 idTypeVO=1 idUser=3; shot new-vehicle-order
    show idTVO= idClient=1 idUser=1; shot customer
    tab 110; shot customer-vehicles
    tab 225; shot customer-purchase-plans
    kill "$client"
'
ls "$out"
