#!/usr/bin/python3
"""Compares two math_check outputs (12 bytes per argument: cos, sin, acos bits).

usage: math_compare.py NATIVE WINE FIRST STRIDE
Prints, for each function, how many arguments were compared and how many
results differ (with the first few), and exits 1 when any differ.
"""
import sys

import numpy as np


def main():
    native_path, wine_path, first, stride = sys.argv[1], sys.argv[2], int(sys.argv[3], 0), int(sys.argv[4], 0)
    native = np.fromfile(native_path, dtype="<u4").reshape(-1, 3)
    wine = np.fromfile(wine_path, dtype="<u4").reshape(-1, 3)
    if native.shape != wine.shape:
        print(f"math: {native_path} and {wine_path} hold different numbers of arguments")
        return 1
    args = (first + stride * np.arange(native.shape[0], dtype=np.uint64)) % (1 << 32)
    xs = args.astype(np.uint32).view(np.float32)
    in_domain = (xs >= -1.0) & (xs <= 1.0)
    differing = 0
    for column, name, mask in ((0, "cos", None), (1, "sin", None), (2, "acos", in_domain)):
        compared = native.shape[0] if mask is None else int(mask.sum())
        a, b = native[:, column], wine[:, column]
        both_nan = ((a & 0x7F800000) == 0x7F800000) & ((a & 0x7FFFFF) != 0) & \
                   ((b & 0x7F800000) == 0x7F800000) & ((b & 0x7FFFFF) != 0)
        diff = (a != b) & ~both_nan  # a NaN's payload is not compared
        if mask is not None:
            diff &= mask
        count = int(diff.sum())
        differing += count
        print(f"math: {name}: {compared} float arguments, {count} differ")
        for i in np.nonzero(diff)[0][:5]:
            n, w = native[i, column:column + 1].view(np.float32)[0], wine[i, column:column + 1].view(np.float32)[0]
            print(f"  {name}({xs[i]!r} = 0x{int(args[i]):08x}): glibc {n!r}, DLL {w!r}")
    return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main())
