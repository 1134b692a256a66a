#!/usr/bin/python3
"""End-to-end test of the converter on the real drawings of the samples folder.

    e2e_samples.py --exe tessaconv --dump jw_dump --samples DIR [--jobs N]

Every JWW drawing and JWS symbol under DIR/jww and DIR/jws (recursively, file
names in Japanese included) is converted by the executable as the parent
application would run it: from a folder of its own holding the settings file
Tessaconv.dat, with four arguments.  Every drawing is converted in all three
DXF versions and both output spaces; the layer naming rule, the point type
and the base layer group rotate over the drawings so that each value occurs
on several of them.

Each output is read back with ezdxf, an independent DXF reader, and must
 - load and pass ezdxf's audit without errors, in the version asked for;
 - hold, per DXF entity type, as many entities in its layouts and in its
   blocks as the drawing's own list and its used block definitions give.
   The expectation is worked out here from the reader's dump of the drawing
   (jw_dump), not from the converter;
 - carry every text of the drawing unchanged (exactly in R2007, which is
   UTF-8; in the Shift_JIS versions, with "\\U+XXXX" escapes read back,
   wherever Python's and Windows' code page 932 agree on the text);
 - in paper space, hold each used block definition once per scale of the
   groups that place it (through the definitions that place it too), and
   draw every symbol the drawing places at its own group's scale: its size
   is the model-space size times that scale over the base group's;
 - contain none of Jw_cad's own setting texts ("Name = value" at (0, -1000)),
   and have header extents that cover the drawing's lines without reaching
   far beyond what is drawn.
Drawings cut short, or not drawings at all, must give no DXF file.
"""
import argparse
import collections
import concurrent.futures
import json
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile

try:
    import ezdxf
    from ezdxf import bbox as ezbbox
    from ezdxf.lldxf.encoding import decode_dxf_unicode
except ImportError:  # pragma: no cover - the test needs an independent reader
    print("python3-ezdxf is not installed", file=sys.stderr)
    sys.exit(77)

VERSIONS = {0: "AC1009", 1: "AC1015", 2: "AC1021"}
SETTING_RE = re.compile(r"^[A-Za-z][A-Za-z0-9_]* = .+$")

# ---- What a drawing should become ------------------------------------------------------


def norm_deg(d):
    if not math.isfinite(d):
        return d
    if abs(d) >= 1e6:
        d = math.fmod(d, 360.0)
    while d < 0:
        d += 360.0
    while d >= 360.0:
        d -= 360.0
    if abs(d) <= 1e-10 or abs(abs(d) - 360.0) <= 1e-10:
        d = 0.0
    return d


def deg(rad):
    return rad * 180 / math.pi


def sweep_deg(sweep_rad):
    return norm_deg(deg(-sweep_rad)) if sweep_rad < 0 else norm_deg(deg(sweep_rad))


def curve_type(da, ratio, in_block, ver):
    he = 1.0 if abs(ratio - 1) <= 1e-12 else ratio
    if abs(he - 1) <= 1e-14:
        closed = abs(da) <= 1e-14 or (not in_block and abs(abs(da) - 360) <= 1e-14)
        return "CIRCLE" if closed else "ARC"
    return "POLYLINE" if ver == 0 else "ELLIPSE"


def exists(e):
    return e["g"] <= 15 and e["l"] <= 15


def del_space(s):
    return "".join(c for c in s if c not in (" ", "\u3000") and ord(c) >= 0x20)


def is_marker(s):
    return s.startswith("^@BM") and "," in s


def is_setting(t):
    return t["p"] == [0, -1000, 0, -1000] and SETTING_RE.match(t["s"]) is not None


def point_type(tentyp):
    return {0: "POINT", 1: "CIRCLE"}.get(tentyp, "INSERT" if 2 <= tentyp <= 6 else None)


class Expect:
    """Entity types per DXF type and the texts that the output must hold."""

    def __init__(self, ver, tentyp, used):
        self.ver, self.tentyp, self.used = ver, tentyp, used
        self.counts = collections.Counter()
        self.texts = []

    def add(self, kind, n=1):
        if kind:
            self.counts[kind] += n

    def line(self, e):
        if exists(e):
            self.add("LINE")

    def point(self, e):
        if exists(e):
            self.add("CIRCLE" if e["kari"] == 1 else point_type(self.tentyp))

    def text(self, e, own):
        s = e["s"]
        if is_marker(s) or (own and is_setting(e)) or not exists(e) or not del_space(s):
            return
        self.add("TEXT")
        self.texts.append(s)

    def solid(self, e, in_block):
        if not exists(e):
            return
        p = e["p"]
        if e["ps"] < 101:
            eq = lambda a, b: abs(p[a] - p[b]) <= 1e-14 and abs(p[a + 1] - p[b + 1]) <= 1e-14
            self.add("LINE" if (eq(4, 0) or eq(4, 2)) and (eq(6, 0) or eq(6, 2)) else "SOLID")
        elif e["ps"] == 111:
            da = 0 if abs(p[7] - 100) <= 1e-10 else sweep_deg(p[6])
            self.add(curve_type(da, p[3], in_block, self.ver))
        elif e["ps"] in (101, 105, 106):
            self.add("SOLID", 72)

    def entity(self, e, own):
        k = e["k"]
        if k == "line":
            self.line(e)
        elif k == "arc":
            if exists(e):
                self.add(curve_type(sweep_deg(e["da"]), e["he"], not own, self.ver))
        elif k == "point":
            self.point(e)
        elif k == "text":
            self.text(e, own)
        elif k == "dim":
            self.line(e["sen"])
            if e["sxf"]:
                self.line(e["ho1"])
                self.line(e["ho2"])
                self.point(e["te1"])
                self.point(e["te2"])
            self.text(e["moji"], False)
        elif k == "solid":
            self.solid(e, not own)
        elif k == "insert":
            if exists(e) and e["no"] in self.used:
                self.add("INSERT")


def marker_block(tentyp):
    return {
        2: {"CIRCLE": 2},
        3: {"CIRCLE": 1, "LINE": 2},
        4: {"LINE": 4},
        5: {"SOLID": 1},
        6: {"SOLID": 4},
    }.get(tentyp, {})


def viewport_count(scales, base):
    n = 1  # the paper itself
    for g in range(16):
        if g == base:
            continue
        if not any(j != base and abs(scales[j] - scales[g]) <= 1e-12 for j in range(g)):
            n += 1
    return n


def block_variants(dump, base, defs):
    """Paper space: the scales each used definition is written at.  A copy is
    drawn at the scale of the group whose insert places it (1 for the base
    group), a nested insert places its target at the scale of the copy it is
    in; inserts between definitions that place each other place nothing.
    Returns, per index of defs, the sorted scales ([None]: placed by nothing),
    the index of the first used definition of each number, and the test for
    inserts closing a loop."""
    scales = [1.0 if g == base else s for g, s in enumerate(dump["scales"])]
    first = {}
    for i, b in enumerate(defs):
        first.setdefault(b["no"], i)
    places = collections.defaultdict(set)
    for b in defs:
        for e in b["content"]:
            if e["k"] == "insert" and exists(e) and e["no"] in first:
                places[first[b["no"]]].add(first[e["no"]])

    def reaches(a, b):
        seen, todo = set(), [a]
        while todo:
            v = todo.pop()
            if v == b:
                return True
            if v not in seen:
                seen.add(v)
                todo.extend(places[v])
        return False

    def cyclic(a, b):
        return reaches(b, a)

    got = collections.defaultdict(set)
    for e in dump["entities"]:
        if e["k"] == "insert" and exists(e) and e["no"] in first:
            got[first[e["no"]]].add(scales[e["g"]])
    changed = True
    while changed:
        changed = False
        for a in list(got):
            for b in places[a]:
                if not cyclic(a, b) and not got[a] <= got[b]:
                    got[b] |= got[a]
                    changed = True
    variants = [sorted(got[i]) if got[i] else [None] for i in range(len(defs))]
    return variants, first, cyclic, scales


def paper_block_contents(dump, ver, tentyp, base, defs):
    """Block counts in paper space: each definition's contents once per copy;
    a nested insert only where its target has a copy of the same scale."""
    variants, first, cyclic, scales = block_variants(dump, base, defs)
    blocks = Expect(ver, tentyp, set())
    for b in defs:
        into = first[b["no"]]
        for sc in variants[into]:
            for e in b["content"]:
                if e["k"] != "insert":
                    blocks.entity(e, False)
                    continue
                if not exists(e) or e["no"] not in first:
                    continue
                to = first[e["no"]]
                want = scales[e["g"]] if sc is None else sc
                if not cyclic(into, to) and want in variants[to]:
                    blocks.add("INSERT")
    return blocks, sum(len(v) for v in variants)


def expectation(dump, ver, space, tentyp, base):
    defs = [b for b in dump["blocks"] if b["used"]]
    used = {b["no"] for b in defs}
    model = Expect(ver, tentyp, used)
    for e in dump["entities"]:
        model.entity(e, True)
    if space == 1:
        model.add("VIEWPORT", viewport_count(dump["scales"], base))
    blocks = Expect(ver, tentyp, used)
    for b in defs:
        for e in b["content"]:
            blocks.entity(e, False)
    ndefs = len(defs)
    if space == 1:
        blocks, ndefs = paper_block_contents(dump, ver, tentyp, base, defs)
    has_points = any(e["k"] == "point" for e in dump["entities"]) or any(
        e["k"] == "point" for b in defs for e in b["content"])
    marker = marker_block(tentyp) if has_points else {}
    return model, blocks, ndefs, marker


# ---- Runs --------------------------------------------------------------------------------


def settings(ver, space, naming, base, tentyp):
    lines = ["50", "50", "480", "480", "true", "false", "false", "false", "false", "", "",
             "", "1", "Windows", str(ver), "0", str(naming), str(space), str(base),
             str(tentyp), "0.5"]
    return "\r\n".join(lines) + "\r\n"


class Runner:
    """One folder per set of options, each with its own copy of the
    executable and settings file, as the parent application lays them out."""

    def __init__(self, exe, root):
        self.exe, self.root, self.dirs = exe, root, {}

    def folder(self, options):
        if options not in self.dirs:
            d = os.path.join(self.root, "run_" + "_".join(map(str, options)))
            os.makedirs(d)
            target = os.path.join(d, "tessaconv")
            try:
                os.link(self.exe, target)
            except OSError:
                shutil.copy2(self.exe, target)
            with open(os.path.join(d, "Tessaconv.dat"), "w", encoding="ascii") as f:
                f.write(settings(*options))
            self.dirs[options] = d
        return self.dirs[options]

    def convert(self, options, src, name):
        d = self.folder(options)
        out = os.path.join(d, name)
        if os.path.exists(out):
            os.remove(out)
        subprocess.run([os.path.join(d, "tessaconv"), "parent", "-", src, out],
                       cwd=d, timeout=120, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return out


def layout_counts(doc):
    c = collections.Counter()
    for layout in doc.layouts:
        for e in layout:
            c[e.dxftype()] += 1
    return c


def block_counts(doc):
    user, marker, n = collections.Counter(), collections.Counter(), 0
    for blk in doc.blocks:
        if blk.name.startswith("*") or blk.name.startswith("$"):
            continue
        target = marker if blk.name.upper() == "_TRANS_TEN" else user
        if target is user:
            n += 1
        for e in blk:
            target[e.dxftype()] += 1
    return user, marker, n


def plain(c):
    return {k: v for k, v in sorted(c.items()) if v}


def shift_jis_safe(s):
    """Texts that read back through Python's code page 932 as they were:
    not those with characters whose code differs between Windows' table
    and Python's, nor the single bytes Windows alone maps.  (Characters
    without any code are written as "\\U+XXXX" escapes and read back.)"""
    return not any(c in "\u00a5\u203e\u2014\u301c\u2016\u2212\u00a2\u00a3\u00ac\uff5e\u2225\uff0d"
                   "\u0080\uf8f0\uf8f1\uf8f2\uf8f3" for c in s)


def text_value(t, ver):
    s = t.dxf.text
    if ver != 2:
        # Escapes of UTF-16 units, a character beyond U+FFFF as its surrogates.
        s = decode_dxf_unicode(s).encode("utf-16", "surrogatepass").decode("utf-16", "replace")
    return s.replace("^ ", "^")


def check_texts(doc, expect, ver):
    got = []
    for layout in doc.layouts:
        got += [text_value(t, ver) for t in layout.query("TEXT")]
    for blk in doc.blocks:
        if not (blk.name.startswith("*") or blk.name.startswith("$")):
            got += [text_value(t, ver) for t in blk.query("TEXT")]
    want = expect
    if ver != 2:
        keep = [shift_jis_safe(s) for s in want]
        want = [s for s, k in zip(want, keep) if k]
        got_set = collections.Counter(got)
        missing = [s for s in want if got_set[s] == 0]
        return [f"text lost or changed: {s!r}" for s in missing[:3]]
    if sorted(got) != sorted(want):
        lost = list((collections.Counter(want) - collections.Counter(got)).elements())
        extra = list((collections.Counter(got) - collections.Counter(want)).elements())
        return [f"texts differ: lost {lost[:3]!r}, unexpected {extra[:3]!r}"]
    return []


def check_extents(doc, dump):
    """Model space only: the header box must cover the lines and stay near
    what is drawn (the contents of block inserts included), so that texts
    left out of the drawing, such as Jw_cad's setting texts far below the
    paper, cannot stretch it even in a drawing made only of inserts."""
    lines = list(doc.modelspace().query("LINE"))
    emin, emax = doc.header["$EXTMIN"], doc.header["$EXTMAX"]
    box = ezbbox.extents(doc.modelspace(), fast=True)
    if not box.has_data:
        return []
    size = max(box.size.x, box.size.y, 1e-9)
    tol = 1e-6 * size
    problems = []
    for ln in lines:
        for p in (ln.dxf.start, ln.dxf.end):
            if not (emin[0] - tol <= p.x <= emax[0] + tol and emin[1] - tol <= p.y <= emax[1] + tol):
                problems.append(f"line point {tuple(p)[:2]} outside header extents "
                                f"{tuple(emin)[:2]}..{tuple(emax)[:2]}")
                break
        if problems:
            break
    margin = 0.1 * size
    if (emin[0] < box.extmin.x - margin or emin[1] < box.extmin.y - margin
            or emax[0] > box.extmax.x + margin or emax[1] > box.extmax.y + margin):
        problems.append(f"header extents {tuple(emin)[:2]}..{tuple(emax)[:2]} reach beyond "
                        f"the drawing {tuple(box.extmin)[:2]}..{tuple(box.extmax)[:2]}")
    return problems


def check_one(job):
    """Runs in a worker: reads one output back and compares."""
    out, dump, options = job
    ver, space, naming, base, tentyp = options
    label = f"{dump['path']} [ver {ver}, space {space}, names {naming}, base {base}, points {tentyp}]"
    if not os.path.exists(out):
        return label, ["no DXF written"], {}
    try:
        doc = ezdxf.readfile(out)
    except Exception as ex:  # noqa: BLE001 - any failure to read is the finding
        return label, [f"ezdxf cannot read it: {ex}"], {}
    problems = []
    if doc.dxfversion != VERSIONS[ver]:
        problems.append(f"version {doc.dxfversion}, asked for {VERSIONS[ver]}")
    auditor = doc.audit()
    problems += [f"audit: {e.message}" for e in auditor.errors[:5]]
    model, blocks, ndefs, marker = expectation(dump, ver, space, tentyp, base)
    got = layout_counts(doc)
    if plain(got) != plain(model.counts):
        problems.append(f"entities {plain(got)}, expected {plain(model.counts)}")
    user, got_marker, nblocks = block_counts(doc)
    if nblocks != ndefs:
        problems.append(f"{nblocks} blocks, expected {ndefs}")
    if plain(user) != plain(blocks.counts):
        problems.append(f"block contents {plain(user)}, expected {plain(blocks.counts)}")
    if plain(got_marker) != plain(marker):
        problems.append(f"point marker {plain(got_marker)}, expected {plain(marker)}")
    problems += check_texts(doc, model.texts + blocks.texts, ver)
    settings_seen = [t for t in dump["entities"] if t["k"] == "text" and is_setting(t)]
    for layout in doc.layouts:
        for t in layout.query("TEXT"):
            if SETTING_RE.match(t.dxf.text) and any(s["s"] == t.dxf.text for s in settings_seen):
                problems.append(f"setting text written: {t.dxf.text!r}")
    if space == 0:
        problems += check_extents(doc, dump)
    layers = len(doc.layers)
    if layers < 260:
        problems.append(f"{layers} layers")
    return label, problems, {"settings": len(settings_seen), "entities": sum(got.values())}


def drawing_inserts(doc):
    """The drawing's inserts (not point markers) of model space and of the
    first paper layout, each in file order."""
    def of(layout):
        return [e for e in layout.query("INSERT") if e.dxf.name.upper() != "_TRANS_TEN"]
    paper = [lay for lay in doc.layouts if not lay.is_modelspace]
    return of(doc.modelspace()), of(paper[0]) if paper else []


def check_insert_sizes(job):
    """Runs in a worker: every symbol the drawing places is drawn, in paper
    space, at the scale of its own layer group (full size on paper for the
    base group), where model space draws all at the base group's scale: the
    size of each copy in the two outputs differs by that ratio alone."""
    model_out, paper_out, dump, ver, base = job
    label = f"{dump['path']} [ver {ver}, both spaces, base {base}]"
    try:
        model_doc, paper_doc = ezdxf.readfile(model_out), ezdxf.readfile(paper_out)
    except Exception:  # noqa: BLE001 - reported by the checks of each output
        return label, []
    used = {b["no"] for b in dump["blocks"] if b["used"]}
    groups = [e["g"] for e in dump["entities"]
              if e["k"] == "insert" and exists(e) and e["no"] in used]
    in_model, _ = drawing_inserts(model_doc)
    paper_model, paper_paper = drawing_inserts(paper_doc)
    on_paper = [g == base for g in groups]
    if len(in_model) != len(groups) or len(paper_paper) != sum(on_paper) or \
            len(paper_model) != len(groups) - sum(on_paper):
        return label, ["the inserts of the two spaces do not pair up"]
    scales = dump["scales"]
    problems, it_model, it_paper = [], iter(paper_model), iter(paper_paper)
    for k, g in enumerate(groups[:200]):
        m = in_model[k]
        p = next(it_paper) if on_paper[k] else next(it_model)
        bm, bp = ezbbox.extents([m], fast=True), ezbbox.extents([p], fast=True)
        if not bm.has_data or not bp.has_data or scales[base] == 0:
            continue
        ratio = (1.0 if g == base else scales[g]) / scales[base]
        for want, got in ((bm.size.x * ratio, bp.size.x), (bm.size.y * ratio, bp.size.y)):
            if abs(got - want) > 1e-6 * max(abs(want), abs(got)) + 1e-9:
                problems.append(f"insert {k} of '{p.dxf.name}' (group {g}) is {got:g} in paper "
                                f"space, {want:g} expected from model space")
                break
        if len(problems) >= 3:
            break
    return label, problems


def dump_drawing(dump_exe, path):
    r = subprocess.run([dump_exe, path], capture_output=True, timeout=120)
    if r.returncode != 0:
        raise RuntimeError(f"the reader does not load {path}")
    d = json.loads(r.stdout.decode("utf-8"))
    d["path"] = path
    return d


def samples(root):
    found = []
    for sub in ("jww", "jws"):
        for dirpath, _, files in os.walk(os.path.join(root, sub)):
            for f in files:
                if os.path.splitext(f)[1].lower() in (".jww", ".jws"):
                    found.append(os.path.join(dirpath, f))
    return sorted(found)


def options_for(i):
    """The option sets a drawing is converted with: every version and space,
    naming, point type and base group rotating over the drawings."""
    naming, tentyp = i % 3, i % 7
    base = 0 if i % 4 else 15
    return [(ver, space, naming, base, tentyp) for ver in (0, 1, 2) for space in (0, 1)]


def broken_inputs(root, source_jww, source_jws):
    """Drawings that do not load: cut short, wrong signature, empty."""
    made = []
    for src, ext in ((source_jww, ".jww"), (source_jws, ".jws")):
        data = open(src, "rb").read()
        for name, content in (("途中まで", data[: len(data) // 3]),
                              ("署名違い", b"NotAJwDrawing" + data[13:]),
                              ("空", b"")):
            p = os.path.join(root, name + ext)
            with open(p, "wb") as f:
                f.write(content)
            made.append(p)
    return made


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--exe", required=True)
    ap.add_argument("--dump", required=True)
    ap.add_argument("--samples", required=True)
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--keep", help="leave the outputs in this folder")
    a = ap.parse_args()
    # The environment variable wins over the folder CMake was given.
    env = os.environ.get("TESSA_SAMPLES_DIR")
    given = a.samples
    if env and os.path.isdir(env):
        a.samples = env

    if not os.path.isdir(a.samples):
        print(f"real drawings not found; looked in $TESSA_SAMPLES_DIR ({env or 'not set'}) "
              f"and {given}; skipping.", file=sys.stderr)
        return 77
    paths = samples(os.path.abspath(a.samples))
    if not paths:
        print(f"no drawings under {a.samples}", file=sys.stderr)
        return 1
    root = a.keep or tempfile.mkdtemp(prefix="tessa-e2e-")
    os.makedirs(root, exist_ok=True)
    runner = Runner(os.path.abspath(a.exe), root)
    failures = []
    jobs = []
    seen_options = collections.defaultdict(set)
    try:
        dumps = []
        for p in paths:
            try:
                dumps.append(dump_drawing(a.dump, p))
            except RuntimeError as ex:
                failures.append(str(ex))
        for i, d in enumerate(dumps):
            for options in options_for(i):
                out = runner.convert(options, d["path"], f"出力_{i}.dxf")
                jobs.append((out, d, options))
                for k, v in zip(("ver", "space", "naming", "base", "points"), options):
                    seen_options[k].add(v)
        # A drawing that does not load gives no file.
        broken_dir = os.path.join(root, "壊れた図面")
        os.makedirs(broken_dir)
        jww = next(p for p in paths if p.lower().endswith(".jww"))
        jws = next(p for p in paths if p.lower().endswith(".jws"))
        for p in broken_inputs(broken_dir, jww, jws):
            out = runner.convert((1, 0, 0, 0, 0), p, "broken.dxf")
            if os.path.exists(out):
                failures.append(f"{p}: a DXF was written for a drawing that does not load")
                os.remove(out)

        # The same drawing and version in both spaces: the sizes of its symbols.
        outputs = {(d["path"], o): out for out, d, o in jobs}
        pairs = [(out, outputs[(d["path"], (o[0], 1) + o[2:])], d, o[0], o[3])
                 for out, d, o in jobs if o[1] == 0]
        settings_total, drawings_with_settings = 0, 0
        with concurrent.futures.ProcessPoolExecutor(max_workers=a.jobs) as pool:
            for label, problems, info in pool.map(check_one, jobs, chunksize=4):
                failures += [f"{label}: {p}" for p in problems]
                if info.get("settings"):
                    settings_total += info["settings"]
                    drawings_with_settings += 1
            for label, problems in pool.map(check_insert_sizes, pairs, chunksize=4):
                failures += [f"{label}: {p}" for p in problems]
        # The samples must exercise the setting texts, or that check proves nothing.
        if drawings_with_settings == 0:
            failures.append("no sample carries Jw_cad's setting texts")
        print(f"{len(dumps)} drawings, {len(jobs)} conversions checked; options seen: "
              + ", ".join(f"{k} {sorted(v)}" for k, v in seen_options.items())
              + f"; setting texts in {drawings_with_settings // 6} drawings")
    finally:
        if not a.keep:
            shutil.rmtree(root, ignore_errors=True)
    for f in failures[:60]:
        print("FAIL", f)
    if len(failures) > 60:
        print(f"... and {len(failures) - 60} more problems")
    print("OK" if not failures else f"{len(failures)} problems")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
