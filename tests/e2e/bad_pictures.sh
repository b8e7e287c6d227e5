#!/usr/bin/env bash
# Pictures that cannot be shown, one run each as the view picture of Pitlane (blick0.jpg): a
# truncated JPEG, a PNG named .jpg, an empty file and a JPEG of 16000 x 16000 pixels. Each time
# the program stays up, the view box stays empty while the map shows, and line 54 is written.
source "$LAPFORGE_SOURCE/tests/e2e/rig.sh"
rig_start

rig_scene
good="$LAPFORGE_DATA/blick0.jpg"

# A baseline greyscale JPEG of 16000 x 16000 pixels, all mid-grey: every 8 x 8 block is two bits
# (no change of DC, end of block) under one-code Huffman tables, so the file is about 1 MB.
huge_jpeg() {
    {
        printf '\xff\xd8'
        printf '\xff\xdb\x00\x43\x00'; head -c 64 /dev/zero | tr '\0' '\1'            # quantisation: all 1
        printf '\xff\xc0\x00\x0b\x08\x3e\x80\x3e\x80\x01\x01\x11\x00'                 # 16000 x 16000, 1 component
        printf '\xff\xc4\x00\x14\x00\x01'; head -c 15 /dev/zero; printf '\x00'        # DC: one code, category 0
        printf '\xff\xc4\x00\x14\x10\x01'; head -c 15 /dev/zero; printf '\x00'        # AC: one code, end of block
        printf '\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00'
        head -c 1000000 /dev/zero                                                     # 4 000 000 blocks of 2 bits
        printf '\xff\xd9'
    } >"$1"
}

for kind in truncated png-named-jpg empty huge; do
    picture="$app/blick0.jpg"
    case "$kind" in
        truncated) head -c "$(( $(stat -c %s "$good") / 2 ))" "$good" >"$picture" ;;
        png-named-jpg) convert "$good" "png:$picture" ;;
        empty) : >"$picture" ;;
        huge) huge_jpeg "$picture"
              rig_assert_eq "16000x16000" "$(identify -ping -format '%wx%h' "$picture")" "the huge picture's size" ;;
    esac
    sed -i '54s/.*/stall_0 = 1.00 0.00\r/' "$track"
    rig_run_bg "$app/lapforge.exe"
    main=$(rig_wait_window "Lapforge")
    rig_assert_eq "stall_0 = 230.00 -9.30" "$(rig_line "$track" 54)" "line 54 with a $kind view picture"
    sleep 1  # painted, and still up
    kill -0 "$RIG_PID" 2>/dev/null || rig_fail "Lapforge ended with a $kind view picture"
    [ -z "$(rig_window Error)" ] || rig_fail "an error box with a $kind view picture"
    # The failure report is a second window titled "Lapforge".
    rig_assert_eq 1 "$(xdotool search --onlyvisible --name '^Lapforge$' | wc -l)" "windows titled Lapforge"
    rig_screenshot "$RIG_OUT/bad-picture-$kind.png"
    rig_assert_eq 1 "$(rig_colours_in "$main" 96 2640 1200 3135 2295)" "colours in the view box with a $kind picture"
    [ "$(rig_colours_in "$main" 96 240 1200 2295 3495)" -gt 1 ] || rig_fail "the map box is empty"
    rig_key Tab Tab Tab Tab Tab Tab Tab space  # Exit Lapforge
    rig_wait_gone "$RIG_PID"
done
echo "PASS [$RIG_NAME]"
