#!/usr/bin/env bash
# One GPL folder per season: a remembered folder whose line 54 is no deploy point opens the dialog
# with the reason and is left alone; Esc there is Cancel; another folder is picked, "Change..." moves
# to a second GPL folder (the first gets its line 54 back), and Exit puts the second one's back.
# Lines of lapforge.ini that Lapforge skips are listed once at start, in a box, and the status line
# keeps one line of them. A lapforge.ini that is there but cannot be read is told in a box, the
# dialog opens for the run, and the file is never written.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

app="$RIG_TMP/app"
home="$RIG_TMP/home"
rig_app_folder "$app"
mkdir -p "$home"
for name in "GPL 1967" "GPL 1969" "Odd GPL"; do rig_demo_sim "$home/$name"; done
track() { echo "$home/$1/tracks/nurburg/track.ini"; }
sed -i '54s/.*/pit_speed = 60\r/' "$(track "Odd GPL")"
sed -i '54s/.*/stall_0 = 2.00 0.00\r/' "$(track "GPL 1967")"
sed -i '54s/.*/  STALL_0 = 3.00 0.00\r/' "$(track "GPL 1969")"
for name in "GPL 1967" "GPL 1969" "Odd GPL"; do cp "$(track "$name")" "$RIG_TMP/$name.ini"; done
rig_remember "$app" "$home/Odd GPL"
cp "$app/lapforge.ini" "$RIG_TMP/settings-before"
unchanged() { cmp -s "$RIG_TMP/$1.ini" "$(track "$1")"; }
text_of() { wine "$LAYOUT_PROBE" "$1" text "$2" 2>/dev/null | tr -d '\r'; }  # window, control id
enabled() { wine "$LAYOUT_PROBE" "$1" 2>/dev/null | grep -q "^control $2 .* enabled"; }
px() { echo $((($1 + 7) / 15)); }  # twips to pixels at 96 DPI

cd "$home"
rig_run_bg "$app/lapforge.exe"
dialog=$(rig_wait_window "Where is GPL?")
problem=$(text_of "Where is GPL?" 107)
[[ "$problem" == *"Odd GPL\": line 54 of its Nordschleife track file is not GPL's deploy point"* ]] ||
    rig_fail "the dialog does not say why: [$problem]"
rig_screenshot "$RIG_OUT/folder-dialog-problem-96dpi.png"
rig_key Tab Down Down Down Return  # open "Odd GPL" itself: OK stays off, and the hint says why
rig_wait_for 5 '[[ "$(text_of "Where is GPL?" 102)" == "Line 54 of this GPL"* ]]' ||
    rig_fail "hint: $(text_of "Where is GPL?" 102)"
enabled "Where is GPL?" 103 && rig_fail "OK on for a folder whose line 54 is no deploy point"
rig_key Escape
rig_wait_window "Error" >/dev/null
rig_key Return
rig_wait_gone "$RIG_PID"
unchanged "Odd GPL" || rig_fail "the odd track file was changed"
[ "$(ls "$(dirname "$(track "Odd GPL")")")" == "track.ini" ] || rig_fail "files written beside the odd track file"
cmp -s "$RIG_TMP/settings-before" "$app/lapforge.ini" || rig_fail "Esc did not act as Cancel"

rig_run_bg "$app/lapforge.exe"
rig_wait_window "Where is GPL?" >/dev/null
rig_key Tab Down Return Tab space  # "GPL 1967", OK
main=$(rig_wait_window "Lapforge")
rig_assert_eq "stall_0 = 230.00 -9.30" "$(rig_line "$(track "GPL 1967")" 54)" "Pitlane in the first folder"
[[ "$(text_of Lapforge 112)" == "GPL folder: "*"GPL 1967" ]] || rig_fail "folder shown: $(text_of Lapforge 112)"
rig_key Down Down Down Down Down Down  # Klostertal/Karussell
rig_wait_for 5 '[ "$(rig_line "$(track "GPL 1967")" 54)" == "stall_0 = 12500.00 0.00" ]' || rig_fail "no section"
rig_screenshot "$RIG_OUT/main-window-folder-96dpi.png"

rig_click "$main" "$(px 5235)" "$(px 6067)"  # Change...
rig_wait_window "Where is GPL?" >/dev/null
enabled "Where is GPL?" 103 || rig_fail "OK off in the folder in use"
rig_key Tab Up Return Down Down Return Tab space  # up to the parent, "GPL 1969", OK
rig_wait_window_gone "Where is GPL?"
rig_wait_for 5 '[ "$(rig_line "$(track "GPL 1969")" 54)" == "stall_0 = 12500.00 0.00" ]' ||
    rig_fail "the section shown is not applied in the second folder: $(rig_line "$(track "GPL 1969")" 54)"
unchanged "GPL 1967" || rig_fail "the first folder's line 54 is not back: $(rig_line "$(track "GPL 1967")" 54)"
rig_assert_eq "$(rig_winpath "$home/GPL 1969")" "$(tr -d '\r\n' <"$app/lapforge.ini")" "settings after the change"
[[ "$(text_of Lapforge 112)" == *"GPL 1969" ]] || rig_fail "folder shown after the change: $(text_of Lapforge 112)"

rig_click "$main" "$(px 4207)" "$(px 5047)"  # Exit Lapforge
rig_wait_gone "$RIG_PID"
unchanged "GPL 1969" || rig_fail "exit did not put line 54 back: $(rig_line "$(track "GPL 1969")" 54)"

printf 'next=key:F9\r\n[window]\tzoom=2\r\npoint=1000:in the pits\r\n' >>"$app/lapforge.ini"
rig_run_bg "$app/lapforge.exe"
rig_wait_window Error >/dev/null
rig_screenshot "$RIG_OUT/settings-skipped-lines.png"
rig_key Return
main=$(rig_wait_window "Lapforge")
# The note is the status line's last line, under what the cycle does.
wine "$LAYOUT_PROBE" Lapforge 2>/dev/null | tr -d '\r' |
    grep -qxF "2 lines of lapforge.ini skipped, kept as they were." ||
    rig_fail "the status line does not say the skipped lines: $(rig_control_text Lapforge 114)"
rig_screenshot "$RIG_OUT/settings-skipped-lines-status.png"
rig_click "$main" "$(px 4207)" "$(px 5047)"  # Exit Lapforge
rig_wait_gone "$RIG_PID"

# Held by a program that shares nothing (a sync client): Lapforge waits, then says so.
cp "$app/lapforge.ini" "$RIG_TMP/lapforge.ini"
wine "$TRACK_HOLDER" "$(rig_winpath "$app/lapforge.ini")" none 0 "$(rig_winpath "$RIG_TMP/held.ready")" >/dev/null 2>&1 &
holder=$!
RIG_PIDS+=("$holder")
rig_wait_file "$RIG_TMP/held.ready"
rig_run_bg "$app/lapforge.exe"
rig_wait_window Error >/dev/null
rig_screenshot "$RIG_OUT/settings-held.png"
kill "$holder"
wait "$holder" 2>/dev/null || true
rig_key Return
rig_wait_window "Where is GPL?" >/dev/null
rig_key Escape
rig_wait_gone "$RIG_PID"
cmp -s "$RIG_TMP/lapforge.ini" "$app/lapforge.ini" || rig_fail "the held lapforge.ini changed"

rm "$app/lapforge.ini"
mkdir "$app/lapforge.ini"  # there, yet no read succeeds
rig_run_bg "$app/lapforge.exe"
rig_wait_window Error >/dev/null
rig_screenshot "$RIG_OUT/settings-unreadable.png"
rig_key Return
rig_wait_window "Where is GPL?" >/dev/null
rig_screenshot "$RIG_OUT/settings-unreadable-dialog.png"
rig_key Escape  # Cancel: ends without a second message
rig_wait_gone "$RIG_PID"
[ -d "$app/lapforge.ini" ] || rig_fail "lapforge.ini was written"
echo "PASS [$RIG_NAME]"
