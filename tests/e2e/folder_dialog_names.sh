#!/usr/bin/env bash
# Folder names beyond ASCII: a simulator folder with an accented letter is accepted and written to
# the settings file in the ANSI code page; a folder holding gpl.exe but no track file is accepted
# too, and the start then stops with the failure report after the settings were written.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

app="$RIG_TMP/app"
rig_app_folder "$app"
home="$RIG_TMP/home"
accented="$home/Grand Prix Légends"
bare="$home/Ohne Strecke"
rig_demo_sim "$accented"
mkdir -p "$bare"
cp "$GPL_STANDIN" "$bare/gpl.exe"
cd "$home"

# The folders are listed "Grand Prix Légends", "Ohne Strecke" under the current folder.
rig_run_bg "$app/lapforge.exe"
rig_wait_window "Where is GPL?" >/dev/null
rig_key Tab Down Return Tab space
rig_wait_window "Lapforge" >/dev/null
rig_assert_eq "$(printf %s "$(rig_winpath "$accented")" | iconv -f UTF-8 -t CP1252 | od -An -tx1)" \
    "$(tr -d '\r\n' <"$app/lapforge.ini" | od -An -tx1)" "settings file bytes"
rig_assert_eq "stall_0 = 230.00 -9.30" "$(rig_line "$accented/tracks/nurburg/track.ini" 54)" "line 54"
rig_key Tab Tab Tab Tab Tab space  # Exit Lapforge
rig_wait_gone "$RIG_PID"

rm "$app/lapforge.ini"
rig_run_bg "$app/lapforge.exe"
rig_wait_window "Where is GPL?" >/dev/null
rig_key Tab Down Down Return Tab space
rig_wait_window "Lapforge" >/dev/null  # the failure report ("Lapforge has to stop."), not the main window
rig_screenshot "$RIG_OUT/failure-report.png"
rig_assert_eq "$(rig_winpath "$bare")" "$(tr -d '\r\n' <"$app/lapforge.ini")" "settings file for the bare folder"
rig_key Return
rig_wait_gone "$RIG_PID"
wait "$RIG_PID" && rig_fail "the failure report ended with exit code 0"
echo "PASS [$RIG_NAME]"
