#!/usr/bin/env bash
# Installs what is missing, builds, and starts gyermek VKT.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/tools/setup.sh"
exec "$here/build/bin/gyvkt" "$@"
