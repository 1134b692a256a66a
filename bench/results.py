#!/usr/bin/env python3
"""Keeps bench/RESULTS.md, the one place where measured figures live.  Each
benchmark replaces its own section there with what it printed, headed by the
conditions it ran under (when, which commit, cores, load), so a figure is
never quoted without them.

    some-benchmark | bench/results.py SECTION "title"   # or import put_section
"""
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
RESULTS = os.path.join(HERE, "RESULTS.md")
PREAMBLE = """# Measured figures

Written by the benchmarks, each into its own section (`bench/results.py`);
run one again to replace its figures.  The machine these ran on is shared:
wall times move with the load, which each section gives at its start and
end.  CPU times are the steadier figures.
"""


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def conditions():
    """One line: when, the commit, the cores, this process's niceness (a
    benchmark run under `nice` gets what the others leave) and the load."""
    try:
        commit = subprocess.run(["git", "-C", HERE, "rev-parse", "--short", "HEAD"],
                                capture_output=True, text=True, check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        commit = "?"
    return (f"{time.strftime('%Y-%m-%d %H:%M', time.gmtime())} UTC, commit {commit}, "
            f"{os.cpu_count()} cores, niceness {os.nice(0)}, load average {load()}")


def put_section(name, title, body):
    """Replaces (or adds) the section `name` of RESULTS.md."""
    begin, end = f"<!-- begin {name} -->", f"<!-- end {name} -->"
    section = f"{begin}\n## {title}\n\n{body.rstrip()}\n{end}"
    try:
        with open(RESULTS, encoding="utf-8") as f:
            text = f.read()
    except FileNotFoundError:
        text = PREAMBLE
    if begin in text and end in text:
        text = text[:text.index(begin)] + section + text[text.index(end) + len(end):]
    else:
        text = text.rstrip() + "\n\n" + section + "\n"
    with open(RESULTS, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    put_section(sys.argv[1], sys.argv[2], "```\n" + sys.stdin.read().rstrip() + "\n```")
