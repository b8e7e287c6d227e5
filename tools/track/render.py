"""Draws the maps and views of tools/make-data.sh from the geometry beside this file.

  render.py pictures OUT   stdin: "index|name|d0|d1|colour" per section; writes OUT/karteN.jpg
                           with its road file OUT/karteN.road, OUT/blickN.jpg, and a view every
                           LAP_STEP_M of the lap, OUT/lap/blick<d>.jpg
  render.py pictures OUT --no-text
                           only the sections' views OUT/blickN.jpg, without any text: no labels,
                           no strip (for matching views to sections blind)
  render.py pictures OUT --views
                           only the sections' views OUT/blickN.jpg, with their text (to look at a
                           few while changing them: give only their rows)
  render.py corners        stdin as above; prints the corners each section covers, one line each
"""
import os
import sys
import time

import blick
import geometry as g
import karte
import maproad

# Views for any deploy point a driver picks, shown for the nearest multiple of LAP_STEP_M.
LAP_STEP_M = 250
LAP_FIRST_M, LAP_LAST_M = 1750, 22000


def read_rows():
    rows = []
    for line in sys.stdin:
        if line.strip():
            i, name, d0, d1, colour = line.rstrip("\n").split("|")
            rows.append((int(i), name, float(d0), float(d1), colour))
    return rows


def lap_distances():
    return range(LAP_FIRST_M, LAP_LAST_M + 1, LAP_STEP_M)


def main(argv):
    track = g.Track()
    rows = read_rows()
    if argv[1] == "corners":
        for _, _, d0, d1, _ in rows:
            print(", ".join(n if surveyed else n + " (old lap)" for n, _, surveyed in g.section_corners(track, d0, d1)))
        return 0
    out = argv[2]
    text = "--no-text" not in argv[3:]
    everything = text and "--views" not in argv[3:]
    start = time.monotonic()
    for i, name, d0, d1, colour in rows:
        t0 = time.monotonic()
        if everything:
            layout = karte.draw(track, name, colour, d0, d1, f"{out}/karte{i}.jpg")
            maproad.write(f"{out}/karte{i}.road", f"{out}/karte{i}.jpg", colour, karte.W, karte.H,
                          maproad.runs(track, layout))
        blick.render(track, d0, colour, f"{out}/blick{i}.jpg", seed=1000 + i, name=name, text=text)
        print(f"  pictures of section {i}: {time.monotonic() - t0:.1f} s", flush=True)
    if everything:
        t0 = time.monotonic()
        os.makedirs(f"{out}/lap", exist_ok=True)
        for d in lap_distances():
            colour = next(c for _, _, d0, d1, c in rows if d0 <= d < d1)
            blick.render(track, d, colour, f"{out}/lap/blick{d}.jpg", seed=d, strip=False)
        print(f"  {len(lap_distances())} lap views: {time.monotonic() - t0:.1f} s", flush=True)
    print(f"pictures rendered in {time.monotonic() - start:.0f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
