"""The map of one section: the section large, fitted to the picture, the whole loop small beside
it, named corners, deploy point, direction, scale bar and north arrow."""
import math

import numpy as np
from PIL import Image, ImageDraw

import geometry as g
from style import FONT, BOLD, COND_BOLD, SS, font, save_jpeg, wrap_after_slashes

W, H = 306, 466            # twice the on-screen box

PAPER = (245, 243, 238)
INK = (38, 50, 56)
GREY_ROAD = (160, 165, 170)
LABEL_PX = 19              # ~9.5 px in the 96 DPI box: the smallest text on the map
FOOT_H = 64


class Canvas:
    """Draws in final-picture pixels on a canvas SS times larger."""

    def __init__(self):
        self.img = Image.new("RGB", (W * SS, H * SS), PAPER)
        self.d = ImageDraw.Draw(self.img)

    def line(self, pts, fill, width, dash=None):
        pts = [(x * SS, y * SS) for x, y in pts]
        if dash is None:
            self.d.line(pts, fill=fill, width=round(width * SS), joint="curve")
            r = width * SS / 2
            for x, y in (pts[0], pts[-1]):
                self.d.ellipse((x - r, y - r, x + r, y + r), fill=fill)
            return
        on, off = dash[0] * SS, dash[1] * SS
        run, drawing, cur = 0.0, True, [pts[0]]
        for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
            seg = math.hypot(x1 - x0, y1 - y0)
            t = 0.0
            while seg - t > 1e-6:
                step = min(seg - t, (on if drawing else off) - run)
                t += step
                run += step
                p = (x0 + (x1 - x0) * t / seg, y0 + (y1 - y0) * t / seg)
                if drawing:
                    cur.append(p)
                if run >= (on if drawing else off) - 1e-6:
                    if drawing and len(cur) > 1:
                        self.d.line(cur, fill=fill, width=round(width * SS))
                    drawing, run, cur = not drawing, 0.0, [p]
        if drawing and len(cur) > 1:
            self.d.line(cur, fill=fill, width=round(width * SS))

    def circle(self, x, y, r, fill, outline=None, width=0):
        self.d.ellipse(((x - r) * SS, (y - r) * SS, (x + r) * SS, (y + r) * SS), fill=fill,
                       outline=outline, width=round(width * SS))

    def polygon(self, pts, fill, outline=None):
        self.d.polygon([(x * SS, y * SS) for x, y in pts], fill=fill, outline=outline)

    def rect(self, box, fill, outline=None, width=0):
        self.d.rectangle([v * SS for v in box], fill=fill, outline=outline, width=round(width * SS))

    def text(self, xy, s, f, fill, anchor="la", halo=None):
        self.d.text((xy[0] * SS, xy[1] * SS), s, font=f, fill=fill, anchor=anchor,
                    stroke_width=(round(2.2 * SS) if halo else 0), stroke_fill=halo)

    def text_box(self, xy, s, f, anchor="la"):
        return [v / SS for v in self.d.textbbox((xy[0] * SS, xy[1] * SS), s, font=f, anchor=anchor)]

    def save(self, path):
        save_jpeg(self.img.resize((W, H), Image.LANCZOS), path)


class View:
    """North-up fit of a box of the local plane (metres) into a box of the picture (pixels)."""

    def __init__(self, xy, box, pad):
        (x0, y0), (x1, y1) = xy.min(axis=0), xy.max(axis=0)
        bw, bh = box[2] - box[0] - 2 * pad, box[3] - box[1] - 2 * pad
        self.k = min(bw / max(x1 - x0, 1), bh / max(y1 - y0, 1))
        self.cx, self.cy = (x0 + x1) / 2, (y0 + y1) / 2
        self.px, self.py = (box[0] + box[2]) / 2, (box[1] + box[3]) / 2

    def __call__(self, xy):
        xy = np.atleast_2d(xy)
        return [(self.px + (x - self.cx) * self.k, self.py - (y - self.cy) * self.k) for x, y in xy]


def overlap(a, b):
    return max(0, min(a[2], b[2]) - max(a[0], b[0])) * max(0, min(a[3], b[3]) - max(a[1], b[1]))


def place_labels(canvas, labels, keep_out, path_px, loop_px, area):
    """Puts each label beside its point where it covers least: other labels, the inset, the
    highlighted road, the picture's edge. Returns (text position, box with its margin, anchor,
    point, far from it, the text's own box)."""
    f = font(COND_BOLD, LABEL_PX)
    options = []
    for text, (x, y), _ in labels:
        mine = []
        for dist in (8, 15, 24, 34):
            for ang in range(0, 360, 30):
                ox, oy = math.cos(math.radians(ang)) * dist, -math.sin(math.radians(ang)) * dist
                # Anchor the text's side that faces the point.
                ax = "l" if ox > 3 else ("r" if ox < -3 else "m")
                ay = "t" if oy > 3 else ("b" if oy < -3 else "m")
                anchor = ax + {"t": "t", "b": "s", "m": "m"}[ay]
                pos = (x + ox, y + oy)
                tight = canvas.text_box(pos, text, f, anchor)
                box = [tight[0] - 4, tight[1] - 6, tight[2] + 4, tight[3] + 6]
                cost = dist * 0.8
                cost += 50 * sum(overlap(box, k) for k in keep_out)
                inside = [max(area[0], box[0]), max(area[1], box[1]), min(area[2], box[2]), min(area[3], box[3])]
                cost += 80 * ((box[2] - box[0]) * (box[3] - box[1]) - max(0, inside[2] - inside[0]) * max(0, inside[3] - inside[1]))
                cost += 12 * points_in(path_px, box) + 3 * points_in(loop_px, box)
                # A label must keep clear of the other labels' points, or it reads as theirs.
                for q, (qx, qy), _ in labels:
                    if q != text:
                        gap = math.hypot(qx - min(max(qx, box[0]), box[2]), qy - min(max(qy, box[1]), box[3]))
                        cost += 90 * max(0.0, 16 - gap)
                mine.append((cost, (pos, box, anchor, (x, y), dist > 10, tight)))
        options.append(mine)

    # Greedy first, then a few rounds of moving each label to its best place among the others.
    chosen = [None] * len(labels)
    for _ in range(4):
        for i, mine in enumerate(options):
            others = [c[1] for j, c in enumerate(chosen) if j != i and c is not None]
            chosen[i] = min(mine, key=lambda o: o[0] + 50 * sum(overlap(o[1][1], b) for b in others))[1]
    return chosen


def points_in(pts, box):
    return int(np.sum((pts[:, 0] > box[0]) & (pts[:, 0] < box[2]) & (pts[:, 1] > box[1]) & (pts[:, 1] < box[3])))


def nearest_on_box(p, box):
    return min(max(p[0], box[0]), box[2]), min(max(p[1], box[1]), box[3])


def labelled_corners(track, name, d0, d1):
    """The corners the map names: those the section covers, and those its name speaks of that lie
    outside it, each as (name, d, surveyed)."""
    corners = g.section_corners(track, d0, d1)
    title_words = {w.lower().replace("ü", "ue").replace("ö", "oe").replace("-", "") for w in name.split("/")}
    extra = []
    for cn in track.corners:
        key = cn.name.lower().replace("ü", "ue").replace("ö", "oe").replace("-", "")
        if key in title_words and not any(cn.name == n for n, _, _ in corners):
            extra.append((cn.name, cn.s_sharpest + g.SIM_OFFSET_M, True))
    return corners, extra


def draw(track, name, colour, d0, d1, path):
    """Writes the map to path; returns the map area and the boxes of the labels and the inset."""
    c = Canvas()

    title_f = font(BOLD, 21)
    lines = wrap_after_slashes(name, lambda s: c.text_box((0, 0), s, title_f)[2] <= W - 20)
    head_h = 12 + 26 * len(lines)
    area = (0, head_h + 5, W, H - FOOT_H)

    # What the main map must show: the section and the corners its name speaks of.
    sec = g.lap_polyline(track, d0, d1)
    corners, extra = labelled_corners(track, name, d0, d1)
    focus = [sec] + [np.array([g.lap_point(track, dd)[:2]]) for _, dd, _ in extra]
    view = View(np.vstack(focus), area, 34)

    # Whole loop in grey: the surveyed loop, and the hand-drawn pit loop dashed.
    loop = view(np.vstack([track.polyline(0, track.length), track.polyline(0, 1)]))
    c.line(loop, GREY_ROAD, 5)
    pit = view(track.pit.xy)
    c.line(pit, GREY_ROAD, 4, dash=(7, 5))

    # The section: white casing, its colour, chevrons showing the direction of travel.
    sec_px = np.array(view(sec))
    c.line(sec_px, (255, 255, 255), 12)
    on_pit = [d for d in np.linspace(d0, d1, 200) if g.d_to_s(d) is None]
    c.line(sec_px, colour, 7)
    if on_pit:
        # The hand-drawn part keeps its dashes even when highlighted.
        for a, b in runs(on_pit, (d1 - d0) / 199):
            c.line(view(g.lap_polyline(track, a, b)), (255, 255, 255), 3, dash=(6, 6))
    for frac in (0.3, 0.7):
        dd = d0 + (d1 - d0) * frac
        chevron(c, view, track, dd, INK)

    # Start/finish on the old pit straight.
    sf = view(np.array([g.lap_point(track, 0.0)[:2]]))[0]
    sf_visible = area[0] < sf[0] < area[2] and area[1] < sf[1] < area[3]
    if sf_visible:
        chequer(c, view, track)

    # Corner labels at their tightest points, corners named in the title but outside the section
    # in grey; start/finish and the hand-drawn pit loop are labelled the same way.
    labels = []
    for n, dd, surveyed in corners + extra:
        p = view(np.array([g.lap_point(track, dd)[:2]]))[0]
        inside = any(n == m for m, _, _ in corners)
        labels.append((n if surveyed else n + " (old)", p, INK if inside else (110, 118, 124)))
    if sf_visible:
        labels.append(("Start/Finish", sf, INK))
    inset_box = inset_place(sec_px, area, [p for _, p, _ in labels])
    (dx, dy), = view(np.array([g.lap_point(track, d0)[:2]]))
    keep_out = [inset_box, (8, area[3] - 30, 110, area[3] - 4), (dx - 8, dy - 26, dx + 19, dy + 8)]
    pit_shown = any(area[0] < x < area[2] and area[1] < y < area[3] for x, y in pit)
    if pit_shown:
        keep_out.append(legend(c, area))
    placed = place_labels(c, labels, keep_out, sec_px, np.array(loop), area)
    for (n, p, ink), (pos, box, anchor, pt, far, _) in zip(labels, placed):
        if far:
            c.line([pt, nearest_on_box(pt, box)], ink, 1.5)
        if n != "Start/Finish":
            c.circle(pt[0], pt[1], 3.2, ink, outline=(255, 255, 255), width=1.2)
    for (n, p, ink), (pos, box, anchor, pt, far, _) in zip(labels, placed):
        c.text(pos, n, font(COND_BOLD, LABEL_PX), ink, anchor, halo=PAPER)

    # The deploy point: a flag in the section's colour.
    c.line([(dx, dy), (dx, dy - 24)], INK, 2.4)
    c.polygon([(dx, dy - 24), (dx + 17, dy - 19), (dx, dy - 13)], colour, outline=INK)
    c.circle(dx, dy, 6.5, colour, outline=(255, 255, 255), width=2.5)

    scale_bar(c, view, area)
    draw_inset(c, track, inset_box, d0, d1, colour)

    # Header, drawn last so the map runs under it: the section's name on the dark band, in the
    # section's colour underneath.
    c.rect((0, 0, W, head_h), INK)
    c.rect((0, head_h, W, head_h + 5), colour)
    for k, line in enumerate(lines):
        c.text((W / 2, 8 + 26 * k), line, title_f, (255, 255, 255), anchor="ma")

    # Footer: where the section runs, as the simulator counts.
    c.rect((0, H - FOOT_H, W, H), (233, 230, 223))
    c.text((W / 2, H - FOOT_H + 8), f"km {d0 / 1000:.2f} – {d1 / 1000:.2f}", font(BOLD, 22), INK, "ma")
    c.text((W / 2, H - FOOT_H + 37), f"{(d1 - d0) / 1000:.2f} km · deploy at {d0:.0f} m", font(FONT, LABEL_PX),
           (84, 110, 122), "ma")
    c.save(path)
    return area, [tight for *_, tight in placed], inset_box


def runs(ds, step):
    """Contiguous runs [a, b] in a sorted list of distances spaced by step."""
    out, a, prev = [], ds[0], ds[0]
    for d in ds[1:]:
        if d - prev > step * 1.5:
            out.append((a, prev))
            a = d
        prev = d
    out.append((a, prev))
    return [(a, b) for a, b in out if b > a]


def chevron(c, view, track, d, fill):
    p = np.array(view(np.array([g.lap_point(track, d)[:2], g.lap_point(track, d + 40)[:2]])))
    (x, y), (x1, y1) = p
    n = math.hypot(x1 - x, y1 - y) or 1
    tx, ty = (x1 - x) / n, (y1 - y) / n
    c.polygon([(x + tx * 7, y + ty * 7), (x - tx * 4 - ty * 6, y - ty * 4 + tx * 6),
               (x - tx * 1.5, y - ty * 1.5), (x - tx * 4 + ty * 6, y - ty * 4 - tx * 6)], fill)


def chequer(c, view, track):
    p = np.array(view(np.array([g.lap_point(track, -5)[:2], g.lap_point(track, 5)[:2]])))
    (x0, y0), (x1, y1) = p
    x, y = (x0 + x1) / 2, (y0 + y1) / 2
    n = math.hypot(x1 - x0, y1 - y0) or 1
    tx, ty = (x1 - x0) / n, (y1 - y0) / n
    nx, ny = -ty, tx
    q = 3.6
    for a in range(-2, 2):
        for b in range(-1, 1):
            pts = []
            for u, v in ((a, b), (a + 1, b), (a + 1, b + 1), (a, b + 1)):
                pts.append((x + nx * u * q + tx * v * q, y + ny * u * q + ty * v * q))
            c.polygon(pts, (17, 17, 17) if (a + b) % 2 else (255, 255, 255))


def legend(c, area):
    """Says which lines are drawn by hand; returns the box it takes."""
    f = font(COND_BOLD, LABEL_PX)
    text = "old pits, by hand"
    box = c.text_box((area[2] - 8, area[3] - 8), text, f, "rs")
    c.line([(box[0] - 30, box[3] - 6), (box[0] - 5, box[3] - 6)], GREY_ROAD, 4, dash=(7, 5))
    c.text((area[2] - 8, area[3] - 8), text, f, (90, 98, 104), "rs", halo=PAPER)
    return (box[0] - 32, box[1] - 2, box[2] + 2, box[3] + 2)


def scale_bar(c, view, area):
    target = (area[2] - area[0]) * 0.28 / view.k
    m = min((v for v in (20, 50, 100, 200, 250, 500, 1000, 2000)), key=lambda v: abs(v - target))
    px = m * view.k
    x0, y0 = 12, area[3] - 10
    c.rect((x0, y0 - 5, x0 + px, y0), INK)
    c.rect((x0 + px / 2, y0 - 5, x0 + px, y0), (255, 255, 255), outline=INK, width=1)
    c.text((x0, y0 - 8), f"{m} m", font(COND_BOLD, LABEL_PX), INK, "ls", halo=PAPER)


def inset_place(sec_px, area, label_pts):
    """The corner of the map area with the least of the section under it, leaving room for the
    labels beside their points."""
    w, h = 92, 104
    cands = [(area[2] - w - 6, area[1] + 6), (area[0] + 6, area[1] + 6),
             (area[2] - w - 6, area[3] - h - 36), (area[0] + 6, area[3] - h - 40)]
    pts = np.array(label_pts).reshape(-1, 2)

    def cost(p):
        x, y = p
        return (points_in(sec_px, (x - 8, y - 8, x + w + 8, y + h + 8)) +
                40 * points_in(pts, (x - 80, y - 20, x + w + 80, y + h + 20)))
    x, y = min(cands, key=cost)
    return (x, y, x + w, y + h)


def draw_inset(c, track, box, d0, d1, colour):
    c.rect(box, (255, 255, 255), outline=(150, 156, 160), width=1.2)
    inner = (box[0] + 2, box[1] + 16, box[2] - 2, box[3] - 2)
    allxy = np.vstack([track.polyline(0, track.length), track.pit.xy])
    v = View(allxy, inner, 4)
    c.line(v(np.vstack([track.polyline(0, track.length), track.polyline(0, 1)])), GREY_ROAD, 2.6)
    c.line(v(track.pit.xy), GREY_ROAD, 2.2)
    c.line(v(g.lap_polyline(track, d0, d1, 20)), colour, 4.2)
    sx, sy = v(np.array([g.lap_point(track, 0)[:2]]))[0]
    c.rect((sx - 3, sy - 3, sx + 3, sy + 3), (17, 17, 17), outline=(255, 255, 255), width=1)
    # North arrow in the inset's corner: both maps are north up.
    ax, ay = box[0] + 10, box[1] + 4
    c.polygon([(ax, ay), (ax + 5, ay + 12), (ax, ay + 9), (ax - 5, ay + 12)], INK)
    c.text((ax + 8, ay - 2), "N", font(BOLD, 18), INK, "la")
