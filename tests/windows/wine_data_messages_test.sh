#!/usr/bin/env bash
# The data look-up under Wine against the Linux build: the same messages and exit status
# for a missing data file, also in folders whose names are not ASCII, and the Data folder
# beside the executable found from another working directory.
#
#   wine_data_messages_test.sh ZORBEL_EXE WINE LINUX_ZORBEL
#
# Paths in the messages differ only in their spelling (Z:\tmp\... against /tmp/...); they
# are compared after turning the Windows spelling back into the Unix one.
set -uo pipefail
exe=$1 wine=$2 linux=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=

# make_folder DIR [FILE-LEFT-OUT]: DIR/Data with all five data files but one.
make_folder() {
    python3 - "$1/Data" "${2:-}" <<'PY'
import os, sys
folder, left_out = sys.argv[1], sys.argv[2]
os.makedirs(folder, exist_ok=True)
for name, size in (("intro.raw", 24000), ("intro2.raw", 24000), ("intro3.raw", 24000),
                   ("intro4.raw", 24000), ("font.raw", 192000)):
    if name != left_out:
        open(os.path.join(folder, name), "wb").write(bytes(size))
PY
}

# Runs one program with its output captured; the Windows one's paths in Unix spelling.
# run_one linux|windows PROGRAM WORKDIR ARGS...
run_one() {
    local kind=$1 program=$2 workdir=$3
    shift 3
    if [ "$kind" = windows ]; then
        (cd "$workdir" && "$wine" "$program" "$@" </dev/null 2>&1; echo "status=$?") |
            python3 -c '
import re, subprocess, sys
text = sys.stdin.buffer.read().decode("utf-8", "replace").replace("\r\n", "\n")
def unix(match):
    return subprocess.run(["winepath", "-u", match.group(0)], capture_output=True, text=True).stdout.strip()
sys.stdout.write(re.sub(r"[A-Z]:\\[^\n]*?(?=\n|$)", unix, text))'
    else
        (cd "$workdir" && "$program" "$@" </dev/null 2>&1; echo "status=$?")
    fi
}

failures=0
# name | folder name | data file left out | run from (data: the data folder, else elsewhere) | arguments
cases=(
    "missing font|plain|font.raw|data|--no-audio"
    "missing picture, non-ASCII folder|dätä-日本語-Δ|intro3.raw|data|--no-audio"
    "complete data beside the program, non-ASCII folder|ünï 音楽||elsewhere|--capture out --to 0 --fps 1 --no-audio"
    "missing data beside the program|ünï-leer|intro.raw|elsewhere|--no-audio"
)
for entry in "${cases[@]}"; do
    IFS='|' read -r name folder left_out from arguments <<<"$entry"
    outputs=()
    for kind in linux windows; do
        base="$scratch/$kind/$folder"
        make_folder "$base" "$left_out"
        mkdir -p "$scratch/$kind/elsewhere"
        if [ "$kind" = windows ]; then program="$base/zorbel.exe"; cp "$exe" "$program"
        else program="$base/zorbel"; cp "$linux" "$program"; fi
        workdir=$base
        [ "$from" = elsewhere ] && workdir="$scratch/$kind/elsewhere"
        # shellcheck disable=SC2086
        output=$(run_one "$kind" "$program" "$workdir" $arguments)
        outputs+=("${output//$scratch\/$kind/ROOT}")
    done
    if [ "${outputs[0]}" != "${outputs[1]}" ]; then
        echo "FAIL [$name]"; diff <(echo "${outputs[0]}") <(echo "${outputs[1]}") | sed 's/^/    /'
        failures=$((failures + 1))
    else
        echo "[$name] same: $(echo "${outputs[0]}" | tr '\n' ' ')"
    fi
done
exit $((failures > 0))
