#!/usr/bin/env python3
"""Compares two capture folders (zorbel --capture) byte for byte and, where frames differ,
cell by cell. Prints one line per scene window and exits 1 when anything differs.

    compare_captures.py LINUX_DIR WINDOWS_DIR [--scenes FILE]

A frame picture at scale 1 holds 80 x 100 pixels, two per console cell (upper and lower half).
"""
import sys
import zlib
from pathlib import Path

# The show's scene windows in seconds, for the report.
SCENES = [(0, 7, "blue start"), (7, 37, "pictures"), (37, 63, "swaying picture"),
          (63, 96, "ripples"), (96, 154, "plasma and cubes"), (154, 210, "star field"),
          (210, 261, "sine-wave text")]


def read_png_rgb(path):
    """Decodes an 8-bit RGB, non-interlaced PNG (what the capture writes) into rows of bytes."""
    data = path.read_bytes()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path
    offset, idat, width, height = 8, b"", 0, 0
    while offset < len(data):
        length = int.from_bytes(data[offset:offset + 4], "big")
        kind = data[offset + 4:offset + 8]
        body = data[offset + 8:offset + 8 + length]
        if kind == b"IHDR":
            width, height = int.from_bytes(body[0:4], "big"), int.from_bytes(body[4:8], "big")
            assert body[8] == 8 and body[9] == 2 and body[12] == 0, f"{path}: not 8-bit RGB"
        elif kind == b"IDAT":
            idat += body
        offset += 12 + length
    raw = zlib.decompress(idat)
    stride, rows, previous = width * 3, [], bytearray(width * 3)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            left = line[x - 3] if x >= 3 else 0
            up = previous[x]
            corner = previous[x - 3] if x >= 3 else 0
            if kind == 1:
                line[x] = (line[x] + left) & 255
            elif kind == 2:
                line[x] = (line[x] + up) & 255
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                predictor = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[x] = (line[x] + predictor) & 255
        rows.append(bytes(line))
        previous = line
    return width, height, rows


def differing_cells(first, second):
    width, height, rows_a = read_png_rgb(first)
    _, _, rows_b = read_png_rgb(second)
    count = 0
    for cell_row in range(height // 2):
        for x in range(width):
            pixels = slice(x * 3, x * 3 + 3)
            if any(rows_a[2 * cell_row + h][pixels] != rows_b[2 * cell_row + h][pixels] for h in (0, 1)):
                count += 1
    return count


# The spectrum behind the bass level is computed by FFTW and hypotf, whose last bits may differ
# between C runtimes and SIMD code paths; the pictures must not.
BASS_TOLERANCE = 1e-6


def compare_tables(first, second):
    """Frame, tick and demo time must be identical; the bass level within BASS_TOLERANCE."""
    rows_a = first.read_text().splitlines()
    rows_b = second.read_text().splitlines()
    if len(rows_a) != len(rows_b) or rows_a[:1] != rows_b[:1]:
        return False, 0, 0.0
    differ, worst, same = 0, 0.0, True
    for a, b in zip(rows_a[1:], rows_b[1:]):
        fields_a, fields_b = a.split(","), b.split(",")
        if fields_a[:3] != fields_b[:3]:
            same = False
        if fields_a[3] != fields_b[3]:
            differ += 1
            x, y = float(fields_a[3]), float(fields_b[3])
            worst = max(worst, abs(x - y) / max(abs(x), abs(y)))
    return same and worst <= BASS_TOLERANCE, differ, worst


def scene_of(seconds):
    for start, end, name in SCENES:
        if start <= seconds < end:
            return name
    return "after the show"


def main():
    linux, windows = Path(sys.argv[1]), Path(sys.argv[2])
    fps = 60
    frames = sorted(p.name for p in linux.glob("frame-*.png"))
    missing = [name for name in frames if not (windows / name).exists()]
    per_scene = {}
    for name in frames:
        if name in missing:
            continue
        a, b = linux / name, windows / name
        entry = per_scene.setdefault(scene_of(int(name[6:12]) / fps), [0, 0, 0])
        entry[0] += 1
        if a.read_bytes() != b.read_bytes():
            entry[1] += 1
            entry[2] += differing_cells(a, b)
    table_same, bass_differ, bass_worst = compare_tables(linux / "frames.csv", windows / "frames.csv")
    audio_same = (linux / "audio.wav").exists() == (windows / "audio.wav").exists() and (
        not (linux / "audio.wav").exists() or (linux / "audio.wav").read_bytes() == (windows / "audio.wav").read_bytes())
    failed = bool(missing) or not table_same or not audio_same
    for scene, (count, differing, cells) in per_scene.items():
        print(f"{scene}: {count} frames, {differing} differ, {cells} cells differ")
        failed = failed or differing > 0
    print(f"frames.csv {'agrees' if table_same else 'DIFFERS'} ({bass_differ} bass levels differ, "
          f"at most {bass_worst:.2g} relative), audio.wav {'identical' if audio_same else 'DIFFERS'}, "
          f"{len(missing)} frames missing")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
