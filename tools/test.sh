#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: natively, then the Windows
# build under Wine. Build trees go to build/ (or $LAPFORGE_BUILD).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${LAPFORGE_BUILD:-$here/build}
jobs=$(nproc 2>/dev/null || echo 2)

bash "$here/tools/install-deps.sh"

echo "== native build and unit tests"
cmake -S "$here" -B "$build/native" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build/native" -j "$jobs"
ctest --test-dir "$build/native" --output-on-failure -j "$jobs"

echo "== Windows build: the same unit tests under Wine, then the end-to-end tests"
cmake -S "$here" -B "$build/windows" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON
cmake --build "$build/windows" -j "$jobs"
ctest --test-dir "$build/windows" --output-on-failure

echo "== release package"
cmake --build "$build/windows" --target package
# The read-me as the Notepad of Windows 7 needs it: CR LF line ends, plain ASCII or UTF-8 with a BOM.
unzip -p "$build"/windows/Lapforge-*-win64.zip '*/README.txt' | python3 -c '
import sys
text = sys.stdin.buffer.read()
lf_only = text.count(b"\n") != text.count(b"\r\n")
sys.exit("README.txt in the zip: LF-only line ends, or neither ASCII nor UTF-8 with a BOM"
         if lf_only or not (text.isascii() or text.startswith(b"\xef\xbb\xbf")) else 0)'
