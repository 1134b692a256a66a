// The Python module tessaconv: a thin layer over the library's API.  It
// parses option names, calls the library with the GIL released and turns a
// failure into tessaconv.ConversionError.  Everything else is the library's.
#include <pybind11/eval.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

#include "api/tessa_api.h"

namespace py = pybind11;
namespace api = tessa::api;

namespace {

// The Python classes of the module's values.  Plain Python classes, so that
// results and errors pickle by name: a Dask worker hands them back to its
// client that way.
constexpr const char* kPythonClasses = R"PY(
import dataclasses as _dataclasses


class ConversionError(ValueError):
    """A drawing could not be read, converted or written.

    str(error) is a sentence a person understands; ``code`` is a stable
    reason ("not-found", "not-a-drawing", "unknown-format",
    "unsupported-version", "truncated", "bad-count", "bad-record",
    "block-nesting", "output-exists", "output-is-drawing", "write-failed",
    "out-of-memory", "internal"); ``offset`` is the byte offset in the
    drawing the reason applies to, or -1.
    """

    def __init__(self, message="", code="internal", offset=-1):
        super().__init__(message)
        self.code = code
        self.offset = offset

    def __reduce__(self):
        return (type(self), (str(self), self.code, self.offset))


@_dataclasses.dataclass(frozen=True)
class ConversionResult:
    """What one conversion did.

    format: "jww", "jws", "jwc" or "jwk"; version: the drawing's file
    version; counts: entities written per DXF kind and block definitions
    ("BLOCK"); warnings: what was left out or mended; seconds: the time
    the conversion took.
    """

    format: str
    version: int
    counts: dict
    warnings: list
    seconds: float


del _dataclasses
)PY";

template <typename E, std::size_t N>
E Choose(const char* option, const std::string& value,
         const std::array<std::pair<std::string_view, E>, N>& table) {
  for (const auto& [name, e] : table)
    if (name == value) return e;
  std::string names;
  for (const auto& [name, e] : table) {
    if (!names.empty()) names += ", ";
    names += '"';
    names += name;
    names += '"';
  }
  throw py::value_error(std::string(option) + " must be one of " + names + ", not \"" + value +
                        "\"");
}

constexpr std::array<std::pair<std::string_view, api::DxfVersion>, 3> kDxf{{
    {"r12", api::DxfVersion::R12},
    {"r2000", api::DxfVersion::R2000},
    {"r2007", api::DxfVersion::R2007},
}};
constexpr std::array<std::pair<std::string_view, api::Space>, 2> kSpace{{
    {"model", api::Space::Model},
    {"paper", api::Space::Paper},
}};
constexpr std::array<std::pair<std::string_view, api::PenColours>, 2> kPenColours{{
    {"screen", api::PenColours::Screen},
    {"printer", api::PenColours::Printer},
}};
constexpr std::array<std::pair<std::string_view, api::LayerNames>, 3> kLayerNames{{
    {"number", api::LayerNames::Number},
    {"layer", api::LayerNames::Layer},
    {"group-layer", api::LayerNames::GroupLayer},
}};
constexpr std::array<std::pair<std::string_view, api::Points>, 7> kPoints{{
    {"point", api::Points::Point},
    {"circle", api::Points::Circle},
    {"circles", api::Points::Circles},
    {"cross", api::Points::Cross},
    {"diamond", api::Points::Diamond},
    {"filled", api::Points::Filled},
    {"quarters", api::Points::Quarters},
}};

api::Options MakeOptions(const std::string& dxf, const std::string& space,
                         const std::string& penColours, const std::string& layerNames,
                         int scaleGroup, const std::string& points, double pointSize) {
  api::Options o;
  o.dxf = Choose("dxf", dxf, kDxf);
  o.space = Choose("space", space, kSpace);
  o.penColours = Choose("pen_colours", penColours, kPenColours);
  o.layerNames = Choose("layer_names", layerNames, kLayerNames);
  if (scaleGroup < 0 || scaleGroup > 15)
    throw py::value_error("scale_group must lie in 0..15, not " + std::to_string(scaleGroup));
  o.scaleGroup = scaleGroup;
  o.points = Choose("points", points, kPoints);
  // Refused like the command line refuses it, rather than clamped unseen.
  if (!(pointSize >= 0.001 && pointSize <= 1000))
    throw py::value_error("point_size must lie in 0.001..1000, not " + std::to_string(pointSize));
  o.pointSize = pointSize;
  return o;
}

// Text of the library is UTF-8; a path of bytes that are not (a Linux file
// name may be anything) comes back the way os.fsdecode gives it.
py::str Text(const std::string& s) {
  PyObject* o = PyUnicode_DecodeUTF8(s.data(), static_cast<Py_ssize_t>(s.size()), "surrogateescape");
  if (!o) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(o);
}

py::list TextList(const std::vector<std::string>& v) {
  py::list l;
  for (const auto& s : v) l.append(Text(s));
  return l;
}

[[noreturn]] void RaiseReason(const std::optional<api::Reason>& reason) {
  api::Reason r = reason.value_or(api::Reason{"internal", "The conversion failed.", -1});
  py::object cls = py::module_::import("tessaconv").attr("ConversionError");
  py::object error = cls(Text(r.message), r.code, r.offset);
  PyErr_SetObject(cls.ptr(), error.ptr());
  throw py::error_already_set();
}

py::dict CountsDict(const api::Counts& counts) {
  py::dict d;
  for (const auto& [kind, n] : counts) d[Text(kind)] = n;
  return d;
}

py::object MakeResult(const api::Result& r) {
  py::object cls = py::module_::import("tessaconv").attr("ConversionResult");
  return cls(std::string(api::FormatName(r.format)), r.version, CountsDict(r.counts),
             TextList(r.warnings), r.seconds);
}

api::Format FormatOf(std::string fmt) {
  if (!fmt.empty() && fmt.front() == '.') fmt.erase(0, 1);
  for (char& c : fmt)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (auto f = api::FormatFromName(fmt)) return *f;
  RaiseReason(api::Reason{"unknown-format",
                          "\"" + fmt + "\" is no drawing format; use jww, jws, jwc or jwk.", -1});
}

py::dict InfoDict(const std::filesystem::path& src, const api::Info& info) {
  py::dict d;
  d["input"] = Text(src.string());
  d["format"] = std::string(api::FormatName(info.format));
  d["version"] = info.version;
  d["jw_cad_version"] = Text(info.jwCadVersion);
  d["paper"] = Text(info.paper);
  d["paper_width"] = info.paperWidth;
  d["paper_height"] = info.paperHeight;
  py::list groups;
  for (const auto& g : info.groups) {
    py::dict e;
    e["group"] = g.group;
    e["name"] = Text(g.name);
    e["scale"] = g.scale;
    groups.append(e);
  }
  d["groups"] = groups;
  d["counts"] = CountsDict(info.counts);
  py::list layers;
  for (const auto& l : info.layers) {
    py::dict e;
    e["group"] = l.group;
    e["layer"] = l.layer;
    e["name"] = Text(l.name);
    e["entities"] = l.entities;
    layers.append(e);
  }
  d["layers"] = layers;
  py::list blocks;
  for (const auto& b : info.blocks) {
    py::dict e;
    e["name"] = Text(b.name);
    e["number"] = b.number;
    e["entities"] = b.entities;
    e["inserts"] = b.inserts;
    blocks.append(e);
  }
  d["blocks"] = blocks;
  d["images"] = TextList(info.images);
  py::dict ext;
  ext["min_x"] = info.extents.minX;
  ext["min_y"] = info.extents.minY;
  ext["max_x"] = info.extents.maxX;
  ext["max_y"] = info.extents.maxY;
  d["extents"] = ext;
  d["warnings"] = TextList(info.warnings);
  return d;
}

py::object Convert(const std::filesystem::path& src, const std::filesystem::path& dst,
                   const std::string& dxf, const std::string& space, const std::string& penColours,
                   const std::string& layerNames, int scaleGroup, const std::string& points,
                   double pointSize, bool force) {
  const api::Options options =
      MakeOptions(dxf, space, penColours, layerNames, scaleGroup, points, pointSize);
  api::Result r;
  {
    py::gil_scoped_release unlocked;
    r = api::ConvertFile(src.string(), dst.string(), options, force);
  }
  if (!r.ok) RaiseReason(r.reason);
  return MakeResult(r);
}

py::bytes ConvertBytes(const py::buffer& data, const std::string& fmt, const std::string& dxf,
                       const std::string& space, const std::string& penColours,
                       const std::string& layerNames, int scaleGroup, const std::string& points,
                       double pointSize) {
  const api::Format format = FormatOf(fmt);
  const api::Options options =
      MakeOptions(dxf, space, penColours, layerNames, scaleGroup, points, pointSize);
  // The view holds the buffer: a bytearray cannot be resized under it while
  // the conversion runs without the GIL.
  py::buffer_info view = data.request();
  if (!PyBuffer_IsContiguous(view.view(), 'C'))
    throw py::value_error("data must be a contiguous buffer of bytes");
  const auto* bytes = static_cast<const uint8_t*>(view.ptr);
  const std::size_t size = static_cast<std::size_t>(view.size) * static_cast<std::size_t>(view.itemsize);
  std::string out;
  api::Result r;
  {
    py::gil_scoped_release unlocked;
    r = api::ConvertBytes(std::span<const uint8_t>(bytes, size), format, options, out);
  }
  if (!r.ok) RaiseReason(r.reason);
  return py::bytes(out);
}

// A picture as the Preview class of the module: text that Jupyter shows.
py::object PreviewOf(std::string svg) {
  return py::module_::import("tessaconv").attr("Preview")(py::str(svg));
}

py::object PreviewFile(const std::filesystem::path& src, const std::string& space,
                       const std::string& penColours, int scaleGroup, const std::string& points,
                       double pointSize) {
  const api::Options options =
      MakeOptions("r2000", space, penColours, "number", scaleGroup, points, pointSize);
  std::string svg;
  api::Result r;
  {
    py::gil_scoped_release unlocked;
    r = api::PreviewSvg(src.string(), options, svg);
  }
  if (!r.ok) RaiseReason(r.reason);
  return PreviewOf(std::move(svg));
}

py::object PreviewBytes(const py::buffer& data, const std::string& fmt, const std::string& space,
                        const std::string& penColours, int scaleGroup, const std::string& points,
                        double pointSize) {
  const api::Format format = FormatOf(fmt);
  const api::Options options =
      MakeOptions("r2000", space, penColours, "number", scaleGroup, points, pointSize);
  py::buffer_info view = data.request();
  if (!PyBuffer_IsContiguous(view.view(), 'C'))
    throw py::value_error("data must be a contiguous buffer of bytes");
  const auto* bytes = static_cast<const uint8_t*>(view.ptr);
  const std::size_t size = static_cast<std::size_t>(view.size) * static_cast<std::size_t>(view.itemsize);
  std::string svg;
  api::Result r;
  {
    py::gil_scoped_release unlocked;
    r = api::PreviewSvg(std::span<const uint8_t>(bytes, size), format, options, svg);
  }
  if (!r.ok) RaiseReason(r.reason);
  return PreviewOf(std::move(svg));
}

py::dict Info(const std::filesystem::path& src) {
  api::Info info;
  {
    py::gil_scoped_release unlocked;
    info = api::Inspect(src.string());
  }
  if (!info.ok) RaiseReason(info.reason);
  return InfoDict(src, info);
}

}  // namespace

PYBIND11_MODULE(tessaconv, m) {
  m.doc() =
      "Converts Jw_cad drawings (JWW, JWS, JWC, JWK) into ASCII DXF files (R12, R2000, R2007).\n"
      "\n"
      "convert() converts a file, convert_bytes() a drawing held in memory, info() describes a\n"
      "drawing without converting it.  Failures raise ConversionError.  Conversions release the\n"
      "GIL, so threads convert several drawings at once.";

  py::exec(kPythonClasses, m.attr("__dict__"));

  m.def("convert", &Convert, py::arg("src"), py::arg("dst"), py::kw_only(),
        py::arg("dxf") = "r2000", py::arg("space") = "model", py::arg("pen_colours") = "screen",
        py::arg("layer_names") = "number", py::arg("scale_group") = 0,
        py::arg("points") = "point", py::arg("point_size") = 0.001, py::arg("force") = false,
        R"(Converts the drawing at src into the DXF file dst and returns a ConversionResult.

The format comes from src's extension (.jww, .jws, .jwc, .jwk, any case).
dst is written whole or not at all: on failure no file is left.  An existing
dst is replaced only with force=True; a dst that is a drawing is never written.

Options (the names and values of `tessa convert`):
  dxf          "r12", "r2000" or "r2007"
  space        "model", or "paper" (a viewport per layer-group scale)
  pen_colours  "screen" or "printer" pens of a JWW drawing
  layer_names  "number", "layer" or "group-layer"
  scale_group  layer group 0..15 that gives the drawing scale
  points       "point", "circle", "circles", "cross", "diamond", "filled", "quarters"
  point_size   radius of point circles and markers, 0.001..1000

Raises ConversionError with the reason's code and offset; ValueError for an
option value outside its choices.)");

  m.def("convert_bytes", &ConvertBytes, py::arg("data"), py::arg("fmt"), py::kw_only(),
        py::arg("dxf") = "r2000", py::arg("space") = "model", py::arg("pen_colours") = "screen",
        py::arg("layer_names") = "number", py::arg("scale_group") = 0,
        py::arg("points") = "point", py::arg("point_size") = 0.001,
        R"(Converts a drawing held in memory and returns the DXF file as bytes.

data is any bytes-like object; fmt names its format: "jww", "jws", "jwc" or
"jwk".  No file is read or written.  The options are those of convert().
The header dates, which convert() takes from the drawing's file times, are
the time of the conversion: bytes carry no file times.

Raises ConversionError (code "unknown-format" for an unknown fmt).)");

  py::exec(R"(
class Preview(str):
    """An SVG picture of a drawing (the text of the SVG file); Jupyter shows it."""
    def _repr_svg_(self):
        return str(self)
)", m.attr("__dict__"));

  m.def("preview", &PreviewFile, py::arg("src"), py::kw_only(), py::arg("space") = "model",
        py::arg("pen_colours") = "screen", py::arg("scale_group") = 0,
        py::arg("points") = "point", py::arg("point_size") = 0.001,
        R"(Draws the drawing at src as its conversion with these options writes it and
returns the SVG picture as a Preview, a str that Jupyter shows as the picture.

space "model" draws model space; "paper" the paper layout, the sheet at its size
in millimetres with each viewport showing its part of model space.  The other
options are those of convert().  Raises ConversionError as convert() does.)");

  m.def("preview_bytes", &PreviewBytes, py::arg("data"), py::arg("fmt"), py::kw_only(),
        py::arg("space") = "model", py::arg("pen_colours") = "screen",
        py::arg("scale_group") = 0, py::arg("points") = "point", py::arg("point_size") = 0.001,
        R"(preview() of a drawing held in memory; fmt as for convert_bytes().)");

  m.def("info", &Info, py::arg("src"),
        R"(Reads the drawing at src without converting it and returns a dict, the same as
`tessa info --json`:

  input (src as given), format, version, jw_cad_version, paper, paper_width, paper_height (mm),
  groups [{group, name, scale}], counts {kind: n},
  layers [{group, layer, name, entities}],
  blocks [{name, number, entities, inserts}], images [name],
  extents {min_x, min_y, max_x, max_y}, warnings [text]

Raises ConversionError.)");
}
