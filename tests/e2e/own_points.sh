#!/usr/bin/env bash
# The driver's own points. A lapforge.ini with a point line shows "★ Before Mutkurve" after
# Breidscheid/Kesselchen in the list, and picking it writes its line; with GPL (the stand-in) running,
# F4 from Breidscheid/Kesselchen reaches it and the point's cue is asked for after the write (no voice
# under Wine). A click on the map's road offers a point there: OK adds its line and deploys there. In
# the Keys window F4 is refused for the new point's jump and a button box's button taken; with GPL
# running the button deploys straight there. The Points window refuses a km off the lap, adds one
# typed, and removes it. At 144 DPI the same windows again, and a map click cancelled changes
# nothing. Screenshots of the list with points, the offer, the Points and the Keys window at both DPIs.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

rig_scene
rig_standin_winmm
box() { printf '0 1234 0001 12 %x 65535 Button Box\n' "$1" >"$script.new" && mv "$script.new" "$script"; }
box 0
printf 'point=12300:Before Mutkurve\r\n' >>"$app/lapforge.ini"
px() { echo $(( ($1 * $2 + 720) / 1440 )); }
settings() { tr -d '\r' <"$app/lapforge.ini"; }
rows() { wine "$LAYOUT_PROBE" "$1" rows "$2" 2>/dev/null | tr -d '\r'; }  # title id

start_lapforge() {  # dpi
    dpi=$1
    rig_set_dpi "$dpi"
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winmm=n" rig_run_bg "$app/lapforge.exe"
    lapforge=$RIG_PID
    main=$(rig_wait_window "Lapforge")
}
click() {  # twips-x twips-y; in the main window
    xdotool windowraise "$main"
    rig_click "$main" "$(px "$1" "$dpi")" "$(px "$2" "$dpi")"
}
# Clicks the map's road where it runs at distance d (metres, a multiple of 5): the road file's pixel,
# fitted into the picture box's client area (inside its 1-pixel edge) as the box draws it.
click_road() {  # d
    local box_place
    box_place=$(wine "$LAYOUT_PROBE" Lapforge 2>/dev/null | tr -d '\r' | awk '$1 == "control" && $2 == 105 { print $3, $4, $5, $6 }')
    read -r x y <<<"$(awk -v d="$1.0" -v place="$box_place" '
        $1 == "picture" { w = $2; h = $3 }
        $1 == d { split(place, p, " "); cw = p[3] - 2; ch = p[4] - 2
                  s = cw / w < ch / h ? cw / w : ch / h; fw = int(w * s + 0.5); fh = int(h * s + 0.5)
                  print p[1] + 1 + int((cw - fw) / 2) + int($2 * fw / w), p[2] + 1 + int((ch - fh) / 2) + int($3 * fh / h); exit }
    ' "$app/$map")"
    xdotool windowraise "$main"
    rig_click "$main" "$x" "$y"
}
press_f4_in_gpl() {
    xdotool windowraise "$gpl"
    rig_click "$gpl" 320 240
    rig_hold_key F4 0.1
}
press_button_3() {
    box 0x4
    sleep 0.3
    box 0
    sleep 0.3
}
list_dropped() {  # file.png; the list opened, shot, and closed again unchanged
    click 3000 637
    sleep 0.5
    rig_screenshot "$1"
    rig_key Escape
}

start_lapforge 96
# In the list after Breidscheid/Kesselchen, and picked there.
xdotool windowraise "$main"
rig_key Down Down Down Down Down Down
rig_expect_line "stall_0 = 12300.00 0.00" "the point picked in the list"
rig_assert_eq "★ Before Mutkurve" "$(rig_control_text Lapforge 102)" "the list's seventh item"
rows Lapforge 102 | grep -A1 -x -- '- | Breidscheid/Kesselchen' | grep -qx 'selected | ★ Before Mutkurve' ||
    rig_fail "the point does not follow its section in the list: $(rows Lapforge 102)"
rig_key Up
rig_expect_line "stall_0 = 10300.00 0.00" "Breidscheid/Kesselchen, before it"

# F4 from the section before reaches the point; the cue is asked for once it is written.
click 4207 3847  # Launch GPL
gpl=$(rig_wait_window "GPL stand-in")
sleep 1
press_f4_in_gpl
rig_expect_line "stall_0 = 12300.00 0.00" "F4 from Breidscheid/Kesselchen"
rig_wait_for 5 'grep -q "point-cue.wav" "$sounds"' || rig_fail "no cue asked for: $(cat "$sounds")"
grep -q 'point-cue.wav | stall_0 = 12300.00 0.00' "$sounds" ||
    rig_fail "the cue was asked for before the track file was written: $(cat "$sounds")"
rig_control_text Lapforge 114 | grep -qF 'Before Mutkurve (km 12.30)' ||
    rig_fail "the status line does not name the point: $(rig_control_text Lapforge 114)"

# A click on the map's road (Breidscheid/Kesselchen's map, which the point shows) offers a point.
map=karte5.road
click_road 11000
rig_wait_window Point >/dev/null
offer=$(rig_control_text Point 102)
[[ "$offer" =~ ^Deploy\ at\ km\ 1[01]\.[0-9][0-9]\ —\ Senkenlinks\ in\ [0-9]+\ m$ ]] || rig_fail "the offer: [$offer]"
rig_assert_eq "Before Senkenlinks" "$(rig_control_text Point 104)" "the offer's name"
rig_screenshot "$RIG_OUT/own-points-offer-96.png"
km=${offer#Deploy at km }
km=${km%% *}
rig_key Return
rig_wait_window_gone Point
added=$(settings | sed -n 's/^point=\([0-9]*\):Before Senkenlinks$/\1/p')
[ -n "$added" ] || rig_fail "no point line for the click: $(settings)"
rig_assert_eq "$km" "$(awk -v m="$added" 'BEGIN { printf "%.2f", m / 1000 }')" "the point added and the offer's km"
rig_expect_line "stall_0 = $added.00 0.00" "the point offered, deployed at"
rig_assert_eq "★ Before Senkenlinks" "$(rig_control_text Lapforge 102)" "the list after the click"
list_dropped "$RIG_OUT/own-points-list-96.png"

# The new point's jump: F4 is next's, refused; the box's button 3 taken and stored.
click 787 5587  # Keys…
rig_wait_window Keys >/dev/null
rows Keys 112 | grep -qx 'selected | ★ Before Senkenlinks | not set' ||
    rig_fail "the Keys window does not start at the new point: $(rows Keys 112)"
keys=$(rig_window Keys)
rig_click "$keys" "$(px 5587 96)" "$(px 4207 96)"  # Change, under the list
rig_hold_key F4 0.1
rig_wait_for 5 'rig_control_text Keys 106 | grep -qF "F4 already moves to the next section"' ||
    rig_fail "F4 was not refused: $(rig_control_text Keys 106)"
press_button_3
rig_wait_for 5 'rows Keys 112 | grep -qF "★ Before Senkenlinks | button 3 on Button Box"' ||
    rig_fail "button 3 not taken: $(rows Keys 112)"
rig_screenshot "$RIG_OUT/own-points-keys-96.png"
rig_click "$keys" "$(px 5445 96)" "$(px 6127 96)"  # OK
rig_wait_window_gone Keys
settings | grep -qx "jump=joy:0:button:3:1234:0001:0:Button Box:$added" || rig_fail "the jump not stored: $(settings)"

# The button deploys there while GPL runs, from wherever line 54 is.
press_f4_in_gpl
rig_expect_line "stall_0 = 12300.00 0.00" "F4 from the new point"
press_button_3
rig_expect_line "stall_0 = $added.00 0.00" "the jump's button"

# The Points window: a km off the lap is refused as it is typed; one on it is added, then removed.
click 1987 5587  # Points…
rig_wait_window Points >/dev/null
rig_key Tab space  # Add…
rig_wait_window Point >/dev/null
rig_type "30"
rig_wait_for 5 'rig_control_text Point 102 | grep -qF "km 30.00 is not on the lap"' ||
    rig_fail "a km off the lap not said: $(rig_control_text Point 102)"
rig_key Return
[ -n "$(rig_window Point)" ] || rig_fail "OK with a km off the lap closed the window"
rig_key BackSpace BackSpace
rig_type "15.2"
rig_wait_for 5 '[ "$(rig_control_text Point 102)" == "Deploy at km 15.20 — Eschbach in 300 m" ]' ||
    rig_fail "the offer for 15.2: $(rig_control_text Point 102)"
rig_assert_eq "Before Eschbach" "$(rig_control_text Point 104)" "the name following the km"
rig_key Return
rig_wait_window_gone Point
settings | grep -qx 'point=15200:Before Eschbach' || rig_fail "the typed point not stored: $(settings)"
rig_screenshot "$RIG_OUT/own-points-points-96.png"
rig_key Tab Tab space  # Remove, the new point selected
rig_wait_for 5 '! settings | grep -q "^point=15200:"' || rig_fail "the point not removed: $(settings)"
rig_key Escape
rig_wait_window_gone Points
rig_assert_eq "3" "$(settings | grep -c '^point=\|^jump=')" "the points and the jump after the window"

# At 144 DPI: the list, the Points and Keys windows, and a map click cancelled.
click 4207 5047  # Exit Lapforge
rig_wait_gone "$lapforge"
cp "$app/lapforge.ini" "$RIG_TMP/settings-before.ini"
start_lapforge 144
rig_key Down Down Down Down Down
rig_expect_line "stall_0 = 10300.00 0.00" "Breidscheid/Kesselchen at 144 DPI"
list_dropped "$RIG_OUT/own-points-list-144.png"
click 1987 5587
rig_wait_window Points >/dev/null
rig_screenshot "$RIG_OUT/own-points-points-144.png"
rig_key Escape
rig_wait_window_gone Points
click 787 5587
rig_wait_window Keys >/dev/null
rig_screenshot "$RIG_OUT/own-points-keys-144.png"
rig_key Escape
rig_wait_window_gone Keys
click_road 11500
rig_wait_window Point >/dev/null
rig_screenshot "$RIG_OUT/own-points-offer-144.png"
rig_key Escape
rig_wait_window_gone Point
cmp -s "$RIG_TMP/settings-before.ini" "$app/lapforge.ini" || rig_fail "a cancelled offer changed lapforge.ini: $(settings)"
echo "PASS [$RIG_NAME]"
