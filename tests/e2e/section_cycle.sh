#!/usr/bin/env bash
# The section cycle as a driver meets it. GPL (the stand-in) started by hand from its folder, not by
# Lapforge: F4 moves on; Alt+F4 closing another window does not; a gpl.exe from another folder
# does not arm it; GPL ended, F4 does nothing; GPL started again, F4 moves on, and quick taps of F4
# count one by one. "Previous" bound to
# F3 in the Keys window (which says that no controller is connected; Esc cancels a change) moves
# back, and the binding survives a restart at 144 DPI with the settings file's first line unchanged.
# A track update while Lapforge runs is kept, and a line 54 changed outside Lapforge is put back on
# Exit. Screenshots of the main window and the Keys window at 96 and 144 DPI.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

rig_scene
other="$RIG_TMP/Other GPL"  # a copy of the simulator outside the chosen folder
mkdir -p "$other"
cp "$sim/gpl.exe" "$other/"
cp "$app/lapforge.ini" "$RIG_TMP/first-line.ini"
px() { echo $(( ($1 * $2 + 720) / 1440 )); }
main_keys_button() { echo "$(px 787 "$1") $(px 5587 "$1")"; }  # the middle of "Keys…" at a DPI

standins() { xdotool search --onlyvisible --name '^GPL stand-in$' 2>/dev/null | sort || true; }
start_standin() {  # folder; the new stand-in's unix pid in STANDIN_PID, its window in STANDIN
    local before
    before=$(standins)
    cd "$1"  # started from its folder, as a shortcut starts it
    rig_run_bg "$1/gpl.exe"
    STANDIN_PID=$RIG_PID
    cd "$RIG_TMP"
    rig_wait_for 20 '[ -n "$(comm -13 <(echo "$before") <(standins))" ]' || rig_fail "no stand-in from $1"
    STANDIN=$(comm -13 <(echo "$before") <(standins) | head -n 1)
    sleep 2  # Lapforge looks for GPL once a second
}
press_in() {  # window key
    xdotool windowraise "$1"
    rig_click "$1" 320 240
    rig_hold_key "$2" 0.1
}

rig_set_dpi 96
rig_run_bg "$app/lapforge.exe"
lapforge=$RIG_PID
main=$(rig_wait_window "Lapforge")
rig_screenshot "$RIG_OUT/section-cycle-main-96.png"
rig_expect_line "stall_0 = 230.00 -9.30" "start"

start_standin "$other"
throwaway=$STANDIN
press_in "$throwaway" F4
rig_expect_still "stall_0 = 230.00 -9.30" "F4 with gpl.exe running from another folder"

start_standin "$sim"
gpl=$STANDIN gpl_pid=$STANDIN_PID
press_in "$gpl" F4
rig_expect_line "stall_0 = 3100.00 0.00" "F4 with GPL started by hand"

# Alt+F4 closes the other window, and only that.
xdotool windowraise "$throwaway"
rig_click "$throwaway" 320 240
xdotool keydown alt keydown F4
sleep 0.1
xdotool keyup F4 keyup alt
rig_wait_for 10 '! standins | grep -qx "$throwaway"' || rig_fail "Alt+F4 did not close the other window"
rig_expect_still "stall_0 = 3100.00 0.00" "Alt+F4"

# GPL ends: F4, pressed in another window, does nothing.
kill "$gpl_pid"
rig_wait_gone "$gpl_pid"
sleep 1.5
start_standin "$other"
press_in "$STANDIN" F4
rig_expect_still "stall_0 = 3100.00 0.00" "F4 after GPL ended"

start_standin "$sim"
gpl=$STANDIN
press_in "$gpl" F4
rig_expect_line "stall_0 = 5600.00 0.00" "F4 with GPL started again"

# Quick taps, each down and up at once, 32 ms apart: every one counts, eight of them, then three more
# back round to where they began.
xdotool key --delay 32 F4 F4 F4 F4 F4 F4 F4 F4
rig_expect_line "stall_0 = 19400.00 0.00" "eight quick taps of F4"
rig_expect_still "stall_0 = 19400.00 0.00" "eight quick taps of F4, a moment later"
xdotool key --delay 32 F4 F4 F4
rig_expect_line "stall_0 = 5600.00 0.00" "three more quick taps"

# The Keys window: "Previous" bound to F3, after a change cancelled with Esc.
xdotool windowraise "$main"
rig_click "$main" $(main_keys_button 96)
keys=$(rig_wait_window "Keys")
rig_assert_eq "F4" "$(rig_control_text Keys 101)" "next binding shown"
rig_assert_eq "not set" "$(rig_control_text Keys 104)" "previous binding shown"
rig_control_text Keys 107 | grep -q '^No controller connected' ||
    rig_fail "the Keys window does not say that no controller is connected: $(rig_control_text Keys 107)"
rig_key Tab space  # Change "Previous section"
rig_wait_for 5 '[ "$(rig_control_text Keys 104)" == "…" ]' || rig_fail "the change did not start"
rig_screenshot "$RIG_OUT/section-cycle-keys-96.png"
rig_key Escape
rig_wait_for 5 '[ "$(rig_control_text Keys 104)" == "not set" ]' || rig_fail "Esc did not cancel the change"
[ -n "$(rig_window Keys)" ] || rig_fail "Esc during a change closed the Keys window"
sleep 0.5
rig_key space
rig_wait_for 5 '[ "$(rig_control_text Keys 104)" == "…" ]' || rig_fail "the second change did not start"
rig_hold_key F3 0.1
rig_wait_for 5 '[ "$(rig_control_text Keys 104)" == "F3" ]' || rig_fail "F3 not taken: $(rig_control_text Keys 104)"
sleep 0.5
rig_key Tab Tab Tab Tab Tab space  # OK (past Clear and the jump list with its buttons)
rig_wait_window_gone "Keys"
head -c "$(wc -c <"$RIG_TMP/first-line.ini")" "$app/lapforge.ini" | cmp -s - "$RIG_TMP/first-line.ini" ||
    rig_fail "the settings file's first line changed: $(od -c "$app/lapforge.ini" | head -n 3)"
grep -qx $'previous=key:0x72\r' "$app/lapforge.ini" || rig_fail "F3 not stored: $(cat -A "$app/lapforge.ini")"
rig_expect_still "stall_0 = 5600.00 0.00" "the keys pressed in the Keys window"
press_in "$gpl" F3
rig_expect_line "stall_0 = 3100.00 0.00" "F3 bound to Previous"

# A restart at 144 DPI keeps the binding.
xdotool windowraise "$main"
rig_click "$main" "$(px 4207 96)" "$(px 5047 96)"  # Exit Lapforge
rig_wait_gone "$lapforge"
rig_set_dpi 144
rig_run_bg "$app/lapforge.exe"
main=$(rig_wait_window "Lapforge")
rig_screenshot "$RIG_OUT/section-cycle-main-144.png"
rig_expect_line "stall_0 = 230.00 -9.30" "start at 144 DPI"
sleep 2
press_in "$gpl" F3
rig_expect_line "stall_0 = 19400.00 0.00" "F3 after the restart: before Pitlane comes the last section"
xdotool windowraise "$main"
rig_click "$main" $(main_keys_button 144)
rig_wait_window "Keys" >/dev/null
rig_assert_eq "F3" "$(rig_control_text Keys 104)" "previous binding after the restart"
rig_screenshot "$RIG_OUT/section-cycle-keys-144.png"
rig_key Escape
rig_wait_window_gone "Keys"
grep -qx $'previous=key:0x72\r' "$app/lapforge.ini" || rig_fail "the binding went: $(cat -A "$app/lapforge.ini")"

# GPL's file is the file as it is now: a track update's line 10 stays through the next press, and a
# line 54 changed outside Lapforge to one it never writes is GPL's own from then on, as Exit shows.
sed -i '10s/.*/line ten of the update\r/' "$track"
press_in "$gpl" F4
rig_expect_line "stall_0 = 230.00 -9.30" "F4 after a track update"
rig_assert_eq "line ten of the update" "$(rig_line "$track" 10)" "the update's line 10 after a press"
sed -i '54s/.*/stall_0 = 777.00 1.50\r/' "$track"
press_in "$gpl" F4
rig_expect_line "stall_0 = 3100.00 0.00" "F4 from a line 54 changed elsewhere (777 m): on along the lap"
rig_control_text Lapforge 114 | grep -qF 'Line 54 of GPL'"'"'s track file was changed outside Lapforge to "stall_0 = 777.00 1.50"' ||
    rig_fail "the status line does not say that line 54 was changed: $(rig_control_text Lapforge 114)"
xdotool windowraise "$main"
rig_click "$main" "$(px 4207 144)" "$(px 5047 144)"  # Exit Lapforge
rig_wait_window_gone "Lapforge"
rig_assert_eq "stall_0 = 777.00 1.50" "$(rig_line "$track" 54)" "line 54 after Exit"
rig_assert_eq "line ten of the update" "$(rig_line "$track" 10)" "line 10 after Exit"
[ ! -e "$track.lapforge-record" ] || rig_fail "the record stayed after Exit"
echo "PASS [$RIG_NAME]"
