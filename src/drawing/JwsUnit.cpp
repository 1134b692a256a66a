// Reader of JWS symbols: signature and short header; the entity lists and
// block definitions are read by the shared base exactly as in a JWW drawing.
#include "drawing/JwsUnit.h"

#include <exception>

#include "drawing/ByteReader.h"
#include "drawing/JwArchive.h"

namespace tessa {

namespace {

// The version stands 200 bytes in, behind the identifier and blank bytes.
constexpr TJwSignature kJwsSignature{u"JwsData", 7, 200, 230, 700,
                                     "JWS-Header Error", "JWS-Version Error"};

// A foreign signature or version speaks for itself; anything else failed
// inside the header.
TReadReason HeaderReason(const std::exception& e) {
  const TReadReason r = ReasonOf(e, "");
  if (r.code == "not-a-drawing" || r.code == "unsupported-version") return r;
  return ReasonOf(e, "the header");
}

}  // namespace

TJwsData::TJwsData() { DataInit(); }
TJwsData::~TJwsData() { DataFree(); }

void TJwsData::DataInit() {
  EntInit();
  Enthd = TEntJwsHeader{};
}

void TJwsData::DataFree() { DataInit(); }

bool TJwsData::FileCheck(const std::string& FName) {
  LastError = {};
  return kJwsSignature.FoundIn(FName, &LastError);
}

bool TJwsData::FileCheckMem(const uint8_t* data, size_t size) {
  LastError = {};
  return kJwsSignature.FoundInMem(data, size, &LastError);
}

bool TJwsData::FileIn(const std::string& FName) {
  DataInit();
  std::vector<uint8_t> data;
  if (!ReadWholeFile(FName, data)) {
    LastError = {"not-found", "the file " + FName + " cannot be read", -1};
    return false;
  }
  return FileInMem(data.data(), data.size());
}

bool TJwsData::FileInMem(const uint8_t* data, size_t size) {
  DataInit();
  LastError = {};
  TByteReader in(data, size);
  TJwArchive ar(in);
  // A symbol file ends after its block definitions, whatever follows.
  const bool ok = ReadHeader(ar) && ReadBody(ar, Enthd.jwVer, Enthd.n1, Enthd.n2, false);
  EntUnicodeN = static_cast<int32_t>(ar.UnicodeStrings());
  return ok;
}

bool TJwsData::ReadHeader(TJwArchive& ar) {
  EntLgrp.assign(16, TEntJwwLayerGroup{});
  try {
    TByteReader& in = ar.In();
    TEntJwsHeader& h = Enthd;
    kJwsSignature.Read(in, h.jwID, h.jwVer);
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
  } catch (const std::exception& e) {
    LastError = HeaderReason(e);
    return false;
  }
  return true;
}

}  // namespace tessa
