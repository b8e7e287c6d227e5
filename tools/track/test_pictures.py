"""Checks of how the pictures are laid out, not of their pixels: the views look the way the road
bends, the maps are north up, and the map labels stay inside the box and clear of each other."""
import glob
import math
import os
import sys
import tempfile
import unittest

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import blick  # noqa: E402
import geometry as g  # noqa: E402
import karte  # noqa: E402
from style import wrap_after_slashes  # noqa: E402
from test_geometry import ROOT, deploy_d, script_sections  # noqa: E402


def section_ranges():
    rows = script_sections()
    ds = [deploy_d(line) for _, line in rows] + [g.SIM_LAP_M]
    return [(name, ds[i], ds[i + 1]) for i, (name, _) in enumerate(rows)]


class Views(unittest.TestCase):
    def test_road_ahead_appears_on_the_side_it_bends_to(self):
        # A mirrored camera would show every bend the wrong way round.
        track = g.Track()
        for name, d0, _ in section_ranges()[1:]:
            with self.subTest(name):
                x0, y0, z0 = g.lap_point(track, d0)
                x1, y1, _ = g.lap_point(track, d0 + 15)
                fwd = np.array([x1 - x0, y1 - y0]) / math.hypot(x1 - x0, y1 - y0)
                cam = blick.Camera((x0, y0, z0 + 1.1), fwd, 0.0)
                xa, ya, za = g.lap_point(track, d0 + 60)
                (sx, _), = cam.project([[xa, ya, za]])[0]
                rel = np.array([xa - x0, ya - y0])
                right_of_heading = rel[0] * fwd[1] - rel[1] * fwd[0]
                if abs(right_of_heading) > 3:
                    self.assertEqual(sx > blick.W / 2, right_of_heading > 0)

    def test_point_ahead_and_above_projects_above_the_horizon_in_the_middle(self):
        cam = blick.Camera((0, 0, 0), (0.0, 1.0), 0.0)
        (x, y), = cam.project([[0, 100, 10]])[0]
        self.assertAlmostEqual(x, blick.W / 2)
        self.assertLess(y, cam.horizon)

    def test_polygon_through_the_eye_is_cut_at_the_near_plane(self):
        cam = blick.Camera((0, 0, 1), (0.0, 1.0), 0.0)
        quad = np.array([[-1, -5, 0], [1, -5, 0], [1, 5, 0], [-1, 5, 0]], dtype=float)
        scr = blick.clip_near(quad, cam)
        self.assertIsNotNone(scr)
        self.assertTrue(np.all(np.isfinite(scr)))
        self.assertIsNone(blick.clip_near(quad - [0, 20, 0], cam), "a polygon behind the eye is dropped")


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
