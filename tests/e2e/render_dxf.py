#!/usr/bin/python3
"""Renders DXF files to PNG images for a visual check of conversions.

    render_dxf.py out.png in.dxf [--layout NAME] [--size PIXELS] [--window x1,y1,x2,y2]

Draws the model space (or the named paper-space layout) with ezdxf's drawing
add-on and matplotlib on a white background.  Not a test: a tool for looking
at what the converter made of a drawing.
"""
import argparse
import logging
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
from matplotlib import font_manager  # noqa: E402
import ezdxf  # noqa: E402
from ezdxf.addons.drawing import Frontend, RenderContext  # noqa: E402
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend  # noqa: E402
from ezdxf.addons.drawing.properties import LayoutProperties  # noqa: E402


def use_japanese_font():
    """Texts name SHX fonts that matplotlib lacks; let them fall back to a
    font with Japanese glyphs when one is installed (fonts-ipafont-gothic)."""
    names = {f.name for f in font_manager.fontManager.ttflist}
    for name in ("IPAGothic", "IPAPGothic", "Noto Sans CJK JP"):
        if name in names:
            font_manager.fontManager.defaultFamily["ttf"] = name
            matplotlib.rcParams["font.family"] = [name]
            return


def render(src, dst, layout_name=None, size=1600, window=None, solid=False):
    """solid: every line drawn continuous, whatever its line type."""
    use_japanese_font()
    logging.getLogger("matplotlib.font_manager").setLevel(logging.ERROR)
    doc = ezdxf.readfile(src)
    if solid:
        for e in doc.entitydb.values():
            if e.dxf.hasattr("linetype"):
                e.dxf.linetype = "Continuous"
    layout = doc.modelspace() if not layout_name else doc.layouts.get(layout_name)
    fig = plt.figure(figsize=(size / 100, size / 100), dpi=100)
    ax = fig.add_axes([0, 0, 1, 1])
    ctx = RenderContext(doc)
    props = LayoutProperties.from_layout(layout)
    props.set_colors("#ffffff")  # white paper: black pens stay black
    Frontend(ctx, MatplotlibBackend(ax)).draw_layout(layout, finalize=True, layout_properties=props)
    if window:
        ax.set_xlim(window[0], window[2])
        ax.set_ylim(window[1], window[3])
    fig.savefig(dst, dpi=100, facecolor="white")
    plt.close(fig)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("png")
    p.add_argument("dxf")
    p.add_argument("--layout")
    p.add_argument("--size", type=int, default=1600)
    p.add_argument("--window", help="x1,y1,x2,y2: the part of the drawing to show")
    a = p.parse_args()
    window = [float(v) for v in a.window.split(",")] if a.window else None
    render(a.dxf, a.png, a.layout, a.size, window)
    return 0


if __name__ == "__main__":
    sys.exit(main())
