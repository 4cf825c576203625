#!/usr/bin/env bash
# A throw-away PostgreSQL cluster for the server tests and the benchmarks.
#
#   cluster.sh start STATE [WATCH_PID]
#       initdb into a new temporary folder, make TLS certificates there, and start the server on a
#       Unix socket in that folder and a free port of 127.0.0.1 (TCP only with TLS). STATE gets
#       the settings as NAME=value lines. A cluster an earlier run left behind under the same
#       STATE is stopped and removed first. A watchdog stops and removes the cluster once the
#       process WATCH_PID (default: the caller, which is ctest) is gone, so a killed run leaves
#       no server behind.
#   cluster.sh restart STATE   stop the server as a crash would (immediate) and start it again
#   cluster.sh stop STATE      stop the server and remove its folder and STATE
#   cluster.sh reap DIR BIN    (the watchdog) stop the server of the cluster folder DIR and remove it
#
# Run as root, the server runs as the unprivileged "postgres" account. GYVKT_PG_FSYNC=on keeps
# fsync on (the benchmarks); the tests do without it, since they stop the server, not the machine.
set -euo pipefail

command="${1:-}"
state="${2:-}"
if [ -z "$command" ] || [ -z "$state" ]; then
    echo "usage: cluster.sh start|restart|stop STATE [WATCH_PID]" >&2
    exit 2
fi

pg_bin() {
    if [ -n "${PG_BIN:-}" ]; then
        echo "$PG_BIN"
        return
    fi
    local newest=""
    for dir in /usr/lib/postgresql/*/bin; do
        [ -x "$dir/initdb" ] && newest="$dir"
    done
    if [ -z "$newest" ] && command -v initdb >/dev/null; then
        newest="$(dirname "$(command -v initdb)")"
    fi
    if [ -z "$newest" ]; then
        echo "cluster.sh: no PostgreSQL server found (tools/setup.sh installs it)" >&2
        exit 2
    fi
    echo "$newest"
}

# Runs a command as the account that owns the cluster.
as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

read_state() {
    dir="$(sed -n 's/^dir=//p' "$state")"
    port="$(sed -n 's/^port=//p' "$state")"
    bin="$(sed -n 's/^bin=//p' "$state")"
}

# Stops the server of one cluster folder (through its own postmaster.pid) and removes the folder.
remove_cluster() {
    local folder="$1" binaries="$2"
    if [ -f "$folder/data/postmaster.pid" ]; then
        as_owner "$binaries/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    case "$folder" in
    /tmp/gyvkt-pg.*) rm -rf "$folder" ;;
    esac
}

stop_cluster() {
    [ -f "$state" ] || return 0
    read_state
    [ -n "$dir" ] && remove_cluster "$dir" "$bin"
    rm -f "$state"
}

make_certificates() {
    local tls="$1"
    mkdir -p "$tls"
    local subject_alt="subjectAltName=DNS:localhost,IP:127.0.0.1"
    for ca in ca wrong-ca; do
        openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 \
            -subj "/CN=gyvkt test $ca" -keyout "$tls/$ca.key" -out "$tls/$ca.crt" 2>/dev/null
    done
    openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj "/CN=localhost" \
        -keyout "$tls/server.key" -out "$tls/server.csr" 2>/dev/null
    openssl x509 -req -in "$tls/server.csr" -CA "$tls/ca.crt" -CAkey "$tls/ca.key" -CAcreateserial \
        -days 2 -extfile <(echo "$subject_alt") -out "$tls/server.crt" 2>/dev/null
    chmod 600 "$tls/server.key"
}

start_server() {
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -o "-p $port" -w -t 60 start >/dev/null
}

start_cluster() {
    stop_cluster
    bin="$(pg_bin)"
    dir="$(mktemp -d /tmp/gyvkt-pg.XXXXXX)"
    make_certificates "$dir/tls"
    if [ "$(id -u)" -eq 0 ]; then
        chown -R postgres: "$dir"
    fi
    chmod 700 "$dir"
    as_owner "$bin/initdb" -D "$dir/data" -U postgres -E UTF8 --locale=C.UTF-8 --no-sync \
        --auth-local=trust --auth-host=scram-sha-256 >"$dir/initdb.log"
    # The superuser comes in over the folder's socket; everyone else with a password, and over
    # TCP only with TLS.
    cat >"$dir/data/pg_hba.conf" <<EOF
local   all postgres peer map=tests
local   all all      scram-sha-256
hostssl all all      127.0.0.1/32 scram-sha-256
host    all all      127.0.0.1/32 reject
EOF
    echo "tests $(id -un) postgres" >"$dir/data/pg_ident.conf"
    echo "tests postgres postgres" >>"$dir/data/pg_ident.conf"
    local fsync="${GYVKT_PG_FSYNC:-off}"
    cat >>"$dir/data/postgresql.conf" <<EOF
listen_addresses = '127.0.0.1'
unix_socket_directories = '$dir'
unix_socket_permissions = 0700
ssl = on
ssl_cert_file = '$dir/tls/server.crt'
ssl_key_file = '$dir/tls/server.key'
fsync = $fsync
max_connections = 60
EOF
    # A port another program holds makes the start fail; another one is tried.
    local tries=0
    while :; do
        port=$((20000 + RANDOM % 40000))
        if start_server; then
            break
        fi
        tries=$((tries + 1))
        if [ "$tries" -ge 10 ]; then
            cat "$dir/server.log" >&2 || true
            exit 1
        fi
    done
    cat >"$state" <<EOF
dir=$dir
port=$port
bin=$bin
ca=$dir/tls/ca.crt
wrongca=$dir/tls/wrong-ca.crt
EOF
    local watch="${3:-$PPID}"
    local self
    self="$(cd "$(dirname "$0")" && pwd)/$(basename "$0")"
    setsid bash -c '
        while kill -0 "$1" 2>/dev/null && [ -f "$2/data/PG_VERSION" ]; do sleep 2; done
        [ -f "$2/data/PG_VERSION" ] && bash "$0" reap "$2" "$3"
    ' "$self" "$watch" "$dir" "$bin" </dev/null >/dev/null 2>&1 &
    echo "PostgreSQL $("$bin/postgres" --version | awk '{print $3}') in $dir, port $port"
}

case "$command" in
start) start_cluster "$@" ;;
restart)
    read_state
    as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null
    start_server
    ;;
stop) stop_cluster ;;
reap) remove_cluster "$2" "$3" ;;
*)
    echo "cluster.sh: unknown command $command" >&2
    exit 2
    ;;
esac
