#!/usr/bin/env bash
# A failure while the simulator is in front: F4 pressed in the stand-in, with the track folder gone,
# brings up the failure report behind it. The report asks the window manager for attention on its
# own window (what FlashWindowEx becomes under X), and OK ends the program as before.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

rig_scene

rig_run_bg "$app/lapforge.exe"
main=$(rig_wait_window "Lapforge")
rig_key Tab space  # Launch GPL
rig_wait_window "GPL stand-in" >/dev/null
rm -r "$sim/tracks"  # the next rewrite fails

# Requests to the window manager go to the root window as client messages.
xev -root -event substructure >"$RIG_TMP/xev.log" 2>&1 &
RIG_PIDS+=($!)
sleep 0.5
rig_hold_key F4 0.1
rig_wait_for 10 '[ -n "$(xdotool search --onlyvisible --name "^Lapforge\$" | grep -vx "$main")" ]' ||
    rig_fail "no failure report"
box=$(xdotool search --onlyvisible --name "^Lapforge\$" | grep -vx "$main" | head -n 1)
sleep 1
rig_screenshot "$RIG_OUT/failure-behind-simulator.png"
hex=$(printf '0x%x' "$box")
grep -A1 "ClientMessage event.* window $hex," "$RIG_TMP/xev.log" | grep -q "message_type .*(_NET_WM_STATE)" ||
    { cat "$RIG_TMP/xev.log" >&2; rig_fail "the report ($hex) did not ask for attention"; }
xdotool windowactivate "$box" 2>/dev/null || true
rig_key Return
rig_wait_gone "$RIG_PID"
echo "PASS [$RIG_NAME]"
