#!/usr/bin/env bash
# A mod's GPL: with the stand-in as gpl.exe and as gplc65.exe, the list beside "Launch GPL" offers
# both, gpl.exe first; gplc65.exe picked is kept in lapforge.ini and "Launch GPL" starts it
# maximised in GPL's folder. A mod copied in meanwhile shows when the list is opened. With
# gplc65.exe deleted, the next start offers gpl.exe chosen and the status line says it fell back.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

rig_scene
cp "$GPL_STANDIN" "$sim/gplc65.exe"
winsim=$(rig_winpath "$sim")
PROGRAMS=116  # the list's id in the main window's control enum
STATUS=114
rows() { wine "$LAYOUT_PROBE" Lapforge rows "$PROGRAMS" 2>/dev/null | tr -d '\r' | paste -sd ';'; }
px() { echo $((($1 + 7) / 15)); }  # twips to pixels at 96 DPI

rig_set_dpi 96
rig_run_bg "$app/lapforge.exe"
main=$(rig_wait_window "Lapforge")
rig_assert_eq "selected | gpl.exe;- | gplc65.exe" "$(rows)" "the programs at start"
rig_key Tab Tab Down  # past Launch GPL to the list beside it, the next program
rig_wait_for 5 '[ "$(rig_line "$app/lapforge.ini" 2)" == "launch=gplc65.exe" ]' ||
    rig_fail "the pick was not kept: $(tr '\r\n' '  ' <"$app/lapforge.ini")"
rig_assert_eq "- | gpl.exe;selected | gplc65.exe" "$(rows)" "the programs after the pick"

# A mod installed while Lapforge runs shows once the list is opened.
cp "$GPL_STANDIN" "$sim/gplc67-historic.exe"
rig_key alt+Down
rig_wait_for 5 '[ "$(rows)" == "- | gpl.exe;selected | gplc65.exe;- | gplc67-historic.exe" ]' ||
    rig_fail "the mod copied in is not offered: $(rows)"
rig_screenshot "$RIG_OUT/launch-programs-open.png"
rig_key Escape

rig_key shift+Tab space  # Launch GPL
rig_wait_file "$sim/gpl-report.txt"
report=$(tr -d '\r' <"$sim/gpl-report.txt")
rig_assert_eq "command_line=\"$winsim\\gplc65.exe\"" "$(grep '^command_line=' <<<"$report")" "the mod's command line"
rig_assert_eq "working_directory=$winsim" "$(grep '^working_directory=' <<<"$report")" "the mod's working folder"
rig_assert_eq "show_command=3" "$(grep '^show_command=' <<<"$report")" "the mod's show command (maximised)"
standin=$(rig_wait_window "GPL stand-in")
rig_click "$standin" 100 100
xdotool keydown alt keydown F4 keyup F4 keyup alt
rig_wait_window_gone "GPL stand-in"
xdotool windowraise "$main"
rig_click "$main" "$(px 4207)" "$(px 5047)"  # Exit Lapforge
rig_wait_gone "$RIG_PID"

# The mod is gone: gpl.exe again, and the status line says why.
rm "$sim/gplc65.exe" "$sim/gpl-report.txt"
rig_run_bg "$app/lapforge.exe"
main=$(rig_wait_window "Lapforge")
rig_assert_eq "selected | gpl.exe;- | gplc67-historic.exe" "$(rows)" "the programs with the chosen one gone"
status=$(rig_control_text Lapforge "$STATUS")
[[ "$status" == *'"gplc65.exe" is no longer in the GPL folder, so Launch GPL starts gpl.exe.'* ]] ||
    rig_fail "the status line does not tell the fallback: [$status]"
grep -q "^launch=" "$app/lapforge.ini" && rig_fail "the lost choice is still kept: $(tr '\r\n' '  ' <"$app/lapforge.ini")"
rig_screenshot "$RIG_OUT/launch-fallback-96dpi.png"
rig_click "$main" "$(px 4207)" "$(px 5047)"  # Exit Lapforge
rig_wait_gone "$RIG_PID"
echo "PASS [$RIG_NAME]"
