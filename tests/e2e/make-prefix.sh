#!/usr/bin/env bash
# Creates the Wine prefix the end-to-end tests copy from; does nothing if it is already there.
set -euo pipefail
prefix=$1
[ -f "$prefix/system.reg" ] && exit 0
for tool in wine wineboot wineserver Xvfb; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (run tools/install-deps.sh)" >&2; exit 1; }
done
mkdir -p "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=""
server_pid=""
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    true
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
    n=$(( 200 + $$ % 300 )); while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
fi
# Our own server in the foreground (so its pid is ours), ending a few seconds after its last
# client: a persistent one would keep the wait below from ever returning.
wineserver -f -p3 >/dev/null 2>&1 &
server_pid=$!
wineboot -i >/dev/null 2>&1
# The prefix is complete once the server has written the registry and ended.
for _ in $(seq 1 600); do
    kill -0 "$server_pid" 2>/dev/null || { server_pid=""; break; }
    sleep 0.2
done
[ -z "$server_pid" ] || { echo "wineserver did not end after wineboot" >&2; exit 1; }
[ -f "$prefix/system.reg" ] || { echo "wineboot left no registry in $prefix" >&2; exit 1; }
echo "wine prefix ready: $prefix"
