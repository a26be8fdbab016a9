#!/usr/bin/env python3
"""The Morvelin extension inside the real Inkscape.

Installs the extension with scripts/install-inkscape-extension.sh into a fresh
INKSCAPE_PROFILE_DIR, then runs Inkscape headless (under xvfb-run, each run
with a time limit) on documents Inkscape saved (layers, mm units with a
viewBox, <circle> and sodipodi:type="arc" circles, transforms), and checks the
documents it writes against what `morvelin apply` makes of the same objects.
The runs (document, selection, viscosity) are those of tests/data/inkscape/runs.txt,
which the wine differential makes with both builds of the tool. Also runs the
launcher alone: which tool it starts, and its message when there is none.

usage: inkscape_extension_test.py BUILD/morvelin
"""
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

from lxml import etree

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DATA = os.path.join(REPO, "tests", "data", "inkscape")
TOOL = None  # set from the command line
RUN_LIMIT = 120  # seconds for one Inkscape run
SVG = "http://www.w3.org/2000/svg"
INK = "http://www.inkscape.org/namespaces/inkscape"
SODI = "http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd"
NS = {"svg": SVG, "inkscape": INK, "sodipodi": SODI}
LAUNCHER = os.path.join(REPO, "inkscape", "morvelin-inkscape.py")


def read_runs():
    """tests/data/inkscape/runs.txt by name: (exit code, document, viscosity, ids)."""
    runs = {}
    with open(os.path.join(DATA, "runs.txt")) as table:
        for line in table:
            words = line.split("#")[0].split()
            if words:
                name, code, document, viscosity = words[:4]
                runs[name] = (int(code), document, int(viscosity), words[4:])
    return runs


RUNS = read_runs()

# --- geometry of SVG documents ------------------------------------------------


def multiply(m, n):
    a, b, c, d, e, f = m
    A, B, C, D, E, F = n
    return (a * A + c * B, b * A + d * B, a * C + c * D, b * C + d * D, a * E + c * F + e, b * E + d * F + f)


def parse_transform(text):
    m = (1, 0, 0, 1, 0, 0)
    for name, args in re.findall(r"(\w+)\s*\(([^)]*)\)", text or ""):
        v = [float(x) for x in re.split(r"[\s,]+", args.strip()) if x]
        if name == "matrix":
            t = tuple(v)
        elif name == "translate":
            t = (1, 0, 0, 1, v[0], v[1] if len(v) > 1 else 0)
        elif name == "scale":
            t = (v[0], 0, 0, v[1] if len(v) > 1 else v[0], 0, 0)
        elif name == "rotate":
            r = math.radians(v[0])
            t = (math.cos(r), math.sin(r), -math.sin(r), math.cos(r), 0, 0)
            if len(v) == 3:
                t = multiply(multiply((1, 0, 0, 1, v[1], v[2]), t), (1, 0, 0, 1, -v[1], -v[2]))
        else:
            raise ValueError("transform " + name)
        m = multiply(m, t)
    return m


def matrix_of(element):
    """The element's transform and all above it, up to the root's content."""
    m = (1, 0, 0, 1, 0, 0)
    node = element
    while node is not None and node.getparent() is not None:
        m = multiply(parse_transform(node.get("transform")), m)
        node = node.getparent()
    return m


def path_points(d):
    """Every point of path data (anchors and handles), absolute; M L H V C Z."""
    tokens = re.findall(r"[MmLlHhVvCcZz]|[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?", d)
    points, i, cmd = [], 0, None
    x = y = sx = sy = 0.0
    while i < len(tokens):
        if tokens[i].isalpha():
            cmd = tokens[i]
            i += 1
            if cmd in "Zz":
                x, y = sx, sy
                continue
        rel = cmd.islower()
        c = cmd.upper()
        n = {"M": 2, "L": 2, "H": 1, "V": 1, "C": 6}[c]
        v = [float(t) for t in tokens[i:i + n]]
        i += n
        if c == "H":
            v = [v[0] + (x if rel else 0), y]
        elif c == "V":
            v = [x, v[0] + (y if rel else 0)]
        elif rel:
            v = [v[k] + (x if k % 2 == 0 else y) for k in range(n)]
        pts = list(zip(v[0::2], v[1::2]))
        points.extend(pts)
        x, y = pts[-1]
        if c == "M":
            sx, sy = x, y
            cmd = "l" if rel else "L"
    return points


def outline_points(path):
    m = matrix_of(path)
    return [(m[0] * px + m[2] * py + m[4], m[1] * px + m[3] * py + m[5]) for px, py in path_points(path.get("d"))]


def same_points(test, got, want, tolerance=1e-3):
    test.assertEqual(len(got), len(want))
    worst = max(math.hypot(g[0] - w[0], g[1] - w[1]) for g, w in zip(got, want))
    test.assertLess(worst, tolerance)


def elements(tree, xpath):
    return tree.xpath(xpath, namespaces=NS)


def effect_groups(tree):
    return elements(tree, "//svg:g[contains(concat(' ', @class, ' '), ' morvelin-effect ')]")


def parts(effect):
    outlines = effect.xpath("svg:path[contains(concat(' ', @class, ' '), ' morvelin-outline ')]", namespaces=NS)
    sources = effect.xpath("svg:g[contains(concat(' ', @class, ' '), ' morvelin-sources ')]", namespaces=NS)
    return outlines, sources


def without(tree, drop_ids, drop_effects):
    """The layers' content as text, without the given objects."""
    tree = etree.fromstring(etree.tostring(tree))
    for node in tree.iter():
        if node.get("id") in drop_ids:
            node.getparent().remove(node)
    if drop_effects:
        for effect in effect_groups(tree):
            effect.getparent().remove(effect)
    for node in tree.iter():
        node.tail = node.tail.strip() if node.tail else None
        if node.text and not node.text.strip():
            node.text = None
    return [etree.tostring(layer) for layer in elements(tree, "//svg:g[@inkscape:groupmode='layer']")]


# --- running Inkscape and the tool ------------------------------------------------------------


class Inkscape:
    def __init__(self, work):
        self.profile = os.path.join(work, "profile")
        self.work = work
        env = dict(os.environ, INKSCAPE_PROFILE_DIR=self.profile)
        out = subprocess.run(["bash", os.path.join(REPO, "scripts", "install-inkscape-extension.sh")], env=env,
                             capture_output=True, text=True, timeout=1200)
        if out.returncode != 0:
            raise RuntimeError("install script failed:\n" + out.stdout + out.stderr)
        self.runs = 0

    def set_viscosity(self, viscosity):
        # Where Inkscape keeps an extension's last parameters, which the
        # .noprefs action uses.
        with open(os.path.join(self.profile, "preferences.xml"), "w") as prefs:
            prefs.write('<?xml version="1.0" encoding="UTF-8" standalone="no"?>\n'
                        '<inkscape xmlns:sodipodi="%s" xmlns:inkscape="%s" version="1.2">\n'
                        '  <group id="extensions" org.tessik.morvelin.viscosity="%d" />\n'
                        '</inkscape>\n' % (SODI, INK, viscosity))

    def run(self, document, ids, viscosity=50, limit=RUN_LIMIT):
        """Runs the extension on `document` with `ids` selected; returns (tree of the saved result, log,
        Inkscape's exit code: 124 when it was still running at `limit` seconds)."""
        self.set_viscosity(viscosity)
        self.runs += 1
        out_path = os.path.join(self.work, "out%d.svg" % self.runs)
        actions = []
        if ids:
            actions.append("select-by-id:" + ",".join(ids))
        actions += ["org.tessik.morvelin.noprefs", "export-filename:" + out_path, "export-do"]
        env = dict(os.environ, INKSCAPE_PROFILE_DIR=self.profile)
        done = subprocess.run(["timeout", "-k", "10", str(limit), "xvfb-run", "-a", "inkscape", document,
                               "--batch-process", "--actions=" + ";".join(actions)],
                              env=env, capture_output=True, text=True, timeout=limit + 60)
        tree = etree.parse(out_path).getroot() if os.path.exists(out_path) else None
        return tree, done.stderr + done.stdout, done.returncode


def apply_outline(document, viscosity, work):
    """The outline points `morvelin apply` makes of `document`."""
    out_path = os.path.join(work, "apply-%d.svg" % viscosity)
    subprocess.run([TOOL, "apply", document, "-o", out_path, "--viscosity", str(viscosity)], check=True,
                   capture_output=True, timeout=300)
    tree = etree.parse(out_path).getroot()
    # The objects the effect made have no id: the circles' ids went with them.
    made = [p for p in elements(tree, "//svg:path") if p.get("id") is None]
    return [pt for p in made for pt in outline_points(p)]


class ExtensionTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="morvelin-inkscape-")
        cls.inkscape = Inkscape(cls.work)
        cls.circles = os.path.join(DATA, "circles.svg")
        cls.original = etree.parse(cls.circles).getroot()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def subset(self, keep):
        """circles.svg with only the circles `keep` among c1..c4."""
        tree = etree.fromstring(etree.tostring(self.original))
        for node in list(tree.iter()):
            if re.fullmatch(r"c\d", node.get("id") or "") and node.get("id") not in keep:
                node.getparent().remove(node)
        path = os.path.join(self.work, "subset-%s.svg" % "-".join(keep))
        etree.ElementTree(tree).write(path)
        return path

    def check_effect(self, tree, viscosity, source_ids):
        groups = effect_groups(tree)
        self.assertEqual(len(groups), 1)
        effect = groups[0]
        self.assertEqual(effect.get("data-morvelin-viscosity"), str(viscosity))
        outlines, sources = parts(effect)
        self.assertGreaterEqual(len(outlines), 1)
        self.assertEqual(len(sources), 1)
        self.assertIn("display:none", sources[0].get("style").replace(" ", ""))
        self.assertEqual([s.get("id") for s in sources[0]], source_ids)
        return effect, outlines, sources[0]

    def test_selection_becomes_effect_group_and_reruns_from_sources(self):
        _, document, viscosity, ids = RUNS["selection"]
        self.assertEqual(document, "circles.svg")
        tree, log, _ = self.inkscape.run(self.circles, ids, viscosity)
        self.assertIsNotNone(tree, log)
        effect, outlines, sources = self.check_effect(tree, viscosity, ids)
        # Where the topmost selected circle stood: inside g1, the rotated group.
        self.assertEqual(effect.getparent().get("id"), "g1")
        # The sources are unchanged apart from the transform that keeps them
        # where they were drawn.
        for source in sources:
            before = elements(self.original, "//*[@id='%s']" % source.get("id"))[0]
            for name, value in before.attrib.items():
                if name != "transform":
                    self.assertEqual(source.get(name), value)
            want, got = matrix_of(before), matrix_of(source)
            self.assertTrue(all(abs(a - b) < 1e-9 for a, b in zip(want, got)), (want, got))
        # The arc keeps what Inkscape needs to edit it as an arc.
        self.assertEqual(sources.xpath("svg:path[@id='c2']/@sodipodi:type", namespaces=NS), ["arc"])
        # Everything else as it was.
        self.assertEqual(without(tree, set(ids), True), without(self.original, set(ids), False))
        for name in ("width", "height", "viewBox"):
            self.assertEqual(tree.get(name), self.original.get(name))
        # The outline is what apply makes of the same circles.
        subset = self.subset(ids)
        same_points(self, [p for o in outlines for p in outline_points(o)],
                    apply_outline(subset, viscosity, self.work))

        # Again on the effect group, with another viscosity: recomputed from
        # the kept sources, in the same place.
        _, document, viscosity2, rerun_ids = RUNS["rerun"]
        self.assertEqual((document, rerun_ids), ("@selection", [effect.get("id")]))
        rerun_input = os.path.join(self.work, "rerun.svg")
        etree.ElementTree(tree).write(rerun_input)
        again, log, _ = self.inkscape.run(rerun_input, rerun_ids, viscosity2)
        self.assertIsNotNone(again, log)
        effect2, outlines2, _ = self.check_effect(again, viscosity2, ids)
        self.assertEqual(effect2.get("id"), effect.get("id"))
        self.assertEqual(effect2.getparent().get("id"), "g1")
        got = [p for o in outlines2 for p in outline_points(o)]
        same_points(self, got, apply_outline(subset, viscosity2, self.work))
        self.assertNotEqual(len(got), len([p for o in outlines for p in outline_points(o)]))

    def test_nothing_selected_takes_the_whole_drawing(self):
        _, document, viscosity, ids = RUNS["whole"]
        self.assertEqual((document, ids), ("circles.svg", []))
        tree, log, _ = self.inkscape.run(self.circles, [], viscosity)
        self.assertIsNotNone(tree, log)
        # Groups move whole.
        effect, outlines, _ = self.check_effect(tree, viscosity, ["c1", "c2", "g1", "c4"])
        self.assertEqual(effect.getparent().get("id"), "layer1")
        # The caption and the open line are passed over and stay where they were.
        self.assertEqual(without(tree, set(), True)[0], without(self.original, set(), False)[0])
        same_points(self, [p for o in outlines for p in outline_points(o)],
                    apply_outline(self.circles, viscosity, self.work))

    def test_failure_leaves_the_document_untouched_with_a_message(self):
        # The far circle lies beyond the coordinates the unite accepts.
        exit_code, document, viscosity, ids = RUNS["failure"]
        far = os.path.join(DATA, document)
        with open(far, "rb") as f:
            before = f.read()
        tree, log, code = self.inkscape.run(far, ids, viscosity, limit=45)
        # Inkscape keeps the document and shows the message in a dialog,
        # which under xvfb waits for a click until the time limit: nothing
        # is exported.
        self.assertEqual(code, 124, log)
        self.assertIsNone(tree)
        with open(far, "rb") as f:
            self.assertEqual(f.read(), before)
        # What Inkscape shows the person in its dialog (a batch run shows no
        # dialog and prints nothing): the installed launcher's standard
        # error, called as Inkscape calls it, with no document on standard
        # output and a failing exit.
        launcher = os.path.join(self.inkscape.profile, "extensions", "morvelin-inkscape.py")
        done = subprocess.run([sys.executable, launcher] + ["--id=" + i for i in ids] +
                              ["--viscosity=%d" % viscosity, far], capture_output=True, text=True, timeout=120)
        self.assertEqual(done.returncode, exit_code)
        self.assertEqual(done.stdout, "")
        self.assertIn("Morvelin: the effect failed", done.stderr)
        self.assertIn("beyond the coordinates the unite accepts", done.stderr)

class LauncherTest(unittest.TestCase):
    """The launcher as Inkscape runs it (python3 LAUNCHER ARGS...), copied into
    a folder of its own: which tool it starts, with the arguments and the
    tool's output, message and exit code passed through unchanged."""

    def test_which_tool_it_runs(self):
        _, _, viscosity, ids = RUNS["selection"]
        good = ["--id=" + i for i in ids] + ["--viscosity=%d" % viscosity, os.path.join(DATA, "circles.svg")]
        code, _, viscosity, ids = RUNS["failure"]
        bad = ["--id=" + i for i in ids] + ["--viscosity=%d" % viscosity, os.path.join(DATA, "far.svg")]
        direct = {name: subprocess.run([TOOL, "inkscape"] + args, capture_output=True, timeout=300)
                  for name, args in (("good", good), ("bad", bad))}
        self.assertEqual(direct["bad"].returncode, code)
        not_found = b"Morvelin: the morvelin tool was not found beside "
        # (case, tool beside the launcher, PATH entries, arguments, expected output or message start, exit code)
        cases = [
            ("beside first", "fake", ["tool"], ["--id=a b", "x.svg"], b"fake inkscape --id=a b x.svg\n", 0),
            ("on PATH", None, ["empty", "tool"], good, direct["good"].stdout, 0),
            ("on PATH, failing", None, ["tool"], bad, direct["bad"].stderr, code),
            ("nowhere", None, ["empty"], good, not_found, 127),
            # A relative entry would search the folder Inkscape happens to run in.
            ("relative PATH entry", None, ["."], good, not_found, 127),
        ]
        for case, beside, path, args, want, want_code in cases:
            with self.subTest(case), tempfile.TemporaryDirectory() as work:
                for folder in ("extension", "tool", "empty"):
                    os.mkdir(os.path.join(work, folder))
                shutil.copy(LAUNCHER, os.path.join(work, "extension"))
                os.symlink(TOOL, os.path.join(work, "tool", "morvelin"))
                if beside == "fake":
                    fake = os.path.join(work, "extension", "morvelin")
                    with open(fake, "w") as f:
                        f.write('#!/bin/sh\necho fake "$@"\n')
                    os.chmod(fake, 0o755)
                env = dict(os.environ, PATH=os.pathsep.join(
                    p if p == "." else os.path.join(work, p) for p in path))
                # The current folder holds a tool, which must not be taken.
                done = subprocess.run([sys.executable, os.path.join(work, "extension", "morvelin-inkscape.py")] + args,
                                      cwd=os.path.join(work, "tool"), env=env, capture_output=True, timeout=300)
                self.assertEqual(done.returncode, want_code, done.stderr)
                if want is not_found:
                    self.assertEqual(done.stdout, b"")
                    self.assertTrue(done.stderr.startswith(want), done.stderr)
                    self.assertEqual(done.stderr.count(b"\n"), 1, done.stderr)
                elif want_code == 0:
                    self.assertEqual(done.stdout, want)
                else:
                    self.assertEqual((done.stdout, done.stderr), (b"", want))


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    TOOL = os.path.abspath(sys.argv.pop(1))
    if shutil.which("inkscape") is None or shutil.which("xvfb-run") is None:
        sys.exit("inkscape and xvfb-run are needed (scripts/install-deps.sh installs them)")
    unittest.main(verbosity=2)
