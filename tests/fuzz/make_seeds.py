#!/usr/bin/env python3
"""Writes the seed inputs of the bridge-geometry and go-live fuzzers.

Both fuzzers read their input through libFuzzer's FuzzedDataProvider, taking
integers from the end of the data: a value of n bytes is the last n bytes,
little-endian. So a seed is the list of values in the order the fuzzer reads
them, each written little-endian, the list reversed. The SVG seeds are plain
files and are written by hand.

Usage: tests/fuzz/make_seeds.py   (rewrites the two corpus folders)
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def seed(values):
    """values: (format, value) pairs in reading order -> bytes."""
    return b"".join(struct.pack("<" + fmt, value) for fmt, value in reversed(values))


def write(folder, name, data):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    with open(os.path.join(HERE, folder, name), "wb") as out:
        out.write(data)


# --- bridge geometry: bool (circles from bounds?), then raw floats ---------
def circles(c1, c2, a, b=2.0, answers=(0.0, 0.0, 0.0)):
    values = [("B", 0)]
    for h, v, r in (c1, c2):
        values += [("f", h), ("f", v), ("f", r)]
    values += [("f", a), ("f", b)] + [("f", x) for x in answers]
    return seed(values)


def bounds(r1, r2, a, b=2.0):
    values = [("B", 1)] + [("f", x) for x in r1 + r2] + [("f", a), ("f", b)]
    return seed(values + [("f", 0.0)] * 3)


NAN = float("nan")
INF = float("inf")
geometry = {
    "apart_half": circles((0, 0, 10), (30, 0, 10), 0.5),
    "apart_full_rate": circles((0, 0, 10), (30, 0, 10), 1.0),
    "crossing": circles((0, 0, 10), (10, 0, 10), 0.5),
    "unequal_far": circles((0, 0, 20), (50, 0, 10), 0.5, answers=(50.0, 0.0, 30.0)),
    "deep_overlap": circles((0, 0, 10), (2, 0, 9), 0.5),
    "inside": circles((0, 0, 20), (5, 0, 10), 0.5),
    "not_finite": circles((NAN, 0, 10), (30, INF, 10), 0.5),
    "bounds_above": bounds((-10, 10, 10, -10), (-10, 40, 10, 20), 0.5),
}
for name, data in geometry.items():
    write("bridge_geometry_fuzz_corpus", name, data)


# --- go-live: conditions, then art operations ------------------------------
RATE_50 = [("B", 149)]  # choice % 8 in 4..7: rate = choice % 100 + 1


def conditions(rate=RATE_50, faults=0, fault_at=0):
    return rate + [("B", faults), ("H", fault_at)]


def coordinate(x):
    """A half-unit coordinate (tag = int8(2x)); tags with low bits 11111 are raw floats."""
    tag = int(x * 2) & 0xFF
    assert tag & 0x1F != 0x1F, x
    return [("B", tag)]


def circle(h, v, r, flags=0):
    return [("B", 0)] + coordinate(h) + coordinate(v) + coordinate(r) + [("B", flags)]


def polygon(points, flags=0):
    ops = [("B", 2), ("B", len(points) - 1)]
    for h, v in points:
        ops += coordinate(h) + coordinate(v) + [("B", 4)]  # handles retracted, corner
    return ops + [("B", flags)]


GROUP, END_GROUP, OTHER = [("B", 3)], [("B", 4)], [("B", 6), ("B", 0)]
OPEN, GUIDE, NO_FILL_STROKED = 0x01, 0x02, 0x30


def compound(members, flags=0):
    ops = [("B", 5), ("B", flags), ("B", len(members) - 1)]
    for h, v, r in members:
        ops += [("B", 1)] + coordinate(h) + coordinate(v) + coordinate(r) + [("B", 0)]
    return ops


go_live = {
    "two_circles": conditions() + circle(0, 0, 10) + circle(30, 0, 10),
    "three_in_groups": conditions() + circle(0, 0, 10) + GROUP + circle(40, 0, 10) + END_GROUP + circle(20, 40, 10),
    "mixed_kinds": conditions()
    + circle(0, 0, 10)
    + circle(20, 0, 6, OPEN)
    + circle(20, 20, 6, GUIDE)
    + compound([(50, 0, 10), (50, 0, 4)])
    + OTHER
    + circle(-30, 10, 8, NO_FILL_STROKED)
    + polygon([(0, -30), (20, -30), (10, -45)]),
    "inside_last_pair": conditions() + circle(0, 0, 10) + circle(60, 0, 20) + circle(60, 0, 5),
    "host_failure": conditions(faults=0x01, fault_at=60) + circle(0, 0, 10) + circle(30, 0, 10) + circle(0, 30, 10),
    "in_dialog": conditions(faults=0x20) + circle(0, 0, 10) + circle(25, 5, 12),
    "no_memory": conditions(faults=0x02 | (1 << 2)) + circle(0, 0, 10) + circle(30, 0, 10),
    "rate_250": conditions(rate=[("B", 3), ("f", 250.0)]) + circle(0, 0, 10) + circle(30, 0, 10),
}
for name, data in go_live.items():
    write("go_live_fuzz_corpus", name, seed(data))
