#!/usr/bin/env python3
"""Times the quick start as a newcomer meets it: a fresh clone of this
commit, `scripts/quickstart.sh convert`, then `scripts/quickstart.sh test`
(the packages already installed).  Prints wall and CPU time of each with
the load before and after, and writes them into bench/RESULTS.md.

    bench/quickstart_times.py [--no-record]

It builds everything from nothing (several minutes of CPU): on a shared
machine run it under `nice -n 19`.  The tests read the real drawings from
TESSA_SAMPLES_DIR when it is set; otherwise the clone, which lies in a
temporary folder, finds none and those tests are skipped.
"""
import argparse
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import results  # noqa: E402


def children_cpu():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime


def timed(name, args, cwd, log):
    """Runs one step: its exit status and its line of figures."""
    before, cpu0, t0 = results.load(), children_cpu(), time.monotonic()
    with open(log, "w") as out:
        code = subprocess.run(args, cwd=cwd, stdout=out, stderr=subprocess.STDOUT).returncode
    wall, cpu = time.monotonic() - t0, children_cpu() - cpu0
    outcome = "" if code == 0 else f" FAILED (exit status {code})"
    return code, (f"{name:<8} {int(wall // 60)} min {wall % 60:4.1f} s wall, {cpu:6.1f} s CPU;"
                  f" load average {before} before, {results.load()} after{outcome}")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--no-record", dest="record", action="store_false",
                    help="do not write the figures into bench/RESULTS.md")
    a = ap.parse_args()
    src = os.path.dirname(HERE)
    work = tempfile.mkdtemp(prefix="tessa-quickstart-")
    try:
        clone = os.path.join(work, "tessaconv")
        subprocess.run(["git", "clone", "-q", src, clone], check=True)
        header = results.conditions()
        samples = os.environ.get("TESSA_SAMPLES_DIR")
        lines = [f"real drawings: {samples}" if samples and os.path.isdir(samples)
                 else "real drawings: none (the tests that need them skip)"]

        def record():
            # After each step, so that a run stopped half-way keeps what it measured.
            if a.record:
                results.put_section("quickstart", "Quick start from a fresh clone",
                                    header + "\n\n```\n" + "\n".join(lines) + "\n```")

        print(header)
        print(lines[0])
        for step in ("convert", "test"):
            lines.append(f"{step:<8} (did not finish)")
            record()
            log = os.path.join(work, step + ".log")
            code, lines[-1] = timed(step, ["scripts/quickstart.sh", step], clone, log)
            print(lines[-1])
            record()
            if code != 0:
                with open(log) as f:
                    sys.exit(f.read()[-4000:])
        with open(os.path.join(work, "test.log")) as f:
            lines += [ln.rstrip() for ln in f if ln.startswith("Skipped ")]
        record()
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
