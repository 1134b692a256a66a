#include "HardeningDrawings.h"

#include "JwcFixtureWriter.h"
#include "JwwFixtureWriter.h"

namespace tessa::hardening {

namespace {

using namespace tessa::test;
using tessa::fixture::JwcArcRec;
using tessa::fixture::JwcFixture;
using tessa::fixture::JwkFixture;
using tessa::fixture::Sjis;

template <class T>
void FillJw(T& d, int lines) {
  for (int i = 0; i < lines; ++i) {
    AddLine(d, Line(i * 0.5, 0, i * 0.5, 100, Attr(static_cast<uint16_t>(i % 16), 3, 2, 1)));
    AddMoji(d, Text(i * 0.5, -5, u"文字" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)),
                    2.5));
  }
  AddEnko(d, Circle(10, 10, 5));
  TEntJwwBlockDef& def = AddBlockDef(d, 1, u"部品");
  AddLine(def, Line(0, 0, 10, 10));
  AddSolid(def, Solid(0, 0, 1, 0, 1, 1, 0, 1));
  AddBlock(d, Insert(1, 20, 20));
  AddBlock(d, Insert(1, 40, 20, 0.5, 2, 2));
}

TJwArchiveWriter HeaderOnly(TJwwData& d) {
  TJwArchiveWriter w;
  WriteJwwHeader(w, d);
  return w;
}

}  // namespace

TBytes JwwDrawing(int lines) { return JwwWithImages(lines, {}); }

TBytes JwwWithImages(int lines, const std::vector<std::pair<std::u16string, std::string>>& images) {
  TJwwData d = MakeJwwDrawing(700);
  FillJw(d, lines);
  TJwwWriteOptions o;
  for (const auto& [name, content] : images) {
    AddBindImage(d, name, static_cast<int32_t>(content.size()));
    o.imageData.push_back(content);
    AddMoji(d, Text(0, 0, u"^@BM" + name + u",0,0,50,40", 2.5));
  }
  return WriteJww(d, o);
}

TBytes JwsSymbol(int lines) {
  TJwsData d = MakeJwsSymbol(600);
  FillJw(d, lines);
  return WriteJws(d);
}

TBytes JwcDrawing(int lines) {
  JwcFixture f;
  for (int i = 0; i < lines; ++i) {
    f.lines.push_back({static_cast<float>(i), 0, static_cast<float>(i), 50, 1, 1, 0, 0, 0, 0});
    f.texts.push_back({static_cast<float>(i), 0, static_cast<float>(i) + 10, 0, Sjis(u"文字"), 3,
                       0, 0, 0, {}});
  }
  f.arcs.push_back(JwcArcRec::Deg(0, 0, 5, 0.5, 350, 10, 30));
  f.points.push_back({5, 5});
  return f.Build();
}

TBytes JwkSymbol(int lines) {
  JwkFixture f;
  for (int i = 0; i < lines; ++i)
    f.lines.push_back({static_cast<float>(i), 0, static_cast<float>(i), 50});
  f.arcs.push_back(JwcArcRec::Deg(0, 0, 5, 1, 0, 90));
  f.texts.push_back({0, 0, 10, 0, Sjis(u"記号"), 2, 0, 0, 0, {}});
  return f.Build();
}

TBytes JwwClaimingEntities(uint32_t count) {
  TJwwData d = MakeJwwDrawing(700);
  AddLine(d, Line(0, 0, 1, 1));
  AddLine(d, Line(1, 1, 2, 0));
  TJwArchiveWriter w = HeaderOnly(d);
  w.Count(count);
  for (int i = 0; i < 2; ++i) WriteEntity(w, 700, d, jwEntLine, i);
  return w.bytes;
}

TBytes JwwClaimingBlockDefs(uint32_t count) {
  TJwwData d = MakeJwwDrawing(700);
  AddLine(d, Line(0, 0, 1, 1));
  TJwArchiveWriter w = HeaderOnly(d);
  WriteEntityList(w, 700, d);
  w.Count(count);
  w.ClassTag("CDataList");
  WriteAttr(w, 700, Attr());
  w.U32(1);
  w.U32(0);
  w.U32(0);
  w.Str(u"A");
  w.ObjectDone();
  w.Count(count);  // and its entity count
  return w.bytes;
}

TBytes JwwClaimingImages(uint32_t count) {
  TJwwData d = MakeJwwDrawing(700);
  AddLine(d, Line(0, 0, 1, 1));
  TJwArchiveWriter w = HeaderOnly(d);
  WriteEntityList(w, 700, d);
  WriteBlockDefs(w, 700, d);
  w.U32(count);
  w.Str(u"a.bmp");
  w.I32(4);
  w.Raw("BMxx");
  return w.bytes;
}

TBytes JwwClaimingImageSize(int32_t size) {
  TJwwData d = MakeJwwDrawing(700);
  AddLine(d, Line(0, 0, 1, 1));
  TJwArchiveWriter w = HeaderOnly(d);
  WriteEntityList(w, 700, d);
  WriteBlockDefs(w, 700, d);
  w.U32(1);
  w.Str(u"big.bmp");
  w.I32(size);
  w.Raw("BMxx");
  return w.bytes;
}

TBytes JwsClaimingEntities(uint32_t count) {
  TJwsData d = MakeJwsSymbol(600);
  AddLine(d, Line(0, 0, 1, 1));
  TJwArchiveWriter w;
  WriteJwsHeader(w, d);
  w.Count(count);
  WriteEntity(w, 600, d, jwEntLine, 0);
  return w.bytes;
}

TBytes JwcClaiming(int field, const std::string& count) {
  JwcFixture f;
  f.lines.push_back({1, 2, 3, 4, 1, 1, 0, 0, 0, 0});
  f.b2[field] = count;
  return f.Build();
}

TBytes JwkClaiming(int field, const std::string& count) {
  JwkFixture f;
  f.lines.push_back({1, 2, 3, 4});
  f.b2[field] = count;
  return f.Build();
}

TBytes JwwNestedChain(uint32_t depth) {
  TJwwData d = MakeJwwDrawing(700);
  for (uint32_t i = 1; i <= depth; ++i) {
    TEntJwwBlockDef& def = AddBlockDef(d, i, u"B" + std::u16string(1, u'0' + i % 10));
    AddLine(def, Line(0, 0, 1, 0));
    if (i < depth) AddBlock(def, Insert(i + 1, 1, 0));
  }
  AddBlock(d, Insert(1, 0, 0));
  return WriteJww(d);
}

TBytes JwwDoublingChain(uint32_t depth) {
  TJwwData d = MakeJwwDrawing(700);
  for (uint32_t i = 1; i <= depth; ++i) {
    TEntJwwBlockDef& def = AddBlockDef(d, i, u"D");
    AddLine(def, Line(0, 0, 1, 0));
    if (i < depth) {
      AddBlock(def, Insert(i + 1, 0, 0));
      AddBlock(def, Insert(i + 1, 0, 1));
    }
  }
  AddBlock(d, Insert(1, 0, 0));
  return WriteJww(d);
}

}  // namespace tessa::hardening
