#include "drawing/JwDrawing.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "drawing/ByteReader.h"
#include "drawing/JwPaperSize.h"
#include "platform/Platform.h"

namespace tessa {

namespace {

// Enough of a file's start for every format's check.
constexpr size_t kHeadBytes = 256;

}  // namespace

bool TJwDrawing::FileCheck(const std::string& FName) {
  FILE* f = platform::OpenFile(FName, "rb");
  if (!f) {
    LastError = {"not-found", "the file " + FName + " cannot be opened", -1};
    return false;
  }
  uint8_t head[kHeadBytes];
  const size_t k = std::fread(head, 1, sizeof head, f);
  std::fclose(f);
  return FileCheckMem(head, k);
}

bool TJwDrawing::FileIn(const std::string& FName) {
  DataInit();
  TFileBytes data;
  if (!data.Read(FName)) {
    LastError = {"not-found", "the file " + FName + " cannot be read", -1};
    return false;
  }
  return FileInMem(data.Data(), data.Size());
}

TJwPlacement PlacementOnPaperCode(const TJwExtents& ext, int32_t code) {
  TJwPaper p;
  if (!JwPaperOfCode(code, p)) JwPaperOfCode(0, p);
  TJwPlacement r;
  static_cast<TJwExtents&>(r) = ext;
  r.PaperX = p.x;
  r.PaperY = p.y;
  return r;
}

TJwPlacement PlacementOnExtents(const TJwExtents& ext) {
  TJwPlacement r;
  static_cast<TJwExtents&>(r) = ext;
  r.PaperX = std::abs(ext.ExtMaxX - ext.ExtMinX);
  r.PaperY = std::abs(ext.ExtMaxY - ext.ExtMinY);
  r.Sheet = false;
  return r;
}

}  // namespace tessa
