# Sourced by build.sh and test.sh: where the repository, the MinGW Qt and libraries and the
# Windows build are.
#   GYVKT_QT_MINGW    Qt for MinGW (default: shared/qt6-mingw in the repository's folder or
#                     the nearest folder above it that has one, as ../shared beside a clone)
#   GYVKT_WIN64_DEPS  static libsodium and libarchive for MinGW (default: shared/win64-deps,
#                     found the same way)
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="$here/build/windows"

shared_above() { # FOLDER NAME: shared/NAME in the nearest folder above FOLDER that has it
    local dir=$1
    while [ "$dir" != / ]; do
        dir=$(dirname "$dir")
        [ -d "$dir/shared/$2" ] && { echo "$dir/shared/$2"; return 0; }
    done
    return 1
}
# shared/NAME above the repository, else above the repository it was cloned from (a clone made
# elsewhere, as a fresh checkout in a temporary folder is), else where it would be beside it.
shared_beside() {
    local origin
    shared_above "$here" "$1" && return
    origin=$(git -C "$here" remote get-url origin 2>/dev/null) && [ -d "$origin" ] &&
        shared_above "$(cd "$origin" && pwd)" "$1" && return
    echo "$(dirname "$here")/shared/$1"
}
qt="${GYVKT_QT_MINGW:-$(shared_beside qt6-mingw)}"
deps="${GYVKT_WIN64_DEPS:-$(shared_beside win64-deps)}"

# The test programs built for Windows and run under Wine: the core and app ones (the widget,
# server and desktop suites need what this build has not: X11, PostgreSQL).
windows_tests() {
    (cd "$here/tests" && ls core/tst_*.cpp app/tst_*.cpp | xargs -n1 basename | sed 's/\.cpp$//')
}
