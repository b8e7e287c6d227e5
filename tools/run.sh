#!/usr/bin/env bash
# Builds Lapforge for Windows and starts it under Wine against a demo simulator folder.
# With a display it opens on that display; without one it runs on a private Xvfb, saves a
# screenshot and says where.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${LAPFORGE_BUILD:-$here/build}
jobs=$(nproc 2>/dev/null || echo 2)

bash "$here/tools/install-deps.sh"

cmake -S "$here" -B "$build/windows" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build "$build/windows" -j "$jobs" --target lapforge standin_gpl

demo=$build/demo
app=$demo/Lapforge
sim="$demo/GPL Demo"
mkdir -p "$app"
cp "$build/windows/windows/lapforge.exe" "$app/"
cp "$here"/data/* "$app/"
[ -f "$sim/tracks/nurburg/track.ini" ] || bash "$here/tools/make-demo-sim.sh" "$sim" "$build/windows/tests/standin/gpl.exe"
cp "$build/windows/tests/standin/gpl.exe" "$sim/gpl.exe"

export WINEPREFIX=$demo/wineprefix WINEDEBUG=-all
started=()
cleanup() {
    # The demo prefix is ours alone: ending its server ends every Wine process started here.
    if [ -n "${server_pid:-}" ] && kill -0 "$server_pid" 2>/dev/null; then wineserver -k 2>/dev/null || true; fi
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 130); do [ -e "/tmp/.X$n-lock" ] || break; done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp &
    started+=($!)
    export DISPLAY=":$n"
    sleep 1
    headless=1
fi

bash "$here/tests/e2e/make-prefix.sh" "$WINEPREFIX"
# Our own server, in the foreground so its pid is ours; it ends 3 s after its last client.
wineserver -f -p3 >/dev/null 2>&1 &
server_pid=$!
started+=("$server_pid")


# The first start asks for GPL's folder; the dialog opens in the demo folder, where "GPL Demo" waits.
echo "Lapforge: $app\\lapforge.exe    demo GPL folder: $sim"
if [ -n "${headless:-}" ]; then
    (cd "$demo" && wine "$app/lapforge.exe") &
    started+=($!)
    for _ in $(seq 1 200); do
        xdotool search --name '^(Lapforge|Where is GPL\?)$' >/dev/null 2>&1 && break
        sleep 0.1
    done
    sleep 2
    import -window root "$demo/lapforge-screenshot.png"
    echo "No display: Lapforge ran on a private Xvfb. Screenshot: $demo/lapforge-screenshot.png"
else
    (cd "$demo" && wine "$app/lapforge.exe")
    # Let the server end by itself once Lapforge has gone, so the registry is saved.
    wait "$server_pid" 2>/dev/null || true
fi
