#!/usr/bin/python3
"""Times the SVG preview of drawings next to their DXF conversion.

    preview.py --tessa BUILD/src/cli/tessa [--repeat N] NAME=PATH ...

For each drawing: the median wall and CPU time (user + system of the child)
of `tessa preview` and of `tessa convert` (R2000, model space), and the
sizes of both outputs.  Both run on one job, written to a scratch folder.
"""
import argparse
import os
import resource
import shutil
import statistics
import subprocess
import tempfile
import time


def timed(cmd):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    t0 = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)
    wall = time.perf_counter() - t0
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return wall, cpu


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--tessa", required=True)
    p.add_argument("--repeat", type=int, default=3)
    p.add_argument("drawings", nargs="+", help="NAME=PATH")
    a = p.parse_args()
    work = tempfile.mkdtemp(prefix="tessa-bench-preview-")
    try:
        print("%-14s %-8s %9s %9s %10s" % ("drawing", "output", "wall s", "cpu s", "MB"))
        for given in a.drawings:
            name, path = given.split("=", 1)
            for cmd, ext in (("convert", ".dxf"), ("preview", ".svg")):
                out = os.path.join(work, name + ext)
                runs = [timed([a.tessa, cmd, "-q", "-f", "-j", "1", path, "-o", out])
                        for _ in range(a.repeat)]
                print("%-14s %-8s %9.2f %9.2f %10.1f" % (
                    name, cmd, statistics.median(r[0] for r in runs),
                    statistics.median(r[1] for r in runs), os.path.getsize(out) / 1e6))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
