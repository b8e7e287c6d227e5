"""The Nordschleife as the pictures need it: the surveyed loop from centreline.csv and corners.csv
(OpenStreetMap, see NOTICE.md), the corners under their 1967 names (period_names.csv, ours), the
simulator's distances mapped onto it, and the 1967 pit loop, which the data does not have, drawn by
hand.

Distances: `s` is metres along the data's loop (s = 0 at the T13 entry after Hohenrain); `d` is
the simulator's metres along its 1967 lap, whose start/finish line lies on the old pit straight.
"""
import csv
import math
import os

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))

# The simulator's lap and its fit onto the data: s ~ d - 1400 m. A fit, not a survey.
SIM_LAP_M = 22800.0
SIM_OFFSET_M = 1400.0
# The old lap leaves the data where T13 begins and rejoins it at the Nordkehre.
NORDKEHRE_S = 228.3

# Where the surroundings are open fields rather than forest, in s. The data carries no land
# cover, so this list is ours, from maps of the circuit: start area, Quiddelbach to Schwedenkreuz,
# the Breidscheid valley, Pflanzgarten's meadows, Galgenkopf along the Döttinger Höhe, Tiergarten.
OPEN_STRETCHES = [(0, 420), (1950, 3450), (7700, 8250), (14950, 15650), (16950, 19350), (20050, 20786)]


class Corner:
    def __init__(self, row):
        self.name = row["name"]
        self.s = float(row["s_m"])
        self.s_end = float(row["s_end_m"])
        self.s_sharpest = float(row["s_sharpest_m"])
        self.turn = row["turn"]


def period_names(folder=HERE):
    """{today's name: its 1967 name, or "" where it had none} for corners named after 1967."""
    with open(os.path.join(folder, "period_names.csv"), newline="", encoding="utf-8") as f:
        return {r["name"]: r["name_1967"] for r in csv.DictReader(f)}


def in_1967(corners, names):
    """The corners as a driver of 1967 knew them: renamed, and those without a name left out."""
    stale = set(names) - {c.name for c in corners}
    if stale:
        # A renamed or respelt corner in new data would otherwise slip back onto the maps.
        raise ValueError(f"period_names.csv names corners that corners.csv lacks: {', '.join(sorted(stale))}")
    for c in corners:
        c.name = names.get(c.name, c.name)
    return [c for c in corners if c.name]


class Track:
    """The data's loop: arrays of s, x (east), y (north), z (height), and the named corners."""

    def __init__(self, folder=HERE):
        with open(os.path.join(folder, "centreline.csv"), newline="", encoding="utf-8") as f:
            rows = list(csv.DictReader(f))
        self.s = np.array([float(r["s_m"]) for r in rows])
        self.x = np.array([float(r["x_east_m"]) for r in rows])
        self.y = np.array([float(r["y_north_m"]) for r in rows])
        self.z = np.array([float(r["elev_m"]) for r in rows])
        self.lat = np.array([float(r["lat"]) for r in rows])
        self.lon = np.array([float(r["lon"]) for r in rows])
        # The last point lies a few metres short of the first: the gap closes the loop.
        self.length = float(self.s[-1]) + self.closing_gap()
        with open(os.path.join(folder, "corners.csv"), newline="", encoding="utf-8") as f:
            self.corners = in_1967([Corner(r) for r in csv.DictReader(f)], period_names(folder))
        self.pit = PitLoop(self)

    def closing_gap(self):
        return math.hypot(self.x[0] - self.x[-1], self.y[0] - self.y[-1])

    def at(self, s):
        """(x, y, z) at s metres, wrapping round the loop; s may be an array."""
        s = np.mod(s, self.length)
        ss = np.append(self.s, self.length)
        return tuple(np.interp(s, ss, np.append(a, a[0])) for a in (self.x, self.y, self.z))

    def heading(self, s, ahead=10.0):
        """Unit vector (east, north) of the direction of travel at s."""
        x0, y0, _ = self.at(s - ahead / 2)
        x1, y1, _ = self.at(s + ahead / 2)
        n = math.hypot(x1 - x0, y1 - y0)
        return (x1 - x0) / n, (y1 - y0) / n

    def is_open(self, s):
        s = s % self.length
        return any(a <= s < b for a, b in OPEN_STRETCHES)

    def corners_between(self, s0, s1):
        """Corners whose tightest point lies in [s0, s1), in driving order; s1 may pass the lap's end."""
        out = []
        for lap in (0.0, self.length):
            out += [c for c in self.corners if s0 <= c.s_sharpest + lap < s1]
        return out

    def polyline(self, s0, s1, step=5.0):
        """Points (x, y) from s0 to s1 along the data's loop."""
        n = max(2, int(math.ceil((s1 - s0) / step)) + 1)
        x, y, _ = self.at(np.linspace(s0, s1, n))
        return np.column_stack([x, y])


class PitLoop:
    """The 1967 start/finish straight, Südkehre and the road behind the pits, drawn by hand.

    It was torn down in the early 1980s and is not in the data. Its shape is schematic: a straight
    on from the T13 entry, a right-hand hairpin, and a straight back alongside to the Nordkehre.
    Its length is whatever the simulator's lap leaves between the two ends of the data.
    """

    SEPARATION_M = 90.0  # between the pit straight and the road behind the pits

    def __init__(self, track):
        self.d_start = track.length + SIM_OFFSET_M - SIM_LAP_M  # negative: before start/finish
        self.d_end = NORDKEHRE_S + SIM_OFFSET_M
        length = self.d_end - self.d_start
        x0, y0, z0 = (float(v) for v in track.at(0.0))
        ux, uy = track.heading(-10.0, 20.0)
        nx, ny = uy, -ux  # right of the direction of travel: the pits lay inside the loop
        xk, yk, zk = (float(v) for v in track.at(NORDKEHRE_S))
        r = self.SEPARATION_M / 2
        # Out and back with equal straights, sized so the whole loop has the length it needs.
        back_join = math.hypot(xk - (x0 + nx * 2 * r), yk - (y0 + ny * 2 * r))
        leg = (length - math.pi * r - back_join) / 2
        pts = [(x0, y0)]
        for t in np.linspace(0, leg, 40)[1:]:
            pts.append((x0 + ux * t, y0 + uy * t))
        cx, cy = x0 + ux * leg + nx * r, y0 + uy * leg + ny * r
        apex = len(pts) + 11
        for a in np.linspace(0, math.pi, 25)[1:]:
            # Right-hand hairpin: from the straight's end round to the road behind the pits.
            pts.append((cx - nx * r * math.cos(a) + ux * r * math.sin(a),
                        cy - ny * r * math.cos(a) + uy * r * math.sin(a)))
        for t in np.linspace(0, leg, 40)[1:]:
            pts.append((cx + nx * r - ux * t, cy + ny * r - uy * t))
        pts.append((xk, yk))
        self.xy = np.array(pts)
        seg = np.hypot(*np.diff(self.xy, axis=0).T)
        self.d = self.d_start + np.concatenate([[0], np.cumsum(seg)]) * length / seg.sum()
        self.z = z0
        self.d_suedkehre = float(self.d[apex])

    def at(self, d):
        return (float(np.interp(d, self.d, self.xy[:, 0])), float(np.interp(d, self.d, self.xy[:, 1])), self.z)


def d_to_s(d):
    """The data's s for the simulator's d, or None where d lies on the hand-drawn pit loop."""
    d = d % SIM_LAP_M
    s = d - SIM_OFFSET_M
    if s < NORDKEHRE_S:
        return None if d < NORDKEHRE_S + SIM_OFFSET_M else s
    return s


def lap_point(track, d):
    """(x, y, z) on the 1967 lap at the simulator's distance d."""
    d = d % SIM_LAP_M
    if d >= SIM_LAP_M + track.pit.d_start:
        d -= SIM_LAP_M
    if d < track.pit.d_end:
        return track.pit.at(d)
    x, y, z = track.at(d - SIM_OFFSET_M)
    return float(x), float(y), float(z)


def lap_polyline(track, d0, d1, step=5.0):
    """Points (x, y) of the 1967 lap from d0 to d1 (d1 > d0, possibly past the lap's end)."""
    n = max(2, int(math.ceil((d1 - d0) / step)) + 1)
    return np.array([lap_point(track, d)[:2] for d in np.linspace(d0, d1, n)])


def section_corners(track, d0, d1):
    """(name, d of its tightest point, surveyed) for the corners a section from d0 to d1 covers.

    The T13 link is not part of the old lap; the Südkehre is, but only as drawn by hand.
    """
    s0 = max(d0 - SIM_OFFSET_M, NORDKEHRE_S)
    s1 = min(d1 - SIM_OFFSET_M, track.length)
    out = [(c.name, c.s_sharpest + SIM_OFFSET_M, True) for c in track.corners_between(s0, s1)]
    sued = track.pit.d_suedkehre
    for d in (sued, sued + SIM_LAP_M):
        if d0 <= d < d1:
            out.insert(0, ("Südkehre", d, False))
    return out
