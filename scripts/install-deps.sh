#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need. Idempotent:
# packages already present are not asked for again.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev libgl-dev
    libcurl4-openssl-dev libjpeg62-turbo-dev libcpp-httplib-dev libsqlite3-dev libhpdf-dev libsodium-dev
    postgresql libpq-dev
    libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev
    python3 python3-pyftpdlib
    xvfb xauth imagemagick poppler-utils xdotool
    fonts-comic-neue fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
