#!/usr/bin/env bash
# The track file held open by another program. A holder that shares reading and writing but not
# deletion (as a C runtime reader, the simulator or a scanner may hold it): the start, a pick in
# the list and F4 in the running cycle still rewrite line 54, every other byte as loaded, and
# Lapforge keeps running. A holder that shares nothing for 300 ms: the pick waits and succeeds. A
# holder that shares nothing and never lets go: the failure report, the file unchanged. The first
# rewrite keeps the user's own file (its own line 54, lines ended by a lone CR) beside it as
# track.ini.lapforge-original, and a second run leaves that copy alone.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

rig_scene
copy="$track.lapforge-original"
# Lines 10 and 20 lose their LF, so they end in a lone CR (and sed no longer counts Lapforge's lines).
sed -i -e '54s/.*/stall_0 = 777.00 1.50 ; my own\r/' "$track"
sed -i -e '10{N;s/\r\n/\r/}' -e '20{N;s/\r\n/\r/}' "$track"
cp "$track" "$RIG_TMP/original.ini"

# What a rewrite must give: every line ended by CR LF, line 54 the given deploy point.
expected() {  # deploy-line
    sed -e 's/\r\(.\)/\r\n\1/g' "$RIG_TMP/original.ini" | sed "54s/.*/$1\r/"
}
check_file() {  # deploy-line what
    want=$1
    rig_wait_for 5 '[ "$(rig_line "$track" 54)" == "$want" ]' || rig_fail "$2: line 54 is $(rig_line "$track" 54)"
    if ! expected "$1" | cmp -s - "$track"; then
        cp "$track" "$RIG_OUT/$RIG_NAME-track.ini"
        rig_fail "$2: other bytes changed ($(expected "$1" | cmp - "$track" 2>&1))"
    fi
}

holder_n=0
start_holder() {  # sharing milliseconds; pid in HOLDER_PID once the file is held
    holder_n=$((holder_n + 1))
    local ready="$RIG_TMP/holder-$holder_n.ready"
    wine "$TRACK_HOLDER" "$(rig_winpath "$track")" "$1" "$2" "$(rig_winpath "$ready")" >/dev/null 2>&1 &
    HOLDER_PID=$!
    RIG_PIDS+=("$HOLDER_PID")
    while [ ! -f "$ready" ]; do
        kill -0 "$HOLDER_PID" 2>/dev/null || rig_fail "the holder could not open the track file"
        sleep 0.02
    done
}
stop_holder() {
    kill "$HOLDER_PID"
    wait "$HOLDER_PID" 2>/dev/null || true
}

# --- A reader that shares no deletion holds the file from before the start.
start_holder rw 0
rig_run_bg "$app/lapforge.exe"
main=$(rig_wait_window "Lapforge")
check_file "stall_0 = 230.00 -9.30" "start while held"
cmp -s "$RIG_TMP/original.ini" "$copy" || rig_fail "the original copy differs from the user's file"
rig_key Down
check_file "stall_0 = 3100.00 0.00" "pick while held"
stop_holder

# --- A holder that shares nothing lets go after 300 ms; the pick comes while it holds.
start_holder none 300
holder=$HOLDER_PID
rig_key Down
wait "$holder" || rig_fail "the 300 ms holder did not hold the file"
check_file "stall_0 = 5600.00 0.00" "pick during a 300 ms hold"
[ -z "$(rig_window Error)" ] || rig_fail "an error after the 300 ms hold"

# --- F4 in the running cycle, held again.
start_holder rw 0
rig_key Tab space  # Launch GPL
rig_wait_file "$sim/gpl-report.txt"
rig_wait_window "GPL stand-in" >/dev/null
rig_hold_key F4 0.1
check_file "stall_0 = 7100.00 0.00" "F4 while held"
rig_hold_key F4 0.1
check_file "stall_0 = 9300.00 0.00" "second F4 while held"
[ -z "$(rig_window Error)" ] || rig_fail "an error while held"
kill -0 "$RIG_PID" 2>/dev/null || rig_fail "Lapforge ended while the file was held"
stop_holder
[ -z "$(ls "$sim/tracks/nurburg" | grep '\.tmp$')" ] || rig_fail "temporary files left: $(ls "$sim/tracks/nurburg")"

# --- A holder that shares nothing and never lets go: the status line says so, the file as it was.
cp "$track" "$RIG_TMP/before-lock.ini"
start_holder none 0
rig_hold_key F4 0.1
rig_wait_for 10 '[[ "$(rig_control_text Lapforge 114)" == "Deploy point not written:"* ]]' ||
    rig_fail "status line: $(rig_control_text Lapforge 114)"
rig_screenshot "$RIG_OUT/track-file-locked.png"
cmp -s "$RIG_TMP/before-lock.ini" "$track" || rig_fail "the locked file changed"
kill -0 "$RIG_PID" 2>/dev/null || rig_fail "Lapforge ended on a locked file"
kill "$RIG_PID"
rig_wait_gone "$RIG_PID"
stop_holder

# --- A second run: the copy stays the user's original.
rm -f "$sim/gpl-report.txt"
rig_run_bg "$app/lapforge.exe"
rig_wait_window "Lapforge" >/dev/null
check_file "stall_0 = 230.00 -9.30" "second run"
rig_key Down Down
check_file "stall_0 = 5600.00 0.00" "pick in the second run"
cmp -s "$RIG_TMP/original.ini" "$copy" || rig_fail "the second run changed the original copy"
echo "PASS [$RIG_NAME]"
