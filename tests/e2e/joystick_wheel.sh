#!/usr/bin/env bash
# A wheel as a driver uses it, through a stand-in of the system's winmm.dll whose joysticks a script
# file gives, with a shifter button held all along. An older Lapforge's line for button 5 learns the
# wheel's make at start. In the Keys window button 5 of the G27 becomes
# "next"; for "previous" it is refused, and the hat's right is taken. With GPL running, button 5
# moves on and its announcement is asked for after line 54 was written, and ids without a joystick
# are not asked; the wheel under another id still works; the same button of another make does
# nothing; the hat moves back. "Previous" cleared, then Esc, stays. Screenshots of the Keys window
# with the wheel at 96 and 144 DPI. A button box plugged in and out while the Keys window waits for
# a press: each burst of notices lists the joysticks once and the window's "Connected:" line follows,
# and nothing lists them without a notice; the wheel moved to another id while GPL runs is listed
# once too. Three quick spins of an encoder (eight 12 ms pulses 20 ms apart) move eight stops each.
# The 1 ms timer period is asked for only while GPL runs with the wheel bound, and ended
# while the Keys window is open and when Lapforge ends.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

rig_scene
rig_standin_winmm
asked="$RIG_TMP/absent-asks.txt"
calls="$RIG_TMP/winmm-calls.txt"
spin="$RIG_TMP/spin.txt"
export LAPFORGE_JOY_LOG LAPFORGE_WINMM_LOG LAPFORGE_SPIN
LAPFORGE_JOY_LOG=$(rig_winpath "$asked")
LAPFORGE_WINMM_LOG=$(rig_winpath "$calls")
LAPFORGE_SPIN=$(rig_winpath "$spin")
: >"$calls"
px() { echo $(( ($1 * $2 + 720) / 1440 )); }

Shifter=0x40  # button 7, held all along: a shifter in gear
Driver="Microsoft PC-joystick driver"  # what winmm names a USB wheel; the registry has its own name
box=""  # a button box's line, while it is plugged in
wheel() {  # id vendor product down pov; the wheel's state, written at once
    { printf '%s %s %s 40 %x %s %s\n' "$1" "$2" "$3" $(( Shifter | $4 )) "$5" "$Driver"
      [ -z "$box" ] || echo "$box"; } >"$script.new"
    mv "$script.new" "$script"
}
listings() { grep -c '^list$' "$calls" || true; }
timer_calls() { grep '^time' "$calls" | tr '\n' ' ' || true; }
press() {  # id vendor product down pov; down for a moment, then up
    wheel "$@"
    sleep 0.3
    wheel "$1" "$2" "$3" 0 65535
    sleep 0.3
}
start_lapforge() {  # dpi; the stand-in winmm for lapforge.exe alone
    rig_set_dpi "$1"
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winmm=n" rig_run_bg "$app/lapforge.exe"
    lapforge=$RIG_PID
    main=$(rig_wait_window "Lapforge")
}
open_keys() {  # dpi
    xdotool windowraise "$main"
    rig_click "$main" "$(px 787 "$1")" "$(px 5587 "$1")"
    keys=$(rig_wait_window "Keys")
}

wine reg add 'HKCU\System\CurrentControlSet\Control\MediaProperties\PrivateProperties\Joystick\OEM\VID_046D&PID_C29B' \
    /v OEMName /d "G27 Racing Wheel" /f >/dev/null 2>&1
wheel 3 046d c29b 0 65535
printf 'next=joy:3:button:5\r\n' >>"$app/lapforge.ini"  # an older Lapforge's line
start_lapforge 96
grep -qx $'next=joy:3:button:5:046d:c29b:0:G27 Racing Wheel\r' "$app/lapforge.ini" ||
    rig_fail "the old line did not learn its wheel at start: $(cat -A "$app/lapforge.ini")"
open_keys 96
rig_assert_eq "button 5 on G27 Racing Wheel" "$(rig_control_text Keys 101)" "the old line's binding"
rig_control_text Keys 107 | grep -qF 'Connected: G27 Racing Wheel (buttons 1 to 32 and the hat of its 40 can be used).' ||
    rig_fail "the Keys window does not name the wheel: $(rig_control_text Keys 107)"
rig_key space  # Change "Next section"
rig_wait_for 5 '[ "$(rig_control_text Keys 101)" == "…" ]' || rig_fail "the change did not start"
# A button box plugged in while the change waits: one listing for the burst of notices, and none
# without a notice, however long the change waits.
listed=$(listings)
box="5 1234 0001 12 0 65535 Button Box"
wheel 3 046d c29b 0 65535
rig_wait_for 5 'rig_control_text Keys 107 | grep -qF "can be used); Button Box."' ||
    rig_fail "the Keys window did not list the box plugged in: $(rig_control_text Keys 107)"
sleep 6
rig_assert_eq 1 $(( $(listings) - listed )) "listings for the box's notices and 6 s of waiting"
box=""
wheel 3 046d c29b 0 65535
rig_wait_for 5 '! rig_control_text Keys 107 | grep -qF "Button Box"' ||
    rig_fail "the Keys window still lists the box unplugged: $(rig_control_text Keys 107)"
press 3 046d c29b 0x10 65535  # button 5
rig_wait_for 5 '[ "$(rig_control_text Keys 101)" == "button 5 on G27 Racing Wheel" ]' ||
    rig_fail "button 5 not taken: $(rig_control_text Keys 101)"
rig_key Tab space  # Change "Previous section": the held shifter has not kept the buttons disabled
rig_wait_for 5 '[ "$(rig_control_text Keys 104)" == "…" ]' || rig_fail "the held button blocked Change"
press 3 046d c29b 0x10 65535  # button 5 again: "next" has it
rig_wait_for 5 'rig_control_text Keys 106 | grep -qF "button 5 on G27 Racing Wheel already moves to the next section"' ||
    rig_fail "the duplicate was not refused: $(rig_control_text Keys 106)"
press 3 046d c29b 0 9000  # the hat's right
rig_wait_for 5 '[ "$(rig_control_text Keys 104)" == "hat right on G27 Racing Wheel" ]' ||
    rig_fail "the hat not taken: $(rig_control_text Keys 104)"
rig_screenshot "$RIG_OUT/joystick-keys-96.png"
rig_key Tab Tab Tab Tab Tab space  # OK (past Clear and the jump list with its buttons)
rig_wait_window_gone "Keys"
grep -qx $'next=joy:3:button:5:046d:c29b:0:G27 Racing Wheel\r' "$app/lapforge.ini" ||
    rig_fail "button 5 not stored: $(cat -A "$app/lapforge.ini")"
grep -qx $'previous=joy:3:hat:right:046d:c29b:0:G27 Racing Wheel\r' "$app/lapforge.ini" ||
    rig_fail "the hat not stored: $(cat -A "$app/lapforge.ini")"

rig_assert_eq "" "$(timer_calls)" "timer period calls before GPL runs"
xdotool windowraise "$main"
rig_click "$main" "$(px 4207 96)" "$(px 3847 96)"  # Launch GPL
gpl=$(rig_wait_window "GPL stand-in")
sleep 2
rig_assert_eq "timeBeginPeriod 1 " "$(timer_calls)" "timer period calls with GPL running and the wheel bound"
: >"$asked"
press 3 046d c29b 0x10 65535
rig_expect_line "stall_0 = 3100.00 0.00" "button 5 with GPL running"
rig_wait_for 5 'grep -q "ansage1.wav" "$sounds"' || rig_fail "no announcement asked for: $(cat "$sounds")"
grep -q 'ansage1.wav | stall_0 = 3100.00 0.00' "$sounds" ||
    rig_fail "the announcement was asked for before the track file was written: $(cat "$sounds")"
[ ! -s "$asked" ] || rig_fail "ids without a joystick were asked while the wheel answered: $(sort "$asked" | uniq -c)"

listed=$(listings)
wheel 6 046d c29b 0 65535  # plugged into another port: another id
sleep 1
press 6 046d c29b 0x10 65535
rig_expect_line "stall_0 = 5600.00 0.00" "button 5 with the wheel under another id"
rig_assert_eq 1 $(( $(listings) - listed )) "listings for the wheel's move, its notices and its old id silent"

wheel 6 044f b66e 0 65535  # another make in its place
sleep 1
press 6 044f b66e 0x10 65535
rig_expect_still "stall_0 = 5600.00 0.00" "the same button of another make"

wheel 2 046d c29b 0 65535  # the G27 back
sleep 1
press 2 046d c29b 0 9000
rig_expect_line "stall_0 = 3100.00 0.00" "the hat's right bound to previous"

# A quick spin of an encoder on button 5, three times: eight 12 ms pulses 20 ms apart move exactly
# eight stops each, every one announced after its write.
for round in 1 2 3; do
    before=$(grep -c 'ansage' "$sounds" || true)
    echo "2 10 $(( $(date +%s%N) + 300000000 )) 8 12 20" >"$spin"
    sleep 1.5
    rig_assert_eq 8 $(( $(grep -c 'ansage' "$sounds" || true) - before )) "stops moved by spin $round of eight clicks"
done
rm -f "$spin"
kill -0 "$RIG_PID" 2>/dev/null || rig_fail "Lapforge ended"

# The Keys window at 144 DPI, the wheel connected.
xdotool windowraise "$main"
rig_click "$main" "$(px 4207 96)" "$(px 5047 96)"  # Exit Lapforge
rig_wait_gone "$lapforge"
rig_assert_eq "timeBeginPeriod 1 timeEndPeriod 1 " "$(timer_calls)" "timer period calls once Lapforge ended"
: >"$calls"
start_lapforge 144  # GPL still runs: found within a second
rig_wait_for 5 '[ "$(timer_calls)" == "timeBeginPeriod 1 " ]' || rig_fail "no timer period with GPL found: $(timer_calls)"
open_keys 144
rig_wait_for 5 '[ "$(timer_calls)" == "timeBeginPeriod 1 timeEndPeriod 1 " ]' ||
    rig_fail "the timer period not ended with the Keys window open: $(timer_calls)"
rig_assert_eq "hat right on G27 Racing Wheel" "$(rig_control_text Keys 104)" "previous after the restart"
rig_screenshot "$RIG_OUT/joystick-keys-144.png"
rig_key Tab Tab space  # Clear
rig_wait_for 5 '[ "$(rig_control_text Keys 104)" == "not set" ]' || rig_fail "Clear did not clear previous"
rig_key Escape  # Cancel: the cleared binding is not stored
rig_wait_window_gone "Keys"
grep -qx $'previous=joy:3:hat:right:046d:c29b:0:G27 Racing Wheel\r' "$app/lapforge.ini" ||
    rig_fail "Esc did not leave the bindings: $(cat -A "$app/lapforge.ini")"
echo "PASS [$RIG_NAME]"
