"""The map of one section: the section large, fitted to the picture, the whole loop small beside
it, named corners, deploy point, direction, scale bar and north arrow."""
import math

import numpy as np
from PIL import Image, ImageColor, ImageDraw

import geometry as g
from style import BOLD, COND, COND_BOLD, SS, font, save_jpeg, wrap_after_slashes

W, H = 306, 466            # twice the on-screen box

PAPER = (245, 243, 238)
INK = (38, 50, 56)
GREY_ROAD = (160, 165, 170)
LABEL_PX = 22              # 11 px in the 96 DPI box: the smallest text on the map
LINE_PX = 23               # line pitch of a label broken in two
FOOT_H = 62
PROFILE_H = 64             # the height profile between the map and the footer


class Canvas:
    """Draws in final-picture pixels on a canvas SS times larger."""

    def __init__(self):
        self.img = Image.new("RGB", (W * SS, H * SS), PAPER)
        self.d = ImageDraw.Draw(self.img)
        self.texts = []   # (text, font size in px, box) of every text drawn on the map
        self.marks = []   # (what, box) of the scale bar, flag, north arrow: no text may lie on them

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

    def text(self, xy, s, f, fill, anchor="la", halo=None, record=True):
        self.d.text((xy[0] * SS, xy[1] * SS), s, font=f, fill=fill, anchor=anchor,
                    stroke_width=(round(2.2 * SS) if halo else 0), stroke_fill=halo)
        if record:
            self.texts.append((s, f.size / SS, self.text_box(xy, s, f, anchor)))

    def block(self, box, lines, f, fill, halo=None):
        """Lines of one label, centred in box; recorded as one text."""
        top = box[1]
        for ln in lines:
            self.text(((box[0] + box[2]) / 2, top), ln, f, fill, "ma", halo, record=False)
            top += LINE_PX
        self.texts.append((" ".join(lines), f.size / SS, list(box)))

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


def forms(name):
    """The ways a label may be written: on one line, or broken in two at a space or hyphen."""
    out = [[name]]
    for i, ch in enumerate(name):
        if ch in " -" and 0 < i < len(name) - 1:
            out.append([name[:i + (ch == "-")].strip(), name[i + 1:].strip()])
    return out


def block_box(canvas, lines, f, pos, anchor):
    """The box of label lines whose side given by anchor ("l"/"r"/"m", "t"/"b"/"m") sits at pos."""
    w = max(canvas.text_box((0, 0), ln, f, "ma")[2] - canvas.text_box((0, 0), ln, f, "ma")[0] for ln in lines)
    t = canvas.text_box((0, 0), lines[0], f, "ma")[1]
    h = LINE_PX * (len(lines) - 1) + canvas.text_box((0, 0), lines[-1], f, "ma")[3] - t
    x = pos[0] - {"l": 0, "r": w, "m": w / 2}[anchor[0]]
    y = pos[1] - {"t": 0, "b": h, "m": h / 2}[anchor[1]]
    return [x, y, x + w, y + h]


def place_labels(canvas, labels, keep_out, path_px, loop_px, area, n_first=0):
    """Puts the labels one by one, most important first, each beside its point where it covers
    least of the highlighted road and keeps clearest of the other points; a label that would lie
    on a mark, another label or the map's edge is left out. labels: (name, point, ink), in order
    of importance. Returns, per label, (lines, box, point, far from it) or None."""
    f = font(COND_BOLD, LABEL_PX)
    taken = [list(k) for k in keep_out]
    chosen = []
    for k, (text, (x, y), _) in enumerate(labels):
        best = None
        # Only the first labels, those the section is named after, may stand far off on a leader.
        reach = (7, 13, 20, 28, 38, 50, 64, 84, 110) if k < n_first else (7, 13, 20, 28, 38)
        for lines in forms(text):
            for dist in reach:
                for ang in range(0, 360, 20):
                    ox, oy = math.cos(math.radians(ang)) * dist, -math.sin(math.radians(ang)) * dist
                    # Anchor the label's side that faces the point.
                    anchor = ("l" if ox > 3 else ("r" if ox < -3 else "m")) + ("t" if oy > 3 else ("b" if oy < -3 else "m"))
                    box = block_box(canvas, lines, f, (x + ox, y + oy), anchor)
                    if anchor[1] != "m":
                        # Above or below its point a label may slide sideways to stay on the map.
                        shift = max(area[0] + 2 - box[0], 0) - max(box[2] - (area[2] - 2), 0)
                        if box[0] + shift <= x <= box[2] + shift:
                            box = [box[0] + shift, box[1], box[2] + shift, box[3]]
                    if not (area[0] + 2 <= box[0] and box[2] <= area[2] - 2 and area[1] + 2 <= box[1] and box[3] <= area[3] - 2):
                        continue
                    margin = [box[0] - 3, box[1] - 3, box[2] + 3, box[3] + 3]
                    if any(overlap(margin, k) > 0 for k in taken):
                        continue
                    cost = dist * 0.8 + 8 * (len(lines) - 1)
                    cost += 12 * points_in(path_px, box) + 3 * points_in(loop_px, box)
                    # A label must keep clear of the other labels' points, or it reads as theirs.
                    for q, (qx, qy), _ in labels:
                        if q != text:
                            gap = math.hypot(qx - min(max(qx, box[0]), box[2]), qy - min(max(qy, box[1]), box[3]))
                            cost += 90 * max(0.0, 16 - gap)
                    if best is None or cost < best[0]:
                        best = (cost, (lines, box, (x, y), dist > 10))
        chosen.append(best and best[1])
        if best:
            taken.append(best[1][1])
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


class Layout:
    """What a map holds besides its lines: the map area, every text drawn with its font size and
    box, the marks no text may lie on, and the main map's fit of the plane into the picture.
    Known when the map is drawn, for the checks and the map's road file."""

    def __init__(self, area, texts, labels, marks, view):
        self.area, self.texts, self.labels, self.marks, self.view = area, texts, labels, marks, view


def title_key(n):
    return n.lower().replace("ü", "ue").replace("ö", "oe").replace("-", "").replace(" ", "")


def draw(track, name, colour, d0, d1, path):
    """Writes the map to path; returns its Layout."""
    c = Canvas()

    title_f = font(BOLD, 23)
    lines = wrap_after_slashes(name, lambda s: c.text_box((0, 0), s, title_f)[2] <= W - 16)
    head_h = 10 + 27 * len(lines)
    area = (0, head_h + 5, W, H - FOOT_H - PROFILE_H)

    # What the main map must show: the section and the corners its name speaks of.
    sec = g.lap_polyline(track, d0, d1)
    corners, extra = labelled_corners(track, name, d0, d1)
    focus = [sec] + [np.array([g.lap_point(track, dd)[:2]]) for _, dd, _ in extra]
    view = View(np.vstack(focus), area, 40)

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
    # in grey; start/finish and the hand-drawn pit loop are labelled the same way. The corners the
    # section's name speaks of go first, so they keep their labels when not all fit.
    named = {title_key(w) for w in name.split("/")}
    labels = []
    for n, dd, surveyed in corners + extra:
        p = view(np.array([g.lap_point(track, dd)[:2]]))[0]
        inside = any(n == m for m, _, _ in corners)
        labels.append((n if surveyed else n + " (old)", p, INK if inside else (110, 118, 124)))
    if sf_visible:
        labels.append(("Start/Finish", sf, INK))
    labels.sort(key=lambda lb: (title_key(lb[0]) not in named, lb[0] != "Start/Finish"))

    (dx, dy), = view(np.array([g.lap_point(track, d0)[:2]]))
    c.marks += [("flag", (dx - 8, dy - 26, dx + 19, dy + 8)), ("scale bar", scale_bar(c, view, area))]
    pit_shown = any(area[0] < x < area[2] and area[1] < y < area[3] for x, y in pit)
    if pit_shown:
        c.marks.append(("legend", legend(c, area)))
    # The inset goes where it costs the fewest labels, those of the section's name above all.
    n_named = sum(title_key(lb[0]) in named for lb in labels)
    best = None
    for box in inset_places(area):
        placed = place_labels(c, labels, [m for _, m in c.marks] + [box], sec_px, np.array(loop), area, n_named)
        score = (sum(p is None for p in placed[:n_named]), sum(p is None for p in placed),
                 points_in(sec_px, (box[0] - 8, box[1] - 8, box[2] + 8, box[3] + 8)))
        if best is None or score < best[0]:
            best = (score, box, placed)
    _, inset_box, placed = best
    c.marks.append(("north arrow", inset_box))
    lf = font(COND_BOLD, LABEL_PX)
    for (n, p, ink), pl in zip(labels, placed):
        if pl is None:
            continue
        _, box, pt, far = pl
        if far:
            c.line([pt, nearest_on_box(pt, box)], ink, 1.5)
        if n != "Start/Finish":
            c.circle(pt[0], pt[1], 3.2, ink, outline=(255, 255, 255), width=1.2)
    for (n, p, ink), pl in zip(labels, placed):
        if pl is not None:
            c.block(pl[1], pl[0], lf, ink, halo=PAPER)

    # The deploy point: a flag in the section's colour.
    flag(c, dx, dy, colour)
    draw_inset(c, track, inset_box, d0, d1, colour)

    profile(c, track, (0, area[3], W, H - FOOT_H), d0, d1, colour)

    # Header, drawn last so the map runs under it: the section's name on the dark band, in the
    # section's colour underneath.
    c.rect((0, 0, W, head_h), INK)
    c.rect((0, head_h, W, head_h + 5), colour)
    for k, line in enumerate(lines):
        c.text((W / 2, 7 + 27 * k), line, title_f, (255, 255, 255), anchor="ma")

    # Footer: where the section runs, as the simulator counts.
    c.rect((0, H - FOOT_H, W, H), (233, 230, 223))
    c.text((W / 2, H - FOOT_H + 6), f"km {d0 / 1000:.2f} – {d1 / 1000:.2f}", font(BOLD, 24), INK, "ma")
    sub = f"{(d1 - d0) / 1000:.2f} km · deploy at {d0:.0f} m"
    if c.text_box((0, 0), sub, font(COND, LABEL_PX))[2] > W - 12:
        sub = sub.replace(" at", "")
    c.text((W / 2, H - FOOT_H + 35), sub, font(COND, LABEL_PX), (70, 90, 100), "ma")
    c.save(path)
    return Layout(area, c.texts, [(lb[0], pl[1]) for lb, pl in zip(labels, placed) if pl], c.marks, view)


def flag(c, x, y, colour, scale=1.0):
    k = scale
    c.line([(x, y), (x, y - 24 * k)], INK, 2.4 * k)
    c.polygon([(x, y - 24 * k), (x + 17 * k, y - 19 * k), (x, y - 13 * k)], colour, outline=INK)
    c.circle(x, y, 6.5 * k, colour, outline=(255, 255, 255), width=2.5 * k)


def profile(c, track, box, d0, d1, colour):
    """The rise and fall of the section, from a little before the deploy point, which the flag
    marks; the highest and lowest heights written beside it."""
    lead = (d1 - d0) * 0.08
    ds = np.linspace(d0 - lead, d1, 160)
    z = np.array([g.lap_point(track, d)[2] for d in ds])
    c.rect(box, (236, 234, 228))
    c.line([(box[0], box[1] + 0.5), (box[2], box[1] + 0.5)], (200, 198, 190), 1)
    f = font(COND, LABEL_PX)
    hi, lo = f"{z.max():.0f} m", f"{z.min():.0f} m"
    tw = max(c.text_box((0, 0), t, f)[2] for t in (hi, lo))
    gx0, gx1 = box[0] + 10, box[2] - tw - 12
    gy0, gy1 = box[1] + 10, box[3] - 8
    # At least 40 m of height across the strip, so a flat section looks flat.
    top, span = z.max(), max(z.max() - z.min(), 40.0)
    xs = gx0 + (ds - ds[0]) / (ds[-1] - ds[0]) * (gx1 - gx0)
    ys = gy0 + (top - z) / span * (gy1 - gy0)
    k = int(np.searchsorted(ds, d0))
    ground = [(xs[0], gy1)] + list(zip(xs, ys)) + [(xs[-1], gy1)]
    c.polygon(ground, (214, 210, 200))
    sec = [(xs[k], gy1)] + list(zip(xs[k:], ys[k:])) + [(xs[-1], gy1)]
    c.polygon(sec, tuple(int(v + (255 - v) * 0.55) for v in ImageColor.getrgb(colour)))
    c.line(list(zip(xs[:k + 1], ys[:k + 1])), GREY_ROAD, 2.5)
    c.line(list(zip(xs[k:], ys[k:])), colour, 3)
    flag(c, xs[k], ys[k], colour, 0.7)
    c.marks.append(("profile flag", (xs[k] - 6, ys[k] - 18, xs[k] + 13, ys[k] + 6)))
    c.text((box[2] - 8, box[1] + 4), hi, f, (70, 90, 100), "ra")
    c.text((box[2] - 8, box[3] - 6), lo, f, (70, 90, 100), "rd")


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
    x0, y0 = 12, area[3] - 8
    c.rect((x0, y0 - 5, x0 + px, y0), INK)
    c.rect((x0 + px / 2, y0 - 5, x0 + px, y0), (255, 255, 255), outline=INK, width=1)
    c.text((x0, y0 - 9), f"{m} m", font(COND_BOLD, LABEL_PX), INK, "ls", halo=PAPER)
    tb = c.texts[-1][2]
    return (x0 - 2, tb[1] - 1, max(x0 + px, tb[2]) + 2, y0 + 1)


def inset_places(area):
    """The boxes the inset may take: the map area's four corners, clear of the scale bar."""
    w, h = 92, 110
    return [(x, y, x + w, y + h) for x, y in
            ((area[2] - w - 6, area[1] + 6), (area[0] + 6, area[1] + 6),
             (area[2] - w - 6, area[3] - h - 36), (area[0] + 6, area[3] - h - 40))]


def draw_inset(c, track, box, d0, d1, colour):
    c.rect(box, (255, 255, 255), outline=(150, 156, 160), width=1.2)
    inner = (box[0] + 2, box[1] + 22, box[2] - 2, box[3] - 2)
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
    c.text((ax + 8, ay - 3), "N", font(BOLD, LABEL_PX), INK, "la")
