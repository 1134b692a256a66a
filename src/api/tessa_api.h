// The converter as a library: convert a Jw_cad drawing to DXF, or look at
// one without converting it.  Every call is independent of every other:
// different drawings may be converted on several threads at once.  Nothing
// here prints or throws; a failure
// comes back as a Reason.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessa::api {

enum class Format { Jww, Jws, Jwc, Jwk };
enum class DxfVersion { R12 = 0, R2000 = 1, R2007 = 2 };
enum class Space { Model = 0, Paper = 1 };
// Which pens of a JWW drawing give the colours.
enum class PenColours { Screen = 0, Printer = 1 };
// How the DXF layers of the drawing layers are named.
enum class LayerNames {
  Number = 0,       // "1" .. "256"
  Layer = 1,        // the drawing's layer name
  GroupLayer = 2,   // group name and layer name joined
};
// How drawing points are written.
enum class Points {
  Point = 0,        // POINT entities
  Circle = 1,       // circles of the point size
  Circles = 2,      // marker block: two concentric circles
  Cross = 3,        // marker block: circle with a cross
  Diamond = 4,      // marker block: diamond outline
  Filled = 5,       // marker block: filled diamond
  Quarters = 6,     // marker block: four filled quarters
};

// The options of one conversion: what the parent's settings file gives, by
// name.  The defaults are those of a person's conversion (R2000), not the
// parent's (R12).
struct Options {
  DxfVersion dxf = DxfVersion::R2000;
  Space space = Space::Model;
  PenColours penColours = PenColours::Screen;
  LayerNames layerNames = LayerNames::Number;
  int scaleGroup = 0;        // layer group 0..15 that gives the drawing scale
  Points points = Points::Point;
  double pointSize = 0.001;  // marker radius, clamped to 0.001..1000
};

// Why a drawing could not be read, converted or written.
struct Reason {
  // Stable codes:
  //   "not-found"            no drawing file at the path (or it cannot be read)
  //   "unknown-format"       the path's extension names none of the formats
  //   "not-a-drawing"        the file does not start as the format does
  //   "unsupported-version"  a file version this converter does not read
  //   "truncated"            the file ends inside something it announced
  //   "bad-count"            a count the rest of the file cannot hold
  //   "bad-record"           a record or class tag that makes no sense
  //   "block-nesting"        blocks nested deeper, or placing more copies of
  //                          each other, than any drawing needs (a block
  //                          placing itself is not a failure: those copies
  //                          are left out with a warning)
  //   "output-exists"        the output exists and overwrite was not asked
  //   "output-is-drawing"    the output is the drawing or has a drawing's
  //                          extension
  //   "write-failed"         the DXF file (or a temporary file) could not be
  //                          written
  //   "out-of-memory", "internal"
  std::string code;
  std::string message;  // a sentence a person understands
  int64_t offset = -1;  // byte offset in the drawing it applies to, -1 none
};

// What a converted drawing held: entities written to the ENTITIES section
// per DXF kind ("LINE", "CIRCLE", "ARC", "ELLIPSE", "POLYLINE" (ellipses of
// R12), "POINT", "SOLID", "TEXT", "INSERT", "VIEWPORT") and the block
// definitions made from the drawing ("BLOCK", the point marker included).
// Kinds with none are absent.  Inspect uses the same type for the drawing's
// own entities per kind: "line", "arc" (circles and ellipses too), "point",
// "text", "dimension", "solid", "block" (inserts) and, for JWC, "virtual
// point".
using Counts = std::map<std::string, int64_t>;

struct Result {
  bool ok = false;
  std::optional<Reason> reason;  // set when !ok
  Format format = Format::Jww;
  int32_t version = 0;           // the drawing's file version
  Counts counts;
  std::vector<std::string> warnings;  // what was left out or mended
  double seconds = 0;
};

// Converts the drawing at src to the DXF file dst.  The format comes from
// src's extension.  dst is written atomically: on failure no file is left.
// An existing dst is replaced only when overwrite is true; a dst that is the
// drawing itself or has a drawing extension is never written.
Result ConvertFile(const std::string& src, const std::string& dst, const Options& options,
                   bool overwrite = false);

// Converts a drawing held in memory; on success dxf holds the DXF file
// (bytes carry no file dates: the header's dates are the zero date), on
// failure it is empty.  The drawing is read from memory, never written to
// a file.
Result ConvertBytes(std::span<const uint8_t> data, Format format, const Options& options,
                    std::string& dxf);

// ConvertFile in two steps, for a caller that puts files on disk on a
// thread of its own, so that its converting threads never wait for the
// disk.  ConvertFileToMemory checks both paths as ConvertFile does and
// leaves in dxf the bytes ConvertFile would write (the drawing file's dates
// included); PutDxfFile then writes them to dst, synced and put in place
// only when complete.  An existing file is replaced only with overwrite (one
// that appeared since the check included), never a drawing.
Result ConvertFileToMemory(const std::string& src, const std::string& dst, const Options& options,
                           bool overwrite, std::string& dxf);
std::optional<Reason> PutDxfFile(const std::string& dst, std::string_view dxf, bool overwrite);

// PutDxfFile for several files at once, with the disk waited for once for
// all of them rather than once each: the reason (or none) of each file, in
// their order.
struct DxfFile {
  std::string path;
  std::string_view dxf;
  bool overwrite = false;
};
std::vector<std::optional<Reason>> PutDxfFiles(std::span<const DxfFile> files);

// ---- Preview ----------------------------------------------------------------
//
// A picture of what the conversion with the same options writes, as an SVG
// document: model space, or the paper layout when options.space says so
// (the sheet at its size in millimetres, each viewport showing its window of
// model space).  A preview refuses what the conversion refuses, with the
// same reasons; counts are those of the DXF file the conversion would write.
// A PNG can be made of it with `rsvg-convert` (Debian librsvg2-bin).

// The picture of the drawing file src, into svg (empty on failure).
Result PreviewSvg(const std::string& src, const Options& options, std::string& svg);
// The picture of a drawing held in memory.
Result PreviewSvg(std::span<const uint8_t> data, Format format, const Options& options,
                  std::string& svg);
// The picture of src into the file dst, with ConvertFile's checks of dst and
// written atomically as ConvertFile writes: complete or not at all.
Result PreviewSvgFile(const std::string& src, const std::string& dst, const Options& options,
                      bool overwrite = false);

struct GroupInfo {
  int group = 0;
  std::string name;  // UTF-8
  double scale = 1;
};
struct LayerInfo {
  int group = 0;
  int layer = 0;
  std::string name;  // UTF-8
  int64_t entities = 0;
};
struct BlockInfo {
  std::string name;  // UTF-8
  uint32_t number = 0;
  int64_t entities = 0;
  int64_t inserts = 0;  // how often the drawing's own list places it
};
struct Extents {
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

struct Info {
  bool ok = false;
  std::optional<Reason> reason;
  Format format = Format::Jww;
  int32_t version = 0;
  std::string jwCadVersion;        // the Jw_cad release the file version implies,
                                   // "unknown" for a version no release wrote
                                   // as far as known; JWC/JWK: version 0
  std::string paper;               // "A3", ... (symbols: "extent")
  double paperWidth = 0, paperHeight = 0;  // mm
  std::vector<GroupInfo> groups;   // layer groups in use
  Counts counts;                   // entities of the drawing's own list per kind
  std::vector<LayerInfo> layers;   // layers in use by the drawing's own list
  std::vector<BlockInfo> blocks;
  std::vector<std::string> images;  // bound image names
  Extents extents;                 // in the drawing's own coordinates
  std::vector<std::string> warnings;  // what a conversion will leave out or mend
};

// Reads the drawing at path (format by extension) without converting it
// and without writing any file.
Info Inspect(const std::string& path);
Info InspectBytes(std::span<const uint8_t> data, Format format);

// ".jww" .. ".jwk" (any case) to its format; nothing for other paths.
std::optional<Format> FormatOfPath(std::string_view path);
std::string_view FormatName(Format f);  // "jww", "jws", "jwc", "jwk"
std::optional<Format> FormatFromName(std::string_view name);
std::string_view DxfVersionName(DxfVersion v);  // "r12", "r2000", "r2007"

}  // namespace tessa::api
