// The Python module tessaconv: a thin layer over the library's API.  It
// calls the library with the GIL released, hands it the option values to
// parse, and turns the library's JSON into Python values and a failure into
// tessaconv.ConversionError.  Every word and field is the library's.
#include <pybind11/eval.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <algorithm>
#include <charconv>
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

    str(error) is a sentence a person understands, the path it is about in
    front ("plan.jww: there is no drawing file: no such file or folder");
    ``code`` is a stable reason (tessaconv.REASON_CODES); ``offset`` is the
    byte offset in the drawing the reason applies to, or None.
    """

    def __init__(self, message="", code="internal", offset=None):
        super().__init__(message)
        self.code = code
        self.offset = offset

    def __reduce__(self):
        return (type(self), (str(self), self.code, self.offset))


@_dataclasses.dataclass(frozen=True)
class ConversionResult:
    """What one conversion did.

    format: "jww", "jws", "jwc" or "jwk"; version: the drawing's file
    version (0 for JWC and JWK); written: entities written per DXF kind and
    block definitions ("BLOCK"); warnings: what was left out or mended;
    seconds: the time the conversion took.
    """

    format: str
    version: int
    written: dict
    warnings: list
    seconds: float


del _dataclasses
)PY";

// The text of a number as the library parses it: the shortest that gives
// the same value back.
std::string NumberText(double v) {
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, end) : std::string("nan");
}

[[noreturn]] void RaiseReason(const api::Reason& r, std::string_view src = {},
                              std::string_view dst = {});

// Options from the keyword arguments, each value parsed by the library;
// a keyword's name is the option's with "_" for "-".
api::Options MakeOptions(const std::string& dxf, const std::string& space,
                         const std::string& penColours, const std::string& layerNames,
                         int scaleGroup, const std::string& points, double pointSize) {
  const std::pair<api::Option, std::string> given[] = {
      {api::Option::Dxf, dxf},
      {api::Option::Space, space},
      {api::Option::PenColours, penColours},
      {api::Option::LayerNames, layerNames},
      {api::Option::ScaleGroup, std::to_string(scaleGroup)},
      {api::Option::Points, points},
      {api::Option::PointSize, NumberText(pointSize)},
  };
  api::Options o;
  for (const auto& [option, value] : given) {
    if (auto bad = api::SetOption(o, option, value)) {
      std::string keyword(api::OptionName(option));
      std::replace(keyword.begin(), keyword.end(), '-', '_');
      RaiseReason(*bad, keyword);
    }
  }
  return o;
}

// Text of the library is UTF-8; a path of bytes that are not (a Linux file
// name may be anything) comes back the way os.fsdecode gives it.
py::str Text(const std::string& s) {
  PyObject* o = PyUnicode_DecodeUTF8(s.data(), static_cast<Py_ssize_t>(s.size()), "surrogateescape");
  if (!o) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(o);
}

// Python values of the library's JSON text.
py::object FromJson(const std::string& text) {
  return py::module_::import("json").attr("loads")(Text(text));
}

[[noreturn]] void RaiseReason(const api::Reason& r, std::string_view src, std::string_view dst) {
  const py::dict fields = FromJson(api::ReasonJson(r));
  py::object cls = py::module_::import("tessaconv").attr("ConversionError");
  py::object error = cls(Text(api::Describe(r, src, dst)), fields["code"], fields["offset"]);
  PyErr_SetObject(cls.ptr(), error.ptr());
  throw py::error_already_set();
}

[[noreturn]] void RaiseReason(const std::optional<api::Reason>& reason, std::string_view src,
                              std::string_view dst = {}) {
  RaiseReason(reason.value_or(api::MakeReason(api::ReasonCode::Internal)), src, dst);
}

py::object MakeResult(const api::Result& r) {
  py::dict fields = FromJson(api::ResultJson(r));
  py::object cls = py::module_::import("tessaconv").attr("ConversionResult");
  return cls(fields["format"], fields["version"], fields["written"], fields["warnings"],
             fields["seconds"]);
}

api::Format FormatOf(const std::string& fmt) {
  if (auto f = api::FormatFromName(fmt)) return *f;
  RaiseReason(api::MakeReason(api::ReasonCode::UnknownFormat,
                              fmt + " is not a drawing format: use jww, jws, jwc or jwk"));
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
  if (!r.ok) RaiseReason(r.reason, src.string(), dst.string());
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
  if (!r.ok) RaiseReason(r.reason, {});
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
  if (!r.ok) RaiseReason(r.reason, src.string());
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
  if (!r.ok) RaiseReason(r.reason, {});
  return PreviewOf(std::move(svg));
}

py::dict Info(const std::filesystem::path& src) {
  api::Info info;
  {
    py::gil_scoped_release unlocked;
    info = api::Inspect(src.string());
  }
  if (!info.ok) RaiseReason(info.reason, src.string());
  // The input as given, then the library's fields, as `tessa info --json`.
  py::dict d;
  d["input"] = Text(src.string());
  d.attr("update")(FromJson(api::InfoJson(info)));
  return d;
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
  py::tuple codes(api::AllReasonCodes().size());
  for (size_t i = 0; i < codes.size(); ++i)
    codes[i] = std::string(api::ReasonName(api::AllReasonCodes()[i]));
  m.attr("REASON_CODES") = codes;

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

Raises ConversionError with the reason's code and offset (code "bad-option"
for an option value outside its choices; ConversionError is a ValueError).)");

  m.def("convert_bytes", &ConvertBytes, py::arg("data"), py::arg("fmt"), py::kw_only(),
        py::arg("dxf") = "r2000", py::arg("space") = "model", py::arg("pen_colours") = "screen",
        py::arg("layer_names") = "number", py::arg("scale_group") = 0,
        py::arg("points") = "point", py::arg("point_size") = 0.001,
        R"(Converts a drawing held in memory and returns the DXF file as bytes.

data is any bytes-like object; fmt names its format: "jww", "jws", "jwc" or
"jwk".  No file is read or written.  The options are those of convert().
The header dates, which convert() takes from the drawing's file times, are
the zero date: bytes carry no file times.

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

  input (src as given), format, version, jw_cad_version, paper, paper_width,
  paper_height (mm), groups [{group, name, scale}], entities {kind: n},
  layers [{group, layer, name, entities}],
  blocks [{name, number, entities, inserts}], images [name],
  extents {min_x, min_y, max_x, max_y}, warnings [text]

Raises ConversionError.)");
}
