#!/usr/bin/env bash
# Both windows told, while they are open, that their DPI changed (as when one is dragged to a
# monitor with another scale): each moves to the suggested place, sizes its client area from its
# twips at the new DPI and puts every control where its layout table says (the dialog grown
# downwards where its hint needs more room in the window's font). The main window goes
# to 144, 120 and back to 96 DPI and still takes a pick in its list; the folder dialog to 144 and
# back.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

rig_scene first-run

# Per window: its title, its client size in twips, and per control its id (the window's control
# enum, numbered from 100 in table order), name, Left, Top, Width and Height in twips. Drop-down
# lists are marked: their closed field may be taller than the table says.
MAIN_TITLE="Lapforge"
MAIN_CLIENT="6015 7620"
MAIN_LAYOUT="
100 fraRahmen1 120 0 5775 7500
101 Label3 240 240 5535 255
102 Sectionselection 240 480 5535 315 drop-down
103 Label1 240 960 2295 255
104 Label2 2640 960 3135 255
105 picKarte 240 1200 2295 3495
106 picBlick 2640 1200 3135 2295
107 cmdLosgehts 2640 3600 1695 495
108 cmdHilfe 2640 4200 3135 495
109 chkHotkeyUndAudio 240 4800 2295 495
110 cmdBeenden 2640 4800 3135 495
111 cmdKeys 240 5400 1095 375
112 lblGPLFolder 240 5940 4335 255
113 cmdChangeFolder 4695 5880 1080 375
114 lblStatus 240 6300 5535 1080
115 cmdPoints 1440 5400 1095 375
116 cboGPLProgramm 4440 3690 1335 315 drop-down"
DIALOG_TITLE="Where is GPL?"
# A label that "grows" may be taller than its table says: what lies below it "moves" down by as
# much, and what reaches past it "stretches".
DIALOG_CLIENT="4470 2775"
DIALOG_LAYOUT="
100 lblDrive 120 120 1935 255
101 drvDrive 120 360 1935 315 drop-down
102 lblHint 120 840 1935 855 grows
103 cmdOK 120 1800 1935 375 moves
104 cmdCancel 120 2280 1935 375 moves
105 lblFolder 2160 120 2175 255
106 dirFolder 2160 360 2175 2340 stretches"

px() { echo $(( ($1 * $2 + 720) / 1440 )); }  # twips at a DPI, rounded as the windows round
near() {  # expected actual what; the growth is in twips, so each edge rounds on its own
    [ "$2" -ge $(($1 - 1)) ] && [ "$2" -le $(($1 + 1)) ] || rig_fail "$3: expected [$1] or a pixel off, got [$2]"
}
# A span in pixels from its rounded far edge, so controls that touch in twips touch on screen.
span() { echo $(( $(px $(($1 + $2)) "$3") - $(px "$1" "$3") )); }

probe() {  # title [dpi left top right bottom]; the probe's report
    local report
    report=$(wine "$LAYOUT_PROBE" "$@" 2>/dev/null) || rig_fail "the layout probe failed ($*)"
    tr -d '\r' <<<"$report"
}

check_layout() {  # dpi report layout what
    local dpi=$1 report=$2 what=$4 id name l t w h kind left top width height got want
    while read -r id name l t w h kind; do
        [ -n "$id" ] || continue
        got=$(awk -v id="$id" '$1 == "control" && $2 == id { print $3, $4, $5, $6 }' <<<"$report")
        [ -n "$got" ] || rig_fail "$what: no control $id ($name)"
        read -r left top width height <<<"$got"
        rig_assert_eq "$(px "$l" "$dpi") $(px "$t" "$dpi")" "$left $top" "$what: $name position"
        rig_assert_eq "$(span "$l" "$w" "$dpi")" "$width" "$what: $name width"
        want=$(span "$t" "$h" "$dpi")
        case "$kind" in
        drop-down)
            # The font may make the closed field taller, never as tall as the open list.
            [ "$height" -ge "$want" ] && [ "$height" -lt $((2 * want)) ] ||
                rig_fail "$what: $name height $height for a field of $want" ;;
        grows) ;;  # its growth is what the others are measured by
        stretches) near $((want + GROWTH)) "$height" "$what: $name height" ;;
        *) rig_assert_eq "$want" "$height" "$what: $name height" ;;
        esac
    done <<<"$3"
}

check_window() {  # title client-twips layout dpi report what
    local cw ch tw th id t h kind top height report=$5
    read -r tw th <<<"$2"
    read -r cw ch <<<"$(awk '$1 == "client" { print $2, $3 }' <<<"$5")"
    # How many pixels the growing label has beyond its table's height.
    GROWTH=0
    read -r id _ _ t _ h _ <<<"$(grep ' grows$' <<<"$3" || true)"
    if [ -n "$id" ]; then
        GROWTH=$(( $(awk -v id="$id" '$1 == "control" && $2 == id { print $6 }' <<<"$5") - $(span "$t" "$h" "$4") ))
        [ "$GROWTH" -ge 0 ] || rig_fail "$6: the label that grows is shorter than its table says"
    fi
    # What moves is checked here, a pixel either way, and then as if it stood where its table says.
    while read -r id _ _ t _ h kind; do
        [ "$kind" == moves ] || continue
        read -r top height <<<"$(awk -v id="$id" '$1 == "control" && $2 == id { print $4, $6 }' <<<"$report")"
        near $(($(px "$t" "$4") + GROWTH)) "$top" "$6: control $id top"
        near "$(span "$t" "$h" "$4")" "$height" "$6: control $id height"
        report=$(awk -v id="$id" -v top="$(px "$t" "$4")" -v height="$(span "$t" "$h" "$4")" \
            '$1 == "control" && $2 == id { $4 = top; $6 = height } 1' <<<"$report")
    done <<<"$3"
    rig_assert_eq "$(px "$tw" "$4")" "$cw" "$6: client width"
    if [ "$4" == 96 ]; then
        near $(($(px "$th" "$4") + GROWTH)) "$ch" "$6: client height"
    else
        # Wine keeps drawing the frame at the system's DPI while the window sizes its frame for
        # the new one, so the client area comes out a caption's growth taller, never shorter.
        [ "$ch" -ge $(($(px "$th" "$4") + GROWTH - 1)) ] || rig_fail "$6: client height $ch, less than $(px "$th" "$4")"
    fi
    check_layout "$4" "$report" "$3" "$6"
}

# Sends the change with a suggested rectangle at (left, top) of the window's size scaled by the
# DPI ratio, as the system suggests it, and checks the window afterwards.
change_dpi() {  # title client-twips layout from-dpi to-dpi left top
    local from=$4 to=$5 x y w h report what="$1 at $5 DPI"
    read -r _ _ _ w h <<<"$(probe "$1" | grep '^window ')"
    report=$(probe "$1" "$to" "$6" "$7" $(($6 + w * to / from)) $(($7 + h * to / from)))
    read -r _ x y _ _ <<<"$(grep '^window ' <<<"$report")"
    rig_assert_eq "$6 $7" "$x $y" "$what: window position"
    check_window "$1" "$2" "$3" "$to" "$report" "$what"
}

rig_set_dpi 96

# The folder dialog, on a first run without settings.
rig_run_bg "$app/lapforge.exe"
rig_wait_window "$DIALOG_TITLE" >/dev/null
check_window "$DIALOG_TITLE" "$DIALOG_CLIENT" "$DIALOG_LAYOUT" 96 "$(probe "$DIALOG_TITLE")" "dialog at start"
change_dpi "$DIALOG_TITLE" "$DIALOG_CLIENT" "$DIALOG_LAYOUT" 96 144 50 40
rig_screenshot "$RIG_OUT/folder-dialog-dpi-changed-144.png"
change_dpi "$DIALOG_TITLE" "$DIALOG_CLIENT" "$DIALOG_LAYOUT" 144 96 70 60
kill "$RIG_PID"  # the dialog's own ways out are tested elsewhere
rig_wait_gone "$RIG_PID"

# The main window.
rig_remember "$app" "$sim"
rig_run_bg "$app/lapforge.exe"
rig_wait_window "$MAIN_TITLE" >/dev/null
check_window "$MAIN_TITLE" "$MAIN_CLIENT" "$MAIN_LAYOUT" 96 "$(probe "$MAIN_TITLE")" "main window at start"
change_dpi "$MAIN_TITLE" "$MAIN_CLIENT" "$MAIN_LAYOUT" 96 144 50 40
rig_screenshot "$RIG_OUT/main-window-dpi-changed-144.png"
# The list works where it now stands: a click opens it, and the next item is applied.
rig_click "$(rig_window "$MAIN_TITLE")" "$(px 3000 144)" "$(px 637 144)"
rig_key Down Return
rig_wait_for 5 '[ "$(rig_line "$track" 54)" == "stall_0 = 3100.00 0.00" ]' ||
    rig_fail "the list did not take a pick after the change: $(rig_line "$track" 54)"
change_dpi "$MAIN_TITLE" "$MAIN_CLIENT" "$MAIN_LAYOUT" 144 120 70 60
change_dpi "$MAIN_TITLE" "$MAIN_CLIENT" "$MAIN_LAYOUT" 120 96 90 80
echo "PASS [$RIG_NAME]"
