#!/usr/bin/env bash
# Installs the system packages Marlowin needs (when missing), then configures and builds it.
# Idempotent and non-interactive; runs as root or through sudo.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${MARLOWIN_BUILD_DIR:-$root/build}"

packages=(
    cmake g++ qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core xvfb xauth
    libreoffice-calc libreoffice-dev pkg-config libxcb1-dev openbox desktop-file-utils appstream
    file procps clang-format parallel
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    echo "Installing: ${missing[*]}"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${MARLOWIN_BUILD_TYPE:-RelWithDebInfo}" ${MARLOWIN_CMAKE_ARGS:-}
cmake --build "$build" --parallel "$(nproc)"
