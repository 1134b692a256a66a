// DXF writer: BLOCKS, ENTITIES, OBJECTS and the end of the file.  One
// writer per entity kind serves both the blocks and the entities.
#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "dxf/SaveItems.h"
#include "dxf/SaveWriter.h"
#include "dxf/SaveWriterCodes.h"
#include "dxf/SaveWriterOut.h"

namespace tessa {

namespace {

constexpr double kEps = 1e-14;

// A literal caret would start a control sequence for DXF readers.
std::u16string EscapeCarets(std::u16string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (char16_t c : s) {
    out.push_back(c);
    if (c == u'^') out.push_back(u' ');
  }
  return out;
}

// Parts of a section laid out by a helper thread ahead of the writer.  Both
// take the next part nobody has taken: the writer asks for the parts in
// order, lays out in place a part nobody has taken yet, and while it waits
// for one the helper is at, it lays out a later one.  So both stay busy
// whatever share of the machine each gets.  At most kAhead parts are laid
// out ahead.  Without a thread the writer does all.  The texts' buffers go
// round: a part written out gives its buffer to a later part, so the
// section is laid out in a few warm blocks instead of fresh memory.
class TPartsAhead {
 public:
  // layOut(p, text) lays out part p into the empty `text`.
  TPartsAhead(size_t parts, std::function<void(size_t, std::string&)> layOut)
      : parts_(parts), layOut_(std::move(layOut)), texts_(parts), ready_(parts, 0) {
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
      // No thread to be had.
    }
  }
  ~TPartsAhead() {
    {
      std::lock_guard<std::mutex> lock(mu_);
      stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
  }
  TPartsAhead(const TPartsAhead&) = delete;
  TPartsAhead& operator=(const TPartsAhead&) = delete;

  // Part p (every part before it taken already): its text when it was laid
  // out apart, else nothing, and the caller lays it out in place.  While
  // the helper is still at p, this thread lays out a later part.
  std::optional<std::string> Take(size_t p) {
    std::unique_lock<std::mutex> lock(mu_);
    wanted_ = p;
    changed_.notify_all();  // room ahead for the helper
    if (next_ <= p) {
      next_ = p + 1;
      return std::nullopt;
    }
    while (ready_[p] == 0 && !error_) {
      if (next_ < parts_ && next_ < p + kAhead) {
        const size_t q = next_++;
        std::string text = Spare();
        lock.unlock();
        layOut_(q, text);
        lock.lock();
        texts_[q] = std::move(text);
        ready_[q] = 1;
      } else {
        changed_.wait(lock, [&] { return ready_[p] != 0 || error_; });
      }
    }
    if (error_) std::rethrow_exception(error_);
    return std::move(texts_[p]);
  }

  // A text Take gave, once written: its buffer serves a later part.
  void GiveBack(std::string&& text) {
    std::lock_guard<std::mutex> lock(mu_);
    if (spare_.size() < kAhead + 2) spare_.push_back(std::move(text));
  }

 private:
  static constexpr size_t kAhead = 4;

  // An empty text, with the capacity of one given back where there is one.
  std::string Spare() {
    if (spare_.empty()) return {};
    std::string s = std::move(spare_.back());
    spare_.pop_back();
    s.clear();
    return s;
  }

  void Run() {
    std::unique_lock<std::mutex> lock(mu_);
    for (;;) {
      changed_.wait(lock, [&] { return stop_ || next_ >= parts_ || next_ < wanted_ + kAhead; });
      if (stop_ || next_ >= parts_) return;
      const size_t q = next_++;
      std::string text = Spare();
      lock.unlock();
      std::exception_ptr error;
      try {
        layOut_(q, text);
      } catch (...) {
        error = std::current_exception();
      }
      lock.lock();
      if (error) {
        error_ = error;
      } else {
        texts_[q] = std::move(text);
        ready_[q] = 1;
      }
      changed_.notify_all();
      if (error) return;
    }
  }

  const size_t parts_;
  const std::function<void(size_t, std::string&)> layOut_;
  std::mutex mu_;
  std::condition_variable changed_;
  std::vector<std::string> texts_;
  std::vector<char> ready_;
  std::vector<std::string> spare_;
  size_t next_ = 0;    // the first part nobody has taken
  size_t wanted_ = 0;  // the part the writer needs now
  bool stop_ = false;
  std::exception_ptr error_;
  std::thread thread_;
};

class TEntityWriter : TDXFSectionWriter {
 public:
  explicit TEntityWriter(TDXFWriter& s) : TDXFSectionWriter(s) {}
  TEntityWriter(TDXFWriter& s, TDXFGroupWriter& w) : TDXFSectionWriter(s, w) {}

  void Blocks() {
    BeginSection("BLOCKS");
    static const char16_t* const kSpaces[] = {u"*Model_Space", u"*Paper_Space",
                                              u"*Paper_Space0"};
    for (int k = 1; k <= 3; ++k) {
      const uint32_t owner = BlockRecord(k);
      BlockBegin(kSpaces[k - 1], owner, k >= 2);
      BlockEnd(owner, k >= 2);
    }
    for (size_t i = 0; i < m_.deBlockDef.size(); ++i) {
      const TDXF_BlockDef& b = m_.deBlockDef[i];
      ++s_.tally.blocks;
      const uint32_t owner = BlockRecord(4 + static_cast<int64_t>(i));
      BlockBegin(b.nam, owner, false);
      const TItemLists lists = TItemLists::Of(b);
      for (const TDXF_EntNo& e : b.dmNo) Item(e, lists, owner, true, NewHandle());
      BlockEnd(owner, false);
    }
    EndSection();
  }

  // The section counts what it writes: in place into this writer's tally,
  // each part laid out apart into a tally of its own.
  void Entities() {
    TDXFTally total;
    tally_ = &total;
    BeginSection("ENTITIES");
    // Item i takes handle first + i, so every part knows its handles.
    const uint32_t first = static_cast<uint32_t>(s_.DXFHnd);
    const size_t n = m_.deNo.size();
    s_.DXFHnd = static_cast<int32_t>(first + n);
    // The layout of the numbers takes most of the time of a large drawing:
    // a helper thread lays out parts ahead while this one writes.  A
    // drawing of two parts or less is written in one go.
    const size_t part = s_.entityPartItems;
    if (part == 0 || n <= 2 * part) {
      Items(0, n, first);
    } else {
      const size_t parts = (n + part - 1) / part;
      auto range = [=](size_t p) { return std::pair(p * part, std::min(n, (p + 1) * part)); };
      std::vector<TDXFTally> partTallies(parts);
      TPartsAhead ahead(parts, [&](size_t p, std::string& text) {
        const auto [begin, end] = range(p);
        Part(begin, end, first, text, partTallies[p]);
      });
      for (size_t p = 0; p < parts; ++p) {
        if (std::optional<std::string> text = ahead.Take(p)) {
          w_.Groups(*text);
          ahead.GiveBack(std::move(*text));
        } else {
          const auto [begin, end] = range(p);
          Items(begin, end, first);
        }
      }
      for (const TDXFTally& t : partTallies) total.Add(t);
    }
    EndSection();
    tally_ = nullptr;
    s_.tally.entities = total.entities;
  }

  void Objects() {
    if (!v_.HasObjects()) return;
    const uint32_t D = NewHandle();
    s_.DXFHnd += 4;  // D + 1 .. D + 4
    BeginSection("OBJECTS");
    w_.Ascii(0, "DICTIONARY");
    w_.Handle(5, D);
    w_.Ascii(330, "0");
    w_.Ascii(100, "AcDbDictionary");
    w_.Int(281, 1);
    w_.Ascii(3, "ACAD_COLOR");
    w_.Handle(350, D + 1);
    w_.Ascii(3, "ACAD_GROUP");
    w_.Handle(350, D + 2);
    w_.Ascii(3, "ACAD_LAYOUT");
    w_.Handle(350, D + 3);
    for (uint32_t k = 1; k <= 3; ++k) {
      w_.Ascii(0, "DICTIONARY");
      w_.Handle(5, D + k);
      Reactors(D);
      w_.Ascii(100, "AcDbDictionary");
      w_.Int(281, 1);
    }
    w_.Ascii(3, "Model");
    w_.Ascii(350, "2");
    w_.Text(3, u"レイアウト1");
    w_.Ascii(350, "3");
    w_.Text(3, u"レイアウト2");
    w_.Ascii(350, "4");

    w_.Ascii(0, "ACDBDICTIONARYWDFLT");
    w_.Handle(5, D + 4);
    Reactors(D);
    w_.Ascii(100, "AcDbDictionary");
    w_.Int(281, 1);
    w_.Ascii(3, "Normal");
    w_.Ascii(350, "1");
    w_.Ascii(100, "AcDbDictionaryWithDefault");
    w_.Ascii(340, "1");

    w_.Ascii(0, "ACDBPLACEHOLDER");
    w_.Ascii(5, "1");
    Reactors(D + 4);

    // Each layout's extents are what its space holds; the paper layout's
    // limits those of the header.
    const TDXFViews& vw = s_.views;
    const TDXFBox sheet{0, 0, m_.papx, m_.papy};
    Layout("2", u"Model", 11952, 0, 0, BlockRecord(1), D + 3, sheet, vw.space[0]);
    Layout("3", u"レイアウト1", 688, 5, 1, BlockRecord(2), D + 3, vw.paperLimits, vw.space[1]);
    Layout("4", u"レイアウト2", 688, 5, 2, BlockRecord(3), D + 3, sheet, vw.space[2]);
    EndSection();
  }

 private:
  TDXFTally* tally_ = nullptr;  // where ENTITIES are counted; none elsewhere

  uint32_t BlockRecord(int64_t k) const {
    return static_cast<uint32_t>(s_.hn_blk + k);
  }

  // ---- Blocks -----------------------------------------------------------

  // Block markers lie on layer "0", in paper space for the paper blocks.
  void BlockBegin(std::u16string_view name, uint32_t owner, bool paper) {
    Frame("BLOCK", NewHandle(), owner, paper ? 1 : 0, u"0", "AcDbBlockBegin");
    w_.Name(2, name);
    w_.Int(70, 0);
    w_.XYZ(0.0, 0.0, 0.0);
    w_.Name(3, name);
    w_.Ascii(1, "");
  }

  void BlockEnd(uint32_t owner, bool paper) {
    Frame("ENDBLK", NewHandle(), owner, paper ? 1 : 0, u"0", "AcDbBlockEnd");
  }

  // ---- Items of a drawing order ------------------------------------------

  // Items [begin, end) of the model's order into this writer's channel.
  void Items(size_t begin, size_t end, uint32_t first) {
    const TItemLists lists = TItemLists::Of(m_);
    for (size_t i = begin; i < end; ++i)
      Item(m_.deNo[i], lists, 0, false, static_cast<uint32_t>(first + i));
  }

  // The same laid out apart into the empty `text`.  Only reads the model:
  // it runs beside the writer of the section.
  void Part(size_t begin, size_t end, uint32_t first, std::string& text, TDXFTally& tally) {
    constexpr size_t kBytesPerItem = 256;  // room enough for most items
    TDXFStringSink sink;
    sink.text = std::move(text);
    sink.text.reserve((end - begin) * kBytesPerItem);
    {
      // A small buffer, warm in the cache, in front of the part's text.
      TDXFGroupWriter w(sink, v_, size_t{64} << 10);
      TEntityWriter writer(s_, w);
      writer.tally_ = &tally;
      writer.Items(begin, end, first);
      w.Finish();
    }
    text = std::move(sink.text);
  }

  // Every item takes its handle `h`, written or not, so that the handle
  // count of the header holds.  `blockOwner` is the owner inside a block.
  void Item(const TDXF_EntNo& e, const TItemLists& l, uint32_t blockOwner,
            bool inBlock, uint32_t h) {
    const TPlace at{h, blockOwner, inBlock};
    switch (e.tp) {
      case DXF_KIND_LINE: Put(l.line, e.no, at, &TEntityWriter::Line); break;
      case DXF_KIND_CIRCLE: Put(l.circ, e.no, at, &TEntityWriter::Circle); break;
      case DXF_KIND_ARC: Put(l.arc, e.no, at, &TEntityWriter::Arc); break;
      case DXF_KIND_ELLIPSE: Put(l.elli, e.no, at, &TEntityWriter::Ellipse); break;
      case DXF_KIND_TEN: Put(l.ten, e.no, at, &TEntityWriter::Ten); break;
      case DXF_KIND_SOLID3: Put(l.sld3, e.no, at, &TEntityWriter::Solid3); break;
      case DXF_KIND_SOLID4: Put(l.sld4, e.no, at, &TEntityWriter::Solid4); break;
      case DXF_KIND_MOJI: Put(l.moji, e.no, at, &TEntityWriter::Moji); break;
      case DXF_KIND_BLOCK: Put(l.block, e.no, at, &TEntityWriter::Insert); break;
      case DXF_KIND_VPORT:
        if (l.vport) Put(*l.vport, e.no, at, &TEntityWriter::Vport);
        break;
      default:
        break;  // unknown kind: nothing to write
    }
  }

  struct TPlace {
    uint32_t handle;
    uint32_t blockOwner;
    bool inBlock;
  };

  // Writes record `no` of `v` when it exists and its space has a place in
  // this file: R12 has no second layout, and there is no space past it.
  template <class T>
  void Put(const std::vector<T>& v, int32_t no, const TPlace& at,
           void (TEntityWriter::*write)(const T&, uint32_t, uint32_t)) {
    const T* p = At(v, no);
    if (!p || p->spc < 0 || p->spc > 2) return;
    if (p->spc == 2 && !v_.HasSecondLayout()) return;
    const uint32_t owner = at.inBlock ? at.blockOwner : BlockRecord(int64_t{p->spc} + 1);
    (this->*write)(*p, at.handle, owner);
  }

  // ---- Frame and attributes -------------------------------------------

  std::u16string_view LayerName(int32_t lay) const {
    const TDXF_Layer* l = At(m_.lays, lay);
    return l ? std::u16string_view(l->nam) : std::u16string_view(u"0");
  }

  // Line type at a 1-based position; the first one for a position past
  // the list.
  const TDXF_Ltype* Ltype(int32_t idx) const {
    if (m_.ltps.empty() || idx < 1) return nullptr;
    if (idx > m_.ltpn()) idx = 1;
    return &m_.ltps[static_cast<size_t>(idx - 1)];
  }

  // Counts an entity of the ENTITIES section by its name.
  void Tally(const char* type) {
    if (!tally_) return;
    for (size_t k = 0; k < tally_->entities.size(); ++k)
      if (std::strcmp(type, DXFWrittenName(static_cast<TDXFWritten>(k))) == 0) {
        ++tally_->entities[k];
        return;
      }
  }

  void Frame(const char* type, uint32_t h, uint32_t owner, int32_t spc,
             std::u16string_view layer, const char* subclass) {
    Tally(type);
    w_.Ascii(0, type);
    w_.Handle(5, h);
    if (v_.OwnerHandles()) {
      w_.Handle(330, owner);
      w_.Ascii(100, "AcDbEntity");
    }
    if (spc > 0) w_.Int(67, 1);
    w_.Text(8, layer);
    if (v_.SubclassMarkers()) w_.Ascii(100, subclass);
  }

  // Names of tables referred to by entities match their table entries,
  // which R12 upper-cases.
  void LtypeAttr(int32_t typ) {
    if (typ == -1) {
      w_.Name(6, u"ByBlock");
    } else if (const TDXF_Ltype* t = Ltype(typ)) {
      w_.Name(6, t->nam);
    }
  }
  void ColorAttr(int32_t col) {
    if (col > 0)
      w_.Int(62, col);
    else if (col == -1)
      w_.Int(62, 0);
  }
  void WidthAttr(int32_t wid) {
    if (!v_.LineWeights()) return;
    if (wid > 0)
      w_.IntPlain(370, wid);
    else if (wid == -1)
      w_.Ascii(370, "-2");
  }
  void LineAttrs(int32_t typ, int32_t col, int32_t wid) {
    LtypeAttr(typ);
    ColorAttr(col);
    WidthAttr(wid);
  }

  // Frame and line attributes of an entity drawn with a line type.
  template <class E>
  void Stroke(const char* type, uint32_t h, uint32_t owner, const E& e,
              const char* subclass) {
    Frame(type, h, owner, e.spc, LayerName(e.lay), subclass);
    LineAttrs(e.typ, e.col, e.wid);
  }

  // Centre and radius of a circle or an arc.
  void CentreRadius(double x, double y, double r) {
    w_.XYZ(x, y, 0.0);
    w_.Real(40, r);
  }

  // ---- Entity kinds ------------------------------------------------------

  void Line(const TDXF_Line& e, uint32_t h, uint32_t owner) {
    Stroke("LINE", h, owner, e, "AcDbLine");
    w_.XYZ(e.x1, e.y1, 0.0);
    w_.XYZn(1, e.x2, e.y2, 0.0);
  }

  void Circle(const TDXF_Circle& e, uint32_t h, uint32_t owner) {
    Stroke("CIRCLE", h, owner, e, "AcDbCircle");
    CentreRadius(e.x, e.y, e.r);
  }

  void Arc(const TDXF_Arc& e, uint32_t h, uint32_t owner) {
    Stroke("ARC", h, owner, e, "AcDbCircle");
    CentreRadius(e.x, e.y, e.r);
    if (v_.SubclassMarkers()) w_.Ascii(100, "AcDbArc");
    // DXF arcs run counter-clockwise from 50 to 51.
    const double end = NormDeg(e.sa + e.da);
    w_.Real(50, e.da >= 0 ? e.sa : end);
    w_.Real(51, e.da >= 0 ? end : e.sa);
  }

  void Ellipse(const TDXF_Ellipse& e, uint32_t h, uint32_t owner) {
    if (v_.EllipseAsPolyline())
      EllipsePolyline(e, h);
    else
      EllipseEntity(e, h, owner);
  }

  void EllipseEntity(const TDXF_Ellipse& e, uint32_t h, uint32_t owner) {
    Stroke("ELLIPSE", h, owner, e, "AcDbEllipse");
    const bool whole = std::fabs(e.da) <= kEps;
    double r = e.r, ratio = e.he, ka = e.ka;
    double sa = whole ? 0.0 : e.sa, da = whole ? 360.0 : e.da;
    if (ratio > 1) {
      // DXF wants a ratio of at most 1: the same curve about its other axis.
      r = e.r * e.he;
      ratio = 1 / e.he;
      ka = NormDeg(e.ka + 90);
      if (!whole) sa = NormDeg(sa - 90);
    }
    if (da < 0) {
      // DXF ellipses run counter-clockwise from 41 to 42.
      sa = NormDeg(sa + da);
      da = -da;
    }
    double ax = 0, ay = 0;
    KaitenDeg(r, 0, 0, 0, ka, ax, ay);
    w_.XYZ(e.x, e.y, 0.0);
    w_.XYZn(1, ax, ay, 0.0);
    w_.Ascii(210, "0.0");
    w_.Ascii(220, "0.0");
    w_.Ascii(230, "1.0");
    w_.Real(40, ratio);
    w_.Real(41, sa * M_PI / 180);
    w_.Real(42, (sa + da) * M_PI / 180);
  }

  void EllipsePolyline(const TDXF_Ellipse& e, uint32_t h) {
    const std::u16string_view layer = LayerName(e.lay);
    Tally("POLYLINE");
    w_.Ascii(0, "POLYLINE");
    w_.Handle(5, h);
    if (e.spc > 0) w_.Int(67, 1);
    w_.Text(8, layer);
    LtypeAttr(e.typ);
    ColorAttr(e.col);
    w_.Int(66, 1);
    w_.XYZ(0.0, 0.0, 0.0);
    const bool whole = std::fabs(e.da) <= kEps;
    if (whole) w_.Int(70, 1);
    const double start = whole ? 0.0 : e.sa;
    const double step = whole ? 5.0 : e.da / 72;
    const int count = whole ? 72 : 73;
    const double tilt = e.ka * M_PI / 180;
    for (int k = 0; k < count; ++k) {
      const double t = start + k * step;
      double px = 0, py = 0;
      EllipsePoint(e.x, e.y, e.r, e.he, tilt, t * M_PI / 180, px, py);
      w_.Ascii(0, "VERTEX");
      w_.Text(8, layer);
      w_.XYZ(px, py, 0.0);
    }
    w_.Ascii(0, "SEQEND");
    w_.Text(8, layer);
  }

  void Ten(const TDXF_Ten& e, uint32_t h, uint32_t owner) {
    const std::u16string_view layer = LayerName(e.lay);
    switch (m_.tentyp) {
      case 0:
        Frame("POINT", h, owner, e.spc, layer, "AcDbPoint");
        ColorAttr(e.col);
        w_.XYZ(e.x, e.y, 0.0);
        return;
      // Markers take the first line type.
      case 1:
        Frame("CIRCLE", h, owner, e.spc, layer, "AcDbCircle");
        LineAttrs(1, e.col, e.wid);
        CentreRadius(e.x, e.y, m_.tenrad * e.ba);
        return;
      case 2: case 3: case 4: case 5: case 6: {
        const TDXF_BlockDef* b = At(m_.deBlockDef, m_.tenidx);
        if (!b) return;  // no marker block
        Frame("INSERT", h, owner, e.spc, layer, "AcDbBlockReference");
        w_.Name(2, b->nam);
        LineAttrs(1, e.col, e.wid);
        w_.XYZ(e.x, e.y, 0.0);
        if (std::fabs(e.ba) > kEps && std::fabs(e.ba - 1) > kEps) {
          w_.Real(41, e.ba);
          w_.Real(42, e.ba);
        }
        if (std::fabs(e.a) > 1e-10) w_.Real(50, e.a);
        return;
      }
      default:
        return;  // points are not written
    }
  }

  // A triangle is a SOLID whose last corner is given twice.
  void Solid3(const TDXF_Solid3& e, uint32_t h, uint32_t owner) {
    Solid4(TDXF_Solid4{e.spc, e.lay, e.col, e.x1, e.y1, e.x2, e.y2, e.x3, e.y3,
                       e.x3, e.y3},
           h, owner);
  }

  void Solid4(const TDXF_Solid4& e, uint32_t h, uint32_t owner) {
    Frame("SOLID", h, owner, e.spc, LayerName(e.lay), "AcDbTrace");
    ColorAttr(e.col);
    // SOLID corners go 1, 2, 4, 3 around the outline.
    w_.XYZn(0, e.x1, e.y1, 0.0);
    w_.XYZn(1, e.x2, e.y2, 0.0);
    w_.XYZn(2, e.x4, e.y4, 0.0);
    w_.XYZn(3, e.x3, e.y3, 0.0);
  }

  void Moji(const TDXF_Moji& e, uint32_t h, uint32_t owner) {
    if (DelSpace(e.st).empty()) return;
    Frame("TEXT", h, owner, e.spc, LayerName(e.lay), "AcDbText");
    ColorAttr(e.col);
    w_.XYZ(e.x1, e.y1, 0.0);
    w_.Real(40, e.h);
    w_.Text(1, EscapeCarets(e.st));
    w_.Real(50, e.a);
    // A text without height has no proportion of its own.
    w_.Real(41, e.h == 0 ? 1.0 : e.w / e.h);
    if (e.syat) w_.Ascii(51, "28.0");
    const TDXF_Style* s = At(m_.msts, e.typ);
    if (!s) s = At(m_.msts, 0);
    w_.Name(7, s ? std::u16string_view(s->nam) : std::u16string_view(u"Standard"));
    w_.Int(72, e.tate ? 3 : 5);
    w_.XYZn(1, e.x2, e.y2, 0.0);
    if (!e.tate) w_.Int(73, 1);
    if (v_.SubclassMarkers()) w_.Ascii(100, "AcDbText");
  }

  void Vport(const TDXF_ViewPort& e, uint32_t h, uint32_t owner) {
    if (e.spc == 0) return;  // model space shows no viewports
    Frame("VIEWPORT", h, owner, e.spc, u"VP", "AcDbViewport");
    w_.XYZ(e.cx, e.cy, 0.0);
    w_.Real(40, e.w);
    w_.Real(41, e.h);
    w_.Int(68, e.id);
    w_.Int(69, e.id);
    if (v_.ViewportXData())
      VportXData(e);
    else
      VportGroups(e);
  }

  void VportGroups(const TDXF_ViewPort& e) {
    Pair(12, e.vx, e.vy);
    Pair(13, 0.0, 0.0);
    Pair(14, 1.0, 1.0);
    Pair(15, 0.0, 0.0);
    w_.XYZn(6, 0.0, 0.0, 1.0);
    w_.XYZn(7, 0.0, 0.0, 0.0);
    w_.Real(42, 50.0);
    w_.Real(43, 0.0);
    w_.Real(44, 0.0);
    w_.Real(45, e.vh);
    w_.Real(50, 0.0);
    w_.Real(51, 0.0);
    w_.Int(72, 100);
    w_.Int(90, 33120);
    w_.Ascii(1, "");
    w_.Int(280, 0);
    w_.Int(71, 1);
    w_.Int(74, 0);
    WorldUcs();
  }

  void VportXData(const TDXF_ViewPort& e) {
    w_.Ascii(1001, "ACAD");
    w_.Ascii(1000, "MVIEW");
    w_.Ascii(1002, "{");
    w_.Int(1070, 16);
    Triple(1010, 0.0, 0.0, 0.0);  // view target
    Triple(1010, 0.0, 0.0, 1.0);  // view direction
    w_.Real(1040, 0.0);
    w_.Real(1040, e.vh);
    w_.Real(1040, e.vx);
    w_.Real(1040, e.vy);
    w_.Real(1040, 50.0);
    w_.Real(1040, 0.0);
    w_.Real(1040, 0.0);
    for (int32_t v : {16, 100, 0, 3, 0, 0, 0, 0}) w_.Int(1070, v);
    for (double x : {0.0, 0.0, 0.0, 1.0, 1.0, 0.0, 0.0}) w_.Real(1040, x);
    w_.Int(1070, 0);
    w_.Ascii(1002, "{");
    w_.Ascii(1002, "}");
    w_.Ascii(1002, "}");
  }

  void Insert(const TDXF_Block& e, uint32_t h, uint32_t owner) {
    const TDXF_BlockDef* b = At(m_.deBlockDef, e.bln);
    if (!b) return;  // block -1: nothing to insert
    Frame("INSERT", h, owner, e.spc, LayerName(e.lay), "AcDbBlockReference");
    w_.Name(2, b->nam);
    LineAttrs(e.typ, e.col, e.wid);
    w_.XYZ(e.x, e.y, 0.0);
    if (std::fabs(e.bx - 1) > kEps && std::fabs(e.bx) > kEps) w_.Real(41, e.bx);
    if (std::fabs(e.by - 1) > kEps && std::fabs(e.by) > kEps) w_.Real(42, e.by);
    if (std::fabs(e.a) > kEps) w_.Real(50, e.a);
  }

  // ---- Objects ------------------------------------------------------------

  void Reactors(uint32_t owner) {
    w_.Ascii(102, "{ACAD_REACTORS");
    w_.Handle(330, owner);
    w_.Ascii(102, "}");
    w_.Handle(330, owner);
  }

  void Layout(const char* handle, std::u16string_view name, int32_t flags,
              int32_t plotType, int32_t tab, uint32_t record, uint32_t dict,
              const TDXFBox& limits, const TDXFBox& extents) {
    w_.Ascii(0, "LAYOUT");
    w_.Ascii(5, handle);
    Reactors(dict);
    w_.Ascii(100, "AcDbPlotSettings");
    w_.Ascii(1, "");
    w_.Ascii(2, "none_device");
    w_.Ascii(4, "");
    w_.Ascii(6, "");
    for (int c = 40; c <= 49; ++c) w_.Real(c, 0.0);
    w_.Real(140, 0.0);
    w_.Real(141, 0.0);
    w_.Real(142, 1.0);
    w_.Real(143, 1.0);
    w_.Int(70, flags);
    w_.Int(72, 1);
    w_.Int(73, 0);
    w_.Int(74, plotType);
    w_.Ascii(7, "");
    w_.Int(75, 16);
    w_.Real(147, 1.0);
    w_.Real(148, 0.0);
    w_.Real(149, 0.0);
    w_.Ascii(100, "AcDbLayout");
    w_.Text(1, name);
    w_.Int(70, 1);
    w_.Int(71, tab);
    w_.XY(limits.x1, limits.y1);
    w_.Real(11, limits.x2);
    w_.Real(21, limits.y2);
    w_.XYZn(2, 0.0, 0.0, 0.0);
    w_.XYZn(4, extents.x1, extents.y1, 0.0);
    w_.XYZn(5, extents.x2, extents.y2, 0.0);
    w_.Real(146, 0.0);
    w_.XYZn(3, 0.0, 0.0, 0.0);
    w_.XYZn(6, 1.0, 0.0, 0.0);
    w_.XYZn(7, 0.0, 1.0, 0.0);
    w_.Int(76, 0);
    w_.Handle(330, record);
  }

};

}  // namespace

const char* DXFWrittenName(TDXFWritten kind) {
  static constexpr const char* kNames[] = {"LINE",  "CIRCLE", "ARC",    "ELLIPSE", "POLYLINE",
                                           "POINT", "SOLID",  "TEXT",   "INSERT",  "VIEWPORT"};
  static_assert(std::size(kNames) == static_cast<size_t>(TDXFWritten::Count));
  const auto k = static_cast<size_t>(kind);
  return k < std::size(kNames) ? kNames[k] : "";
}

void TDXFWriter::PutBlocks() { TEntityWriter(*this).Blocks(); }
void TDXFWriter::PutEntities() { TEntityWriter(*this).Entities(); }
void TDXFWriter::PutObjects() { TEntityWriter(*this).Objects(); }
void TDXFWriter::PutEOF() { st.Ascii(0, "EOF"); }

}  // namespace tessa
