#!/usr/bin/python3
"""Reads every DXF file of a folder with ezdxf and runs its audit.

Exit 0 when every file loads and the audit reports no error, 1 otherwise,
77 (skipped) when ezdxf is not installed or the folder holds no DXF file.
"""
import os
import sys

try:
    import ezdxf
except ImportError:
    print("ezdxf is not installed")
    sys.exit(77)


def audit(path):
    try:
        doc = ezdxf.readfile(path)
    except Exception as e:  # any failure to load counts
        return ["cannot load: %s: %s" % (type(e).__name__, e)]
    auditor = doc.audit()
    problems = []
    for err in auditor.errors:
        problems.append("error %s: %s" % (err.code, err.message))
    for fix in auditor.fixes:
        print("  %s: fixed %s: %s" % (os.path.basename(path), fix.code, fix.message))
    return problems


def main():
    folder = sys.argv[1]
    files = sorted(f for f in os.listdir(folder) if f.lower().endswith(".dxf"))
    if not files:
        print("no DXF files in", folder)
        return 77
    failed = 0
    for name in files:
        problems = audit(os.path.join(folder, name))
        status = "ok" if not problems else "FAILED"
        print("%-40s %s" % (name, status))
        for p in problems:
            print("   ", p)
        failed += bool(problems)
    print("%d of %d files failed" % (failed, len(files)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
