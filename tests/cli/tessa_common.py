"""Helpers shared by the process tests of the tessa command line."""
import os
import re
import shutil
import subprocess

# Header variables that hold the time of the conversion or of the file.
DATE_VARIABLES = ("$TDCREATE", "$TDUCREATE", "$TDUPDATE", "$TDUUPDATE", "$TDINDWG", "$TDUSRTIMER")


def blank_dates(dxf: bytes) -> bytes:
    """The DXF text with the values of the date variables blanked."""
    lines = dxf.split(b"\n")
    out = []
    i = 0
    while i < len(lines):
        out.append(lines[i])
        # A header variable is "9" / "$NAME" / group code / value.
        if lines[i].strip() == b"9" and i + 3 < len(lines) and \
                lines[i + 1].strip().decode("ascii", "replace") in DATE_VARIABLES:
            out.extend([lines[i + 1], lines[i + 2], b""])
            i += 4
            continue
        i += 1
    return b"\n".join(out)


def exe(name: str) -> str:
    path = os.environ.get(name)
    if not path:
        raise SystemExit(f"{name} is not set (run through ctest)")
    return path


def run(args, cwd=None, **kw):
    """Runs a program; stdout and stderr as text (undecodable bytes kept)."""
    return subprocess.run(args, cwd=cwd, capture_output=True, text=True,
                          errors="surrogateescape", **kw)


def settings_text(lines: dict) -> str:
    """A 21-line settings file; lines not given are empty."""
    return "".join(lines.get(n, "") + "\r\n" for n in range(1, 22))


class Tessaconv:
    """The one-shot converter in a folder of its own, so that its settings
    file (beside the executable) can be chosen."""

    def __init__(self, folder: str, settings: dict):
        os.makedirs(folder, exist_ok=True)
        self.path = os.path.join(folder, "tessaconv")
        shutil.copy2(exe("TESSACONV_EXE"), self.path)
        with open(os.path.join(folder, "Tessaconv.dat"), "w", newline="") as f:
            f.write(settings_text(settings))

    def convert(self, drawing: str, output: str) -> bytes:
        if os.path.exists(output):
            os.remove(output)
        subprocess.run([self.path, "-", "-", drawing, output], check=True)
        with open(output, "rb") as f:
            return f.read()


def drawings_under(folder: str):
    found = []
    for root, _, files in os.walk(folder):
        for name in files:
            if re.search(r"\.(jww|jws|jwc|jwk)$", name, re.IGNORECASE):
                found.append(os.path.join(root, name))
    return sorted(found)


def entity_kinds(dxf: bytes) -> dict:
    """How many entities of each kind the ENTITIES section holds."""
    lines = [ln.strip() for ln in dxf.split(b"\n")]
    pairs = list(zip(lines[0::2], lines[1::2]))
    kinds = {}
    inside = False
    for code, value in pairs:
        if code == b"2" and value == b"ENTITIES":
            inside = True
        elif code == b"0" and value == b"ENDSEC":
            inside = False
        elif inside and code == b"0":
            name = value.decode("ascii")
            kinds[name] = kinds.get(name, 0) + 1
    return kinds
