#!/usr/bin/env bash
# Makes a demo simulator folder: the stand-in gpl.exe and a 120-line tracks\nurburg\track.ini
# with CR LF line ends whose line 54 is the pit-lane deploy point.
set -euo pipefail
dir=$1
standin=$2
mkdir -p "$dir/tracks/nurburg"
cp "$standin" "$dir/gpl.exe"
{
    echo "[ track ]"
    echo "name = Nurburgring Nordschleife"
    echo "short_name = Nurburgring"
    echo "length = 22835.00"
    echo "laps = 5"
    echo ""
    for i in $(seq 7 53); do
        case $((i % 6)) in
            0) echo "" ;;
            1) echo "[ section_$i ]" ;;
            *) printf 'param_%d = %d.%02d\n' "$i" $((i * 37)) $((i % 100)) ;;
        esac
    done
    echo "stall_0 = 230.00 -9.30"
    for i in $(seq 55 120); do
        case $((i % 7)) in
            0) echo "" ;;
            1) echo "[ block_$i ]" ;;
            *) printf 'value_%d = %d.00 %d.50\n' "$i" $((i * 113)) $((i % 9)) ;;
        esac
    done
} | sed 's/$/\r/' >"$dir/tracks/nurburg/track.ini"
