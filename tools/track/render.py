"""Draws the maps and views of tools/make-data.sh from the geometry beside this file.

  render.py pictures OUT   stdin: "index|name|d0|d1|colour" per section; writes OUT/karteN.jpg
                           and OUT/blickN.jpg
  render.py corners        stdin as above; prints the corners each section covers, one line each
"""
import sys
import time

import blick
import geometry as g
import karte


def read_rows():
    rows = []
    for line in sys.stdin:
        if line.strip():
            i, name, d0, d1, colour = line.rstrip("\n").split("|")
            rows.append((int(i), name, float(d0), float(d1), colour))
    return rows


def main(argv):
    track = g.Track()
    rows = read_rows()
    if argv[1] == "corners":
        for _, _, d0, d1, _ in rows:
            print(", ".join(n if surveyed else n + " (old lap)" for n, _, surveyed in g.section_corners(track, d0, d1)))
        return 0
    out = argv[2]
    start = time.monotonic()
    for i, name, d0, d1, colour in rows:
        t0 = time.monotonic()
        karte.draw(track, name, colour, d0, d1, f"{out}/karte{i}.jpg")
        blick.render(track, d0, colour, f"{out}/blick{i}.jpg", seed=1000 + i, pit=g.d_to_s(d0) is None)
        print(f"  pictures of section {i}: {time.monotonic() - t0:.1f} s", flush=True)
    print(f"pictures rendered in {time.monotonic() - start:.0f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
