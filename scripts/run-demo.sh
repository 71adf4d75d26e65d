#!/usr/bin/env bash
# Installs what is missing, builds, and starts the client.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
echo "The client is not built yet." >&2
