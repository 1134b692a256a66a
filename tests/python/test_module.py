"""The module tessaconv on the example drawing and on small broken drawings:
options reach the converter under their names, failures raise ConversionError
with their reason and leave no file, values survive pickling (Dask needs it)."""
import os
import pickle
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tessa_reference as ref  # noqa: E402

import tessaconv  # noqa: E402

EXAMPLE = os.environ.get("TESSA_EXAMPLE", "")
EXE = os.environ.get("TESSA_EXE", "")
FIXTURE_TOOL = os.environ.get("TESSA_FIXTURE_TOOL", "")
CODES = set(tessaconv.REASON_CODES)


def blank(dxf):
    """The DXF without its header dates (of the file, or of the moment for a
    drawing in memory)."""
    return ref.blank_dates(dxf)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


class ModuleTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.example = read(EXAMPLE)
        cls.fixtures = tempfile.mkdtemp(prefix="tessa-py-fix-")
        subprocess.run([FIXTURE_TOOL, cls.fixtures], check=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.fixtures, ignore_errors=True)

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="tessa-py-")
        self.addCleanup(shutil.rmtree, self.dir, True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def assertRaisesReason(self, code, call, *args, **kwargs):
        with self.assertRaises(tessaconv.ConversionError) as cm:
            call(*args, **kwargs)
        e = cm.exception
        self.assertEqual(e.code, code, str(e))
        self.assertTrue(str(e).strip(), "a reason without a sentence")
        return e

    # ---- options ---------------------------------------------------------

    def test_each_option_value_gives_the_executables_output(self):
        """Every value of every option, one at a time from the defaults: the
        module's file equals the executable's with that setting (a value mapped
        to the wrong setting shows here)."""
        cases = [{}]
        cases += [{"dxf": v} for v in ("r12", "r2007")]
        cases += [{"space": "paper"}, {"pen_colours": "printer"}]
        cases += [{"layer_names": v} for v in ("layer", "group-layer")]
        cases += [{"points": v, "point_size": 2.5}
                  for v in ("circle", "circles", "cross", "diamond", "filled", "quarters")]
        cases += [{"scale_group": g, "space": "paper"} for g in (1, 15)]
        reference = ref.Reference(EXE)
        self.addCleanup(reference.close)
        for options in cases:
            with self.subTest(**options):
                dst = self.path("out.dxf")
                result = tessaconv.convert(EXAMPLE, dst, force=True, **options)
                want = reference.convert(EXAMPLE, options)
                self.assertIsNotNone(want, "the executable wrote nothing")
                got = read(dst)
                self.assertEqual(ref.blank_dates(got), ref.blank_dates(want),
                                 ref.first_difference(ref.blank_dates(got),
                                                      ref.blank_dates(want)))
                self.assertEqual(result.format, "jww")
                memory = tessaconv.convert_bytes(self.example, "jww", **options)
                self.assertEqual(blank(memory), blank(got))

    def test_defaults_are_r2000_model_space(self):
        out = tessaconv.convert_bytes(self.example, "jww")
        self.assertIn(b"AC1015", out[:2000])
        self.assertEqual(blank(out), blank(tessaconv.convert_bytes(
            self.example, "jww", dxf="r2000", space="model", pen_colours="screen",
            layer_names="number", scale_group=0, points="point", point_size=0.001)))

    def test_option_values_outside_their_choices_are_refused(self):
        cases = [("dxf", "r14"), ("space", "layout"),
                 ("pen_colours", "colour"), ("layer_names", "name"), ("points", "square"),
                 ("scale_group", -1), ("scale_group", 16), ("point_size", float("nan")),
                 ("point_size", float("inf"))]
        dst = self.path("out.dxf")
        for name, value in cases:
            with self.subTest(option=name, value=value):
                e = self.assertRaisesReason("bad-option", tessaconv.convert, EXAMPLE, dst,
                                            **{name: value})
                self.assertTrue(str(e).startswith(name + ": "), str(e))
                self.assertFalse(os.path.exists(dst))
                with self.assertRaises(ValueError):  # what a caller may catch
                    tessaconv.convert_bytes(self.example, "jww", **{name: value})
        # Named values in any case, as the command line takes them.
        self.assertEqual(blank(tessaconv.convert_bytes(self.example, "jww", dxf="R12")),
                         blank(tessaconv.convert_bytes(self.example, "jww", dxf="r12")))
        with self.assertRaises(TypeError):
            tessaconv.convert(EXAMPLE, dst, "r12")  # options are keywords only
        with self.assertRaises(TypeError):
            tessaconv.convert_bytes(self.example, "jww", force=True)

    def test_point_size_bounds(self):
        def circles(size):
            return blank(tessaconv.convert_bytes(self.example, "jww", points="circle",
                                                 point_size=size))
        self.assertNotEqual(circles(1000), circles(0.001))
        for size in (0.0009, 0, -5, 1000.5, 1e9):
            with self.subTest(size=size), self.assertRaises(ValueError):
                circles(size)

    # ---- inputs and outputs ---------------------------------------------

    def test_paths_and_buffers_of_every_kind(self):
        import pathlib
        want = blank(tessaconv.convert_bytes(self.example, "jww"))
        for data in (self.example, bytearray(self.example), memoryview(self.example),
                     memoryview(b"xx" + self.example)[2:]):
            with self.subTest(kind=type(data).__name__):
                self.assertEqual(blank(tessaconv.convert_bytes(data, "jww")), want)
        with self.assertRaises(ValueError):  # every other byte: not one piece of memory
            tessaconv.convert_bytes(memoryview(self.example + self.example)[::2], "jww")
        with self.assertRaises(TypeError):
            tessaconv.convert_bytes(self.example.decode("latin-1"), "jww")
        for fmt in ("JWW", ".jww"):
            with self.subTest(fmt=fmt):
                self.assertEqual(blank(tessaconv.convert_bytes(self.example, fmt)), want)
        for src, dst in ((pathlib.Path(EXAMPLE), pathlib.Path(self.path("a.dxf"))),
                         (os.fsencode(EXAMPLE), os.fsencode(self.path("b.dxf")))):
            with self.subTest(kind=type(src).__name__):
                tessaconv.convert(src, dst)
                self.assertEqual(blank(read(os.fsdecode(dst))), want)

    def test_file_names_outside_ascii(self):
        src = self.path("図面 1.JWW")
        shutil.copy(EXAMPLE, src)
        dst = self.path("出力.dxf")
        result = tessaconv.convert(src, dst)
        self.assertEqual(result.format, "jww")
        self.assertTrue(os.path.getsize(dst) > 0)
        self.assertEqual(tessaconv.info(src)["format"], "jww")
        # A Linux file name need not be UTF-8; its reason is still a reason.
        raw = os.fsencode(self.dir) + b"/\xff\xfe.jww"
        self.assertRaisesReason("not-found", tessaconv.convert, raw, self.path("x.dxf"))
        shutil.copy(EXAMPLE, raw)
        tessaconv.convert(raw, os.fsencode(self.dir) + b"/\xff\xfe.dxf")
        self.assertTrue(os.path.exists(os.fsencode(self.dir) + b"/\xff\xfe.dxf"))

    def test_result_describes_the_conversion(self):
        r = tessaconv.convert(EXAMPLE, self.path("out.dxf"))
        info = tessaconv.info(EXAMPLE)
        self.assertEqual((r.format, r.version), (info["format"], info["version"]))
        self.assertGreater(sum(r.written.values()), 0)
        self.assertIsInstance(r.warnings, list)
        # The counts are those of the file: one entity line "0\nKIND" each in
        # ENTITIES, one BLOCK per definition besides the three of the spaces.
        dxf = read(self.path("out.dxf")).decode("ascii", "replace").split("\n")
        pairs = [(dxf[i].strip(), dxf[i + 1].strip()) for i in range(0, len(dxf) - 1, 2)]
        section, written = None, {}
        for code, value in pairs:
            if code == "2" and section == "SECTION":
                section = value
            elif code == "0" and value in ("SECTION", "ENDSEC"):
                section = "SECTION" if value == "SECTION" else None
            elif code == "0" and section == "ENTITIES" and value not in ("VERTEX", "SEQEND"):
                written[value] = written.get(value, 0) + 1
            elif code == "0" and section == "BLOCKS" and value == "BLOCK":
                written["BLOCK"] = written.get("BLOCK", 0) + 1
        written["BLOCK"] -= 3
        self.assertEqual(r.written, {k: n for k, n in written.items() if n})

    def test_info_shape(self):
        info = tessaconv.info(EXAMPLE)
        self.assertEqual(set(info), {
            "input", "format", "version", "jw_cad_version", "paper", "paper_width",
            "paper_height", "groups", "entities", "layers", "blocks", "images", "extents",
            "warnings"})
        self.assertEqual(info["format"], "jww")
        self.assertEqual(info["input"], EXAMPLE)
        self.assertEqual(info["version"], int.from_bytes(self.example[8:12], "little"))
        self.assertEqual(set(info["extents"]), {"min_x", "min_y", "max_x", "max_y"})
        self.assertLessEqual(info["extents"]["min_x"], info["extents"]["max_x"])
        for g in info["groups"]:
            self.assertEqual(set(g), {"group", "name", "scale"})
            self.assertIn(g["group"], range(16))
        for layer in info["layers"]:
            self.assertEqual(set(layer), {"group", "layer", "name", "entities"})
        for b in info["blocks"]:
            self.assertEqual(set(b), {"name", "number", "entities", "inserts"})
        self.assertEqual(sum(layer["entities"] for layer in info["layers"]),
                         sum(info["entities"].values()))

    def test_force_replaces_an_existing_output(self):
        dst = self.path("out.dxf")
        write(dst, b"old")
        tessaconv.convert(EXAMPLE, dst, force=True)
        self.assertEqual(ref.blank_dates(read(dst)),
                         ref.blank_dates(tessaconv.convert_bytes(self.example, "jww")))
        self.assertEqual(os.listdir(self.dir), ["out.dxf"])

    # ---- failures ----------------------------------------------------------

    def test_failures_raise_their_reason_and_leave_no_file(self):
        """Each reason the module can meet, from a file call.  The output
        folder holds afterwards exactly what it held before (no DXF, no
        temporary file), and an existing file there is untouched."""
        text = self.path("notes.jww")
        write(text, b"This is a letter, not a drawing.\r\n" * 20)
        txt = self.path("drawing.txt")
        shutil.copy(EXAMPLE, txt)
        truncated = self.path("truncated.jww")
        write(truncated, self.example[: len(self.example) // 2])
        fix = self.fixtures
        existing = self.path("exists.dxf")
        write(existing, b"keep me")
        folder = self.path("folder.dxf")
        os.mkdir(folder)
        cases = [
            ("not-found", self.path("missing.jww"), self.path("a.dxf"), {}),
            ("unknown-format", txt, self.path("a.dxf"), {}),
            ("not-a-drawing", text, self.path("a.dxf"), {}),
            ("truncated", truncated, self.path("a.dxf"), {}),
            ("unsupported-version", os.path.join(fix, "version_701.jww"), self.path("a.dxf"), {}),
            ("bad-count", os.path.join(fix, "entity_count_past_end.jww"), self.path("a.dxf"), {}),
            ("bad-record", os.path.join(fix, "unknown_class.jww"), self.path("a.dxf"), {}),
            ("block-nesting", os.path.join(fix, "blocks_nested_80_deep.jww"), self.path("a.dxf"),
             {}),
            ("output-exists", EXAMPLE, existing, {}),
            ("output-is-drawing", EXAMPLE, self.path("out.jww"), {}),
            ("output-is-drawing", EXAMPLE, self.path("out.JWS"), {"force": True}),
            ("output-is-drawing", truncated, truncated, {"force": True}),
            ("write-failed", EXAMPLE, self.path("no/such/folder/a.dxf"), {}),
            ("write-failed", EXAMPLE, folder, {"force": True}),
        ]
        for code, src, dst, kw in cases:
            with self.subTest(code=code, src=os.path.basename(src), dst=os.path.basename(dst)):
                before = {n: read(self.path(n)) for n in os.listdir(self.dir)
                          if os.path.isfile(self.path(n))}
                e = self.assertRaisesReason(code, tessaconv.convert, src, dst, **kw)
                # The path the reason is about, once, in front.
                about = dst if code.startswith(("output", "write")) else src
                self.assertTrue(str(e).startswith(about + ": "), str(e))
                self.assertEqual(str(e).count(os.path.basename(about)), 1, str(e))
                after = {n: read(self.path(n)) for n in os.listdir(self.dir)
                         if os.path.isfile(self.path(n))}
                self.assertEqual(after, before)

    def test_failures_from_memory(self):
        cases = [
            ("unknown-format", self.example, "dwg"),
            ("not-a-drawing", b"0\nSECTION\n" * 50, "jww"),
            ("truncated", self.example[:100], "jww"),
            ("truncated", self.example[: len(self.example) - 200], "jww"),
            ("block-nesting", read(os.path.join(self.fixtures, "blocks_nested_80_deep.jww")),
             "jww"),
        ]
        for code, data, fmt in cases:
            with self.subTest(code=code, size=len(data), fmt=fmt):
                self.assertRaisesReason(code, tessaconv.convert_bytes, data, fmt)

    def test_a_block_placing_itself_is_left_out_with_a_warning(self):
        src = os.path.join(self.fixtures, "block_cycle.jww")
        result = tessaconv.convert(src, self.path("out.dxf"))
        self.assertTrue(result.warnings, "the copies left out are not reported")
        self.assertTrue(tessaconv.info(src)["warnings"])

    def test_offsets_point_into_the_drawing(self):
        e = self.assertRaisesReason("truncated", tessaconv.convert_bytes,
                                    self.example[:1000], "jww")
        self.assertIn(e.offset, range(0, 1001))
        e = self.assertRaisesReason("not-found", tessaconv.info, self.path("none.jww"))
        self.assertIsNone(e.offset)

    def test_memory_running_out_is_a_reason(self):
        """A child process whose address space is capped just above what it
        uses cannot get the room the drawing's lines need: a ConversionError,
        not a MemoryError or a crash."""
        child = (
            "import resource, sys, tessaconv\n"
            "data = open(sys.argv[1], 'rb').read()\n"
            "with open('/proc/self/statm') as f:\n"
            "    pages = int(f.read().split()[0])\n"
            "room = pages * resource.getpagesize() + (2 << 20)\n"
            "resource.setrlimit(resource.RLIMIT_AS, (room, room))\n"
            "try:\n"
            "    tessaconv.convert_bytes(data, 'jww')\n"
            "    print('converted')\n"
            "except tessaconv.ConversionError as e:\n"
            "    print(e.code, e.offset)\n")
        run = subprocess.run([sys.executable, "-c", child,
                              os.path.join(self.fixtures, "lines_100000.jww")],
                             capture_output=True, text=True, timeout=300)
        self.assertEqual(run.returncode, 0, run.stderr[-2000:])
        self.assertEqual(run.stdout.split(), ["out-of-memory", "None"])

    def test_info_failures(self):
        write(self.path("notes.jws"), b"no symbol here")
        shutil.copy(EXAMPLE, self.path("plan.dwg"))
        self.assertRaisesReason("not-a-drawing", tessaconv.info, self.path("notes.jws"))
        self.assertRaisesReason("unknown-format", tessaconv.info, self.path("plan.dwg"))
        self.assertRaisesReason("not-found", tessaconv.info, self.path("none.dwg"))
        self.assertRaisesReason("bad-count", tessaconv.info,
                                os.path.join(self.fixtures, "entity_count_past_end.jww"))

    def test_damaged_copies_give_a_reason_or_a_drawing(self):
        """Cut and overwritten copies of the example: each one is converted or
        refused with a known reason and an offset inside the data; never a
        crash, never a file left after a refusal."""
        data = self.example
        damaged = [data[:n] for n in range(0, len(data), 251)]
        for pos in range(12, len(data), 173):
            for byte in (0x00, 0xFF, 0x7F):
                b = bytearray(data)
                b[pos:pos + 4] = bytes([byte]) * 4
                damaged.append(bytes(b))
        src, dst = self.path("d.jww"), self.path("d.dxf")
        refused = 0
        for i, d in enumerate(damaged):
            try:
                tessaconv.convert_bytes(d, "jww")
            except tessaconv.ConversionError as e:
                refused += 1
                self.assertIn(e.code, CODES, (i, str(e)))
                self.assertTrue(e.offset is None or 0 <= e.offset <= len(d), (i, e.code, str(e)))
            if i % 8 == 0:  # the file call on a share of them
                write(src, d)
                try:
                    tessaconv.convert(src, dst, force=True)
                    self.assertTrue(os.path.exists(dst))
                except tessaconv.ConversionError:
                    self.assertFalse(os.path.exists(dst), i)
                os.path.exists(dst) and os.remove(dst)
        self.assertGreater(refused, 0)

    # ---- values --------------------------------------------------------------

    def test_results_and_errors_pickle(self):
        r = tessaconv.convert(EXAMPLE, self.path("out.dxf"))
        self.assertEqual(pickle.loads(pickle.dumps(r)), r)
        with self.assertRaises(tessaconv.ConversionError) as cm:
            tessaconv.convert_bytes(self.example[:50], "jww")
        e = pickle.loads(pickle.dumps(cm.exception))
        self.assertIs(type(e), tessaconv.ConversionError)
        self.assertEqual((str(e), e.code, e.offset),
                         (str(cm.exception), cm.exception.code, cm.exception.offset))
        info = tessaconv.info(EXAMPLE)
        self.assertEqual(pickle.loads(pickle.dumps(info)), info)

    def test_documented_and_stub_agrees(self):
        for f in (tessaconv, tessaconv.convert, tessaconv.convert_bytes, tessaconv.info,
                  tessaconv.ConversionError, tessaconv.ConversionResult):
            self.assertTrue(f.__doc__ and len(f.__doc__) > 40, f)
        stub = os.path.join(os.path.dirname(tessaconv.__file__), "tessaconv.pyi")
        self.assertTrue(os.path.exists(stub), "the type stub is not beside the module")
        import ast
        with open(stub, encoding="utf-8") as f:
            tree = ast.parse(f.read())
        defs = {n.name: n for n in tree.body if isinstance(n, (ast.FunctionDef, ast.ClassDef))}
        values = {n.target.id for n in tree.body if isinstance(n, ast.AnnAssign)}
        public = {n for n in dir(tessaconv) if not n.startswith("_")}
        self.assertLessEqual(public, set(defs) | values, "the stub misses names")
        # The stub's reason codes are the module's.
        codes = next(n.value for n in tree.body if isinstance(n, ast.Assign)
                     and n.targets[0].id == "ReasonCode")
        self.assertEqual(tuple(ast.literal_eval(e) for e in codes.slice.elts),
                         tessaconv.REASON_CODES)
        # Each function's parameters, keyword-only marker and defaults, as the
        # module states them in its signature line, are those of the stub.
        for name in ("convert", "convert_bytes", "info"):
            with self.subTest(function=name):
                line = getattr(tessaconv, name).__doc__.splitlines()[0]
                params = line[line.index("(") + 1:line.rindex(")")]
                runtime = []
                for p in params.split(", "):
                    if p == "*":
                        runtime.append(("*", None))
                        continue
                    pname, _, default = p.partition(" = ")
                    runtime.append((pname.split(":")[0],
                                    ast.literal_eval(default) if default else None))
                a = defs[name].args
                stubbed = [(x.arg, None) for x in a.args]
                if a.kwonlyargs:
                    stubbed.append(("*", None))
                stubbed += [(x.arg, ast.literal_eval(d))
                            for x, d in zip(a.kwonlyargs, a.kw_defaults)]
                self.assertEqual(stubbed, runtime)

if __name__ == "__main__":
    for name, value in (("TESSA_EXAMPLE", EXAMPLE), ("TESSA_EXE", EXE),
                        ("TESSA_FIXTURE_TOOL", FIXTURE_TOOL)):
        if not value or not os.path.exists(value):
            sys.exit(f"{name} must name an existing file (set by CTest)")
    unittest.main(verbosity=2)
