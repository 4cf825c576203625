#!/usr/bin/env bash
# Runs what tools/windows/build.sh built under Wine, as Windows runs it:
#   1. the core and app test programs (the command-line tests start gyvkt-cli.exe);
#   2. gyvkt.exe on a virtual screen: its main window "Tavrix gyermek VKT" shows, it lays down
#      c:\tavrix, and it quits when asked;
#   3. the installer build/windows/gyvkt-setup.exe, installed silently (/S), the installed program
#      started as in 2. on a fresh c:\tavrix, then the uninstaller, which leaves the data alone.
# Wine runs in its own prefix below build/windows, so c:\tavrix is a folder of this build.
# (GYVKT_QT_MINGW names the MinGW Qt when it is elsewhere: where.sh.)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/where.sh"
[ -x "$out/bin/gyvkt.exe" ] || { echo "Nothing built in $out (tools/windows/build.sh)" >&2; exit 2; }

export WINEPREFIX="$out/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
started=$SECONDS
step() { echo "=== $1 ($((SECONDS - started)) s)"; }
[ -d "$WINEPREFIX/drive_c/windows" ] || wineboot --init >/dev/null 2>&1
drive_c="$WINEPREFIX/drive_c"
work="$(mktemp -d)"
pids=()
memory=""
cleanup() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    wineserver -k 2>/dev/null || true
    rm -rf "$work" ${memory:+"$memory"}
}
trap cleanup EXIT
# The tests' temporary folders in memory where there is one, as on Linux: the crash tests sync
# thousands of small files, which are what is checked, not how fast a disk takes them.
temp="$drive_c/users/$(id -un)/Temp"
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    memory="$(mktemp -d /dev/shm/gyvkt-wine-XXXXXX)"
    rm -rf "$temp"
    ln -s "$memory" "$temp"
elif [ -L "$temp" ]; then
    rm -f "$temp" && mkdir "$temp"
fi

# The programs of the build tree find Qt, the compiler's DLLs and the plugins through these.
build_env=(WINEPATH="$(winepath -w "$qt/bin");$(winepath -w "$(dirname "$(x86_64-w64-mingw32-g++-posix \
    -print-file-name=libstdc++-6.dll)")");$(winepath -w /usr/x86_64-w64-mingw32/lib)"
    QT_PLUGIN_PATH="$(winepath -w "$qt/plugins")")

step "test programs"
# Qt Test under Wine writes nothing into a pipe, so each program writes its log to a file.
# Under Wine a program that has finished its tests now and then does not end (its threads are
# ended in an order Windows does not use): given half a minute after its last line, it is
# stopped and its log judged, saying so.
run_test_once() {
    local name=$1 log="$out/tests/$1.log" status=0 pid finished=""
    rm -f "$log"
    (cd "$out/tests" && exec env QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 wine "$name.exe" -o "$name.log,txt" \
        >/dev/null 2>&1) &
    pid=$!
    while kill -0 $pid 2>/dev/null; do
        if [ -z "$finished" ] && grep -q '^\*\*\*\*\*\*\*\*\* Finished testing' "$log" 2>/dev/null; then
            finished=$SECONDS
        elif [ -n "$finished" ] && [ $((SECONDS - finished)) -gt 30 ]; then
            echo "    $name: finished its tests but did not end under Wine; stopped"
            kill $pid 2>/dev/null
            break
        fi
        sleep 1
    done
    wait $pid || status=$?
    [ -z "$finished" ] || [ $((SECONDS - finished)) -le 30 ] || status=0
    # Skips are printed: they say what Windows lacks that the test needs.
    grep -E '^(SKIP|QWARN|QINFO)' "$log" | sed "s/^/    $name: /" | sort -u || true
    if [ $status -ne 0 ] || ! grep -q '^Totals: .* 0 failed' "$log"; then
        echo "FAIL $name (status $status)"
        grep -vE '^(PASS|QDEBUG|QINFO|QWARN|SKIP)' "$log" | head -60
        return 1
    fi
    echo "ok   $name: $(grep '^Totals:' "$log")"
}
# Under Wine with the other programs beside it, a run now and then loses a child process that
# never ends (the same program passes alone): a program that fails is run once more, and fails
# only if it fails again. Both runs are printed.
run_test() {
    run_test_once "$1" && return 0
    echo "    $1: failed under Wine; run once more"
    run_test_once "$1"
}
export -f run_test_once run_test
export out
mapfile -t tests < <(windows_tests)
failed=0
printf '%s\n' "${tests[@]}" | env "${build_env[@]}" xargs -P "$(nproc)" -I{} bash -c 'run_test {}' || failed=1

# A display of its own, and a window manager that closes windows when asked.
source "$here/tests/desktop/display.sh"
start_server Xvfb -screen 0 1366x768x24 -nolisten tcp && start_openbox || exit 2

window_named() { xdotool search --name "^$1\$" 2>/dev/null | head -1; }
wait_window() { # title, seconds: its id once it shows
    local end=$((SECONDS + $2)) w
    while [ $SECONDS -lt "$end" ]; do
        w=$(window_named "$1") && [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.2
    done
    return 1
}
# smoke EXE [ENV...]: starts the program on a fresh c:\tavrix, reads its main window's title,
# closes it and answers the question Yes; the program must end with status 0, the data
# folder laid down and unlocked.
smoke() {
    local exe=$1 main question="" status=0 pid
    shift
    rm -rf "$drive_c/tavrix"
    (cd "$(dirname "$exe")" && exec env "$@" wine "$(basename "$exe")" >"$work/smoke.log" 2>&1) &
    pid=$!
    # The first start of a Wine prefix takes a while.
    if ! main=$(wait_window "Tavrix gyermek VKT" 90); then
        echo "FAIL: no window \"Tavrix gyermek VKT\"; windows: $(xdotool search --name . getwindowname %@ 2>/dev/null |
            tr '\n' '|')"
        tail -20 "$work/smoke.log"
        kill $pid 2>/dev/null
        return 1
    fi
    # The title as the window manager reads it, UTF-8.
    local title
    title=$(xprop -id "$main" _NET_WM_NAME | sed 's/^[^"]*"//; s/"$//')
    [ "$title" = "Tavrix gyermek VKT" ] || { echo "FAIL: the title reads \"$title\""; return 1; }
    echo "    main window $main: \"$title\""
    [ -f "$drive_c/tavrix/gy_vkt/magyar.gcr" ] || { echo "FAIL: no c:\\tavrix\\gy_vkt\\magyar.gcr"; return 1; }
    # A window that has only just shown may not take the keys yet: asked again until it does.
    for _ in 1 2 3 4 5; do
        xdotool windowactivate --sync "$main" key --clearmodifiers alt+F4 2>/dev/null || true
        question=$(wait_window "Megerősítés" 5) && break
    done
    [ -n "$question" ] || { echo "FAIL: closing asked nothing"; return 1; }
    xdotool windowactivate --sync "$question" key Return
    for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
    kill -0 $pid 2>/dev/null && { echo "FAIL: still running after Yes to the quit question"; kill $pid; return 1; }
    wait $pid || status=$?
    [ $status -eq 0 ] || { echo "FAIL: exit status $status"; return 1; }
    [ ! -e "$drive_c/tavrix/.gyvkt.lock" ] || { echo "FAIL: the lock is left behind"; return 1; }
    echo "    quit with status 0, c:\\tavrix laid down and unlocked"
}

step "gyvkt.exe of the build"
# The first window of a Wine session now and then never shows: once more, on a fresh Wine server.
smoke "$out/bin/gyvkt.exe" "${build_env[@]}" ||
    { echo "    once more" && wineserver -k 2>/dev/null; smoke "$out/bin/gyvkt.exe" "${build_env[@]}"; } || failed=1

step "installer"
rm -rf "$out/stage"
cmake --install "$out" --prefix "$out/stage" >/dev/null
version=$(sed -n 's/^project(gyermek_vkt VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")
makensis -V2 -DSTAGE="$out/stage" -DOUTFILE="$out/gyvkt-setup.exe" -DVERSION="$version" \
    "$here/tools/windows/gyvkt.nsi"
installed="$drive_c/Program Files/gyermek VKT"
menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/gyermek VKT"
# Silent, the installer returns when it is done.
wine "$out/gyvkt-setup.exe" /S
for f in bin/gyvkt.exe bin/gyvkt-cli.exe bin/Qt6Widgets.dll bin/platforms/qwindows.dll bin/styles/qwindowsvistastyle.dll \
    bin/imageformats/qjpeg.dll share/gyvkt/translations/gyvkt_hu.qm share/gyvkt/translations/qtbase_hu.qm \
    share/gyvkt/tavrix/gy_vkt/magyar.gcr uninstall.exe; do
    [ -e "$installed/$f" ] || { echo "FAIL: the installation lacks $f"; failed=1; }
done
[ -f "$menu/gyermek VKT.lnk" ] || { echo "FAIL: no Start-menu entry"; failed=1; }

step "the installed gyvkt.exe"
# Nothing from the build: the installed folder holds all it needs.
smoke "$installed/bin/gyvkt.exe" WINEPATH= QT_PLUGIN_PATH= || failed=1

step "uninstaller"
# The uninstaller runs on from a copy of itself and returns at once: its work is waited for.
wine "$installed/uninstall.exe" /S
for _ in $(seq 150); do [ -e "$installed" ] || [ -e "$menu" ] || break; sleep 0.2; done
[ ! -e "$installed" ] || { echo "FAIL: left behind: $(cd "$installed" && find . | head)"; failed=1; }
[ ! -e "$menu" ] || { echo "FAIL: the Start-menu entry is left"; failed=1; }
[ -f "$drive_c/tavrix/gy_vkt/magyar.gcr" ] || { echo "FAIL: the uninstaller removed c:\\tavrix"; failed=1; }

step "done"
exit $failed
