#!/usr/bin/env bash
# What a failure or a kill leaves behind. With GPL in front, F4 against a track folder that has gone
# keeps Lapforge running with nothing to click: the list stays, the status line says so and the main
# window asks for attention (what FlashWindowEx becomes under X); once the folder is back the next F4
# moves on from the section the file holds. A second start brings the first one, minimised, back in
# front and ends, touching nothing. Killed at a section, started again, ended with Exit and at once
# started and exited again, Lapforge leaves the track file as it was before the first start.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

rig_scene
sed -i '54s/.*/stall_0 = 777.00 1.00\r/' "$track"  # GPL's own line, none of the sections'
cp "$track" "$RIG_TMP/track.before"
status() { rig_control_text "Lapforge" 114; }

rig_run_bg "$app/lapforge.exe"
main=$(rig_wait_window "Lapforge")
lapforge=$RIG_PID
rig_key Tab space  # Launch GPL
rig_wait_window "GPL stand-in" >/dev/null
rig_hold_key F4 0.1
rig_wait_for 10 '[ "$(rig_line "$track" 54)" == "stall_0 = 3100.00 0.00" ]' || rig_fail "F4 did not move on"

mv "$sim/tracks" "$RIG_TMP/tracks-away"  # the next rewrite fails
# Requests to the window manager go to the root window as client messages.
xev -root -event substructure >"$RIG_TMP/xev.log" 2>&1 &
RIG_PIDS+=($!)
sleep 0.5
rig_hold_key F4 0.1
rig_wait_for 10 '[[ "$(status)" == "Deploy point not written:"* ]]' || rig_fail "status: $(status)"
[ "$(xdotool search --onlyvisible --name "^Lapforge\$" | wc -l)" -eq 1 ] || rig_fail "a box came up"
kill -0 "$lapforge" || rig_fail "Lapforge ended"
hex=$(printf '0x%x' "$main")
grep -A1 "ClientMessage event.* window $hex," "$RIG_TMP/xev.log" | grep -q "message_type .*(_NET_WM_STATE)" ||
    { cat "$RIG_TMP/xev.log" >&2; rig_fail "the main window ($hex) did not ask for attention"; }
rig_screenshot "$RIG_OUT/failure-behind-simulator.png"

mv "$RIG_TMP/tracks-away" "$sim/tracks"
rig_hold_key F4 0.1
rig_wait_for 10 '[ "$(rig_line "$track" 54)" == "stall_0 = 5600.00 0.00" ]' ||
    rig_fail "the next F4 did not move on from the section the file holds: $(rig_line "$track" 54)"
rig_wait_for 5 '[[ "$(status)" == "GPL runs: "* ]]' || rig_fail "the problem is still said after a good press: $(status)"

# Minimised behind GPL, the first one comes back in front of it when a second is started.
window_state() { wine "$LAYOUT_PROBE" "Lapforge" 2>/dev/null | tr -d '\r' | awk '$1 == "state" { print $2, $3 }'; }
wine "$LAYOUT_PROBE" "Lapforge" minimise
rig_wait_for 5 '[[ "$(window_state)" == minimised* ]]' || rig_fail "the main window is not minimised: $(window_state)"
cp "$track" "$RIG_TMP/track.running"
cp "$app/lapforge.ini" "$RIG_TMP/settings.running"
wine "$app/lapforge.exe" >/dev/null 2>&1 &
second=$!
rig_wait_gone "$second" 20
rig_wait_for 5 '[ "$(window_state)" == "normal front" ]' || rig_fail "the first one did not come forward: $(window_state)"
top=$(xwininfo -root -children | grep -oE '"(Lapforge|GPL stand-in)"' | head -n 1)  # top-most first
rig_assert_eq '"Lapforge"' "$top" "the window on top after the second start"
sleep 0.5  # let it finish painting
rig_screenshot "$RIG_OUT/second-start.png"
cmp -s "$track" "$RIG_TMP/track.running" || rig_fail "a second start touched the track file"
cmp -s "$app/lapforge.ini" "$RIG_TMP/settings.running" || rig_fail "a second start touched the settings"
[ "$(xdotool search --onlyvisible --name "^Lapforge\$" | wc -l)" -eq 1 ] || rig_fail "two main windows"

kill -9 "$lapforge"
rig_wait_gone "$lapforge"
rig_run_bg "$app/lapforge.exe"
main=$(rig_wait_window "Lapforge")
rig_assert_eq "stall_0 = 230.00 -9.30" "$(rig_line "$track" 54)" "line 54 after the restart"
exit_button() { rig_click "$1" "$(( (4207 * 96 + 720) / 1440 ))" "$(( (5047 * 96 + 720) / 1440 ))"; }
restarted=$RIG_PID
exit_button "$main"
# Started again at once, while the one that was exited may still be ending: this start counts.
rig_run_bg "$app/lapforge.exe"
rig_wait_gone "$restarted"
main=$(rig_wait_window "Lapforge")
exit_button "$main"
rig_wait_gone "$RIG_PID"
cmp "$RIG_TMP/track.before" "$track" || rig_fail "the track file is not as it was before the first start"
echo "PASS [$RIG_NAME]"
