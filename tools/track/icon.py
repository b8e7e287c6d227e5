"""Draws Lapforge's icon: the Nordschleife's outline, white on a rounded blue tile, each size drawn
for its size so that the 16-pixel one still reads as the track.

  icon.py OUT.ico [SHEET.png]   SHEET: every size enlarged side by side, to look at
"""
import io
import struct
import sys

import numpy as np
from PIL import Image, ImageDraw

import geometry as g

SS = 8  # drawn this much larger, then averaged down
TILE_TOP, TILE_BOTTOM = (30, 136, 229), (13, 71, 161)
ROAD = (255, 255, 255)
CASING = (8, 48, 110)
START = (229, 57, 53)

# Per size, in its own pixels: the tile's margin and corner radius, the road's width, and the
# margin between road and tile edge. Small sizes get a bolder road and use every pixel.
SIZES = {
    16: dict(margin=0, radius=3, road=1.8, pad=1.5),
    24: dict(margin=0, radius=4, road=2.2, pad=2.0),
    32: dict(margin=1, radius=5, road=2.5, pad=2.5),
    48: dict(margin=1, radius=8, road=3.2, pad=3.8),
    256: dict(margin=12, radius=44, road=9.0, pad=24.0),
}


def simplified(pts, tol):
    """Ramer-Douglas-Peucker: drops points closer than tol to the line; the ends stay."""
    keep = np.zeros(len(pts), bool)
    keep[[0, -1]] = True
    stack = [(0, len(pts) - 1)]
    while stack:
        a, b = stack.pop()
        if b - a < 2:
            continue
        d = pts[b] - pts[a]
        n = np.hypot(*d)
        rel = pts[a + 1:b] - pts[a]
        # A closed loop starts where it ends: there, the distance to that point.
        dist = np.abs(d[0] * rel[:, 1] - d[1] * rel[:, 0]) / n if n > 0 else np.hypot(*rel.T)
        i = int(np.argmax(dist))
        if dist[i] > tol:
            m = a + 1 + i
            keep[m] = True
            stack += [(a, m), (m, b)]
    return pts[keep]


def outline(track, box):
    """The loop fitted north up into box (pixels of the large canvas), closed."""
    xy = track.polyline(0, track.length, 10.0)
    lo, hi = xy.min(axis=0), xy.max(axis=0)
    k = min((box[2] - box[0]) / (hi[0] - lo[0]), (box[3] - box[1]) / (hi[1] - lo[1]))
    cx, cy = (box[0] + box[2]) / 2, (box[1] + box[3]) / 2
    mid = (lo + hi) / 2
    px = np.column_stack([cx + (xy[:, 0] - mid[0]) * k, cy - (xy[:, 1] - mid[1]) * k])
    return np.vstack([px, px[:1]])


def stroke(d, pts, fill, width):
    """A round-capped, round-joined line: a disc every few canvas pixels along it, so bends keep the
    road's width where Pillow's own joints bulge."""
    d.line([tuple(p) for p in pts], fill=fill, width=round(width))
    r = width / 2
    for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
        steps = max(1, int(np.hypot(x1 - x0, y1 - y0) / max(1.0, r / 4)))
        for t in np.linspace(0, 1, steps + 1):
            x, y = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
            d.ellipse((x - r, y - r, x + r, y + r), fill=fill)


def draw(track, size):
    p = SIZES[size]
    n = size * SS
    m, r = p["margin"] * SS, p["radius"] * SS

    # The tile, lighter at the top.
    shade = np.linspace(0, 1, n)[:, None, None]
    grad = (np.array(TILE_TOP) * (1 - shade) + np.array(TILE_BOTTOM) * shade).astype(np.uint8)
    img = Image.fromarray(np.repeat(grad, n, axis=1), "RGB").convert("RGBA")
    tile = Image.new("L", (n, n), 0)
    ImageDraw.Draw(tile).rounded_rectangle((m, m, n - 1 - m, n - 1 - m), r, fill=255)
    img.putalpha(tile)
    img = img.resize((size, size), Image.BOX)

    inset = m + p["pad"] * SS
    pts = outline(track, (inset, inset, n - inset, n - inset))
    # Details finer than a third of a final pixel only make the small sizes ragged.
    pts = simplified(pts, SS / 3)
    road = p["road"] * SS
    layers = []
    if size >= 48:
        layers.append((CASING, lambda d: stroke(d, pts, 255, road + 2 * SS)))
    layers.append((ROAD, lambda d: stroke(d, pts, 255, road)))
    if size >= 48:
        # Where the loop begins, near the old start and finish: a red dash across the road.
        (x, y), (ux, uy) = pts[0], (pts[1] - pts[0]) / np.hypot(*(pts[1] - pts[0]))
        h = road * 0.9
        layers.append((START, lambda d: d.line([(x - uy * h, y + ux * h), (x + uy * h, y - ux * h)], fill=255,
                                               width=round(road * 0.7))))
    for colour, paint in layers:
        mask = Image.new("L", (n, n), 0)
        paint(ImageDraw.Draw(mask))
        cover = np.asarray(mask.resize((size, size), Image.BOX), dtype=float) / 255
        if size < 48:
            # Small sizes: pixels the road mostly covers become road, faint fringes go, so the
            # outline stays a crisp line rather than a blur.
            cover = np.clip((cover - 0.2) / 0.55, 0, 1)
        img.paste(Image.new("RGBA", (size, size), colour + (255,)), (0, 0),
                  Image.fromarray((cover * 255).round().astype(np.uint8), "L"))
    return img


def bmp_entry(img):
    """A classic icon image: 32-bit BGRA rows bottom up, then the 1-bit transparency mask the format
    requires even beside an alpha channel."""
    w, h = img.size
    a = np.asarray(img)
    bgra = a[::-1, :, [2, 1, 0, 3]].tobytes()
    row = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        bits = np.packbits(a[y, :, 3] == 0).tobytes()
        mask += bits + bytes(row - len(bits))
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(bgra) + len(mask), 0, 0, 0, 0)
    return header + bgra + bytes(mask)


def png_entry(img):
    buf = io.BytesIO()
    img.save(buf, "PNG", optimize=True)
    return buf.getvalue()


def write_ico(images, path):
    # The large image as PNG keeps the file small; the small ones as bitmaps, as every loader expects.
    blobs = [png_entry(im) if im.width >= 256 else bmp_entry(im) for im in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for im, blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", im.width % 256, im.height % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


def contact_sheet(images, path):
    """Each size enlarged to 256 pixels without smoothing, and at its real size on light and dark."""
    gap = 16
    sheet = Image.new("RGB", ((256 + gap) * len(images) + gap, 256 + 2 * gap + 2 * 64), (250, 250, 250))
    for i, im in enumerate(images):
        x = gap + i * (256 + gap)
        big = im.resize((256, 256), Image.NEAREST)
        sheet.paste(big, (x, gap), big)
        for j, bg in enumerate(((255, 255, 255), (32, 32, 32))):
            y = 256 + 2 * gap + j * 64
            sheet.paste(Image.new("RGB", (256, 64), bg), (x, y))
            if im.width < 64:
                sheet.paste(im, (x + (256 - im.width) // 2, y + 4), im)
    sheet.save(path)


def main(argv):
    track = g.Track()
    images = [draw(track, s) for s in sorted(SIZES)]
    write_ico(images, argv[1])
    if len(argv) > 2:
        contact_sheet(images, argv[2])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
