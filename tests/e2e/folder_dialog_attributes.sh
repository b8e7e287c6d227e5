#!/usr/bin/env bash
# The folder list shows a folder that carries only the system mark, as Explorer does, and keeps
# hidden folders out, with or without the system mark: the simulator in a system-marked folder,
# sorted after two hidden ones, is the first row under the current folder.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

app="$RIG_TMP/app"
rig_app_folder "$app"
home="$RIG_TMP/home"
rig_demo_sim "$home/GPL Synced"
mkdir -p "$home/A hidden folder" "$home/A junction-like folder"
cd "$home"
# One mark per call: Wine's attrib takes only the last of several.
for marked in "s GPL Synced" "h A hidden folder" "h A junction-like folder" "s A junction-like folder"; do
    wine attrib "+${marked%% *}" "${marked#* }" >/dev/null 2>&1
done
rig_assert_eq " S  H" "$(wine attrib "A junction-like folder" 2>/dev/null | cut -c1-5)" "marks Wine kept"

rig_run_bg "$app/lapforge.exe"
rig_wait_window "Where is GPL?" >/dev/null
rig_screenshot "$RIG_OUT/folder-dialog-attributes.png"
rig_key Tab Down Return Tab space  # the first subfolder, then OK
rig_wait_window "Lapforge" >/dev/null
rig_assert_eq "$(rig_winpath "$home/GPL Synced")" "$(tr -d '\r\n' <"$app/lapforge.ini")" "settings file"
echo "PASS [$RIG_NAME]"
