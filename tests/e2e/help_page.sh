#!/usr/bin/env bash
# Help opens the help page beside lapforge.exe with the program registered for .html pages: a
# stand-in registered in this prefix records the command line it was started with.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

app="$RIG_TMP/Lapforge Apps/app"  # a blank in the path: the page must arrive as one argument
rig_installed "$app" "$RIG_TMP/GPL"

# The simulator's stand-in writes its command line beside itself: here it plays the page viewer.
viewer="$RIG_TMP/viewer"
mkdir -p "$viewer"
cp "$GPL_STANDIN" "$viewer/pageviewer.exe"
winviewer=$(rig_winpath "$viewer/pageviewer.exe")
wine reg add 'HKCR\.html' /ve /d LapforgeTestPage /f >/dev/null 2>&1
wine reg add 'HKCR\LapforgeTestPage\shell\open\command' /ve /d "\"$winviewer\" \"%1\"" /f >/dev/null 2>&1

cd "$RIG_TMP"
rig_run_bg "$app/lapforge.exe"
rig_wait_window "Lapforge" >/dev/null
rig_key Tab Tab Tab space  # from the list, past Launch GPL and its program, to Help
rig_wait_file "$viewer/gpl-report.txt"
report=$(tr -d '\r' <"$viewer/gpl-report.txt")
rig_assert_eq "command_line=\"$winviewer\" \"$(rig_winpath "$app")\\LapforgeHelp.html\"" \
    "$(grep '^command_line=' <<<"$report")" "the page viewer's command line"
# No folder of its own: the viewer starts in Lapforge's current folder.
rig_assert_eq "working_directory=$(rig_winpath "$RIG_TMP")" "$(grep '^working_directory=' <<<"$report")" \
    "the page viewer's folder"
[ "$(grep '^show_command=' <<<"$report")" != "show_command=0" ] || rig_fail "the page was opened hidden"
[ -z "$(rig_window Error)" ] || rig_fail "Help gave a message"
[ -n "$(rig_window Lapforge)" ] || rig_fail "the main window went away after Help"
echo "PASS [$RIG_NAME]"
