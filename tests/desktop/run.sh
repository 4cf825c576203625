#!/usr/bin/env bash
# The built gyvkt as the process a psychologist starts, under Xvfb with openbox (1366x768),
# driven with xdotool and checked from outside: exit status and time, the data folder's lock,
# the windows left, the stacking order and the active window. The child's screen needs a second
# monitor, which Xvfb cannot give Qt: those scenarios run last, under Xorg with the dummy driver
# and two monitors side by side (1366x768 and 1024x768), read back with screenshots and OCR.
#   tests/desktop/run.sh [path/to/gyvkt]        (default: build/bin/gyvkt)
#   DESKTOP_ONLY=archive tests/desktop/run.sh   only the scenarios whose name holds "archive"
#   DESKTOP_SHOTS=DIR tests/desktop/run.sh      keeps pictures of the screen at the points worth a look
set -u
here="$(cd "$(dirname "$0")/../.." && pwd)"
app="$(readlink -f "${1:-$here/build/bin/gyvkt}")"
[ -x "$app" ] || { echo "no program at $app" >&2; exit 2; }
for tool in Xvfb Xorg xrandr openbox xdotool xprop xwininfo xdpyinfo xmessage import convert tesseract; do
    command -v "$tool" >/dev/null || { echo "missing $tool (tools/setup.sh installs it)" >&2; exit 2; }
done

work="$(mktemp -d)"
pids=()
# The programs, then openbox, then Xvfb, each waited for: the next run must not meet them.
cleanup() {
    local i pid
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        pid=${pids[i]}
        kill "$pid" 2>/dev/null
        for _ in $(seq 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    # The institution scenario's server, when it ended before stopping it.
    [ -f "$work/cluster.state" ] && bash "$here/tests/institution/cluster.sh" stop "$work/cluster.state" >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# start_server and start_openbox.
source "$here/tests/desktop/display.sh"
start_server Xvfb -screen 0 1366x768x24 -nolisten tcp && start_openbox || exit 2

# The protocol opens "in the browser": the shell's opener is this stand-in, which notes the
# file, shows a window of another program in the browser's place and ends with success, as
# xdg-open does once it has handed the file to a browser.
mkdir -p "$work/bin"
cat >"$work/bin/xdg-open" <<'OPENER'
#!/bin/sh
echo "$1" >>"$GYVKT_OPENED"
xmessage -title "Böngésző" -geometry 700x500+300+120 "$1" &
OPENER
chmod +x "$work/bin/xdg-open"
# A desktop without a browser: the opener starts, finds no program and says so as xdg-open does.
mkdir -p "$work/nobrowser"
cat >"$work/nobrowser/xdg-open" <<'OPENER'
#!/bin/sh
echo "$1" >>"$GYVKT_OPENED"
echo "xdg-open: no method available for opening '$1'" >&2
exit 3
OPENER
chmod +x "$work/nobrowser/xdg-open"
OPENERS="$work/bin"   # where the program finds xdg-open

passed=0
failed=0
failures=()
APP=""    # pid of the running program
ROOT=""   # its data root
TIMEOUT=15

log() { echo "    $*"; }
# shot NAME: a picture of the screen, when DESKTOP_SHOTS names a folder to keep them in.
shot() { [ -z "${DESKTOP_SHOTS:-}" ] || import -window root "$DESKTOP_SHOTS/$1.png"; }
fail() {
    echo "    FAIL: $*"
    scenario_ok=0
    return 1
}

# wait_until SECONDS COMMAND...: polls the command until it succeeds.
wait_until() {
    local limit=$1
    shift
    local end=$((SECONDS + limit))
    while ! "$@"; do
        [ $SECONDS -ge $end ] && return 1
        sleep 0.1
    done
}

windows() { xdotool search --onlyvisible --pid "$APP" 2>/dev/null; }
window_named() { # exact title, visible
    local w
    for w in $(windows); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && { echo "$w"; return 0; }
    done
    return 1
}
has_window() { window_named "$1" >/dev/null; }
no_window() { ! has_window "$1"; }
active_name() { xdotool getactivewindow getwindowname 2>/dev/null; }
is_active() { [ "$(active_name)" = "$1" ]; }
wait_window() { wait_until $TIMEOUT has_window "$1" || fail "no window \"$1\""; }
wait_active() { wait_until $TIMEOUT is_active "$1" || fail "\"$1\" is not active (active: \"$(active_name)\")"; }
gone() { [ -z "$APP" ] || ! kill -0 "$APP" 2>/dev/null; }

# Window ids of the stacking order, bottom first, in decimal.
stacking() {
    xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*#//' | tr ',' '\n' | while read -r id; do
        [ -n "$id" ] && printf '%d\n' "$id"
    done
}
position_in_stack() { stacking | grep -nx "$1" | cut -d: -f1; }
# above A B: window A is higher in the stacking than window B.
above() {
    local a b
    a=$(position_in_stack "$1")
    b=$(position_in_stack "$2")
    [ -n "$a" ] && [ -n "$b" ] && [ "$a" -gt "$b" ]
}

# Client geometry: x y width height.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
        /^  Width/{w=$2} /^  Height/{h=$2} END{print x, y, w, h}'
}
click_at() { # window, x, y relative to its client area
    xdotool mousemove --window "$1" "$2" "$3" click 1
}
# A point of the window that no window above it covers, clicked.
click_uncovered() {
    local w=$1 x y wd ht px py other ox oy ow oh covered
    read -r x y wd ht < <(geometry "$w")
    local higher=() found=0
    for other in $(stacking | sed -n "$(($(position_in_stack "$w") + 1)),\$p"); do higher+=("$other"); done
    for py in $(seq $((y + 30)) 40 $((y + ht - 10))); do
        for px in $(seq $((x + 20)) 60 $((x + wd - 10))); do
            covered=0
            for other in "${higher[@]}"; do
                read -r ox oy ow oh < <(geometry "$other")
                if [ "$px" -ge $((ox - 2)) ] && [ "$px" -le $((ox + ow + 2)) ] &&
                    [ "$py" -ge $((oy - 25)) ] && [ "$py" -le $((oy + oh + 6)) ]; then
                    covered=1
                    break
                fi
            done
            if [ $covered -eq 0 ]; then
                xdotool mousemove "$px" "$py" click 1
                return 0
            fi
        done
    done
    fail "every point of window $w is covered"
}
click_close_box() { # the close button of the window manager's frame
    local x y wd ht l r t b
    read -r x y wd ht < <(geometry "$1")
    read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    xdotool mousemove $((x + wd + r - 11)) $((y - t / 2)) click 1
}

start_app() {
    # APP_DB: the institution archive the program uploads to (GYVKT_DB), none when empty.
    GYVKT_DB="${APP_DB:-}" GYVKT_OPENED="$ROOT/opened" TAVRIX_ROOT="$ROOT" PATH="$OPENERS:$PATH" HOME="$ROOT/home" \
        XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb "$app" >>"$ROOT/program.log" 2>&1 &
    APP=$!
    pids+=("$APP")
    wait_window "Tavrix gyermek VKT" && wait_active "Tavrix gyermek VKT"
}

MAIN="Tavrix gyermek VKT"
main_window() { window_named "$MAIN"; }
activate_main() { xdotool windowactivate --sync "$(main_window)" >/dev/null 2>&1; wait_active "$MAIN"; }

# The password, then whatever notices the program shows once it is unlocked.
unlock() {
    xdotool type --delay 40 123456
    local quiet_since=$SECONDS end=$((SECONDS + TIMEOUT))
    while [ $SECONDS -lt $end ]; do
        if is_active "gyermek VKT"; then
            xdotool key Return
            quiet_since=$SECONDS
        elif is_active "$MAIN" && [ $((SECONDS - quiet_since)) -ge 1 ]; then
            return 0
        fi
        sleep 0.2
    done
    fail "the main window did not come back after the password"
}

# menu LETTER [DOWNS|up]: opens a menu of the main window and chooses an item.
menu() {
    activate_main || return 1
    xdotool key "alt+$1"
    sleep 0.3
    if [ "${2:-0}" = up ]; then
        xdotool key Up
    else
        for _ in $(seq "${2:-0}"); do xdotool key Down; done
    fi
    xdotool key Return
}

RECORDING=("A vizsgálat képei" "A(z) 1. képre adott válasz" "Instrukció a vizsgált személynek")
MARKING=("Segítség a jelölések használatához" "A felvett vizsgálat jelölése" "A vizsgálat képei"
    "Példa az aktuális képhez és jelhez")
answer_window_active() { active_name | grep -q "képre adott válasz"; }
arrange() { # felvetel | jeloles
    if [ "$1" = felvetel ]; then
        menu v 1 && for w in "${RECORDING[@]}"; do wait_window "$w" || return 1; done
    else
        menu v 2 && for w in "${MARKING[@]}"; do wait_window "$w" || return 1; done
    fi
    # The answer window has the keyboard in both arrangements.
    wait_until $TIMEOUT answer_window_active ||
        fail "the answer window does not have the keyboard (active: \"$(active_name)\")"
    return 0
}
tool_windows() { tool_window_list | sort -u; }
tool_window_list() {
    local t w
    for t in "${MARKING[@]}" "${RECORDING[@]}"; do
        w=$(window_named "$t") && echo "$w"
    done
    w=$(windows | while read -r id; do xdotool getwindowname "$id" | grep -q "képre adott válasz" && echo "$id"; done)
    [ -n "$w" ] && echo "$w"
}

second_question_or_gone() { # the id of the first question
    local w
    gone || { w=$(window_named "Megerősítés") && [ "$w" != "$1" ] && is_active "Megerősítés"; }
}
still_running() {
    fail "still running $1 s after the questions; windows left: $(for w in $(windows); do
        printf '"%s" ' "$(xdotool getwindowname "$w")"
    done)"
}

# Answers the quit question Yes and the save question No, and checks that the save question came
# exactly when it was expected (yes|no); then expects the process to end with status 0 within a
# few seconds, the lock released and no window left.
expect_clean_end() {
    wait_active "Megerősítés" || return 1
    local first start
    first=$(window_named "Megerősítés")
    xdotool key Return
    start=$(date +%s%N)
    if ! wait_until 3 second_question_or_gone "$first"; then
        still_running 3
        return 1
    fi
    if ! gone; then
        [ "$1" = no ] && fail "asked whether to save though nothing changed since the last save or open"
        xdotool key Escape
        start=$(date +%s%N)
        wait_until 3 gone || { still_running 3; return 1; }
    elif [ "$1" = yes ]; then
        fail "ended without asking whether to save"
    fi
    wait "$APP"
    local status=$?
    log "ended $((($(date +%s%N) - start) / 1000000)) ms after the questions, status $status"
    [ "$status" -eq 0 ] || fail "exit status $status"
    [ -e "$ROOT/.gyvkt.lock" ] && fail "the lock file is left behind"
    [ -z "$(xdotool search --pid "$APP" 2>/dev/null)" ] || fail "windows of the program are left"
    return 0
}

run() {
    local name=$1
    shift
    # DESKTOP_ONLY=text runs the scenarios whose name holds the text.
    [[ "$name" == *"${DESKTOP_ONLY:-}"* ]] || return 0
    echo "--- $name"
    scenario_ok=1
    ROOT="$work/root-$((passed + failed))"
    mkdir -p "$ROOT/home"
    "$@"
    if [ -n "$APP" ] && ! gone; then
        [ $scenario_ok -eq 1 ] && fail "the program was left running"
        kill "$APP" 2>/dev/null
        wait_until 2 gone || kill -9 "$APP" 2>/dev/null
        wait "$APP" 2>/dev/null
    fi
    APP=""
    OPENERS="$work/bin"
    if [ $scenario_ok -eq 1 ]; then
        passed=$((passed + 1))
        echo "    ok"
    else
        failed=$((failed + 1))
        failures+=("$name")
    fi
}

# check_above WINDOW LABEL: WINDOW is above every tool window shown, and active.
check_above_tools() {
    local w=$1 label=$2 t
    for t in $(tool_windows); do
        above "$w" "$t" || fail "$label is below the tool window \"$(xdotool getwindowname "$t")\""
    done
}
check_tools_above_main() {
    local t
    for t in $(tool_windows); do
        above "$t" "$(main_window)" || fail "the tool window \"$(xdotool getwindowname "$t")\" is below the main window"
    done
}

scenario_quit() { # none|felvetel|jeloles, menu|closebox|altf4
    start_app && unlock || return
    if [ "$1" != none ]; then
        arrange "$1" || return
        check_tools_above_main
    fi
    case $2 in
    menu) menu f up ;;
    closebox) click_close_box "$(main_window)" ;;
    altf4) activate_main && xdotool key alt+F4 ;;
    esac
    expect_clean_end no
}

# "Nem" to the quit question keeps everything as it was.
scenario_quit_refused() {
    start_app && unlock && arrange jeloles || return
    local before
    before=$(windows | sort)
    menu f up && wait_active "Megerősítés" || return
    xdotool key Escape
    wait_until $TIMEOUT no_window "Megerősítés" || fail "the question stays"
    sleep 0.5
    gone && { fail "the program ended after No"; return 1; }
    [ "$(windows | sort)" = "$before" ] || fail "the windows changed after No"
    menu f up && expect_clean_end no
}

browser_window() { xdotool search --onlyvisible --name '^Böngésző$' 2>/dev/null | head -1 | grep .; }
save_dialog_active() {
    local n
    n=$(active_name)
    [ -n "$n" ] && [ "$n" != "$MAIN" ] && [ "$n" != "Böngésző" ]
}

scenario_examination() {
    start_app && unlock || return
    menu f 0 && wait_active "Gyermek VKT személyi adatok" || return
    xdotool type --delay 30 "Teszt Elek"
    xdotool key Tab && xdotool type --delay 30 "dt1"
    # Code, sex, then the age: typed, and one step up.
    xdotool key Tab Tab ctrl+a && xdotool type "8" && xdotool key Up
    xdotool key Tab && xdotool type --delay 30 "2026.12.08."
    xdotool key Return
    wait_until $TIMEOUT no_window "Gyermek VKT személyi adatok" || { fail "the personal data stay up"; return 1; }

    arrange felvetel || return
    xdotool type --delay 30 "Az elso valasz"
    click_at "$(window_named "A vizsgálat képei")" 346 29
    wait_active "A(z) 2. képre adott válasz" || return
    xdotool type --delay 30 "Masodik valasz"
    # Ctrl+PgDown steps from the picture window too; the answer window takes the keyboard.
    xdotool windowactivate --sync "$(window_named "A vizsgálat képei")" && xdotool key ctrl+Next
    wait_active "A(z) 3. képre adott válasz" || return

    arrange jeloles || return
    local marking n
    marking=$(window_named "A felvett vizsgálat jelölése")
    for n in $(seq 18); do
        click_at "$marking" 278 71 # the EV code
        click_at "$marking" 331 17 # "következő kérdés"
    done

    menu v 3 # "Kész jegyzőkönyv"
    wait_until $TIMEOUT test -s "$ROOT/opened" || { fail "no protocol was handed to the browser (too few codes?)"; return 1; }
    [ "$(sed 's|^file://||' "$ROOT/opened")" = "$ROOT/gy_vkt/html/DT1.html" ] || fail "opened: $(cat "$ROOT/opened")"
    [ -s "$ROOT/gy_vkt/html/DT1_profil.png" ] || fail "no profile picture beside the protocol"
    # The browser, another program, comes above the tool windows.
    wait_until $TIMEOUT browser_window >/dev/null || { fail "no browser window"; return 1; }
    check_above_tools "$(browser_window)" "the browser"
    sleep 0.5 && no_window "Jegyzőkönyv – DT1" || fail "the protocol window came up beside the browser"

    menu f 1 # "Mentés"
    wait_until $TIMEOUT save_dialog_active || { fail "no save dialog"; return 1; }
    sleep 0.5
    xdotool key Return
    wait_until $TIMEOUT test -s "$ROOT/gy_vkt/archivum/DT1.kvx" || { fail "DT1.kvx was not saved"; return 1; }
    grep -qa "Teszt Elek" "$ROOT/gy_vkt/archivum/DT1.kvx" || fail "the name is not in the file"
    grep -qa "Az elso valasz" "$ROOT/gy_vkt/archivum/DT1.kvx" || fail "the first answer is not in the file"
    [ "$(sed -n 2p "$ROOT/gy_vkt/archivum/DT1.kvx" | tr -d '\r')" = 9 ] || fail "age: $(sed -n 2p "$ROOT/gy_vkt/archivum/DT1.kvx")"

    # Just saved: the quit asks nothing about saving.
    menu f up && expect_clean_end no || return

    # The next start finds the data folder free, and what the last run left is where it starts:
    # nothing touched, nothing to save.
    start_app && unlock && menu f up && expect_clean_end no
}

# Enter on the archive until the personal data of the examination it opens come up.
enter_until_personal_data() {
    local end=$((SECONDS + TIMEOUT))
    while ! has_window "Gyermek VKT személyi adatok" && [ $SECONDS -lt $end ]; do
        is_active "Archívum" && xdotool key Return
        sleep 0.5
    done
    wait_active "Gyermek VKT személyi adatok"
}

# Opens the sample examination from the archive (Ctrl+R, Enter) and confirms its personal data.
open_sample() {
    activate_main && xdotool key ctrl+r
    wait_active "Archívum" || return
    enter_until_personal_data || return
    xdotool key Return
    wait_until $TIMEOUT no_window "Gyermek VKT személyi adatok" || fail "the personal data stay up"
}

# Without a browser the protocol shows in the program's own window, named by its code.
scenario_no_browser() {
    OPENERS="$work/nobrowser"
    start_app && unlock && open_sample || return
    menu v 3 # "Kész jegyzőkönyv"
    wait_window "Jegyzőkönyv – MINTA" && wait_active "Jegyzőkönyv – MINTA" || return
    [ "$(sed 's|^file://||' "$ROOT/opened")" = "$ROOT/gy_vkt/html/MINTA.html" ] || fail "opened: $(cat "$ROOT/opened")"
    shot protocol-window
    xdotool key End && sleep 0.3 && shot protocol-window-end
    xdotool key Escape
    wait_until $TIMEOUT no_window "Jegyzőkönyv – MINTA" || fail "Escape leaves the protocol window up"
    menu f up && expect_clean_end no
}

# frame_inside WINDOW: the window with its frame lies within the 1366x768 screen.
frame_inside() {
    local x y wd ht l r t b
    read -r x y wd ht < <(geometry "$1")
    read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    [ $((x - l)) -ge 0 ] && [ $((y - t)) -ge 0 ] && [ $((x + wd + r)) -le 1366 ] && [ $((y + ht + b)) -le 768 ]
}
print_dialog_inside() { frame_inside "$(window_named "Nyomtatás")"; }

# The print dialog opened to its full size keeps its buttons on the screen, also when it comes up
# over the answer window at the bottom of the marking arrangement.
scenario_print_dialog() {
    start_app && unlock && open_sample && arrange jeloles || return
    xdotool key ctrl+p
    wait_window "Nyomtatás" && wait_active "Nyomtatás" || return
    local before
    before=$(geometry "$(window_named "Nyomtatás")")
    xdotool key alt+b # "Beállítások >>"
    wait_until $TIMEOUT eval '[ "$(geometry "$(window_named "Nyomtatás")")" != "$before" ]' ||
        fail "the dialog did not grow: $before"
    wait_until 3 print_dialog_inside ||
        fail "the expanded print dialog leaves the screen: $(geometry "$(window_named "Nyomtatás")")"
    log "print dialog: $(geometry "$(window_named "Nyomtatás")")"
    shot print-dialog
    xdotool key Escape
    wait_until $TIMEOUT no_window "Nyomtatás" || fail "the print dialog stays"
    menu f up && expect_clean_end no
}

scenario_archive_and_profile() {
    start_app && unlock && arrange jeloles || return
    xdotool key ctrl+r
    wait_window "Archívum" && wait_active "Archívum" || return
    local archive
    archive=$(window_named "Archívum")
    check_above_tools "$archive" "the archive"
    # A click on a tool window, then one on the archive, brings the archive forward again.
    click_uncovered "$(window_named "A felvett vizsgálat jelölése")"
    wait_active "A felvett vizsgálat jelölése"
    click_uncovered "$archive"
    wait_active "Archívum" && check_above_tools "$archive" "the archive after a click"

    # Enter opens the listed sample examination, through the personal data.
    enter_until_personal_data || return
    check_above_tools "$(window_named "Gyermek VKT személyi adatok")" "the personal data"
    xdotool key Return
    # The keyboard is back where it was before the archive.
    wait_active "A felvett vizsgálat jelölése" || return

    menu v 4 # "Profil"
    wait_window "Profil" && wait_active "Profil" || return
    check_above_tools "$(window_named "Profil")" "the profile"
    # Opened and not changed: nothing to save.
    menu f up && expect_clean_end no
}

# The institution archive: a throw-away PostgreSQL cluster of the server tests' own script, one
# database, one examiner; the program is pointed at it with GYVKT_DB.
cluster="$here/tests/institution/cluster.sh"
cluster_state="$work/cluster.state"
start_institution() {
    bash "$cluster" start "$cluster_state" $$ >"$work/cluster.log" 2>&1 || { fail "no PostgreSQL cluster"; return 1; }
    local dir port bin cli
    dir=$(sed -n 's/^dir=//p' "$cluster_state")
    port=$(sed -n 's/^port=//p' "$cluster_state")
    bin=$(sed -n 's/^bin=//p' "$cluster_state")
    cli="$(dirname "$app")/gyvkt-cli"
    OWNER_DB="host=$dir port=$port user=postgres dbname=gyvkt"
    PSQL="$bin/psql"
    "$PSQL" -q "host=$dir port=$port user=postgres dbname=postgres" -c "CREATE DATABASE gyvkt" &&
        "$cli" server init --db "$OWNER_DB" >/dev/null &&
        echo "asztali-proba-1" >"$work/examiner.pw" &&
        "$cli" server add-user szabo.reka --role examiner --password-file "$work/examiner.pw" --db "$OWNER_DB" \
            >/dev/null || { fail "the server could not be set up"; return 1; }
    APP_DB="host=$dir port=$port dbname=gyvkt user=szabo.reka password=asztali-proba-1"
}
on_server() { # FILE: the server holds an examination of that file name
    [ "$("$PSQL" -tAq "$OWNER_DB" -c "SELECT count(*) FROM gyvkt.examination WHERE file_name = '$1'")" = 1 ]
}

scenario_institution_upload() {
    start_institution || return
    start_app && unlock || return
    menu f 0 && wait_active "Gyermek VKT személyi adatok" || return
    xdotool type --delay 30 "Feltolt Elek"
    xdotool key Tab && xdotool type --delay 30 "up1"
    xdotool key Tab Tab ctrl+a && xdotool type "9"
    xdotool key Tab && xdotool type --delay 30 "2026.12.08."
    xdotool key Return
    wait_until $TIMEOUT no_window "Gyermek VKT személyi adatok" || { fail "the personal data stay up"; return 1; }
    menu f 1 # "Mentés"
    wait_until $TIMEOUT save_dialog_active || { fail "no save dialog"; return 1; }
    sleep 0.5
    xdotool key Return
    local start=$SECONDS
    wait_until $TIMEOUT test -s "$ROOT/gy_vkt/archivum/UP1.kvx" || { fail "UP1.kvx was not saved"; return 1; }
    # While the upload runs the windows answer: the archive opens at once.
    xdotool key ctrl+r
    wait_until 3 has_window "Archívum" || fail "the archive did not open while the upload ran"
    wait_until 10 on_server UP1.kvx || { fail "the server did not hold UP1.kvx within 10 seconds"; return 1; }
    log "on the server $((SECONDS - start)) s after the save"
    xdotool key Escape
    menu f up && expect_clean_end no
    bash "$cluster" stop "$cluster_state" >/dev/null 2>&1
}

# Two monitors: the examiner's on the left, the child's on the right.
CHILD="Gyermek képernyő"
CHILD_GEOMETRY="1366 0 1024 768"
two_monitors() {
    xrandr --newmode 1366x768 85.50 1366 1436 1579 1792 768 771 774 798 +hsync +vsync &&
        xrandr --addmode DUMMY0 1366x768 && xrandr --output DUMMY0 --mode 1366x768 &&
        xrandr --addmode DUMMY1 1024x768 && second_monitor on
}
second_monitor() { # on | off: the cable plugged in or pulled
    if [ "$1" = on ]; then
        xrandr --output DUMMY1 --mode 1024x768 --right-of DUMMY0
    else
        xrandr --output DUMMY1 --off
    fi
}
# Pictures without any letter in them, each of its own colour, so that what OCR finds on the
# child's screen could only come from the window.
plain_pictures() {
    local n
    mkdir -p "$ROOT/gy_vkt/pictures"
    for n in $(seq 24); do
        convert -size 320x403 "xc:hsl($((n * 15)),60%,70%)" -fill "hsl($((n * 15 + 120)),50%,40%)" \
            -draw "circle 160,200 160,110" "BMP3:$ROOT/gy_vkt/pictures/$n.bmp"
    done
}
shoot() { # X Y W H FILE: a part of the whole display
    import -window root -crop "$3x$4+$1+$2" +repage "$5"
}
# Letters and digits OCR reads in a picture. Tesseract reads dark text on a light ground; the
# picture's edges, drawn dark on white, show it light text on a dark ground as well.
letters_in() {
    { tesseract "$1" stdout && convert "$1" -colorspace gray -edge 1 -negate png:- | tesseract stdin stdout; } \
        2>/dev/null | tr -cd '[:alnum:]'
}
pixels() { convert "$1" rgb:- | md5sum; }
# Where every window of the examiner stands.
examiner_geometries() {
    local w
    for w in $(windows); do
        [ "$(xdotool getwindowname "$w")" = "$CHILD" ] || echo "$w $(geometry "$w")"
    done | sort
}
child_geometry_is() { [ "$(geometry "$(window_named "$CHILD")")" = "$CHILD_GEOMETRY" ]; }
save_layout() { # into FILE: "Ablakkonfiguráció mentése", the file it wrote kept aside
    rm -f "$ROOT/gy_vkt/felvetel.cfg"
    menu f 8 && wait_until $TIMEOUT test -s "$ROOT/gy_vkt/felvetel.cfg" && cp "$ROOT/gy_vkt/felvetel.cfg" "$1"
}
to_answer() {
    local w
    for w in $(windows); do
        xdotool getwindowname "$w" | grep -q "képre adott válasz" && xdotool windowactivate --sync "$w" >/dev/null 2>&1
    done
    wait_until $TIMEOUT answer_window_active
}

# F11 from the answer window: the picture alone fills the second monitor, follows the pictures and
# leaves the keyboard and every window of the examiner where they were.
scenario_child_screen() {
    plain_pictures
    start_app && unlock && arrange felvetel || return
    save_layout "$ROOT/layout-before" && to_answer || return
    local before
    before=$(examiner_geometries)
    xdotool key F11
    wait_window "$CHILD" || return
    wait_until $TIMEOUT child_geometry_is || fail "the child's screen stands at $(geometry "$(window_named "$CHILD")")"
    sleep 0.5
    answer_window_active || fail "the child's screen took the keyboard (active: \"$(active_name)\")"
    shoot 1366 0 1024 768 "$ROOT/child-1.png"
    shoot 0 0 1366 768 "$ROOT/examiner.png"
    [ -n "$(letters_in "$ROOT/examiner.png")" ] || fail "OCR reads nothing even on the examiner's screen"
    [ -z "$(letters_in "$ROOT/child-1.png")" ] || fail "letters on the child's screen: $(letters_in "$ROOT/child-1.png")"

    # The picture window's arrow key moves to the next picture, and the keys go back to the answer.
    xdotool windowactivate --sync "$(window_named "A vizsgálat képei")" >/dev/null 2>&1
    xdotool key Down
    wait_active "A(z) 2. képre adott válasz" || return
    sleep 0.3
    shoot 1366 0 1024 768 "$ROOT/child-2.png"
    [ "$(pixels "$ROOT/child-1.png")" != "$(pixels "$ROOT/child-2.png")" ] || fail "the child's screen still shows picture 1"

    # A stray click on it changes nothing; Escape closes it from the examiner's side.
    xdotool mousemove 1800 300 click 1
    sleep 0.5
    answer_window_active || fail "a click on the child's screen took the keyboard"
    has_window "$CHILD" || fail "a click closed the child's screen"
    xdotool key Escape
    wait_until $TIMEOUT no_window "$CHILD" || fail "Escape does not close the child's screen"
    [ "$(examiner_geometries)" = "$before" ] || fail "the examiner's windows moved"
    save_layout "$ROOT/layout-after" || return
    cmp -s "$ROOT/layout-before" "$ROOT/layout-after" || fail "the saved layout changed"

    # The second monitor pulled: the window goes with it and nothing else moves; plugged in again,
    # F11 brings it back.
    xdotool key F11
    wait_window "$CHILD" || return
    second_monitor off
    wait_until $TIMEOUT no_window "$CHILD" || fail "the child's screen outlived its monitor"
    [ "$(examiner_geometries)" = "$before" ] || fail "the examiner's windows moved when the monitor went"
    xdotool key F11
    sleep 1
    has_window "$CHILD" && fail "F11 opened the child's screen on the examiner's only monitor"
    second_monitor on
    sleep 1
    xdotool key F11
    wait_window "$CHILD" || return
    wait_until $TIMEOUT child_geometry_is || fail "F11 does not bring it back on the monitor"
    menu f up && expect_clean_end no
}

# With one monitor F11 does nothing.
scenario_child_screen_needs_two() {
    start_app && unlock && arrange felvetel || return
    xdotool key F11
    sleep 1
    has_window "$CHILD" && fail "the child's screen opened on the examiner's only screen"
    answer_window_active || fail "F11 took the keyboard from the answer window"
    menu f up && expect_clean_end no
}

# The whole examination without the mouse: the personal data with Ctrl+N, the 24 answers stepped
# with Ctrl+PgDown (PgDown stays the editor's), F6 to the marking window, each code typed as its
# two letters and PgUp to the picture before, a third code made room for in "Túl sok jel !!!",
# and Ctrl+S. After every dialog, message and help the keyboard is back in the marking window.
scenario_keyboard_only() {
    start_app && unlock || return
    xdotool key ctrl+n
    wait_active "Gyermek VKT személyi adatok" || return
    xdotool type --delay 30 "Billentyu Bela"
    xdotool key Tab && xdotool type --delay 30 "kb1"
    xdotool key Tab Tab ctrl+a && xdotool type "9"
    xdotool key Return
    wait_until $TIMEOUT no_window "Gyermek VKT személyi adatok" || { fail "the personal data stay up"; return 1; }
    wait_active "$MAIN" || return
    xdotool key alt+v && sleep 0.3 && shot menu-keys
    xdotool key Down Return # "Felvétel"
    wait_active "A(z) 1. képre adott válasz" || return
    local n
    for n in $(seq 24); do
        xdotool type --delay 20 "valasz $n"
        [ "$n" -eq 1 ] && xdotool key Next && sleep 0.3 && { is_active "A(z) 1. képre adott válasz" || fail "PgDown stepped"; }
        [ "$n" -eq 24 ] && break
        xdotool key ctrl+Next
        wait_active "A(z) $((n + 1)). képre adott válasz" || return
    done

    xdotool key alt+v Down Down Return # "Jelölés", from the answer window
    wait_window "A felvett vizsgálat jelölése" && wait_active "A(z) 24. képre adott válasz" || return
    xdotool key F6
    wait_active "A felvett vizsgálat jelölése" || return
    for n in $(seq 24 -1 9); do
        xdotool key e v Prior
        wait_until $TIMEOUT has_window "A(z) $((n - 1)). képre adott válasz" || { fail "no step to $((n - 1))"; return 1; }
    done
    # Picture 8: a third code asks for room; Tab to the first code, Space, Enter deletes it.
    xdotool key e v n e k e
    wait_active "Túl sok jel !!!" || return
    xdotool key Tab space Return
    wait_active "A felvett vizsgálat jelölése" || return
    # The next key lands in the marking window.
    xdotool key Prior
    wait_until $TIMEOUT has_window "A(z) 7. képre adott válasz" || fail "PgUp after the dialog went astray"
    is_active "A felvett vizsgálat jelölése" || fail "the marking window lost the keyboard: \"$(active_name)\""
    xdotool key e v
    # "Törlés!" left with OK, the archive with Escape, the personal data from the main window's
    # menu with Enter, the marking help (F1) with F6: each gives the keyboard back.
    local marking="A felvett vizsgálat jelölése"
    xdotool key Delete && wait_active "Törlés!" && xdotool key Return && wait_active "$marking" || return
    xdotool key ctrl+r && wait_active "Archívum" && xdotool key Escape && wait_active "$marking" || return
    menu v 0 && wait_active "Gyermek VKT személyi adatok" && xdotool key Return && wait_active "$marking" || return
    xdotool key F1
    wait_until $TIMEOUT eval 'active_name | grep -q "irod_2.txt$"' || fail "F1 gave no marking help: \"$(active_name)\""
    xdotool key F6 && wait_active "$marking" || return

    xdotool key ctrl+s
    wait_until $TIMEOUT save_dialog_active || { fail "no save dialog"; return 1; }
    sleep 0.5
    xdotool key Return
    local file="$ROOT/gy_vkt/archivum/KB1.kvx"
    wait_until $TIMEOUT test -s "$file" || { fail "KB1.kvx was not saved"; return 1; }
    [ "$(grep -ac "valasz" "$file")" -eq 24 ] || fail "answers in the file: $(grep -ac "valasz" "$file")"
    [ "$(sed -n '6,29p' "$file" | grep -cv '^,,,;')" -eq 18 ] || fail "coded pictures: $(sed -n '6,29p' "$file" | tr -d '\r')"
    [ "$(sed -n 13p "$file" | tr -d '\r')" = ",NE,KE,;" ] || fail "picture 8: $(sed -n 13p "$file")"
    menu f up && expect_clean_end no
}

for arrangement in none felvetel jeloles; do
    for how in menu closebox altf4; do
        run "quit by $how, arrangement: $arrangement" scenario_quit "$arrangement" "$how"
    done
done
run "No to the quit question" scenario_quit_refused
run "a whole examination, then a second start" scenario_examination
run "archive and profile in the marking arrangement" scenario_archive_and_profile
run "the whole examination from the keyboard" scenario_keyboard_only
run "no browser: the protocol window" scenario_no_browser
run "the expanded print dialog on the screen" scenario_print_dialog
run "an examination saved goes to the institution's server" scenario_institution_upload
run "no child's screen on one screen" scenario_child_screen_needs_two

two_screen_scenarios=("the child's screen on the second monitor")
if [[ "${two_screen_scenarios[*]}" == *"${DESKTOP_ONLY:-}"* ]]; then
    cat >"$work/xorg.conf" <<'CONF'
Section "Device"
    Identifier "card"
    Driver "dummy"
    VideoRam 65536
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "card"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 4096 2048
    EndSubSection
EndSection
CONF
    if start_server Xorg -config "$work/xorg.conf" -logfile "$work/xorg.log" -noreset -nolisten tcp &&
        two_monitors && start_openbox; then
        run "${two_screen_scenarios[0]}" scenario_child_screen
    else
        failed=$((failed + 1))
        failures+=("the two-monitor display (Xorg with the dummy driver)")
    fi
fi

for name in "${failures[@]}"; do echo "failed: $name"; done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
