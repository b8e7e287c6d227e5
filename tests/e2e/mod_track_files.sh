#!/usr/bin/env bash
# Every mod's track file kept in step with track.ini. The demo folder with two mods' files made
# from its track.ini (track65.ini, trackGT.ini) and one switched off (_track66.ini): at start the two
# hold Pitlane as track.ini does; a pick in the list writes all three and the status line names the
# mods; F4 while a gplc65.exe (the stand-in under a mod's name) runs moves all three on; with
# trackGT.ini read-only one press moves the other two, the status line names the GT mod's file and
# what to do, and the next press after the flag is cleared writes it too. Exit leaves every file
# byte for byte as before and no notes beside them. Screenshot of the status line with the mods.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

rig_scene
mods="$sim/tracks/nurburg"
for tag in 65 GT; do cp "$track" "$mods/track$tag.ini"; done
cp "$track" "$mods/_track66.ini"
cp "$sim/gpl.exe" "$sim/gplc65.exe"
files="track.ini track65.ini trackGT.ini _track66.ini"
for f in $files; do cp "$mods/$f" "$RIG_TMP/$f.before"; done
status() { rig_control_text "Lapforge" 114; }
px() { echo $(( ($1 * 96 + 720) / 1440 )); }

# Line 54 of each file named becomes the deploy line within 5 s.
expect_lines() {  # deploy-line what file...
    local want=$1 what=$2 f
    shift 2
    for f in "$@"; do
        RIG_WANT=$want RIG_FILE="$mods/$f"
        rig_wait_for 5 '[ "$(rig_line "$RIG_FILE" 54)" == "$RIG_WANT" ]' ||
            rig_fail "$what: line 54 of $f is $(rig_line "$mods/$f" 54)"
    done
}
press_in() {  # window key
    xdotool windowraise "$1"
    rig_click "$1" 320 240
    rig_hold_key "$2" 0.1
}

rig_run_bg "$app/lapforge.exe"
lapforge=$RIG_PID
main=$(rig_wait_window "Lapforge")
expect_lines "stall_0 = 230.00 -9.30" "start" track.ini track65.ini trackGT.ini
rig_assert_eq "$(rig_line "$RIG_TMP/_track66.ini.before" 54)" "$(rig_line "$mods/_track66.ini" 54)" "a switched-off file"

rig_key Down  # the list has the focus: the next section
expect_lines "stall_0 = 3100.00 0.00" "a pick in the list" track.ini track65.ini trackGT.ini
rig_wait_for 5 '[[ "$(status)" == *"GPL will start you at Flugplatz/Schwedenkreuz (also in the 1965 and GT mods'"'"' track files)."* ]]' ||
    rig_fail "status after the pick: $(status)"
rig_screenshot "$RIG_OUT/mod-track-files-status.png"

cd "$sim"  # a mod's GPL, started by hand from its folder as the mod launcher's shortcut starts it
rig_run_bg "$sim/gplc65.exe"
cd "$RIG_TMP"
gpl=$(rig_wait_window "GPL stand-in")
sleep 2  # Lapforge looks for GPL once a second
press_in "$gpl" F4
expect_lines "stall_0 = 5600.00 0.00" "F4 while gplc65.exe runs" track.ini track65.ini trackGT.ini

chmod a-w "$mods/trackGT.ini"
press_in "$gpl" F4
expect_lines "stall_0 = 7100.00 0.00" "F4 with trackGT.ini read-only" track.ini track65.ini
rig_expect_still_in() { sleep 0.8; rig_assert_eq "$1" "$(rig_line "$mods/$2" 54)" "$3"; }
rig_expect_still_in "stall_0 = 5600.00 0.00" trackGT.ini "the read-only file"
rig_wait_for 5 '[[ "$(status)" == "Not written to the GT mod'"'"'s track file: "*"Clear the Read-only flag of trackGT.ini"* ]]' ||
    rig_fail "status after the refused file: $(status)"
rig_screenshot "$RIG_OUT/mod-track-files-refused.png"

chmod u+w "$mods/trackGT.ini"
press_in "$gpl" F4
expect_lines "stall_0 = 9300.00 0.00" "F4 once the flag is cleared" track.ini track65.ini trackGT.ini
rig_wait_for 5 '[[ "$(status)" == *"(also in the 1965 and GT mods'"'"' track files)."* ]]' ||
    rig_fail "status once written again: $(status)"

xdotool windowraise "$main"
rig_click "$main" "$(px 4207)" "$(px 5047)"  # Exit Lapforge
rig_wait_gone "$lapforge"
for f in $files; do
    cmp -s "$mods/$f" "$RIG_TMP/$f.before" || rig_fail "$f not as before Lapforge: line 54 $(rig_line "$mods/$f" 54)"
done
leftover=$(find "$mods" -name '*.lapforge-record' -o -name '*.tmp')
[ -z "$leftover" ] || rig_fail "left beside the track files: $leftover"
echo "PASS [$RIG_NAME]"
