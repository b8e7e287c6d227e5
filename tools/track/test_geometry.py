"""Checks of the geometry the pictures are drawn from: the copied data, the mapping of GPL's
distances onto it, the hand-drawn pit loop and the sections' corners."""
import math
import os
import re
import sys
import unittest

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import geometry as g  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def script_sections():
    """(program name, deploy line) per row of the table in tools/make-data.sh."""
    with open(os.path.join(ROOT, "tools", "make-data.sh"), encoding="utf-8") as f:
        text = f.read()
    return re.findall(r'^\s+"([^"|]+)\|[^|]*\|[^|]*\|(stall_0 = [^|]*)\|', text, re.M)


def program_sections():
    with open(os.path.join(ROOT, "core", "SectionTable.cpp"), encoding="utf-8") as f:
        text = f.read()
    return re.findall(r'\{"([^"]+)", "[^"]*", "[^"]*", "[^"]*", "(stall_0 = [^"]*)"\}', text)


def program_corners():
    """(name, metres) per row of the program's corner table, which names "Before Karussell" points."""
    with open(os.path.join(ROOT, "core", "LapPoints.cpp"), encoding="utf-8") as f:
        text = f.read()
    return [(n, int(m)) for n, m in re.findall(r'^\s+\{"([^"]+)", (\d+)\},$', text, re.M)]


def deploy_d(line):
    return float(line.split()[2])


class Geometry(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.track = g.Track()
        cls.sections = script_sections()

    def test_centre_line_is_one_closed_loop_of_the_known_length(self):
        t = self.track
        self.assertAlmostEqual(t.length, 20786, delta=100)
        self.assertLess(t.closing_gap(), 10)
        steps = np.diff(t.s)
        self.assertTrue(np.all(np.abs(steps - 5) < 0.5), "points are not every 5 m along the line")
        jumps = np.hypot(np.diff(t.x), np.diff(t.y))
        self.assertLess(jumps.max(), 7, "the line jumps: rows missing or out of order")

    def test_loop_runs_clockwise_as_driven(self):
        t = self.track
        area = 0.5 * np.sum(t.x * np.roll(t.y, -1) - np.roll(t.x, -1) * t.y)
        self.assertLess(area, 0)

    def test_local_plane_agrees_with_latitude_and_longitude(self):
        # The maps are drawn on the plane, north up: it must be the same place as lat/lon says.
        t = self.track
        r = 6371000.0
        east = np.radians(t.lon - 6.96) * r * math.cos(math.radians(50.353))
        north = np.radians(t.lat - 50.353) * r
        self.assertLess(np.hypot(east - t.x, north - t.y).max(), 15)

    def test_script_table_matches_the_program(self):
        self.assertEqual(len(self.sections), 11)
        self.assertEqual(self.sections, program_sections())

    def test_every_deploy_point_maps_inside_the_loop_in_lap_order(self):
        t = self.track
        pit, rest = self.sections[0], self.sections[1:]
        self.assertIsNone(g.d_to_s(deploy_d(pit[1])), "Pitlane lies on the old pit straight")
        last = -1.0
        for name, line in rest:
            with self.subTest(name):
                s = g.d_to_s(deploy_d(line))
                self.assertIsNotNone(s)
                self.assertTrue(0 <= s < t.length)
                self.assertAlmostEqual(s, deploy_d(line) - 1400, delta=1)
                self.assertGreater(s, last)
                last = s

    def test_deploy_points_lie_at_the_first_corner_of_their_name(self):
        # The fit is good to 300 m for these sections; a wrong offset or sign moves them far off.
        cases = [("Fuchsroehre/Adenauer Forst", "Fuchsröhre"), ("Metzgesfeld/Kallenhard/Wehrseifen", "Metzgesfeld"),
                 ("Ex-Muehle/Bergwerk", "Exmühle"), ("Klostertal/Karussell", "Klostertal"),
                 ("Bruennchen/Pflanzgarten", "Brünnchen"), ("Schwalbenschwanz/Doettinger Hoehe", "Schwalbenschwanz")]
        lines = dict(self.sections)
        corners = {c.name: c for c in self.track.corners}
        for section, corner in cases:
            with self.subTest(section):
                s = g.d_to_s(deploy_d(lines[section]))
                self.assertLess(abs(s - corners[corner].s), 300)

    def test_old_lap_is_continuous_and_as_long_as_gpl_counts(self):
        t = self.track
        pts = g.lap_polyline(t, 0, g.SIM_LAP_M, 5.0)
        steps = np.hypot(*np.diff(pts, axis=0).T)
        self.assertLess(steps.max(), 8, "the hand-drawn pit loop does not join the surveyed loop")
        self.assertAlmostEqual(steps.sum(), g.SIM_LAP_M, delta=0.02 * g.SIM_LAP_M)
        self.assertLess(np.hypot(*(pts[0] - pts[-1])), 1)
        # Start/finish lies on the pit straight, a few hundred metres from where the data begins.
        x, y, _ = g.lap_point(t, 0)
        self.assertTrue(300 < math.hypot(x - t.x[0], y - t.y[0]) < 1000)

    def test_each_corner_of_the_old_lap_belongs_to_one_section(self):
        t = self.track
        ds = [deploy_d(line) for _, line in self.sections] + [g.SIM_LAP_M]
        seen = []
        for d0, d1 in zip(ds, ds[1:]):
            seen += [n for n, _, _ in g.section_corners(t, d0, d1)]
        on_old_lap = [c.name for c in t.corners if c.s_sharpest >= g.NORDKEHRE_S]
        self.assertEqual(sorted(seen), sorted(on_old_lap + ["Südkehre"]))
        self.assertNotIn("T13", seen)

    def test_program_corner_table_matches_the_geometry(self):
        # The views' strip and the program name the same corner ahead of a place.
        ascii_name = str.maketrans({"ä": "ae", "ö": "oe", "ü": "ue", "ß": "ss"})
        lap = sorted(g.section_corners(self.track, 0, g.SIM_LAP_M), key=lambda c: c[1])
        self.assertEqual(program_corners(), [(n.translate(ascii_name), round(d)) for n, d, _ in lap])


if __name__ == "__main__":
    unittest.main()
