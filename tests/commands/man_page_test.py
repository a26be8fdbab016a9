#!/usr/bin/env python3
"""The manual page against the tool: the same version, every option each
subcommand's --help lists described in that subcommand's section, examples
at the end of every --help, and a page groff and man read without a warning.

    man_page_test.py TOOL MANPAGE
"""
import re
import shutil
import subprocess
import sys


def run(*arguments):
    return subprocess.run(arguments, capture_output=True, text=True, check=True).stdout


def help_section(text, title):
    """The lines under `title:` in a --help text, up to the next blank line."""
    lines = text.split("\n")
    start = lines.index(title + ":") + 1
    section = []
    for line in lines[start:]:
        if not line.strip():
            break
        section.append(line)
    return section


def listed_options(help_text):
    """Every option name (-o, --output) in the Options: part of a --help."""
    names = []
    for line in help_section(help_text, "Options"):
        match = re.match(r"  (-[^ ]+)", line)
        if match:
            names += match.group(1).split(",")
    return names


def plain(roff):
    """The page's text with roff's escapes for hyphens and fonts removed."""
    text = roff.replace("\\-", "-").replace("\\c", "")
    return re.sub(r"\\f[BIRP]", "", text)


def man_sections(roff):
    """Each .SH and .SS heading's text, by heading (quotes removed)."""
    sections, name = {}, ""
    for line in roff.split("\n"):
        heading = re.match(r"\.S[HS] (.*)", line)
        if heading:
            name = plain(heading.group(1)).strip('"')
            sections[name] = ""
        else:
            sections[name] = sections.get(name, "") + plain(line) + "\n"
    return sections


def mentions(text, option):
    return re.search(r"(?<![\w-])" + re.escape(option) + r"(?![\w-])", text) is not None


def main():
    tool, page = sys.argv[1], sys.argv[2]
    roff = open(page, encoding="utf-8").read()
    problems = []

    # The version in .TH is the tool's: "morvelin 0.3b".
    title = next(line for line in roff.split("\n") if line.startswith(".TH "))
    fields = re.findall(r'"[^"]*"|\S+', title)
    version = " ".join(run(tool, "--version").split()[:2])
    if len(fields) < 5 or fields[4].strip('"') != version:
        problems.append(f".TH says {fields[4:5]}, the tool says {version!r}")

    sections = man_sections(roff)
    top = run(tool, "--help")
    for option in listed_options(top):
        if not mentions(sections.get("OPTIONS", ""), option):
            problems.append(f"{option} (morvelin --help) is not in OPTIONS")
    for line in help_section(top, "Subcommands"):
        command = line.split()[0]
        text = run(tool, command, "--help")
        if "\nExamples:\n" not in text:
            problems.append(f"morvelin {command} --help ends without examples")
        section = next((body for name, body in sections.items() if name.startswith(f"morvelin {command} ")), None)
        if section is None:
            problems.append(f"no section for morvelin {command}")
            continue
        for option in listed_options(text):
            # -h and --help are the tool's own, described once in OPTIONS.
            where = sections.get("OPTIONS", "") if option in ("-h", "--help") else section
            if not mentions(where, option):
                problems.append(f"{option} (morvelin {command} --help) is not in its section")

    # What Debian's lintian runs, and groff with every warning.
    checks = [["groff", "-man", "-Tutf8", "-ww", "-z", page]]
    checks.append(["man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", page])
    environment = {"LC_ALL": "C.UTF-8", "MANROFFSEQ": "", "MANWIDTH": "80", "PATH": "/usr/bin:/bin"}
    for check in checks:
        if shutil.which(check[0]) is None:
            print(f"note: no {check[0]} here; its check is left out")
            continue
        result = subprocess.run(check, capture_output=True, text=True, env=environment)
        if result.returncode != 0 or result.stderr:
            problems.append(f"{check[0]}: exit {result.returncode}: {result.stderr.strip()}")

    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
