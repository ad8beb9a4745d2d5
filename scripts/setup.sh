#!/usr/bin/env bash
# Installs the Debian packages the build needs, and only those that are missing. Safe to run again.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    libzip-dev libpugixml-dev nettle-dev
    qt6-base-dev fonts-liberation poppler-utils locales
    libcups2-dev cups cups-client printer-driver-cups-pdf
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
# The printing tests run a scheduler of their own (scripts/cups.sh): installing CUPS must not
# start the system's one. Where no policy says otherwise, services stay down during the install.
policy=/usr/sbin/policy-rc.d
if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null
    $sudo chmod +x "$policy"
    trap '$sudo rm -f "$policy"' EXIT
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
