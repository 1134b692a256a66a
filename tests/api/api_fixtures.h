// Small drawings of the four formats that the API tests convert and look
// at, built as bytes by the fixture writers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "JwcFixtureWriter.h"
#include "JwwFixtureWriter.h"
#include "api/tessa_api.h"

namespace tessa::apitest {

struct TDrawing {
  std::string name;  // file name, extension included
  api::Format format;
  std::vector<uint8_t> bytes;
};

// A JWW drawing with one of every entity kind, two layer groups of
// different scales, a block placed twice, a Jw_cad setting text and its
// strings in the UTF-16 form.
inline TDrawing JwwMixed() {
  using namespace tessa::test;
  TJwwData d = MakeJwwDrawing(700);
  d.EntLgrp[1].adScale = 50;
  d.EntLgrp[1].aStrGLayName = u"平面";
  d.EntLay[1 * 16 + 2].aStrLayName = u"壁";
  d.EntLay[0].aStrLayName = u"基準";
  AddLine(d, Line(0, 0, 100, 0));
  AddLine(d, Line(0, 0, 0, 50, Attr(1, 2, 3)));
  AddEnko(d, Arc(10, 10, 5, 0, 1.5));
  AddEnko(d, Circle(-20, 30, 8, Attr(1, 2)));
  TEntJwwEnko ell = Arc(40, -30, 12, 0.2, 2.0);
  ell.dHenpeiRitsu = 0.5;
  ell.radKatamukiKaku = 0.3;
  AddEnko(d, ell);
  AddTen(d, Point(5, 5));
  AddMoji(d, Text(-50, -50, u"平面図 A", 4));
  TEntJwwMoji setting = Text(0, -1000, u"Printer_Orientation = 0", 2);
  setting.end_x = 0;
  setting.end_y = -1000;
  AddMoji(d, setting);
  AddSunpo(d, Dimension(0, 60, -20, u"60"));
  AddSolid(d, Solid(70, 70, 90, 70, 90, 90, 70, 90));
  TEntJwwBlockDef& def = AddBlockDef(d, 7, u"窓");
  AddLine(def, Line(0, 0, 10, 10));
  AddEnko(def, Circle(5, 5, 2));
  AddBlock(d, Insert(7, 100, 100));
  AddBlock(d, Insert(7, 150, 100, 0.5, 2, 2, Attr(1, 2)));
  TJwwWriteOptions o;
  o.unicodeStrings = true;
  return {"mixed.jww", api::Format::Jww, WriteJww(d, o)};
}

inline TDrawing JwsSymbol() {
  using namespace tessa::test;
  TJwsData s = MakeJwsSymbol(600);
  AddLine(s, Line(0, 0, 30, 0));
  AddEnko(s, Circle(15, 10, 5));
  AddMoji(s, Text(0, 20, u"記号", 3));
  AddTen(s, Point(1, 1));
  return {"symbol.jws", api::Format::Jws, WriteJws(s)};
}

inline TDrawing JwcDrawing() {
  fixture::JwcFixture f;
  f.psize = 2;
  f.groupScale[1] = 20;
  f.groupName[1] = fixture::Sjis(u"配置");
  f.layName[16 + 3] = fixture::Sjis(u"道路");
  f.lines.push_back({10, 20, 300, 20});
  f.lines.push_back({10, 20, 10, 200, 1, 2, 16 + 3});
  f.arcs.push_back(fixture::JwcArcRec::Deg(100, 100, 40, 1, 0, 90));
  f.arcs.push_back(fixture::JwcArcRec::Deg(150, 100, 40, 0.5, 0, 0, 30));
  f.texts.push_back({50, 50, 90, 50, fixture::Sjis(u"配置図"), 3, 16 + 3});
  f.points.push_back({60, 60, 0, 2});
  return {"site.jwc", api::Format::Jwc, f.Build()};
}

inline TDrawing JwkSymbol() {
  fixture::JwkFixture f;
  f.scale = "50";
  f.lines.push_back({0, 0, 500, 0});
  f.arcs.push_back(fixture::JwcArcRec::Deg(250, 250, 100, 1, 0, 180));
  f.texts.push_back({0, 300, 200, 300, fixture::Sjis(u"部品"), 2, 0});
  f.points.push_back({100, 100, 0, 1});
  return {"part.jwk", api::Format::Jwk, f.Build()};
}

inline std::vector<TDrawing> AllFixtures() {
  return {JwwMixed(), JwsSymbol(), JwcDrawing(), JwkSymbol()};
}

}  // namespace tessa::apitest
