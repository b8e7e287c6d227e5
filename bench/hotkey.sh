#!/usr/bin/env bash
# Prints what the F4 cycle costs while the simulator runs: Lapforge's processor time while it waits
# for F4, and the time from the release of F4 to the rewritten track file. Runs the real
# lapforge.exe and the stand-in gpl.exe under Wine on the end-to-end rig; prints figures only.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${LAPFORGE_BUILD:-$here/build}/windows
export LAPFORGE_SOURCE=${LAPFORGE_SOURCE:-$here}
export LAPFORGE_DATA=${LAPFORGE_DATA:-$here/data}
export LAPFORGE_EXE=${LAPFORGE_EXE:-$build/ui/lapforge.exe}
export GPL_STANDIN=${GPL_STANDIN:-$build/tests/standin/gpl.exe}
export LAPFORGE_WINEPREFIX=${LAPFORGE_WINEPREFIX:-$build/wineprefix}
export E2E_OUT=${E2E_OUT:-$build/bench-out} E2E_NAME=${E2E_NAME:-bench_hotkey}
presses=20 idle_seconds=10

if [ ! -f "$LAPFORGE_EXE" ] || [ ! -f "$GPL_STANDIN" ]; then
    cmake -S "$here" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
          -DCMAKE_BUILD_TYPE=Release
    cmake --build "$build" -j2
fi
bash "$here/tests/e2e/make-prefix.sh" "$LAPFORGE_WINEPREFIX" >/dev/null

source "$here/tests/e2e/rig.sh"
rig_start

rig_scene
rig_run_bg "$app/lapforge.exe"
rig_wait_window "Lapforge" >/dev/null
rig_key Tab space  # Launch GPL; from here on Lapforge waits for F4
rig_wait_window "GPL stand-in" >/dev/null

# The lapforge.exe process of this run's own prefix, never one of another Wine session.
lapforge_pid=""
for pid in $(pgrep -f 'lapforge\.exe' || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
        lapforge_pid=$pid
    fi
done
[ -n "$lapforge_pid" ] || rig_fail "no lapforge.exe process in $WINEPREFIX"

ticks() {  # pid; user plus system clock ticks so far (fields 14 and 15, after the "(name)")
    sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}
hz=$(getconf CLK_TCK)
t0=$(date +%s%N) a0=$(ticks "$lapforge_pid") s0=$(ticks "$RIG_SERVER_PID")
sleep "$idle_seconds"
t1=$(date +%s%N) a1=$(ticks "$lapforge_pid") s1=$(ticks "$RIG_SERVER_PID")
share() {  # ticks-before ticks-after; percent of one core over the wait
    awk -v d=$(($2 - $1)) -v hz="$hz" -v ns=$((t1 - t0)) 'BEGIN { printf "%.2f", 100 * d / hz / (ns / 1e9) }'
}
echo "Waiting for F4 for ${idle_seconds} s (clock tick $((1000 / hz)) ms):"
echo "  lapforge.exe: $(share "$a0" "$a1") % of one core   (goal: under 1 %; a busy poll would use about 100 %)"
echo "  wineserver:   $(share "$s0" "$s1") % of one core   (the whole prefix, for reference)"

# Each press: hold F4 for 0.1 s, take the time as soon as the key-up has gone out, then poll line
# 54 until it differs. The poll sleeps 0.2 ms between reads so it leaves the processor to Wine.
python3 - "$track" "$presses" <<'EOF'
import statistics, subprocess, sys, time

track, presses = sys.argv[1], int(sys.argv[2])

def line54():
    with open(track, "rb") as f:
        return f.read().split(b"\n")[53]

latencies, polls, polling_ns = [], 0, 0
for press in range(presses):
    before = line54()
    subprocess.run(["xdotool", "keydown", "F4"], check=True)
    time.sleep(0.1)
    subprocess.run(["xdotool", "keyup", "F4"], check=True)
    released = time.time_ns()
    last = released
    while line54() == before:
        if time.time_ns() - released > 5e9:
            sys.exit(f"FAIL: press {press + 1} did not change line 54")
        time.sleep(0.0002)
        now = time.time_ns()
        polls, polling_ns, last = polls + 1, polling_ns + now - last, now
    latencies.append((time.time_ns() - released) / 1e6)
    time.sleep(0.2)

print(f"F4 release to rewritten line 54, {presses} presses:")
print(f"  median {statistics.median(latencies):.1f} ms, worst {max(latencies):.1f} ms   (goal: median under 30 ms)")
print(f"  polling granularity: one read of the file every {polling_ns / max(polls, 1) / 1e6:.2f} ms on average;"
      " the key-up is taken when xdotool returns")
EOF
