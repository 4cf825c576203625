# Sourced by build.sh and test.sh: where the repository, the MinGW Qt and libraries and the
# Windows build are.
#   GYVKT_QT_MINGW    Qt for MinGW (default: shared/qt6-mingw in the repository's folder or
#                     the nearest folder above it that has one, as ../shared beside a clone)
#   GYVKT_WIN64_DEPS  static libsodium and libarchive for MinGW (default: shared/win64-deps,
#                     found the same way)
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="$here/build/windows"

shared_beside() { # NAME: shared/NAME in the nearest folder above the repository that has it
    local dir=$here
    while [ "$dir" != / ]; do
        dir=$(dirname "$dir")
        [ -d "$dir/shared/$1" ] && { echo "$dir/shared/$1"; return; }
    done
    echo "$(dirname "$here")/shared/$1"
}
qt="${GYVKT_QT_MINGW:-$(shared_beside qt6-mingw)}"
deps="${GYVKT_WIN64_DEPS:-$(shared_beside win64-deps)}"

# The test programs built for Windows and run under Wine: the core and app ones (the widget,
# server and desktop suites need what this build has not: X11, PostgreSQL).
windows_tests() {
    (cd "$here/tests" && ls core/tst_*.cpp app/tst_*.cpp | xargs -n1 basename | sed 's/\.cpp$//')
}
