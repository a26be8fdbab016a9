#!/usr/bin/env python3
"""Inkscape runs this with the extension's arguments (--id=... per selected
object, --viscosity=V, the document last). It runs the morvelin tool on them:
the one beside this file (a per-user install, the Windows folder), else the
first on PATH (the Debian package's /usr/bin/morvelin). The tool's standard
output is the new document and its standard error Inkscape's message; both
reach Inkscape unchanged, and the tool's exit code is this script's."""
import os
import subprocess
import sys

TOOL = "morvelin.exe" if os.name == "nt" else "morvelin"


def runnable(path):
    return os.path.isfile(path) and os.access(path, os.X_OK)


def find_tool():
    """The tool beside this file, else on PATH; None when there is none.
    The current folder is not searched (Python's shutil.which would on
    Windows): it is wherever Inkscape was started."""
    beside = os.path.join(os.path.dirname(os.path.abspath(__file__)), TOOL)
    if runnable(beside):
        return beside
    for folder in os.environ.get("PATH", "").split(os.pathsep):
        if folder and os.path.isabs(folder) and runnable(os.path.join(folder, TOOL)):
            return os.path.join(folder, TOOL)
    return None


def main():
    tool = find_tool()
    if tool is None:
        sys.stderr.write("Morvelin: the morvelin tool was not found beside %s or on PATH; install Morvelin "
                         "again.\n" % os.path.dirname(os.path.abspath(__file__)))
        return 127
    command = [tool, "inkscape"] + sys.argv[1:]
    sys.stdout.flush()
    sys.stderr.flush()
    if os.name != "nt":
        # The tool takes this process's place, with its standard streams
        # (an interrupt from Inkscape then reaches it).
        try:
            os.execv(tool, command)
        except OSError as error:
            sys.stderr.write("Morvelin: cannot run %s: %s\n" % (tool, error.strerror))
            return 126
    # Windows has no such replacement: the tool runs as a child given this
    # process's own standard handles, so that what it writes goes to Inkscape
    # as written, never through Python's text streams; and without a console
    # window of its own.
    import msvcrt

    streams = {}
    for name, stream in (("stdin", sys.stdin), ("stdout", sys.stdout), ("stderr", sys.stderr)):
        try:
            msvcrt.get_osfhandle(stream.fileno())  # a stream without a handle has nothing to pass
            streams[name] = stream.fileno()
        except (AttributeError, OSError, ValueError):
            streams[name] = subprocess.DEVNULL
    try:
        return subprocess.call(command, creationflags=subprocess.CREATE_NO_WINDOW, **streams)
    except OSError as error:
        sys.stderr.write("Morvelin: cannot run %s: %s\n" % (tool, error.strerror))
        return 126


if __name__ == "__main__":
    sys.exit(main())
