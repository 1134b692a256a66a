#!/usr/bin/env python3
"""Batch benchmark of `tessa convert`: the real drawings converted in one
process with -j 1 and with -j 2 (or other job counts), as drawings per second.

    bench/batch.py --tessa build/src/cli/tessa [--samples DIR] [--copies 10]
                   [--repeat 5] [--jobs 1,2]

Each measurement converts every drawing under DIR (default: TESSA_SAMPLES_DIR,
else ../shared/samples beside the project), COPIES times over, into a fresh
output folder; one warm-up run is not counted, the median of REPEAT runs is.
The copies are links in a scratch folder (copy0/..., copy1/...), so the
batch is long enough to measure without copying any drawing; every run
writes into a fresh folder.  The job counts
alternate run by run, so a change in the machine's load hits both alike.
The load average is printed before and after: on a shared machine other
processes lengthen wall times.  The figures go into bench/RESULTS.md too
(--no-record: not).
"""
import argparse
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import results  # noqa: E402


def drawings(folder):
    found = []
    for root, _, files in os.walk(folder):
        found += [os.path.join(root, f) for f in files
                  if f.lower().endswith((".jww", ".jws", ".jwc", ".jwk"))]
    return found


def link_copies(samples, copies, work):
    """copyK/<path under samples> -> the drawing, for K < copies."""
    top = os.path.join(work, "in")
    for k in range(copies):
        for d in drawings(samples):
            link = os.path.join(top, f"copy{k}", os.path.relpath(d, samples))
            os.makedirs(os.path.dirname(link), exist_ok=True)
            os.symlink(os.path.abspath(d), link)
    return top


def run_batch(tessa, samples, jobs, work):
    # A fresh folder per run, all removed at the end: outputs deleted just
    # before a run make the file system (ext4 without a journal) search
    # past the inodes it freed moments ago for every new file, which adds
    # a varying cost to every conversion that has nothing to do with it.
    out = tempfile.mkdtemp(prefix="out", dir=work)
    cpu0, t0 = children_cpu(), time.perf_counter()
    r = subprocess.run([tessa, "convert", "-q", "-r", "-j", str(jobs), samples, "-o", out],
                       stdin=subprocess.DEVNULL, capture_output=True, text=True)
    wall, cpu = time.perf_counter() - t0, children_cpu() - cpu0
    if r.returncode != 0:
        sys.exit(f"tessa failed ({r.returncode}):\n{r.stderr}")
    return wall, cpu


def children_cpu():
    """User and system time of the finished child processes."""
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--tessa", required=True)
    ap.add_argument("--samples", default=os.environ.get("TESSA_SAMPLES_DIR")
                    or os.path.join(HERE, "..", "..", "shared", "samples"))
    ap.add_argument("--copies", type=int, default=10)
    ap.add_argument("--repeat", type=int, default=5)
    ap.add_argument("--jobs", default="1,2")
    ap.add_argument("--no-record", dest="record", action="store_false",
                    help="do not write the figures into bench/RESULTS.md")
    a = ap.parse_args()
    if not os.path.isdir(a.samples):
        sys.exit(f"no drawings at {a.samples} (give --samples or set TESSA_SAMPLES_DIR)")
    jobs = [int(j) for j in a.jobs.split(",")]
    work = tempfile.mkdtemp(prefix="tessa_batch_")
    lines = []

    def say(line):
        print(line)
        lines.append(line)

    try:
        batch = link_copies(a.samples, a.copies, work)
        n = len(drawings(batch))
        say(f"tessa batch: {n} drawings ({a.copies} x {n // a.copies} from {a.samples}), "
            f"{os.cpu_count()} cores, niceness {os.nice(0)}, median of {a.repeat} runs, "
            f"load average {load()}")
        for j in jobs:
            run_batch(a.tessa, batch, j, work)  # warm-up: files in the page cache
        walls = {j: [] for j in jobs}
        cpus = {j: [] for j in jobs}
        for _ in range(a.repeat):
            for j in jobs:
                wall, cpu = run_batch(a.tessa, batch, j, work)
                walls[j].append(wall)
                cpus[j].append(cpu)
        base = None
        for j in jobs:
            w = statistics.median(walls[j])
            rate = n / w
            base = base or rate
            say(f"  -j {j}: {w:7.3f} s  {rate:8.1f} drawings/s  x{rate / base:.2f}  "
                f"CPU {statistics.median(cpus[j]):.3f} s  "
                f"(runs {', '.join(f'{x:.3f}' for x in walls[j])})")
        say(f"load average at the end: {load()}")
        if a.record:
            results.put_section("batch", "Batches: tessa convert over the real drawings",
                                f"{results.conditions()}\n\n```\n" + "\n".join(lines) + "\n```")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
