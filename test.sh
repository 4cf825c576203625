#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; exits non-zero on any failure.
# GYVKT_WERROR=ON in the environment builds with warnings as errors.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/tools/setup.sh"
cd "$here/build"
ctest --output-on-failure -j "$(nproc)"
