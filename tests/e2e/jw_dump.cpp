// Test helper: reads a JWW drawing or JWS symbol with the reader alone (no
// conversion) and prints what the end-to-end test needs to know about it as
// one JSON object: layer-group scales, the drawing's own entity list and the
// contents of the block definitions that are in use, each entity with the
// fields that decide what it becomes in a DXF file.
//
//   jw_dump <drawing.jww|drawing.jws>
//
// Exit code 0 with the JSON on stdout, 2 when the file does not load.
#include <cstdio>
#include <string>
#include <vector>

#include "drawing/JwsUnit.h"
#include "drawing/JwwEntityVisit.h"
#include "drawing/JwwUnit.h"
#include "util/Func_2.h"

using namespace tessa;

namespace {

std::string Json(const std::u16string& s) {
  const std::string u = StrToUtf8(s);
  std::string out = "\"";
  for (unsigned char c : u) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Num(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  std::string s = buf;
  if (s == "nan" || s == "-nan" || s == "inf" || s == "-inf") return "null";
  return s;
}

std::string Attr(const TEntJwwAttr& a) {
  return "\"g\":" + std::to_string(a.nGLayer) + ",\"l\":" + std::to_string(a.nLayer) +
         ",\"ps\":" + std::to_string(a.nPenStyle) + ",\"pc\":" + std::to_string(a.nPenColor) +
         ",\"sf\":" + std::to_string(a.sFlg);
}

std::string Record(const TEntJwwLine& e) {
  return "{\"k\":\"line\"," + Attr(e.att) + ",\"p\":[" + Num(e.start_x) + "," + Num(e.start_y) +
         "," + Num(e.end_x) + "," + Num(e.end_y) + "]}";
}
std::string Record(const TEntJwwEnko& e) {
  return "{\"k\":\"arc\"," + Attr(e.att) + ",\"c\":[" + Num(e.start_x) + "," + Num(e.start_y) +
         "],\"r\":" + Num(e.dHankei) + ",\"sa\":" + Num(e.radKaishiKaku) +
         ",\"da\":" + Num(e.radEnkoKaku) + ",\"ka\":" + Num(e.radKatamukiKaku) +
         ",\"he\":" + Num(e.dHenpeiRitsu) + "}";
}
std::string Record(const TEntJwwTen& e) {
  return "{\"k\":\"point\"," + Attr(e.att) + ",\"p\":[" + Num(e.start_x) + "," +
         Num(e.start_y) + "],\"kari\":" + std::to_string(e.bKariten) +
         ",\"code\":" + std::to_string(e.nCode) + "}";
}
std::string Record(const TEntJwwMoji& e) {
  return "{\"k\":\"text\"," + Attr(e.att) + ",\"p\":[" + Num(e.start_x) + "," +
         Num(e.start_y) + "," + Num(e.end_x) + "," + Num(e.end_y) +
         "],\"shu\":" + std::to_string(e.nMojiShu) + ",\"sx\":" + Num(e.dSizeX) +
         ",\"sy\":" + Num(e.dSizeY) + ",\"s\":" + Json(e.str) + "}";
}
std::string Record(const TEntJwwSunpo& e) {
  return "{\"k\":\"dim\",\"sxf\":" + std::to_string(e.bSxfMode) + ",\"sen\":" + Record(e.Sen) +
         ",\"ho1\":" + Record(e.Ho1) + ",\"ho2\":" + Record(e.Ho2) + ",\"te1\":" + Record(e.Te1) +
         ",\"te2\":" + Record(e.Te2) + ",\"moji\":" + Record(e.Moji) + "}";
}
std::string Record(const TEntJwwSolid& e) {
  return "{\"k\":\"solid\"," + Attr(e.att) + ",\"p\":[" + Num(e.start_x) + "," +
         Num(e.start_y) + "," + Num(e.end_x) + "," + Num(e.end_y) + "," + Num(e.DPoint2_x) +
         "," + Num(e.DPoint2_y) + "," + Num(e.DPoint3_x) + "," + Num(e.DPoint3_y) + "]}";
}
std::string Record(const TEntJwwBlock& e) {
  return "{\"k\":\"insert\"," + Attr(e.att) + ",\"no\":" + std::to_string(e.nNumber) +
         ",\"p\":[" + Num(e.DPKijunTen_x) + "," + Num(e.DPKijunTen_y) + "]}";
}

void List(const std::vector<TEntJwwNo>& no, const TJwwLists& lists) {
  std::printf("[");
  bool first = true;
  for (const TEntJwwNo& n : no) {
    std::string s;
    VisitJwwEntity(lists, n.EntType, n.EntNo, [&](const auto& e) { s = Record(e); });
    if (s.empty()) continue;
    std::printf("%s\n%s", first ? "" : ",", s.c_str());
    first = false;
  }
  std::printf("]");
}

void Dump(const TJwwBaseData& d, const char* format, int32_t ver, int32_t paperCode) {
  std::printf("{\"format\":\"%s\",\"version\":%d,\"paper\":%d,\"scales\":[", format, ver, paperCode);
  for (size_t g = 0; g < d.EntLgrp.size(); ++g)
    std::printf("%s%s", g ? "," : "", Num(d.EntLgrp[g].adScale).c_str());
  std::printf("],\n\"entities\":");
  List(d.EntNo, JwwListsOf(d));
  std::printf(",\n\"blocks\":[");
  bool first = true;
  for (int32_t i = 0; i < d.EntBlockDefN && i < static_cast<int32_t>(d.EntBlockDef.size()); ++i) {
    const TEntJwwBlockDef& b = d.EntBlockDef[i];
    std::printf("%s\n{\"no\":%u,\"used\":%s,\"name\":%s,\"content\":", first ? "" : ",",
                b.nNumber, b.ref_flag ? "true" : "false", Json(b.strName).c_str());
    List(b.mNo, JwwListsOf(b));
    std::printf("}");
    first = false;
  }
  std::printf("]}\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: jw_dump <drawing.jww|drawing.jws>\n");
    return 1;
  }
  const std::string path = argv[1];
  const std::string ext = FileExtLower(path);
  if (ext == ".jww") {
    TJwwData d;
    if (!d.FileCheck(path) || !d.FileIn(path)) return 2;
    Dump(d, "jww", d.Enthd.jwVer, d.Enthd.nZumen);
  } else if (ext == ".jws") {
    TJwsData d;
    if (!d.FileCheck(path) || !d.FileIn(path)) return 2;
    Dump(d, "jws", d.Enthd.jwVer, -1);
  } else {
    return 1;
  }
  return 0;
}
