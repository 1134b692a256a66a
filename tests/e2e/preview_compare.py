#!/usr/bin/python3
"""The SVG preview draws what the DXF file holds, on the real drawings.

    preview_compare.py --tessa tessa --samples DIR [--jobs N] [--keep DIR]

Every drawing under DIR/jww and DIR/jws gets a preview of model space, and
the JWW drawings one of their paper layout too, with `tessa preview`; the
same drawing is converted with `tessa convert` and the same options.  The
SVG is drawn by rsvg-convert, the DXF by ezdxf's drawing add-on (see
render_dxf.py).  Both pictures are cut to the bounding box of their ink and
brought to the same size, 1000 pixels across the larger side; then at least
90% of the ink of each must lie within 3 pixels of ink of the other.  Texts
may differ in the shape of their glyphs, not in their place: both renderers
draw them in the preview's first font, Noto Sans Mono CJK JP, and a text
fitted between two points is as long as its characters' cells in both.
Both are drawn with continuous lines: ezdxf 0.18 draws arcs and circles
without their line type, and a dotted arc against a solid one says nothing
about where it lies.

Skips (exit 77) without the samples folder, rsvg-convert, ezdxf or that font
(Debian fonts-noto-cjk).
"""
import argparse
import concurrent.futures
import os
import shutil
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTH = 1000       # pixels across the ink's box
REACH = 3          # pixels an ink pixel may lie from the other picture's
SHARE = 0.90       # of each picture's ink
RENDER = 1600      # pixels across the whole picture before cutting
FONT = "Noto Sans Mono CJK JP"  # the preview's first font

try:
    import numpy as np
    from PIL import Image
    sys.path.insert(0, HERE)
    import render_dxf  # noqa: E402
except ImportError as e:  # pragma: no cover - needs ezdxf, matplotlib, PIL
    print("cannot draw DXF files here: %s" % e, file=sys.stderr)
    sys.exit(77)


def drawings(samples):
    found = []
    for sub in ("jww", "jws"):
        for root, _, files in os.walk(os.path.join(samples, sub)):
            for f in files:
                if os.path.splitext(f)[1].lower() in (".jww", ".jws"):
                    found.append(os.path.join(root, f))
    return sorted(found)


def ink(png):
    """The ink of a picture as a boolean array, cut to its bounding box."""
    rgb = np.asarray(Image.open(png).convert("RGB"), dtype=np.int16)
    mask = rgb.min(axis=2) < 200
    ys, xs = np.nonzero(mask)
    if len(xs) == 0:
        return mask[:0, :0]
    return mask[ys.min():ys.max() + 1, xs.min():xs.max() + 1]


def scaled(mask, size):
    img = Image.fromarray(mask.astype(np.uint8) * 255)
    return np.asarray(img.resize(size, Image.BILINEAR)) > 64


def dilated(mask, r):
    out = mask.copy()
    h, w = mask.shape
    for dy in range(-r, r + 1):
        for dx in range(-r, r + 1):
            if dx * dx + dy * dy > r * r or (dx == 0 and dy == 0):
                continue
            src = mask[max(0, -dy):h - max(0, dy), max(0, -dx):w - max(0, dx)]
            out[max(0, dy):h - max(0, -dy), max(0, dx):w - max(0, -dx)] |= src
    return out


def agreement(a_png, b_png):
    """Shares of a's ink near b's and of b's near a's, both brought to a's
    ink box at WIDTH pixels across its larger side (a narrow symbol drawn
    WIDTH pixels wide would be tens of thousands tall, its lines' widths
    magnified as much)."""
    a, b = ink(a_png), ink(b_png)
    if a.size == 0 or b.size == 0:
        return (1.0, 1.0) if a.size == b.size else (0.0, 0.0)
    k = WIDTH / max(a.shape)
    size = (max(1, round(a.shape[1] * k)), max(1, round(a.shape[0] * k)))
    a, b = scaled(a, size), scaled(b, size)
    near_a, near_b = dilated(a, REACH), dilated(b, REACH)
    return (np.count_nonzero(a & near_b) / max(1, np.count_nonzero(a)),
            np.count_nonzero(b & near_a) / max(1, np.count_nonzero(b)))


def check(tessa, drawing, space, work):
    name = os.path.splitext(os.path.basename(drawing))[0].replace(" ", "_")
    base = os.path.join(work, "%s-%08x-%s" % (name, zlib.crc32(drawing.encode()), space))
    svg, dxf = base + ".svg", base + ".dxf"
    for cmd, out in (("preview", svg), ("convert", dxf)):
        p = subprocess.run([tessa, cmd, "-q", "-f", "--space", space, drawing, "-o", out],
                           capture_output=True, text=True)
        if p.returncode != 0:
            return "%s %s: tessa %s failed: %s" % (drawing, space, cmd, p.stderr.strip())
    solid = base + ".css"
    with open(solid, "w") as f:
        f.write("* { stroke-dasharray: none !important; }\n")
    # Both pictures RENDER pixels along their larger side, as ezdxf fits the
    # drawing into its square figure: lines are then as wide on both.
    subprocess.run(["rsvg-convert", "--width", str(RENDER), "--height", str(RENDER),
                    "--keep-aspect-ratio", "--background-color", "white",
                    "--stylesheet", solid, svg, "-o", base + "-svg.png"], check=True)
    render_dxf.render(dxf, base + "-dxf.png", "レイアウト1" if space == "paper" else None, RENDER,
                      solid=True)
    near_svg, near_dxf = agreement(base + "-svg.png", base + "-dxf.png")
    line = "%s %s: %.1f%% of the preview's ink near the DXF's, %.1f%% the other way" % (
        os.path.relpath(drawing), space, 100 * near_svg, 100 * near_dxf)
    ok = near_svg >= SHARE and near_dxf >= SHARE
    return None if ok else line, line


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--tessa", required=True)
    p.add_argument("--samples", default="")
    p.add_argument("--jobs", type=int, default=2)
    p.add_argument("--keep", help="leave the pictures in this folder")
    a = p.parse_args()
    if not a.samples or not os.path.isdir(a.samples):
        print("no samples folder (%r): skipped" % a.samples, file=sys.stderr)
        return 77
    if not shutil.which("rsvg-convert"):
        print("rsvg-convert is not installed (librsvg2-bin): skipped", file=sys.stderr)
        return 77
    # Texts compare by place only when both renderers draw them in the
    # preview's first font.
    if render_dxf.font_file(FONT) is None:
        print("the font %r is not installed (fonts-noto-cjk): skipped" % FONT, file=sys.stderr)
        return 77
    cases = []
    for d in drawings(a.samples):
        cases.append((d, "model"))
        if d.lower().endswith(".jww"):
            cases.append((d, "paper"))
    work = a.keep or tempfile.mkdtemp(prefix="tessa-preview-")
    os.makedirs(work, exist_ok=True)
    failures = []
    try:
        with concurrent.futures.ProcessPoolExecutor(a.jobs) as pool:
            for result in pool.map(check, *zip(*[(a.tessa, d, s, work) for d, s in cases])):
                failure, line = result if isinstance(result, tuple) else (result, result)
                print(line)
                if failure:
                    failures.append(failure)
    finally:
        if not a.keep:
            shutil.rmtree(work, ignore_errors=True)
    print("%d pictures compared, %d differ" % (len(cases), len(failures)))
    for f in failures:
        print("DIFFERS: " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
