#!/usr/bin/python3
"""What a person sees on opening a converted real drawing.

    opening_view.py --exe tessaconv --samples DIR [--jobs N]

Every JWW drawing and JWS symbol under DIR is converted to R2000 in model and
in paper space, as the parent application runs the converter, and read back
with ezdxf.  Each file must
 - have header extents ($EXTMIN/$EXTMAX, $PEXTMIN/$PEXTMAX) that hold what its
   model space and its paper space draw (viewports aside) and reach little
   beyond it, and the same extents in its layouts;
 - open on a view (*Active) that shows all of model space, not much larger
   than needed or than the sheet;
 - open on its sheet when it is a paper-space file ($TILEMODE 0), whose
   limits ($PLIMMIN/$PLIMMAX) are its layout's;
 - show every model-space entity of a paper-space file through a viewport.
"""
import argparse
import concurrent.futures
import math
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import recorded_outputs as ro  # noqa: E402 - the parent protocol's settings and runs

try:
    import ezdxf
    from ezdxf import bbox as ezbbox
except ImportError:  # pragma: no cover - the test needs an independent reader
    print("python3-ezdxf is not installed", file=sys.stderr)
    sys.exit(77)

# The box of what is drawn may be off by 1 % of its diagonal; no side may
# lie more than 10 % of it outside.
CLOSE = 0.01
LOOSE = 0.10


def box_of(entities):
    box = ezbbox.extents(entities, fast=True)
    return (box.extmin.x, box.extmin.y, box.extmax.x, box.extmax.y) if box.has_data else None


def diagonal(b):
    return math.hypot(b[2] - b[0], b[3] - b[1])


def check_box(name, got, drawn):
    """The header box `got` holds `drawn` within 1 % and is no side 10 % larger."""
    d = max(diagonal(drawn), 1e-9)
    problems = []
    if (got[0] > drawn[0] + CLOSE * d or got[1] > drawn[1] + CLOSE * d
            or got[2] < drawn[2] - CLOSE * d or got[3] < drawn[3] - CLOSE * d):
        problems.append(f"{name} {got} leaves out part of what is drawn {drawn}")
    if (got[0] < drawn[0] - LOOSE * d or got[1] < drawn[1] - LOOSE * d
            or got[2] > drawn[2] + LOOSE * d or got[3] > drawn[3] + LOOSE * d):
        problems.append(f"{name} {got} reaches far beyond what is drawn {drawn}")
    return problems


def header_box(doc, lo, hi):
    a, b = doc.header[lo], doc.header[hi]
    return (a[0], a[1], b[0], b[1])


def check_view(doc, drawn):
    """The *Active view shows all of model space and is no taller than 1.5
    times what that needs or than the sheet, whichever is larger."""
    vp = doc.viewports.get("*Active")[0]
    cx, cy = vp.dxf.center[0], vp.dxf.center[1]
    h, aspect = vp.dxf.height, vp.dxf.aspect_ratio
    w = h * aspect
    if not (h > 0 and math.isfinite(h) and math.isfinite(cx) and math.isfinite(cy)):
        return [f"opening view of no size: centre {cx, cy}, height {h}"]
    d = max(diagonal(drawn), 1e-9)
    tol = CLOSE * d
    if (cx - w / 2 > drawn[0] + tol or cx + w / 2 < drawn[2] - tol
            or cy - h / 2 > drawn[1] + tol or cy + h / 2 < drawn[3] - tol):
        return [f"opening view {cx, cy} height {h} does not show model space {drawn}"]
    need = max(drawn[3] - drawn[1], (drawn[2] - drawn[0]) / aspect)
    limmin, limmax = doc.header["$LIMMIN"], doc.header["$LIMMAX"]
    if h > max(1.5 * need, limmax[1] - limmin[1]) + 1e-9 * d:
        return [f"opening view height {h} much more than the {need} model space needs"]
    return []


def paper_layout(doc):
    """The layout of "*Paper_Space", the one paper space entities go to."""
    return next(lay for lay in doc.layouts if lay.block_record_name.upper() == "*PAPER_SPACE")


def viewport_windows(doc):
    """Model-space windows of the paper's viewports (the sheet's own aside)."""
    wins = []
    for vp in paper_layout(doc).query("VIEWPORT"):
        if vp.dxf.id == 1:
            continue
        vx, vy = vp.dxf.view_center_point[0], vp.dxf.view_center_point[1]
        vh = vp.dxf.view_height
        vw = vh * vp.dxf.width / vp.dxf.height if vp.dxf.height else 0
        wins.append((vx - vw / 2, vy - vh / 2, vx + vw / 2, vy + vh / 2))
    return wins


def check_viewports(doc):
    wins = viewport_windows(doc)
    problems = []
    for e in doc.modelspace():
        b = box_of([e])
        if b is None:
            continue
        tol = 1e-6 * max(diagonal(b), 1.0)
        if not any(w[0] - tol <= b[0] and w[1] - tol <= b[1] and b[2] <= w[2] + tol
                   and b[3] <= w[3] + tol for w in wins):
            problems.append(f"{e.dxftype()} {b} lies outside every viewport {wins}")
            break
    return problems


def check_file(job):
    path, rel, space = job
    label = f"{rel} [space {space}]"
    if not os.path.exists(path):
        return label, ["no DXF written"], None
    doc = ezdxf.readfile(path)
    problems = []
    model = box_of(doc.modelspace())
    psp = paper_layout(doc)
    paper = box_of([e for e in psp if e.dxftype() != "VIEWPORT"])
    ext = header_box(doc, "$EXTMIN", "$EXTMAX")
    pext = header_box(doc, "$PEXTMIN", "$PEXTMAX")
    for name, box in (("$EXTMIN/$EXTMAX", ext), ("$PEXTMIN/$PEXTMAX", pext)):
        if not (box[0] <= box[2] and box[1] <= box[3] and all(map(math.isfinite, box))):
            problems.append(f"{name} {box} not a finite, ordered box")
    if model:
        problems += check_box("$EXTMIN/$EXTMAX", ext, model)
        problems += check_view(doc, model)
    if paper:
        problems += check_box("$PEXTMIN/$PEXTMAX", pext, paper)
    layout = psp.dxf_layout.dxf
    if (layout.extmin[0], layout.extmin[1], layout.extmax[0], layout.extmax[1]) != pext:
        problems.append("the paper layout's extents are not the header's")
    want_tile = 0 if space == 1 else 1
    if doc.header["$TILEMODE"] != want_tile:
        problems.append(f"$TILEMODE {doc.header['$TILEMODE']}, want {want_tile}")
    plim = header_box(doc, "$PLIMMIN", "$PLIMMAX")
    if (layout.limmin[0], layout.limmin[1], layout.limmax[0], layout.limmax[1]) != plim:
        problems.append(f"$PLIMMIN/$PLIMMAX {plim} are not the layout's limits")
    if space == 1:
        problems += check_viewports(doc)
    stats = (model is not None, paper is not None, space == 1 and bool(viewport_windows(doc)))
    return label, problems, stats


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--exe", required=True)
    ap.add_argument("--samples", required=True)
    ap.add_argument("--jobs", type=int, default=2)
    a = ap.parse_args()
    env = os.environ.get("TESSA_SAMPLES_DIR")
    given = a.samples
    if env and os.path.isdir(env):
        a.samples = env
    if not os.path.isdir(os.path.join(a.samples, "jww")):
        print(f"real drawings not found; looked in $TESSA_SAMPLES_DIR ({env or 'not set'}) "
              f"and {given}; skipping.", file=sys.stderr)
        return 77
    names = ro.drawings(a.samples)
    failures, counts = [], [0, 0, 0]
    with tempfile.TemporaryDirectory(prefix="tessa-view-") as root:
        bins = {space: ro.make_bin(root, os.path.abspath(a.exe), (1, space, 0, 0, 0))
                for space in (0, 1)}
        jobs = []
        for i, rel in enumerate(names):
            for space in (0, 1):
                out = os.path.join(root, f"out_{i}_{space}.dxf")
                ro.convert_to(bins[space], a.samples, rel, out)
                jobs.append((out, rel, space))
        with concurrent.futures.ProcessPoolExecutor(max_workers=a.jobs) as pool:
            for label, problems, stats in pool.map(check_file, jobs, chunksize=4):
                failures += [f"{label}: {p}" for p in problems]
                if stats:
                    counts = [c + s for c, s in zip(counts, stats)]
    if failures:
        print(f"{len(failures)} problems:", file=sys.stderr)
        print("\n".join(failures[:60]), file=sys.stderr)
        return 1
    print(f"{len(names)} drawings, {2 * len(names)} files: {counts[0]} with model-space "
          f"geometry, {counts[1]} with paper-space geometry, {counts[2]} with viewports; "
          f"all open on what they draw")
    return 0


if __name__ == "__main__":
    sys.exit(main())
