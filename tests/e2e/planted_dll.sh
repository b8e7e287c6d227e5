#!/usr/bin/env bash
# Lapforge run from a folder (its own, also the current one) where a winmm.dll has been planted,
# with Wine told to search for winmm as Windows does (native first, the exe's folder first): the
# start and an announcement after F4 leave the planted DLL unloaded.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

app="$RIG_TMP/Downloads"
sim="$RIG_TMP/GPL"
track="$sim/tracks/nurburg/track.ini"
rig_installed "$app" "$sim"
cp "$PLANTED_WINMM" "$app/winmm.dll"
marker="$app/planted-dll-ran.txt"
cd "$app"

export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winmm=n,b"
# The planted DLL does leave its marker once something loads it.
wine rundll32 "$(rig_winpath "$app/winmm.dll"),sndPlaySoundA" >/dev/null 2>&1 || true
rig_wait_file "$marker" 10
rm "$marker"

rig_run_bg "$app/lapforge.exe"
main=$(rig_wait_window "Lapforge")
rig_assert_eq "stall_0 = 230.00 -9.30" "$(rig_line "$track" 54)" "line 54 after start"
rig_key Tab space  # Launch GPL
rig_wait_file "$sim/gpl-report.txt"
rig_wait_window "GPL stand-in" >/dev/null
rig_hold_key F4 0.1  # the next section, and its announcement
rig_wait_for 5 '[ "$(rig_line "$track" 54)" == "stall_0 = 3100.00 0.00" ]' || rig_fail "F4 did not advance"
sleep 1  # the announcement plays asynchronously
kill -0 "$RIG_PID" 2>/dev/null || rig_fail "Lapforge ended"
[ ! -e "$marker" ] || rig_fail "the planted winmm.dll ran inside Lapforge"
xdotool windowraise "$main"
rig_click "$main" "$(( (4207 * 96 + 720) / 1440 ))" "$(( (5047 * 96 + 720) / 1440 ))"  # Exit Lapforge
rig_wait_gone "$RIG_PID"
[ ! -e "$marker" ] || rig_fail "the planted winmm.dll ran inside Lapforge"
echo "PASS [$RIG_NAME]"
