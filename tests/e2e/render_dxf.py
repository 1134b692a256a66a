#!/usr/bin/python3
"""Renders DXF files to PNG images for a visual check of conversions.

    render_dxf.py out.png in.dxf [--layout NAME] [--size PIXELS] [--window x1,y1,x2,y2]

Draws the model space (or the named paper-space layout) with ezdxf's drawing
add-on and matplotlib on a white background.  Not a test: a tool for looking
at what the converter made of a drawing.
"""
import argparse
import logging
import os
import subprocess
import sys
import tempfile

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
from matplotlib import font_manager  # noqa: E402
import ezdxf  # noqa: E402
from ezdxf.tools import fonts  # noqa: E402
from ezdxf.addons.drawing import Frontend, RenderContext  # noqa: E402
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend  # noqa: E402
from ezdxf.addons.drawing.properties import LayoutProperties  # noqa: E402


# The fonts the preview names first (Debian fonts-noto-cjk), then others
# with Japanese glyphs (fonts-ipafont-gothic).
JAPANESE_FONTS = ("Noto Sans Mono CJK JP", "Noto Sans CJK JP", "IPAGothic", "IPAPGothic")


def font_file(name):
    """A file of its own for the font `name` as fontconfig finds it, or
    None.  matplotlib reads only the first font of a collection (.ttc), and
    the monospaced Noto CJK fonts are later ones: such a font is copied out
    once into a folder of the system's temporary place."""
    try:
        found = subprocess.run(["fc-match", "-f", "%{family}|%{file}|%{index}", name],
                               capture_output=True, text=True, check=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return None
    families, path, index = found.rsplit("|", 2)
    if name not in families.split(",") or not os.path.isfile(path):
        return None
    if not path.lower().endswith(".ttc") or index in ("", "0"):
        return path
    folder = os.path.join(tempfile.gettempdir(), "tessa-fonts")
    out = os.path.join(folder, name.replace(" ", "") + ".otf")
    if not os.path.exists(out):
        from fontTools.ttLib import TTCollection
        os.makedirs(folder, exist_ok=True)
        part = "%s.%d" % (out, os.getpid())
        TTCollection(path).fonts[int(index)].save(part)
        os.replace(part, out)
    return out


def japanese_font():
    """The first of JAPANESE_FONTS there is, made known to matplotlib, and
    its file; (None, None) when there is none."""
    for name in JAPANESE_FONTS:
        path = font_file(name)
        if not path:
            continue
        try:
            font_manager.fontManager.addfont(path)
        except (OSError, RuntimeError, ValueError):
            continue
        if name in {f.name for f in font_manager.fontManager.ttflist}:
            return name, path
    return None, None


def use_japanese_font(ctx, backend):
    """Texts name SHX fonts that matplotlib lacks: every text style is drawn
    with one font with Japanese glyphs, the one the preview names first when
    it is installed, so that the two pictures differ in their renderers
    only.  A text fitted between two points is as long as its characters'
    advances, as the preview lays it out (ezdxf measures the ink, which ends
    short of the last character's cell)."""
    name, path = japanese_font()
    if not name:
        return
    font_manager.fontManager.defaultFamily["ttf"] = name
    matplotlib.rcParams["font.family"] = [name]
    face = fonts.FontFace(family=name)
    for style in list(ctx.fonts):
        ctx.fonts[style] = face
    try:
        from PIL import ImageFont
        advances = ImageFont.truetype(path, 1000)
    except (ImportError, OSError):
        return
    renderer = backend._text_renderer

    def advance_width(text, cap_height, font=None):
        prop = renderer.get_font_properties(font)
        em = cap_height / renderer.get_font_measurements(prop).cap_height
        return advances.getlength(text) / 1000 * em

    backend.get_text_line_width = advance_width


def render(src, dst, layout_name=None, size=1600, window=None, solid=False):
    """solid: every line drawn continuous, whatever its line type."""
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
    backend = MatplotlibBackend(ax)
    use_japanese_font(ctx, backend)
    props = LayoutProperties.from_layout(layout)
    props.set_colors("#ffffff")  # white paper: black pens stay black
    Frontend(ctx, backend).draw_layout(layout, finalize=True, layout_properties=props)
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
