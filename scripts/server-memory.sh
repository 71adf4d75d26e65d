#!/usr/bin/env bash
# Resident memory of dravik-server around bursts of large requests, on loopback: five rounds of
# 16 clients each sending a 600 KB query and a 16 MB upload body, then one second of rest.
#   server-memory.sh [PATH-TO-dravik-server]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/server/dravik-server}
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/photos"
"$exe" --db "$work/db.sqlite" --port 0 --photos "$work/photos" --seed demo >"$work/out" &
pid=$!
for _ in $(seq 50); do grep -q listening "$work/out" 2>/dev/null && break; sleep 0.1; done
port=$(sed -n 's/.*127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/out")
python3 - "$port" "$pid" <<'PY'
import socket, sys, threading, time
port, pid = int(sys.argv[1]), sys.argv[2]

def rss():
    for line in open(f"/proc/{pid}/status"):
        if line.startswith("VmRSS"):
            return int(line.split()[1]) // 1024
    return -1

def send(data):
    s = socket.create_connection(("127.0.0.1", port))
    s.settimeout(30)
    try:
        s.sendall(data)
        while s.recv(65536):
            pass
    except OSError:
        pass
    s.close()

query = b"GET /AxQuery?XMLC_OutputFormat=XML&SQL=select%20'" + b"x" * 600000 + \
        b"'%20as%20v%20from%20tVehicles HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"
body = b"--zz\r\nContent-Disposition: form-data; name=\"File\"; filename=\"a.jpg\"\r\n\r\n" + \
       b"x" * (16 * 1024 * 1024 - 200) + b"\r\n--zz--\r\n"
upload = b"POST /AxInsert HTTP/1.1\r\nHost: x\r\nConnection: close\r\n" \
         b"Content-Type: multipart/form-data; boundary=zz\r\nContent-Length: " + \
         str(len(body)).encode() + b"\r\n\r\n" + body
print(f"start: {rss()} MB")
for round in range(1, 6):
    peak = 0
    threads = [threading.Thread(target=send, args=(d,)) for d in (query, upload) for _ in range(16)]
    for t in threads:
        t.start()
    while any(t.is_alive() for t in threads):
        peak = max(peak, rss())
        time.sleep(0.05)
    time.sleep(1)
    print(f"round {round}: peak {peak} MB, after rest {rss()} MB")
PY
