"""What the module's outputs are compared with: the converter executable run as
its parent application runs it (a folder of its own with Tessaconv.dat beside
it, four arguments), and the real drawings it is run on."""
import os
import shutil
import subprocess
import tempfile

DRAWING_EXTENSIONS = (".jww", ".jws", ".jwc", ".jwk")
# Header variables whose values come from the drawing's file times (or, for a
# drawing held in memory, from no file at all).
DATE_VARS = {b"$TDCREATE", b"$TDUCREATE", b"$TDUPDATE", b"$TDUUPDATE", b"$TDINDWG",
             b"$TDUSRTIMER"}

# Settings-file values of the module's option names.
_CHOICES = {
    "dxf": {"r12": 0, "r2000": 1, "r2007": 2},
    "pen_colours": {"screen": 0, "printer": 1},
    "layer_names": {"number": 0, "layer": 1, "group-layer": 2},
    "space": {"model": 0, "paper": 1},
    "points": {"point": 0, "circle": 1, "circles": 2, "cross": 3, "diamond": 4,
               "filled": 5, "quarters": 6},
}
DEFAULTS = {"dxf": "r2000", "space": "model", "pen_colours": "screen",
            "layer_names": "number", "scale_group": 0, "points": "point",
            "point_size": 0.001}




def drawings(root):
    """Every drawing below root, as sorted paths relative to it."""
    found = []
    for folder, _, files in os.walk(root):
        for name in files:
            if os.path.splitext(name)[1].lower() in DRAWING_EXTENSIONS:
                found.append(os.path.relpath(os.path.join(folder, name), root))
    return sorted(found)


def option_sets(n):
    """n option sets that together take every value of every option: each
    drawing of a list gets the next one."""
    keys = list(_CHOICES)
    sizes = [0.001, 0.5, 2.0, 25.0]
    for i in range(n):
        o = {k: list(_CHOICES[k])[i % len(_CHOICES[k])] for k in keys}
        o["scale_group"] = (i * 5) % 16
        o["point_size"] = sizes[i % len(sizes)]
        yield o


def settings_text(options):
    o = dict(DEFAULTS, **options)
    lines = ["50", "50", "480", "480", "True", "False", "False", "False", "False", "", "",
             "", "1", "Windows",
             str(_CHOICES["dxf"][o["dxf"]]),
             str(_CHOICES["pen_colours"][o["pen_colours"]]),
             str(_CHOICES["layer_names"][o["layer_names"]]),
             str(_CHOICES["space"][o["space"]]),
             str(o["scale_group"]),
             str(_CHOICES["points"][o["points"]]),
             repr(float(o["point_size"]))]
    return "\r\n".join(lines) + "\r\n"


def blank_dates(dxf):
    """The DXF text with the values of the date variables blanked."""
    lines = dxf.split(b"\n")
    out, blank_next = [], 0
    for line in lines:
        if blank_next:
            blank_next -= 1
            if blank_next == 0:
                out.append(b"<date>")
                continue
        if line.rstrip(b"\r").strip() in DATE_VARS:
            blank_next = 2  # the group code line, then the value line
        out.append(line)
    return b"\n".join(out)


def first_difference(a, b):
    """A short description of where two DXF texts part, for failure messages."""
    la, lb = a.split(b"\n"), b.split(b"\n")
    for i, (x, y) in enumerate(zip(la, lb)):
        if x != y:
            return f"line {i + 1}: {x[:80]!r} != {y[:80]!r}"
    return f"lengths {len(la)} and {len(lb)} lines"


class Reference:
    """Copies of the executable, one per option set, each with its settings file."""

    def __init__(self, exe):
        self.exe = exe
        self.root = tempfile.mkdtemp(prefix="tessa-py-ref-")
        self.bins = {}

    def close(self):
        shutil.rmtree(self.root, ignore_errors=True)

    def prepare(self, options):
        """Makes the copy for options; do it for all before running any from
        threads (a copy still open for writing when another thread starts a
        process cannot be run)."""
        key = tuple(sorted(dict(DEFAULTS, **options).items()))
        if key not in self.bins:
            folder = os.path.join(self.root, f"bin{len(self.bins)}")
            os.mkdir(folder)
            shutil.copy2(self.exe, os.path.join(folder, "tessaconv"))
            with open(os.path.join(folder, "Tessaconv.dat"), "w", encoding="ascii",
                      newline="") as f:
                f.write(settings_text(options))
            self.bins[key] = os.path.join(folder, "tessaconv")
        return self.bins[key]

    def convert(self, src, options):
        """The executable's DXF for src with options, or None when it wrote none."""
        exe = self.prepare(options)
        with tempfile.TemporaryDirectory(prefix="tessa-py-out-") as work:
            out = os.path.join(work, "out.dxf")
            subprocess.run([exe, "a", "b", src, out], check=False, timeout=300,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            if not os.path.exists(out):
                return None
            with open(out, "rb") as f:
                return f.read()
