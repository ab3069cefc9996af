#!/usr/bin/env bash
# Times the whole show at scale 8 and 60 fps, three ways: pictures then the ffmpeg command
# line, one --video run, and the picture capture alone. Prints wall and CPU seconds,
# frames a second and sizes. Usage: bench/capture_timing.sh [BUILD_DIR] (default build).
# Needs a few GB in $TMPDIR and several minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
zorbel=${1:-build}/zorbel
scratch=$(mktemp -d); trap 'rm -rf "$scratch"' EXIT
frames=15601

timed() {  # timed NAME COMMAND...: one row of the table
    local name=$1
    shift
    /usr/bin/time -f "%e %U %S" -o "$scratch/time" "$@" >/dev/null 2>&1
    read -r wall user system <"$scratch/time"
    printf '| %s | %.0f s | %.0f s | %.0f |\n' "$name" "$wall" "$(echo "$user + $system" | bc)" "$(echo "$frames / $wall" | bc)"
}

echo "| run | wall | CPU | frames/s |"
echo "|---|---|---|---|"
timed "--video show.mp4" "$zorbel" --video "$scratch/show.mp4"
timed "--capture, scale 8" "$zorbel" --capture "$scratch/pictures" --scale 8
timed "ffmpeg on those pictures" ffmpeg -nostdin -loglevel error -framerate 60 -pattern_type glob \
    -i "$scratch/pictures/frame-*.png" -i "$scratch/pictures/audio.wav" -c:v libx264 -pix_fmt yuv420p \
    -c:a aac -shortest "$scratch/ffmpeg.mp4"
echo
echo "sizes: --video $(du -h "$scratch/show.mp4" | cut -f1), pictures $(du -sh "$scratch/pictures" | cut -f1)," \
     "ffmpeg's mp4 $(du -h "$scratch/ffmpeg.mp4" | cut -f1)"
