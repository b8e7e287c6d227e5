"""The country round the 1967 lap as the views draw it: the lap sampled finely with its heights
drawn steeper, and a height field made from those heights alone (the data has no other terrain).

Beside the road the ground lies at the road's height; away from it, it rises or falls to the
heights of the road smoothed along the lap, so a stretch lying below its surroundings sits in a
valley and one above them on a crest. Forest or open land beside the road follows the list of open
stretches in geometry.py; far from the road, woods and fields alternate.
"""

import numpy as np

import geometry as g

STEP_M = 2.5        # the lap sampled this finely
# The heights are terrain smoothed over about 24 m and the views look from high above: every rise
# and fall is drawn this much steeper, or the valleys and crests would read as flat.
RELIEF = 3.0
SMOOTH_M = 350.0    # along the lap: what a stretch's surroundings lie at
VALLEY_M = 140.0    # how far from the road the ground reaches its surroundings' height
# Valleys deeper and crests higher than the smoothed heights say: a road in a valley has the
# valley's sides above it, which its own heights alone do not show.
VALLEY_GAIN = 2.0
CELL_M = 25.0       # the height field's grid
MARGIN_M = 3500.0   # the height field reaches this far beyond the lap
FOREST_GAP_M = 12.0  # the woods begin this far from the centre line, reaching full height 18 m on
CANOPY_M = 16.0
HOLLOW_M = 220.0    # the reach of the country a valley floor is compared with


def noise2(x, y, seed, cell=60.0):
    """Smooth value noise in [0, 1] on a lattice of `cell` metres."""
    def h(i, j):
        v = np.sin(i * 127.1 + j * 311.7 + seed * 74.7) * 43758.5453
        return v - np.floor(v)
    gx, gy = np.asarray(x) / cell, np.asarray(y) / cell
    i, j = np.floor(gx), np.floor(gy)
    fx, fy = gx - i, gy - j
    fx, fy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    a, b, c, d = h(i, j), h(i + 1, j), h(i, j + 1), h(i + 1, j + 1)
    return a + (b - a) * fx + (c - a) * fy + (a - b - c + d) * fx * fy


def smoothstep(t):
    t = np.clip(t, 0.0, 1.0)
    return t * t * (3 - 2 * t)


class Land:
    """The lap every STEP_M (d, x, y, z drawn steeper, open or forest) and the ground round it."""

    def __init__(self, track):
        self.d = np.arange(0.0, g.SIM_LAP_M, STEP_M)
        self.x, self.y, z = lap_xyz(track, self.d)
        self.z_ref = float(np.mean(track.z))
        self.z = self.z_ref + (z - self.z_ref) * RELIEF
        # The pit loop ran through open ground.
        self.open = np.array([True if s is None else track.is_open(s) for s in map(g.d_to_s, self.d)])
        self.z_around = circular_smooth(self.z, SMOOTH_M / STEP_M)
        self._grid()

    def at(self, d):
        """(x, y, z) of the lap at d (arrays), wrapping round the lap."""
        d = np.mod(d, g.SIM_LAP_M)
        dd = np.append(self.d, g.SIM_LAP_M)
        return tuple(np.interp(d, dd, np.append(a, a[0])) for a in (self.x, self.y, self.z))

    def _grid(self):
        """Heights on a CELL_M grid, from every 8th lap point by inverse distance."""
        k = slice(None, None, 8)
        px, py, pz, pa = self.x[k], self.y[k], self.z[k], self.z_around[k]
        self.x0, self.y0 = px.min() - MARGIN_M, py.min() - MARGIN_M
        nx = int((px.max() + MARGIN_M - self.x0) / CELL_M) + 2
        ny = int((py.max() + MARGIN_M - self.y0) / CELL_M) + 2
        gx = self.x0 + np.arange(nx) * CELL_M
        gy = self.y0 + np.arange(ny) * CELL_M
        zr = np.empty((ny, nx))
        za = np.empty((ny, nx))
        dist = np.empty((ny, nx))
        near = np.empty((ny, nx), dtype=int)
        for j in range(ny):
            dx = gx[:, None] - px[None, :]
            dy = gy[j] - py[None, :]
            d2 = dx * dx + dy * dy
            w = 1.0 / (d2 + 900.0) ** 1.5
            ws = w.sum(axis=1)
            zr[j] = (w @ pz) / ws
            za[j] = (w @ pa) / ws
            m = np.argmin(d2, axis=1)
            dist[j] = np.sqrt(d2[np.arange(nx), m])
            near[j] = m * 8
        self.height_grid = zr + (za - zr) * VALLEY_GAIN * smoothstep((dist - 10.0) / VALLEY_M)
        self.dist_grid = dist
        self.near_grid = near
        # How far the ground lies below the country round it: valley floors are shaded by it.
        self.hollow_grid = self.height_grid - blur(self.height_grid, HOLLOW_M / CELL_M)

    def _sample(self, grid, x, y):
        fx = np.clip((np.asarray(x) - self.x0) / CELL_M, 0, grid.shape[1] - 1.001)
        fy = np.clip((np.asarray(y) - self.y0) / CELL_M, 0, grid.shape[0] - 1.001)
        i, j = np.floor(fx).astype(int), np.floor(fy).astype(int)
        tx, ty = fx - i, fy - j
        a, b = grid[j, i], grid[j, i + 1]
        c, d = grid[j + 1, i], grid[j + 1, i + 1]
        return (a * (1 - tx) + b * tx) * (1 - ty) + (c * (1 - tx) + d * tx) * ty

    def height(self, x, y):
        return self._sample(self.height_grid, x, y)

    def hollow(self, x, y):
        """Metres the ground lies below (negative) or above the country round it."""
        return self._sample(self.hollow_grid, x, y)

    def near(self, x, y):
        """Per point: distance to the lap and the index of its nearest lap point; exact within
        100 m of the road, where the grid's nearest point is looked round for the nearest of all."""
        x, y = np.asarray(x, float), np.asarray(y, float)
        dist = np.maximum(self._sample(self.dist_grid, x, y), 100.0)
        idx = self._nearest(x, y)
        close = np.flatnonzero(self._sample(self.dist_grid, x, y) < 120.0)
        ks = (idx[close, None] + np.arange(-24, 25)[None, :]) % len(self.d)
        d2 = (x[close, None] - self.x[ks]) ** 2 + (y[close, None] - self.y[ks]) ** 2
        m = np.argmin(d2, axis=1)
        dist[close] = np.sqrt(d2[np.arange(len(close)), m])
        idx[close] = ks[np.arange(len(close)), m]
        return dist, idx

    def _nearest(self, x, y):
        i = np.clip(np.round((x - self.x0) / CELL_M).astype(int), 0, self.near_grid.shape[1] - 1)
        j = np.clip(np.round((y - self.y0) / CELL_M).astype(int), 0, self.near_grid.shape[0] - 1)
        return self.near_grid[j, i]

    def forest(self, x, y, dist, idx):
        """Canopy height over the ground per point: forest beside the road where the lap runs
        through woods, woods and fields alternating far from it; cut back along the road and
        thinning towards it, so the road runs through a clearing, not a trench."""
        by_road = np.where(self.open[idx], 0.0, 1.0)
        wild = smoothstep((noise2(x, y, 9, 240.0) + 0.25 * noise2(x, y, 4, 70.0) - 0.70) / 0.08)
        far_w = smoothstep((dist - 150.0) / 250.0)
        woods = by_road * (1 - far_w) + wild * far_w
        edge = smoothstep((dist - FOREST_GAP_M) / 18.0)
        return CANOPY_M * (0.85 + 0.3 * noise2(x, y, 3, 25.0)) * edge * smoothstep((woods - 0.3) / 0.4)


def hash2(i, j, seed):
    """A repeatable number in [0, 1) per integer lattice point."""
    v = np.sin(np.asarray(i) * 127.1 + np.asarray(j) * 311.7 + seed * 74.7) * 43758.5453
    return v - np.floor(v)


FARM_M = 520.0   # the farms' blocks of fields, each ploughed its own way


def parcels(x, y):
    """The fields of open land: per point a number in [0, 1) naming its field and the metres to
    the field's nearest edge. The country is cut into irregular blocks (round jittered points
    FARM_M apart), each cut into strips of its own width and direction, and the strips into
    fields of their own lengths: the patchwork of the Eifel's farmland seen from above."""
    x, y = np.asarray(x, float), np.asarray(y, float)
    ci, cj = np.floor(x / FARM_M), np.floor(y / FARM_M)
    best = np.full(x.shape, np.inf)
    second = np.full(x.shape, np.inf)
    bi, bj = np.zeros(x.shape), np.zeros(x.shape)
    for di in (-1, 0, 1):
        for dj in (-1, 0, 1):
            i, j = ci + di, cj + dj
            sx = (i + 0.15 + 0.7 * hash2(i, j, 21)) * FARM_M
            sy = (j + 0.15 + 0.7 * hash2(i, j, 22)) * FARM_M
            d = np.hypot(x - sx, y - sy)
            closer = d < best
            second = np.where(closer, best, np.minimum(second, d))
            best = np.where(closer, d, best)
            bi, bj = np.where(closer, i, bi), np.where(closer, j, bj)
    ang = np.pi * hash2(bi, bj, 23)
    u = x * np.cos(ang) + y * np.sin(ang)
    v = -x * np.sin(ang) + y * np.cos(ang)
    width = 45.0 + 55.0 * hash2(bi, bj, 24)
    iu = np.floor(u / width)
    length = 110.0 + 190.0 * hash2(iu, bi * 7 + bj, 25)
    vs = v + length * hash2(iu, bj * 7 + bi, 26)
    iv = np.floor(vs / length)
    fu, fv = u / width - iu, vs / length - iv
    edge = np.minimum.reduce([np.minimum(fu, 1 - fu) * width, np.minimum(fv, 1 - fv) * length, (second - best) / 2])
    return hash2(iu + 31 * bi, iv + 17 * bj, 27), edge


def lap_xyz(track, ds):
    """(x, y, z) arrays of the 1967 lap at the distances ds: the data's loop, and the hand-drawn
    pit loop, whose height runs evenly from one end of the data to the other."""
    ds = np.mod(np.asarray(ds, float), g.SIM_LAP_M)
    pit = track.pit
    dp = np.where(ds >= g.SIM_LAP_M + pit.d_start, ds - g.SIM_LAP_M, ds)
    on_pit = dp < pit.d_end
    x, y, z = track.at(ds - g.SIM_OFFSET_M)
    z_a, z_b = float(track.at(0.0)[2]), float(track.at(g.NORDKEHRE_S)[2])
    t = (dp - pit.d_start) / (pit.d_end - pit.d_start)
    x = np.where(on_pit, np.interp(dp, pit.d, pit.xy[:, 0]), x)
    y = np.where(on_pit, np.interp(dp, pit.d, pit.xy[:, 1]), y)
    z = np.where(on_pit, z_a + (z_b - z_a) * t, z)
    return x, y, z


def blur(a, sigma):
    """A 2-D array smoothed by a Gaussian of sigma cells, its edges held."""
    n = int(3 * sigma)
    k = np.exp(-0.5 * (np.arange(-n, n + 1) / sigma) ** 2)
    k /= k.sum()
    for axis in (0, 1):
        pad = [(0, 0), (0, 0)]
        pad[axis] = (n, n)
        a = np.apply_along_axis(lambda r: np.convolve(r, k, mode="valid"), axis, np.pad(a, pad, mode="edge"))
    return a


def circular_smooth(v, sigma):
    """v smoothed by a Gaussian of sigma samples, round the closed lap."""
    n = int(3 * sigma)
    k = np.exp(-0.5 * (np.arange(-n, n + 1) / sigma) ** 2)
    k /= k.sum()
    padded = np.concatenate([v[-n:], v, v[:n]])
    return np.convolve(padded, k, mode="valid")
