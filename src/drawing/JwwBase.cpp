// Entity lists and block definitions of the JWW/JWS archives.
#include "drawing/JwwBase.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

#include "drawing/JwArchive.h"
#include "util/Func_2.h"
#include "util/LargeMemory.h"

namespace tessa {

namespace {

// Files older than this version store attributes without the pen width.
constexpr int32_t kVerPenWidth = 351;
// From this version on a dimension carries its SXF sub-records.
constexpr int32_t kVerSxfSunpo = 420;

// Stored sizes with the full attribute.
constexpr size_t kAttrBytes = 15;
constexpr size_t kLineBytes = 47;
constexpr size_t kEnkoBytes = 75;
constexpr size_t kTenBytes = 35;
constexpr size_t kTenTailBytes = 20;
constexpr size_t kMojiBytes = 83;
constexpr size_t kSolidBytes = 79;
constexpr size_t kBlockBytes = 59;
constexpr size_t kBlockDefBytes = 27;
// The smallest object a list can hold: a 2-byte tag and the shortest record.
constexpr size_t kMinObjectBytes = 2 + kTenBytes - 2;

constexpr uint8_t kTenExtendedStyle = 100;
constexpr uint16_t kSolidOwnColor = 10;

// Reserve no more than the rest of the data can possibly hold.
size_t ReserveFor(uint64_t announced, const TByteReader& in, size_t perItem) {
  return static_cast<size_t>(std::min<uint64_t>(announced, in.Remaining() / perItem));
}

// Field-by-field decoding of one record read by TJwArchive::Record.
class TRecordReader {
 public:
  explicit TRecordReader(const TJwArchive::TRecordBytes& bytes)
      : buf_(bytes), r_(buf_.b, buf_.n) {}
  // r_ reads buf_ in place.
  TRecordReader(const TRecordReader&) = delete;
  TRecordReader& operator=(const TRecordReader&) = delete;
  TEntJwwAttr Attr() {
    TEntJwwAttr a;
    a.lGroup = r_.U32();
    a.nPenStyle = r_.U8();
    a.nPenColor = r_.U16();
    a.nPenWidth = r_.U16();
    a.nLayer = r_.U16();
    a.nGLayer = r_.U16();
    a.sFlg = r_.U16();
    return a;
  }
  double D() { return r_.F64(); }
  uint32_t U() { return r_.U32(); }
  uint16_t W() { return r_.U16(); }

 private:
  TJwArchive::TRecordBytes buf_;
  TByteReader r_;
};

class TEntityReader {
 public:
  TEntityReader(TJwArchive& ar, int32_t ver)
      : ar_(ar), ver_(ver), shortAttr_(ver < kVerPenWidth) {}

  TRecordReader Rec(size_t n) { return TRecordReader(ar_.Record(n, shortAttr_)); }

  TEntJwwAttr AttrOnly() { return Rec(kAttrBytes).Attr(); }

  TEntJwwLine Line() {
    TRecordReader r = Rec(kLineBytes);
    TEntJwwLine e;
    e.att = r.Attr();
    e.start_x = r.D(); e.start_y = r.D(); e.end_x = r.D(); e.end_y = r.D();
    return e;
  }

  TEntJwwEnko Enko() {
    TRecordReader r = Rec(kEnkoBytes);
    TEntJwwEnko e;
    e.att = r.Attr();
    e.start_x = r.D(); e.start_y = r.D();
    e.dHankei = r.D();
    e.radKaishiKaku = r.D();
    e.radEnkoKaku = r.D();
    e.radKatamukiKaku = r.D();
    e.dHenpeiRitsu = r.D();
    e.bZenEnFlg = r.U();
    return e;
  }

  // `plainScale` is what dBairitsu becomes without the extended tail.
  TEntJwwTen Ten(double plainScale) {
    TRecordReader r = Rec(kTenBytes);
    TEntJwwTen e;
    e.att = r.Attr();
    e.start_x = r.D(); e.start_y = r.D();
    e.bKariten = r.U();
    if (e.att.nPenStyle == kTenExtendedStyle) {
      TRecordReader t(ar_.Record(kTenTailBytes));
      e.nCode = t.U();
      e.radKaitenKaku = t.D();
      e.dBairitsu = t.D();
    } else {
      e.nCode = 0;
      e.radKaitenKaku = 0;
      e.dBairitsu = plainScale;
    }
    return e;
  }

  TEntJwwMoji Moji() {
    TRecordReader r = Rec(kMojiBytes);
    TEntJwwMoji e;
    e.att = r.Attr();
    e.start_x = r.D(); e.start_y = r.D(); e.end_x = r.D(); e.end_y = r.D();
    e.nMojiShu = r.U();
    e.dSizeX = r.D(); e.dSizeY = r.D();
    e.dKankaku = r.D();
    e.degKakudo = r.D();
    e.strFontName = ar_.StrClean();
    e.str = ar_.StrClean();
    return e;
  }

  TEntJwwSunpo Sunpo() {
    TEntJwwSunpo e;
    e.att = AttrOnly();
    e.Sen = Line();
    e.Moji = Moji();
    if (ver_ >= kVerSxfSunpo) {
      e.bSxfMode = TRecordReader(ar_.Record(2)).W();
      e.Ho1 = Line();
      e.Ho2 = Line();
      e.Te1 = Ten(0);
      e.Te2 = Ten(0);
      e.Kt1 = Ten(0);
      e.Kt2 = Ten(0);
    } else {
      e.bSxfMode = 0;
      for (TEntJwwLine* l : {&e.Ho1, &e.Ho2}) *l = TEntJwwLine{e.att};
      for (TEntJwwTen* t : {&e.Te1, &e.Te2, &e.Kt1, &e.Kt2}) {
        *t = TEntJwwTen{e.att};
        t->att.nPenStyle = 0;
      }
    }
    return e;
  }

  TEntJwwSolid Solid() {
    TRecordReader r = Rec(kSolidBytes);
    TEntJwwSolid e;
    e.att = r.Attr();
    e.start_x = r.D(); e.start_y = r.D(); e.end_x = r.D(); e.end_y = r.D();
    e.DPoint2_x = r.D(); e.DPoint2_y = r.D();
    e.DPoint3_x = r.D(); e.DPoint3_y = r.D();
    e.Color = e.att.nPenColor == kSolidOwnColor ? TRecordReader(ar_.Record(4)).U() : 0;
    return e;
  }

  TEntJwwBlock Block() {
    TRecordReader r = Rec(kBlockBytes);
    TEntJwwBlock e;
    e.att = r.Attr();
    e.DPKijunTen_x = r.D(); e.DPKijunTen_y = r.D();
    e.dBairitsuX = r.D(); e.dBairitsuY = r.D();
    e.radKaitenKaku = r.D();
    e.nNumber = r.U();
    return e;
  }

 private:
  TJwArchive& ar_;
  int32_t ver_;
  bool shortAttr_;
};

// Where one entity list goes: the drawing's own arrays or a definition's.
struct TEntLists {
  std::vector<TEntJwwNo>& no;
  std::vector<TEntJwwLine>& line;   int32_t& lineN;
  std::vector<TEntJwwEnko>& enko;   int32_t& enkoN;
  std::vector<TEntJwwTen>& ten;     int32_t& tenN;
  std::vector<TEntJwwMoji>& moji;   int32_t& mojiN;
  std::vector<TEntJwwSunpo>& sunpo; int32_t& sunpoN;
  std::vector<TEntJwwSolid>& solid; int32_t& solidN;
  std::vector<TEntJwwBlock>& block; int32_t& blockN;
};

template <class T>
int32_t Append(std::vector<T>& v, int32_t& n, T&& e) {
  v.resize(static_cast<size_t>(n));
  v.push_back(std::move(e));
  return n++;
}

struct TClassName {
  const char* name;
  int32_t kind;
};
constexpr TClassName kEntityClasses[] = {
    {"CDataSen", jwEntLine},   {"CDataEnko", jwEntEnko},
    {"CDataTen", jwEntTen},    {"CDataMoji", jwEntMoji},
    {"CDataSunpou", jwEntSunpo}, {"CDataSolid", jwEntSolid},
    {"CDataBlock", jwEntBlock},
};

int32_t EntityKindOfName(const std::string& name) {
  for (const TClassName& c : kEntityClasses)
    if (name == c.name) return c.kind;
  return jwEntNone;
}

// The kind of the object behind the next tag; throws unless it is one of
// the seven entity classes, so an unknown or dangling tag always ends the
// list instead of repeating.
int32_t ReadEntityTag(TJwArchive& ar) {
  const size_t at = ar.In().Pos();
  TJwArchive::TTag t = ar.Tag();
  int32_t kind;
  if (t.isNew) {
    kind = EntityKindOfName(t.name);
    ar.SetKind(t.index, kind);
  } else {
    kind = t.index ? ar.KindOf(t.index) : -1;
  }
  if (kind >= jwEntLine && kind <= jwEntBlock) return kind;
  std::string what;
  if (t.isNew)
    what = "an object of the unknown class \"" + t.name + "\"";
  else if (t.index == 0 || kind < 0)
    what = "a reference to class " + std::to_string(t.index) + ", which no earlier tag declared";
  else
    what = "an object of a class that is not an entity";
  throw TReadError("bad-record", what + " at byte " + std::to_string(at),
                   static_cast<int64_t>(at));
}

// Fewest bytes any object takes: its tag and one byte of its record.
constexpr size_t kLeastObjectBytes = 3;

// A long list reserves every kind for as many records as the rest of the
// file could hold (never more than its count).  The lists then fill in
// place instead of moving into ever larger blocks; the pages of what a
// drawing turns out not to hold are never touched and cost nothing.
constexpr uint32_t kLongList = 4096;

template <class T>
void ReserveKind(std::vector<T>& v, uint32_t count, const TByteReader& in, size_t recordBytes) {
  try {
    v.reserve(v.size() + ReserveFor(count, in, recordBytes));
    AdviseHugePages(v);
  } catch (const std::bad_alloc&) {
    // Only a hint: where the address space is short the list grows as
    // records come.
  }
}

void ReserveLists(const TEntLists& out, uint32_t count, const TByteReader& in) {
  ReserveKind(out.line, count, in, kLineBytes);
  ReserveKind(out.enko, count, in, kEnkoBytes);
  ReserveKind(out.ten, count, in, kTenBytes);
  ReserveKind(out.moji, count, in, kMojiBytes);
  ReserveKind(out.sunpo, count, in, kLineBytes + kMojiBytes);  // a line and a text at least
  ReserveKind(out.solid, count, in, kSolidBytes);
  ReserveKind(out.block, count, in, kBlockBytes);
}

// Reads `count` objects into `out`; the count was read at byte countAt.  An
// object whose data ends before its first byte is dropped and leaves its
// order slot at (0, 0); the next tag then fails, which ends the list.
void ReadObjects(TJwArchive& ar, int32_t ver, uint32_t count, size_t countAt, TEntLists out) {
  TEntityReader rd(ar, ver);
  out.no.reserve(out.no.size() + ReserveFor(count, ar.In(), kMinObjectBytes));
  AdviseHugePages(out.no);
  if (count >= kLongList) ReserveLists(out, count, ar.In());
  // A count the rest of the file could never hold: when the list then runs
  // out of data, the count is what is wrong.
  const bool impossible = count > ar.In().Remaining() / kLeastObjectBytes;
  for (uint32_t taken = 0; taken < count; ++taken) {
    int32_t kind;
    try {
      kind = ReadEntityTag(ar);
    } catch (const TReadError& e) {
      if (!impossible || e.Reason().code != "truncated") throw;
      throw TReadError("bad-count",
                       "the count of " + std::to_string(count) + " objects at byte " +
                           std::to_string(countAt) +
                           " is more than the rest of the file can hold; it ends after " +
                           std::to_string(taken),
                       static_cast<int64_t>(countAt));
    }
    out.no.push_back(TEntJwwNo{});
    size_t slot = out.no.size() - 1;
    try {
      int32_t idx = 0;
      switch (kind) {
        case jwEntLine: idx = Append(out.line, out.lineN, rd.Line()); break;
        case jwEntEnko: idx = Append(out.enko, out.enkoN, rd.Enko()); break;
        case jwEntTen: idx = Append(out.ten, out.tenN, rd.Ten(1)); break;
        case jwEntMoji: idx = Append(out.moji, out.mojiN, rd.Moji()); break;
        case jwEntSunpo: idx = Append(out.sunpo, out.sunpoN, rd.Sunpo()); break;
        case jwEntSolid: idx = Append(out.solid, out.solidN, rd.Solid()); break;
        case jwEntBlock: idx = Append(out.block, out.blockN, rd.Block()); break;
      }
      out.no[slot] = TEntJwwNo{kind, idx};
    } catch (const TReadError&) {
      // dropped; the list goes on with the next tag
    }
    ar.ObjectTaken();
  }
}

int32_t AsCount(uint32_t n) { return static_cast<int32_t>(n); }

}  // namespace

// ---------------------------------------------------------------------------

void TJwSignature::Read(TByteReader& in, std::u16string& jwID,
                        int32_t& jwVer) const {
  const std::string ident = StrToUtf8(id);
  std::string format = ident.substr(0, 3);
  for (char& c : format) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (in.Remaining() < idBytes)
    throw TReadError("not-a-drawing",
                     "the file is too short to start with \"" + ident + "\"", 0);
  jwID = BytesToStr(in.Bytes(idBytes));
  if (jwID != id)
    throw TReadError("not-a-drawing", "the file does not start with \"" + ident + "\"", 0);
  if (in.Size() < versionOffset + 4)
    throw TReadError("truncated",
                     "the file ends at byte " + std::to_string(in.Size()) +
                         " before its version at byte " + std::to_string(versionOffset),
                     static_cast<int64_t>(in.Size()));
  in.Seek(versionOffset);
  jwVer = in.I32();
  if (jwVer < minVer || jwVer > maxVer)
    throw TReadError("unsupported-version",
                     "version " + std::to_string(jwVer) + " is not a " + format +
                         " version this converter reads (" + std::to_string(minVer) + ".." +
                         std::to_string(maxVer) + ")",
                     static_cast<int64_t>(versionOffset));
}

bool TJwSignature::FoundInMem(const uint8_t* data, size_t size, TReadReason* why) const {
  if (!data) size = 0;
  TByteReader r(data, std::min(size, versionOffset + 4));
  std::u16string jwID;
  int32_t jwVer = 0;
  try {
    Read(r, jwID, jwVer);
  } catch (const TReadError& e) {
    if (why) *why = e.Reason();
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------

TJwwBaseData::~TJwwBaseData() { ClearImageDir(); }

void TJwwBaseData::EntInit() {
  EntLgrp.clear();
  EntNo.clear();
  EntLine.clear(); EntLineN = 0;
  EntEnko.clear(); EntEnkoN = 0;
  EntTen.clear(); EntTenN = 0;
  EntMoji.clear(); EntMojiN = 0;
  EntSunpo.clear(); EntSunpoN = 0;
  EntSolid.clear(); EntSolidN = 0;
  EntBlock.clear(); EntBlockN = 0;
  EntBlockDef.clear(); EntBlockDefN = 0;
  EntBlockTree.clear(); EntBlockTreeN = 0;
  EntBlockNum = 0;
  EntBlockLoopN = 0;
  EntUnicodeN = 0;
  BindImageInit();
}

bool TJwwBaseData::ReadBody(TJwArchive& ar, int32_t ver, int32_t& n1,
                            int32_t& n2, bool images) {
  bool ok = true;
  const char* section = "the entity list";
  try {
    ReadEntityList(ar, ver, n1);
    section = "the block definitions";
    ReadBlockDefs(ar, ver, n2);
    if (images) {
      section = "the bound images";
      BindImageInit();
      if (BindImageExp || BindImageExr) ReadBindImages(ar);
    }
  } catch (const std::exception& e) {
    LastError = ReasonOf(e, section);
    ok = false;
  }
  if (!MakeBlockTree()) {
    if (ok)
      LastError = {"block-nesting",
                   "the blocks nest too deep or place too many copies of each other "
                   "(more than 64 levels, or millions of copies)",
                   -1};
    ok = false;
  }
  return ok;
}

void TJwwBaseData::ReadEntityList(TJwArchive& ar, int32_t ver, int32_t& n1) {
  const size_t at = ar.In().Pos();
  uint32_t n = ar.Count();
  n1 = AsCount(n);
  ReadObjects(ar, ver, n, at,
              TEntLists{EntNo, EntLine, EntLineN, EntEnko, EntEnkoN, EntTen,
                        EntTenN, EntMoji, EntMojiN, EntSunpo, EntSunpoN,
                        EntSolid, EntSolidN, EntBlock, EntBlockN});
}

void TJwwBaseData::ReadBlockDefs(TJwArchive& ar, int32_t ver, int32_t& n2) {
  n2 = 0;
  EntBlockDefN = 0;
  uint32_t n = ar.Count();
  n2 = AsCount(n);
  TEntityReader rd(ar, ver);
  EntBlockDef.reserve(ReserveFor(n, ar.In(), 2 + kBlockDefBytes));
  for (uint32_t i = 0; i < n; ++i) {
    // The definition's own class name is not checked, but a new class still
    // takes its index so that later references resolve.
    TJwArchive::TTag t = ar.Tag();
    if (t.isNew) ar.SetKind(t.index, jwEntNone);

    TEntJwwBlockDef d;
    TRecordReader r = rd.Rec(kBlockDefBytes);
    d.att = r.Attr();
    d.nNumber = r.U();
    d.bRefferd = r.U();
    d.dtime = r.U();
    if (d.dtime >= 0x80000000u) {
      ar.In().Skip(8);
      d.dtime = i + 1;
    }
    d.strName = ar.StrClean();
    ar.ObjectTaken();
    const size_t countAt = ar.In().Pos();
    uint32_t count = ar.Count();
    d.N = AsCount(count);

    EntBlockDef.resize(static_cast<size_t>(EntBlockDefN));
    EntBlockDef.push_back(std::move(d));
    ++EntBlockDefN;
    TEntJwwBlockDef& def = EntBlockDef.back();
    ReadObjects(ar, ver, count, countAt,
                TEntLists{def.mNo, def.mLine, def.mLineN, def.mEnko, def.mEnkoN,
                          def.mTen, def.mTenN, def.mMoji, def.mMojiN,
                          def.mSunpo, def.mSunpoN, def.mSolid, def.mSolidN,
                          def.mBlock, def.mBlockN});
  }
}

}  // namespace tessa
