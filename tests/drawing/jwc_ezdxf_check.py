"""Loads DXF files with ezdxf (an independent reader), audits them and
reports, per file, the version, the audit errors, the entity counts of
model and paper space, and the text values, one fact per line:

FILE <path> / VERSION <AC....> / ERRORS <n> / COUNT <type> <n> / TEXT <value> /
VIEWPORT <centre x y, width, height on paper> / HEADERBOX <$EXTMIN x y> <$EXTMAX x y> / MODELBOX <x1 y1 x2 y2 of the model
space entities, when there are any>

Exit code 3 when ezdxf is not available."""
import sys

try:
    import ezdxf
    from ezdxf import bbox
except ImportError:
    sys.exit(3)


def report(path):
    print("FILE", path)
    try:
        doc = ezdxf.readfile(path)
    except Exception as e:  # a file ezdxf cannot load is a failure
        print("LOADERROR", type(e).__name__, str(e).replace("\n", " "))
        return
    print("VERSION", doc.dxfversion)
    auditor = doc.audit()
    for err in auditor.errors:
        print("AUDIT", err.code, str(err.message).replace("\n", " "))
    print("ERRORS", len(auditor.errors))
    counts = {}
    for layout in doc.layouts:
        for e in layout:
            t = e.dxftype()
            counts[t] = counts.get(t, 0) + 1
            if t == "TEXT":
                print("TEXT", e.dxf.text)
            elif t == "VIEWPORT":
                c = e.dxf.center
                print("VIEWPORT", c[0], c[1], e.dxf.width, e.dxf.height)
    for t in sorted(counts):
        print("COUNT", t, counts[t])
    emin, emax = doc.header["$EXTMIN"], doc.header["$EXTMAX"]
    print("HEADERBOX", emin[0], emin[1], emax[0], emax[1])
    box = bbox.extents(doc.modelspace())
    if box.has_data:
        print("MODELBOX", box.extmin.x, box.extmin.y, box.extmax.x, box.extmax.y)


for p in sys.argv[1:]:
    report(p)
