# Sourced by the scripts that run a program on a display of their own (tests/desktop/run.sh,
# tools/windows/test.sh). They give `work`, a folder for the servers' logs, and `pids`, the
# processes their cleanup ends, last first.

# start_server SERVER ARGS...: an X server on a display no one else uses, named DISPLAY. The
# number is picked at random and given up when the server does not stay up (another server may
# hold the number without a lock file this machine can see).
start_server() {
    local server=$1 number pid up=0
    shift
    for _ in $(seq 10); do
        number=$((200 + RANDOM % 800))
        [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
        "$server" ":$number" "$@" 2>"$work/server.log" &
        pid=$!
        export DISPLAY=":$number"
        for _ in $(seq 100); do
            kill -0 $pid 2>/dev/null || break
            xdpyinfo >/dev/null 2>&1 && break
            sleep 0.1
        done
        sleep 0.3
        if kill -0 $pid 2>/dev/null && xdpyinfo >/dev/null 2>&1; then
            pids+=("$pid")
            up=1
            break
        fi
        kill $pid 2>/dev/null
        wait $pid 2>/dev/null
    done
    [ $up -eq 1 ] || {
        echo "$server did not start" >&2
        cat "$work/server.log" >&2
        return 1
    }
}
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window; }
start_openbox() {
    local wm attempt
    for attempt in 1 2 3; do
        openbox </dev/null >>"$work/openbox.log" 2>&1 &
        wm=$!
        for _ in $(seq 100); do
            kill -0 $wm 2>/dev/null || break
            wm_up && break
            sleep 0.1
        done
        sleep 0.3
        if kill -0 $wm 2>/dev/null && wm_up; then
            pids+=("$wm")
            return 0
        fi
        wait $wm 2>/dev/null
        echo "openbox attempt $attempt on $DISPLAY ended with status $?" >>"$work/openbox.log"
    done
    echo "openbox did not start on $DISPLAY:" >&2
    cat "$work/openbox.log" >&2
    return 1
}
