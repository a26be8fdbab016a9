#!/usr/bin/env python3
"""Packs a folder into a zip archive that depends only on the files' names and
contents: entries sorted by name, every time SOURCE_DATE_EPOCH (UTC, or 1980
if earlier, the first time a zip can hold), modes 0755 for executables and
0644 for other files, no owners, no extra fields.

Usage: pack-zip.py FOLDER OUT.zip
"""

import os
import stat
import sys
import time
import zipfile


def entry(name, date_time, mode):
    info = zipfile.ZipInfo(name, date_time)
    info.create_system = 3  # Unix, so that the modes below are read
    info.external_attr = mode << 16
    return info


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: pack-zip.py FOLDER OUT.zip")
    folder, out = sys.argv[1], sys.argv[2]
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if epoch is None:
        sys.exit("pack-zip.py: set SOURCE_DATE_EPOCH (seconds since 1970)")
    date_time = max(time.gmtime(int(epoch))[:6], (1980, 1, 1, 0, 0, 0))

    names = []
    for parent, folders, files in os.walk(folder):
        for name in folders + files:
            path = os.path.join(parent, name)
            relative = os.path.relpath(path, folder).replace(os.sep, "/")
            if os.path.islink(path):
                sys.exit(f"pack-zip.py: {relative} is a symbolic link, which a zip for Windows cannot hold")
            names.append(relative + "/" if os.path.isdir(path) else relative)
    with zipfile.ZipFile(out, "w") as archive:
        for name in sorted(names):
            path = os.path.join(folder, name)
            if name.endswith("/"):
                archive.writestr(entry(name, date_time, stat.S_IFDIR | 0o755), b"")
                continue
            executable = os.stat(path).st_mode & stat.S_IXUSR
            with open(path, "rb") as source:
                data = source.read()
            archive.writestr(entry(name, date_time, stat.S_IFREG | (0o755 if executable else 0o644)), data,
                             compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)


if __name__ == "__main__":
    main()
