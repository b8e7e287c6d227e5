#!/usr/bin/env bash
# The main window told, while it is open, that its DPI changed (as when it is dragged to a monitor
# with another scale): it moves to the suggested place, sizes its client area to 6015 twips at
# the new DPI, and puts every control where the layout table says, at 144, at 120 and back at 96.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

app="$RIG_TMP/app"
rig_app_folder "$app"
sim="$RIG_TMP/GPL"
bash "$LAPFORGE_SOURCE/tools/make-demo-sim.sh" "$sim" "$GPL_STANDIN"
printf '%s\r\n' "$(rig_winpath "$sim")" >"$app/lapforge.ini"
cd "$RIG_TMP"

# Control id (the window's control enum, in creation order from 100), then Left Top Width Height
# in twips of the client area.
LAYOUT="
100 fraRahmen1 120 0 5775 5415
101 Label3 240 240 5535 255
102 Sectionselection 240 480 5535 315
103 Label1 240 960 2295 255
104 Label2 2640 960 3135 255
105 picKarte 240 1200 2295 3495
106 picBlick 2640 1200 3135 2295
107 cmdLosgehts 2640 3600 3135 495
108 cmdHilfe 2640 4200 3135 495
109 chkHotkeyUndAudio 240 4800 2295 495
110 cmdBeenden 2640 4800 3135 495"
COMBO_ID=102

px() { echo $(( ($1 * $2 + 720) / 1440 )); }  # twips at a DPI, rounded as the window rounds

probe() {  # [dpi left top right bottom]; the probe's report, or a failure
    wine "$LAYOUT_PROBE" Lapforge "$@" 2>/dev/null | tr -d '\r' || rig_fail "the layout probe failed ($*)"
}

# Checks a probe report against the table at a DPI. Edges come from rounded far edges, so
# controls that touch in twips touch in pixels.
check_layout() {  # dpi report what
    local dpi=$1 report=$2 what=$3 id name l t w h left top width height got
    while read -r id name l t w h; do
        [ -n "$id" ] || continue
        got=$(awk -v id="$id" '$1 == "control" && $2 == id { print $3, $4, $5, $6 }' <<<"$report")
        [ -n "$got" ] || rig_fail "$what: no control $id ($name)"
        read -r left top width height <<<"$got"
        rig_assert_eq "$(px "$l" "$dpi") $(px "$t" "$dpi")" "$left $top" "$what: $name position"
        rig_assert_eq "$(( $(px $((l + w)) "$dpi") - $(px "$l" "$dpi") ))" "$width" "$what: $name width"
        local want=$(( $(px $((t + h)) "$dpi") - $(px "$t" "$dpi") ))
        if [ "$id" == "$COMBO_ID" ]; then
            # The closed field is at least the table's height; the font may make it taller, but
            # never as tall as the open list.
            [ "$height" -ge "$want" ] && [ "$height" -lt $((2 * want)) ] ||
                rig_fail "$what: $name height $height for a field of $want"
        else
            rig_assert_eq "$want" "$height" "$what: $name height"
        fi
    done <<<"$LAYOUT"
}

client_of() { awk '$1 == "client" { print $2, $3 }' <<<"$1"; }
window_of() { awk '$1 == "window" { print $2, $3, $4, $5 }' <<<"$1"; }

# Sends the change with a suggested rectangle at (left, top), of the window's size scaled by the
# DPI ratio as the system suggests it, and checks the window afterwards.
change_dpi() {  # from-dpi to-dpi left top
    local from=$1 to=$2 x y w h report cw ch
    read -r _ _ w h <<<"$(window_of "$(probe)")"
    report=$(probe "$to" "$3" "$4" $(( $3 + w * to / from )) $(( $4 + h * to / from )))
    read -r x y _ _ <<<"$(window_of "$report")"
    rig_assert_eq "$3 $4" "$x $y" "at $to DPI: window position"
    read -r cw ch <<<"$(client_of "$report")"
    rig_assert_eq "$(px 6015 "$to")" "$cw" "at $to DPI: client width"
    if [ "$to" == 96 ]; then
        rig_assert_eq "$(px 5535 "$to")" "$ch" "at $to DPI: client height"
    else
        # Wine keeps drawing the frame at the system's DPI while the window sizes its frame for the
        # new one, so the client area comes out a caption's growth taller; it must not be shorter.
        [ "$ch" -ge "$(px 5535 "$to")" ] || rig_fail "at $to DPI: client height $ch, less than $(px 5535 "$to")"
    fi
    check_layout "$to" "$report" "at $to DPI"
}

rig_set_dpi 96
rig_run_bg "$app/lapforge.exe"
rig_wait_window "Lapforge" >/dev/null
report=$(probe)
rig_assert_eq "$(px 6015 96) $(px 5535 96)" "$(client_of "$report")" "client area at start"
check_layout 96 "$report" "at start"

change_dpi 96 144 50 40
rig_screenshot "$RIG_OUT/main-window-dpi-changed-144.png"
# The list works where it now stands: a click opens it, and the next item is applied.
main=$(rig_window Lapforge)
rig_click "$main" "$(px 3000 144)" "$(px 637 144)"
rig_key Down Return
rig_wait_for 5 '[ "$(rig_line "$sim/tracks/nurburg/track.ini" 54)" == "stall_0 = 3100.00 0.00" ]' ||
    rig_fail "the list did not take a pick after the change: $(rig_line "$sim/tracks/nurburg/track.ini" 54)"
change_dpi 144 120 70 60
change_dpi 120 96 90 80
echo "PASS [$RIG_NAME]"
