// How fuzz_api reads one input: three option bytes, then the drawing.
//
//   byte 0  bits 0-1 format (jww, jws, jwc, jwk); bits 2-3 DXF version
//           (3 is none of them); bit 4 paper space; bit 5 printer pens;
//           bits 6-7 layer naming (3 is none of them)
//   byte 1  bits 0-4 scale group (16 stands for -1, 17-31 are beyond the
//           groups); bits 5-7 point type (7 is none of them)
//   byte 2  bits 0-3 point size from kPointSizes; bits 4-7 all set:
//           check the separate entries (summary, DXF file, picture)
//           against the one reading of them all (a sixteenth of the
//           inputs: they read and convert the drawing three times more)
//
// Values outside the enumerations are in on purpose: a caller of the
// library can pass them, and the conversion must treat them as it does
// the settings file's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>

#include "api/tessa_api.h"

namespace tessa::fuzz {

inline constexpr size_t kApiPrefix = 3;

inline constexpr double kPointSizes[16] = {
    0.001, 1, 0.5, 2.5, 1000, 5000, -3, 0,
    std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(), 1e-300, 0.0015, 999.99, 1e300, 123.456};

struct TApiInput {
  api::Format format = api::Format::Jww;
  api::Options options;
  std::span<const uint8_t> drawing;
  bool separateCalls = false;
};

// data holds at least kApiPrefix bytes.
inline TApiInput ApiInputOf(const uint8_t* data, size_t size) {
  TApiInput in;
  const uint8_t b0 = data[0], b1 = data[1], b2 = data[2];
  in.format = static_cast<api::Format>(b0 & 3);
  api::Options& o = in.options;
  o.dxf = static_cast<api::DxfVersion>((b0 >> 2) & 3);
  o.space = static_cast<api::Space>((b0 >> 4) & 1);
  o.penColours = static_cast<api::PenColours>((b0 >> 5) & 1);
  o.layerNames = static_cast<api::LayerNames>((b0 >> 6) & 3);
  const int group = b1 & 31;
  o.scaleGroup = group == 16 ? -1 : group;
  o.points = static_cast<api::Points>((b1 >> 5) & 7);
  o.pointSize = kPointSizes[b2 & 15];
  in.separateCalls = (b2 >> 4) == 15;
  in.drawing = std::span<const uint8_t>(data + kApiPrefix, size - kApiPrefix);
  return in;
}

// The option bytes that give these choices (point size: index into
// kPointSizes).
inline void ApiPrefixOf(api::Format f, const api::Options& o, int pointSizeIndex,
                        bool separateCalls, uint8_t out[kApiPrefix]) {
  out[0] = static_cast<uint8_t>(static_cast<int>(f) | static_cast<int>(o.dxf) << 2 |
                                static_cast<int>(o.space) << 4 |
                                static_cast<int>(o.penColours) << 5 |
                                static_cast<int>(o.layerNames) << 6);
  const int group = o.scaleGroup == -1 ? 16 : o.scaleGroup & 31;
  out[1] = static_cast<uint8_t>(group | static_cast<int>(o.points) << 5);
  out[2] = static_cast<uint8_t>((pointSizeIndex & 15) | (separateCalls ? 0xF0 : 0));
}

}  // namespace tessa::fuzz
