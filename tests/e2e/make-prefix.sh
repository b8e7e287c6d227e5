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
wineserver -p >/dev/null 2>&1 &
server_pid=$!
wineboot -i >/dev/null 2>&1
wineserver -w
server_pid=""
echo "wine prefix ready: $prefix"
