"""The README's Dask recipe, run as a person would run it, on a local cluster
of two worker processes over the real drawings: every DXF it leaves equals the
executable's for the same settings (header dates aside), and every drawing the
executable refuses is reported, not written."""
import ast
import os
import re
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import tessa_reference as ref  # noqa: E402
from tessa_samples_dir import samples_dir  # noqa: E402

SAMPLES, NO_SAMPLES = samples_dir()
EXE = os.environ.get("TESSA_EXE", "")
README = os.environ.get("TESSA_README", "")
HEADING = "### Converting a folder tree with Dask"


def readme_recipe():
    """The first Python block after the recipe's heading."""
    with open(README, encoding="utf-8") as f:
        text = f.read()
    start = text.index(HEADING)
    m = re.compile(r"```python\n(.*?)```", re.S).search(text, start)
    return m.group(1)


def recipe_options(recipe):
    """The options the recipe's own call of convert_tree passes."""
    for node in ast.walk(ast.parse(recipe)):
        if (isinstance(node, ast.Call) and isinstance(node.func, ast.Name)
                and node.func.id == "convert_tree"):
            return {k.arg: ast.literal_eval(k.value) for k in node.keywords}
    raise AssertionError("the recipe never calls convert_tree")


class DaskRecipeTest(unittest.TestCase):
    def test_recipe_on_a_local_cluster(self):
        recipe = readme_recipe()
        self.assertIn("LocalCluster(n_workers=2, processes=True, threads_per_worker=1)", recipe)
        options = recipe_options(recipe)
        with tempfile.TemporaryDirectory(prefix="tessa-py-dask-") as work:
            script = os.path.join(work, "convert_tree.py")
            with open(script, "w", encoding="utf-8") as f:
                f.write(recipe)
            out_root = os.path.join(work, "dxf")
            run = subprocess.run([sys.executable, script, SAMPLES, out_root], cwd=work,
                                 capture_output=True, text=True, timeout=850)
            self.assertEqual(run.returncode, 0, run.stderr[-3000:])
            reported = {line.split(": ", 1)[0] for line in run.stdout.splitlines()
                        if ": " in line}

            reference = ref.Reference(EXE)
            self.addCleanup(reference.close)
            names = ref.drawings(SAMPLES)
            self.assertTrue(names)
            bad = []
            for rel in names:
                src = os.path.join(SAMPLES, rel)
                dst = os.path.join(out_root, os.path.splitext(rel)[0] + ".dxf")
                want = reference.convert(src, options)
                if want is None:
                    if os.path.exists(dst) or src not in reported:
                        bad.append(f"{rel}: refused by the executable, not by the recipe")
                elif not os.path.exists(dst):
                    bad.append(f"{rel}: no file")
                else:
                    with open(dst, "rb") as f:
                        got = f.read()
                    if ref.blank_dates(got) != ref.blank_dates(want):
                        bad.append(f"{rel}: " + ref.first_difference(
                            ref.blank_dates(got), ref.blank_dates(want)))
            self.assertFalse(bad, "\n".join(bad[:20]))
            written = sum(len(files) for _, _, files in os.walk(out_root))
            self.assertEqual(written, len(names) - len(reported))
            self.assertIn(f"{len(names) - len(reported)} of {len(names)} drawings converted",
                          run.stdout)


if __name__ == "__main__":
    if SAMPLES is None:
        print(NO_SAMPLES + "; skipping the Dask recipe.", file=sys.stderr)
        sys.exit(77)
    try:
        import dask.bag  # noqa: F401
        import distributed  # noqa: F401
    except ImportError as e:
        print(f"Dask is not installed ({e}; python3-dask, python3-distributed); "
              "skipping the Dask recipe.", file=sys.stderr)
        sys.exit(77)
    unittest.main(verbosity=2)
