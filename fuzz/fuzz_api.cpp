// The whole conversion in memory, through the library API: three leading
// bytes choose the format and every option, the rest is the drawing.  One
// reading gives the summary, the DXF file and the picture; no file is
// opened.  What comes back must hold together: a failure carries a code a
// caller can act on and an offset inside the drawing (or none), summary and
// conversion agree on whether and why the drawing could not be read, a
// success is a well-formed DXF file whose entities and blocks are those the
// result counts, and a whole SVG picture.  For a sixteenth of the inputs
// (four bits of the options) the separate entries must tell the same.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>

#include "DxfShape.h"
#include "FuzzApiInput.h"
#include "FuzzSupport.h"
#include "api/tessa_api.h"

using namespace tessa;

namespace {

// What reading a drawing from memory may fail with; anything else (a file
// reason, "out-of-memory", "internal") is a fault of the converter.
bool KnownReadCode(api::ReasonCode code) {
  using C = api::ReasonCode;
  for (C known : {C::NotADrawing, C::UnsupportedVersion, C::Truncated, C::BadCount, C::BadRecord,
                  C::BlockNesting})
    if (code == known) return true;
  return false;
}

void CheckReason(const std::optional<api::Reason>& r, size_t size) {
  FUZZ_CHECK(r.has_value());
  FUZZ_CHECK(KnownReadCode(r->code));
  FUZZ_CHECK(!r->message.empty());
  // The end of the file is where a truncated file failed.
  FUZZ_CHECK(r->offset == -1 || (r->offset >= 0 && static_cast<uint64_t>(r->offset) <= size));
}

template <class Counts>
void CheckCounts(const Counts& c) {
  for (const auto& [kind, n] : c) FUZZ_CHECK(!kind.empty() && n > 0);
}

// Prints the lines of the DXF text around the one a fault names ("line N:
// ..."), so that a failing input shows what was written.
void ShowAround(const std::string& dxf, const std::string& fault) {
  const size_t at = fault.rfind("line ", 0) == 0 ? std::strtoul(fault.c_str() + 5, nullptr, 10) : 0;
  size_t line = 1, start = 0;
  while (start < dxf.size()) {
    size_t end = dxf.find('\n', start);
    if (end == std::string::npos) end = dxf.size();
    if (line + 12 >= at && line <= at + 12)
      std::fprintf(stderr, "%6zu|%s\n", line, dxf.substr(start, end - start).c_str());
    start = end + 1;
    ++line;
  }
}

// A well-formed DXF file whose entities and blocks are those the result
// counts, in the version asked for.
void CheckDxfFile(const std::string& dxf, const api::Options& options, const api::Result& r) {
  dxfshape::TDxfShape shape;
  const std::string fault = dxfshape::CheckDxf(dxf, shape);
  if (!fault.empty()) {
    ShowAround(dxf, fault);
    fuzz::Fail(fault.c_str(), __FILE__, __LINE__);
  }
  api::DxfCounts entities = r.written;
  const auto blocks = entities.find("BLOCK");
  FUZZ_CHECK(shape.blocks == (blocks == entities.end() ? 0 : blocks->second));
  if (blocks != entities.end()) entities.erase(blocks);
  FUZZ_CHECK(shape.entities == entities);
  FUZZ_CHECK(shape.version == (options.dxf == api::DxfVersion::R2000   ? "AC1015"
                               : options.dxf == api::DxfVersion::R2007 ? "AC1021"
                                                                       : "AC1009"));
}

// The picture is a whole SVG document.
void CheckPicture(const std::string& svg) {
  FUZZ_CHECK(svg.rfind("<?xml", 0) == 0 || svg.rfind("<svg", 0) == 0);
  const size_t end = svg.rfind("</svg>");
  FUZZ_CHECK(end != std::string::npos && svg.find_first_not_of(" \r\n", end + 6) == std::string::npos);
}

// The separate entries read the drawing again and must tell the same: the
// summary alone, the DXF file alone, the picture alone.
void CheckSeparateCalls(const fuzz::TApiInput& in, const api::Info& info, const api::Result& r,
                        const std::string& dxf, const std::string& svg) {
  const api::Info alone = api::InspectBytes(in.drawing, in.format);
  FUZZ_CHECK(api::InfoJson(alone) == api::InfoJson(info));
  std::string text;
  const api::Result converted = api::ConvertBytes(in.drawing, in.format, in.options, text);
  FUZZ_CHECK(converted.ok == r.ok && text == dxf && converted.written == r.written);
  if (!r.ok) FUZZ_CHECK(converted.reason->code == r.reason->code);
  const api::Result drawn = api::PreviewSvg(in.drawing, in.format, in.options, text);
  FUZZ_CHECK(drawn.ok == r.ok && text == svg);
  if (!r.ok) FUZZ_CHECK(drawn.reason->code == r.reason->code);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < fuzz::kApiPrefix) return 0;
  const fuzz::TApiInput in = fuzz::ApiInputOf(data, size);

  // One reading gives the summary, the DXF file and the picture.
  api::Info info;
  std::string dxf, svg;
  api::Products products;
  products.info = &info;
  products.dxf = &dxf;
  products.svg = &svg;
  const api::Result r = api::ConvertBytes(in.drawing, in.format, in.options, products);
  FUZZ_CHECK(r.format == in.format && info.format == in.format);
  // The summary reads the drawing as the conversion does.
  FUZZ_CHECK(r.read == info.ok);
  if (info.ok) {
    FUZZ_CHECK(!info.reason);
    CheckCounts(info.entities);
  } else {
    CheckReason(info.reason, in.drawing.size());
  }
  if (!r.ok) {
    CheckReason(r.reason, in.drawing.size());
    FUZZ_CHECK(r.reason->code == info.reason->code && r.reason->offset == info.reason->offset);
    FUZZ_CHECK(dxf.empty() && svg.empty() && r.written.empty());
  } else {
    FUZZ_CHECK(!r.reason);
    FUZZ_CHECK(r.version == info.version);
    CheckCounts(r.written);
    CheckDxfFile(dxf, in.options, r);
    CheckPicture(svg);
  }
  if (in.separateCalls) CheckSeparateCalls(in, info, r, dxf, svg);
  return 0;
}
