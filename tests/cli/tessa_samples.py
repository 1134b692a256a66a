"""Every real drawing converted by `tessa convert -j 2` in one batch gives the
same DXF file (header dates aside) as the one-shot converter with the same
settings, and `-j 1` gives the same files."""
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from tessa_common import Tessaconv, blank_dates, drawings_under, exe, run  # noqa: E402
from tessa_samples_dir import samples_dir  # noqa: E402

SKIP = 77  # CTest's SKIP_RETURN_CODE for this test

# (tessa options, the settings lines that give the same conversion)
SETTINGS = [
    ([], {15: "1"}),
    (["--dxf", "r12", "--space", "paper", "--layer-names", "group-layer", "--points", "quarters",
      "--point-size", "0.5", "--scale-group", "2"],
     {15: "0", 17: "2", 18: "1", 19: "2", 20: "6", 21: "0.5"}),
    (["--dxf", "r2007", "--pen-colours", "printer", "--layer-names", "layer"],
     {15: "2", 16: "1", 17: "1"}),
]


def main():
    samples, missing = samples_dir()
    if samples is None:
        print(missing + "; skipping.", file=sys.stderr)
        return SKIP
    drawings = drawings_under(samples)
    tessa = exe("TESSA_EXE")
    work = tempfile.mkdtemp(prefix="tessa_samples_")
    failures = []
    try:
        for n, (args, lines) in enumerate(SETTINGS):
            parent = Tessaconv(os.path.join(work, f"parent{n}"), lines)
            outs = {}
            for jobs in ("2", "1"):
                out = os.path.join(work, f"out{n}_{jobs}")
                r = run([tessa, "convert", "-q", "-r", "-j", jobs, samples, "-o", out, *args])
                if r.returncode != 0:
                    failures.append(f"{args} -j {jobs}: exit {r.returncode}: {r.stderr}")
                outs[jobs] = out
            for d in drawings:
                rel = os.path.splitext(os.path.relpath(d, samples))[0] + ".dxf"
                expected = blank_dates(parent.convert(d, os.path.join(work, "parent.dxf")))
                for jobs, out in outs.items():
                    path = os.path.join(out, rel)
                    if not os.path.exists(path):
                        failures.append(f"{args} -j {jobs}: no output for {rel}")
                    else:
                        with open(path, "rb") as f:
                            if blank_dates(f.read()) != expected:
                                failures.append(f"{args} -j {jobs}: {rel} differs from tessaconv")
            for out in outs.values():
                shutil.rmtree(out)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for f in failures:
        print(f)
    print(f"{len(drawings)} drawings x {len(SETTINGS)} settings x 2 job counts: "
          f"{'all equal' if not failures else f'{len(failures)} failures'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
