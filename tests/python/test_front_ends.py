"""The same inputs through every front end: the command line tessa, the
Python module and the C++ API (a small program over it).  Each refuses a bad
input with the same reason code and the same words, the path it is about
named once, in front; and `tessa info --json` equals Python's info."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import tessaconv

TESSA = os.environ.get("TESSA_CLI", "")
PROBE = os.environ.get("TESSA_API_PROBE", "")
FIXTURE_TOOL = os.environ.get("TESSA_FIXTURE_TOOL", "")
EXAMPLE = os.environ.get("TESSA_EXAMPLE", "")


def run(args, cwd):
    return subprocess.run(args, cwd=cwd, capture_output=True, text=True, timeout=120)


class FrontEnds(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="tessa-front-")
        self.addCleanup(shutil.rmtree, self.dir, True)

    def put(self, name, data):
        with open(os.path.join(self.dir, name), "wb") as f:
            f.write(data)

    # ---- each front end's answer: (code, message, the line it shows) ----

    def by_tessa(self, src, dst, options):
        args = [TESSA, "convert", src, "-o", dst, "--report", "report.json"]
        for name, value in options.items():
            args += ["--" + name, value]
        r = run(args, self.dir)
        lines = r.stderr.splitlines()
        if r.returncode == 2:  # the command line was wrong: no report
            self.assertTrue(lines and lines[0].startswith("tessa convert: "), r.stderr)
            line = lines[0][len("tessa convert: "):]
            return "bad-option", line.split(": ", 1)[1], line
        self.assertEqual(r.returncode, 1, r.stderr)
        with open(os.path.join(self.dir, "report.json"), encoding="utf-8") as f:
            reason = json.load(f)["drawings"][0]["reason"]
        os.remove(os.path.join(self.dir, "report.json"))
        line = lines[0]
        # The command line's own hint follows the library's words.
        line = line.removesuffix(" (--force replaces it)")
        return reason["code"], reason["message"], line

    def by_python(self, src, dst, options):
        cwd = os.getcwd()
        os.chdir(self.dir)
        try:
            tessaconv.convert(src, dst, **{k.replace("-", "_"): v for k, v in options.items()})
        except tessaconv.ConversionError as e:
            path = str(e).split(": ", 1)[0]
            return e.code, str(e)[len(path) + 2:], str(e)
        finally:
            os.chdir(cwd)
        self.fail("converted")

    def by_api(self, src, dst, options):
        r = run([PROBE, "convert", src, dst] + [f"{k}={v}" for k, v in options.items()],
                self.dir)
        self.assertEqual(r.returncode, 1, r.stderr)
        reason, line = r.stdout.splitlines()
        reason = json.loads(reason)
        return reason["code"], reason["message"], line

    def test_bad_inputs_give_one_answer_everywhere(self):
        with open(EXAMPLE, "rb") as f:
            drawing = f.read()
        self.put("plan.jww", drawing)
        self.put("half.jww", drawing[: len(drawing) // 2])
        self.put("letter.jww", b"Dear reader, this is no drawing.\n" * 10)
        self.put("taken.dxf", b"mine")
        os.mkfifo(os.path.join(self.dir, "pipe.jww"))
        # (what, drawing, output, options, code, the path the line names)
        cases = [
            ("missing file", "missing.jww", "a.dxf", {}, "not-found", "missing.jww"),
            ("named pipe", "pipe.jww", "a.dxf", {}, "not-found", "pipe.jww"),
            ("non-drawing", "letter.jww", "a.dxf", {}, "not-a-drawing", "letter.jww"),
            ("truncated drawing", "half.jww", "a.dxf", {}, "truncated", "half.jww"),
            ("existing output", "plan.jww", "taken.dxf", {}, "output-exists", "taken.dxf"),
            ("output with a drawing extension", "plan.jww", "out.jws", {},
             "output-is-drawing", "out.jws"),
            ("bad option value", "plan.jww", "a.dxf", {"dxf": "r14"}, "bad-option", None),
        ]
        for what, src, dst, options, code, path in cases:
            with self.subTest(what):
                answers = {"tessa": self.by_tessa(src, dst, options),
                           "python": self.by_python(src, dst, options),
                           "api": self.by_api(src, dst, options)}
                for front, (got_code, message, line) in answers.items():
                    self.assertEqual(got_code, code, (front, line))
                    self.assertEqual(message, answers["api"][1], front)
                    if path:
                        self.assertEqual(line, f"{path}: {message}", front)
                        self.assertEqual(line.count(path), 1, (front, line))
                if not path:
                    self.assertEqual(answers["api"][1], "r14 is not one of r12, r2000, r2007")
                # Nothing written, nothing replaced.
                self.assertFalse(os.path.exists(os.path.join(self.dir, "a.dxf")))
                with open(os.path.join(self.dir, "taken.dxf"), "rb") as f:
                    self.assertEqual(f.read(), b"mine")

    def test_a_folder_is_no_drawing_file(self):
        """The API and Python refuse a folder as a drawing; tessa takes a folder
        as the drawings in it, and says when it holds none."""
        os.mkdir(os.path.join(self.dir, "folder.jww"))
        python = self.by_python("folder.jww", "a.dxf", {})
        api = self.by_api("folder.jww", "a.dxf", {})
        self.assertEqual(python, api)
        self.assertEqual(api[2], "folder.jww: there is no drawing file: this is a folder")
        self.assertEqual(self.by_tessa("folder.jww", "out", {})[:2],
                         ("no-drawings", "no drawings in this folder"))
        r = run([TESSA, "info", "folder.jww"], self.dir)
        self.assertEqual((r.returncode, r.stderr), (1, "folder.jww: no drawings in this folder\n"))
        r = run([PROBE, "info", "folder.jww"], self.dir)
        self.assertEqual(r.stdout.splitlines()[1], api[2])

    def test_info_json_equals_python_info_for_every_format(self):
        subprocess.run([FIXTURE_TOOL, self.dir], check=True)
        folder = os.path.join(self.dir, "formats")
        names = sorted(os.listdir(folder))
        self.assertEqual(sorted(n.rsplit(".", 1)[1] for n in names), ["jwc", "jwk", "jws", "jww"])
        paths = [os.path.join(folder, n) for n in names]
        r = run([TESSA, "info", "--json"] + paths, self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(json.loads(r.stdout), [tessaconv.info(p) for p in paths])
        # The folder gives the same drawings.
        r = run([TESSA, "info", "--json", folder], self.dir)
        self.assertEqual(json.loads(r.stdout), [tessaconv.info(p) for p in paths])
        # A converted JWC or JWK carries its version in the report: 0, not null.
        r = run([TESSA, "convert", "-q", folder, "-o", "out", "--report", "r.json"], self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(os.path.join(self.dir, "r.json"), encoding="utf-8") as f:
            report = {os.path.basename(d["input"]): d for d in json.load(f)["drawings"]}
        for name, path in zip(names, paths):
            result = tessaconv.convert(path, os.path.join(self.dir, name + ".dxf"))
            self.assertEqual(report[name]["version"], result.version, name)
            self.assertEqual(report[name]["written"], result.written, name)
            self.assertEqual(report[name]["format"], result.format, name)


if __name__ == "__main__":
    for name, value in (("TESSA_CLI", TESSA), ("TESSA_API_PROBE", PROBE),
                        ("TESSA_FIXTURE_TOOL", FIXTURE_TOOL), ("TESSA_EXAMPLE", EXAMPLE)):
        if not value or not os.path.exists(value):
            sys.exit(f"{name} must name an existing file (set by CTest)")
    unittest.main(verbosity=2)
