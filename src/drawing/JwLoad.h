// Loading a drawing into a conversion context, and the table of formats.
//
// The internal entry for every caller that is not the parent protocol:
//
//   TConvContext ctx;                       // options in ctx.Opt
//   auto jw = MakeJwDrawing(fmtJww);        // or JwFormatOfPath(path)->make()
//   if (LoadDrawing(ctx, *jw, path)        // or LoadDrawingMem(ctx, *jw, bytes, n)
//       && BuildDxfModel(ctx, *jw)) {
//     ... ctx.DxfModel holds the filled model ...
//   }
//
// Nothing here touches anything outside ctx and the container.  Images bound
// into a JWW drawing are listed (BindImage) but written to files only when the
// container was told so (BindImageExp and an image folder, as the driver
// does); a container from MakeJwDrawing writes none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "drawing/JwConvContext.h"
#include "drawing/JwDrawing.h"

namespace tessa {

class TJwwData;

// One drawing format: its extension (lower case, with the dot), a fresh
// container, and the format's own load steps that follow the reading
// (images, pen colours, line types, layer table).
struct TJwFormatEntry {
  std::string_view ext;
  TJwFormat format;
  std::unique_ptr<TJwDrawing> (*make)();
  void (*steps)(TConvContext& ctx, TJwDrawing& jw);
};

// The entry of a path by its extension (any case); null for other paths.
const TJwFormatEntry* JwFormatOfPath(const std::string& path);
// The entry of a format; null for fmtNone and unknown values.
const TJwFormatEntry* JwFormatEntry(int format);
// A fresh, empty container of the format (null for none).  A JWW container
// reads the image section for the names but writes no image files.
std::unique_ptr<TJwDrawing> MakeJwDrawing(int format);

// Checks and reads the file at path into jw, then prepares ctx from it: the
// file's name, the attribute tables, the extents and the paper.  False when
// the file is not of jw's format (nothing changes) or the reading ended
// early (ctx keeps what it held).  A successful load starts from a clean
// context (options aside), so nothing of an earlier drawing carries over.
bool LoadDrawing(TConvContext& ctx, TJwDrawing& jw, const std::string& path);
// The same from bytes in memory; ctx.CurFileName becomes name.
bool LoadDrawingMem(TConvContext& ctx, TJwDrawing& jw, const uint8_t* data, size_t size,
                    const std::string& name = {});
// LoadDrawing after a successful FileCheck: the reading and what follows it.
bool LoadCheckedDrawing(TConvContext& ctx, TJwDrawing& jw, const std::string& path);

// A fresh ctx.DxfModel filled from the loaded drawing; false (no model) when
// jw holds no loaded drawing.
bool BuildDxfModel(TConvContext& ctx, const TJwDrawing& jw);

// ---- Attribute steps of the load (pen colours and line types) -------------
void JwwFileColorSet(TConvContext& ctx, const TJwwData& JW);
void JwwFileLtypeSet(TConvContext& ctx, const TJwwData& JW);
// JWS, JWC and JWK drawings carry no pens or line types: the defaults of the
// current background come back.
void JwDefaultColorSet(TConvContext& ctx);
void JwDefaultLtypeSet(TConvContext& ctx);

}  // namespace tessa
