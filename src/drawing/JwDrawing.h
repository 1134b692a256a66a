// The one shape of every drawing container (JWW, JWS, JWC, JWK): a cheap
// check of a file's first bytes, reading from a file or from bytes in
// memory, the extents and the paper of what was read, and the conversion
// into a DXF model.  The readers keep no state outside the container; the
// conversion works only on the context it is handed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "drawing/ByteReader.h"
#include "util/UnitVal.h"

namespace tessa {

struct TConvContext;

// Drawing formats, numbered like the driver's load pipelines proc2..proc5.
enum TJwFormat : int {
  fmtNone = 0,
  fmtJww = 2,
  fmtJws = 3,
  fmtJwc = 4,
  fmtJwk = 5,
};

class TJwDrawing {
 public:
  virtual ~TJwDrawing() = default;

  virtual TJwFormat Format() const = 0;
  // The state before any read.
  virtual void DataInit() = 0;
  // Empties the container.
  virtual void DataFree() = 0;

  // True when the bytes start like a drawing of the format; changes nothing
  // but LastError.
  virtual bool FileCheckMem(const uint8_t* data, size_t size) = 0;
  // The same for the first bytes of a file.
  bool FileCheck(const std::string& FName);
  // Reads the whole drawing from bytes in memory; false when the reading
  // ended early (what was read stays).
  virtual bool FileInMem(const uint8_t* data, size_t size) = 0;
  // The same from a file; a file that cannot be read leaves the container
  // as DataInit does.
  bool FileIn(const std::string& FName);

  // Extents of what was read, in the drawing's own coordinates; the start
  // box when nothing counts.
  [[nodiscard]] virtual TJwExtents GetMinMaxZahyo() const = 0;
  // The paper the drawing lies on: from its paper code, or (symbols) the
  // extents themselves.
  virtual TJwPlacement PaperPlacement(const TJwExtents& ext) const = 0;

  // A fresh ctx.DxfModel filled from the loaded drawing with ctx's options,
  // placement and attribute tables.  False, and no model, when the container
  // holds no loaded drawing.  (Defined with the conversion.)
  virtual bool BuildDxfModel(TConvContext& ctx) const = 0;
  // BuildDxfModel, SaveDXF to FName and the model freed again; the result of
  // SaveDXF.  (Defined with the conversion.)
  bool FileOutDXF(TConvContext& ctx, const std::string& FName) const;

  // Why the last FileCheck or FileIn answered false (code, sentence, byte
  // offset); empty after one that succeeded.
  TReadReason LastError;

 protected:
  TJwDrawing() = default;
  TJwDrawing(const TJwDrawing&) = default;
  TJwDrawing& operator=(const TJwDrawing&) = default;
};

// The paper of a paper size code; a code without one gives A0.
TJwPlacement PlacementOnPaperCode(const TJwExtents& ext, int32_t code);
// A symbol's paper: the extent of the drawing itself.
TJwPlacement PlacementOnExtents(const TJwExtents& ext);

}  // namespace tessa
