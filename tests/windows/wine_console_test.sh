#!/usr/bin/env bash
# zorbel.exe under Wine in a tmux pane of 80 x 50, once per output path: the prompt shows,
# a key starts the show, the first picture (flat red test data, shown from second 7) is on
# screen soon after starting at second 8, a key ends it (q with status 0, through the exit's
# own restore; Ctrl-C with Windows' Ctrl-C status), and the pane is usable again with a
# visible cursor. Last, a capture stopped by Ctrl-C says so and ends with that status too.
#
#   wine_console_test.sh ZORBEL_EXE WINE
#
# The cells path ends with q: when Ctrl-C ends the process at once, Wine's console does not
# always pass on the cursor it gets back. The capture gets its Ctrl-C as SIGINT, which Wine
# turns into the console's Ctrl-C event; its console reads no key while nothing waits for one.
#
# Wine's console draws WriteConsoleOutputW cells into the pane itself, but it passes
# virtual-terminal sequences through beside its own drawing, so the byte-stream path runs
# with standard output piped past Wine's console straight to the pane (standard input stays
# the console, for the key and Ctrl-C).
set -uo pipefail
exe=$1 wine=$2
scratch=$(mktemp -d)
tmux=(tmux -L "zorbel-wine-$$")
trap '"${tmux[@]}" kill-server 2>/dev/null; rm -rf "$scratch"' EXIT

mkdir -p "$scratch/Data"
python3 - "$scratch/Data" <<'PY'
import sys
folder = sys.argv[1]
red = bytes([200]) * 8000 + bytes(16000)
for name in ("intro.raw", "intro2.raw", "intro3.raw", "intro4.raw"):
    open(f"{folder}/{name}", "wb").write(red)
open(f"{folder}/font.raw", "wb").write(bytes(192000))
PY

pane() { "${tmux[@]}" capture-pane -p -t show "$@" 2>/dev/null; }
# wait_for SECONDS COMMAND...: polls every 0.2 s; prints how long it took.
wait_for() {
    local limit=$1 start=$SECONDS
    shift
    for ((i = 0; i < limit * 5; ++i)); do
        if "$@"; then echo $((SECONDS - start)); return 0; fi
        sleep 0.2
    done
    return 1
}
shows() { pane | grep -q -- "$1"; }
shows_red() { pane -e | grep -q '41m'; }
bottom_row_full() { [ "$(pane | sed -n 50p)" = "$(printf '\u2584%.0s' {1..80})" ]; }
cursor_shown() { [ "$("${tmux[@]}" display -p -t show '#{cursor_flag}' 2>/dev/null)" = 1 ]; }

failures=0
fail() { echo "FAIL [$1]: $2"; pane | head -8 | sed 's/^/    | /'; failures=$((failures + 1)); }

# name | environment | how standard output reaches the pane | the key that ends it | status
cases=(
    "cells|ZORBEL_CONSOLE=cells|console|q|0"
    "byte stream|ZORBEL_CONSOLE=vt|pipe|C-c|58"
)
for entry in "${cases[@]}"; do
    IFS='|' read -r name environment output key status <<<"$entry"
    failures_before=$failures
    pipe=""
    # The reader of the pipe ignores Ctrl-C, so it still passes on what the exit restores.
    # --force: standard output is then a pipe, which the program otherwise refuses.
    [ "$output" = pipe ] && pipe="--force | (trap '' INT; cat)"
    cat > "$scratch/run.sh" <<RUN
env -u COLORTERM $environment WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= "$wine" "$exe" --no-audio --start 8 $pipe
echo ZORBEL-EXIT=\${PIPESTATUS[0]}
exec bash --norc -i
RUN
    "${tmux[@]}" kill-server 2>/dev/null
    tmux=(tmux -u -L "zorbel-wine-$$-${name// /-}")  # a server of its own for each case
    "${tmux[@]}" new-session -d -s show -x 80 -y 50 -c "$scratch" "bash $scratch/run.sh"

    if ! wait_for 60 shows "Press any key to continue . . ." >/dev/null; then
        fail "$name" "no key prompt"; continue
    fi
    shows "Maximize Window And Press any key" || fail "$name" "the prompt is not on one line"
    "${tmux[@]}" send-keys -t show x
    if seconds=$(wait_for 20 shows_red); then
        echo "[$name] first picture on screen ${seconds} s after the key"
    else
        fail "$name" "no picture after the key"; continue
    fi
    [ "$("${tmux[@]}" display -p -t show '#{cursor_flag}')" = 0 ] || fail "$name" "cursor visible during the show"
    # The cells path writes the half blocks itself, over the whole window.
    [ "$output" = pipe ] || wait_for 5 bottom_row_full >/dev/null || fail "$name" "bottom row: $(pane | sed -n 50p)"

    "${tmux[@]}" send-keys -t show "$key"
    # Ctrl-C: STATUS_CONTROL_C_EXIT (0xC000013A), as a POSIX shell sees it: its low byte.
    wait_for 20 shows "ZORBEL-EXIT=" >/dev/null || { fail "$name" "$key did not end it"; continue; }
    shows "ZORBEL-EXIT=$status" || fail "$name" "exit status: $(pane | grep -o 'ZORBEL-EXIT=[0-9]*')"
    "${tmux[@]}" send-keys -t show "echo pane-ok-\$((6 * 7))" Enter
    wait_for 10 shows "pane-ok-42" >/dev/null || fail "$name" "pane not usable after the exit"
    wait_for 15 cursor_shown >/dev/null || fail "$name" "cursor still hidden"
    if [ "$output" = pipe ]; then
        # The byte stream leaves the alternate screen: the prompt drawn there is gone.
        shows "Press any key" && fail "$name" "alternate screen not left"
    fi
    [ "$failures" -eq "$failures_before" ] && echo "[$name] ok"
done

"${tmux[@]}" kill-server 2>/dev/null
cd "$scratch" || exit 1
WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= "$wine" "$exe" --capture out --no-audio 2>capture.txt &
wait_for 60 test -e out/frame-000030.png >/dev/null
kill -INT $!
wait $!
status=$?
grep -q "capture stopped after" capture.txt && [ $status = 58 ] ||
    fail capture "status $status: $(tr '\r' '\n' <capture.txt | tail -1)"
exit $((failures > 0))
