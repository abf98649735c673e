#!/usr/bin/python3
"""Writes data/KOVSPEC.DAT, the spectrum database shipped beside KOV.

Each shape is given as relative levels at a few bands and interpolated linearly in
band number (that is, straight in dB against log frequency), then shifted so that its
A-weighted level, computed the way the program computes it, meets the wanted value.
Run from anywhere:  /usr/bin/python3 tools/data/make_kovspec.py
"""

import math
import os
import sys

FIRST_BAND, LAST_BAND = 22, 39  # 160 Hz .. 8 kHz
BANDS = range(FIRST_BAND, LAST_BAND + 1)
SLOTS = 21
MAX_NAME = 28  # the database editor keeps no more than this

# The program's own whole-dB A-weighting of bands 22..39.
A_WEIGHT = dict(zip(BANDS, [-13, -11, -9, -7, -5, -3, -2, -1, 0, 1, 1, 1, 1, 1, 1, 0, 0, -1]))

# NC-30 octave-band levels, 125 Hz .. 8 kHz, keyed by octave-centre band.
NC30_OCTAVES = {21: 48, 24: 41, 27: 35, 30: 31, 33: 29, 36: 28, 39: 27}
OCTAVE_TO_THIRD = 10 * math.log10(3)  # 4.77 dB: one octave's energy split over three bands


def a_weighted(levels):
    total = sum(10 ** ((A_WEIGHT[b] + levels[b]) / 10) for b in BANDS)
    if total <= 0:
        return 0.0
    return round(10 / math.log(10) * math.log(total), 1)


def interpolate(points):
    """Levels for every band from {band: level} break points (linear in band number)."""
    keys = sorted(points)
    out = {}
    for b in BANDS:
        if b <= keys[0]:
            lo = hi = keys[0]
        elif b >= keys[-1]:
            lo = hi = keys[-1]
        else:
            lo = max(k for k in keys if k <= b)
            hi = min(k for k in keys if k >= b)
        t = 0.0 if hi == lo else (b - lo) / (hi - lo)
        out[b] = points[lo] + t * (points[hi] - points[lo])
    return out


def contour(db_per_octave):
    return {FIRST_BAND: 0.0, LAST_BAND: -db_per_octave * (LAST_BAND - FIRST_BAND) / 3}


def unrounded_a(levels):
    return 10 * math.log10(sum(10 ** ((A_WEIGHT[b] + levels[b]) / 10) for b in BANDS))


def set_level(shape, target_dba):
    offset = target_dba - unrounded_a(shape)
    return {b: round(shape[b] + offset, 1) for b in BANDS}


def number_text(x):
    """Plain decimal, at most one decimal, no leading zero between -1 and 1."""
    x = round(x, 1)
    if x == int(x):
        return str(int(x))
    text = f"{x:.1f}"
    if text.startswith("0."):
        return text[1:]
    if text.startswith("-0."):
        return "-" + text[2:]
    return text


def entries():
    nc30 = interpolate({b: lvl - OCTAVE_TO_THIRD for b, lvl in NC30_OCTAVES.items()})
    # NC-30 alone gives about 38.5 dBA; the small lift brings it to a typical 40 dBA office.
    background = set_level(nc30, 40.0)

    # Nearly flat through 500 Hz, then -4.5 dB per octave.
    open_plan = set_level(interpolate({22: -1.0, 24: 0.0, 27: -1.5, 39: -19.5}), 47.0)
    # More low end for masking heard through a ceiling, then -5.5 dB per octave above 315 Hz.
    ceiling = set_level(interpolate({22: 0.0, 25: -1.5, 39: -1.5 - 5.5 * 14 / 3}), 45.0)

    table = [
        ("Background", background),
        ("Open plan with panels", open_plan),
        ("Ceiling type offices", ceiling),
    ]
    for slope in (5, 6, 7, 9):
        table.append((f"Contour -{slope} dB per octave", set_level(interpolate(contour(slope)), 47.0)))
    empty = {b: 0.0 for b in BANDS}
    while len(table) < SLOTS:
        table.append(("Empty", empty))
    return table


def main():
    table = entries()
    for name, levels in table:
        if '"' in name or len(name) > MAX_NAME:
            sys.exit(f"bad name: {name!r}")
        if name != "Empty" and not all(1 <= levels[b] <= 99 for b in BANDS):
            sys.exit(f"{name}: a level is outside 1..99 dB")
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    path = os.path.join(root, "data", "KOVSPEC.DAT")
    with open(path, "w", newline="", encoding="ascii") as f:
        for name, levels in table:
            f.write('"' + name + '",' + ",".join(number_text(levels[b]) for b in BANDS) + "\r\n")
    for i, (name, levels) in enumerate(table):
        print(f"{i:2d}  {name:<28}  {a_weighted(levels):5.1f} dBA")
    print("written", path)


if __name__ == "__main__":
    main()
