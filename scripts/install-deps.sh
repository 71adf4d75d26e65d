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
    qt6-translations-l10n
    xvfb xauth imagemagick poppler-utils xdotool locales
    fonts-comic-neue fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get update -q
    $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
# The users' desktops are French: the tests read amounts under that locale too.
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
    $sudo sed -i 's/^# *\(fr_FR\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^fr_FR\.UTF-8 UTF-8' /etc/locale.gen || echo 'fr_FR.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
fi
