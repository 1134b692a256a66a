#!/usr/bin/python3
"""Reads DXF files back with ezdxf's recovering loader (which also turns the
"\\U+XXXX" escapes of R12 and R2000 files into characters) and prints one
JSON object per file on its own line:

  {"file": path, "version": "AC1015", "errors": n, "audit": [...],
   "texts": [every TEXT value of every layout and block],
   "inserts": [{"layout": name, "block": name, "x": .., "y": ..,
                "w": .., "h": ..}]}

w and h are the size of what an INSERT of model or paper space draws, as
ezdxf works it out from the block's contents (nested inserts included).
A character beyond U+FFFF written as two escapes (its surrogates) is read
back as that one character.  Exit code 3 when ezdxf is not available."""
import json
import sys

try:
    import ezdxf
    from ezdxf import bbox, recover
except ImportError:
    sys.exit(3)


def joined(s):
    """Surrogate pairs into the characters they stand for."""
    return s.encode("utf-16", "surrogatepass").decode("utf-16", "replace")


def report(path):
    out = {"file": path}
    try:
        doc, auditor = recover.readfile(path)
    except Exception as e:  # a file ezdxf cannot load is a failure
        out["loadError"] = f"{type(e).__name__}: {e}"
        return out
    out["version"] = doc.dxfversion
    audit = doc.audit()
    out["errors"] = len(audit.errors) + len(auditor.errors)
    out["audit"] = [str(e.message) for e in list(auditor.errors) + list(audit.errors)]
    texts = []
    for block in doc.blocks:  # model and paper space are blocks too
        for e in block:
            if e.dxftype() == "TEXT":
                texts.append(joined(e.dxf.text))
    out["texts"] = texts
    inserts = []
    for layout in doc.layouts:
        for e in layout:
            if e.dxftype() != "INSERT":
                continue
            box = bbox.extents([e])
            size = box.size if box.has_data else (0, 0)
            inserts.append({"layout": layout.name, "block": e.dxf.name,
                            "x": e.dxf.insert.x, "y": e.dxf.insert.y,
                            "w": size[0], "h": size[1]})
    out["inserts"] = inserts
    return out


for p in sys.argv[1:]:
    print(json.dumps(report(p), ensure_ascii=True))
