"""The module on every real drawing: convert() on four threads gives the
executable's file for the same settings, convert_bytes() gives convert()'s,
info() agrees with both (and with `tessa info --json` when that program is
built).  Header dates aside: they come from the drawing's file times."""
import concurrent.futures
import json
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import tessa_reference as ref  # noqa: E402
from tessa_samples_dir import samples_dir  # noqa: E402

import tessaconv  # noqa: E402

SAMPLES, NO_SAMPLES = samples_dir()
EXE = os.environ.get("TESSA_EXE", "")
CLI = os.environ.get("TESSA_CLI", "")


def read(path):
    with open(path, "rb") as f:
        return f.read()


def run_module(src, dst, options):
    """convert(), as a value: its result or its error."""
    try:
        return tessaconv.convert(src, dst, **options)
    except tessaconv.ConversionError as e:
        return e


class SamplesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.names = ref.drawings(SAMPLES)
        # Two option sets per drawing; over all drawings every value of every
        # option occurs.
        sets = list(ref.option_sets(len(cls.names) + 1))
        cls.jobs = [(rel, sets[i + k]) for i, rel in enumerate(cls.names) for k in (0, 1)]
        cls.work = tempfile.TemporaryDirectory(prefix="tessa-py-samples-")
        cls.reference = ref.Reference(EXE)
        for _, options in cls.jobs:
            cls.reference.prepare(options)

        def module_job(index):
            rel, options = cls.jobs[index]
            dst = os.path.join(cls.work.name, f"{index}.dxf")
            return run_module(os.path.join(SAMPLES, rel), dst, options)

        # The conversions share one process: four at once, without the GIL.
        with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
            cls.results = list(pool.map(module_job, range(len(cls.jobs))))
        with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
            cls.wanted = list(pool.map(
                lambda job: cls.reference.convert(os.path.join(SAMPLES, job[0]), job[1]),
                cls.jobs))

    @classmethod
    def tearDownClass(cls):
        cls.reference.close()
        cls.work.cleanup()

    def output(self, index):
        path = os.path.join(self.work.name, f"{index}.dxf")
        return read(path) if os.path.exists(path) else None

    def test_threads_give_the_executables_files(self):
        self.assertTrue(self.jobs)
        bad = []
        for i, (rel, options) in enumerate(self.jobs):
            got, want, result = self.output(i), self.wanted[i], self.results[i]
            if want is None:
                if not isinstance(result, tessaconv.ConversionError) or got is not None:
                    bad.append(f"{rel} {options}: the executable wrote nothing, the module "
                               f"gave {result!r} and {'a file' if got else 'no file'}")
                continue
            if isinstance(result, tessaconv.ConversionError):
                bad.append(f"{rel} {options}: {result.code}: {result}")
            elif got is None:
                bad.append(f"{rel} {options}: no file")
            elif ref.blank_dates(got) != ref.blank_dates(want):
                bad.append(f"{rel} {options}: " + ref.first_difference(
                    ref.blank_dates(got), ref.blank_dates(want)))
        self.assertFalse(bad, f"{len(bad)} of {len(self.jobs)} conversions differ:\n"
                         + "\n".join(bad[:20]))

    def test_convert_bytes_equals_convert(self):
        def job(i):
            rel, options = self.jobs[i]
            data = read(os.path.join(SAMPLES, rel))
            fmt = os.path.splitext(rel)[1][1:].lower()
            try:
                return tessaconv.convert_bytes(data, fmt, **options)
            except tessaconv.ConversionError as e:
                return e

        with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
            memory = list(pool.map(job, range(len(self.jobs))))
        bad = []
        for i, (rel, options) in enumerate(self.jobs):
            got, file_result = memory[i], self.results[i]
            if isinstance(file_result, tessaconv.ConversionError):
                if not (isinstance(got, tessaconv.ConversionError)
                        and got.code == file_result.code):
                    bad.append(f"{rel}: file gave {file_result.code}, memory {got!r:.80}")
            elif isinstance(got, tessaconv.ConversionError):
                bad.append(f"{rel}: memory gave {got.code}: {got}")
            elif ref.blank_dates(got) != ref.blank_dates(self.output(i)):
                bad.append(f"{rel} {options}: " + ref.first_difference(
                    ref.blank_dates(got), ref.blank_dates(self.output(i))))
        self.assertFalse(bad, "\n".join(bad[:20]))

    def test_info_agrees_with_the_conversion(self):
        for i, rel in enumerate(self.names):
            with self.subTest(drawing=rel):
                src = os.path.join(SAMPLES, rel)
                info = tessaconv.info(src)
                result = self.results[2 * i]
                if isinstance(result, tessaconv.ConversionError):
                    continue
                self.assertEqual((info["format"], info["version"]),
                                 (result.format, result.version))
                self.assertEqual(info["format"], os.path.splitext(rel)[1][1:].lower())
                self.assertEqual(sum(layer["entities"] for layer in info["layers"]),
                                 sum(info["entities"].values()))
                ext = info["extents"]
                self.assertLessEqual(ext["min_x"], ext["max_x"])
                self.assertLessEqual(ext["min_y"], ext["max_y"])

    @unittest.skipUnless(CLI and os.path.exists(CLI),
                         "the program `tessa` is not built here; info() is not compared with "
                         "`tessa info --json`")
    def test_info_equals_the_programs_json(self):
        for rel in self.names:
            with self.subTest(drawing=rel):
                src = os.path.join(SAMPLES, rel)
                out = subprocess.run([CLI, "info", "--json", src], capture_output=True,
                                     check=True, timeout=120)
                self.assertEqual(tessaconv.info(src), json.loads(out.stdout))


if __name__ == "__main__":
    if SAMPLES is None:
        print(NO_SAMPLES + "; skipping.", file=sys.stderr)
        sys.exit(77)
    if not EXE or not os.path.exists(EXE):
        sys.exit("TESSA_EXE must name the converter executable (set by CTest)")
    unittest.main(verbosity=2)
