#!/usr/bin/env bash
# Folder names the ANSI code page (1252 here) cannot spell. Lapforge in "Пользователь
# Дмитрий\Lapforge" starts with its remembered simulator folder, shows the map and applies Pitlane.
# On a first run there, the simulator folder "GPL Ελληνικά", opened in the dialog, enables OK; the
# settings file then holds a path the code page spells, and Pitlane is applied in that folder.
# From an application folder deeper than 260 characters, the pictures show and F4's announcement
# plays.
export LANG=C.UTF-8
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

user="$RIG_TMP/Пользователь Дмитрий"
app="$user/Lapforge"
sim="$RIG_TMP/GPL"
rig_installed "$app" "$sim"
sed -i '54s/.*/stall_0 = 1.00 0.00\r/' "$sim/tracks/nurburg/track.ini"
cp "$app/lapforge.ini" "$RIG_TMP/settings-before.ini"
cd "$user"

# picKarte's place in twips.
map_colours() { rig_colours_in "$1" 96 240 1200 2295 3495; }

rig_run_bg "$app/lapforge.exe"
main=$(rig_wait_window "Lapforge")
[ -z "$(rig_window 'Where is GPL?')" ] || rig_fail "asked for the folder although the settings were valid"
[ -z "$(rig_window Error)" ] || rig_fail "an error box at the start"
rig_assert_eq "stall_0 = 230.00 -9.30" "$(rig_line "$sim/tracks/nurburg/track.ini" 54)" "line 54"
[ "$(map_colours "$main")" -gt 1 ] || rig_fail "the map box is empty"
rig_screenshot "$RIG_OUT/main-window-cyrillic-folder.png"
cmp -s "$RIG_TMP/settings-before.ini" "$app/lapforge.ini" || rig_fail "the settings file changed"
rig_key Tab Tab Tab Tab Tab Tab Tab space  # Exit Lapforge
rig_wait_gone "$RIG_PID"

# First run: the dialog opens in the Cyrillic folder, whose subfolders are "GPL Ελληνικά" and
# "Lapforge".
greek="$user/GPL Ελληνικά"
rig_demo_sim "$greek"
sed -i '54s/.*/stall_0 = 1.00 0.00\r/' "$greek/tracks/nurburg/track.ini"
rm "$app/lapforge.ini"
rig_run_bg "$app/lapforge.exe"
rig_wait_window "Where is GPL?" >/dev/null
rig_key Tab Down Return
sleep 0.5
rig_screenshot "$RIG_OUT/folder-dialog-greek-folder.png"
rig_key Tab space  # OK: with OK disabled, Tab would reach Cancel instead
main=$(rig_wait_window "Lapforge")
[ -z "$(rig_window Error)" ] || rig_fail "an error box after OK"
bytes=$(tr -d '\r\n' <"$app/lapforge.ini")
case "$bytes" in *'?'*) rig_fail "the settings file holds a '?': $bytes" ;; esac
printf '%s' "$bytes" | iconv -f CP1252 -t UTF-8 >/dev/null 2>&1 || rig_fail "not Windows-1252 text: $bytes"
unix=$(winepath -u "$(printf '%s' "$bytes" | iconv -f CP1252 -t UTF-8)" 2>/dev/null)
rig_assert_eq "$(stat -c %i "$greek")" "$(stat -c %i "${unix%/}" 2>/dev/null)" "the folder the settings file names ($bytes)"
rig_assert_eq "stall_0 = 230.00 -9.30" "$(rig_line "$greek/tracks/nurburg/track.ini" 54)" "line 54 in the Greek folder"
[ "$(map_colours "$main")" -gt 1 ] || rig_fail "the map box is empty"
rig_key Tab Tab Tab Tab Tab Tab Tab space  # Exit Lapforge
rig_wait_gone "$RIG_PID"

# A deep application folder: every path to its data files is longer than MAX_PATH.
deep="$RIG_TMP/deep"
for i in 1 2 3 4 5; do deep="$deep/$(printf '%050d' 0)$i"; done
app="$deep/Lapforge"
track="$sim/tracks/nurburg/track.ini"
rig_installed "$app" "$sim"
winapp="Z:$app"  # winepath stops at MAX_PATH
[ "${#winapp}" -gt 280 ] || rig_fail "the folder is not deep enough: ${#winapp} characters"
rig_standin_winmm
cd "$app"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winmm=n" rig_run_bg "$app/lapforge.exe"
main=$(rig_wait_window "Lapforge")
[ -z "$(rig_window Error)" ] || rig_fail "an error box at the start in a deep folder"
rig_assert_eq "stall_0 = 230.00 -9.30" "$(rig_line "$track" 54)" "line 54 from a deep folder"
[ "$(map_colours "$main")" -gt 1 ] || rig_fail "the map box is empty in a deep folder"
[ "$(rig_colours_in "$main" 96 2640 1200 3135 2295)" -gt 1 ] || rig_fail "the view box is empty in a deep folder"
rig_screenshot "$RIG_OUT/main-window-deep-folder.png"
xdotool windowraise "$main"
rig_click "$main" 280 256  # Launch GPL
gpl=$(rig_wait_window "GPL stand-in")
sleep 1
xdotool windowraise "$gpl"
rig_click "$gpl" 320 240
rig_hold_key F4 0.1
rig_wait_for 5 '[ "$(rig_line "$track" 54)" == "stall_0 = 3100.00 0.00" ]' ||
    rig_fail "F4 from a deep folder: line 54 is $(rig_line "$track" 54)"
rig_wait_for 5 'grep -q "ansage1.wav | stall_0 = 3100.00 0.00" "$sounds"' ||
    rig_fail "no announcement played from a deep folder: $(cat "$sounds")"
echo "PASS [$RIG_NAME]"
