#!/usr/bin/env bash
# Builds Lapforge for Windows and starts it under Wine against a demo simulator folder.
# With a display it opens there and stays until closed. Without one it runs a short scripted tour
# on a private Xvfb (tools/tour.sh) and saves a screenshot of each step under build/demo/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${LAPFORGE_BUILD:-$here/build}
jobs=$(nproc 2>/dev/null || echo 2)

bash "$here/tools/install-deps.sh"

cmake -S "$here" -B "$build/windows" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release
cmake --build "$build/windows" -j "$jobs" --target lapforge standin_gpl

demo=$build/demo
app=$demo/Lapforge
sim="$demo/GPL Demo"
standin=$build/windows/tests/standin/gpl.exe
mkdir -p "$app"
cp "$build/windows/ui/lapforge.exe" "$app/"
cp -R "$here"/data/. "$app/"
bash "$here/tests/e2e/make-prefix.sh" "$demo/wineprefix"

if [ -z "${DISPLAY:-}" ]; then
    # The tour starts as a new user would: no settings yet, the demo track file as first made.
    rm -rf "$sim" "$app/lapforge.ini"
    bash "$here/tools/make-demo-sim.sh" "$sim" "$standin"
    echo "No display: a scripted tour of Lapforge on a private Xvfb."
    exec env LAPFORGE_WINEPREFIX="$demo/wineprefix" E2E_OUT="$demo" E2E_NAME=tour \
        bash "$here/tools/tour.sh" "$demo"
fi

[ -f "$sim/tracks/nurburg/track.ini" ] || bash "$here/tools/make-demo-sim.sh" "$sim" "$standin"
cp "$standin" "$sim/gpl.exe"

export WINEPREFIX=$demo/wineprefix WINEDEBUG=-all
server_pid=""
cleanup() {
    # The demo prefix is ours alone: ending its server ends every Wine process started here.
    if [ -n "$server_pid" ] && kill -0 "$server_pid" 2>/dev/null; then
        wineserver -k 2>/dev/null || true
        kill "$server_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT

# Our own server, in the foreground so its pid is ours; it ends 3 s after its last client.
wineserver -f -p3 >/dev/null 2>&1 &
server_pid=$!

# The first start asks for GPL's folder; the dialog opens in the demo folder, where "GPL Demo" waits.
echo "Lapforge: $app\\lapforge.exe    demo GPL folder: $sim"
(cd "$demo" && wine "$app/lapforge.exe")
# Let the server end by itself once Lapforge has gone, so the registry is saved.
wait "$server_pid" 2>/dev/null || true
