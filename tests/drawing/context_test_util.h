// Whole conversions the way a library caller makes them: a fresh (or a
// given) conversion context, a container from the format table, the load
// from a file or from bytes, and the DXF text that comes out.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "JwcFixtureWriter.h"
#include "JwwFixtureWriter.h"
#include "drawing/JwConvContext.h"
#include "drawing/JwLoad.h"
#include "temp_folder.h"

namespace tessa::test {

// A folder of its own for one test, removed with its content.  On tmpfs
// the writer's sync of every file costs nothing, so it is preferred.
class TScratch {
 public:
  TScratch() : folder_("tessa_context_", SharedMemoryRoot()) {
    if (!folder_.Path().empty()) path_ = folder_.Dir();
  }
  const std::string& Dir() const { return path_; }

 private:
  static std::string SharedMemoryRoot() {
    std::error_code ec;
    return std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : "";
  }
  testing_support::TTempFolder folder_;
  std::string path_;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(testing_support::FsPath(path), std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Loads path (from the file, or from its bytes under the same name, which
// gives the same header dates) into ctx and writes the DXF to out; the
// text of the file, empty when nothing was written.
inline std::string ConvertWith(TConvContext& ctx, const std::string& path, const std::string& out,
                               bool fromBytes = false) {
  const TJwFormatEntry* f = JwFormatOfPath(path);
  if (!f) return {};
  std::unique_ptr<TJwDrawing> jw = f->make();
  bool loaded;
  if (fromBytes) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    loaded = LoadDrawingMem(ctx, *jw, bytes.data(), bytes.size(), path);
  } else {
    loaded = LoadDrawing(ctx, *jw, path);
  }
  if (!loaded || !jw->FileOutDXF(ctx, out)) return {};
  std::ifstream in(out, std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), {});
  in.close();
  std::remove(out.c_str());
  return text;
}

// The same in a context of its own.
inline std::string Convert(const TConvOptions& opt, const std::string& path,
                           const std::string& out, bool fromBytes = false) {
  TConvContext ctx;
  ctx.Opt = opt;
  return ConvertWith(ctx, path, out, fromBytes);
}

// "" when two DXF texts are equal, else where they first differ (a whole
// file in a failure message helps nobody).
inline std::string FirstDifference(const std::string& a, const std::string& b) {
  if (a == b) return {};
  size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  const auto end = a.begin() + static_cast<std::ptrdiff_t>(i);
  const size_t line = static_cast<size_t>(std::count(a.begin(), end, '\n')) + 1;
  const size_t from = i < 40 ? 0 : i - 40;
  return "line " + std::to_string(line) + ": \"" + a.substr(from, 80) + "\" vs \"" +
         b.substr(from, 80) + "\" (sizes " + std::to_string(a.size()) + ", " +
         std::to_string(b.size()) + ")";
}

// ---- Fixture drawings: one of each format, with most kinds of entity ----

// A JWW drawing on A3: lines in two groups of different scale, an arc, a
// text, a point, a solid, a dimension and a placed block.  dark: the screen
// background is black, which turns the pen table to its dark defaults.
inline TJwwData FixtureJww(bool dark) {
  TJwwData d = MakeJwwDrawing(700);
  d.Enthd.nZumen = 3;
  d.EntLgrp[1].adScale = 50;
  d.EntCol[0].aPenColor = dark ? 0x000000 : 0xFFFFFF;
  AddLine(d, Line(-100, -50, 120, 80));
  AddLine(d, Line(0, 0, 40, 10, Attr(1, 2, 3, 2)));
  AddEnko(d, Arc(10, 20, 15, 0.3, 2.0));
  AddMoji(d, Text(-30, 40, u"図面 A^B"));
  AddTen(d, Point(5, 5));
  AddSolid(d, Solid(0, 0, 10, 0, 10, 10, 0, 10));
  AddSunpo(d, Dimension(0, 60, -20, u"60"));
  TEntJwwBlockDef& def = AddBlockDef(d, 4, u"door");
  AddLine(def, Line(0, 0, 5, 5));
  AddBlock(d, Insert(4, 30, 30, 0.5));
  return d;
}

// A JWS symbol with pen 1 (whose default differs between a light and a
// dark background) and a text.
inline TJwsData FixtureJws() {
  TJwsData s = MakeJwsSymbol(700);
  AddLine(s, Line(0, 0, 90, 45, Attr(0, 0, 1)));
  AddMoji(s, Text(10, 10, u"記号"));
  return s;
}

inline fixture::JwcFixture FixtureJwc() {
  fixture::JwcFixture f;
  f.lines.push_back({10, 20, 300, 5});
  f.lines.push_back({0, 0, 50, 50, 2, 3, 17});
  f.arcs.push_back(fixture::JwcArcRec::Deg(100, 100, 30, 0.5, 10, 200, 15));
  f.texts.push_back({0, 0, 40, 0, fixture::Sjis(u"平面"), 2, 0, 0, 0, {}});
  f.points.push_back({5, 5});
  f.vtenCount = 1;
  f.vx[1] = 7;
  f.vy[1] = 8;
  return f;
}

inline fixture::JwkFixture FixtureJwk() {
  fixture::JwkFixture k;
  k.scale = "20";
  k.lines.push_back({1, 2, 300, 400});
  k.arcs.push_back(fixture::JwcArcRec::Deg(0, 0, 50, 1, 0, 90));
  k.points.push_back({5, 5});
  k.texts.push_back({0, 0, 10, 0, "AB", 2, 0, 0, 0, {}});
  return k;
}

}  // namespace tessa::test
