// The SVG preview writer: XML that holds whatever a text holds, every kind
// of the model drawn, blocks written once, the pens of the DXF file, the
// paper layout with its viewports, and no output when the sink fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

#include "dxf/SaveSetup.h"
#include "dxf/SaveUnit.h"
#include "preview/SvgOut.h"
#include "preview/SvgPreview.h"
#include "temp_folder.h"

namespace tessa {
namespace {

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

// A model as a conversion starts it: line types, layers and styles.
std::unique_ptr<TDXFmodel> FreshModel(int32_t space = 0) {
  std::unique_ptr<TDXFmodel> m;
  DXFModelCreate(m);
  m->SetDXFVer(1, space);
  AddDefaultLtypes(*m);
  AddDefaultLayers(*m);
  AddDefaultStyles(*m);
  m->deLgp.assign(16, TDXF_LGroup{0, 1, 0, 0});
  return m;
}

std::string Svg(const TDXFmodel& m) {
  TDXFStringSink sink;
  const TDXFWriteResult r = SavePreviewSvg(m, sink);
  EXPECT_TRUE(r.ok) << r.message;
  return sink.text;
}

TEST(SvgText, EscapesWhatXmlCannotHoldAsIs) {
  const struct {
    std::u16string in;
    std::string out;
  } cases[] = {
      {u"a<b>&\"'", "a&lt;b&gt;&amp;&quot;&apos;"},
      {u"平面図", "平面図"},
      {u"tab\there\nand\rthere", "tab here and there"},
      {std::u16string(u"\x01\x1f") + u"x", "\xEF\xBF\xBD\xEF\xBF\xBDx"},
      {std::u16string(1, char16_t(0xD800)) + u"a", "\xEF\xBF\xBD" "a"},      // lone high half
      {u"a" + std::u16string(1, char16_t(0xDC00)), "a\xEF\xBF\xBD"},         // lone low half
      {std::u16string{char16_t(0xD83D), char16_t(0xDE00)}, "\xF0\x9F\x98\x80"},  // a pair
      {std::u16string{char16_t(0xFFFE), char16_t(0xFFFF)}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) EXPECT_EQ(XmlText(c.in), c.out);
}

TEST(SvgText, NumbersAreShortAndFinite) {
  TDXFStringSink sink;
  {
    TSvgOut out(sink, 3);
    for (double v : {1.5, -0.0001, 2.0, 1e300 * 1e300, -12.3456, 0.1 + 0.2}) out.Num(v) << ' ';
    ASSERT_TRUE(out.Flush());
  }
  EXPECT_EQ(sink.text, "1.5 0 2 0 -12.346 0.3 ");
}

// One of every kind, on a visible and a hidden layer, with a block placed
// twice inside another block.
std::unique_ptr<TDXFmodel> EveryKind() {
  auto m = FreshModel();
  m->AddLayer(u"walls", 1, 1, 40, true, true);
  m->AddLayer(u"hidden", 3, 1, 0, false, true);
  const int32_t walls = m->layn() - 2, hidden = m->layn() - 1;
  m->AddLine(0, walls, 0, 0, 0, 0, 0, 100, 0);
  m->AddLine(0, hidden, 0, 0, 0, 0, 10, 100, 10);
  m->AddArc(0, walls, 5, 3, 0, 50, 50, 10, 1, 0, 0, 0);        // circle, dashed
  m->AddArc(0, walls, 7, 0, 0, 50, 50, 20, 1, 30, 120, 0);     // arc
  m->AddArc(0, walls, 2, 0, 0, 80, 20, 10, 0.5, 0, 0, 30);     // ellipse
  m->AddArc(0, walls, 2, 0, 0, 80, 20, 10, 0.5, 10, -200, 30); // its arc, clockwise
  m->AddTen(0, walls, 1, 0, 0, 5, 5, 0, 1);
  m->AddSolid3(0, walls, 4, 0, 0, 10, 0, 0, 10);
  m->AddSolid4(0, walls, 4, 20, 0, 30, 0, 30, 10, 20, 10);
  m->AddMoji(0, walls, 0, 0, 0, 0, 0, -20, 40, -20, 4, 4, 0, 0, u"", u"A<B & 平面");
  m->AddMoji(0, walls, 0, 0, 0, 1, 60, -20, 60, -60, 4, 4, 0, -90, u"", u"縦書き");
  const int32_t inner = m->AddBlockDef(u"inner", 1);
  m->AddBlockLine(inner, 0, 0, -1, -1, -1, 0, 0, 5, 5);
  m->AddBlockLine(inner, 0, walls, 1, 1, 70, 0, 5, 5, 0);
  const int32_t outer = m->AddBlockDef(u"outer", 2);
  m->AddBlockBlock(outer, 0, 0, 0, 0, 0, inner, 0, 0, 0, 1, 1);
  m->AddBlockBlock(outer, 0, 0, 0, 0, 0, inner, 10, 0, 45, 2, 2);
  m->AddBlock(0, walls, 6, 0, 0, outer, 200, 0, 0, 1, 1);
  m->AddBlock(0, walls, 0, 0, 0, outer, 300, 0, 90, 1, 1);
  return m;
}

TEST(SvgPreviewWriter, DrawsEveryKindOnce) {
  const auto m = EveryKind();
  const std::string svg = Svg(*m);
  ASSERT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("</svg>\n"), std::string::npos);
  // Each block once, placed by reference: "outer" twice, "inner" twice
  // inside it, once at twice the size.  Line widths are in em of a font
  // size each placement divides by its scale, so lines keep their width.
  EXPECT_EQ(Count(svg, "<symbol "), 2u);
  EXPECT_EQ(Count(svg, "xlink:href=\"#b0\""), 2u);
  EXPECT_EQ(Count(svg, "xlink:href=\"#b1\""), 2u);
  EXPECT_EQ(Count(svg, "font-size=\"0.5em\" transform=\"translate(10 0)rotate(45)scale(2 2)\""),
            1u);
  const std::string css = svg.substr(0, svg.find("</style>"));
  const std::regex inEm(R"(stroke-width:[0-9.]+em;)");
  EXPECT_EQ(Count(css, "stroke-width:"),
            size_t(std::distance(std::sregex_iterator(css.begin(), css.end(), inEm),
                                 std::sregex_iterator())));
  EXPECT_GT(Count(css, "stroke-width:"), 0u);
  // The hidden layer's line is left out, the other drawn; lines, arcs and
  // ellipses are paths, the circle and the point circles.
  EXPECT_EQ(Count(svg, "M0 10L100 10"), 0u);
  EXPECT_EQ(Count(svg, "M0 0L100 0"), 1u);
  EXPECT_EQ(Count(svg, "<circle "), 2u);
  EXPECT_EQ(Count(svg, "A10 5 30 "), 2u + 2u);  // whole ellipse and arc, in halves
  EXPECT_EQ(Count(svg, "Z\"/>"), 3u);           // two solids, the whole ellipse
  EXPECT_EQ(Count(svg, "<text "), 2u);
  EXPECT_NE(svg.find(">A&lt;B &amp; 平面</text>"), std::string::npos);
  // The vertical text along its base line, down the page, as the DXF's
  // aligned text: no column of glyphs.
  EXPECT_NE(svg.find("translate(60 -20)rotate(-90)"), std::string::npos);
  EXPECT_EQ(svg.find("writing-mode"), std::string::npos);
  // Inside a block, "by block" takes the insert's pen.
  EXPECT_NE(svg.find("stroke:currentColor"), std::string::npos);
}

// The style sheet's rules, by class: property to value.
std::map<std::string, std::map<std::string, std::string>> Rules(const std::string& svg) {
  std::map<std::string, std::map<std::string, std::string>> rules;
  const std::string css = svg.substr(0, svg.find("</style>"));
  const std::regex rule(R"(\.([a-z][0-9]+)\{([^}]*)\})"), prop(R"(([a-z-]+):([^;]*);)");
  for (std::sregex_iterator r(css.begin(), css.end(), rule), end; r != end; ++r) {
    const std::string body = (*r)[2];
    for (std::sregex_iterator p(body.begin(), body.end(), prop); p != end; ++p)
      rules[(*r)[1]][(*p)[1]] = (*p)[2];
  }
  return rules;
}

// The class an element drawn with `what` in it has: its own, or its group's.
std::string ClassOf(const std::string& svg, const std::string& what) {
  const size_t at = svg.find(what);
  if (at == std::string::npos) return "";
  const size_t tag = svg.rfind('<', at);
  const std::regex own(R"re( class="([^"]+)")re");
  std::smatch m;
  const std::string head = svg.substr(tag, svg.find('>', at) - tag);
  if (std::regex_search(head, m, own)) return m[1];
  const size_t group = svg.rfind("<g class=\"", at);
  if (group == std::string::npos) return "";
  return svg.substr(group + 10, svg.find('"', group + 10) - group - 10);
}

// Inside a block, layer "0" stands for the insert's layer and "by block" for
// the insert itself: the colour each line of a placed symbol is drawn in,
// as SVG's inheritance from the <use> gives it.
TEST(SvgPreviewWriter, BlockItemsTakeTheInsertsLayerOrTheInsertsOwnPens) {
  auto m = FreshModel();
  m->AddLayer(u"walls", 1, 1, 0, true, true);  // red
  const int32_t walls = m->layn() - 1;
  const int32_t sym = m->AddBlockDef(u"sym", 1);
  m->AddBlockLine(sym, 0, 0, 7, 0, 0, 0, 0, 10, 0);       // layer 0, "by layer"
  m->AddBlockLine(sym, 0, 0, -1, 0, 0, 0, 1, 10, 1);      // layer 0, "by block"
  m->AddBlockLine(sym, 0, walls, 5, 0, 0, 0, 2, 10, 2);   // its own blue
  m->AddBlockLine(sym, 0, walls, 0, 0, 0, 0, 3, 10, 3);   // its layer's red
  const int32_t green = 3;
  m->AddBlock(0, walls, green, 0, 0, sym, 100, 100, 0, 1, 1);
  const std::string svg = Svg(*m);
  const auto rules = Rules(svg);
  const auto use = rules.find(ClassOf(svg, "<use "));
  ASSERT_NE(use, rules.end()) << svg;
  auto drawn = [&](const std::string& d) {
    const auto item = rules.find(ClassOf(svg, d));
    if (item == rules.end()) return std::string("?");
    const auto stroke = item->second.find("stroke");
    if (stroke == item->second.end()) return use->second.count("stroke") ? use->second.at("stroke") : "";
    if (stroke->second == "currentColor") return use->second.count("color") ? use->second.at("color") : "";
    return stroke->second;
  };
  EXPECT_EQ(drawn("M0 0L10 0"), "#ff0000") << svg;
  EXPECT_EQ(drawn("M0 1L10 1"), "#00ff00") << svg;
  EXPECT_EQ(drawn("M0 2L10 2"), "#0000ff") << svg;
  EXPECT_EQ(drawn("M0 3L10 3"), "#ff0000") << svg;
}

TEST(SvgPreviewWriter, PensFollowTheDxfColoursAndLineTypes) {
  auto m = FreshModel();
  m->SetScale(100);
  m->AddLine(0, 0, 7, 0, 0, 0, 0, 1000, 0);  // colour 7 on white paper
  m->AddLine(0, 0, 1, 0, 0, 0, 100, 1000, 100);
  m->AddLine(0, 0, 3, 3, 0, 0, 200, 1000, 200);
  const std::string svg = Svg(*m);
  EXPECT_NE(svg.find("stroke:#000000;"), std::string::npos);
  EXPECT_NE(svg.find("stroke:#ff0000;"), std::string::npos);
  // The pattern at the drawing's line-type scale, in em of the font size
  // the picture sets.
  const TDXF_Ltype& t = m->ltps[2];
  ASSERT_GE(t.n(), 2);
  std::smatch dash, em;
  const std::string css = svg.substr(0, svg.find("</style>"));
  ASSERT_TRUE(std::regex_search(css, dash, std::regex("stroke:#00ff00;[^}]*stroke-dasharray:([0-9.]+)em")));
  ASSERT_TRUE(std::regex_search(svg, em, std::regex("<g transform=\"scale\\(1 -1\\)\" font-size=\"([0-9.]+)\"")));
  EXPECT_NEAR(std::stod(dash[1]) * std::stod(em[1]), std::abs(t.pt[0]) * 100, 1e-2);
}

// Items of one pen in a row share a group; one between others of other
// pens carries its class itself.
TEST(SvgPreviewWriter, GroupsRunsOfOnePen) {
  auto m = FreshModel();
  for (int i = 0; i < 4; ++i) m->AddLine(0, 0, 1 + i % 2, 0, 0, 0, i, 10, i);
  for (int i = 4; i < 7; ++i) m->AddLine(0, 0, 3, 0, 0, 0, i, 10, i);
  m->AddLine(0, 0, 4, 0, 0, 0, 7, 10, 7);
  const std::string svg = Svg(*m);
  EXPECT_EQ(Count(svg, "<path class=\""), 5u) << svg;
  EXPECT_EQ(Count(svg, "<g class=\""), 1u) << svg;
  EXPECT_EQ(Count(svg, "<path d=\""), 3u) << svg;
  EXPECT_EQ(Count(svg, "</g>"), 2u) << svg;  // the group and the picture's
}

TEST(SvgPreviewWriter, PaperShowsTheSheetAndItsViewports) {
  auto m = FreshModel(1);
  m->SetPap(0, 0, 420, 297, 420, 297);
  for (TDXF_LGroup& g : m->deLgp) g.sc = 50;  // one viewport for every group
  m->deLgp[0].sc = 1;
  m->SetLgp(0);
  m->AddLine(1, 0, 0, 0, 0, 10, 10, 100, 10);            // on paper
  m->AddLine(0, 0, 0, 0, 0, 1000 + 50 * 20, 50 * 20, 1000 + 50 * 200, 50 * 20);  // model
  m->SetVPortMinMax(1, 20, 20);
  m->SetVPortMinMax(1, 200, 100);
  m->SetVPortArea();
  const std::string svg = Svg(*m);
  EXPECT_NE(svg.find("width=\"420mm\" height=\"297mm\""), std::string::npos) << svg.substr(0, 400);
  EXPECT_EQ(Count(svg, "<clipPath "), 1u);
  EXPECT_EQ(Count(svg, "<g id=\"model\">"), 1u);
  EXPECT_EQ(Count(svg, "xlink:href=\"#model\""), 1u);
  EXPECT_EQ(Count(svg, "M10 10L100 10"), 1u);
}

// Takes `room` bytes, then refuses.
class TShortSink : public TDXFSink {
 public:
  explicit TShortSink(size_t room) : room_(room) {}
  bool Put(const char* p, size_t n) override {
    if (n > room_) return false;
    room_ -= n;
    text.append(p, n);
    return true;
  }
  void Abort() override { aborted = true; }
  std::string text;
  bool aborted = false;

 private:
  size_t room_;
};

TEST(SvgPreviewWriter, AFailedWriteLeavesNothing) {
  auto m = FreshModel();
  for (int i = 0; i < 20000; ++i) m->AddLine(0, 0, 0, 0, 0, i, 0, i, 100);
  TShortSink sink(1000);
  const TDXFWriteResult r = SavePreviewSvg(*m, sink);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.code, kDXFWriteFailed);
  EXPECT_TRUE(sink.aborted);

  TTempFolder dir;
  const std::string dst = dir.Path() + "/a.svg";
  { std::ofstream(dst) << "kept"; }
  EXPECT_EQ(SavePreviewSvgFile(*m, dst, false).code, kDXFOutputExists);
  {
    // Closed before the file is replaced: Windows replaces no open file.
    std::ifstream in(dst);
    std::stringstream kept;
    kept << in.rdbuf();
    EXPECT_EQ(kept.str(), "kept");
  }
  EXPECT_TRUE(SavePreviewSvgFile(*m, dst, true).ok);
  EXPECT_GT(std::filesystem::file_size(dst), 20000u * 20);
}

}  // namespace
}  // namespace tessa
