// Writes small, valid drawings of every format into a folder, as seeds for
// the fuzz targets: make_seeds <folder>.  Files are named after the target
// that takes them (jww-*, jws-*, jwc-*, jwk-*, pipeline-*).  Pipeline seeds
// start with the three option bytes fuzz_pipeline reads.
#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FuzzApiInput.h"
#include "JwcFixtureWriter.h"
#include "JwwFixtureWriter.h"

using namespace tessa;
using namespace tessa::test;
using tessa::fixture::JwcArcRec;
using tessa::fixture::JwcFixture;
using tessa::fixture::JwkFixture;
using tessa::fixture::Sjis;

namespace {

std::string g_dir;

void Put(const std::string& name, const std::vector<uint8_t>& b) {
  std::string path = g_dir + "/" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(b.data(), 1, b.size(), f);
  std::fclose(f);
}

// Pipeline seed: format index (0 jww, 1 jws, 2 jwc, 3 jwk) and two option
// bytes in front of the drawing.
void PutPipeline(const std::string& name, uint8_t format, uint8_t b1, uint8_t b2,
                 const std::vector<uint8_t>& b) {
  std::vector<uint8_t> v{format, b1, b2};
  v.insert(v.end(), b.begin(), b.end());
  Put("pipeline-" + name, v);
}

// Api seeds: the drawing under option sets far apart (version, space,
// layer naming, scale group and point markers all differ).
void PutApi(const std::string& name, api::Format format, const std::vector<uint8_t>& b) {
  struct TSet {
    api::DxfVersion dxf;
    api::Space space;
    api::PenColours pens;
    api::LayerNames names;
    int group;
    api::Points points;
    int size;  // index into kPointSizes
  };
  static const TSet kSets[] = {
      {api::DxfVersion::R12, api::Space::Model, api::PenColours::Screen,
       api::LayerNames::Number, 0, api::Points::Point, 0},
      {api::DxfVersion::R2000, api::Space::Paper, api::PenColours::Printer,
       api::LayerNames::GroupLayer, 1, api::Points::Diamond, 1},
      {api::DxfVersion::R2007, api::Space::Model, api::PenColours::Screen,
       api::LayerNames::Layer, 15, api::Points::Circle, 3},
  };
  for (size_t i = 0; i < std::size(kSets); ++i) {
    const TSet& t = kSets[i];
    api::Options o;
    o.dxf = t.dxf;
    o.space = t.space;
    o.penColours = t.pens;
    o.layerNames = t.names;
    o.scaleGroup = t.group;
    o.points = t.points;
    uint8_t prefix[fuzz::kApiPrefix];
    // The last set also checks the separate entries.
    fuzz::ApiPrefixOf(format, o, t.size, i + 1 == std::size(kSets), prefix);
    std::vector<uint8_t> v(prefix, prefix + fuzz::kApiPrefix);
    v.insert(v.end(), b.begin(), b.end());
    Put("api-" + name + "-" + std::to_string(i), v);
  }
}

std::string Gzip(const std::string& plain) {
  z_stream zs{};
  deflateInit2(&zs, 9, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&zs, plain.size()) + 32, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
  zs.avail_in = static_cast<uInt>(plain.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

template <class T>
void FillEntities(T& d) {
  TEntJwwAttr a = Attr(1, 2, 3, 4);
  AddLine(d, Line(0, 0, 100, 50, a));
  AddEnko(d, Arc(10, 10, 5, 0.1, 1.2, a));
  AddEnko(d, Circle(-20, 5, 3));
  AddTen(d, Point(2, 2, Attr(0, 0, 1, 100)));
  AddTen(d, Point(3, 3, a));
  AddMoji(d, Text(0, 0, u"文字 ABC", 3, a));
  AddSunpo(d, Dimension(0, 10, -5, u"10", a));
  AddSolid(d, Solid(0, 0, 1, 0, 1, 1, 0, 1, Attr(0, 0, 10, 1)));
  AddBlock(d, Insert(1, 5, 5, 0.5, 2, 2, a));
  AddBlock(d, Insert(2, 50, 5));
  TEntJwwBlockDef& one = AddBlockDef(d, 1, u"一");
  AddLine(one, Line(0, 0, 1, 1));
  AddBlock(one, Insert(2, 1, 1));
  TEntJwwBlockDef& two = AddBlockDef(d, 2, u"二");
  two.dtime = 0x80000001u;
  AddMoji(two, Text(0, 0, u"内"));
  AddSolid(two, Solid(0, 0, 2, 0, 2, 2, 0, 2));
}

void JwwSeeds() {
  for (int32_t ver : {230, 300, 350, 420, 600, 700}) {
    TJwwData d = MakeJwwDrawing(ver);
    FillEntities(d);
    TJwwWriteOptions o;
    if (ver == 700) {
      AddBindImage(d, u"a.bmp", 40);
      AddBindImage(d, u"b.jpg.gz", 0);
      o.imageData = {std::string(40, 'B'), Gzip(std::string(300, 'x'))};
      d.BindImage[1].Fsize = static_cast<int32_t>(o.imageData[1].size());
      AddMoji(d, Text(0, 0, u"^@BMb.jpg,10,10,20,20", 3));
    }
    std::vector<uint8_t> b = WriteJww(d, o);
    Put("jww-v" + std::to_string(ver), b);
    PutPipeline("jww-v" + std::to_string(ver), 0, ver == 700 ? 1 : 0x22, 0x13, b);
    PutApi("jww-v" + std::to_string(ver), api::Format::Jww, b);
  }
  TJwwData d = MakeJwwDrawing(700);
  FillEntities(d);
  TJwwWriteOptions o;
  o.unicodeStrings = true;
  o.bigTags = true;
  o.wideCounts = true;
  const std::vector<uint8_t> b = WriteJww(d, o);
  Put("jww-unicode-bigtags", b);
  PutApi("jww-unicode-bigtags", api::Format::Jww, b);
}

void JwsSeeds() {
  for (int32_t ver : {351, 420, 700}) {
    TJwsData d = MakeJwsSymbol(ver);
    FillEntities(d);
    std::vector<uint8_t> b = WriteJws(d);
    Put("jws-v" + std::to_string(ver), b);
    PutPipeline("jws-v" + std::to_string(ver), 1, 2, 0x20, b);
    PutApi("jws-v" + std::to_string(ver), api::Format::Jws, b);
  }
}

JwcFixture SmallJwc(bool floatScales) {
  JwcFixture f;
  f.SetFloatScales(floatScales);
  f.lines.push_back({1, 2, 3, 4, 9, 1, 20, 0, 0, 0});
  f.arcs.push_back(JwcArcRec::Deg(0, 0, 5, 0.5, 350, 10, 30));
  f.texts.push_back({0, 0, 10, 0, Sjis(u"文字"), 3, 0, 32, 0, {}});
  f.texts.push_back({0, 0, 10, 0, "x", 11, 0, 0, 0, {}});
  f.points.push_back({5, 5});
  f.vtenCount = 2;
  f.vx[1] = 7;
  f.vy[1] = 8;
  f.layName[0] = Sjis(u"名前");
  f.groupName[1] = Sjis(u"グループ");
  return f;
}

void JwcSeeds() {
  for (bool fs : {true, false}) {
    std::vector<uint8_t> b = SmallJwc(fs).Build();
    Put(std::string("jwc-") + (fs ? "float" : "word"), b);
    PutPipeline(std::string("jwc-") + (fs ? "float" : "word"), 2, fs ? 1 : 0x26, 0x31, b);
    PutApi(std::string("jwc-") + (fs ? "float" : "word"), api::Format::Jwc, b);
  }
  JwkFixture k;
  k.lines.push_back({1, 2, 3, 4});
  k.arcs.push_back(JwcArcRec::Deg(0, 0, 5, 1, 0, 90));
  k.points.push_back({5, 5});
  k.texts.push_back({0, 0, 10, 0, Sjis(u"記号"), 2, 0, 0, 0, {}});
  k.texts.push_back({0, 0, 10, 0, "tate", 4, 0, 32, 0, {}});
  k.scale = "20";
  std::vector<uint8_t> b = k.Build();
  Put("jwk-small", b);
  PutPipeline("jwk-small", 3, 0x12, 0x40, b);
  PutApi("jwk-small", api::Format::Jwk, b);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds <folder>\n");
    return 2;
  }
  g_dir = argv[1];
  JwwSeeds();
  JwsSeeds();
  JwcSeeds();
  return 0;
}
