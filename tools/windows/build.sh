#!/usr/bin/env bash
# Cross-builds gyvkt.exe, gyvkt-cli.exe and the core and app test programs for 64-bit Windows
# into build/windows/, with MinGW-w64 and a Qt built for it.
#   GYVKT_QT_MINGW    Qt for MinGW (default: ../shared/qt6-mingw beside the repository)
#   GYVKT_WIN64_DEPS  static libsodium and libarchive for MinGW (default: ../shared/win64-deps)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
qt="${GYVKT_QT_MINGW:-$here/../shared/qt6-mingw}"
deps="${GYVKT_WIN64_DEPS:-$here/../shared/win64-deps}"
out="$here/build/windows"

"$here/tools/setup.sh" --packages-only g++-mingw-w64-x86-64-posix wine64 nsis ccache
[ -x "$qt/bin/qt-cmake" ] || { echo "No Qt for MinGW at $qt (set GYVKT_QT_MINGW)" >&2; exit 1; }

# The data tree is drawn by the generator of the native build, which can run here.
[ -f "$here/build/CMakeCache.txt" ] || cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$here/build" --target gyvkt-datagen -j "$(nproc)"

# ctest runs the test programs under Wine.
"$qt/bin/qt-cmake" -S "$here" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_CROSSCOMPILING_EMULATOR=wine \
    -DGYVKT_WIN64_DEPS="$deps" -DGYVKT_HOST_DATAGEN="$here/build/data/gyvkt-datagen"

mapfile -t tests < <(cd "$here/tests" && ls core/tst_*.cpp app/tst_*.cpp | xargs -n1 basename | sed 's/\.cpp$//')
cmake --build "$out" -j "$(nproc)" --target gyvkt gyvkt-cli gyvkt-data gyvkt-translations "${tests[@]}"
