#!/usr/bin/env bash
# The scripted tour tools/run.sh shows when there is no display: the first-run dialog, the demo GPL
# folder opened and accepted, the main window with "Pitlane", then "Klostertal/Karussell" picked,
# driven by keys on a private Xvfb. Prints the path of each step's screenshot and line 54 of the
# demo track file before and after.  Usage: tools/tour.sh DEMO-FOLDER (as tools/run.sh makes it)
set -euo pipefail
LAPFORGE_SOURCE=$(cd "$(dirname "$0")/.." && pwd)
demo=$(cd "$1" && pwd)
app=$demo/Lapforge
track="$demo/GPL Demo/tracks/nurburg/track.ini"
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

step() {  # number name: a screenshot of the whole screen
    local file="$demo/step$1-$2.png"
    sleep 0.5  # let the last key's repaint finish
    rig_screenshot "$file"
    echo "  step $1: $file"
}

echo "line 54 before: $(rig_line "$track" 54)"
cd "$demo"
rig_run_bg "$app/lapforge.exe"
rig_wait_window "Where is GPL?" >/dev/null
step 1 first-run-dialog
# The dialog opens here, in the demo folder: its first subfolder is "GPL Demo".
rig_key Tab Down Return
step 2 demo-folder-opened
rig_key Tab space
rig_wait_window "Lapforge" >/dev/null
step 3 main-window-pitlane
rig_key Down Down Down Down Down Down
rig_wait_for 5 '[ "$(rig_line "$track" 54)" == "stall_0 = 12500.00 0.00" ]' ||
    rig_fail "Klostertal/Karussell was not applied: $(rig_line "$track" 54)"
step 4 klostertal-karussell
echo "line 54 after:  $(rig_line "$track" 54)"
