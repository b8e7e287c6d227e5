#!/usr/bin/env bash
# The drive list with a drive that is not ready (D: mapped to a folder that does not exist) between
# C: and a drive holding the simulator (E:). Arrowing down past D: shows it without a word and
# without snapping back; Enter on D: says it is not ready and puts the list back on C:; then the open
# list closed on E: moves the folder list there, and the simulator's folder is accepted. On the way,
# OK follows each drive change: on for F:, whose root holds gpl.exe, and off again back on E:.
# Lapforge is started from a command prompt that was on E:\gone, a folder removed once the dialog is
# up: E:'s current folder cannot be listed, so the pick of E: lands on its root.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

app="$RIG_TMP/app"
rig_app_folder "$app"
edrive="$RIG_TMP/edrive"
rig_demo_sim "$edrive/GPL Sim"
ln -s "$RIG_TMP/no such folder" "$WINEPREFIX/dosdevices/d:"
mkdir "$edrive/gone"
ln -s "$edrive" "$WINEPREFIX/dosdevices/e:"
fdrive="$RIG_TMP/fdrive"
rig_demo_sim "$fdrive"
ln -s "$fdrive" "$WINEPREFIX/dosdevices/f:"
cd "$WINEPREFIX/drive_c"  # so the lists start on C:

ok_state() {  # enabled or disabled
    wine "$LAYOUT_PROBE" "Where is GPL?" 2>/dev/null | tr -d '\r' | awk '$1 == "control" && $2 == 103 { print $7 }'
}

# The prompt keeps each drive's current folder for the programs it starts.
rig_run_bg cmd /c "cd /d E:\\gone & cd /d C:\\ & $(rig_winpath "$app/lapforge.exe")"
rig_wait_window "Where is GPL?" >/dev/null
rmdir "$edrive/gone"
rig_key Down Down Up Down  # c: -> d: -> e: -> d: -> e:, each only shown
sleep 1
[ -z "$(rig_window Error)" ] || rig_fail "a step through the closed list acted on a drive"
rig_screenshot "$RIG_OUT/drive-list-stepped.png"
rig_key Up Return  # a final pick of d:
rig_wait_window "Error" >/dev/null
rig_screenshot "$RIG_OUT/drive-not-ready.png"
rig_key Return
rig_wait_window_gone "Error"
# Back on c: after the failed pick: open the list, move to e: (two rows down) and close it on e:.
rig_key alt+Down Down Down Return
sleep 1
[ -z "$(rig_window Error)" ] || rig_fail "picking e: gave a message"
[ -z "$(rig_window Lapforge)" ] || rig_fail "picking e: stopped Lapforge"
rig_screenshot "$RIG_OUT/drive-list-picked.png"
rig_assert_eq disabled "$(ok_state)" "OK on e:, whose root has no gpl.exe"
rig_key alt+Down Down Return  # f:
sleep 1
[ -z "$(rig_window Error)" ] || rig_fail "picking f: gave a message"
rig_assert_eq enabled "$(ok_state)" "OK on f:, whose root holds gpl.exe"
rig_screenshot "$RIG_OUT/drive-list-picked-with-gpl.png"
rig_key alt+Down Up Return  # back to e:
sleep 1
rig_assert_eq disabled "$(ok_state)" "OK back on e:"
rig_key Tab Down Return Tab space  # open "GPL Sim", then OK
rig_wait_window "Lapforge" >/dev/null
rig_assert_eq 'E:\GPL Sim' "$(tr -d '\r\n' <"$app/lapforge.ini")" "settings file"
echo "PASS [$RIG_NAME]"
