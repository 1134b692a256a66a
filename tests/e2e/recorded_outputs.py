#!/usr/bin/python3
"""The parent protocol's outputs on the real drawings, against outputs recorded earlier.

    recorded_outputs.py --exe tessaconv --samples DIR --table FILE [--record] [--jobs N]
                        [--runner PROGRAM [ARG...] --]

Every JWW drawing and JWS symbol under DIR is converted by the executable as the
parent application runs it (a folder of its own with Tessaconv.dat, four
arguments) in each of the three DXF versions and both spaces; the layer-naming
rule, the point type and the base layer group rotate over the drawings.  The
SHA-256 of each output, with the header's date and timer values blanked (they
come from the drawing's file times), must equal the one in FILE.

--runner puts a program before each run (wine for a Windows build, with its
arguments up to "--").

FILE was written by an earlier build with --record.  A change that is meant to
alter some outputs re-records them and says why in its commit.
"""
import argparse
import concurrent.futures
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile

DATE_VARS = {b"$TDCREATE", b"$TDUCREATE", b"$TDUPDATE", b"$TDUUPDATE", b"$TDINDWG",
             b"$TDUSRTIMER"}
SETTINGS_LINES = 21


def drawings(samples):
    found = []
    for sub in ("jww", "jws"):
        root = os.path.join(samples, sub)
        for folder, _, files in os.walk(root):
            for name in files:
                if os.path.splitext(name)[1].lower() in (".jww", ".jws"):
                    found.append(os.path.relpath(os.path.join(folder, name), samples))
    return sorted(found)


def modes(index):
    """The settings one drawing is converted with: every version and space, and a
    layer-naming rule, point type and base group that rotate over the drawings."""
    naming = index % 3
    points = index % 7
    group = (index * 5) % 16
    for ver in (0, 1, 2):
        for space in (0, 1):
            yield f"v{ver}s{space}n{naming}p{points}g{group}", (ver, space, naming, group, points)


def settings_text(ver, space, naming, group, points):
    lines = ["50", "50", "480", "480", "True", "False", "False", "False", "False", "", "",
             "", "1", "Windows", str(ver), "0", str(naming), str(space), str(group),
             str(points), "0.5"]
    assert len(lines) == SETTINGS_LINES
    return "\r\n".join(lines) + "\r\n"


def normalised_digest(path):
    """SHA-256 of the DXF with the values of the date variables blanked."""
    h = hashlib.sha256()
    with open(path, "rb") as f:
        lines = f.read().split(b"\n")
    blank_next = 0
    for line in lines:
        text = line.rstrip(b"\r")
        if blank_next:
            blank_next -= 1
            if blank_next == 0:
                h.update(b"<date>\n")
                continue
        if text.strip() in DATE_VARS:
            blank_next = 2  # the group code line, then the value line
        h.update(line + b"\n")
    return h.hexdigest()


def make_bin(root, exe, setting):
    """A folder with a copy of the executable and the settings file beside it (the
    settings file is read beside the executable's real location)."""
    bindir = os.path.join(root, "bin-" + "-".join(map(str, setting)))
    os.mkdir(bindir)
    copy = os.path.join(bindir, os.path.basename(exe))
    shutil.copy2(exe, copy)
    with open(os.path.join(bindir, "Tessaconv.dat"), "w", encoding="ascii", newline="") as f:
        f.write(settings_text(*setting))
    return copy


def convert_to(exe, samples, rel, out, runner=()):
    """Runs the converter as the parent does, drawing `rel` into `out`."""
    subprocess.run([*runner, exe, "a", "b", os.path.join(samples, rel), out], check=False,
                   timeout=300, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def convert_one(runner, exe, samples, rel, key):
    with tempfile.TemporaryDirectory(prefix="tessa-rec-") as work:
        out = os.path.join(work, "out.dxf")
        convert_to(exe, samples, rel, out, runner)
        digest = normalised_digest(out) if os.path.exists(out) else "no output"
        return f"{rel}|{key}", digest


def split_runner(argv):
    """The arguments of --runner (up to "--") apart from the others."""
    if "--runner" not in argv:
        return argv, []
    at = argv.index("--runner")
    end = argv.index("--", at) if "--" in argv[at:] else len(argv)
    return argv[:at] + argv[end + 1:], argv[at + 1:end]


def main():
    argv, runner = split_runner(sys.argv[1:])
    ap = argparse.ArgumentParser()
    ap.add_argument("--exe", required=True)
    ap.add_argument("--samples", required=True)
    ap.add_argument("--table", required=True)
    ap.add_argument("--record", action="store_true")
    ap.add_argument("--jobs", type=int, default=2)
    args = ap.parse_args(argv)
    # The environment variable wins over the folder CMake was given.
    env = os.environ.get("TESSA_SAMPLES_DIR")
    given = args.samples
    if env and os.path.isdir(env):
        args.samples = env

    if not os.path.isdir(os.path.join(args.samples, "jww")):
        print(f"real drawings not found; looked in $TESSA_SAMPLES_DIR ({env or 'not set'}) "
              f"and {given}; skipping the comparison with recorded outputs.", file=sys.stderr)
        return 77
    names = drawings(args.samples)
    with tempfile.TemporaryDirectory(prefix="tessa-rec-bin-") as root:
        # All copies are made before any conversion starts: a copy still open
        # for writing when another thread starts a process cannot be run.
        bins, jobs = {}, []
        for i, rel in enumerate(names):
            for key, setting in modes(i):
                if setting not in bins:
                    bins[setting] = make_bin(root, args.exe, setting)
                jobs.append((bins[setting], rel, key))
        with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
            got = dict(pool.map(lambda j: convert_one(runner, j[0], args.samples, j[1], j[2]), jobs))

    if args.record:
        with open(args.table, "w", encoding="utf-8") as f:
            json.dump(dict(sorted(got.items())), f, ensure_ascii=False, indent=0)
            f.write("\n")
        print(f"recorded {len(got)} outputs of {len(names)} drawings")
        return 0

    with open(args.table, encoding="utf-8") as f:
        want = json.load(f)
    bad = []
    for k in sorted(set(want) | set(got)):
        if want.get(k) != got.get(k):
            bad.append(f"  {k}: recorded {want.get(k, 'nothing')}, now {got.get(k, 'not run')}")
    if bad:
        print(f"{len(bad)} of {len(want)} outputs differ from the recorded ones:", file=sys.stderr)
        print("\n".join(bad[:50]), file=sys.stderr)
        return 1
    print(f"all {len(got)} outputs of {len(names)} drawings equal the recorded ones")
    return 0


if __name__ == "__main__":
    sys.exit(main())
