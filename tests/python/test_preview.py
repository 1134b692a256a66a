"""tessaconv.preview and preview_bytes on the example drawing: an SVG document
that Jupyter shows, the same from a file and from bytes, the paper sheet at its
size, and the conversion's errors."""
import os
import re
import shutil
import tempfile
import unittest
import xml.etree.ElementTree as ET

import tessaconv

EXAMPLE = os.environ.get("TESSA_EXAMPLE", "")
SVG = "{http://www.w3.org/2000/svg}"


class PreviewTest(unittest.TestCase):
    def test_a_picture_jupyter_shows(self):
        svg = tessaconv.preview(EXAMPLE)
        self.assertIsInstance(svg, str)
        self.assertIsInstance(svg, tessaconv.Preview)
        self.assertEqual(svg._repr_svg_(), str(svg))
        root = ET.fromstring(svg.encode("utf-8"))
        self.assertEqual(root.tag, SVG + "svg")
        self.assertTrue(root.get("width").endswith("mm"))

    def test_file_and_bytes_give_one_picture(self):
        with open(EXAMPLE, "rb") as f:
            data = f.read()
        self.assertEqual(tessaconv.preview(EXAMPLE, points="cross"),
                         tessaconv.preview_bytes(data, "jww", points="cross"))
        self.assertEqual(tessaconv.preview(EXAMPLE),
                         tessaconv.preview_bytes(bytearray(data), ".JWW"))

    def test_paper_is_the_sheet(self):
        root = ET.fromstring(tessaconv.preview(EXAMPLE, space="paper").encode("utf-8"))
        width = float(re.match(r"([0-9.]+)mm", root.get("width")).group(1))
        self.assertIn(round(width), (297, 420, 594, 841, 1189, 210))
        self.assertIsNotNone(root.find(".//" + SVG + "clipPath"))

    def test_errors_are_the_conversions(self):
        folder = tempfile.mkdtemp(prefix="tessa-py-preview-")
        self.addCleanup(shutil.rmtree, folder, True)
        cut = os.path.join(folder, "cut.jww")
        with open(EXAMPLE, "rb") as f, open(cut, "wb") as g:
            g.write(f.read()[:300])
        for call, code in ((lambda: tessaconv.preview(os.path.join(folder, "none.jww")), "not-found"),
                           (lambda: tessaconv.preview(cut), None),
                           (lambda: tessaconv.preview_bytes(b"abc", "png"), "unknown-format")):
            with self.assertRaises(tessaconv.ConversionError) as cm:
                call()
            if code:
                self.assertEqual(cm.exception.code, code)
        with self.assertRaises(ValueError):
            tessaconv.preview(EXAMPLE, space="attic")
        self.assertEqual(os.listdir(folder), ["cut.jww"])


if __name__ == "__main__":
    unittest.main()
