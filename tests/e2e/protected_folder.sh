#!/usr/bin/env bash
# GPL under C:\Program Files (x86) with a VirtualStore copy of its track file: a pick in the list
# whose rewrite is refused gives a message (with the protected folder, the cure and the copy GPL
# reads; see the screenshot), leaves the file as it was and Lapforge running. Wine has no protected folders, so the refusal is made
# with folders where the temporary files would go: Windows answers such a file with "access denied".
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

app="$RIG_TMP/app"
rig_app_folder "$app"
sim="$WINEPREFIX/drive_c/Program Files (x86)/GPL"
track="$sim/tracks/nurburg/track.ini"
rig_demo_sim "$sim"
store="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Local/VirtualStore/Program Files (x86)/GPL/tracks/nurburg"
mkdir -p "$store"
sed '54s/.*/stall_0 = 1.00 0.00\r/' "$track" >"$store/track.ini"
cp "$store/track.ini" "$RIG_TMP/store.ini"
printf '%s\r\n' 'C:\Program Files (x86)\GPL' >"$app/lapforge.ini"
cd "$RIG_TMP"

rig_run_bg "$app/lapforge.exe"
rig_wait_window "Lapforge" >/dev/null
rig_assert_eq "stall_0 = 230.00 -9.30" "$(rig_line "$track" 54)" "line 54 after start"
cp "$track" "$RIG_TMP/before.ini"
# Wine numbers its processes in steps of four from a small start.
for n in $(seq 4 4 4000); do mkdir "$track.$n.tmp"; done
rig_key Down
rig_wait_window "Error" >/dev/null
rig_screenshot "$RIG_OUT/protected-folder.png"
cmp -s "$RIG_TMP/before.ini" "$track" || rig_fail "the refused rewrite changed the file"
cmp -s "$RIG_TMP/store.ini" "$store/track.ini" || rig_fail "the VirtualStore copy was touched"
rig_key Return
rig_wait_window_gone "Error"
kill -0 "$RIG_PID" 2>/dev/null || rig_fail "Lapforge ended"
cmp -s "$RIG_TMP/before.ini" "$track" || rig_fail "the file changed after the message"
echo "PASS [$RIG_NAME]"
