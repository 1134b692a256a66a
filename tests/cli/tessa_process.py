"""Process tests of the tessa command line on the project's own drawing
(examples/sample.jww) and drawings made from it: inputs and folders, where
outputs go, the report, replacing and protecting files, failures among good
drawings, an output folder that takes no files, interrupts, usage errors,
info, the progress bar."""
import fcntl
import json
import os
import pty
import re
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tessa_common import (Tessaconv, blank_dates, entity_kinds, exe, run,  # noqa: E402
                          settings_text)

TESSA = exe("TESSA_EXE")
EXAMPLE = exe("TESSA_EXAMPLE")

REPORT_KEYS = ["input", "output", "status", "reason", "format", "version", "written",
               "warnings", "seconds"]


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, data):
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


class TessaTest(unittest.TestCase):
    """Each test works in a folder of its own."""

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="tessa_cli_")
        self.addCleanup(shutil.rmtree, self.dir, ignore_errors=True)
        self.drawing = read(EXAMPLE)

    def p(self, *parts):
        return os.path.join(self.dir, *parts)

    def put(self, rel, data=None):
        path = self.p(rel)
        write(path, self.drawing if data is None else data)
        return path

    def tessa(self, *args, **kw):
        return run([TESSA, *args], cwd=self.dir, **kw)

    def files(self):
        """Every file under the test folder, relative, sorted."""
        found = []
        for root, _, names in os.walk(self.dir):
            for n in names:
                found.append(os.path.relpath(os.path.join(root, n), self.dir))
        return sorted(found)

    def assertConverted(self, r, n):
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertRegex(r.stderr, rf"^{n} converted, 0 failed in \d+\.\d s\n\Z")

    def reference(self):
        """What tessa writes for the example with default options."""
        src = self.put("ref/example.jww")
        r = self.tessa("convert", "-q", src, "-o", self.p("ref/example.dxf"))
        self.assertEqual(r.returncode, 0, r.stderr)
        data = read(self.p("ref/example.dxf"))
        shutil.rmtree(self.p("ref"))
        return data


class InputsAndOutputs(TessaTest):
    def test_outputs_go_where_the_command_line_says(self):
        # (inputs, -o or None, folders made beforehand, expected new files)
        cases = [
            (["a.jww"], None, [], ["a.dxf"]),
            (["a.jww"], "plan.dxf", [], ["plan.dxf"]),
            (["a.jww"], "out", ["out"], ["out/a.dxf"]),
            (["a.jww"], "made/", [], ["made/a.dxf"]),
            (["a.jww", "d/b.JWW"], None, [], ["a.dxf", "d/b.dxf"]),
            (["a.jww", "d/b.JWW"], "o2", [], ["o2/a.dxf", "o2/b.dxf"]),
            (["d"], None, [], ["d/b.dxf"]),
            (["d"], "o3", [], ["o3/b.dxf"]),
            (["-r", "d"], None, [], ["d/b.dxf", "d/e/c.dxf", "d/e/f/g.dxf"]),
            (["-r", "d"], "o4/x", [], ["o4/x/b.dxf", "o4/x/e/c.dxf", "o4/x/e/f/g.dxf"]),
            (["-r", "d/e", "a.jww"], "o5", [], ["o5/a.dxf", "o5/c.dxf", "o5/f/g.dxf"]),
        ]
        for args, out, folders, expected in cases:
            with self.subTest(args=args, out=out):
                shutil.rmtree(self.dir)
                os.makedirs(self.dir)
                for rel in ["a.jww", "d/b.JWW", "d/e/c.Jww", "d/e/f/g.jww"]:
                    self.put(rel)
                self.put("d/notes.txt", b"not a drawing")
                for f in folders:
                    os.makedirs(self.p(f))
                before = set(self.files())
                r = self.tessa("convert", *args, *(["-o", out] if out else []))
                self.assertConverted(r, len(expected))
                self.assertEqual(sorted(set(self.files()) - before), sorted(expected))

    def test_a_folder_without_r_leaves_its_subfolders_and_says_so(self):
        self.put("d/e/c.jww")
        r = self.tessa("convert", "d")
        self.assertEqual(r.returncode, 1)
        self.assertIn("d: no drawings in this folder (its subfolders have some: add -r)", r.stderr)
        self.assertNotIn("c.dxf", " ".join(self.files()))

    def test_every_output_equals_a_single_conversion_and_jobs_do_not_matter(self):
        ref = blank_dates(self.reference())
        for i in range(6):
            self.put(f"many/d{i}.jww")
        for jobs in ["1", "2", "4"]:
            with self.subTest(jobs=jobs):
                r = self.tessa("convert", "-j", jobs, "-f", "many")
                self.assertConverted(r, 6)
                for i in range(6):
                    self.assertEqual(blank_dates(read(self.p(f"many/d{i}.dxf"))), ref)

    def test_two_drawings_for_one_output_do_not_race(self):
        # plan.jww and plan.JWW both want plan.dxf; so does a drawing named twice.
        self.put("d/plan.jww")
        self.put("d/plan.JWW")
        r = self.tessa("convert", "-j", "2", "d", "d/plan.jww")
        self.assertEqual(r.returncode, 1)
        self.assertRegex(r.stderr, r"1 converted, 2 failed")
        self.assertEqual(r.stderr.count("its output is already that of d/plan.JWW"), 2, r.stderr)
        self.assertTrue(os.path.isfile(self.p("d/plan.dxf")))


class Failures(TessaTest):
    def test_bad_inputs_fail_alone_and_the_others_convert(self):
        self.put("in/good1.jww")
        self.put("in/good2.jww")
        self.put("in/broken.jww", self.drawing[: len(self.drawing) // 3])
        self.put("in/empty.jww", b"")
        self.put("in/text.jww", b"this is not a drawing\n")
        os.makedirs(self.p("nodrawings"))
        self.put("nodrawings/readme.txt", b"x")
        os.mkfifo(self.p("pipe.jww"))
        r = self.tessa("convert", "-o", "out", "in", "missing.jww", "nodrawings", "pipe.jww",
                       "--report", "report.json")
        self.assertEqual(r.returncode, 1)
        self.assertRegex(r.stderr, r"\n2 converted, 6 failed in \d+\.\d s\n\Z")
        lines = r.stderr.splitlines()
        # One line per failure, naming the input first.
        for name in ["in/broken.jww", "in/empty.jww", "in/text.jww", "missing.jww",
                     "nodrawings", "pipe.jww"]:
            self.assertEqual(sum(1 for ln in lines if ln.startswith(name + ": ")), 1, r.stderr)
        self.assertEqual(len(lines), 7, r.stderr)
        # Good drawings converted, nothing partial or temporary left.
        self.assertEqual(sorted(os.listdir(self.p("out"))), ["good1.dxf", "good2.dxf"])
        report = json.loads(read(self.p("report.json")))
        codes = {os.path.basename(d["input"]): d["reason"]["code"]
                 for d in report["drawings"] if d["status"] == "failed"}
        self.assertEqual(codes["missing.jww"], "not-found")
        self.assertEqual(codes["nodrawings"], "no-drawings")
        self.assertEqual(codes["pipe.jww"], "not-found")
        self.assertNotIn(codes["broken.jww"], ("internal", "not-found"))

    def test_output_folder_that_cannot_be_made(self):
        self.put("a.jww")
        self.put("b.jww")
        self.put("blocker", b"a file where a folder would go")
        r = self.tessa("convert", "a.jww", "b.jww", "-o", "blocker/out")
        self.assertEqual(r.returncode, 1)
        self.assertIn("blocker/out/a.dxf: cannot create its folder", r.stderr)
        self.assertIn("blocker/out/b.dxf: cannot create its folder", r.stderr)
        self.assertEqual(read(self.p("blocker")), b"a file where a folder would go")

    def test_full_disk_leaves_no_partial_dxf(self):
        self.put("big/a.jww")
        self.put("big/b.jww")

        def small_files():  # every file this process writes stops at 4 KB
            resource.setrlimit(resource.RLIMIT_FSIZE, (4096, 4096))

        # One thread writes as it converts; several hand the files to a
        # writing thread.  Both must fail alike.
        for jobs in ["1", "2"]:
            with self.subTest(jobs=jobs):
                r = self.tessa("convert", "-j", jobs, "big", preexec_fn=small_files)
                self.assertEqual(r.returncode, 1)
                self.assertRegex(r.stderr, r"0 converted, 2 failed")
                for name in ["a", "b"]:
                    line = next(ln for ln in r.stderr.splitlines()
                                if ln.startswith(f"big/{name}.dxf: "))
                    self.assertRegex(line, r"(?i)large|space|writ")
                self.assertEqual(sorted(os.listdir(self.p("big"))), ["a.jww", "b.jww"])

    @unittest.skipUnless(os.geteuid() == 0 and shutil.which("setpriv"), "needs root and setpriv")
    def test_unreadable_drawing(self):
        # Root reads any file, so the run is made as nobody.
        os.chmod(self.dir, 0o777)
        self.put("ok.jww")
        secret = self.put("secret.jww")
        os.chmod(secret, 0)
        os.chmod(self.p("ok.jww"), 0o644)
        r = run(["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", TESSA,
                 "convert", "ok.jww", "secret.jww", "-o", "out"], cwd=self.dir)
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertRegex(r.stderr, r"(?m)^secret\.jww: .+")
        self.assertEqual(os.listdir(self.p("out")), ["ok.dxf"])


def mounted_read_only(folder):
    """A command prefix that runs a program with folder on a read-only file
    system (a private mount namespace), or None where that cannot be had."""
    prefix = ["unshare", "-rm", "sh", "-c", 'mount --bind -o ro "$0" "$0" && exec "$@"', folder]
    if not shutil.which("unshare") or run([*prefix, "true"]).returncode != 0:
        return None
    return prefix


def as_nobody():
    """A command prefix that runs a program as the user nobody, or None."""
    if os.geteuid() != 0 or not shutil.which("setpriv"):
        return None
    return ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]


class UnwritableOutputFolder(TessaTest):
    def test_the_folder_is_said_once_and_every_drawing_fails(self):
        os.chmod(self.dir, 0o777)
        for rel in ["in/a.jww", "in/b.jww", "in/sub/c.jww", "in/sub/deeper/d.jww"]:
            os.chmod(self.put(rel), 0o644)
        for folder in ["in", "in/sub", "in/sub/deeper"]:
            os.chmod(self.p(folder), 0o755)
        os.makedirs(self.p("ro"))
        # (the system's reason, how to run tessa so that ro/ takes no files)
        cases = [("read-only file system", mounted_read_only("ro"), 0o755),
                 ("permission denied", as_nobody(), 0o555)]
        if all(prefix is None for _, prefix, _ in cases):
            self.skipTest("needs unshare (user namespaces) or root and setpriv")
        for why, prefix, mode in cases:
            if prefix is None:
                continue
            os.chmod(self.p("ro"), mode)
            for jobs in ["1", "2"]:
                with self.subTest(why=why, jobs=jobs):
                    if os.path.exists(self.p("report.json")):
                        os.remove(self.p("report.json"))
                    r = run([*prefix, TESSA, "convert", "-r", "-j", jobs, "in", "-o", "ro",
                             "--report", "report.json"], cwd=self.dir)
                    self.assertEqual(r.returncode, 1, r.stderr)
                    self.assertRegex(r.stderr, rf"\Atessa: cannot write in ro/: {why}\n"
                                               r"0 converted, 4 failed in \d+\.\d s\n\Z")
                    self.assertEqual(os.listdir(self.p("ro")), [])
                    report = json.loads(read(self.p("report.json")))
                    self.assertEqual((report["converted"], report["failed"]), (0, 4))
                    for d in report["drawings"]:
                        self.assertEqual(d["status"], "failed")
                        self.assertEqual(d["reason"]["code"], "write-failed")
                        self.assertEqual(d["reason"]["message"], f"cannot write in ro/: {why}")


class ReplacingAndProtecting(TessaTest):
    def test_existing_output_is_kept_without_force_and_replaced_with_it(self):
        self.put("a.jww")
        self.put("a.dxf", b"older work")
        r = self.tessa("convert", "a.jww", "--report", "r.json")
        self.assertEqual(r.returncode, 1)
        self.assertRegex(r.stderr, r"(?m)^a\.dxf: the output exists already \(--force replaces it\)"
                                   r"\n0 converted, 1 failed")
        self.assertEqual(read(self.p("a.dxf")), b"older work")
        report = json.loads(read(self.p("r.json")))
        self.assertEqual(report["drawings"][0]["reason"]["code"], "output-exists")

        r = self.tessa("convert", "-f", "a.jww")
        self.assertConverted(r, 1)
        self.assertEqual(blank_dates(read(self.p("a.dxf"))), blank_dates(self.reference()))

    def test_a_drawing_is_never_written_over_even_with_force(self):
        # (what to run, the file that must stay as it was)
        cases = [
            (["a.jww", "-o", "a.jww"], "a.jww"),
            (["a.jww", "-o", "./a.jww"], "a.jww"),
            (["a.jww", "-o", "other.JWS"], "other.JWS"),
            (["a.jww", "-o", "link.dxf"], "a.jww"),       # a link to the drawing itself
            (["copy.dxf"], "copy.dxf"),                   # output named like the input
            (["copy.dxf", "-o", "copy.dxf"], "copy.dxf"),
        ]
        for args, kept in cases:
            with self.subTest(args=args):
                shutil.rmtree(self.dir)
                os.makedirs(self.dir)
                self.put("a.jww")
                self.put("other.JWS", b"another drawing")
                self.put("copy.dxf")
                os.symlink("a.jww", self.p("link.dxf"))
                before = read(self.p(kept))
                r = self.tessa("convert", "-f", *args)
                self.assertEqual(r.returncode, 1, r.stderr)
                self.assertEqual(read(self.p(kept)), before)
                self.assertTrue(os.path.islink(self.p("link.dxf")))
                self.assertEqual(sorted(self.files()), ["a.jww", "copy.dxf", "link.dxf",
                                                        "other.JWS"])


class Interrupt(TessaTest):
    """Ctrl-C in a batch: what is under way finishes, nothing more starts.

    The interrupt has to come while drawings remain, however fast the
    machine.  Standard error is a pipe of one page that the test reads only
    a little of: the failure lines of the broken drawings fill it, and the
    batch stops on its next failure line until the signal has been sent."""

    GOOD_BEFORE, BROKEN, GOOD_AFTER = 10, 60, 300

    def setUp(self):
        super().setUp()
        for i in range(self.GOOD_BEFORE):
            self.put(f"in/a{i:03}.jww")
        for i in range(self.BROKEN):  # long names: a page holds a few lines
            self.put(f"in/b{i:03}-{'x' * 150}.jww", self.drawing[:100])
        for i in range(self.GOOD_AFTER):
            self.put(f"in/c{i:03}.jww")

    def interrupt_after_first_failure(self, *args):
        """Runs tessa; sends SIGINT once its first failure line has begun.
        (exit status, standard error)."""
        r, w = os.pipe()
        fcntl.fcntl(w, fcntl.F_SETPIPE_SZ, 4096)
        try:
            p = subprocess.Popen([TESSA, *args], cwd=self.dir, stdout=subprocess.DEVNULL,
                                 stderr=w)
        finally:
            os.close(w)
        with os.fdopen(r, "rb", buffering=0) as err:
            first = err.read(1)  # one byte: the rest stays in the pipe
            p.send_signal(signal.SIGINT)
            rest = err.read()
        p.wait()
        return p.returncode, (first + rest).decode("utf-8", "replace")

    def test_interrupted_batch_leaves_only_complete_outputs(self):
        total = self.GOOD_BEFORE + self.BROKEN + self.GOOD_AFTER
        ref = blank_dates(self.reference())
        for jobs in ["1", "2"]:
            with self.subTest(jobs=jobs):
                shutil.rmtree(self.p("out"), ignore_errors=True)
                code, err = self.interrupt_after_first_failure(
                    "convert", "-j", jobs, "in", "-o", "out", "--report", "report.json")
                self.assertEqual(code, 130, err)
                self.assertIn("tessa: interrupted\n", err)
                m = re.search(r"\n(\d+) converted, (\d+) failed, (\d+) not attempted in "
                              r"\d+\.\d s\n\Z", err)
                self.assertIsNotNone(m, err)
                converted, failed, skipped = map(int, m.groups())
                self.assertEqual(converted + failed + skipped, total)
                self.assertGreaterEqual(skipped, self.GOOD_AFTER, err)
                # One line per drawing that failed; none for those left alone.
                lines = [ln for ln in err.splitlines() if ln.startswith("in/")]
                self.assertEqual(len(lines), failed, err)
                self.assertTrue(all(ln.startswith("in/b") for ln in lines), err)

                report = json.loads(read(self.p("report.json")))
                self.assertEqual((report["converted"], report["failed"],
                                  report["not_attempted"]), (converted, failed, skipped))
                status = {"a": set(), "b": set(), "c": set()}
                for d in report["drawings"]:
                    status[os.path.basename(d["input"])[0]].add(d["status"])
                    if d["status"] == "not-attempted":
                        self.assertEqual(d["reason"]["code"], "interrupted")
                        self.assertFalse(os.path.exists(d["output"]))
                # Drawings before the first failure were all under way when
                # it came; those after the broken ones never started.
                self.assertEqual(status["a"], {"converted"})
                self.assertEqual(status["c"], {"not-attempted"})
                self.assertLessEqual(status["b"], {"failed", "not-attempted"})

                # Only complete outputs: no temporary file, no partial DXF.
                done = sorted(os.listdir(self.p("out")))
                self.assertEqual(done, [f"a{i:03}.dxf" for i in range(self.GOOD_BEFORE)])
                for name in done:
                    self.assertEqual(blank_dates(read(self.p("out", name))), ref)


class Report(TessaTest):
    def test_report_holds_every_drawing(self):
        self.put("in/a.jww")
        self.put("in/sub/b.jww")
        self.put("in/bad.jww", self.drawing[:100])
        r = self.tessa("convert", "-r", "in", "-o", "out", "--report", "report.json")
        self.assertEqual(r.returncode, 1)
        report = json.loads(read(self.p("report.json")))
        self.assertEqual(list(report), ["drawings", "converted", "failed", "not_attempted"])
        self.assertEqual((report["converted"], report["failed"], report["not_attempted"]),
                         (2, 1, 0))
        by_input = {d["input"]: d for d in report["drawings"]}
        self.assertEqual(sorted(by_input), ["in/a.jww", "in/bad.jww", "in/sub/b.jww"])
        for d in report["drawings"]:
            self.assertEqual(list(d), REPORT_KEYS)
            self.assertEqual(d["format"], "jww")
        good = by_input["in/sub/b.jww"]
        self.assertEqual(good["status"], "converted")
        self.assertEqual(good["output"], "out/sub/b.dxf")
        self.assertIsNone(good["reason"])
        self.assertIsInstance(good["version"], int)
        self.assertGreater(sum(good["written"].values()), 0)
        # The counts are those of the DXF file written.
        for kind, n in entity_kinds(read(self.p("out/sub/b.dxf"))).items():
            self.assertEqual(good["written"].get(kind), n, kind)
        bad = by_input["in/bad.jww"]
        self.assertEqual(bad["status"], "failed")
        self.assertEqual(list(bad["reason"]), ["code", "message", "offset"])
        self.assertTrue(bad["reason"]["message"])
        self.assertFalse(os.path.exists(self.p("out/bad.dxf")))

    def test_names_that_are_not_utf8_still_give_json(self):
        # File names are bytes; JSON text must still be valid.
        write(os.path.join(os.fsencode(self.dir), b"plan\xff.jww"), self.drawing)
        r = self.tessa("convert", ".", "--report", "r.json")
        self.assertEqual(r.returncode, 0, r.stderr)
        report = json.loads(read(self.p("r.json")).decode("utf-8"))
        self.assertEqual(report["drawings"][0]["input"], "./plan\ufffd.jww")
        r = run([os.fsencode(TESSA), b"info", b"--json", b"plan\xff.jww"], cwd=self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(json.loads(r.stdout)["input"], "plan\ufffd.jww")

    def test_report_never_replaces_an_input_or_an_output(self):
        self.put("a.jww")
        self.put("notes.txt", b"mine")
        for report in ["a.jww", "./a.dxf", "notes.txt", "b.JWC"]:
            with self.subTest(report=report):
                r = self.tessa("convert", "a.jww", "notes.txt", "--report", report)
                self.assertEqual(r.returncode, 2, r.stderr)
                self.assertEqual(sorted(self.files()), ["a.jww", "notes.txt"])
                self.assertEqual(read(self.p("notes.txt")), b"mine")


class Settings(TessaTest):
    def test_named_options_and_settings_file_match_tessaconv(self):
        self.put("a.jww")
        # (tessa options, settings file given to tessa or None, tessaconv's settings lines)
        cases = [
            ([], None, {15: "1"}),
            (["--dxf", "r12", "--space", "paper"], None, {15: "0", 18: "1"}),
            (["--dxf", "R2007", "--layer-names", "group-layer", "--points", "cross",
              "--point-size", "2.5", "--pen-colours", "printer", "--scale-group", "3"],
             None, {15: "2", 16: "1", 17: "2", 19: "3", 20: "3", 21: "2.5"}),
            ([], {15: "0", 17: "1", 20: "9", 21: "5000"}, {15: "0", 17: "1", 20: "9", 21: "5000"}),
            # Values outside the named ones pass as the parent passes them.
            ([], {15: "5", 16: "3", 17: "9", 19: "40"}, {15: "5", 16: "3", 17: "9", 19: "40"}),
            # Flags given explicitly win over the file.
            (["--dxf", "r2000", "--points", "filled"], {15: "0", 17: "2", 20: "2"},
             {15: "1", 17: "2", 20: "5"}),
        ]
        for i, (args, file_lines, parent_lines) in enumerate(cases):
            with self.subTest(args=args, settings=file_lines):
                extra = []
                if file_lines is not None:
                    write(self.p(f"s{i}.dat"), settings_text(file_lines).encode())
                    extra = ["--settings", f"s{i}.dat"]
                r = self.tessa("convert", "-q", "a.jww", "-o", f"t{i}.dxf", *args, *extra)
                self.assertEqual(r.returncode, 0, r.stderr)
                parent = Tessaconv(self.p(f"parent{i}"), parent_lines)
                expected = parent.convert(self.p("a.jww"), self.p(f"p{i}.dxf"))
                self.assertEqual(blank_dates(read(self.p(f"t{i}.dxf"))), blank_dates(expected))


class Usage(TessaTest):
    def test_usage_errors_exit_2_with_the_usage(self):
        self.put("a.jww")
        self.put("b.jww")
        self.put("file.txt", b"x")
        cases = [
            [],
            ["frobnicate"],
            ["convert"],
            ["convert", "a.jww", "--dxf", "r14"],
            ["convert", "a.jww", "--space", "outer"],
            ["convert", "a.jww", "--layer-names", "colour"],
            ["convert", "a.jww", "--points", "star"],
            ["convert", "a.jww", "--scale-group", "16"],
            ["convert", "a.jww", "--point-size", "0"],
            ["convert", "a.jww", "-j", "0"],
            ["convert", "a.jww", "--bogus"],
            ["convert", "a.jww", "--settings", "missing.dat"],
            ["convert", "a.jww", "b.jww", "-o", "file.txt"],
            ["convert", "a.jww", "-o"],
            ["info"],
            ["info", "--yaml", "a.jww"],
        ]
        for args in cases:
            with self.subTest(args=args):
                r = self.tessa(*args)
                self.assertEqual(r.returncode, 2, r.stderr)
                self.assertIn("usage: tessa convert [options] INPUT...", r.stderr)
                self.assertEqual(r.stdout, "")
                self.assertEqual(sorted(self.files()), ["a.jww", "b.jww", "file.txt"])

    def test_help_and_version(self):
        r = self.tessa("--version")
        self.assertEqual(r.returncode, 0)
        self.assertRegex(r.stdout, r"^tessa \d+\.\d+\.\d+\n$")
        r = self.tessa("convert", "--help")
        self.assertEqual(r.returncode, 0)
        # Every named value is explained in words on a line of its own.
        for value in ["r12", "r2000", "r2007", "model", "paper", "screen", "printer",
                      "number", "layer", "group-layer", "point", "circle", "circles",
                      "cross", "diamond", "filled", "quarters"]:
            self.assertRegex(r.stdout, rf"(?m)^\s+--[a-z-]+ {value}\s+\w+")
        r = self.tessa("--help")
        self.assertEqual(r.returncode, 0)
        self.assertIn("convert", r.stdout)
        self.assertIn("info", r.stdout)


class Info(TessaTest):
    INFO_KEYS = ["input", "format", "version", "jw_cad_version", "paper", "paper_width",
                 "paper_height", "groups", "entities", "layers", "blocks", "images", "extents",
                 "warnings"]

    def test_json_of_one_drawing_and_of_several(self):
        self.put("a.jww")
        self.put("b.JWW")
        r = self.tessa("info", "--json", "a.jww")
        self.assertEqual(r.returncode, 0, r.stderr)
        one = json.loads(r.stdout)
        self.assertEqual(list(one), self.INFO_KEYS)
        self.assertEqual(one["input"], "a.jww")
        self.assertEqual(one["format"], "jww")
        self.assertGreater(sum(one["entities"].values()), 0)
        self.assertTrue(one["layers"])
        for layer in one["layers"]:
            self.assertEqual(list(layer), ["group", "layer", "name", "entities"])
        self.assertEqual(list(one["extents"]), ["min_x", "min_y", "max_x", "max_y"])
        self.assertLessEqual(one["extents"]["min_x"], one["extents"]["max_x"])

        r = self.tessa("info", "--json", "a.jww", "b.JWW")
        self.assertEqual(r.returncode, 0, r.stderr)
        both = json.loads(r.stdout)
        self.assertEqual([d["input"] for d in both], ["a.jww", "b.JWW"])
        self.assertEqual({k: v for k, v in both[1].items() if k != "input"},
                         {k: v for k, v in one.items() if k != "input"})

    def test_a_drawing_that_does_not_read(self):
        self.put("a.jww")
        self.put("bad.jww", self.drawing[:200])
        r = self.tessa("info", "--json", "a.jww", "bad.jww", "missing.jww")
        self.assertEqual(r.returncode, 1)
        both = json.loads(r.stdout)
        self.assertNotIn("reason", both[0])
        self.assertEqual(list(both[1]), ["input", "reason"])
        self.assertEqual(both[2]["reason"]["code"], "not-found")
        self.assertRegex(r.stderr, r"(?m)^bad\.jww: .+\nmissing\.jww: .+\n\Z")

        r = self.tessa("info", "a.jww", "bad.jww")
        self.assertEqual(r.returncode, 1)
        self.assertRegex(r.stdout, r"^a\.jww\n  format +jww, file version \d+")
        self.assertNotIn("bad.jww", r.stdout)

    def test_text_names_what_a_person_asks_first(self):
        self.put("a.jww")
        r = self.tessa("info", "a.jww")
        self.assertEqual(r.returncode, 0, r.stderr)
        for label in ["format", "paper", "extents", "groups", "entities", "layers", "blocks",
                      "images", "conversion"]:
            self.assertRegex(r.stdout, rf"(?m)^  {label} +\S")


class ProgressBar(TessaTest):
    def run_on_terminal(self, *args):
        """Runs tessa with a terminal as standard error; what it showed there."""
        master, slave = pty.openpty()
        try:
            p = subprocess.Popen([TESSA, *args], cwd=self.dir, stdout=subprocess.DEVNULL,
                                 stderr=slave)
            os.close(slave)
            shown = b""
            while True:
                try:
                    chunk = os.read(master, 4096)
                except OSError:  # the terminal closes when tessa ends
                    break
                if not chunk:
                    break
                shown += chunk
            p.wait()
            return p.returncode, shown.decode("utf-8", "replace")
        finally:
            os.close(master)

    def test_bar_only_on_a_terminal_and_not_when_quiet(self):
        for i in range(3):
            self.put(f"d/{i}.jww")
        code, shown = self.run_on_terminal("convert", "-j", "1", "d")
        self.assertEqual(code, 0)
        self.assertIn("3/3", shown)
        self.assertIn("drawings/s", shown)
        # The bar is cleared before the summary.
        self.assertRegex(shown, r"\r\x1b\[K3 converted, 0 failed in \d+\.\d s\r?\n$")

        code, shown = self.run_on_terminal("convert", "-q", "-f", "d")
        self.assertEqual((code, shown), (0, ""))

        r = self.tessa("convert", "-f", "d")  # standard error is a pipe
        self.assertNotIn("\r", r.stderr)
        self.assertNotIn("drawings/s", r.stderr)

    def test_bar_names_the_drawing_its_count_is_at(self):
        names = [f"d/{i}.jww" for i in range(6)]
        for n in names:
            self.put(n)
        for jobs in ["1", "2"]:
            with self.subTest(jobs=jobs):
                code, shown = self.run_on_terminal("convert", "-f", "-j", jobs, "d")
                self.assertEqual(code, 0)
                frames = re.findall(r"\] (\d+)/6 +[\d.]+ drawings/s +(\S*)", shown)
                self.assertTrue(frames, shown)
                self.assertEqual(frames[-1][0], "6")
                for count, name in frames:
                    # No frame before the first drawing is done, and one
                    # after the other the k-th drawing is done at count k.
                    self.assertGreaterEqual(int(count), 1, shown)
                    self.assertIn(name, names)
                    if jobs == "1":
                        self.assertEqual(name, names[int(count) - 1], shown)


if __name__ == "__main__":
    unittest.main(verbosity=2)
