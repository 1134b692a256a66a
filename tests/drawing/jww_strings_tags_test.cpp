// Counted strings (code page 932 and the UTF-16 form), counts and the
// three kinds of class tag with their running index.
#include <gtest/gtest.h>

#include "drawing/JwArchive.h"
#include "jww_test_util.h"

namespace tessa::test {
namespace {

std::u16string ReadOneStr(const std::vector<uint8_t>& b, bool clean = false) {
  TByteReader r(b);
  TJwArchive ar(r);
  return clean ? ar.StrClean() : ar.Str();
}

TEST(JwArchiveStrings, LengthForms) {
  struct Case { size_t len; size_t prefix; };
  // Below 255 one length byte; 255 and more 0xFF and a WORD; from 0xFFFE on
  // 0xFF, 0xFFFF and a DWORD.
  for (const Case c : {Case{0, 1}, Case{254, 1}, Case{255, 3}, Case{300, 3}, Case{65533, 3},
                       Case{65534, 7}, Case{70000, 7}}) {
    SCOPED_TRACE(c.len);
    std::string text(c.len, 'a');
    if (c.len) text.back() = 'z';
    TJwArchiveWriter w;
    w.StrBytes(text);
    ASSERT_EQ(w.bytes.size(), c.prefix + c.len);
    w.U8(0x42);  // what follows must still be in place
    TByteReader r(w.bytes);
    TJwArchive ar(r);
    std::u16string s = ar.Str();
    EXPECT_EQ(s.size(), c.len);
    if (c.len) {
      EXPECT_EQ(s.back(), u'z');
    }
    EXPECT_EQ(r.U8(), 0x42);
  }
}

TEST(JwArchiveStrings, HandMadeBytes) {
  struct Case { std::vector<uint8_t> bytes; std::u16string text; };
  const Case cases[] = {
      {{0x02, 0x82, 0xA0}, u"あ"},                               // code page 932
      {{0x04, 'a', 0x00, 'b', 'c'}, u"a"},                       // ends at NUL
      {{0xFF, 0x03, 0x00, 'x', 'y', 'z'}, u"xyz"},               // WORD length
      {{0xFF, 0xFE, 0xFF, 0x02, 0x42, 0x30, 'A', 0x00}, u"\u3042A"},  // UTF-16 form
      {{0xFF, 0xFE, 0xFF, 0xFF, 0x01, 0x00, 'Q', 0x00}, u"Q"},   // UTF-16, WORD length
      {{0xFF, 0xFE, 0xFF, 0x02, 'A', 0x00, 0x00, 0x00}, u"A"},   // UTF-16 ends at NUL
      {{0x05, 'a', 'b'}, u"ab"},                                 // length past the end
  };
  for (const Case& c : cases) EXPECT_EQ(ReadOneStr(c.bytes), c.text);
  EXPECT_EQ(ReadOneStr({0x04, 'a', 0x09, 0x1F, 'b'}, true), u"ab");
  EXPECT_EQ(ReadOneStr({0x04, 'a', 0x09, 0x1F, 'b'}, false), u"a\t\x1F" u"b");
}

TEST(JwArchiveStrings, EndOfDataFails) {
  for (std::vector<uint8_t> b : {std::vector<uint8_t>{}, std::vector<uint8_t>{0x03},
                                 std::vector<uint8_t>{0xFF, 0x10},
                                 std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x01},
                                 std::vector<uint8_t>{0xFF, 0xFE, 0xFF}}) {
    TByteReader r(b);
    TJwArchive ar(r);
    EXPECT_THROW(ar.Str(), TReadError);
  }
  // A DWORD length of 2 GB with three bytes behind it takes those three.
  std::vector<uint8_t> b = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b', 'c'};
  EXPECT_EQ(ReadOneStr(b), u"abc");
}

TEST(JwwStrings, WholeDrawingInUtf16Form) {
  TJwwData src = MakeJwwDrawing(700);
  src.Enthd.strMemo = u"メモ";
  src.EntLay[1].aStrLayName = u"壁";
  src.EntLgrp[0].aStrGLayName = u"平面";
  src.EntColS[5].astrUDColorName = u"朱色";
  AddMoji(src, Text(0, 0, u"日本語 text ①"));  // ① is in code page 932 too
  AddMoji(src, Text(0, 0, u"\U0001F600 ⅷ"));     // outside code page 932
  TEntJwwBlockDef& def = AddBlockDef(src, 1, u"部品");
  AddMoji(def, Text(0, 0, u"中"));
  TJwwWriteOptions o;
  o.unicodeStrings = true;
  TJwwData d;
  ASSERT_TRUE(ReadJww(d, WriteJww(src, o)));
  EXPECT_EQ(d.Enthd.strMemo, u"メモ");
  EXPECT_EQ(d.EntLay[1].aStrLayName, u"壁");
  EXPECT_EQ(d.EntLgrp[0].aStrGLayName, u"平面");
  EXPECT_EQ(d.EntColS[5].astrUDColorName, u"朱色");
  ASSERT_EQ(d.EntMojiN, 2);
  EXPECT_EQ(d.EntMoji[0].str, u"日本語 text ①");
  EXPECT_EQ(d.EntMoji[1].str, u"\U0001F600 ⅷ");
  EXPECT_EQ(d.EntBlockDef[0].strName, u"部品");
  EXPECT_EQ(d.EntBlockDef[0].mMoji[0].str, u"中");
}

TEST(JwwStrings, LongTexts) {
  for (size_t n : {254u, 255u, 256u, 1000u}) {
    SCOPED_TRACE(n);
    TJwwData src = MakeJwwDrawing(600);
    std::u16string text(n, u'x');
    text[0] = u'始';  // two bytes in code page 932
    AddMoji(src, Text(0, 0, text));
    AddLine(src, Line(1, 2, 3, 4));
    TJwwData d;
    ASSERT_TRUE(ReadJww(d, WriteJww(src)));
    ASSERT_EQ(d.EntMojiN, 1);
    EXPECT_EQ(d.EntMoji[0].str, text);
    EXPECT_EQ(d.EntLine[0].end_y, 4);
  }
}

// ---- Class tags -------------------------------------------------------------

// The same drawing with short class references (0x8000 | index) and with
// big ones (0x7FFF and a DWORD) reads the same.
TEST(JwwTags, ShortAndBigReferences) {
  TJwwData src = MakeJwwDrawing(700);
  for (int i = 0; i < 3; ++i) {
    AddLine(src, Line(i, 0, i, 1));
    AddEnko(src, Circle(i, 0, 1));
    AddTen(src, Point(i, i));
  }
  TEntJwwBlockDef& def = AddBlockDef(src, 1, u"A");
  AddTen(def, Point(5, 5));
  AddLine(def, Line(0, 0, 5, 5));
  AddBlockDef(src, 2, u"B");
  for (bool big : {false, true}) {
    SCOPED_TRACE(big);
    TJwwWriteOptions o;
    o.bigTags = big;
    TJwwData d;
    ASSERT_TRUE(ReadJww(d, WriteJww(src, o)));
    EXPECT_EQ(d.EntLineN, 3);
    EXPECT_EQ(d.EntEnkoN, 3);
    EXPECT_EQ(d.EntTenN, 3);
    ASSERT_EQ(d.EntNo.size(), 9u);
    EXPECT_EQ(d.EntNo[4].EntType, jwEntEnko);
    EXPECT_EQ(d.EntNo[4].EntNo, 1);
    ASSERT_EQ(d.EntBlockDefN, 2);
    EXPECT_EQ(d.EntBlockDef[0].mTenN, 1);
    EXPECT_EQ(d.EntBlockDef[0].mLineN, 1);
    EXPECT_EQ(d.EntBlockDef[1].strName, u"B");
  }
}

// Every object takes an index, and so does the class of the definitions
// and each definition itself (after its fields, before its entities): a
// class first seen inside a definition is referred to by the right index
// afterwards.
TEST(JwwTags, IndexesCountObjectsDefinitionsAndTheirClass) {
  TJwwData src = MakeJwwDrawing(700);
  AddLine(src, Line(0, 0, 1, 1));
  AddLine(src, Line(0, 0, 2, 2));
  TEntJwwBlockDef& a = AddBlockDef(src, 1, u"A");
  AddSolid(a, Solid(0, 0, 1, 0, 1, 1, 0, 1));   // new class inside a definition
  AddLine(a, Line(0, 0, 3, 3));                 // reference to a top-level class
  TEntJwwBlockDef& b = AddBlockDef(src, 2, u"B");
  AddSolid(b, Solid(0, 0, 2, 0, 2, 2, 0, 2));   // reference to that class
  AddMoji(b, Text(0, 0, u"t"));
  AddSolid(b, Solid(0, 0, 3, 0, 3, 3, 0, 3));
  for (bool big : {false, true}) {
    TJwwWriteOptions o;
    o.bigTags = big;
    std::vector<uint8_t> bytes = WriteJww(src, o);
    TJwwData d;
    ASSERT_TRUE(ReadJww(d, bytes));
    ASSERT_EQ(d.EntBlockDefN, 2);
    EXPECT_EQ(d.EntBlockDef[1].mSolidN, 2);
    EXPECT_EQ(d.EntBlockDef[1].mSolid[1].end_x, 3);
    EXPECT_EQ(d.EntBlockDef[1].mMojiN, 1);
  }
  // The numbering the writer used: lines 1 (class) 2 3 (objects), the
  // definition class 4, definition A 5, solids 6.
  TJwArchiveWriter w;
  WriteJwwHeader(w, src);
  WriteEntityList(w, 700, src);
  WriteBlockDefs(w, 700, src);
  EXPECT_EQ(w.ClassIndex("CDataSen"), 1u);
  EXPECT_EQ(w.ClassIndex("CDataList"), 4u);
  EXPECT_EQ(w.ClassIndex("CDataSolid"), 6u);
}

// Tags that name no entity class end the list with a failure; what came
// before stays.
TEST(JwwTags, UnknownOrDanglingTagsFail) {
  TJwwData src = MakeJwwDrawing(700);
  AddLine(src, Line(1, 1, 2, 2));
  struct Case { const char* what; std::vector<uint8_t> tag; };
  const Case cases[] = {
      {"unknown class name", {0xFF, 0xFF, 0, 0, 5, 0, 'C', 'D', 'a', 't', 'a'}},
      {"object reference", {0x01, 0x00}},
      {"class index never given", {0x09, 0x80}},
      {"index of an object, not a class", {0x02, 0x80}},
      {"big tag with an unknown index", {0xFF, 0x7F, 0x50, 0, 0, 0x80}},
      {"index zero", {0x00, 0x80}},
      {"end of data", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TJwArchiveWriter w;
    WriteJwwHeader(w, src);
    w.Count(3);
    WriteEntity(w, 700, src, jwEntLine, 0);
    if (!c.tag.empty()) {  // else the data ends where the next tag should be
      w.bytes.insert(w.bytes.end(), c.tag.begin(), c.tag.end());
      w.Zeros(47);  // data a line would have
      w.Count(0);
      w.U32(0);
    }
    TJwwData d;
    EXPECT_FALSE(ReadJww(d, w.bytes));
    EXPECT_EQ(d.EntLineN, 1);
    EXPECT_EQ(d.EntLine[0].end_x, 2);
  }
}

// The class name of a definition is not checked.
TEST(JwwTags, DefinitionClassNameIsFree) {
  TJwwData src = MakeJwwDrawing(600);
  TEntJwwBlockDef& def = AddBlockDef(src, 1, u"A");
  AddLine(def, Line(0, 0, 1, 1));
  AddBlockDef(src, 2, u"B");
  TJwwWriteOptions o;
  o.blockDefClass = "CSomethingElse";
  TJwwData d;
  ASSERT_TRUE(ReadJww(d, WriteJww(src, o)));
  EXPECT_EQ(d.EntBlockDefN, 2);
}

}  // namespace
}  // namespace tessa::test
