// Reader of JWS symbols: signature and short header; the entity lists and
// block definitions are read by the shared base exactly as in a JWW drawing.
#include "drawing/JwsUnit.h"

#include <cstdio>
#include <exception>

#include "drawing/ByteReader.h"
#include "drawing/JwArchive.h"
#include "util/Func_2.h"

namespace tessa {

namespace {

constexpr int32_t kMinVer = 230;
constexpr int32_t kMaxVer = 700;
constexpr size_t kIdBytes = 7;
constexpr size_t kVersionOffset = 200;
const char16_t kJwsId[] = u"JwsData";

bool VersionOk(int32_t v) { return v >= kMinVer && v <= kMaxVer; }

}  // namespace

TJwsData::TJwsData() { DataInit(); }
TJwsData::~TJwsData() { DataFree(); }

void TJwsData::DataInit() {
  EntInit();
  Enthd = TEntJwsHeader{};
}

void TJwsData::DataFree() {
  for (TEntJwwBlockDef& d : EntBlockDef) d = TEntJwwBlockDef{};
  DataInit();
}

bool TJwsData::FileCheck(const std::string& FName) {
  FILE* f = std::fopen(FName.c_str(), "rb");
  if (!f) return false;
  uint8_t head[kVersionOffset + 4];
  size_t k = std::fread(head, 1, sizeof head, f);
  std::fclose(f);
  if (k != sizeof head) return false;
  TByteReader r(head, sizeof head);
  if (BytesToStr(r.Bytes(kIdBytes)) != kJwsId) return false;
  r.Seek(kVersionOffset);
  return VersionOk(r.I32());
}

bool TJwsData::FileIn(const std::string& FName) {
  DataInit();
  std::vector<uint8_t> data;
  if (!ReadWholeFile(FName, data)) return false;
  return FileInMem(data.data(), data.size());
}

bool TJwsData::FileInMem(const uint8_t* data, size_t size) {
  DataInit();
  TByteReader in(data, size);
  TJwArchive ar(in);
  if (!ReadHeader(ar)) return false;
  bool ok = true;
  try {
    // A symbol file ends after its block definitions, whatever follows.
    ReadEntityList(ar, Enthd.jwVer, Enthd.n1);
    ReadBlockDefs(ar, Enthd.jwVer, Enthd.n2);
  } catch (const std::exception&) {
    ok = false;
  }
  MakeBlockTree();
  return ok;
}

bool TJwsData::ReadHeader(TJwArchive& ar) {
  EntLgrp.assign(16, TEntJwwLayerGroup{});
  try {
    TByteReader& in = ar.In();
    TEntJwsHeader& h = Enthd;
    h.jwID = BytesToStr(in.Bytes(kIdBytes));
    if (h.jwID != kJwsId) throw TReadError("JWS-Header Error");
    in.Seek(kVersionOffset);
    h.jwVer = in.I32();
    if (!VersionOk(h.jwVer)) throw TReadError("JWS-Version Error");
    h.BasePoint_x = in.F64();
    h.BasePoint_y = in.F64();
    for (TEntJwwLayerGroup& g : EntLgrp) {
      g.adScale = in.F64();
      g.anGLay = 2;
      g.anWriteLay = 0;
      g.anGLayProtect = 0;
      g.aStrGLayName.clear();
    }
    for (int32_t* v : {&h.dmy01, &h.dmy02, &h.dmy03, &h.dmy04, &h.dmy05, &h.dmy06})
      *v = in.I32();
    for (double* v : {&h.dmy11, &h.dmy12, &h.dmy13, &h.dmy14, &h.dmy15, &h.dmy16})
      *v = in.F64();
    h.Mx1 = in.F64();
    h.My1 = in.F64();
    h.Mx2 = in.F64();
    h.My2 = in.F64();
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

}  // namespace tessa
