#!/usr/bin/env bash
# lapforge.exe alone in an empty folder, as Windows runs it from inside the zip: the "unpack" box
# comes before anything else, and after OK the program ends without leaving a settings file.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

alone="$RIG_TMP/Temp1_Lapforge.zip"
mkdir -p "$alone"
cp "$LAPFORGE_EXE" "$alone/"
cd "$alone"
rig_run_bg "$alone/lapforge.exe"
rig_wait_window "Error" >/dev/null
[ -z "$(rig_window 'Where is GPL?')" ] || rig_fail "the folder dialog came up"
[ -z "$(rig_window Lapforge)" ] || rig_fail "the main window came up"
rig_screenshot "$RIG_OUT/started-alone.png"
rig_key Return
rig_wait_gone "$RIG_PID"
rig_assert_eq "lapforge.exe" "$(ls "$alone")" "the folder's files afterwards"
echo "PASS [$RIG_NAME]"
