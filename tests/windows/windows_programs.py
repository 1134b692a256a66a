#!/usr/bin/python3
"""The Windows programs as a user and the parent application meet them, under Wine.

Run by ctest with the environment: TESSACONV_EXE, TESSA_EXE (the .exe files),
WINE_RUN (the command that runs a Windows program, words separated by ";"),
OBJDUMP, TESSA_EXAMPLE (a small drawing), TESSA_SAMPLES_DIR or
TESSA_SAMPLES_DEFAULT (the real drawings; their test is skipped without them).

Paths are handed over as Windows sees them: drive Z: is the Linux root.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "cli"))
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
from tessa_common import blank_dates, drawings_under, settings_text  # noqa: E402
from tessa_samples_dir import samples_dir  # noqa: E402

# The DLLs every Windows has; a program that imports anything else cannot be
# copied on its own to another machine.
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "shell32.dll", "user32.dll", "advapi32.dll",
               "ws2_32.dll", "bcrypt.dll", "ntdll.dll", "ole32.dll", "shlwapi.dll"}


def env(name):
    value = os.environ.get(name)
    if not value:
        raise SystemExit(f"{name} is not set (run through ctest)")
    return value


def win(path):
    """The Windows name of a Linux path under Wine: drive Z:, backslashes."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run(args, cwd=None):
    return subprocess.run(env("WINE_RUN").split(";") + args, cwd=cwd, capture_output=True,
                          timeout=300)


def header_value(dxf: bytes, name: str) -> str:
    lines = [line.strip() for line in dxf.decode("ascii", "replace").split("\n")]
    at = lines.index(name)
    return lines[at + 2]


def files_in(folder):
    return sorted(os.path.relpath(os.path.join(r, f), folder)
                  for r, _, fs in os.walk(folder) for f in fs)


class WindowsTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="tessa-win-")
        self.addCleanup(shutil.rmtree, self.tmp, ignore_errors=True)
        self.example = env("TESSA_EXAMPLE")

    def drawing(self, relpath):
        """A copy of the small drawing at relpath in the temporary folder."""
        path = os.path.join(self.tmp, relpath)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        shutil.copyfile(self.example, path)
        return path

    def converter(self, folder="bin", settings=None):
        """tessaconv.exe in a folder of its own with its settings file."""
        bindir = os.path.join(self.tmp, folder)
        os.makedirs(bindir, exist_ok=True)
        exe = os.path.join(bindir, "tessaconv.exe")
        shutil.copy2(env("TESSACONV_EXE"), exe)
        with open(os.path.join(bindir, "Tessaconv.dat"), "w", newline="") as f:
            f.write(settings_text(settings or {}))
        return exe

    def convert(self, exe, *args, cwd=None):
        """Runs tessaconv.exe as the parent does: silent, exit code 0."""
        r = run([exe, *args], cwd=cwd or self.tmp)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stdout, b"")
        return r


class Programs(unittest.TestCase):
    def imports_and_subsystem(self, exe):
        r = subprocess.run([env("OBJDUMP"), "-p", exe], capture_output=True, text=True, check=True)
        dlls = {m.lower() for m in re.findall(r"DLL Name: (\S+)", r.stdout)}
        subsystem = re.search(r"^Subsystem\s+\S+\s+\((.*)\)", r.stdout, re.MULTILINE).group(1)
        return dlls, subsystem

    def test_only_system_dlls_and_the_right_subsystem(self):
        for name, subsystem in (("TESSACONV_EXE", "Windows GUI"), ("TESSA_EXE", "Windows CUI")):
            with self.subTest(name):
                dlls, got = self.imports_and_subsystem(env(name))
                self.assertTrue(dlls, "no imports found")
                self.assertLessEqual(dlls, SYSTEM_DLLS)
                self.assertEqual(got, subsystem)


class ParentProtocol(WindowsTest):
    def test_settings_and_temp_beside_the_executable_not_the_working_folder(self):
        exe = self.converter("programs/conv", {15: "2", 18: "1"})
        src = self.drawing("plan.jww")
        out = os.path.join(self.tmp, "plan.dxf")
        cwd = os.path.join(self.tmp, "elsewhere")
        os.mkdir(cwd)
        self.convert(win(exe), "a", "b", win(src), win(out), cwd=cwd)
        with open(out, "rb") as f:
            dxf = f.read()
        self.assertEqual(header_value(dxf, "$ACADVER"), "AC1021")  # line 15: R2007
        self.assertIn(b"VIEWPORT", dxf)  # line 18: paper space
        self.assertEqual(os.listdir(cwd), [])

    def test_unicode_paths_give_the_same_dxf(self):
        exe = self.converter()
        plain_out = os.path.join(self.tmp, "plain.dxf")
        self.convert(exe, "a", "b", self.drawing("plain.jww"), plain_out)
        # Hangul and the e with a caron are not in code page 932.
        src = self.drawing("図面 フォルダ/平面図①_한글_ě.jww")
        out = os.path.join(self.tmp, "出力/平面図①_한글_ě.dxf")
        os.mkdir(os.path.dirname(out))
        self.convert(exe, "a", "b", win(src), win(out))
        with open(plain_out, "rb") as a, open(out, "rb") as b:
            self.assertEqual(blank_dates(a.read()), blank_dates(b.read()))

    def test_long_paths_convert(self):
        exe = self.converter()
        deep = os.path.join(*(["長いフォルダの名前" + "x" * 40] * 6))
        src = self.drawing(os.path.join(deep, "plan.jww"))
        out = os.path.join(self.tmp, deep, "plan.dxf")
        self.assertGreater(len(win(out)), 260)
        self.convert(exe, "a", "b", win(src), win(out))
        with open(out, "rb") as f:
            self.assertTrue(f.read().rstrip().endswith(b"EOF"))

    def test_nothing_written_and_no_drawing_touched(self):
        exe = self.converter()
        src = self.drawing("plan.jww")
        with open(src, "rb") as f:
            original = f.read()
        folder = os.path.join(self.tmp, "a folder")
        os.mkdir(folder)
        existing = os.path.join(self.tmp, "existing.dxf")
        readonly = os.path.join(self.tmp, "readonly.dxf")
        cases = {
            "swapped arguments": ([win(src), win(os.path.join(self.tmp, "new.dxf"))], None),
            "the drawing as output": ([win(src), win(src)], None),
            "a drawing extension as output": ([win(src), win(src[:-4] + ".JWW")], None),
            "an existing output": ([win(src), win(existing)], existing),
            "a read-only output": ([win(src), win(readonly)], readonly),
            "a folder as output": ([win(src), win(folder)], None),
            "CON as output": ([win(src), "CON"], None),
            "NUL as output": ([win(src), "NUL"], None),
            "NUL as drawing": (["NUL", win(os.path.join(self.tmp, "nul.dxf"))], None),
            "COM1 with an extension as output": ([win(src), win(os.path.join(self.tmp, "COM1.dxf"))], None),
            "three arguments": ([win(src), win(os.path.join(self.tmp, "three.dxf"))], None),
        }
        for what, (args, old) in cases.items():
            with self.subTest(what):
                if old:
                    with open(old, "wb") as f:
                        f.write(b"not a DXF of this run")
                if old == readonly:
                    os.chmod(readonly, 0o444)
                before = files_in(self.tmp)
                if what == "swapped arguments":
                    args = args[::-1]
                if what == "three arguments":
                    self.convert(exe, "a", *args)
                else:
                    self.convert(exe, "a", "b", *args)
                with open(src, "rb") as f:
                    self.assertEqual(f.read(), original)
                after = set(files_in(self.tmp))
                # No DXF and no temporary file appears; an old output is
                # deleted or, where the system keeps it, left as it was.
                self.assertLessEqual(after, set(before))
                if old and os.path.exists(old):
                    with open(old, "rb") as f:
                        self.assertEqual(f.read(), b"not a DXF of this run")
                if old == readonly and os.path.exists(readonly):
                    os.chmod(readonly, 0o644)

    def test_header_dates_are_the_drawings_creation_and_write_times(self):
        exe = self.converter()
        src = self.drawing("plan.jww")
        written = 981173106  # 2001-02-03 04:05:06 UTC, long before the copy was made
        os.utime(src, (written, written))
        out = os.path.join(self.tmp, "plan.dxf")
        self.convert(exe, "a", "b", win(src), win(out))
        with open(out, "rb") as f:
            dxf = f.read()
        # Julian dates: the last write is the one set; the creation is when
        # the copy was made on Windows, while Wine 8 reports the last write
        # as the creation time (it reads no birth time from Linux).
        update = float(header_value(dxf, "$TDUPDATE"))
        create = float(header_value(dxf, "$TDCREATE"))
        utc_update = 2440587.5 + written / 86400
        self.assertLess(abs(update - utc_update), 15 / 24)  # the local clock's offset at most
        self.assertGreaterEqual(create, update)


class CommandLine(WindowsTest):
    def tessa(self, *args, cwd=None):
        return run([env("TESSA_EXE"), *args], cwd=cwd or self.tmp)

    def test_japanese_folder_mirrored_under_a_drive_letter(self):
        src_root = os.path.join(self.tmp, "図面")
        self.drawing("図面/一階/平面図.jww")
        self.drawing("図面/二階/立面図 北.jww")
        out_root = os.path.join(self.tmp, "出力")
        r = self.tessa("convert", "-r", win(src_root) + "\\", "-o", win(out_root))
        self.assertEqual(r.returncode, 0, r.stderr.decode("utf-8", "replace"))
        self.assertEqual(files_in(out_root), ["一階/平面図.dxf", "二階/立面図 北.dxf"])
        # Names reach the console as UTF-8.
        failed = self.tessa("convert", win(os.path.join(src_root, "無い図面.jww")))
        self.assertEqual(failed.returncode, 1)
        self.assertIn("無い図面.jww", failed.stderr.decode("utf-8"))

    def test_bad_outputs_fail_with_a_reason(self):
        src = self.drawing("plan.jww")
        readonly = os.path.join(self.tmp, "readonly.dxf")
        with open(readonly, "wb") as f:
            f.write(b"kept")
        os.chmod(readonly, 0o444)
        self.addCleanup(os.chmod, readonly, 0o644)
        for what, args in {"a read-only output": [win(readonly)],
                           "the drawing itself": ["--force", win(src)],
                           "CON": ["CON"], "NUL": ["NUL"]}.items():
            with self.subTest(what):
                before = files_in(self.tmp)
                r = self.tessa("convert", "--quiet", win(src), "-o", *args[-1:], *args[:-1])
                self.assertEqual(r.returncode, 1, r.stdout)
                self.assertTrue(r.stderr.strip())
                self.assertEqual(files_in(self.tmp), before)
                with open(readonly, "rb") as f:
                    self.assertEqual(f.read(), b"kept")
        r = self.tessa("convert", "--dxf", "r13", win(src))
        self.assertEqual(r.returncode, 2)

    def test_real_drawings_under_a_japanese_folder(self):
        samples, why = samples_dir()
        if samples is None:
            self.skipTest(why)
        # The drawings stay where they are; a Japanese name leads to them.
        link = os.path.join(self.tmp, "利用者の図面")
        os.symlink(samples, link)
        out = os.path.join(self.tmp, "変換結果")
        r = self.tessa("convert", "-r", "--quiet", "-j", "2", win(link), "-o", win(out))
        self.assertEqual(r.returncode, 0, r.stderr.decode("utf-8", "replace")[-2000:])
        want = [os.path.splitext(os.path.relpath(d, samples))[0] + ".dxf"
                for d in drawings_under(samples)]
        self.assertEqual(files_in(out), sorted(want))


if __name__ == "__main__":
    unittest.main()
