"""The road files beside the maps: for each map karteN.jpg, karteN.road lists where the 1967 lap
runs on it, so that the program can turn a click on the map into a lap distance and a distance
into a pixel.

  lapforge-map-road 1
  picture <width> <height> <FNV-1a 64 of the map's bytes, 16 hex digits>
  colour <the section's colour, #rrggbb>
  run
  <d> <x> <y>        metres along the lap (GPL's d) and the map's own pixels, one decimal
  ...

Each run is one stretch of the lap in the main map area, points every STEP_M in rising d; a run
ends where the road leaves the area (or runs under the overview inset, the scale bar or the
legend) and at the lap's end. The hash tells the program when a driver has put his own picture
in the map's place, which then takes no clicks.
"""
import numpy as np

import geometry as g

STEP_M = 5.0
# The boxes of a map the road may run under but a click on is not the road's.
NOT_ROAD = ("north arrow", "scale bar", "legend")


def fnv1a64(data):
    h = 0xCBF29CE484222325
    for b in data:
        h = ((h ^ b) * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return h


def runs(track, layout):
    """[[(d, x, y), ...], ...]: the lap's stretches in the main map area of a map's layout."""
    area = layout.area
    boxes = [box for what, box in layout.marks if what in NOT_ROAD]
    out, cur = [], []
    for d in np.arange(0.0, g.SIM_LAP_M, STEP_M):
        (x, y), = layout.view(np.array([g.lap_point(track, d)[:2]]))
        x, y = round(x, 1), round(y, 1)  # as written, so that what is written lies inside
        inside = area[0] <= x < area[2] and area[1] <= y < area[3] and \
            not any(b[0] <= x <= b[2] and b[1] <= y <= b[3] for b in boxes)
        if inside:
            cur.append((float(d), float(x), float(y)))
        elif cur:
            out.append(cur)
            cur = []
    if cur:
        out.append(cur)
    return out


def write(path, jpeg_path, colour, width, height, stretches):
    with open(jpeg_path, "rb") as f:
        digest = fnv1a64(f.read())
    lines = ["lapforge-map-road 1", f"picture {width} {height} {digest:016x}", f"colour {colour.lower()}"]
    for run in stretches:
        lines.append("run")
        lines += [f"{d:.1f} {x:.1f} {y:.1f}" for d, x, y in run]
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def read(path):
    """(width, height, hash, colour, runs) of a road file; raises ValueError on a malformed one."""
    with open(path, "rb") as f:
        text = f.read().decode("ascii")
    if "\r" in text:
        raise ValueError("CR in a road file")
    lines = text.split("\n")
    if lines[-1] != "" or lines[0] != "lapforge-map-road 1":
        raise ValueError("not a road file")
    head, width, height, digest = lines[1].split(" ")
    what, colour = lines[2].split(" ")
    if head != "picture" or what != "colour" or len(digest) != 16 or len(colour) != 7:
        raise ValueError("bad header")
    stretches = []
    for ln in lines[3:-1]:
        if ln == "run":
            stretches.append([])
        else:
            d, x, y = (float(v) for v in ln.split(" "))
            stretches[-1].append((d, x, y))
    return int(width), int(height), int(digest, 16), colour, stretches
