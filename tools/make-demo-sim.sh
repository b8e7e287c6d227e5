#!/usr/bin/env bash
# Makes a demo simulator folder: the stand-in gpl.exe and a 120-line tracks\nurburg\track.ini
# with CR LF line ends whose line 54 is the pit-lane deploy point.
set -euo pipefail
dir=$1
standin=$2
mkdir -p "$dir/tracks/nurburg"
cp "$standin" "$dir/gpl.exe"

# Lines first to last of filler: every period-th one empty, the one after it a block's header, the
# rest values that differ from line to line.
filler() {  # first last period header value-format multiplier modulus
    local i
    for i in $(seq "$1" "$2"); do
        case $((i % $3)) in
            0) echo "" ;;
            1) echo "[ $4_$i ]" ;;
            *) printf "$5\n" "$i" $((i * $6)) $((i % $7)) ;;
        esac
    done
}

{
    echo "[ track ]"
    echo "name = Nurburgring Nordschleife"
    echo "short_name = Nurburgring"
    echo "length = 22835.00"
    echo "laps = 5"
    echo ""
    filler 7 53 6 section 'param_%d = %d.%02d' 37 100
    echo "stall_0 = 230.00 -9.30"
    filler 55 120 7 block 'value_%d = %d.00 %d.50' 113 9
} | sed 's/$/\r/' >"$dir/tracks/nurburg/track.ini"
