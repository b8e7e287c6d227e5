"""The view from a deploy point: the road ahead as a TV crane or a navigation device shows it, from
a camera raised high behind the deploy point and looking down along the lap, so that the next
1.3 km of road with its bends, crests and dips is in sight at once.

The country is the height field of terrain.py (heights drawn RELIEF times steeper) with forest as
masses on it, drawn back to front in rings round the camera (on a height field seen from above,
a nearer ring always covers a farther one), each ring followed by the tree crowns standing on it:
the woods' crowns, and the hedges and lone trees of the fields. The road goes on top, wider than it
is so that it reads at the size the program shows the picture; only the bare ground hides it, where
a crest lies between it and the camera, never the trees. Then the deploy point's flag, the corners
ahead by their 1967 names and the strip naming the next one.
"""
import math

import numpy as np
from PIL import Image, ImageDraw, ImageFilter

import geometry as g
import terrain
from karte import title_key
from style import COND_BOLD, SS, font, save_jpeg

W, H = 418, 306
HFOV = math.radians(54)
FOCAL = (W / 2) / math.tan(HFOV / 2)
STRIP_H = 38
# Lower than the maps': a hundred views must fit the data folder, and the woods' crowns cost.
JPEG_QUALITY = 80
# The camera: it looks down at the deploy point at DEPRESSION, from as far back (between NEAREST_M
# and FARTHEST_M) as it takes to frame the next AHEAD_M of road between FRAME_TOP and the strip,
# turned up to MAX_TURN off the direction in which that road lies to frame it best; FRAMINGS below
# changes that for a few stretches. The deploy point sits at DEPLOY_Y, in the middle.
DEPRESSION = math.radians(30)
DEPLOY_Y = 228.0
FRAME_TOP, FRAME_BOTTOM, FRAME_SIDE = 62.0, H - STRIP_H - 8.0, 16.0
AHEAD_M = 1300.0
NEAREST_M, FARTHEST_M = 140.0, 900.0
MAX_TURN = math.radians(70)

FAR_M = 6000.0
SKY_TOP, SKY_HORIZON = np.array([88, 140, 200]), np.array([214, 226, 236])
HAZE_M = 3200.0
SUN = np.array([-0.55, -0.45, 0.7]) / np.linalg.norm([-0.55, -0.45, 0.7])  # from the south-west, not high: relief shows

ROAD_HALF_M = 4.0        # drawn half width: a little wider than the road
ROAD_MIN_HALF_PX = 2.1   # never thinner than 4 px, 2 px as shown at 96 DPI
ROAD_MAX_HALF_PX = 4.5
CASING_PX = 1.1
ASPHALT = (196, 196, 190)
ASPHALT_FAR = (160, 161, 158)  # the road before the deploy point and beyond the stretch framed
CASING = (44, 48, 44)
CONCRETE = (236, 230, 214)    # the banked corners' concrete
STRIP_INK = (38, 50, 56)      # the strip, the labels' plates and the flag's pole, as on the maps

# What a driver knows a place by, in metres of the data's loop (see geometry.py); only what stood
# in 1967. The two banked corners: the Karussell, and the small banked left-hander at the
# Schwalbenschwanz.
BANKED = [(12075, 12195), (16985, 17095)]
# The concrete bowl on the inside of each: how far it reaches from the road to the bend's middle.
BOWL_REACH = [0.8, 0.6]
# The banked lanes drawn this much wider each side than the road: the Karussell's concrete has to
# show from a kilometre off.
BANKED_WIDER_PX = [2.4, 1.4]
BOWL, BOWL_RIM = (212, 206, 190), (96, 96, 90)
# The bridge over the valley road at Breidscheid, at the lowest point of the lap: the data's
# short way there (OpenStreetMap way 41395647, 15 m).
BRIDGE = (8050, 8075)
# The spectators' bank on the outside of the right-hander at Brünnchen (-1: left of the road).
SPECTATOR_BANK = (14240, 14430, -1)
PEOPLE = [(180, 40, 40), (40, 60, 120), (230, 220, 200), (60, 60, 60), (210, 170, 60), (200, 90, 40)]

_land = {}


def land_of(track):
    """The country round the lap, made once per track: it takes seconds."""
    if id(track) not in _land:
        _land[id(track)] = terrain.Land(track)
    return _land[id(track)]


class Camera:
    def __init__(self, pos, forward, pitch):
        fx, fy = forward
        self.pos = np.array(pos, dtype=float)
        self.yaw = math.atan2(fy, fx)
        self.pitch = pitch
        cp, sp = math.cos(pitch), math.sin(pitch)
        self.f = np.array([fx * cp, fy * cp, sp])
        self.r = np.array([fy, -fx, 0.0])
        self.u = np.cross(self.r, self.f)
        self.horizon = H / 2 + FOCAL * math.tan(pitch)

    def project(self, p):
        """Screen points (pixels of the final picture) and depths of world points (N, 3)."""
        v = np.asarray(p, dtype=float) - self.pos
        z = v @ self.f
        x = v @ self.r
        y = v @ self.u
        zc = np.maximum(z, 0.05)
        return np.column_stack([W / 2 + FOCAL * x / zc, H / 2 - FOCAL * y / zc]), z


def pitch_of(depression):
    """The camera's tilt that puts a point seen `depression` below it at DEPLOY_Y."""
    return -(depression - math.atan((DEPLOY_Y - H / 2) / FOCAL))


def crane(p0, yaw, back, depression=DEPRESSION):
    """The camera `back` metres behind p0 along yaw, looking down at it."""
    fx, fy = math.cos(yaw), math.sin(yaw)
    pos = (p0[0] - fx * back, p0[1] - fy * back, p0[2] + back * math.tan(depression))
    return Camera(pos, (fx, fy), pitch_of(depression))


def frames(cam, pts):
    scr, z = cam.project(pts)
    return bool(np.all(z > 1) and np.all(scr[:, 0] >= FRAME_SIDE) and np.all(scr[:, 0] <= W - FRAME_SIDE)
                and np.all(scr[:, 1] >= FRAME_TOP) and np.all(scr[:, 1] <= FRAME_BOTTOM))


class Framing:
    """How the crane frames the view from a deploy point: how much road ahead, turned how far off
    the direction it lies in (positive: to the left of it, so the camera looks from the right)
    and looking down how steeply."""

    def __init__(self, ahead=AHEAD_M, turn=0.0, depression=None, nearest=NEAREST_M, keep=0.5):
        self.ahead, self.turn = ahead, math.radians(turn)
        self.depression = DEPRESSION if depression is None else math.radians(depression)
        # keep: what a metre of the stretch left out of the frame costs, in metres of camera back.
        self.nearest, self.keep = nearest, keep


# Stretches whose character the plain framing (looking along the next AHEAD_M) misses, in the
# simulator's metres; the views from deploy points inside them are framed so:
FRAMINGS = [
    # The Fuchsröhre: lower, farther back and a little from the left, so the road is seen dropping
    # out of sight into the wooded valley and climbing out across its far side to Adenauer Forst.
    (5450, 5750, Framing(turn=-15, depression=24, nearest=300)),
    # Metzgesfeld, Kallenhard and on down to the Wehrseifen hairpin: the section's corners lie
    # 0.5 to 1.8 km ahead and the road falls away behind a crest, so the crane looks down steeply
    # on 1.9 km, as a map would show the sequence.
    (6950, 7250, Framing(ahead=1900, depression=60, keep=3.0)),
    # Klostertal, the Steilstrecke and the Karussell: from the right and steeper, so the hairpin,
    # the climb back from it and the Karussell at its top lie across the picture, the Karussell
    # seen from the open side of its bowl.
    (12350, 12650, Framing(ahead=1150, turn=60, depression=45)),
    # The Hohe Acht: from low behind, so the climb ends against the sky on the high ground and
    # the road drops away beyond it towards Wippermann.
    (13850, 14150, Framing(depression=22, nearest=250)),
]


def framing(d0):
    return next((f for a, b, f in FRAMINGS if a <= d0 < b), Framing())


def place_camera(land, d0):
    """The crane for the deploy point d0: turned and drawn back so that the stretch ahead fits
    the frame from as near as possible, turned as little as it can off the way its framing wants
    it. Where the road turns back towards the camera (the Südkehre) and cannot all be framed, the
    longest stretch from the deploy point that can be."""
    fr = framing(d0)
    p0 = np.array(land_point(land, d0))
    # Looking towards where the road ahead lies as a whole, not only where it heads at first.
    x, y, _ = land.at(d0 + np.arange(0.0, fr.ahead + 1, 20.0))
    hx, hy = x.mean() - p0[0], y.mean() - p0[1]
    heading = math.atan2(hy, hx)
    best = None
    farthest = FARTHEST_M * max(1.0, fr.ahead / AHEAD_M)
    for length in [fr.ahead * k / AHEAD_M for k in (AHEAD_M, 1100.0, 900.0, 700.0, 500.0, 350.0)]:
        ahead = np.column_stack(land.at(d0 + np.arange(0.0, length + 1, 20.0)))
        for turn in np.arange(-MAX_TURN, MAX_TURN + 1e-9, math.radians(2.5)):
            yaw = heading + turn
            if frames(crane(p0, yaw, fr.nearest, fr.depression), ahead):
                back = fr.nearest
            elif not frames(crane(p0, yaw, farthest, fr.depression), ahead):
                continue
            else:
                lo, hi = fr.nearest, farthest
                for _ in range(14):
                    mid = (lo + hi) / 2
                    lo, hi = (lo, mid) if frames(crane(p0, yaw, mid, fr.depression), ahead) else (mid, hi)
                back = hi
            # Near, looking the way wanted, and as much of the road as can be had, in that order.
            cost = back * (1 + 2.0 * ((turn - fr.turn) / MAX_TURN) ** 2) + fr.keep * (fr.ahead - length)
            if best is None or cost < best[0] - 1e-9:
                best = (cost, yaw, back)
    if best is None:
        return crane(p0, heading, farthest, fr.depression)
    return crane(p0, best[1], best[2], fr.depression)


def haze(rgb, dist):
    k = 1 - np.exp(-np.asarray(dist) / HAZE_M)
    return rgb + (SKY_HORIZON - rgb) * k[..., None]


def sky(cam, seed):
    rows = np.arange(H * SS)[:, None] / SS
    t = np.clip(rows / max(cam.horizon, 1), 0, 1) ** 1.4
    col = SKY_TOP[None, :] * (1 - t) + SKY_HORIZON[None, :] * t
    img = Image.fromarray(np.repeat(col[:, None, :], W * SS, axis=1).astype(np.uint8))
    # A few soft clouds above the horizon.
    rng = np.random.default_rng(seed)
    clouds = Image.new("L", img.size, 0)
    d = ImageDraw.Draw(clouds)
    for _ in range(4):
        cx, cy = rng.uniform(0, W), rng.uniform(0.15, 0.7) * cam.horizon
        rx = rng.uniform(25, 50)
        for _ in range(4):
            ox, oy, r = rng.uniform(-1, 1) * rx, rng.uniform(-0.2, 0.1) * rx, rx * rng.uniform(0.35, 0.6)
            d.ellipse(((cx + ox - r) * SS, (cy + oy - r * 0.4) * SS, (cx + ox + r) * SS, (cy + oy + r * 0.4) * SS), fill=170)
    clouds = clouds.filter(ImageFilter.GaussianBlur(5 * SS))
    img.paste(Image.new("RGB", img.size, (248, 250, 252)), mask=clouds)
    return img


def ground_at(land, x, y, r):
    """Ground height, distance to the lap and the nearest lap point at points x, y lying r metres
    from the camera."""
    ground = land.height(x, y)
    dist, idx = land.near(x.ravel(), y.ravel())
    dist, idx = dist.reshape(x.shape), idx.reshape(x.shape)
    # The ground beside the road lies at the road's own height, as the road was built into it.
    k = terrain.smoothstep((dist - 9.0) / 30.0)
    ground = land.z[idx] * (1 - k) + ground * k
    # The country sinks below the skyline towards the edge of what is drawn, so it does not end
    # in a cut against the sky.
    ground = ground - terrain.smoothstep((r - (FAR_M - 2200)) / 2200) * 500
    return ground, dist, idx


class Grid:
    """The ground round the camera in rings (far to near) and spokes (across the view)."""

    def __init__(self, land, cam, d0):
        cx, cy, cz = cam.pos
        # Wide enough for the picture's bottom corners, which a steep camera sees wider than HFOV.
        corner = cam.f + cam.r * (W / 2) / FOCAL - cam.u * (H / 2) / FOCAL
        side = math.atan2(corner @ cam.r, corner[:2] @ cam.f[:2] / np.linalg.norm(cam.f[:2]))
        half = max(HFOV / 2, side) + math.radians(8)
        self.az = cam.yaw + np.linspace(half, -half, round(150 * half / (HFOV / 2 + math.radians(8))))
        # Rings about 2 px apart on the screen, coarser far off.
        h = max(cz - float(land.at(d0)[2]), 30.0)
        r, rings = 0.45 * h / math.tan(-cam.pitch + math.atan(H / 2 / FOCAL) + math.radians(4)), []
        while r < FAR_M:
            rings.append(r)
            r += min(max(1.8 * (r * r + h * h) / (FOCAL * h), 1.5), 0.012 * r + 3)
        self.r = np.array(rings)
        R, A = np.meshgrid(self.r, self.az, indexing="ij")
        self.x, self.y = cx + R * np.cos(A), cy + R * np.sin(A)
        self.ground, self.dist, self.idx = ground_at(land, self.x, self.y, R)
        self.canopy = land.forest(self.x, self.y, self.dist, self.idx)
        self.top = self.ground + self.canopy
        # Per quad (i, j), with corners (i, j), (i, j+1), (i+1, j+1), (i+1, j): how brightly lit.
        p = np.stack([self.x, self.y, self.top], axis=-1)
        a, b, c, d = p[:-1, :-1], p[:-1, 1:], p[1:, 1:], p[1:, :-1]
        nrm = np.cross(c - a, b - d)
        nrm /= np.linalg.norm(nrm, axis=-1, keepdims=True)
        nrm *= np.sign(nrm[..., 2:3])
        self.qx, self.qy = (a[..., 0] + c[..., 0]) / 2, (a[..., 1] + c[..., 1]) / 2
        self.lit = shading(nrm, cam) * valley_shade(land, self.qx, self.qy)
        # Per spoke, the steepest rise seen so far from the camera: what hides the ground behind.
        self.rise = np.maximum.accumulate((self.ground - cz) / R, axis=0)

    def hidden(self, cam, pts, steady_m=8):
        """Per world point: whether the bare ground between it and the camera hides it. Along a
        line of points, runs shorter than steady_m points are taken as their neighbours."""
        v = pts[:, :2] - cam.pos[:2]
        r = np.hypot(v[:, 0], v[:, 1])
        a = np.mod(self.az[0] - np.arctan2(v[:, 1], v[:, 0]) + math.pi, 2 * math.pi) - math.pi
        j = np.clip(np.round(a / (self.az[0] - self.az[1])).astype(int), 0, len(self.az) - 1)
        i = np.clip(np.searchsorted(self.r, r - 40.0) - 1, 0, len(self.r) - 1)
        seen = self.rise[i, j]
        hid = ((pts[:, 2] + 5.0 - cam.pos[2]) / np.maximum(r, 1) < seen) & (r - 40.0 > self.r[0])
        # A road point now seen, now hidden along a crest would break the road into dashes.
        return steady(steady(hid, steady_m), steady_m, value=False) if steady_m else hid

    def spoke_of(self, x, y, cam):
        """The nearest spoke and the ring inside which each point (x, y) lies (-1: nearer than
        the first ring)."""
        v = np.column_stack([x - cam.pos[0], y - cam.pos[1]])
        a = np.mod(self.az[0] - np.arctan2(v[:, 1], v[:, 0]) + math.pi, 2 * math.pi) - math.pi
        j = np.clip(np.round(a / (self.az[0] - self.az[1])).astype(int), 0, len(self.az) - 1)
        return j, np.searchsorted(self.r, np.hypot(v[:, 0], v[:, 1])) - 1

    def draw(self, img, cam, land, seed):
        cx, cy, cz = cam.pos
        top = self.top
        p = np.stack([self.x, self.y, top], axis=-1)
        scr, depth = cam.project(p.reshape(-1, 3))
        scr = scr.reshape(self.x.shape + (2,)) * SS
        depth = depth.reshape(self.x.shape)
        qx, qy, lit = self.qx, self.qy, self.lit
        canopy = (self.canopy[:-1, :-1] + self.canopy[1:, 1:] + self.canopy[:-1, 1:] + self.canopy[1:, :-1]) / 4
        dist = self.dist[:-1, :-1]
        kind, _ = terrain.parcels(qx, qy)
        fields = FIELDS[np.searchsorted(FIELD_SHARE, kind)]
        tone = terrain.noise2(qx, qy, 7, 30.0)[..., None]
        wood = np.array(WOOD_FLOOR) + tone * np.array([10, 14, 6])
        # Blended rather than cut, so the edges of the woods and the verge do not step from ring
        # to ring.
        on_verge = terrain.smoothstep((34.0 - dist) / 14.0)[..., None]
        in_wood = terrain.smoothstep((canopy - 2.0) / 8.0)[..., None]
        # The floor of the woods, seen between the crowns, stays in shade wherever the slope faces.
        rgb = wood * in_wood * (0.5 + 0.5 * lit[..., None]) \
            + (np.array(VERGE) * on_verge + fields * (1 - on_verge)) * (1 - in_wood) * lit[..., None]
        rng = np.random.default_rng(seed)
        rgb *= rng.uniform(0.97, 1.03, rgb.shape[:2])[..., None]
        rng_m = np.hypot(qx - cx, qy - cy)
        rgb = np.clip(haze(rgb, rng_m), 0, 255).astype(np.uint8)
        front = (depth[:-1, :-1] > 1) & (depth[1:, 1:] > 1) & (depth[:-1, 1:] > 1) & (depth[1:, :-1] > 1)
        crowns = tree_crowns(land, cam, self)
        by_ring = {}
        for k in np.argsort(-crowns.r, kind="stable"):
            by_ring.setdefault(int(crowns.ring[k]), []).append(k)
        draw = ImageDraw.Draw(img)
        s00, s01, s11, s10 = scr[:-1, :-1], scr[:-1, 1:], scr[1:, 1:], scr[1:, :-1]
        for i in range(len(self.r) - 2, -1, -1):
            row = np.stack([s00[i], s01[i], s11[i], s10[i]], axis=1).tolist()
            cols = [tuple(c) for c in rgb[i].tolist()]
            ok = front[i].tolist()
            for q, col, k in zip(row, cols, ok):
                if k:
                    draw.polygon([tuple(v) for v in q], fill=col)
            # The trees standing on this ring, over the ground behind them and under the nearer.
            for k in by_ring.get(i, ()):
                crowns.draw(draw, k)


def valley_shade(land, x, y):
    """Darker where the ground lies below the country round it: valleys read as deep."""
    return np.clip(1.0 + land.hollow(x, y) / 90.0, 0.72, 1.06)


# The country's colours. Fields by share of the open land: meadow, pasture, ripe corn, stubble,
# ploughed land, young green.
FIELDS = np.array([[116, 158, 68], [150, 176, 86], [206, 190, 110], [180, 172, 120], [156, 128, 92],
                   [100, 146, 62]], dtype=float)
FIELD_SHARE = [0.30, 0.50, 0.66, 0.78, 0.88]
VERGE = (104, 146, 70)
WOOD_FLOOR = (22, 44, 26)   # the shade between the crowns
# Crowns: spruce (dark, bluish) and beech (lighter), in stands.
SPRUCE, BEECH = np.array([36, 72, 46]), np.array([62, 98, 44])
LONE_TREE = np.array([58, 96, 46])
# Real crowns TREE_M apart near the camera; farther off, clumps of them twice, four times... as far
# apart, so that each shows about CROWN_PX or more across wherever it stands.
TREE_M = 7.0
CROWN_PX = 3.6
CROWN_MOST_PX = 9.0  # nearer crowns are drawn no bigger: a crane close above the trees
HEDGE_SHARE = 0.3  # of field edges with a hedge
# Farther off, where a crown would stand for a clump wider than a hedge, the fields show bare.
HEDGE_STEP_M = 2 * TREE_M


class Crowns:
    """Tree crowns to draw: their ground point's distance from the camera, ring, screen point,
    radius, colour, the screen direction of the sun; its distance from the lap and the nearest
    lap point (an index into the Land's)."""

    def __init__(self, r, ring, scr, rad, rgb, sun, dist, idx):
        self.r, self.ring, self.scr, self.rad, self.rgb, self.sun = r, ring, scr, rad, rgb, sun
        self.dist, self.idx = dist, idx
        self.contrast = np.exp(-r / HAZE_M)

    def draw(self, draw, k):
        x, y = self.scr[k] * SS
        rad = self.rad[k] * SS
        (ux, uy) = self.sun[k]
        col = self.rgb[k]
        # Far off, the haze takes the light and shade out of the crowns as well.
        c = self.contrast[k]
        dark = tuple(int(v * (1 - 0.5 * c)) for v in col)
        light = tuple(min(255, int(v * (1 + 0.32 * c) + 8 * c)) for v in col)
        # The shadow falls away from the sun, the lit side of the crown faces it.
        sx, sy = x - ux * rad * 0.55, y - uy * rad * 0.55
        draw.ellipse((sx - rad, sy - rad * 0.85, sx + rad, sy + rad * 0.85), fill=dark)
        draw.ellipse((x - rad, y - rad * 0.85, x + rad, y + rad * 0.85), fill=tuple(int(v) for v in col))
        hx, hy, hr = x + ux * rad * 0.35, y + uy * rad * 0.3, rad * 0.5
        draw.ellipse((hx - hr, hy - hr * 0.85, hx + hr, hy + hr * 0.85), fill=light)


def tree_crowns(land, cam, grid):
    """The trees in sight: the woods' crowns, the hedges along some field edges, a few lone trees
    in the fields; none within reach of the road."""
    cx, cy, cz = cam.pos
    h = max(cz - float(np.median(grid.ground[0])), 20.0)
    sector = np.array([[cx + r * math.cos(a), cy + r * math.sin(a)]
                       for r in (grid.r[0], FAR_M) for a in (grid.az[0], grid.az[-1], cam.yaw)] + [[cx, cy]])
    lo, hi = sector.min(axis=0), sector.max(axis=0)
    xs, ys, spacing = [], [], []
    for level in range(6):
        step = TREE_M * 2 ** level
        # This level's band: where its spacing shows between CROWN_PX and twice that.
        far = step * FOCAL / CROWN_PX
        near = far / 2 if level else 0.0
        i0, i1 = int(lo[0] // step), int(hi[0] // step) + 1
        j0, j1 = int(lo[1] // step), int(hi[1] // step) + 1
        i, j = np.meshgrid(np.arange(i0, i1 + 1, dtype=float), np.arange(j0, j1 + 1, dtype=float), indexing="ij")
        i, j = i.ravel(), j.ravel()
        x = (i + terrain.hash2(i, j, 40 + level)) * step
        y = (j + terrain.hash2(i, j, 50 + level)) * step
        slant = np.hypot(np.hypot(x - cx, y - cy), h)
        # The bands overlap a little, unevenly, so their seams do not show.
        jit = 0.85 + 0.3 * terrain.hash2(i, j, 60 + level)
        keep = (slant >= near * jit) & (slant < far * jit)
        xs.append(x[keep])
        ys.append(y[keep])
        spacing.append(np.full(int(keep.sum()), step))
    x, y, step = np.concatenate(xs), np.concatenate(ys), np.concatenate(spacing)
    j, ring = grid.spoke_of(x, y, cam)
    a = np.mod(grid.az[0] - np.arctan2(y - cy, x - cx) + math.pi, 2 * math.pi) - math.pi
    # None where the country sinks away at the edge of what is drawn.
    inside = (ring >= 0) & (grid.r[np.clip(ring, 0, len(grid.r) - 1)] < FAR_M - 2200) \
        & (a >= 0) & (a <= grid.az[0] - grid.az[-1])
    x, y, step, j, ring = x[inside], y[inside], step[inside], j[inside], ring[inside]
    r = np.hypot(x - cx, y - cy)
    ground, dist, idx = ground_at(land, x, y, r)
    canopy = land.forest(x, y, dist, idx)
    kind, edge = terrain.parcels(x, y)
    pick = terrain.hash2(np.round(x), np.round(y), 70)
    # Small clearings in the woods, so they read as trees, not a carpet.
    in_wood = (canopy > 0.45 * terrain.CANOPY_M) & (terrain.noise2(x, y, 13, 45.0) < 0.8)
    hedge = (edge < step * 0.5) & (terrain.hash2(np.floor(kind * 997), 3, 71) < HEDGE_SHARE) & (step <= HEDGE_STEP_M)
    lone = pick < 0.008
    tree = (in_wood | hedge | lone) & (dist > terrain.FOREST_GAP_M + 4)
    x, y, step, j, ring, r = x[tree], y[tree], step[tree], j[tree], ring[tree], r[tree]
    ground, canopy, in_wood, pick = ground[tree], canopy[tree], in_wood[tree], pick[tree]
    dist, idx = dist[tree], idx[tree]
    z = ground + np.where(in_wood, canopy, 13.0)
    pts = np.column_stack([x, y, z])
    scr, depth = cam.project(pts)
    stand = terrain.noise2(x, y, 12, 160.0)
    spruce = in_wood & (stand < 0.5)
    size = step * (0.42 + 0.3 * pick) * np.where(spruce, 0.85, 1.0) * np.where(in_wood, 1.0, 0.75)
    rad = np.clip(FOCAL * size / np.maximum(depth, 1), 0.9, CROWN_MOST_PX)
    base = np.where(in_wood[:, None], np.where(spruce[:, None], SPRUCE, BEECH), LONE_TREE)
    base = base * (0.8 + 0.4 * terrain.hash2(np.round(x), np.round(y), 72)[:, None])
    lit = grid.lit[np.clip(ring, 0, grid.lit.shape[0] - 1), np.clip(j, 0, grid.lit.shape[1] - 1)]
    rgb = np.clip(haze(base * (0.6 + 0.4 * lit[:, None]), r), 0, 255)
    # The sun's direction on the screen at each crown.
    sun_h = np.array([SUN[0], SUN[1], 0.0]) / math.hypot(SUN[0], SUN[1])
    s2, _ = cam.project(pts + sun_h * 10.0)
    dv = s2 - scr
    sun = dv / np.maximum(np.hypot(dv[:, 0], dv[:, 1]), 1e-6)[:, None]
    ok = depth > 5
    return Crowns(r[ok], ring[ok], scr[ok], rad[ok], rgb[ok], sun[ok], dist[ok], idx[ok])


def shading(nrm, cam):
    """Brightness of surfaces with unit normals nrm (..., 3): lit by the sun, and more by a light
    from behind the camera, so that ground rising ahead of the viewer shows bright and ground
    falling away from him dark: the rise and fall of the road ahead reads at a glance."""
    back = -cam.f.copy()
    back[2] = 0.0
    back = back / np.linalg.norm(back) * math.cos(math.radians(35))
    back[2] = math.sin(math.radians(35))
    return np.clip(0.15 + 0.35 * (nrm @ SUN) + 0.75 * (nrm @ back), 0.3, 1.35)


def render(track, d0, colour, path, seed, name=None, text=True, strip=True):
    """Writes the view from deploy point d0 to path and returns its Layout. name: the section's,
    whose first corner is labelled wherever it is in sight; text=False draws no text at all (no
    labels, no strip), strip=False the labels without the strip."""
    land = land_of(track)
    cam = place_camera(land, d0)
    img = sky(cam, seed)
    grid = Grid(land, cam, d0)
    grid.draw(img, cam, land, seed)
    draw = ImageDraw.Draw(img)
    pits(draw, cam, land, grid)
    road_pts, landmarks = road(draw, cam, land, grid, d0)
    spot = np.array([deploy_spot(land, d0)])
    (fx, fy), = cam.project(spot)[0]
    corners = corner_points(track, land, cam, grid, d0) if text else []
    flag(draw, fx, fy, colour)
    bottom = H - STRIP_H if text and strip else H
    named = named_corners(track, name)
    labels = place_labels(corners, np.vstack([road_pts, landmarks]), (fx, fy), bottom, named,
                          framing(d0).ahead) if text else []
    for n, (px, py), box in labels:
        leader(draw, (px, py), box)
    img = img.resize((W, H), Image.LANCZOS)
    for n, _, box in labels:
        img = label(img, n, box)
    strip_texts = []
    if text and strip:
        img, strip_texts = band(img, track, d0, colour)
    save_jpeg(img, path, text=False, quality=JPEG_QUALITY)
    # The same metres in every view, however much it frames: views compare point for point.
    mark = d0 + np.arange(0.0, AHEAD_M + 1, CENTRELINE_STEP_M)
    centreline = cam.project(np.column_stack(land.at(mark)))[0]
    return Layout(centreline, road_pts, [(n, LABEL_PX, box) for n, _, box in labels], flag_box(fx, fy),
                  bottom, text and strip, [n for n, _, _ in corners], strip_texts)


CENTRELINE_STEP_M = 25.0


def land_point(land, d):
    return [float(v) for v in land.at(d)]


def deploy_spot(land, d0):
    """Where the car stands: on the road, or in the pit lane right of it when d0 lies on the pit
    straight (the pit lane's stall line says -9.30: 9.3 m right of the track)."""
    x, y, z = land_point(land, d0)
    if g.d_to_s(d0) is not None:
        return [x, y, z]
    x1, y1, _ = land_point(land, d0 + 5)
    n = math.hypot(x1 - x, y1 - y)
    return [x + (y1 - y) / n * PIT_LANE_M, y - (x1 - x) / n * PIT_LANE_M, z]


PIT_LANE_M = 9.3


class Layout:
    """What a view holds, known when it is drawn, for the checks: the road framed, on the screen
    every CENTRELINE_STEP_M from the deploy point; the road's next 200 m as (x, y, half width) in
    pixels; the labels as (name, font px, box); the flag's box; the bottom of the picture above
    the strip; whether the strip is drawn; the corners in sight; the strip's texts as (text, box)."""

    def __init__(self, centreline, road_next, labels, flag, bottom, strip, in_sight, strip_texts):
        self.centreline, self.road_next, self.labels = centreline, road_next, labels
        self.flag, self.bottom, self.strip, self.in_sight = flag, bottom, strip, in_sight
        self.strip_texts = strip_texts


def road(draw, cam, land, grid, d0):
    """The lap within sight, far pieces first; the stretch framed lighter than the rest, the banked
    corners in their concrete, the Breidscheid bridge and the Brünnchen bank. Returns the road's
    next 200 m and the banked corners in sight, each as (x, y, half width) in pixels."""
    ds = np.arange(0.0, g.SIM_LAP_M + 1, 4.0)  # the lap's end again at its start: no gap there
    x, y, z = land.at(ds)
    pts = np.column_stack([x, y, z])
    scr, depth = cam.project(pts)
    hid = grid.hidden(cam, pts)
    dist = np.hypot(x - cam.pos[0], y - cam.pos[1])
    rel = np.mod(ds - d0 + 3000, g.SIM_LAP_M) - 3000   # metres after the deploy point
    s = np.array([g.d_to_s(d) for d in ds], dtype=float)
    banked = np.zeros(len(ds), bool)
    wider = np.zeros(len(ds))
    for (a, b), more in zip(BANKED, BANKED_WIDER_PX):
        on = (s >= a) & (s < b)
        banked |= on
        wider[on] = more
    ok = (depth > 5) & ~hid & (dist < FAR_M - 1500)
    half = np.clip(FOCAL * ROAD_HALF_M / np.maximum(depth, 1), ROAD_MIN_HALF_PX, ROAD_MAX_HALF_PX)
    ahead = framing(d0).ahead
    base = np.array([CONCRETE if banked[k] else (ASPHALT if -2 <= rel[k] <= ahead else ASPHALT_FAR)
                     for k in range(len(ds))], dtype=float)
    # Lit as the ground is: darker where it falls away from the camera, lighter where it climbs
    # towards it, so a plunge and the climb out of it read on the road itself.
    rise = np.gradient(z, 4.0)
    tx, ty = np.gradient(x), np.gradient(y)
    n = np.hypot(tx, ty)
    nrm = np.column_stack([-rise * tx / n, -rise * ty / n, np.ones(len(ds))])
    nrm /= np.linalg.norm(nrm, axis=1, keepdims=True)
    lit = shading(nrm, cam) / shading(np.array([0.0, 0.0, 1.0]), cam)
    fill = [tuple(int(v) for v in c) for c in np.clip(base * np.clip(lit, 0.72, 1.12)[:, None], 0, 255)]
    bridge = (s >= BRIDGE[0] - 5) & (s < BRIDGE[1] + 5) & ok
    if bridge.any():
        # The bridge: stone parapets either side and the valley's shadow under it.
        k = np.flatnonzero(bridge)
        ribbon(draw, scr[k] + [0, 2.5], half[k] + 3.0, 0.0, (40, 46, 40))
        ribbon(draw, scr[k], half[k] + 2.6, 0.0, (222, 212, 190))
    spectators(draw, cam, land, ds, s, ok)
    bowls(draw, cam, land, grid)
    for a, b in sorted(pieces(ok, 30), key=lambda p: -float(np.mean(depth[p[0]:p[1] + 1]))):
        cut = slice(a, b + 1)
        wide = half[cut] + wider[cut]
        ribbon(draw, scr[cut], wide, CASING_PX, CASING)
        ribbon(draw, scr[cut], wide, 0.0, fill[a:b + 1])
    nxt = (rel >= -4) & (rel <= 204) & (depth > 1)
    shown = banked & ok
    # The banked corners' concrete, widened over its bowl, is kept clear of labels too.
    bowl = np.column_stack([scr[shown], half[shown] + wider[shown] + CASING_PX + 6.0])
    return np.column_stack([scr[nxt], half[nxt] + CASING_PX]), bowl


def bowls(draw, cam, land, grid):
    """The banked corners' concrete: a bowl filling the inside of the bend (drawn wider than it is,
    as the road is), its low inner edge dark."""
    for (a, b), reach in zip(BANKED, BOWL_REACH):
        d = np.arange(a, b + 0.1, 3.0) + g.SIM_OFFSET_M
        x, y, z = land.at(d)
        centre = np.column_stack([x, y, z])
        far = np.hypot(x - cam.pos[0], y - cam.pos[1]) > FAR_M - 1500   # as the road
        if grid.hidden(cam, centre, steady_m=0).mean() > 0.5 or far.any():
            continue
        # Towards the middle of the bend, most of the way.
        mid = centre.mean(axis=0)
        inner = centre + (mid - centre) * reach
        inner[:, 2] = z - 1.5
        sc, dc = cam.project(centre)
        si, di = cam.project(inner)
        if np.any(dc < 5) or np.any(di < 5):
            continue
        for k in range(len(d) - 1):
            quad = [sc[k], sc[k + 1], si[k + 1], si[k]]
            draw.polygon([(u * SS, v * SS) for u, v in quad], fill=BOWL)
        draw.line([(u * SS, v * SS) for u, v in si], fill=BOWL_RIM, width=round(1.2 * SS), joint="curve")


def spectators(draw, cam, land, ds, s, ok):
    """The bank outside Brünnchen: a strip of trodden grass beside the road, thick with people."""
    a, b, side = SPECTATOR_BANK
    k = np.flatnonzero((s >= a) & (s < b) & ok)
    if len(k) < 2:
        return
    rng = np.random.default_rng(14240)
    ds = ds[k]
    px, py, pz = land.at(ds)
    qx, qy, _ = land.at(ds + 4)
    n = np.hypot(qx - px, qy - py)
    rx, ry = (qy - py) / n, -(qx - px) / n
    bank = []
    for o in (9.0, 20.0):
        bank.append(np.column_stack([px + rx * side * o, py + ry * side * o, pz + 1.5 * (o - 9.0) / 11.0]))
    edge = np.vstack([bank[0], bank[1][::-1]])
    scr, _ = cam.project(edge)
    draw.polygon([(u * SS, v * SS) for u, v in scr], fill=(150, 160, 96))
    people = []
    for _ in range(len(ds) * 6):
        u, w = rng.random(), rng.random()
        i = min(int(u * (len(ds) - 1)), len(ds) - 2)
        o = side * (9.5 + w * 10.0)
        people.append([px[i] + rx[i] * o, py[i] + ry[i] * o, pz[i] + 1.5 * w + 0.8])
    scr, _ = cam.project(np.array(people))
    for (u, v), col in zip(scr, rng.integers(0, len(PEOPLE), len(people))):
        r = 0.55 * SS
        draw.ellipse((u * SS - r, v * SS - r, u * SS + r, v * SS + r), fill=PEOPLE[int(col)])


def pits(draw, cam, land, grid):
    """The old pits, simply: a long low garage block right of the pit lane, the pit wall, and the
    grandstand across the straight; what a crest hides is left out."""
    def along(d_a, d_b, o_a, o_b, h_a, h_b):
        """Floor and top of a box beside the lap from d_a to d_b, o_a to o_b metres right of it,
        h_a high at o_a and h_b at o_b."""
        x0, y0, z0 = land_point(land, d_a)
        x1, y1, _ = land_point(land, d_b)
        n = math.hypot(x1 - x0, y1 - y0)
        rx, ry = (y1 - y0) / n, -(x1 - x0) / n
        corners = [(x0, y0, o_a, h_a), (x1, y1, o_a, h_a), (x1, y1, o_b, h_b), (x0, y0, o_b, h_b)]
        base = np.array([[x + rx * o, y + ry * o, z0] for x, y, o, _ in corners])
        top = np.array([[x + rx * o, y + ry * o, z0 + h] for x, y, o, h in corners])
        return base, top

    boxes = [
        (-260.0, 330.0, 5.4, 15.0, 0.15, 0.15, (108, 110, 112), ((108, 110, 112),) * 2),         # pit lane
        (-260.0, 330.0, 15.0, 27.0, 5.0, 5.0, (206, 200, 188), ((70, 76, 86), (150, 156, 164))),  # garages: roof, doors
        (-260.0, 330.0, 4.6, 5.4, 1.0, 1.0, (236, 234, 226), ((200, 198, 190),) * 2),           # pit wall
        (-200.0, 300.0, -14.0, -36.0, 3.0, 12.0, (150, 160, 176), ((96, 104, 118),) * 2),        # grandstand
    ]
    faces = []
    for d_a, d_b, o_a, o_b, h_a, h_b, roof, sides in boxes:
        # In pieces of 10 m, so that a box reaching behind the camera still shows where it is
        # in front of it, and the garage doors alternate.
        starts = np.arange(d_a, d_b, 10.0)
        for k, d in enumerate(starts):
            base, top = along(d, min(d + 10.0, d_b), o_a, o_b, h_a, h_b)
            faces.append((top, roof))
            middle = base.mean(axis=0)
            for i in range(4):
                if (i == 1 and k < len(starts) - 1) or (i == 3 and k > 0):
                    continue  # the ends between two pieces
                side = np.array([base[i], base[(i + 1) % 4], top[(i + 1) % 4], top[i]])
                out = side.mean(axis=0) - middle
                if out @ (cam.pos - side.mean(axis=0)) > 0:  # only the sides facing the camera
                    faces.append((side, sides[k % 2]))
    middles = np.array([f.mean(axis=0) for f, _ in faces])
    hid = grid.hidden(cam, middles, steady_m=0)
    hid |= np.hypot(*(middles[:, :2] - cam.pos[:2]).T) > FAR_M - 1500   # as the road
    faces = [f for f, h in zip(faces, hid) if not h]
    faces.sort(key=lambda f: -float(np.mean(np.hypot(*(f[0][:, :2] - cam.pos[:2]).T))))
    for f, colour in faces:
        scr, depth = cam.project(f)
        if np.all(depth > 1):
            draw.polygon([(u * SS, v * SS) for u, v in scr], fill=colour)


def steady(mask, shortest, value=True):
    """mask with runs of `value` shorter than `shortest` points flipped."""
    out = mask.copy()
    k, n = 0, len(mask)
    while k < n:
        e = k
        while e < n and mask[e] == mask[k]:
            e += 1
        if mask[k] == value and e - k < shortest and k > 0 and e < n:
            out[k:e] = not value
        k = e
    return out


def pieces(ok, most):
    """(first, last) point index of each run of visible points, cut every `most` segments."""
    out, k, n = [], 0, len(ok)
    while k < n - 1:
        if not (ok[k] and ok[k + 1]):
            k += 1
            continue
        e = k
        while e < n - 1 and ok[e + 1] and e - k < most:
            e += 1
        out.append((k, e))
        k = e
    return out


def ribbon(draw, scr, half, extra, colour):
    """A band along screen points, half[k] + extra wide each side, in one colour or one per
    point. The casing's round joins stop short of the ends, so a nearer piece drawn over a farther
    one leaves no dark line across the road where they meet."""
    cols = colour if isinstance(colour, list) else [colour] * len(scr)
    for k in range(len(scr) - 1):
        (x0, y0), (x1, y1) = scr[k], scr[k + 1]
        n = math.hypot(x1 - x0, y1 - y0) or 1e-6
        nx, ny = -(y1 - y0) / n, (x1 - x0) / n
        a0, a1 = half[k] + extra, half[k + 1] + extra
        quad = [(x0 + nx * a0, y0 + ny * a0), (x1 + nx * a1, y1 + ny * a1),
                (x1 - nx * a1, y1 - ny * a1), (x0 - nx * a0, y0 - ny * a0)]
        draw.polygon([(u * SS, v * SS) for u, v in quad], fill=cols[k])
    along = np.concatenate([[0.0], np.cumsum(np.hypot(*np.diff(scr, axis=0).T))])
    for k in range(len(scr)):
        if extra and min(along[k], along[-1] - along[k]) < half[k] + extra + 0.5:
            continue
        r = (half[k] + extra) * SS
        x, y = scr[k] * SS
        draw.ellipse((x - r, y - r, x + r, y + r), fill=cols[min(k, len(scr) - 2)])


def flag(d, x, y, colour):
    """The maps' flag, in the section's colour, at (x, y) on the road."""
    k = SS
    ink = STRIP_INK
    d.line([(x * k, y * k), (x * k, (y - 26) * k)], fill=ink, width=round(2.6 * k))
    d.polygon([(x * k, (y - 26) * k), ((x + 18) * k, (y - 20.5) * k), (x * k, (y - 15) * k)], fill=colour, outline=ink)
    r = 6.0 * k
    d.ellipse((x * k - r, y * k - r, x * k + r, y * k + r), fill=colour, outline=(255, 255, 255), width=round(2.4 * k))


LABEL_PX = 22   # 11 px as shown at 96 DPI, as on the maps
LABEL_PAD = 4
LABEL_INK, LABEL_BACK = (255, 255, 255), STRIP_INK
MOST_LABELS = 4


def lap_corners(track):
    """(name, d) of every named corner of the 1967 lap, by its tightest point, the Südkehre too."""
    out = [(c.name, c.s_sharpest + g.SIM_OFFSET_M) for c in track.corners if c.s_sharpest >= g.NORDKEHRE_S]
    return sorted(out + [("Südkehre", track.pit.d_suedkehre)], key=lambda c: c[1])


def named_corners(track, name):
    """The corners a section's name names, in its order."""
    keys = {n: title_key(n) for n, _ in lap_corners(track)}
    return [n for w in (name or "").split("/") for n, k in keys.items() if k == title_key(w)]


def first_corner(track, name):
    """The corner a section's name begins with, if it is one."""
    named = named_corners(track, (name or "").split("/")[0])
    return named[0] if named else None


def corner_points(track, land, cam, grid, d0):
    """(name, metres after the deploy point, screen point) of the corners in sight: those ahead
    within the stretch framed and a little beyond, and any other in sight for the first corner of
    the section's name."""
    out = []
    for n, d in lap_corners(track):
        rel = (d - d0 + 3000) % g.SIM_LAP_M - 3000
        p = np.array([land_point(land, d)])
        (x, y), = cam.project(p)[0]
        depth = cam.project(p)[1][0]
        if depth < 5 or grid.hidden(cam, p)[0] or not (6 <= x <= W - 6 and 6 <= y <= H - 6):
            continue
        out.append((n, rel, (float(x), float(y))))
    return out


def text_size(n):
    f = font(COND_BOLD, LABEL_PX)
    box = f.getbbox(n)
    return (box[2] - box[0]) / SS + 2 * LABEL_PAD, LABEL_PX + 2


def overlap(a, b):
    return max(0, min(a[2], b[2]) - max(a[0], b[0])) * max(0, min(a[3], b[3]) - max(a[1], b[1]))


def box_hits_road(box, road_pts, margin=2.0):
    """Whether a box comes within margin of any road piece given as (x, y, half width)."""
    if len(road_pts) == 0:
        return False
    x, y, r = road_pts[:, 0], road_pts[:, 1], road_pts[:, 2] + margin
    gx = np.maximum(np.maximum(box[0] - x, x - box[2]), 0)
    gy = np.maximum(np.maximum(box[1] - y, y - box[3]), 0)
    return bool(np.any(gx * gx + gy * gy < r * r))


def flag_box(x, y):
    return (x - 8, y - 28, x + 20, y + 8)


def place_labels(corners, road_next, spot, bottom, named, ahead=AHEAD_M):
    """Puts corner labels one by one: the section's first corner first, the others of its name
    next, then those within `ahead` metres and a little beyond in order, each near its point
    where it covers the least road; a label must stay inside the picture above `bottom`, off the
    other labels, the flag and the road's next 200 m, or it is left out. Returns (name, point,
    box) per label placed."""
    first = named[0] if named else None
    wanted = [c for c in corners if c[0] == first]
    wanted += sorted((c for c in corners if c[0] in named[1:] and 40 <= c[1] <= ahead + 200), key=lambda c: c[1])
    wanted += sorted((c for c in corners if c[0] not in named and 40 <= c[1] <= ahead + 200), key=lambda c: c[1])
    taken = [flag_box(*spot)]
    placed = []
    for n, rel, (x, y) in wanted:
        if len(placed) == MOST_LABELS:
            break
        w, h = text_size(n)
        reach = (10, 18, 28, 40, 54, 70, 90) + ((115, 140) if n == first else ())
        best = None
        for dist in reach:
            for ang in range(0, 360, 15):
                ox, oy = math.cos(math.radians(ang)) * dist, -math.sin(math.radians(ang)) * dist
                bx = x + ox - w / 2 + math.copysign(min(abs(ox), w / 2), ox) * (abs(ox) > 3)
                by = y + oy - h / 2 + math.copysign(min(abs(oy), h / 2), oy) * (abs(oy) > 3)
                box = (bx, by, bx + w, by + h)
                if box[0] < 3 or box[2] > W - 3 or box[1] < 3 or box[3] > bottom - 3:
                    continue
                margin = (box[0] - 3, box[1] - 3, box[2] + 3, box[3] + 3)
                if any(overlap(margin, t) > 0 for t in taken) or box_hits_road(box, road_next):
                    continue
                cost = dist + sum(12 for _, _, (qx, qy) in corners if box[0] - 4 < qx < box[2] + 4 and box[1] - 4 < qy < box[3] + 4)
                if best is None or cost < best[0]:
                    best = (cost, box)
            if best and best[0] < dist + 10:
                break
        if best:
            taken.append(best[1])
            placed.append((n, (x, y), best[1]))
    return placed


def leader(draw, p, box):
    """The line from a label to its corner, and the corner's dot on the road."""
    x, y = p
    qx, qy = min(max(x, box[0]), box[2]), min(max(y, box[1]), box[3])
    if math.hypot(qx - x, qy - y) > 4:
        draw.line([(x * SS, y * SS), (qx * SS, qy * SS)], fill=(255, 255, 255), width=round(3.2 * SS))
        draw.line([(x * SS, y * SS), (qx * SS, qy * SS)], fill=LABEL_BACK, width=round(1.6 * SS))
    r = 3.6 * SS
    draw.ellipse((x * SS - r, y * SS - r, x * SS + r, y * SS + r), fill=LABEL_BACK, outline=(255, 255, 255),
                 width=round(1.4 * SS))


def label(img, n, box):
    """A corner's name on a dark plate, drawn at the picture's own size: crisp at 11 px."""
    big = Image.new("RGBA", (round((box[2] - box[0]) * SS), round((box[3] - box[1]) * SS)), (0, 0, 0, 0))
    d = ImageDraw.Draw(big)
    d.rounded_rectangle((0, 0, big.width - 1, big.height - 1), radius=4 * SS, fill=LABEL_BACK + (230,))
    d.text((big.width / 2, big.height / 2), n, font=font(COND_BOLD, LABEL_PX), fill=LABEL_INK, anchor="mm")
    small = big.resize((round(box[2] - box[0]), round(box[3] - box[1])), Image.LANCZOS)
    img.paste(small, (round(box[0]), round(box[1])), small)
    return img


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
BAND_LEFT, BAND_RIGHT, BAND_GAP = 18, 8, 12
# Where the two do not fit at full width, the km first and then the corner's name are drawn
# narrower (never lower, never cut), down to these shares of their width.
KM_NARROWEST, AHEAD_NARROWEST = 0.72, 0.8


def band_layout(ahead_w, km_w):
    """How wide the strip's two texts are drawn, from their full widths: (ahead, km) in pixels."""
    room = W - BAND_LEFT - BAND_RIGHT - BAND_GAP
    km = max(min(km_w, room - ahead_w), km_w * KM_NARROWEST)
    ahead = max(min(ahead_w, room - km), ahead_w * AHEAD_NARROWEST)
    return ahead, km


def band(img, track, d0, colour):
    """A strip along the bottom: what comes next, and where the view stands, in km. Returns the
    two texts with their boxes."""
    h = STRIP_H
    img.paste(Image.new("RGB", (W, h), STRIP_INK), (0, H - h))
    img.paste(Image.new("RGB", (10, h), colour), (0, H - h))
    f = font(COND_BOLD, BAND_PX)
    ahead, km = "→ " + ahead_text(track, d0), f"km {d0 / 1000:.2f}"
    wa, wk = band_layout(f.getlength(ahead) / SS, f.getlength(km) / SS)
    boxes = [(ahead, (BAND_LEFT, H - h, BAND_LEFT + wa, H)), (km, (W - BAND_RIGHT - wk, H - h, W - BAND_RIGHT, H))]
    for (text, box), ink in zip(boxes, ((255, 255, 255), (176, 190, 197))):
        full = Image.new("RGB", (round(f.getlength(text)) + 2 * SS, h * SS), STRIP_INK)
        ImageDraw.Draw(full).text((SS, h / 2 * SS), text, font=f, fill=ink, anchor="lm")
        part = full.resize((round(box[2] - box[0]) + 2, h), Image.LANCZOS)
        img.paste(part, (round(box[0]) - 1, H - h))
    return img, boxes
