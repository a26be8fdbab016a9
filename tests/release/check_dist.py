#!/usr/bin/env python3
"""Checks of what scripts/release.sh put in dist/: the Debian package, the
Windows zip, the playground archive and SHA256SUMS.

Usage: check_dist.py DIST [COUNTS]

Prints one line per check (ok, FAIL or skip) and writes "PASSED FAILED
SKIPPED" to COUNTS. Exits 1 when a check failed. Needs Debian's python3 with
python3-pefile, dpkg-deb and lintian; the served-page check needs chromium
and is skipped without it.
"""

import gzip
import http.server
import os
import re
import shutil
import socketserver
import subprocess
import sys
import tarfile
import tempfile
import threading
import zipfile

import pefile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


class Skip(Exception):
    pass


def version_record():
    """The plug-in's version numbers and text, from its resource header."""
    with open(os.path.join(ROOT, "resources", "resource_texts.h"), encoding="utf-8") as header:
        text = header.read()
    numbers = re.search(r"#define MORVELIN_VERSION_NUMBERS (\d+), (\d+), (\d+), (\d+)", text).groups()
    return ".".join(numbers), re.search(r'#define MORVELIN_VERSION_TEXT "([^"]*)"', text).group(1)


VERSION, VERSION_TEXT = version_record()
DEB = f"morvelin_{VERSION}-1_amd64.deb"
ZIP = f"morvelin-{VERSION}-windows.zip"
SITE = f"morvelin-playground-{VERSION}"
TAR = f"{SITE}.tar.gz"

# What the package holds (besides its folders), with the mode each must have.
DEB_FILES = {
    "./usr/bin/morvelin": "-rwxr-xr-x",
    "./usr/share/man/man1/morvelin.1.gz": "-rw-r--r--",
    "./usr/share/inkscape/extensions/morvelin.inx": "-rw-r--r--",
    "./usr/share/inkscape/extensions/morvelin": "lrwxrwxrwx",
    "./usr/share/doc/morvelin/copyright": "-rw-r--r--",
    "./usr/share/doc/morvelin/changelog.Debian.gz": "-rw-r--r--",
}


def is_pe(machine, dll):
    def check(data):
        pe = pefile.PE(data=data, fast_load=True)
        is_dll = bool(pe.FILE_HEADER.Characteristics & 0x2000)
        assert pe.FILE_HEADER.Machine == machine and is_dll == dll, (hex(pe.FILE_HEADER.Machine), is_dll)
        assert pe.FILE_HEADER.TimeDateStamp == 0, f"link time {pe.FILE_HEADER.TimeDateStamp} in the PE header"
    return check


def is_inx(data):
    assert b"<inkscape-extension" in data and b"org.tessik.morvelin" in data


def has_crlf_lines(data):
    assert data and b"\n" in data and data.count(b"\n") == data.count(b"\r\n"), "lines not ended by CR LF"
    for where in (b"Plug-ins", b"%APPDATA%\\inkscape\\extensions", b"morvelin.exe"):
        assert where in data, f"INSTALL.txt does not mention {where.decode()}"


# The zip's files (and the Inkscape launcher), each with a test of its bytes.
ZIP_FILES = {
    "Morvelin.aip": is_pe(0x14C, True),
    "morvelin.exe": is_pe(0x14C, False),
    "inkscape/Morvelin.aip": is_pe(0x14C, True),
    "inkscape/morvelin.exe": is_pe(0x14C, False),
    "inkscape/morvelin.inx": is_inx,
    "INSTALL.txt": has_crlf_lines,
}
# The playground folder as the web build leaves it (docs/playground.md).
TAR_FILES = ["index.html", "morvelin.js", "morvelin.wasm", "playground.js", "playground.css", "inert_svg.js"]


def run(*command, **options):
    return subprocess.run(command, check=True, capture_output=True, **options)


class Dist:
    def __init__(self, folder, work):
        self.folder = folder
        self.work = work
        self.deb_tree = os.path.join(work, "deb")
        self.site = os.path.join(work, "site")

    def path(self, name):
        path = os.path.join(self.folder, name)
        assert os.path.isfile(path), f"{name} is missing"
        return path

    # --- SHA256SUMS -----------------------------------------------------------
    def sums_verify(self):
        listed = sorted(line.rstrip("\n").split("  ", 1)[1] for line in open(self.path("SHA256SUMS"), encoding="utf-8"))
        assert listed == sorted([DEB, ZIP, TAR]), listed
        run("sha256sum", "--check", "--strict", "SHA256SUMS", cwd=self.folder)

    # --- the Debian package ---------------------------------------------------
    def deb_files(self):
        listing = run("dpkg-deb", "--contents", self.path(DEB), text=True).stdout.splitlines()
        modes = {}
        for line in listing:
            fields = line.split()
            modes[fields[5]] = fields[0]
            assert fields[1] == "root/root", line
        for name, mode in DEB_FILES.items():
            assert modes.get(name) == mode, f"{name}: {modes.get(name, 'missing')}, not {mode}"
        launchers = [name for name in modes if re.fullmatch(r"\./usr/share/inkscape/extensions/morvelin-inkscape\.\w+", name)]
        assert launchers, "no launcher beside morvelin.inx"

    def deb_control(self):
        field = lambda name: run("dpkg-deb", "--field", self.path(DEB), name, text=True).stdout.strip()
        assert field("Version") == f"{VERSION}-1", field("Version")
        depends = field("Depends")
        # PNG previews and compressed drawings are linked in; the launcher is Python 3.
        for library in ("libc6", "librsvg2-2", "zlib1g", "libpugixml1v5", "python3:any"):
            assert re.search(rf"(^|, ){re.escape(library)}( |,|$)", depends), f"Depends lacks {library}: {depends}"

    def deb_tool_runs(self):
        run("dpkg-deb", "--extract", self.path(DEB), self.deb_tree)
        tool = os.path.join(self.deb_tree, "usr/bin/morvelin")
        assert "not stripped" not in run("file", "-L", tool, text=True).stdout
        assert VERSION_TEXT in run(tool, "--version", text=True).stdout
        sample = os.path.join(self.work, "sample")
        run(tool, "apply", "-o", sample + ".svg", "--png", sample + ".png")
        assert open(sample + ".png", "rb").read(8) == b"\x89PNG\r\n\x1a\n", "the PNG preview is not a PNG"
        # A compressed drawing is read (zlib): the sample's outline, compressed,
        # gives back what the tool writes for it uncompressed.
        with open(sample + ".svg", "rb") as plain, gzip.open(sample + ".svgz", "wb") as packed:
            packed.write(plain.read())
        run(tool, "apply", sample + ".svg", "-o", sample + "-again.svg")
        run(tool, "apply", sample + ".svgz", "-o", sample + "-unpacked.svg")
        assert open(sample + "-again.svg", "rb").read() == open(sample + "-unpacked.svg", "rb").read(), \
            "the .svgz drawing gives another result"
        # Inkscape finds the tool beside the .inx.
        assert os.path.realpath(os.path.join(self.deb_tree, "usr/share/inkscape/extensions/morvelin")) == tool

    def deb_lintian(self):
        result = subprocess.run(["lintian", "--no-tag-display-limit", self.path(DEB)], capture_output=True,
                                text=True)
        for line in result.stdout.splitlines():
            print(f"     lintian: {line}")
        errors = [line for line in result.stdout.splitlines() if line.startswith("E:")]
        assert not errors and result.returncode in (0, 1), f"lintian errors: {errors or result.returncode}"

    # --- the Windows zip ------------------------------------------------------
    def zip_files(self):
        with zipfile.ZipFile(self.path(ZIP)) as archive:
            files = [info.filename for info in archive.infolist() if not info.is_dir()]
            launchers = [name for name in files if re.fullmatch(r"inkscape/morvelin-inkscape\.\w+", name)]
            assert len(launchers) == 1, f"launchers in inkscape/: {launchers}"
            assert sorted(files) == sorted(list(ZIP_FILES) + launchers), sorted(files)
            names = [info.filename for info in archive.infolist()]
            assert names == sorted(names), "entries not in name order"
            for name, test in ZIP_FILES.items():
                try:
                    test(archive.read(name))
                except AssertionError as error:
                    raise AssertionError(f"{name}: {error}") from None

    # --- the playground -------------------------------------------------------
    def tar_files(self):
        with tarfile.open(self.path(TAR)) as archive:
            members = archive.getmembers()
            # Exactly the page's files: nothing stale from an earlier build.
            names = sorted(member.name for member in members)
            assert names == sorted([SITE] + [f"{SITE}/{name}" for name in TAR_FILES]), names
            for member in members:
                assert member.name == SITE or member.name.startswith(SITE + "/"), member.name
                assert (member.uid, member.gid) == (0, 0) and (member.isfile() or member.isdir()), member.name
            archive.extractall(self.site)

    def page_served(self):
        """The unpacked site from a plain static server reaches its ready state."""
        chromium = shutil.which("chromium")
        if not chromium:
            raise Skip("no chromium")
        site = os.path.join(self.site, SITE)
        handler = lambda *args: http.server.SimpleHTTPRequestHandler(*args, directory=site)
        http.server.SimpleHTTPRequestHandler.log_message = lambda *args: None
        with socketserver.TCPServer(("127.0.0.1", 0), handler) as server:
            threading.Thread(target=server.serve_forever, daemon=True).start()
            profile = tempfile.mkdtemp(dir=self.work)
            dom = run(chromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                      f"--user-data-dir={profile}", "--virtual-time-budget=60000", "--dump-dom",
                      f"http://127.0.0.1:{server.server_address[1]}/", text=True, timeout=180).stdout
            server.shutdown()
        state = re.search(r'<body[^>]*data-state="([^"]*)"', dom)
        assert state and state.group(1) == "ready", f"page state {state.group(1) if state else 'unknown'}"

    # --- every artefact -------------------------------------------------------
    def no_build_paths(self):
        """No artefact holds the path of the clone it was built in."""
        clone = ROOT.encode()
        blobs = []
        for folder in (self.deb_tree, self.site):
            for parent, _, files in os.walk(folder):
                blobs += [os.path.join(parent, name) for name in files
                          if not os.path.islink(os.path.join(parent, name))]
        found = [path for path in blobs if clone in open(path, "rb").read()]
        with zipfile.ZipFile(self.path(ZIP)) as archive:
            found += [name for name in archive.namelist() if clone in archive.read(name)]
        assert not found, f"{ROOT} in {found}"


CHECKS = [
    ("SHA256SUMS lists the three artefacts and verifies", Dist.sums_verify),
    ("the package holds the tool, its man page, the extension and the Debian files", Dist.deb_files),
    ("the package's version and Depends (libraries linked, librsvg and zlib among them)", Dist.deb_control),
    ("the packaged tool is stripped, says its version, writes PNG, reads .svgz", Dist.deb_tool_runs),
    ("lintian finds no errors", Dist.deb_lintian),
    ("the zip holds the DLL, the tool, the Inkscape folder and INSTALL.txt (CR LF)", Dist.zip_files),
    ("the playground archive holds the page, its scripts and the .wasm, and nothing else", Dist.tar_files),
    ("the playground served by a plain static server reaches ready", Dist.page_served),
    ("no artefact holds the clone's path", Dist.no_build_paths),
]


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit("usage: check_dist.py DIST [COUNTS]")
    counts = {"ok": 0, "FAIL": 0, "skip": 0}
    with tempfile.TemporaryDirectory() as work:
        dist = Dist(os.path.abspath(sys.argv[1]), work)
        for name, check in CHECKS:
            outcome, why = "ok", ""
            try:
                check(dist)
            except Skip as reason:
                outcome, why = "skip", f" ({reason})"
            except (AssertionError, subprocess.CalledProcessError, subprocess.TimeoutExpired, OSError,
                    pefile.PEFormatError, zipfile.BadZipFile, tarfile.TarError) as error:
                detail = str(error)
                if isinstance(error, subprocess.CalledProcessError):
                    output = (error.stdout or b"") + (error.stderr or b"")
                    detail = output.decode(errors="replace") if isinstance(output, bytes) else output
                outcome, why = "FAIL", ": " + "; ".join(detail.strip().splitlines())
            counts[outcome] += 1
            print(f"{outcome:4} {name}{why}")
    summary = f"{counts['ok']} {counts['FAIL']} {counts['skip']}"
    print(f"release checks: {counts['ok']} passed, {counts['FAIL']} failed, {counts['skip']} skipped")
    if len(sys.argv) == 3:
        with open(sys.argv[2], "w", encoding="utf-8") as out:
            out.write(summary + "\n")
    return 1 if counts["FAIL"] else 0


if __name__ == "__main__":
    sys.exit(main())
