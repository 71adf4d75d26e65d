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

# The keys given, over those the services wrote (section "Options" of the settings file).
if [ $# -gt 0 ]; then
    settings="${APPDATA:-${XDG_CONFIG_HOME:-$HOME/.config}}/Dravik/TAXDravik.ini"
    /usr/bin/python3 - "$settings" "$@" <<'PY'
import sys
path, pairs = sys.argv[1], [a.split("=", 1) for a in sys.argv[2:]]
lines = open(path, encoding="latin-1").read().splitlines()
keys = {k: v for k, v in pairs}
out, section, seen = [], None, set()
for line in lines:
    s = line.strip()
    if s.startswith("[") and s.endswith("]"):
        if section == "options":
            out += [f"{k}={v}" for k, v in keys.items() if k not in seen]
        section = s[1:-1].lower()
    elif section == "options" and "=" in line and line.split("=", 1)[0].strip() in keys:
        k = line.split("=", 1)[0].strip()
        seen.add(k)
        line = f"{k}={keys[k]}"
    out.append(line)
if section == "options":
    out += [f"{k}={v}" for k, v in keys.items() if k not in seen]
open(path, "w", encoding="latin-1").write("\n".join(out) + "\n")
PY
fi
"$bin/dravik"
