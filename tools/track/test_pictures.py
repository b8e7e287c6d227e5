"""Checks of how the pictures are laid out, not of their pixels: the views look the way the road
bends, the maps are north up, and the map labels stay inside the box and clear of each other."""
import glob
import math
import os
import re
import sys
import tempfile
import unittest

import numpy as np
from PIL import Image, ImageColor

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import blick  # noqa: E402
import geometry as g  # noqa: E402
import karte  # noqa: E402
import maproad  # noqa: E402
import terrain  # noqa: E402
from style import COND_BOLD, SS, font, wrap_after_slashes  # noqa: E402
from test_geometry import ROOT, deploy_d, script_sections  # noqa: E402


def picture_rows():
    """(index, name, d0, d1, colour) per section, as tools/make-data.sh hands them to render.py."""
    with open(os.path.join(ROOT, "tools", "make-data.sh"), encoding="utf-8") as f:
        text = f.read()
    rows = re.findall(r'^\s+"[^"|]+\|([^|]*)\|[^|]*\|stall_0 = ([0-9.]+)[^|]*\|(#[0-9a-f]{6})"', text, re.M)
    ds = [float(d) for _, d, _ in rows] + [g.SIM_LAP_M]
    return [(i, name, ds[i], ds[i + 1], c) for i, (name, _, c) in enumerate(rows)]


def section_ranges():
    rows = script_sections()
    ds = [deploy_d(line) for _, line in rows] + [g.SIM_LAP_M]
    return [(name, ds[i], ds[i + 1]) for i, (name, _) in enumerate(rows)]


# Two views whose roads, point for point along the lap, lie this close on the screen on average
# (pixels of the 418 x 306 picture, 4 % of its width) show the same road: near-duplicates.
DUPLICATE_PX = 15.0


def road_apart(a, b):
    """Mean screen distance between two views' roads ahead, taken at the same metres along it."""
    return float(np.mean(np.hypot(*(a.centreline - b.centreline).T)))


def near_duplicates(layouts):
    return [(m, n) for i, (m, a) in enumerate(layouts) for n, b in layouts[i + 1:] if road_apart(a, b) < DUPLICATE_PX]


class Views(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.track = g.Track()
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "b.jpg")
            cls.shown = [(name, blick.render(cls.track, d0, "#3949ab", path, 1000 + i, name=name))
                         for i, (name, d0, _) in enumerate(section_ranges())]
            # The views for drivers' own points: labels, no strip.
            cls.shown += [(f"lap {d}", blick.render(cls.track, d, "#3949ab", path, d, strip=False)) for d in (4000, 14250)]
            cls.blind = []
            for i, (name, d0, _) in enumerate(section_ranges()):
                cls.blind.append((name, blick.render(cls.track, d0, "#3949ab", path, 1000 + i, name=name, text=False)))
                if i == 1:
                    with Image.open(path) as img:
                        bottom = np.asarray(img.convert("RGB"))[-20:].reshape(-1, 3).astype(int)
                    # A strip is most of its pixels in its ink; dark woods are some of theirs.
                    cls.blind_strip = float(np.mean(np.abs(bottom - blick.STRIP_INK).sum(axis=1) < 30))
            # Two sections drawn from one point, whatever else differs, are the same view.
            d1 = section_ranges()[1][1]
            cls.twin = ("Flugplatz twice", blick.render(cls.track, d1, "#e53935", path, 7, name="Twin", text=False))

    def test_road_ahead_appears_on_the_side_it_bends_to(self):
        # A mirrored camera would show every bend the wrong way round.
        land = blick.land_of(self.track)
        for name, d0, _ in section_ranges():
            cam = blick.place_camera(land, d0)
            for ahead in (150, 400, 800):
                with self.subTest(name, ahead=ahead):
                    p = np.array([blick.land_point(land, d0 + ahead)])
                    (sx, _), = cam.project(p)[0]
                    right_of_view = (p[0] - cam.pos) @ cam.r
                    if abs(right_of_view) > 3:
                        self.assertEqual(sx > blick.W / 2, right_of_view > 0)

    def test_every_framing_puts_the_deploy_point_where_the_flag_goes_seen_at_its_angle(self):
        land = blick.land_of(self.track)
        # Each stretch framed its own way, from where it begins, and a view framed plainly.
        cases = [(a, f) for a, _, f in blick.FRAMINGS] + [(3100.0, blick.framing(3100.0))]
        for d0, fr in cases:
            with self.subTest(d0=d0):
                self.assertEqual(vars(blick.framing(d0)), vars(fr))
                cam = blick.place_camera(land, d0)
                p0 = np.array(blick.land_point(land, d0))
                (x, y), = cam.project([p0])[0]
                self.assertAlmostEqual(x, blick.W / 2, delta=0.5)
                self.assertAlmostEqual(y, blick.DEPLOY_Y, delta=0.5)
                v = p0 - cam.pos
                self.assertAlmostEqual(math.atan2(-v[2], math.hypot(v[0], v[1])), fr.depression, places=6)
                self.assertGreaterEqual(math.hypot(v[0], v[1]), fr.nearest - 1e-6)

    def test_point_ahead_and_above_projects_above_the_horizon_in_the_middle(self):
        cam = blick.Camera((0, 0, 0), (0.0, 1.0), 0.0)
        (x, y), = cam.project([[0, 100, 10]])[0]
        self.assertAlmostEqual(x, blick.W / 2)
        self.assertLess(y, cam.horizon)

    def test_labels_are_readable_in_the_picture_and_on_nothing_else(self):
        def pairs(labels):
            return [(a[0], b[0]) for i, a in enumerate(labels) for b in labels[i + 1:] if blick.overlap(a[2], b[2]) > 0]

        def unnamed(name, lay):
            # The corner a section is named after keeps its label wherever it is in sight.
            first = blick.first_corner(self.track, name if not name.startswith("lap") else None)
            return [first] if first in lay.in_sight and first not in [n for n, _, _ in lay.labels] else []

        cases = [
            ("text smaller than the minimum", lambda name, lay: [n for n, px, _ in lay.labels if px < blick.LABEL_PX]),
            ("label outside the picture or on the strip", lambda name, lay: [
                n for n, _, b in lay.labels if not (0 <= b[0] and b[2] <= blick.W and 0 <= b[1] and b[3] <= lay.bottom)]),
            ("labels on each other", lambda name, lay: pairs(lay.labels)),
            ("label on the road's next 200 m", lambda name, lay: [
                n for n, _, b in lay.labels if blick.box_hits_road(b, lay.road_next, margin=0.0)]),
            ("label on the flag", lambda name, lay: [n for n, _, b in lay.labels if blick.overlap(b, lay.flag) > 0]),
            ("first corner of the section's name unlabelled", unnamed),
        ]
        for what, offenders in cases:
            for name, lay in self.shown:
                with self.subTest(what=what, view=name):
                    self.assertEqual(offenders(name, lay), [])
        self.assertGreater(sum(len(lay.labels) for _, lay in self.shown), 2 * len(self.shown), "hardly any labels")

    def test_strip_always_names_the_next_corner_and_the_km(self):
        f = font(COND_BOLD, blick.BAND_PX)
        km = f.getlength("km 22.80") / SS
        # Any corner's name with the longest distance fits beside the km, narrowed at most so far.
        for n, _ in blick.lap_corners(self.track):
            with self.subTest(corner=n):
                ahead = f.getlength(f"→ {n} in 950 m") / SS
                wa, wk = blick.band_layout(ahead, km)
                self.assertLessEqual(blick.BAND_LEFT + wa + blick.BAND_GAP + wk + blick.BAND_RIGHT, blick.W + 1e-9)
                self.assertGreaterEqual(wa, ahead * blick.AHEAD_NARROWEST - 1e-9)
        for name, lay in self.shown:
            if lay.strip:
                with self.subTest(view=name):
                    (ahead, a), (km, b) = lay.strip_texts
                    self.assertTrue(ahead.startswith("→ ") and " in " in ahead and km.startswith("km "), (ahead, km))
                    self.assertTrue(0 <= a[0] and a[2] + blick.BAND_GAP - 0.5 <= b[0] and b[2] <= blick.W)

    def test_strip_narrows_the_km_first_then_the_corner_and_never_widens(self):
        room = blick.W - blick.BAND_LEFT - blick.BAND_RIGHT - blick.BAND_GAP
        km = 90.0
        least = km * blick.KM_NARROWEST
        cases = [
            ("both fit", 200.0, (200.0, km)),
            ("km narrowed", room - 80.0, (room - 80.0, 80.0)),
            ("km at its narrowest, corner narrowed", room - 40.0, (room - least, least)),
        ]
        for what, ahead, want in cases:
            with self.subTest(what):
                np.testing.assert_allclose(blick.band_layout(ahead, km), want)

    def test_woods_stand_back_from_the_road_and_open_land_stays_open(self):
        land = blick.land_of(self.track)
        for name, d0, _ in section_ranges():
            cam = blick.place_camera(land, d0)
            grid = blick.Grid(land, cam, d0)
            crowns = blick.tree_crowns(land, cam, grid)
            with self.subTest(name):
                self.assertGreater(crowns.dist.min(), terrain.FOREST_GAP_M, "a tree on the road")
                # Crowns per cell of ground within 150 m of the road, beside open and wooded stretches.
                beside = crowns.dist < 150
                cells = grid.dist < 150
                per_cell = {}
                for open_ in (True, False):
                    n = np.sum(cells & (land.open[grid.idx] == open_))
                    per_cell[open_] = np.sum(beside & (land.open[crowns.idx] == open_)) / n if n >= 300 else None
                if per_cell[True] is not None and per_cell[False] is not None:
                    self.assertLess(per_cell[True], 0.5 * per_cell[False])

    def test_corners_of_the_sections_name_in_the_stretch_framed_are_in_sight(self):
        for name, lay in self.shown[:len(section_ranges())]:
            d0 = next(d for n, d, _ in section_ranges() if n == name)
            ahead = blick.framing(d0).ahead
            named = dict(blick.lap_corners(self.track))
            for n in blick.named_corners(self.track, name):
                if 0 < (named[n] - d0) % g.SIM_LAP_M <= ahead:
                    with self.subTest(view=name, corner=n):
                        self.assertIn(n, lay.in_sight)

    def test_views_without_text_are_no_two_alike(self):
        for name, lay in self.blind:
            with self.subTest(name):
                self.assertEqual((lay.labels, lay.strip), ([], False))
        self.assertLess(self.blind_strip, 0.45, "the strip is drawn")
        cases = [
            ("the sections", self.blind, []),
            ("two sections drawn from one point", [self.blind[1], self.twin], [(self.blind[1][0], self.twin[0])]),
        ]
        for what, layouts, alike in cases:
            with self.subTest(what):
                self.assertEqual(near_duplicates(layouts), alike)


class Country(unittest.TestCase):
    def test_fields_have_edges_where_one_field_meets_the_next(self):
        # Hedges stand on the edges: an edge must be near wherever the field changes.
        x, y = np.meshgrid(np.arange(0.0, 1500.0, 2.0), np.arange(-700.0, 800.0, 2.0))
        kind, edge = terrain.parcels(x, y)
        change = (kind[:, 1:] != kind[:, :-1])
        self.assertGreater(len(np.unique(kind)), 80, "hardly any fields")
        self.assertLess(max(edge[:, 1:][change].max(), edge[:, :-1][change].max()), 2.5)
        self.assertGreater(np.median(edge), 8.0, "edges everywhere")
        self.assertGreater(np.ptp(np.searchsorted(blick.FIELD_SHARE, kind)), 3, "fields of one kind")

    def test_sections_name_their_corners_in_the_names_order(self):
        track = g.Track()
        cases = [
            ("Fuchsroehre/Adenauer Forst", ["Fuchsröhre", "Adenauer Forst"]),
            ("Ex-Muehle/Bergwerk", ["Exmühle", "Bergwerk"]),
            ("Metzgesfeld/Kallenhard/Wehrseifen", ["Metzgesfeld", "Kallenhard", "Wehrseifen"]),
            ("Pitlane", []),
            (None, []),
        ]
        for name, corners in cases:
            with self.subTest(name):
                self.assertEqual(blick.named_corners(track, name), corners)
                self.assertEqual(blick.first_corner(track, name), corners[0] if corners else None)


class Maps(unittest.TestCase):
    def test_view_is_north_up_and_not_mirrored(self):
        v = karte.View(np.array([[0.0, 0.0], [100.0, 100.0]]), (0, 0, 200, 200), 0)
        (ex, ey), (nx, ny) = v(np.array([[100.0, 50.0], [50.0, 100.0]]))
        self.assertGreater(ex, 100)  # east is right
        self.assertLess(ny, 100)     # north is up

    def test_labels_are_readable_inside_the_map_and_on_nothing_else(self):
        # Shown halved at 96 DPI, text drawn under LABEL_PX is too small to read.
        def pairs(boxes):
            return [(a, b) for i, a in enumerate(boxes) for b in boxes[i + 1:] if karte.overlap(a[1], b[1]) > 0]
        track = g.Track()

        def unnamed(name, lay):
            # Where not all labels fit, the corners the section is named after keep theirs.
            shown = {karte.title_key(n) for n, _ in lay.labels}
            wanted = {karte.title_key(w) for w in name.split("/")} & {karte.title_key(c.name) for c in track.corners}
            return sorted(wanted - shown)

        cases = [
            ("text smaller than the minimum", lambda name, lay: [t for t in lay.texts if t[1] < karte.LABEL_PX - 0.01]),
            ("label outside the map area", lambda name, lay: [
                n for n, b in lay.labels
                if not (lay.area[0] <= b[0] and b[2] <= lay.area[2] and lay.area[1] <= b[1] and b[3] <= lay.area[3])]),
            ("label on a mark", lambda name, lay: [
                (n, m) for n, b in lay.labels for m, mb in lay.marks if karte.overlap(b, mb) > 0]),
            ("labels on each other", lambda name, lay: pairs(lay.labels)),
            ("corner of the section's name unlabelled", unnamed),
        ]
        with tempfile.TemporaryDirectory() as tmp:
            layouts = [(name, karte.draw(track, name, "#3949ab", d0, d1, os.path.join(tmp, "k.jpg")))
                       for name, d0, d1 in section_ranges()]
        for what, offenders in cases:
            for name, lay in layouts:
                with self.subTest(what=what, section=name):
                    self.assertEqual(offenders(name, lay), [])

    def test_maps_name_corners_as_they_were_in_1967(self):
        # The help page's corner column is the covered part of the same labels.
        track = g.Track()
        shown = set()
        for name, d0, d1 in section_ranges():
            covered, extra = karte.labelled_corners(track, name, d0, d1)
            shown |= {n for n, _, _ in covered + extra}
        cases = [("Sabine-Schmitz-Kurve", "Nordkehre"), ("Lauda-Links", None), ("Stefan-Bellof-S", None),
                 ("T13", None)]
        for today, in_1967 in cases:
            with self.subTest(today):
                self.assertNotIn(today, shown)
                if in_1967:
                    self.assertIn(in_1967, shown)
        self.assertIn("Bergwerk", shown, "names given before 1967 stay")


class MapRoads(unittest.TestCase):
    def test_fnv1a64_gives_the_published_values(self):
        for data, want in ((b"", 0xCBF29CE484222325), (b"a", 0xAF63DC4C8601EC8C), (b"foobar", 0x85944171F73967E8)):
            with self.subTest(data=data):
                self.assertEqual(maproad.fnv1a64(data), want)

    def test_each_map_has_a_road_file_that_follows_its_road(self):
        colours = {int(i): c for i, _, _, _, c in picture_rows()}
        maps = sorted(glob.glob(os.path.join(ROOT, "data", "karte*.jpg")))
        self.assertEqual(len(maps), len(colours))
        for path in maps:
            i = int(os.path.basename(path)[5:-4])
            with self.subTest(os.path.basename(path)):
                width, height, digest, colour, runs = maproad.read(path[:-4] + ".road")
                with open(path, "rb") as f:
                    data = f.read()
                with Image.open(path) as f:
                    img = f.convert("RGB")
                self.assertEqual((width, height, digest, colour), img.size + (maproad.fnv1a64(data), colours[i]))
                self.assertTrue(runs and all(len(r) > 0 for r in runs))
                pts = np.array([p for r in runs for p in r])
                self.assertTrue(np.all((pts[:, 0] >= 0) & (pts[:, 0] < g.SIM_LAP_M)))
                self.assertTrue(np.all((pts[:, 1] >= 0) & (pts[:, 1] < width) & (pts[:, 2] >= 0) & (pts[:, 2] < height)))
                for r in runs:
                    steps = np.diff(np.array(r)[:, 0])
                    self.assertTrue(np.all((steps > 0) & (steps <= 10)), "a run's points out of order or too far apart")
                # Sampled points lie on a road as drawn: the section's colour, the grey of the rest of
                # the lap or the white casing, within 2 px. Labels, the flag and the pit loop's dashes
                # cover a few.
                px = np.asarray(img).astype(int)
                inks = np.array([karte.GREY_ROAD, ImageColor.getrgb(colour), (255, 255, 255)])
                sample = pts[::25]
                on = 0
                for _, x, y in sample:
                    x0, y0 = int(round(x)), int(round(y))
                    patch = px[max(y0 - 2, 0):y0 + 3, max(x0 - 2, 0):x0 + 3].reshape(-1, 1, 3)
                    on += bool(np.any(np.abs(patch - inks[None]).sum(axis=2) < 45))
                self.assertGreater(on / len(sample), 0.9)


class LapViews(unittest.TestCase):
    def test_a_view_for_every_250_m_of_the_lap(self):
        shipped = sorted(os.listdir(os.path.join(ROOT, "data", "lap")))
        self.assertEqual(shipped, sorted(f"blick{d}.jpg" for d in range(1750, 22001, 250)))
        for name in shipped[::20]:
            with self.subTest(name):
                with Image.open(os.path.join(ROOT, "data", "lap", name)) as img:
                    self.assertEqual((img.format, img.size), ("JPEG", (blick.W, blick.H)))


class Icon(unittest.TestCase):
    def test_every_size_of_the_icon_shows_the_track_on_a_rounded_tile(self):
        path, = glob.glob(os.path.join(ROOT, "*", "lapforge.ico"))
        ico = Image.open(path).ico
        self.assertEqual(sorted(ico.sizes()), [(s, s) for s in (16, 24, 32, 48, 256)])
        for size in ico.sizes():
            with self.subTest(size=size):
                px = np.asarray(ico.getimage(size).convert("RGBA"))
                road = (px[..., :3].min(axis=2) > 230) & (px[..., 3] == 255)
                self.assertGreater(road.mean(), 0.04, "no road drawn")
                self.assertLess(px[0, 0, 3], 128, "the tile's corners are not rounded")


class Names(unittest.TestCase):
    def test_names_break_only_after_slashes(self):
        cases = [
            ("Pitlane", 5, ["Pitlane"]),
            ("Hohe Acht/Wippermann", 16, ["Hohe Acht/", "Wippermann"]),
            ("Hohe Acht/Wippermann", 30, ["Hohe Acht/Wippermann"]),
            ("Metzgesfeld/Kallenhard/Wehrseifen", 22, ["Metzgesfeld/Kallenhard/", "Wehrseifen"]),
            ("Metzgesfeld/Kallenhard/Wehrseifen", 12, ["Metzgesfeld/", "Kallenhard/", "Wehrseifen"]),
        ]
        for name, width, lines in cases:
            with self.subTest(name=name, width=width):
                self.assertEqual(wrap_after_slashes(name, lambda s: len(s) <= width), lines)


if __name__ == "__main__":
    unittest.main()
