#!/usr/bin/python3
"""Which values of the converter's outputs a change touches.

    compare_outputs.py OLD_TESSACONV NEW_TESSACONV SAMPLES OUTDIR [--allow PLACE ...]

Converts every real drawing under SAMPLES in every mode of the recorded
outputs (tests/e2e/recorded_outputs.py) with both executables, into
OUTDIR/old and OUTDIR/new, and compares the files group by group.  Both
files must have the same group codes in the same order; for each place whose
values differ it prints how many values in how many outputs.  A place is a
header variable ("$EXTMIN") or an item type and group code ("VIEWPORT:41");
the header's date values are left aside.  With --allow, any other place
differing makes the exit code 1.
"""
import argparse
import collections
import concurrent.futures
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import recorded_outputs as ro  # noqa: E402 - the modes and the parent's way of running


def convert_all(exes, samples, outdir, jobs):
    names = ro.drawings(samples)
    work = []
    with tempfile.TemporaryDirectory(prefix="tessa-cmp-") as root:
        for tag, exe in exes.items():
            os.makedirs(os.path.join(outdir, tag), exist_ok=True)
            sub = os.path.join(root, tag)
            os.mkdir(sub)
            bins = {}
            for i, rel in enumerate(names):
                for key, setting in ro.modes(i):
                    if setting not in bins:
                        bins[setting] = ro.make_bin(sub, exe, setting)
                    out = os.path.join(outdir, tag, rel.replace("/", "_") + "|" + key + ".dxf")
                    if os.path.exists(out):
                        os.remove(out)
                    work.append((bins[setting], rel, out))
        with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
            list(pool.map(lambda j: ro.convert_to(j[0], samples, j[1], j[2]), work))


def pairs(path):
    with open(path, "rb") as f:
        lines = f.read().split(b"\r\n")
    return [(lines[i].strip(), lines[i + 1]) for i in range(0, len(lines) - 1, 2)]


def compare(a, b):
    """Places whose values differ, or a reason the files cannot be compared."""
    pa, pb = pairs(a), pairs(b)
    if len(pa) != len(pb):
        return None, f"{len(pa)} groups, now {len(pb)}"
    places = []
    section = kind = var = None
    for (ca, va), (cb, vb) in zip(pa, pb):
        if ca != cb:
            return None, f"group code {ca.decode()} became {cb.decode()}"
        if ca == b"0":
            kind = va.strip().decode("ascii", "replace")
        elif ca == b"2" and kind == "SECTION":
            section, kind = va.strip().decode("ascii", "replace"), None
        elif ca == b"9":
            var = va.strip()
        if va == vb:
            continue
        if section == "HEADER":
            if var not in ro.DATE_VARS:
                places.append(var.decode("ascii", "replace"))
        else:
            places.append(f"{kind}:{ca.decode()}")
    return places, None


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("old")
    ap.add_argument("new")
    ap.add_argument("samples")
    ap.add_argument("outdir")
    ap.add_argument("--allow", nargs="*")
    ap.add_argument("--jobs", type=int, default=2)
    a = ap.parse_args()
    convert_all({"old": os.path.abspath(a.old), "new": os.path.abspath(a.new)}, a.samples,
                a.outdir, a.jobs)
    values, files, broken = collections.Counter(), collections.defaultdict(set), []
    names = sorted(os.listdir(os.path.join(a.outdir, "old")))
    for name in names:
        old, new = (os.path.join(a.outdir, t, name) for t in ("old", "new"))
        if not os.path.exists(new):
            broken.append(f"{name}: no new output")
            continue
        places, why = compare(old, new)
        if why:
            broken.append(f"{name}: {why}")
            continue
        for p in places:
            values[p] += 1
            files[p].add(name)
    print(f"{len(names)} outputs compared")
    for p in sorted(values):
        print(f"  {p}: {values[p]} values in {len(files[p])} outputs")
    outside = [p for p in values if a.allow is not None and p not in a.allow]
    for b in broken:
        print("  cannot compare:", b)
    if outside:
        print("  changed beyond what was allowed:", ", ".join(sorted(outside)))
    return 1 if broken or outside else 0


if __name__ == "__main__":
    sys.exit(main())
