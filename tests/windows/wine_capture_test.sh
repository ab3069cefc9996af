#!/usr/bin/env bash
# Captures of the real show, with its music, by zorbel.exe under Wine and by the Linux
# build, compared byte for byte: every frame picture of one second in each scene, the frame
# table (time and bass level of every frame from the start) and the recorded sound.
#
#   wine_capture_test.sh ZORBEL_EXE WINE LINUX_ZORBEL SOURCE_DIR
set -uo pipefail
exe=$1 wine=$2 linux=$3 source=$4
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
here=$(dirname "$(readlink -f "$0")")

failures=0
# One second in each scene, started from the beginning of the show each time.
for second in 3 10 40 70 100 160 200 230; do
    to=$((second + 1))
    (cd "$source" && "$linux" --capture "$scratch/linux-$second" --from "$second" --to "$to" >/dev/null 2>&1) ||
        { echo "FAIL: the Linux capture at $second s"; failures=$((failures + 1)); continue; }
    (cd "$source" && "$wine" "$exe" --capture "$scratch/windows-$second" --from "$second" --to "$to" >/dev/null 2>&1) ||
        { echo "FAIL: the Wine capture at $second s"; failures=$((failures + 1)); continue; }
    echo "second $second:"
    python3 "$here/compare_captures.py" "$scratch/linux-$second" "$scratch/windows-$second" | sed 's/^/    /'
    [ "${PIPESTATUS[0]}" -eq 0 ] || failures=$((failures + 1))
done
exit $((failures > 0))
