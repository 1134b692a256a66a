#!/usr/bin/env python3
"""Checks that the benchmark's drawings still load and convert: small
drawings of every kind the generator makes are read by jw_mix (kinds and
counts as generated) and converted to each DXF version (a whole DXF, ending
in EOF).  A change to the test-side writers or to the reader that broke the
large drawings would otherwise show only when the benchmark runs.

    check_drawings.py --gen GEN_DRAWINGS --mix JW_MIX --exe TESSACONV
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bench import run_once, setup_exes  # noqa: E402


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--gen", required=True)
    ap.add_argument("--mix", required=True)
    ap.add_argument("--exe", required=True)
    a = ap.parse_args()
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        drawings = [("jww", 20000, "real.jww"), ("lines", 3000, "lines.jww"),
                    ("jww", 20, "tiny.jww"), ("jwc", 2000, "small.jwc")]
        for kind, n, name in drawings:
            subprocess.run([a.gen, kind, str(n), os.path.join(tmp, name)], check=True)

        # Kinds and counts as generated.  The mix drawing of 20 000
        # entities has every kind of the measured table but dimensions.
        mix = subprocess.run([a.mix, os.path.join(tmp, "real.jww"), os.path.join(tmp, "lines.jww")],
                             check=True, capture_output=True, text=True).stdout
        lines = {l.split()[0]: l for l in mix.splitlines() if l.startswith(tmp)}
        real = lines.get(os.path.join(tmp, "real.jww"), "")
        if not re.search(r"own\s+20000 ", real):
            failures.append(f"mix drawing does not read back whole: {real or mix}")
        for k in ("line", "arc", "circle", "ellipse", "point", "text", "solid", "insert"):
            if not re.search(rf" {k} \d+", real):
                failures.append(f"mix drawing has no {k}: {real}")
        if not re.search(r"depth 3 ", real):
            failures.append(f"mix drawing's blocks are not nested three deep: {real}")
        plain = lines.get(os.path.join(tmp, "lines.jww"), "")
        if not re.search(r"own\s+3000 line 3000 \|", plain):
            failures.append(f"lines drawing is not 3000 lines: {plain}")

        exes = setup_exes(a.exe, os.path.join(tmp, "work"))
        out = os.path.join(tmp, "out.dxf")
        for _, _, name in drawings:
            for ver, exe in exes.items():
                run_once([exe, "A", "B", os.path.join(tmp, name), out], [out])
                if not os.path.exists(out):
                    failures.append(f"{name} {ver}: no DXF written")
                    continue
                with open(out, "rb") as f:
                    f.seek(max(0, os.path.getsize(out) - 16))
                    tail = f.read()
                if not tail.rstrip().endswith(b"EOF"):
                    failures.append(f"{name} {ver}: DXF does not end in EOF")
                os.unlink(out)
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
