"""The view from a deploy point: a driver's eye 1.1 m above the road, looking along the direction of
travel, in perspective over the real centre line and heights, as the Ring looked in 1967: a narrow
road without edge lines, grass verges, banks, hedges along the fields and trees close to its edge,
no guard rails. A strip along the bottom names the corner that comes next.

The ground is a height field round the road, the forest a canopy raised on it with single trees
along its edge, all drawn back to front (the painter's way): on a height field seen from above it,
nearer always covers farther, so crests hide the road beyond them as they should.
"""
import copy
import math

import numpy as np
from PIL import Image, ImageDraw, ImageFilter

import geometry as g
from style import COND_BOLD, SS, font, save_jpeg

W, H = 418, 306
FOCAL = (W / 2) / math.tan(math.radians(28))  # 56 degrees across: the road ahead, not the verges
CY = H * 0.54  # the horizon a little low: less of the road under the car, more ahead
EYE_M = 1.1
ROAD_HALF_M = 3.6   # the 1967 road: about 7 m of asphalt, no edge lines
VERGE_M = 5.2       # grass from the asphalt's edge to here, then a bank, a hedge or the trees
HEDGE_M = 6.2
FAR_M = 1800.0
CELL_M = 8.0
SKY_TOP, SKY_HORIZON = np.array([72, 128, 196]), np.array([206, 222, 236])
HAZE_M = 1400.0
# Whatever lies on the ground is drawn after every ground cell it overlaps: a cell's middle can be
# this much nearer the eye than the middle of the road piece lying on it.
ON_GROUND = 9.0
# The heights are terrain smoothed over about 24 m: the road's crests and dips come out flatter
# than a driver sees them, so the views draw every rise and fall this much steeper.
RELIEF = 2.0
SLOPE_SEEN = 0.11
TREES_M = 600.0  # single trees up to here, beyond it the forest is a canopy

# What a driver knows a place by, in metres of the data's loop (see geometry.py); only what stood
# in 1967. The two banked corners: the Karussell, banked down towards its inside (a left-hander),
# and the small banked left-hander at the Schwalbenschwanz.
BANKED = [(12075, 12195, 0.28), (16985, 17095, 0.18)]
# The bridge over the valley road at Breidscheid, at the lowest point of the lap: the data's
# short way there (OpenStreetMap way 41395647, 15 m).
BRIDGE = (8050, 8075)
# The spectators' bank on the outside of the right-hander at Brünnchen (-1: left of the road).
SPECTATOR_BANK = (14240, 14430, -1)
PEOPLE = [(180, 40, 40), (40, 60, 120), (220, 210, 190), (60, 60, 60), (200, 160, 60), (90, 110, 70)]  # their clothes


class Camera:
    def __init__(self, pos, forward, pitch):
        fx, fy = forward
        self.pos = np.array(pos, dtype=float)
        cp, sp = math.cos(pitch), math.sin(pitch)
        self.f = np.array([fx * cp, fy * cp, sp])
        self.r = np.array([fy, -fx, 0.0])
        self.u = np.cross(self.r, self.f)
        self.horizon = CY + FOCAL * math.tan(pitch)

    def project(self, p):
        """Screen points (pixels of the final picture) and depths of world points (N, 3)."""
        v = np.asarray(p, dtype=float) - self.pos
        z = v @ self.f
        x = v @ self.r
        y = v @ self.u
        zc = np.maximum(z, 0.05)
        return np.column_stack([W / 2 + FOCAL * x / zc, CY - FOCAL * y / zc]), z


def haze(rgb, dist):
    k = 1 - math.exp(-dist / HAZE_M)
    return tuple(int(c + (h - c) * k) for c, h in zip(rgb, SKY_HORIZON))


class Scene:
    """Polygons with a depth each, drawn farthest first."""

    def __init__(self, cam):
        self.cam = cam
        self.items = []

    def add(self, pts, rgb, bias=0.0, shade=True):
        scr, z = self.cam.project(pts)
        if np.all(z < 0.3):
            return
        if np.any(z < 0.3):
            scr = clip_near(np.asarray(pts, dtype=float), self.cam)
            if scr is None:
                return
        if np.all(scr[:, 0] < -50) or np.all(scr[:, 0] > W + 50) or np.all(scr[:, 1] < -50) or np.all(scr[:, 1] > H + 50):
            return
        depth = float(np.mean(np.linalg.norm(np.asarray(pts)[:, :2] - self.cam.pos[:2], axis=1)))
        self.items.append((depth - bias, rgb if not shade else haze(rgb, depth), scr))

    def draw(self, img):
        d = ImageDraw.Draw(img)
        for _, rgb, scr in sorted(self.items, key=lambda it: -it[0]):
            d.polygon([(x * SS, y * SS) for x, y in scr], fill=rgb)


def clip_near(pts, cam, near=0.3):
    """The part of a polygon in front of the camera, projected; None if nothing is left."""
    v = pts - cam.pos
    z = v @ cam.f
    out = []
    n = len(pts)
    for i in range(n):
        a, b = pts[i], pts[(i + 1) % n]
        za, zb = z[i], z[(i + 1) % n]
        if za >= near:
            out.append(a)
        if (za >= near) != (zb >= near):
            t = (near - za) / (zb - za)
            out.append(a + (b - a) * t)
    if len(out) < 3:
        return None
    scr, _ = cam.project(np.array(out))
    return scr


def noise2(x, y, seed):
    """Smooth value noise in [0, 1] on a 60 m lattice: field patterns and canopy shades."""
    def h(i, j):
        v = np.sin(i * 127.1 + j * 311.7 + seed * 74.7) * 43758.5453
        return v - np.floor(v)
    gx, gy = x / 60.0, y / 60.0
    i, j = np.floor(gx), np.floor(gy)
    fx, fy = gx - i, gy - j
    fx, fy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    a, b, c, d = h(i, j), h(i + 1, j), h(i, j + 1), h(i + 1, j + 1)
    return a + (b - a) * fx + (c - a) * fy + (a - b - c + d) * fx * fy


class Roads:
    """Every road point the picture may see: the surveyed loop and the hand-drawn pit loop."""

    def __init__(self, track):
        pit = track.pit.xy
        self.xy = np.vstack([np.column_stack([track.x, track.y]), pit])
        self.z = np.concatenate([track.z, np.full(len(pit), track.pit.z)])
        self.open = np.array([track.is_open(s) for s in track.s] + [True] * len(pit))
        # The spectators' bank is a clearing beside the road, the forest standing behind it.
        self.cleared = np.concatenate([(track.s >= SPECTATOR_BANK[0] - 30) & (track.s < SPECTATOR_BANK[1] + 30),
                                       np.zeros(len(pit), dtype=bool)])

    def near(self, pts, radius=500.0):
        """Per point: distance to the nearest road point, that point's index, and a height for
        the ground there, weighted over the road points round it."""
        dist = np.empty(len(pts))
        idx = np.empty(len(pts), dtype=int)
        zg = np.empty(len(pts))
        for a in range(0, len(pts), 1500):
            p = pts[a:a + 1500]
            d2 = ((p[:, None, :] - self.xy[None, :, :]) ** 2).sum(axis=2)
            k = np.argmin(d2, axis=1)
            idx[a:a + 1500] = k
            dist[a:a + 1500] = np.sqrt(d2[np.arange(len(p)), k])
            w = 1.0 / (d2 + 25.0) ** 1.5
            w[d2 > radius * radius] = 0
            ws = w.sum(axis=1)
            # Farther than radius from every road the ground keeps the nearest road's height.
            zg[a:a + 1500] = np.where(ws > 0, (w @ self.z) / np.maximum(ws, 1e-30), self.z[k])
        return dist, idx, zg


def steeper(track, z_ref, k=RELIEF):
    """The track with every height k times as far above or below z_ref."""
    out = copy.copy(track)
    out.z = z_ref + (track.z - z_ref) * k
    out.pit = copy.copy(track.pit)
    out.pit.z = z_ref + (track.pit.z - z_ref) * k
    return out


def render(track, d0, colour, path, seed, pit=False):
    # Camera: on the road at the deploy point (in the pit lane for "Pitlane"), facing the road
    # 15 m on.
    track = steeper(track, g.lap_point(track, d0)[2])
    roads = Roads(track)
    x0, y0, z0 = g.lap_point(track, d0)
    x1, y1, z1 = g.lap_point(track, d0 + 15)
    hx, hy = x1 - x0, y1 - y0
    n = math.hypot(hx, hy)
    fwd = (hx / n, hy / n)
    right = (fwd[1], -fwd[0])
    lateral = 9.3 if pit else 0.0
    zb = g.lap_point(track, d0 - 5)[2]
    # A driver's head stays level on a gentle slope, so a drop or a climb ahead shows as one; only
    # past SLOPE_SEEN does the eye tilt with the car, or a steep climb would fill the view.
    grade = (z1 - zb) / 20.0
    pitch = math.atan(grade - min(max(grade, -SLOPE_SEEN), SLOPE_SEEN))
    cam = Camera((x0 + right[0] * lateral, y0 + right[1] * lateral, z0 + EYE_M), fwd, pitch)
    rng = np.random.default_rng(seed)

    img = sky(cam, rng)
    scene = Scene(cam)
    ground(scene, cam, roads, fwd, rng)
    road(scene, cam, track, roads, d0, rng)
    if pit:
        pits(scene, track, d0)
    scene.draw(img)
    img = img.resize((W, H), Image.LANCZOS)
    img = band(img, track, d0, colour)
    save_jpeg(img, path, text=False)


def sky(cam, rng):
    img = Image.new("RGB", (W * SS, H * SS))
    hz = cam.horizon * SS
    rows = np.arange(H * SS)[:, None]
    t = np.clip(rows / max(hz, 1), 0, 1) ** 1.6
    col = SKY_TOP[None, :] * (1 - t) + SKY_HORIZON[None, :] * t
    arr = np.repeat(col[:, None, :], W * SS, axis=1).astype(np.uint8)
    img = Image.fromarray(arr)
    # A few soft clouds, and the far Eifel hills on the horizon.
    clouds = Image.new("L", img.size, 0)
    d = ImageDraw.Draw(clouds)
    for _ in range(5):
        cx, cy = rng.uniform(0, W * SS), rng.uniform(0.1, 0.6) * hz
        rx = rng.uniform(30, 60) * SS
        for k in range(5):
            ox, oy = rng.uniform(-1, 1) * rx, rng.uniform(-0.25, 0.1) * rx
            r = rx * rng.uniform(0.35, 0.6)
            d.ellipse((cx + ox - r, cy + oy - r * 0.5, cx + ox + r, cy + oy + r * 0.5), fill=200)
    clouds = clouds.filter(ImageFilter.GaussianBlur(6 * SS))
    img.paste(Image.new("RGB", img.size, (250, 251, 253)), mask=clouds)
    d = ImageDraw.Draw(img)
    for layer, (rgb, amp) in enumerate((((150, 170, 185), 16), ((120, 146, 150), 9))):
        ph = rng.uniform(0, 6)
        pts = [(0, H * SS)]
        for x in range(0, W + 6, 6):
            hgt = amp * (0.6 + 0.4 * math.sin(x / 61 + ph) + 0.25 * math.sin(x / 17 + ph * 3))
            pts.append((x * SS, hz - hgt * SS + layer * 2 * SS))
        pts.append((W * SS, H * SS))
        d.polygon(pts, fill=rgb)
    return img


def ground(scene, cam, roads, fwd, rng):
    """The height field within sight, as cells of CELL_M: grass and fields where open, a forest
    canopy (its edge stepped up from the ground) elsewhere."""
    cx, cy = cam.pos[:2]
    span = np.arange(-FAR_M, FAR_M + CELL_M, CELL_M)
    gx, gy = np.meshgrid(cx + span, cy + span)
    pts = np.column_stack([gx.ravel(), gy.ravel()])
    rel = pts - cam.pos[:2]
    ahead = rel @ np.array(fwd)
    side = np.abs(rel @ np.array([fwd[1], -fwd[0]]))
    keep = (ahead > -30) & (side < ahead * 0.85 + 60) & (np.hypot(*rel.T) < FAR_M)
    dist, idx, zg = roads.near(pts[keep])
    shape = gx.shape
    Z = np.full(shape, np.nan)
    D = np.full(shape, 1e9)
    OPEN = np.ones(shape, dtype=bool)
    # Beside a road the ground is at the road's height, farther off it follows the country. Past
    # the verge it rises into a bank or falls away below the road, as the road was cut into the
    # hillside or built up over a dip.
    near_w = np.clip((dist - 15.0) / 25.0, 0, 1)
    kx, ky = pts[keep].T
    bank = (noise2(kx * 0.8, ky * 0.8, 11) * 2.8 - 1.0) * np.clip((dist - VERGE_M) / 3.5, 0, 1)
    Z.ravel()[np.flatnonzero(keep)] = (roads.z[idx] + bank) * (1 - near_w) + zg * near_w
    D.ravel()[np.flatnonzero(keep)] = dist
    CLEARED = np.zeros(shape, dtype=bool)
    CLEARED.ravel()[np.flatnonzero(keep)] = roads.cleared[idx]
    OPEN.ravel()[np.flatnonzero(keep)] = roads.open[idx] | (roads.cleared[idx] & (dist < 34))
    # Towards the edge of what is drawn the country sinks away below the skyline, so a hillside
    # does not end in a cut against the sky.
    Z -= np.clip((np.hypot(gx - cx, gy - cy) - (FAR_M - 500)) / 500, 0, 1) ** 2 * 250
    rough = rng.uniform(-3, 3, shape)
    # Near the eye the forest's edge is single trees on the forest floor, beyond them the canopy;
    # far off the canopy itself comes to the road's edge.
    near_eye = np.hypot(gx - cx, gy - cy) < TREES_M
    edge = np.where(CLEARED, 42.0, np.where(near_eye, 14.0, 11.0))
    tree_h = np.where(OPEN, 0.0, np.clip((D - edge) / 4.0, 0, 1) * (20 + 6 * noise2(gx, gy, 3) + rough))
    # The canopy thins out towards the edge of what is drawn, not ending in a cliff against the sky.
    thin = np.clip((FAR_M - np.hypot(gx - cx, gy - cy)) / 250.0, 0, 1)
    tree_h *= thin
    # Woods stand in the open country too, away from the road.
    wood = (noise2(gx * 0.5, gy * 0.5, 9) > 0.68) & (D > 60)
    tree_h = np.where(OPEN & wood, (18 + 5 * noise2(gx, gy, 5) + rough) * thin, tree_h)
    floor = ~OPEN & near_eye & (D > edge - 7) & (D < edge + 1)
    top = Z - 0.25 + tree_h
    field = noise2(gx * 1.6, gy * 1.6, 1)
    sun = np.array([0.45, 0.55, 0.7])
    spots = []
    for i in range(shape[0] - 1):
        for j in range(shape[1] - 1):
            c = top[i:i + 2, j:j + 2]
            if np.isnan(c).any():
                continue
            quad = np.array([[gx[i, j], gy[i, j], c[0, 0]], [gx[i, j + 1], gy[i, j + 1], c[0, 1]],
                             [gx[i + 1, j + 1], gy[i + 1, j + 1], c[1, 1]], [gx[i + 1, j], gy[i + 1, j], c[1, 0]]])
            nrm = np.cross(quad[1] - quad[0], quad[3] - quad[0])
            lit = 0.72 + 0.4 * max(0.0, nrm @ sun / np.linalg.norm(nrm)) - 0.2
            forest = tree_h[i, j] > 1 or tree_h[i + 1, j + 1] > 1
            if forest:
                v = noise2(gx[i, j] * 3, gy[i, j] * 3, 7)
                rgb = (28 + 24 * v, 62 + 30 * v, 34 + 14 * v)
                if abs(nrm[2]) / np.linalg.norm(nrm) < 0.4:
                    lit = 0.5  # the shade under the trees, where the forest meets the verge
                else:
                    lit *= 0.8 + 0.4 * rng.random()
            elif floor[i, j]:
                rgb = (62, 78, 44)
            elif D[i, j] < VERGE_M + 4:
                rgb = (92, 136, 60)
            else:
                f = field[i, j]
                rgb = (112, 156, 70) if f < 0.55 else ((150, 168, 82) if f < 0.8 else (178, 168, 104))
            rgb = tuple(min(255, int(v * lit)) for v in rgb)
            scene.add(quad, rgb)
            if floor[i, j]:
                for _ in range(3):
                    spots.append(quad[0] + (quad[2] - quad[0]) * np.array([rng.random(), rng.random(), 0]))
    # Trees close to the road's edge, but not on the verge, nor so near the eye that one fills the view.
    if spots:
        spots = np.array(spots)
        dist, _, _ = roads.near(spots[:, :2], radius=1.0)
        for p, dr in zip(spots, dist):
            if dr > VERGE_M + 1.6 and math.hypot(*(p[:2] - cam.pos[:2])) > 22:
                tree(scene, p, rng)


def tree(scene, p, rng):
    """A spruce or a beech standing at p: the Eifel's forest has both."""
    r = scene.cam.r
    up = np.array([0, 0, 1.0])
    v = rng.uniform(0.75, 1.1)
    if rng.random() < 0.65:
        hh = rng.uniform(16, 26)
        w = hh * rng.uniform(0.22, 0.3)
        scene.add([p - r * 0.3, p + r * 0.3, p + r * 0.3 + up * 4, p - r * 0.3 + up * 4], (70, 56, 44), bias=0.5)
        for k in range(4):
            y0 = 2.5 + k * (hh - 2.5) * 0.2
            y1 = y0 + (hh - 2.5) * (0.45 - k * 0.05)
            hw = w / 2 * (1 - k * 0.2)
            scene.add([p + up * y0 - r * hw, p + up * y0 + r * hw, p + up * y1],
                      (int(30 * v), int(68 * v), int(42 * v)), bias=0.5 + k * 0.01)
    else:
        hh = rng.uniform(14, 22)
        w = hh * rng.uniform(0.45, 0.6)
        scene.add([p - r * 0.35, p + r * 0.35, p + r * 0.35 + up * hh * 0.5, p - r * 0.35 + up * hh * 0.5],
                  (92, 84, 72), bias=0.5)
        c = p + up * hh * 0.62
        ring = [c + r * (w / 2 * math.cos(a)) + up * (hh * 0.38 * math.sin(a)) for a in np.linspace(0, 2 * math.pi, 11)[:-1]]
        scene.add(ring, (int(62 * v), int(104 * v), int(46 * v)), bias=0.5)
        ring = [c + r * (w / 3 * math.cos(a) - w / 8) + up * (hh * 0.25 * math.sin(a) + hh * 0.08)
                for a in np.linspace(0, 2 * math.pi, 9)[:-1]]
        scene.add(ring, (int(84 * v), int(130 * v), int(58 * v)), bias=0.52)


def road(scene, cam, track, roads, d0, rng):
    """Asphalt and the hedges along it, 2.5 m pieces near, longer far off. No guard rails: in 1967
    the Ring had hardly any, and we do not know where those few stood."""
    def frame(dd):
        x, y, z = g.lap_point(track, dd)
        x2, y2, _ = g.lap_point(track, dd + 1)
        n = math.hypot(x2 - x, y2 - y) or 1
        return x, y, z, (y2 - y) / n, -(x2 - x) / n

    def tilt(dd):
        """Metres the road rises per metre right of its centre: the banked corners."""
        s = g.d_to_s(dd)
        for a, b, k in BANKED:
            if s is not None and a <= s < b:
                return k * min(1.0, (s - a) / 25, (b - s) / 25)
        return 0.0

    def ribbon(d, off0, off1, h0=0.05, h1=None):
        """A band from lateral offset off0 to off1 (metres right of the centre line), at height
        h0 above the road, or standing from h0 to h1 when off0 == off1."""
        a, b = frame(d[0]), frame(d[1])
        ta, tb = tilt(d[0]), tilt(d[1])
        if h1 is None:
            spans = ((off0, h0), (off1, h0))
        else:
            spans = ((off0, h0), (off1, h1))
        pts = [[f[0] + f[3] * o, f[1] + f[4] * o, f[2] + h + t * o] for f, t, (o, h) in ((a, ta, spans[0]), (b, tb, spans[0]))]
        pts += [[f[0] + f[3] * o, f[1] + f[4] * o, f[2] + h + t * o] for f, t, (o, h) in ((b, tb, spans[1]), (a, ta, spans[1]))]
        return pts

    def within(dd, stretch):
        s = g.d_to_s(dd)
        return s is not None and stretch[0] <= s < stretch[1]

    d, step = d0 - 10, 2.5
    while d < d0 + FAR_M:
        seg = (d, d + step)
        tone = int(rng.integers(-5, 6))
        banked = tilt(d) != 0
        scene.add(ribbon(seg, -ROAD_HALF_M, ROAD_HALF_M),
                  (150 + tone, 148 + tone, 140 + tone) if banked else (96 + tone, 99 + tone, 104 + tone), bias=ON_GROUND)
        if d < d0 + 500 and not banked:
            # The darker tracks the cars' wheels wear into the asphalt: they show how the road
            # runs over a crest or up a climb where the plain grey would not.
            for o in (-1.8, 1.8):
                scene.add(ribbon(seg, o - 0.5, o + 0.5, 0.055), (84 + tone, 86 + tone, 91 + tone), bias=ON_GROUND + 0.03)
        if d < d0 + 250 and rng.random() < 0.1:
            # Old asphalt: a patch laid over one half of the road.
            side = 1 if rng.random() < 0.5 else -1
            scene.add(ribbon(seg, 0.3 * side, ROAD_HALF_M * side * 0.9, 0.06), (82 + tone, 84 + tone, 88 + tone),
                      bias=ON_GROUND + 0.05)
        if within(d, BRIDGE):
            # The bridge's stone parapets, where the road crosses the valley road at Breidscheid.
            for side in (-1, 1):
                o = side * (ROAD_HALF_M + 0.6)
                scene.add(ribbon(seg, o, o, -0.3, 0.95), (150, 144, 132), bias=ON_GROUND + 0.3)
                scene.add(ribbon(seg, o, o + side * 0.5, 0.95), (176, 170, 158), bias=ON_GROUND + 0.2)
        if within(d, SPECTATOR_BANK) and d < d0 + 600:
            # Spectators on the bank on the outside of the corner, with gaps between the groups.
            o0, o1 = SPECTATOR_BANK[2] * 9.0, SPECTATOR_BANK[2] * 17.0
            scene.add(ribbon(seg, o0, o1, -0.2, 3.2), (104, 140, 66), bias=ON_GROUND - 1)
            for _ in range(int(step * 1.2)):
                if rng.random() < 0.55:
                    u = rng.random()
                    o = o0 + (o1 - o0) * u
                    t = d + rng.random() * step
                    person = ribbon((t, t + 0.5), o, o, 3.2 * u, 3.2 * u + 1.7)
                    scene.add(person, PEOPLE[int(rng.integers(len(PEOPLE)))], bias=ON_GROUND - 1.2)
        s = g.d_to_s(d)
        if s is not None and track.is_open(s) and d < d0 + 900:
            # Hedges along the fields, with gaps where a gate or a path leaves the road.
            for side in (-1, 1):
                if noise2(np.array(s * 3.0), np.array(side * 50.0), 13) < 0.62:
                    o = side * HEDGE_M
                    scene.add(ribbon(seg, o, o, 0.0, 1.5), (44, 76, 36), bias=ON_GROUND - 0.6)
                    scene.add(ribbon(seg, o, o + side * 1.2, 1.5), (56, 92, 42), bias=ON_GROUND - 0.7)
        d += step
        step = min(10.0, step * 1.03)
    # The rest of the surveyed loop where another part of it comes into sight.
    far_d = np.arange(d0 + FAR_M, d0 + g.SIM_LAP_M - 30, 10.0)
    for dd in far_d:
        x, y, _ = g.lap_point(track, dd)
        if math.hypot(x - cam.pos[0], y - cam.pos[1]) < FAR_M:
            scene.add(ribbon((dd, dd + 10), -ROAD_HALF_M, ROAD_HALF_M), (110, 113, 118), bias=ON_GROUND)


def pits(scene, track, d0):
    """The old pits, simply: a low garage block with its roof right of the pit lane, a pit wall
    to the left, and a grandstand across the straight."""
    for d in np.arange(d0 - 10, d0 + 700, 8.0):
        x, y, z = g.lap_point(track, d)
        x2, y2, _ = g.lap_point(track, d + 8)
        n = math.hypot(x2 - x, y2 - y)
        rx, ry = (y2 - y) / n, -(x2 - x) / n

        def at(o, h, t):
            return [x + (x2 - x) * t + rx * o, y + (y2 - y) * t + ry * o, z + h]
        # Garages: doors alternate open (dark) and closed (grey), a blue fascia above.
        door = (48, 53, 60) if int(d / 8) % 3 else (142, 153, 164)
        scene.add([at(14, 0, 0), at(14, 0, 1), at(14, 3.4, 1), at(14, 3.4, 0)], door, bias=ON_GROUND)
        scene.add([at(14, 3.4, 0), at(14, 3.4, 1), at(14, 4.4, 1), at(14, 4.4, 0)], (21, 101, 192), bias=ON_GROUND)
        scene.add([at(14, 4.4, 0), at(14, 4.4, 1), at(24, 4.4, 1), at(24, 4.4, 0)], (200, 196, 186), bias=ON_GROUND - 0.5)
        scene.add([at(4.6, 0.06, 0), at(4.6, 0.06, 1), at(14, 0.06, 1), at(14, 0.06, 0)], (104, 106, 110), bias=ON_GROUND)
        scene.add([at(4.6, 0, 0), at(4.6, 0, 1), at(4.6, 1.0, 1), at(4.6, 1.0, 0)], (222, 220, 212), bias=ON_GROUND + 0.3)
        scene.add([at(-ROAD_HALF_M - 10, 0, 0), at(-ROAD_HALF_M - 10, 0, 1),
                   at(-ROAD_HALF_M - 30, 12, 1), at(-ROAD_HALF_M - 30, 12, 0)],
                  (170, 180, 192) if int(d / 8) % 2 else (140, 152, 166), bias=ON_GROUND)


def next_corner(track, d0):
    """(name, metres) of the next named corner after the deploy point, by its tightest point."""
    ahead = sorted(g.section_corners(track, d0 + 40, d0 + g.SIM_LAP_M - 40), key=lambda c: c[1])
    return (ahead[0][0], ahead[0][1] - d0) if ahead else None


def ahead_text(track, d0):
    nc = next_corner(track, d0)
    if nc is None:
        return ""
    n, m = nc
    return f"{n} in {round(m / 50) * 50 if m >= 200 else round(m / 10) * 10:.0f} m"


BAND_PX = 22  # as on the maps: 11 px as shown at 96 DPI


def band(img, track, d0, colour):
    """A strip along the bottom: what comes next, and where the view stands, in km."""
    h = 38
    big = Image.new("RGB", (W * SS, h * SS), (38, 50, 56))
    d = ImageDraw.Draw(big)
    d.rectangle((0, 0, 10 * SS, h * SS), fill=colour)
    f = font(COND_BOLD, BAND_PX)
    km = f"km {d0 / 1000:.2f}"
    ahead = "→ " + ahead_text(track, d0)
    if f.getlength(ahead) + f.getlength(km) < (W - 50) * SS:
        d.text(((W - 10) * SS, h / 2 * SS), km, font=f, fill=(176, 190, 197), anchor="rm")
    d.text((20 * SS, h / 2 * SS), ahead, font=f, fill=(255, 255, 255), anchor="lm")
    img.paste(big.resize((W, h), Image.LANCZOS), (0, H - h))
    return img
