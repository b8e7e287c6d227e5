#!/usr/bin/env bash
# The main window's buttons and its missing files. At 144 DPI with every file: the window is
# screenshot, and with the hotkey box unchecked the launch starts the simulator, so F4 changes
# nothing while the list still works. At 96 DPI without the first view picture and the help page,
# with that simulator still running: the view box stays empty and the deploy point is still
# written, Help shows no message of ours, "Launch GPL" brings the running simulator to the front
# instead of starting a second one and F4 there moves on; once it has ended, a launch of a vanished
# gpl.exe gives its message, and "Exit Lapforge" ends the process.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

rig_scene

# Pixel position of a point given in twips, at a DPI.
SECOND_LINE="stall_0 = 3100.00 0.00"  # Flugplatz/Schwedenkreuz, after Pitlane
px() { echo $(( ($1 * $2 + 720) / 1440 )); }

# --- 144 DPI, unchecked box at the click.
rig_set_dpi 144
sed -i '54s/.*/stall_0 = 1.00 0.00\r/' "$track"
rig_run_bg "$app/lapforge.exe"
main=$(rig_wait_window "Lapforge")
rig_assert_eq "stall_0 = 230.00 -9.30" "$(rig_line "$track" 54)" "line 54 at 144 DPI"
rig_screenshot "$RIG_OUT/main-window-144dpi.png"
rig_key Tab Tab Tab Tab space  # to the check box, and clear it
rig_key shift+Tab shift+Tab shift+Tab shift+Tab Tab space  # back to the list, then Launch GPL
rig_wait_file "$sim/gpl-report.txt"
rig_wait_window "GPL stand-in" >/dev/null
rig_hold_key F4 0.1
sleep 0.5
rig_assert_eq "stall_0 = 230.00 -9.30" "$(rig_line "$track" 54)" "line 54 after F4 with the box cleared"
# The handler has returned: the window still takes a pick from the list.
xdotool windowraise "$main"
rig_click "$main" "$(px 4207 144)" "$(px 1300 144)"  # the view picture: activates, focus back on Launch
rig_key shift+Tab Down  # the list, next section
rig_wait_for 5 '[ "$(rig_line "$track" 54)" == "$SECOND_LINE" ]' ||
    rig_fail "the list did not respond after the launch returned: $(rig_line "$track" 54)"
rig_click "$main" "$(px 4207 144)" "$(px 5047 144)"  # Exit Lapforge
rig_wait_gone "$RIG_PID"
rm -f "$sim/gpl-report.txt"  # the first stand-in stays open

# --- 96 DPI, no first view picture, no help page.
rig_set_dpi 96
rm "$app/blick0.jpg" "$app/LapforgeHelp.html"
sed -i '54s/.*/stall_0 = 1.00 0.00\r/' "$track"
rig_run_bg "$app/lapforge.exe"
main=$(rig_wait_window "Lapforge")
rig_assert_eq "stall_0 = 230.00 -9.30" "$(rig_line "$track" 54)" "line 54 without the view picture"
rig_screenshot "$RIG_OUT/main-window-missing-view.png"
rig_key Tab Tab Tab space  # Help
sleep 2
[ -z "$(rig_window Error)" ] || rig_fail "a missing help page gave a message of Lapforge's own"
[ -n "$(rig_window Lapforge)" ] || rig_fail "the main window went away after Help"
xdotool windowraise "$main"
rig_click "$main" "$(px 4207 96)" "$(px 3847 96)"  # Launch GPL, which runs already
standin=$(rig_window "GPL stand-in")
# xwininfo lists the root's windows from the top down.
on_top() { xwininfo -root -children | grep -oE '0x[0-9a-f]+ "(GPL stand-in|Lapforge)"' | head -n 1 | cut -d' ' -f1; }
rig_wait_for 5 '[ "$(on_top)" == "$(printf "0x%x" "$standin")" ]' || rig_fail "the running simulator was not brought to the front"
sleep 1
[ ! -e "$sim/gpl-report.txt" ] || rig_fail "a second simulator was started"
rig_hold_key F4 0.1
rig_wait_for 5 '[ "$(rig_line "$track" 54)" == "$SECOND_LINE" ]' || rig_fail "F4 did not advance"
# The simulator ends; a launch that then fails outright gives its message.
rig_click "$standin" 100 100
xdotool keydown alt keydown F4 keyup F4 keyup alt
rig_wait_window_gone "GPL stand-in"
mv "$sim/gpl.exe" "$sim/gpl.moved"
xdotool windowraise "$main"
rig_click "$main" "$(px 4207 96)" "$(px 3847 96)"  # Launch GPL
rig_wait_window "Error" >/dev/null
rig_screenshot "$RIG_OUT/launch-failed.png"
rig_key Return
rig_wait_window_gone "Error"
rig_assert_eq "$SECOND_LINE" "$(rig_line "$track" 54)" "line 54 after Alt+F4 and the failed launch"
xdotool windowraise "$main"
rig_click "$main" "$(px 4207 96)" "$(px 5047 96)"  # Exit Lapforge, while the cycle is armed
rig_wait_gone "$RIG_PID"
echo "PASS [$RIG_NAME]"
