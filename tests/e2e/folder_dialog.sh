#!/usr/bin/env bash
# First run: the folder dialog comes before any main window; Cancel ends without settings; opening
# the simulator's folder (a name with a space) enables OK, its subfolder disables it again, and OK
# starts the main window with the settings written and Pitlane applied.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

app="$RIG_TMP/app"
rig_app_folder "$app"
home="$RIG_TMP/home"
sim="$home/GPL Sim"
mkdir -p "$home"
rig_demo_sim "$sim"
sed -i '54s/.*/stall_0 = 1.00 0.00\r/' "$sim/tracks/nurburg/track.ini"

# Cancel: focus starts on the drive list; Tab reaches the folder list, and with OK disabled the
# next Tab lands on Cancel.
cd "$home"
rig_run_bg "$app/lapforge.exe"
rig_wait_window "Where is GPL?" >/dev/null
[ -z "$(rig_window Lapforge)" ] || rig_fail "the main window came before the dialog"
rig_screenshot "$RIG_OUT/folder-dialog-96dpi.png"
rig_key Tab Tab space
rig_wait_window "Error" >/dev/null
rig_key Return
rig_wait_gone "$RIG_PID"
[ ! -e "$app/lapforge.ini" ] || rig_fail "Cancel wrote the settings file"

# Open "GPL Sim" (OK on), then its subfolder "tracks" (OK off): Tab then goes past OK to Cancel.
rig_run_bg "$app/lapforge.exe"
rig_wait_window "Where is GPL?" >/dev/null
rig_key Tab Down Return Down Return Tab space
rig_wait_window "Error" >/dev/null
rig_key Return
rig_wait_gone "$RIG_PID"
[ ! -e "$app/lapforge.ini" ] || rig_fail "a subfolder without gpl.exe was accepted"

# Open "GPL Sim" and press OK.
rig_run_bg "$app/lapforge.exe"
rig_wait_window "Where is GPL?" >/dev/null
rig_key Tab Down Return Tab space
rig_wait_window "Lapforge" >/dev/null
rig_screenshot "$RIG_OUT/main-window-96dpi.png"
expected="$(rig_winpath "$sim")"
rig_assert_eq "$expected" "$(tr -d '\r\n' <"$app/lapforge.ini" | iconv -f CP1252 -t UTF-8)" "settings file"
rig_assert_eq "stall_0 = 230.00 -9.30" "$(rig_line "$sim/tracks/nurburg/track.ini" 54)" "line 54"
echo "PASS [$RIG_NAME]"
