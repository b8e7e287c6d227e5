#!/usr/bin/env bash
# With a valid settings file: Pitlane applied at start with every other line kept; picking a
# section with the keyboard rewrites line 54; the launch starts the stand-in maximised in its own
# folder with a quoted path; F4 pressed in the simulator advances, and eleven presses give the
# starting file back byte for byte.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

app="$RIG_TMP/app"
sim="$RIG_TMP/Program Files/GPL"
track="$sim/tracks/nurburg/track.ini"
rig_installed "$app" "$sim"
sed -i '54s/.*/stall_0 = 1.00 0.00\r/' "$track"
cp "$track" "$RIG_TMP/original.ini"

cd "$RIG_TMP"
rig_run_bg "$app/lapforge.exe"
rig_wait_window "Lapforge" >/dev/null
[ -z "$(rig_window 'Where is GPL?')" ] || rig_fail "asked for the folder although the settings were valid"
rig_assert_eq "stall_0 = 230.00 -9.30" "$(rig_line "$track" 54)" "line 54 after start"
sed '54s/.*/stall_0 = 230.00 -9.30\r/' "$RIG_TMP/original.ini" | cmp -s - "$track" || rig_fail "other lines changed"

rig_key Down Down Down Down Down Down Down
rig_wait_for 5 '[ "$(rig_line "$track" 54)" == "stall_0 = 14000.00 0.00" ]' ||
    rig_fail "Hohe Acht/Wippermann not applied: $(rig_line "$track" 54)"
rig_screenshot "$RIG_OUT/main-window-section7.png"

rig_key Down Down  # Schwalbenschwanz/Doettinger Hoehe
rig_wait_for 5 '[ "$(rig_line "$track" 54)" == "stall_0 = 17800.00 0.00" ]' || rig_fail "section 9 not applied"
cp "$track" "$RIG_TMP/before-f4.ini"

rig_key Tab space  # Launch GPL
rig_wait_file "$sim/gpl-report.txt"
report=$(tr -d '\r' <"$sim/gpl-report.txt")
winsim=$(rig_winpath "$sim")
rig_assert_eq "command_line=\"$winsim\\gpl.exe\"" "$(grep '^command_line=' <<<"$report")" "command line"
rig_assert_eq "working_directory=$winsim" "$(grep '^working_directory=' <<<"$report")" "working folder"
rig_assert_eq "show_command=3" "$(grep '^show_command=' <<<"$report")" "show command (maximised)"
rig_wait_window "GPL stand-in" >/dev/null

rig_hold_key F4 0.1
rig_wait_for 5 '[ "$(rig_line "$track" 54)" == "stall_0 = 19400.00 0.00" ]' ||
    rig_fail "F4 did not advance: $(rig_line "$track" 54)"
for _ in $(seq 10); do
    sleep 0.2
    rig_hold_key F4 0.1
done
rig_wait_for 5 'cmp -s "$RIG_TMP/before-f4.ini" "$track"' || rig_fail "eleven presses did not give the file back"
echo "PASS [$RIG_NAME]"
