# The end-to-end rig, sourced by each test script: a private X display, a private copy of the Wine
# prefix, and helpers to drive windows with real X keys and clicks. It installs nothing.
set -euo pipefail

RIG_NAME=${E2E_NAME:-$(basename "$0" .sh)}
RIG_OUT=${E2E_OUT:-/tmp/lapforge-e2e}
RIG_PIDS=()
RIG_XVFB_PID=""
RIG_SERVER_PID=""

rig_fail() {
    echo "FAIL [$RIG_NAME]: $*" >&2
    exit 1
}

rig_assert_eq() {  # expected actual what
    [ "$1" == "$2" ] || rig_fail "$3: expected [$1], got [$2]"
}

rig_cleanup() {
    local status=$?
    set +e  # clean up everything, whatever has already gone
    if [ "$status" -ne 0 ] && [ -n "${DISPLAY:-}" ]; then
        import -window root "$RIG_OUT/$RIG_NAME-failure.png" 2>/dev/null &&
            echo "screenshot of the failure: $RIG_OUT/$RIG_NAME-failure.png" >&2
    fi
    local pid
    for pid in "${RIG_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    # Ending the private prefix's own server ends every Wine process this test started.
    if [ -n "$RIG_SERVER_PID" ]; then
        wineserver -k 2>/dev/null
        kill "$RIG_SERVER_PID" 2>/dev/null
        wait "$RIG_SERVER_PID" 2>/dev/null
    fi
    [ -n "$RIG_XVFB_PID" ] && kill "$RIG_XVFB_PID" 2>/dev/null
    [ -n "${RIG_TMP:-}" ] && rm -rf "$RIG_TMP"
    exit "$status"
}

rig_start() {
    local tool
    for tool in wine wineserver Xvfb xdotool import; do
        command -v "$tool" >/dev/null || rig_fail "missing tool: $tool (run tools/install-deps.sh)"
    done
    [ -f "${LAPFORGE_WINEPREFIX:-}/system.reg" ] || rig_fail "no Wine prefix at ${LAPFORGE_WINEPREFIX:-<unset>}"
    mkdir -p "$RIG_OUT"
    RIG_TMP=$(mktemp -d /tmp/lapforge-e2e.XXXXXX)
    trap rig_cleanup EXIT

    local n=$(( 100 + $$ % 400 ))
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    RIG_XVFB_PID=$!
    export DISPLAY=":$n"
    rig_wait_for 10 "xdotool getdisplaygeometry >/dev/null 2>&1" || rig_fail "Xvfb did not start"

    cp -a "$LAPFORGE_WINEPREFIX" "$RIG_TMP/prefix"
    export WINEPREFIX="$RIG_TMP/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    # In the foreground, so the pid is the server's own and cleanup can end it by pid.
    wineserver -f -p >/dev/null 2>&1 &
    RIG_SERVER_PID=$!
}

rig_wait_for() {  # timeout-seconds shell-condition
    local deadline=$(( $(date +%s%N) + $1 * 1000000000 ))
    while [ "$(date +%s%N)" -lt "$deadline" ]; do
        if eval "$2"; then return 0; fi
        sleep 0.1
    done
    return 1
}

rig_set_dpi() {  # dpi; before the program starts
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

rig_run_bg() {  # program [args...]; from the current folder, pid in RIG_PID
    wine "$@" >/dev/null 2>&1 &
    RIG_PID=$!
    RIG_PIDS+=("$RIG_PID")
}

rig_window() {  # exact title; prints the id of a visible window, or nothing
    local pattern
    pattern=$(printf '%s' "$1" | sed 's/[][\.*^$?+(){}|]/\\&/g')
    { xdotool search --onlyvisible --name "^$pattern\$" 2>/dev/null || true; } | head -n 1
}

rig_wait_window() {  # title [timeout]; prints the window id
    RIG_TITLE=$1
    rig_wait_for "${2:-30}" '[ -n "$(rig_window "$RIG_TITLE")" ]' || rig_fail "no window \"$1\""
    sleep 0.5  # let it finish painting
    rig_window "$1"
}

rig_wait_gone() {  # pid [timeout]
    rig_wait_for "${2:-20}" "! kill -0 $1 2>/dev/null" || rig_fail "process $1 did not end"
}

rig_wait_window_gone() {  # title [timeout]
    RIG_TITLE=$1
    rig_wait_for "${2:-20}" '[ -z "$(rig_window "$RIG_TITLE")" ]' || rig_fail "window \"$1\" did not close"
}

rig_wait_file() {  # path [timeout]
    rig_wait_for "${2:-20}" "[ -f \"$1\" ]" || rig_fail "no file $1"
}

rig_screenshot() {  # file.png
    import -window root "$1"
}

rig_key() {  # keys...; to the window with the focus
    local k
    for k in "$@"; do
        xdotool key --clearmodifiers "$k"
        sleep 0.15
    done
}

rig_hold_key() {  # key seconds; a press long enough for a poller to see
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
}

rig_click() {  # window x y (pixels from the window's top-left corner)
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.2
}

rig_type() {
    xdotool type --delay 30 "$1"
}

# How many colours the inside of a control shows (its border left out), from its place in twips.
rig_colours_in() {  # window dpi left top width height
    local shot="$RIG_TMP/colours-$$.png" inset=3
    import -window "$1" "$shot"
    local x=$(( ($3 * $2 + 720) / 1440 + inset )) y=$(( ($4 * $2 + 720) / 1440 + inset ))
    local w=$(( ($5 * $2 + 720) / 1440 - 2 * inset )) h=$(( ($6 * $2 + 720) / 1440 - 2 * inset ))
    convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage -format %k info:
}

# The Windows form of a Unix path in this prefix.
rig_winpath() {
    winepath -w "$1" 2>/dev/null
}

# A fresh application folder: lapforge.exe and its data files.
rig_app_folder() {  # folder
    mkdir -p "$1"
    cp "$LAPFORGE_EXE" "$1/"
    cp -R "$LAPFORGE_DATA"/. "$1/"
}

# A fresh demo simulator folder: the stand-in gpl.exe and a track file whose line 54 is Pitlane's.
rig_demo_sim() {  # folder
    bash "$LAPFORGE_SOURCE/tools/make-demo-sim.sh" "$1" "$GPL_STANDIN"
}

# The settings file of an application folder, naming a simulator folder.
rig_remember() {  # app-folder simulator-folder
    printf '%s\r\n' "$(rig_winpath "$2")" >"$1/lapforge.ini"
}

# An application folder whose settings file names a fresh demo simulator folder.
rig_installed() {  # app-folder simulator-folder
    rig_app_folder "$1"
    rig_demo_sim "$2"
    rig_remember "$1" "$2"
}

# The usual scene, with $RIG_TMP as the current folder: lapforge.exe and its data files in $app,
# the demo simulator in $sim with its track file $track, and the settings file naming it (none
# with "first-run").
rig_scene() {  # [first-run]
    app="$RIG_TMP/app"
    sim="$RIG_TMP/GPL"
    track="$sim/tracks/nurburg/track.ini"
    rig_app_folder "$app"
    rig_demo_sim "$sim"
    [ "${1:-}" == first-run ] || rig_remember "$app" "$sim"
    cd "$RIG_TMP"
}

# The test-only winmm.dll in the prefix's System32, in place of the system's, taken by lapforge.exe
# alone (WINEDLLOVERRIDES winmm=n): its joysticks are what $script says, and each sound asked for is
# logged to $sounds with line 54 of the scene's track file and the time (tests/e2e/standin_winmm.cpp).
rig_standin_winmm() {
    cp "$STANDIN_WINMM" "$WINEPREFIX/drive_c/windows/system32/winmm.dll"
    script="$RIG_TMP/joysticks.txt"
    sounds="$RIG_TMP/sounds.txt"
    : >"$sounds"
    export LAPFORGE_JOYSTICKS LAPFORGE_SOUND_LOG LAPFORGE_TRACK
    LAPFORGE_JOYSTICKS=$(rig_winpath "$script")
    LAPFORGE_SOUND_LOG=$(rig_winpath "$sounds")
    LAPFORGE_TRACK=$(rig_winpath "$track")
}

# Line 54 of the scene's track file becomes the deploy line within 5 s.
rig_expect_line() {  # deploy-line what
    RIG_WANT=$1
    rig_wait_for 5 '[ "$(rig_line "$track" 54)" == "$RIG_WANT" ]' || rig_fail "$2: line 54 is $(rig_line "$track" 54)"
}

# Line 54 is still the deploy line a moment later: what should not have moved it did not.
rig_expect_still() {  # deploy-line what
    sleep 0.8
    rig_assert_eq "$1" "$(rig_line "$track" 54)" "$2"
}

# Line n of a CR LF file, without its end marker.
rig_line() {  # file n
    sed -n "${2}p" "$1" | tr -d '\r'
}

# The platform's failure report ("Lapforge has to stop."): titled "Lapforge", like the main window
# behind it, so it shows as a second such window.
rig_wait_report() {  # [timeout]
    rig_wait_for "${1:-10}" '[ "$(xdotool search --onlyvisible --name "^Lapforge\$" 2>/dev/null | wc -l)" -ge 2 ]' ||
        rig_fail "no failure report"
    sleep 0.5  # let it finish painting
}

# The text of a window's control as the user reads it, from the layout probe.
rig_control_text() {  # title id
    wine "$LAYOUT_PROBE" "$1" 2>/dev/null | tr -d '\r' | awk -v id="$2" '$1 == "control" && $2 == id' | cut -d' ' -f8-
}
