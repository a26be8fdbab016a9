#!/usr/bin/env python3
"""Writes the go-live benchmark's grid of circles as an SVG drawing.

    python3 scripts/grid-drawing.py 1000 > grid-1000.svg

Circle i (from 0) has its centre at ((i mod 20) * 30, (i div 20) * 30) and
radius 6 + (7i mod 11), so that some circles overlap and some stand apart.
The text is the same, byte for byte, as the drawing bench/go_live_bench.cpp
builds in memory, so `morvelin apply` on it measures the same layout.
"""
import sys


def grid_drawing(count):
    lines = ['<svg xmlns="http://www.w3.org/2000/svg">']
    for i in range(count):
        x = (i % 20) * 30.0
        y = (i // 20) * 30.0
        r = 6.0 + (i * 7 % 11)
        lines.append('<circle cx="%g" cy="%g" r="%g"/>' % (x, y, r))
    lines.append('</svg>')
    return '\n'.join(lines) + '\n'


def main(argv):
    if len(argv) != 2 or not argv[1].isdigit():
        sys.stderr.write('usage: grid-drawing.py COUNT > drawing.svg\n')
        return 2
    sys.stdout.write(grid_drawing(int(argv[1])))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
