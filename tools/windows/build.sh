#!/usr/bin/env bash
# Cross-builds gyvkt.exe, gyvkt-cli.exe and the core and app test programs for 64-bit Windows
# into build/windows/, with MinGW-w64 and a Qt built for it.
# (GYVKT_QT_MINGW and GYVKT_WIN64_DEPS name them when they are elsewhere: where.sh.)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/where.sh"

# The cross compiler, Ninja, Wine (wine has the commands, wine64 the 64-bit loader) and NSIS.
"$here/tools/setup.sh" --packages-only g++-mingw-w64-x86-64-posix ninja-build wine wine64 nsis ccache
[ -x "$qt/bin/qt-cmake" ] || { echo "No Qt for MinGW at $qt (set GYVKT_QT_MINGW)" >&2; exit 1; }
[ -f "$deps/lib/libarchive_static.a" ] || { echo "No libraries for MinGW at $deps (set GYVKT_WIN64_DEPS)" >&2; exit 1; }

# The data tree is drawn by the generator of the native build, which can run here.
[ -f "$here/build/CMakeCache.txt" ] || cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$here/build" --target gyvkt-datagen -j "$(nproc)"

# ctest runs the test programs under Wine.
"$qt/bin/qt-cmake" -S "$here" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_CROSSCOMPILING_EMULATOR=wine -DGYVKT_WERROR="${GYVKT_WERROR:-OFF}" \
    -DGYVKT_WIN64_DEPS="$deps" -DGYVKT_HOST_DATAGEN="$here/build/data/gyvkt-datagen"

mapfile -t tests < <(windows_tests)
cmake --build "$out" -j "$(nproc)" --target gyvkt gyvkt-cli gyvkt-data gyvkt-translations "${tests[@]}"
