#!/usr/bin/env bash
# Shared by run.sh and test.sh: installs the Debian packages the build needs when they are
# missing, then configures and builds into build/.
#   tools/setup.sh                          packages, then the build
#   tools/setup.sh --packages-only [PKG...] the packages, and these extra ones, only
# GYVKT_WERROR=ON in the environment builds with warnings as errors (.ci/run does).
set -euo pipefail

# Qt's Hungarian translations make the standard dialogs speak Hungarian; poppler-utils reads
# the PDF protocols back in the tests.
PACKAGES=(cmake g++ make qt6-base-dev qt6-base-dev-tools libgl-dev libqt6opengl6-dev
          fonts-liberation2 fonts-dejavu-core qt6-translations-l10n poppler-utils
          pkg-config libsodium-dev libarchive-dev)
# lrelease compiles the program's own catalogue for what Qt's Hungarian one lacks.
PACKAGES+=(qt6-l10n-tools)
# The institution archive: libpq to build against; a PostgreSQL server the server tests start a
# throw-away cluster of, and openssl for their TLS certificates.
PACKAGES+=(libpq-dev postgresql openssl)
# The desktop suite runs the program under a virtual X server and a window manager.
PACKAGES+=(xvfb openbox xdotool x11-utils)
# Its scenarios of the child's screen need two monitors (Xorg's dummy driver, set up with xrandr),
# and read that screen back with screenshots and OCR.
PACKAGES+=(xserver-xorg-video-dummy x11-xserver-utils imagemagick tesseract-ocr)

packagesOnly=0
if [ "${1:-}" = "--packages-only" ]; then
    packagesOnly=1
    shift
    PACKAGES+=("$@")
fi

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -q
    $SUDO apt-get install -y -q "${missing[@]}"
fi
[ "$packagesOnly" -eq 1 ] && exit 0

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release -DGYVKT_WERROR="${GYVKT_WERROR:-OFF}"
cmake --build "$here/build" -j "$(nproc)"
