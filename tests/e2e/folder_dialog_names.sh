#!/usr/bin/env bash
# Folder names beyond ASCII: a simulator folder with an accented letter is accepted and written to
# the settings file in the ANSI code page; a folder holding gpl.exe but no track file is not: OK
# stays off, the hint says the track file is missing, and Esc cancels without remembering it.
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
rig_key Tab Tab Tab Tab Tab Tab Tab space  # Exit Lapforge
rig_wait_gone "$RIG_PID"

rm "$app/lapforge.ini"
rig_run_bg "$app/lapforge.exe"
rig_wait_window "Where is GPL?" >/dev/null
rig_key Tab Down Down Return  # "Ohne Strecke": gpl.exe, no track file
rig_wait_for 5 '[[ "$(wine "$LAYOUT_PROBE" "Where is GPL?" text 102 2>/dev/null)" == "GPL is here, but not its Nordschleife"* ]]' ||
    rig_fail "the hint does not say the track file is missing"
wine "$LAYOUT_PROBE" "Where is GPL?" 2>/dev/null | grep -q "^control 103 .* disabled" || rig_fail "OK on without a track file"
rig_screenshot "$RIG_OUT/folder-dialog-no-track-file.png"
rig_key Escape
rig_wait_window "Error" >/dev/null
rig_key Return
rig_wait_gone "$RIG_PID"
[ ! -e "$app/lapforge.ini" ] || rig_fail "a folder without a track file was remembered"
echo "PASS [$RIG_NAME]"
