// The converter as a library: convert a Jw_cad drawing to DXF, or look at
// one without converting it.  Every call is independent of every other:
// different drawings may be converted on several threads at once.  Nothing
// here prints or throws; a failure comes back as a Reason.  Every front end
// (tessa, the Python module) shows the library's names, words and JSON
// unchanged.
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
// parent's (R12).  A value outside its range (an enum cast from a number)
// is brought into range as the parent's start-up does: a space or a point
// form to its first value, a scale group to 15, the point size to
// 0.001..1000 (not a number: 0.001).
struct Options {
  DxfVersion dxf = DxfVersion::R2000;
  Space space = Space::Model;
  PenColours penColours = PenColours::Screen;
  LayerNames layerNames = LayerNames::Number;
  int scaleGroup = 0;        // layer group 0..15 that gives the drawing scale
  Points points = Points::Point;
  double pointSize = 0.001;  // marker radius, 0.001..1000
};

// Why a drawing could not be read, converted or written, or a request
// could not be served.  The names (ReasonName) are stable.
enum class ReasonCode {
  NotFound,            // "not-found": no drawing file at the path (nothing there,
                       //   a folder, a pipe or a device, or it cannot be read)
  UnknownFormat,       // "unknown-format": the extension names none of the formats
  NotADrawing,         // "not-a-drawing": the file does not start as the format does
  UnsupportedVersion,  // "unsupported-version": a file version no release wrote
  Truncated,           // "truncated": the file ends inside something it announced
  BadCount,            // "bad-count": a count the rest of the file cannot hold
  BadRecord,           // "bad-record": a record or class tag that makes no sense
  BlockNesting,        // "block-nesting": blocks nested deeper, or placing more
                       //   copies of each other, than any drawing needs (a block
                       //   placing itself is left out with a warning instead)
  OutputExists,        // "output-exists": the output exists, overwrite not asked
  OutputIsDrawing,     // "output-is-drawing": the output is the drawing or has a
                       //   drawing's extension
  WriteFailed,         // "write-failed": the DXF file could not be written
  OutOfMemory,         // "out-of-memory"
  Internal,            // "internal"
  BadOption,           // "bad-option": an option value outside its choices
  NoDrawings,          // "no-drawings": a folder without drawings
  OutputClash,         // "output-clash": another drawing of the run has this output
  Interrupted,         // "interrupted": the run was interrupted before this drawing
};

struct Reason {
  ReasonCode code = ReasonCode::Internal;
  // A sentence a person understands.  It never holds a path: the front end
  // that shows it puts the path it is about in front (see Describe).
  std::string message;
  int64_t offset = -1;  // byte offset in the drawing it applies to, -1 none
};

// The one way a reason is made: the message given, or the code's own.
Reason MakeReason(ReasonCode code, std::string message = {}, int64_t offset = -1);
std::string_view ReasonName(ReasonCode code);        // "not-found", ...
std::optional<ReasonCode> ReasonFromName(std::string_view name);
std::string_view DefaultMessage(ReasonCode code);    // "there is no drawing file", ...
// Every code, in the order above.
std::span<const ReasonCode> AllReasonCodes();
// Whether the reason is about the output rather than the drawing.
bool AboutOutput(ReasonCode code);
// The path a reason is about: the output for a reason about the output
// (when one is given), else the drawing.
std::string_view SubjectOf(const Reason& reason, std::string_view drawing,
                           std::string_view output = {});
// The line a front end shows: "PATH: message", PATH the output for a reason
// about the output (when one is given), else the drawing (when one is
// given; a drawing in memory has none).
std::string Describe(const Reason& reason, std::string_view drawing, std::string_view output = {});

// ---- Options by name --------------------------------------------------------
// The names of options and their values, the same in every front end:
// "dxf" r12|r2000|r2007, "space" model|paper, "pen-colours" screen|printer,
// "layer-names" number|layer|group-layer, "scale-group" 0..15, "points"
// point|circle|circles|cross|diamond|filled|quarters, "point-size"
// 0.001..1000.  Names of values are matched in any case.

enum class Option { Dxf, Space, PenColours, LayerNames, ScaleGroup, Points, PointSize };
std::span<const Option> AllOptions();
std::string_view OptionName(Option option);  // "dxf", "pen-colours", ...
std::optional<Option> OptionFromName(std::string_view name);  // "-" or "_" alike
// The names a named option takes ("r12", "r2000", "r2007"); none for the
// numbers (scale-group, point-size).
std::vector<std::string_view> OptionValueNames(Option option);
// Sets one option from its text; a reason (bad-option) naming the valid
// values when the text is none of them: "r14 is not one of r12, r2000,
// r2007".  The front end puts the option's name, as it spells it, in front.
std::optional<Reason> SetOption(Options& options, Option option, std::string_view value);
// The text of an option's value, as SetOption takes it.
std::string OptionValueText(const Options& options, Option option);
std::string_view DxfVersionName(DxfVersion v);  // "r12", "r2000", "r2007"

// The options a parent-style settings file gives (its lines 15 to 21; a
// file that is missing gives the parent's defaults, R12 included).
Options ReadSettingsFile(const std::string& path);

// What a converted drawing held: entities written to the ENTITIES section
// per DXF kind ("LINE", "CIRCLE", "ARC", "ELLIPSE", "POLYLINE" (ellipses of
// R12), "POINT", "SOLID", "TEXT", "INSERT", "VIEWPORT") and the block
// definitions written ("BLOCK", the point marker included), as the writer
// wrote them.  Kinds with none are absent.
using DxfCounts = std::map<std::string, int64_t>;
// The entities of a drawing's own list per drawing kind: "line", "arc"
// (circles and ellipses too), "point", "text", "dimension", "solid",
// "block" (inserts) and, for JWC, "virtual point".
using EntityCounts = std::map<std::string, int64_t>;

struct Result {
  bool ok = false;
  std::optional<Reason> reason;  // set when !ok
  Format format = Format::Jww;
  bool read = false;             // the drawing was read (version holds)
  int32_t version = 0;           // the drawing's file version (JWC, JWK: 0)
  DxfCounts written;             // set when ok
  std::vector<std::string> warnings;  // what was left out or mended
  double seconds = 0;
};

// Converts the drawing at src to the DXF file dst.  The format comes from
// src's extension.  dst is written atomically: on failure no file is left.
// An existing dst is replaced only when overwrite is true; a dst that is the
// drawing itself or has a drawing extension is never written.
Result ConvertFile(const std::string& src, const std::string& dst, const Options& options,
                   bool overwrite = false);

// Converts a drawing held in memory; on success dxf holds the DXF file, on
// failure it is empty.  The drawing is read from memory, never written to
// a file.  Bytes carry no file dates: the header's dates are the zero date,
// or both the file's last change when the caller knows it (fileWrittenMs:
// milliseconds since 1970 on the local clock, as a browser tells of a file).
Result ConvertBytes(std::span<const uint8_t> data, Format format, const Options& options,
                    std::string& dxf, std::optional<int64_t> fileWrittenMs = std::nullopt);

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

// ---- One reading, every product ----------------------------------------------
//
// A front end that shows a drawing's summary, its picture and its DXF file
// reads and converts the drawing once: ConvertBytes with products fills each
// product asked for (a null pointer skips it).  info is what InspectBytes
// tells of the bytes (set also when they cannot be read, with the reason);
// dxf and svg are what ConvertBytes and PreviewSvg give with the same
// options, and stay empty unless the result is ok.
struct Info;
struct Products {
  Info* info = nullptr;
  std::string* dxf = nullptr;
  std::string* svg = nullptr;
};
Result ConvertBytes(std::span<const uint8_t> data, Format format, const Options& options,
                    const Products& products, std::optional<int64_t> fileWrittenMs = std::nullopt);

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
  EntityCounts entities;           // entities of the drawing's own list per kind
  std::vector<LayerInfo> layers;   // layers in use by the drawing's own list
  std::vector<BlockInfo> blocks;
  std::vector<std::string> images;  // bound image names
  Extents extents;                 // in the drawing's own coordinates
  std::vector<std::string> warnings;  // what a conversion will leave out or mend
};

// Why path names no file a drawing can be read from (nothing there, a
// folder, a pipe or a device, or it cannot be read); nothing for a regular
// file, whatever it holds.
std::optional<Reason> CheckDrawingFile(const std::string& path);

// Reads the drawing at path (format by extension) without converting it
// and without writing any file.
Info Inspect(const std::string& path);
Info InspectBytes(std::span<const uint8_t> data, Format format);

// ".jww" .. ".jwk" (any case) to its format; nothing for other paths.
std::optional<Format> FormatOfPath(std::string_view path);
std::string_view FormatName(Format f);  // "jww", "jws", "jwc", "jwk"
// "jww" .. "jwk", any case, with or without a leading dot.
std::optional<Format> FormatFromName(std::string_view name);

// ---- JSON ----------------------------------------------------------------------
// The objects every front end shows, as JSON text (UTF-8; bytes of names
// that are not UTF-8 become U+FFFD), field names in snake_case:
//   reason: {"code", "message", "offset" (null for none)}
//   result: {"ok", "reason" (null when ok), "format", "version" (null when
//            the drawing was not read), "written" {KIND: n}, "warnings", "seconds"}
//   info:   {"reason"} when it failed, else {"format", "version",
//            "jw_cad_version", "paper", "paper_width", "paper_height",
//            "groups" [{group, name, scale}], "entities" {kind: n},
//            "layers" [{group, layer, name, entities}],
//            "blocks" [{name, number, entities, inserts}], "images",
//            "extents" {min_x, min_y, max_x, max_y}, "warnings"}
std::string ReasonJson(const Reason& reason);
std::string ResultJson(const Result& result);
std::string InfoJson(const Info& info);

}  // namespace tessa::api
