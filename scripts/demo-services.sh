#!/usr/bin/env bash
# Starts the services the demo client talks to, on loopback:
#   - dravik-server on the demo dealership (a new database is created and seeded; an existing
#     one is kept with the changes made to it),
#   - an FTP server (pyftpdlib) whose folder "www/voimages" is the server's photo folder,
# then writes the launch keys into the client's settings file (section "Options").
#
#   scripts/demo-services.sh start [DATA_DIR]   (default DATA_DIR: build/demo)
#   scripts/demo-services.sh stop  [DATA_DIR]
#   scripts/demo-services.sh login USER-ID [DATA_DIR]   prints a session key of that demo user
#
# Needs the build (build/server/dravik-server, or $DRAVIK_BUILD_DIR) and python3-pyftpdlib.
# The process ids are kept in DATA_DIR/services.pid; "stop" ends exactly those processes.
# Keys written: HttpRoot, BaseHRef, idTVO, OCXName, OCXVersion, URLImages, idUser,
# UserConcession, UserSite, WhereClause, OrderClause, idClient, idTypeVO, Trace, SessionKey (the
# demo user logged in with the demo password) and the FTP settings FtpHost, FtpPort, FtpUser,
# FtpPassword, FtpGateway, and the SMS gateway of the reference server with its test recipient
# (SmsGateway, SmsTestNumber).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${DRAVIK_BUILD_DIR:-$root/build}
action=${1:-start}
if [ "$action" = login ]; then
    user=${2:?user id}
    data=${3:-$build/demo}
else
    data=${2:-$build/demo}
fi
pids="$data/services.pid"
# Debian's interpreter, which python3-pyftpdlib installs into (another python3 may come first).
python=/usr/bin/python3
[ -x "$python" ] || python=python3

stop_services() {
    [ -f "$pids" ] || return 0
    while read -r pid; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    done < "$pids"
    rm -f "$pids"
}

# Logs a demo user in (its login, the demo password) on the running server; prints the key.
login() {
    "$python" - "$data/demo.sqlite" "$1" "$(cat "$data/base" 2>/dev/null)" <<'PY'
import re, sqlite3, sys, urllib.parse, urllib.request
db, user, base = sys.argv[1:4]
login = sqlite3.connect(db).execute("SELECT Login FROM tUsers WHERE idUser = ?", (user,)).fetchone()
if not login or not base:
    sys.exit("no demo user %s or no server running" % user)
form = urllib.parse.urlencode({"Login": login[0], "Password": "dravik"}).encode()
answer = urllib.request.urlopen(base + "AxLogin", form, timeout=10).read().decode("latin-1")
key = re.search(r"<SessionKey>([0-9a-f]+)</SessionKey>", answer)
if not key:
    sys.exit("login refused: " + answer)
print(key.group(1))
PY
}

case "$action" in
stop) stop_services; exit 0 ;;
login) login "$user"; exit 0 ;;
start) ;;
*) echo "usage: $0 start|stop [DATA_DIR] | login USER-ID [DATA_DIR]" >&2; exit 2 ;;
esac

stop_services
photos="$data/ftp/www/voimages"
mkdir -p "$photos"

# The server picks a free port and prints the address it listens on.
"$build/server/dravik-server" --db "$data/demo.sqlite" --photos "$photos" --port 0 --seed demo \
    > "$data/server.log" 2>&1 &
echo $! > "$pids"
base=""
for _ in $(seq 1 300); do
    base=$(sed -n 's/^dravik-server listening on \(http:[^ ]*\)$/\1/p' "$data/server.log")
    [ -n "$base" ] && break
    kill -0 "$(head -1 "$pids")" 2>/dev/null || { cat "$data/server.log" >&2; exit 1; }
    sleep 0.1
done
[ -n "$base" ] || { echo "dravik-server did not start" >&2; exit 1; }
echo "$base" > "$data/base"
session_key=$(login 1) || { stop_services; exit 1; }

# FTP on a free loopback port; the account of the demo.
ftp_user=dravik
ftp_password=demo2009
"$python" - "$data/ftp" "$ftp_user" "$ftp_password" > "$data/ftp.log" 2>&1 <<'PY' &
import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
root, user, password = sys.argv[1:4]
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm="elradfmw")
FTPHandler.authorizer = authorizer
FTPHandler.permit_foreign_addresses = False
server = FTPServer(("127.0.0.1", 0), FTPHandler)
print("ftp port", server.address[1], flush=True)
server.serve_forever()
PY
echo $! >> "$pids"
ftp_port=""
for _ in $(seq 1 100); do
    ftp_port=$(sed -n 's/^ftp port \([0-9]*\)$/\1/p' "$data/ftp.log")
    [ -n "$ftp_port" ] && break
    sleep 0.1
done
[ -n "$ftp_port" ] || { cat "$data/ftp.log" >&2; stop_services; exit 1; }

# The launch keys, in the settings file the client reads (other keys are kept).
settings_dir="${APPDATA:-${XDG_CONFIG_HOME:-$HOME/.config}}/Dravik"
mkdir -p "$settings_dir"
"$python" - "$settings_dir/TAXDravik.ini" <<PY
import sys
path = sys.argv[1]
keys = {
    "HttpRoot": "${base}", "BaseHRef": "${base}", "idTVO": "1", "OCXName": "", "OCXVersion": "",
    "URLImages": "${base}voimages/", "idUser": "1", "UserConcession": "ZOLVARE", "UserSite": "#",
    "WhereClause": "", "OrderClause": "", "idClient": "", "idTypeVO": "1", "Trace": "1",
    "FtpHost": "127.0.0.1", "FtpPort": "${ftp_port}", "FtpUser": "${ftp_user}",
    "FtpPassword": "${ftp_password}", "FtpGateway": "", "SessionKey": "${session_key}",
    "SmsGateway": "${base}", "SmsTestNumber": "+33600000000",
}
try:
    lines = open(path, encoding="latin-1").read().splitlines()
except FileNotFoundError:
    lines = []
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
elif "options" not in [l.strip()[1:-1].lower() for l in lines if l.strip().startswith("[")]:
    out += ["[Options]"] + [f"{k}={v}" for k, v in keys.items()]
open(path, "w", encoding="latin-1").write("\n".join(out) + "\n")
PY

echo "dravik-server: $base (database $data/demo.sqlite)"
echo "FTP: ftp://$ftp_user@127.0.0.1:$ftp_port/ (www/voimages = $photos)"
echo "launch keys written to $settings_dir/TAXDravik.ini; stop with: $0 stop $data"
