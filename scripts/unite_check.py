#!/usr/bin/python3
"""Checks the united outline `morvelin apply` writes against Inkscape's
Path > Union and a fine polygon union of the same shapes.

For each drawing: `morvelin apply --no-unite` gives the shapes (circles and
bridges), `morvelin apply` the united outline. The shapes alone go to
Inkscape 1.2 for Path > Union, and are flattened at 0.001 units and united
by GEOS (shapely) as the reference. Printed per drawing:
  - segments: lines and cubics of ours and Inkscape's result, each command
    and implicit repeat counted, the closing `z` not; the ratio must be at
    most 1.25;
  - area of ours against the reference (within 0.05%);
  - Hausdorff distance between the boundaries, both ways (within 0.02);
  - contours larger than 0.01 square units (the same number).
Exit code 1 when a measure fails on any drawing.

  /usr/bin/python3 scripts/unite_check.py [--morvelin build/morvelin] [--keep DIR]
      [--viscosity V] [--fine F] [--sample] [--grid N ...] [IN.svg ...]
"""
import argparse
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile

import xml.etree.ElementTree as etree
from shapely.geometry import LineString, MultiLineString, Polygon
from shapely.ops import unary_union
from shapely.validation import make_valid

SVG = "{http://www.w3.org/2000/svg}"
FINE = 0.001
MAX_SEGMENT_RATIO = 1.25
MAX_AREA_ERROR = 0.0005
MAX_HAUSDORFF = 0.02
MIN_CONTOUR_AREA = 0.01

TOKEN = re.compile(r"[MmLlHhVvCcSsQqTtAaZz]|[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?")


def parse_path(d):
    """Subpaths of a path's data as lists of segments, each a tuple of points
    (2 for a line, 4 for a cubic), in absolute coordinates."""
    tokens = TOKEN.findall(d)
    subpaths, current = [], []
    pos = start = (0.0, 0.0)
    last_cubic = last_quad = None
    command = None
    i = 0

    def number():
        nonlocal i
        value = float(tokens[i])
        i += 1
        return value

    while i < len(tokens):
        if tokens[i].isalpha():
            command = tokens[i]
            i += 1
        elif command is None:
            raise ValueError("path data must start with a command")
        rel = command.islower()
        c = command.upper()
        ox, oy = pos if rel else (0.0, 0.0)
        if c == "Z":
            if current:
                subpaths.append(current)
            current = []
            pos = start
            last_cubic = last_quad = None
            command = None
            continue
        if c == "M":
            if current:
                subpaths.append(current)
            current = []
            pos = start = (ox + number(), oy + number())
            command = "l" if rel else "L"
            last_cubic = last_quad = None
            continue
        if c == "L":
            p = (ox + number(), oy + number())
            current.append((pos, p))
            pos = p
            last_cubic = last_quad = None
        elif c == "H":
            p = ((pos[0] if rel else 0.0) + number(), pos[1])
            current.append((pos, p))
            pos = p
            last_cubic = last_quad = None
        elif c == "V":
            p = (pos[0], (pos[1] if rel else 0.0) + number())
            current.append((pos, p))
            pos = p
            last_cubic = last_quad = None
        elif c in "CS":
            if c == "C":
                c1 = (ox + number(), oy + number())
            else:
                c1 = (2 * pos[0] - last_cubic[0], 2 * pos[1] - last_cubic[1]) if last_cubic else pos
            c2 = (ox + number(), oy + number())
            p = (ox + number(), oy + number())
            current.append((pos, c1, c2, p))
            pos, last_cubic, last_quad = p, c2, None
        elif c in "QT":
            if c == "Q":
                q = (ox + number(), oy + number())
            else:
                q = (2 * pos[0] - last_quad[0], 2 * pos[1] - last_quad[1]) if last_quad else pos
            p = (ox + number(), oy + number())
            c1 = (pos[0] + 2 / 3 * (q[0] - pos[0]), pos[1] + 2 / 3 * (q[1] - pos[1]))
            c2 = (p[0] + 2 / 3 * (q[0] - p[0]), p[1] + 2 / 3 * (q[1] - p[1]))
            current.append((pos, c1, c2, p))
            pos, last_quad, last_cubic = p, q, None
        else:
            raise ValueError("arcs are not read: " + command)
    if current:
        subpaths.append(current)
    return subpaths


def flatten_cubic(p0, p1, p2, p3, tolerance, out, depth=0):
    def chord_distance(p):
        dx, dy = p3[0] - p0[0], p3[1] - p0[1]
        length2 = dx * dx + dy * dy
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((p[0] - p0[0]) * dx + (p[1] - p0[1]) * dy) / length2))
        return math.hypot(p[0] - p0[0] - t * dx, p[1] - p0[1] - t * dy)

    if depth >= 30 or max(chord_distance(p1), chord_distance(p2)) <= tolerance:
        out.append(p3)
        return
    mid = lambda a, b: ((a[0] + b[0]) / 2, (a[1] + b[1]) / 2)
    a, b, c = mid(p0, p1), mid(p1, p2), mid(p2, p3)
    ab, bc = mid(a, b), mid(b, c)
    m = mid(ab, bc)
    flatten_cubic(p0, a, ab, m, tolerance, out, depth + 1)
    flatten_cubic(m, bc, c, p3, tolerance, out, depth + 1)


def ring_points(segments, tolerance):
    points = [segments[0][0]]
    for s in segments:
        if len(s) == 2:
            points.append(s[1])
        else:
            flatten_cubic(*s, tolerance, points)
    return points


def path_area(subpaths, tolerance):
    """The area a path paints, its subpaths combined even-odd."""
    shape = Polygon()
    for segments in subpaths:
        points = ring_points(segments, tolerance)
        if len(points) < 3:
            continue
        ring = make_valid(Polygon(points))
        shape = shape.symmetric_difference(ring)
    return shape


def segment_count(subpaths):
    return sum(len(s) for s in subpaths)


QUARTER_HANDLE = 0.5522847


def ellipse_d(cx, cy, rx, ry):
    """An ellipse as the tool reads one: four cubics from (cx+rx, cy) through
    90, 180 and 270 degrees, handles QUARTER_HANDLE * radius long."""
    hx, hy = QUARTER_HANDLE * rx, QUARTER_HANDLE * ry
    return ("M%r %r C%r %r %r %r %r %r C%r %r %r %r %r %r C%r %r %r %r %r %r C%r %r %r %r %r %r Z" % (
        cx + rx, cy,
        cx + rx, cy + hy, cx + hx, cy + ry, cx, cy + ry,
        cx - hx, cy + ry, cx - rx, cy + hy, cx - rx, cy,
        cx - rx, cy - hy, cx - hx, cy - ry, cx, cy - ry,
        cx + hx, cy - ry, cx + rx, cy - hy, cx + rx, cy))


def element_paths(tree):
    """(element, d, transformed) of every path, circle and ellipse element
    (the tool writes source circles back as circles); transformed when it or
    a group around it has a transform."""
    found = []

    def walk(element, transformed):
        transformed = transformed or bool(element.get("transform"))
        if element.tag == SVG + "path":
            found.append((element, element.get("d", ""), transformed))
        elif element.tag in (SVG + "circle", SVG + "ellipse"):
            number = lambda name: float(element.get(name, "0"))
            rx = number("r") if element.tag == SVG + "circle" else number("rx")
            ry = number("r") if element.tag == SVG + "circle" else number("ry")
            if rx > 0 and ry > 0:
                found.append((element, ellipse_d(number("cx"), number("cy"), rx, ry), transformed))
        for child in element:
            walk(child, transformed)

    walk(tree.getroot(), False)
    return found


def run(command, **kwargs):
    result = subprocess.run(command, capture_output=True, text=True, **kwargs)
    if result.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (command[0], result.returncode, result.stderr[-2000:]))
    return result


def inkscape_union(sources_svg, out_svg):
    actions = ("select-all;path-union;export-filename:%s;export-plain-svg;"
               "export-do" % out_svg)
    command = ["inkscape", sources_svg, "--actions=" + actions]
    env = dict(os.environ, HOME=os.path.dirname(out_svg))
    try:
        run(command, env=env, timeout=3600)
    except RuntimeError:
        run(["xvfb-run", "-a"] + command, env=env, timeout=3600)
    tree = etree.parse(out_svg)
    return [parse_path(d) for _, d, _ in element_paths(tree) if d]


def contour_areas(geometry):
    polygons = getattr(geometry, "geoms", [geometry])
    areas = []
    for p in polygons:
        if p.geom_type != "Polygon" or p.is_empty:
            continue
        areas.append(Polygon(p.exterior).area)
        areas.extend(Polygon(r).area for r in p.interiors)
    return areas


def boundary_of(geometry):
    lines = []
    for p in getattr(geometry, "geoms", [geometry]):
        if p.geom_type != "Polygon" or p.is_empty:
            continue
        lines.append(LineString(p.exterior.coords))
        lines.extend(LineString(r.coords) for r in p.interiors)
    return MultiLineString(lines)


def measure(name, drawing, morvelin, viscosity, work):
    separate = os.path.join(work, "separate.svg")
    ours_svg = os.path.join(work, "ours.svg")
    args = ["--viscosity", str(viscosity)]
    run([morvelin, "apply"] + ([drawing] if drawing else []) + args + ["--no-unite", "-o", separate])
    run([morvelin, "apply"] + ([drawing] if drawing else []) + args + ["-o", ours_svg])
    sep_paths = element_paths(etree.parse(separate))
    our_paths = element_paths(etree.parse(ours_svg))
    if any(t for _, _, t in sep_paths + our_paths):
        raise RuntimeError("transformed paths are not compared: " + name)
    sep_d = {d for _, d, _ in sep_paths}
    our_d = {d for _, d, _ in our_paths}
    outline = [d for e, d, _ in our_paths if "morvelin-outline" in (e.get("class") or "").split()]
    if not outline:
        outline = [d for _, d, _ in our_paths if d not in sep_d]
    sources = [d for _, d, _ in sep_paths if d not in our_d]
    sources_svg = os.path.join(work, "sources.svg")
    with open(sources_svg, "w") as f:
        f.write('<svg xmlns="http://www.w3.org/2000/svg">\n')
        for d in sources:
            f.write('<path fill="#000000" d="%s"/>\n' % d)
        f.write("</svg>\n")
    inkscape = inkscape_union(sources_svg, os.path.join(work, "inkscape.svg"))

    reference = unary_union([path_area(parse_path(d), FINE) for d in sources])
    ours_parsed = [parse_path(d) for d in outline]
    ours = unary_union([path_area(p, FINE) for p in ours_parsed])
    theirs = unary_union([path_area(p, FINE) for p in inkscape])
    ours_segments = sum(segment_count(p) for p in ours_parsed)
    inkscape_segments = sum(segment_count(p) for p in inkscape)
    ref_boundary = boundary_of(reference)

    def report(geometry):
        area_error = abs(geometry.area - reference.area) / reference.area
        hausdorff = boundary_of(geometry).hausdorff_distance(ref_boundary)
        contours = sum(1 for a in contour_areas(geometry) if a > MIN_CONTOUR_AREA)
        return area_error, hausdorff, contours

    ref_contours = sum(1 for a in contour_areas(reference) if a > MIN_CONTOUR_AREA)
    o = report(ours)
    t = report(theirs)
    ratio = ours_segments / inkscape_segments if inkscape_segments else float("inf")
    ok = ratio <= MAX_SEGMENT_RATIO and o[0] <= MAX_AREA_ERROR and o[1] <= MAX_HAUSDORFF and o[2] == ref_contours
    print("%-24s %6d sources | segments ours %5d inkscape %5d ratio %.2f | area err ours %.5f%% inkscape "
          "%.5f%% | hausdorff ours %.4f inkscape %.4f | contours>0.01 ref %d ours %d inkscape %d | %s"
          % (name, len(sources), ours_segments, inkscape_segments, ratio, 100 * o[0], 100 * t[0], o[1], t[1],
             ref_contours, o[2], t[2], "ok" if ok else "FAIL"))
    sys.stdout.flush()
    return ok


def grid_svg(count, path):
    with open(path, "w") as f:
        f.write('<svg xmlns="http://www.w3.org/2000/svg">\n')
        for i in range(count):
            f.write('<circle cx="%g" cy="%g" r="%g"/>\n' % ((i % 20) * 30, (i // 20) * 30, 6 + (i * 7 % 11)))
        f.write("</svg>\n")


def main():
    global FINE
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("drawings", nargs="*")
    parser.add_argument("--morvelin", default="build/morvelin")
    parser.add_argument("--viscosity", default="50")
    parser.add_argument("--sample", action="store_true", help="the built-in sample drawing")
    parser.add_argument("--grid", type=int, action="append", default=[], help="a grid of N circles")
    parser.add_argument("--keep", help="keep the intermediate files in this folder")
    parser.add_argument("--fine", type=float, default=FINE,
                        help="the reference's flattening (default %g); where two curves cross at a fraction of a "
                        "degree, a chord flattening moves their crossing by about this over the sine of half "
                        "the angle, so such drawings need a finer one" % FINE)
    args = parser.parse_args()
    FINE = args.fine
    morvelin = os.path.abspath(args.morvelin)
    base = args.keep or tempfile.mkdtemp(prefix="unite-check-")
    os.makedirs(base, exist_ok=True)
    print("tolerances: reference and comparison flattened at %g units; segments ratio <= %.2f, area <= %.3f%%, "
          "Hausdorff <= %g, contours larger than %g" % (FINE, MAX_SEGMENT_RATIO, 100 * MAX_AREA_ERROR,
                                                         MAX_HAUSDORFF, MIN_CONTOUR_AREA))
    jobs = []
    if args.sample:
        jobs.append(("sample", None))
    for n in args.grid:
        path = os.path.join(base, "grid-%d.svg" % n)
        grid_svg(n, path)
        jobs.append(("grid %d" % n, path))
    jobs += [(os.path.basename(d), os.path.abspath(d)) for d in args.drawings]
    all_ok = True
    for index, (name, drawing) in enumerate(jobs):
        work = os.path.join(base, "%02d" % index)
        os.makedirs(work, exist_ok=True)
        all_ok &= measure(name, drawing, morvelin, args.viscosity, work)
    if not args.keep:
        shutil.rmtree(base, ignore_errors=True)
    return 0 if all_ok else 1


if __name__ == "__main__":
    sys.exit(main())
