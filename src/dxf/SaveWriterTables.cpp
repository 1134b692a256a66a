// DXF writer: the TABLES section.
#include "dxf/SaveWriter.h"
#include "dxf/SaveWriterCodes.h"

namespace tessa {

namespace {

class TTablesWriter : TDXFSectionWriter {
 public:
  explicit TTablesWriter(TDXFWriter& s) : TDXFSectionWriter(s) {}

  void Write() {
    BeginSection("TABLES");
    Vport();
    Ltype();
    Layer();
    Style();
    Empty("VIEW");
    Empty("UCS");
    Appid();
    Dimstyle();
    if (v_.HasBlockRecords()) BlockRecord();
    EndSection();
  }

 private:
  void Begin(const char* name, int32_t count) {
    w_.Ascii(0, "TABLE");
    w_.Ascii(2, name);
    if (v_.TableHandles()) {
      table_ = NewHandle();
      w_.Handle(5, table_);
      w_.Ascii(330, "0");
      w_.Ascii(100, "AcDbSymbolTable");
    }
    w_.Int(70, count);
  }

  void End() { w_.Ascii(0, "ENDTAB"); }

  void Record(const char* type, const char* subclass, int handleCode = 5) {
    w_.Ascii(0, type);
    if (!v_.TableHandles()) return;
    w_.Handle(handleCode, NewHandle());
    w_.Handle(330, table_);
    w_.Ascii(100, "AcDbSymbolTableRecord");
    w_.Ascii(100, subclass);
  }

  void Empty(const char* name) {
    Begin(name, 0);
    End();
  }

  void Vport() {
    Begin("VPORT", 1);
    Record("VPORT", "AcDbViewportTableRecord");
    w_.Name(2, u"*Active");
    w_.Int(70, 0);
    Pair(10, 0.0, 0.0);
    Pair(11, 1.0, 1.0);
    Pair(12, s_.views.viewX, s_.views.viewY);
    Pair(13, 0.0, 0.0);
    Pair(14, 10.0, 10.0);
    Pair(15, 10.0, 10.0);
    w_.XYZn(6, 0.0, 0.0, 1.0);
    w_.XYZn(7, 0.0, 0.0, 0.0);
    w_.Real(40, s_.views.viewH);
    // A paper without height has no proportion to keep.
    w_.Real(41, m_.papy == 0 ? 1.0 : m_.papx / m_.papy);
    w_.Real(42, 50.0);
    w_.Real(43, 0.0);
    w_.Real(44, 0.0);
    w_.Real(50, 0.0);
    w_.Real(51, 0.0);
    static const int32_t k7x[] = {0, 1000, 1, 3, 0, 0, 0, 0};
    for (int i = 0; i < 8; ++i) w_.Int(71 + i, k7x[i]);
    if (v_.Modern()) {
      w_.Int(281, 0);
      w_.Int(65, 1);
      WorldUcs();
    }
    if (v_.R2007()) {
      w_.Ascii(348, "F5");
      w_.Int(60, 2);
      w_.Int(61, 5);
      w_.Int(292, 1);
      w_.Int(282, 1);
      w_.Real(141, 0.0);
      w_.Real(142, 0.0);
      w_.Int(63, 250);
      w_.Ascii(421, "  3355443");
    }
    End();
  }

  void Ltype() {
    Begin("LTYPE", m_.ltpn());
    if (v_.Modern()) {
      for (const char16_t* n : {u"ByBlock", u"ByLayer"}) {
        Record("LTYPE", "AcDbLinetypeTableRecord");
        w_.Text(2, n);
        w_.Int(70, 0);
        w_.Ascii(3, "");
        w_.Int(72, 65);
        w_.Int(73, 0);
        w_.Real(40, 0.0);
      }
    }
    for (const TDXF_Ltype& t : m_.ltps) {
      Record("LTYPE", "AcDbLinetypeTableRecord");
      w_.Name(2, t.nam);
      w_.Int(70, 0);
      w_.Text(3, t.exp);
      w_.Int(72, 65);
      w_.Int(73, t.n());
      w_.Real(40, t.pl);
      for (double e : t.pt) {
        w_.Real(49, e);
        if (v_.Modern()) w_.Int(74, 0);
      }
    }
    End();
  }

  // Name of the line type at a 1-based position; the first one for an
  // index past the list.
  std::u16string_view LtypeName(int32_t idx) const {
    if (m_.ltps.empty()) return u"Continuous";
    if (idx < 1 || idx > m_.ltpn()) idx = 1;
    return m_.ltps[static_cast<size_t>(idx - 1)].nam;
  }

  void Layer() {
    Begin("LAYER", m_.layn());
    for (const TDXF_Layer& l : m_.lays) {
      Record("LAYER", "AcDbLayerTableRecord");
      w_.Text(2, l.nam);
      w_.Int(70, 0);
      w_.Int(62, l.dsp ? l.col : -l.col);
      w_.Name(6, LtypeName(l.ltp));
      if (!l.prn) w_.Int(290, 0);
      w_.Int(370, l.wid == 0 ? -3 : l.wid);
      w_.Ascii(390, "1");
    }
    End();
  }

  void Style() {
    Begin("STYLE", m_.mstn());
    styleTable_ = table_;
    for (size_t i = 0; i < m_.msts.size(); ++i) {
      const TDXF_Style& s = m_.msts[i];
      Record("STYLE", "AcDbTextStyleTableRecord");
      w_.Name(2, s.nam);
      w_.Int(70, s.fla ? 4 : 0);
      w_.Real(40, s.mh);
      w_.Real(41, s.mw);
      w_.Real(50, s.ang);
      w_.Int(71, 0);
      w_.Real(42, s.mhl);
      w_.Name(3, s.fo1);
      w_.Name(4, s.fo2);
      if (i == 1 && v_.Modern()) AnnotativeXData();
    }
    End();
  }

  void AnnotativeXData() {
    w_.Ascii(1001, "AcadAnnotative");
    w_.Ascii(1000, "AnnotativeData");
    w_.Ascii(1002, "{");
    w_.Int(1070, 1);
    w_.Int(1070, 1);
    w_.Ascii(1002, "}");
  }

  void Appid() {
    Begin("APPID", 7);
    for (const char16_t* n :
         {u"ACAD", u"ACAD_PSEXT", u"AcadAnnoPO", u"AcadAnnotative",
          u"ACAD_DSTYLE_DIMJAG", u"ACAD_DSTYLE_DIMTALN", u"ACAD_MLEADERVER"}) {
      Record("APPID", "AcDbRegAppTableRecord");
      w_.Name(2, n);
      w_.Int(70, 0);
    }
    End();
  }

  void Dimstyle() {
    Begin("DIMSTYLE", 2);
    if (v_.Modern()) {
      w_.Ascii(100, "AcDbDimStyleTable");
      w_.Int(71, 2);
      w_.Handle(340, static_cast<uint32_t>(s_.DXFHnd));
      w_.Handle(340, static_cast<uint32_t>(s_.DXFHnd + 1));
    }
    DimstyleRecord(false);
    DimstyleRecord(true);
    End();
  }

  // The "Standard" text style is the first STYLE record.
  uint32_t StandardStyleHandle() const {
    return m_.mstn() > 0 ? styleTable_ + 1 : styleTable_;
  }

  void DimstyleRecord(bool annotative) {
    const bool r12 = v_.IsR12();
    Record("DIMSTYLE", "AcDbDimStyleTableRecord", 105);
    if (annotative)
      w_.Name(2, u"Annotative");
    else
      w_.Ascii(2, "ISO-25");
    w_.Int(70, 0);
    if (r12)
      for (int c = 3; c <= 7; ++c) w_.Ascii(c, "");
    if (annotative)
      w_.Ascii(40, "0.0");
    else if (r12)
      w_.Ascii(40, "1.0");
    w_.Ascii(41, "2.5");
    w_.Ascii(42, "0.625");
    w_.Ascii(43, "3.75");
    w_.Ascii(44, "1.25");
    if (r12) {
      for (int c = 45; c <= 48; ++c) w_.Ascii(c, "0.0");
    } else {
      w_.Int(73, 0);
      w_.Int(74, 0);
      w_.Int(77, 1);
      w_.Int(78, 8);
    }
    w_.Ascii(140, "2.5");
    w_.Ascii(141, "2.5");
    if (r12) w_.Ascii(142, annotative ? "2.5" : "0.03937007874016");
    w_.Ascii(143, annotative ? "0.03937007874016" : "2.5");
    if (r12) {
      w_.Ascii(144, "1.0");
      w_.Ascii(145, "0.0");
      w_.Ascii(146, "1.0");
    }
    w_.Ascii(147, "0.625");
    if (r12) {
      static const int32_t k7x[] = {0, 0, 0, 0, 0, 0, 1, 8};
      for (int i = 0; i < 8; ++i) w_.Int(71 + i, k7x[i]);
      static const int32_t k17x[] = {0, 3, 1, 0, 0, 0, 0, 0, 0};
      for (int i = 0; i < 9; ++i) w_.Int(170 + i, k17x[i]);
      return;
    }
    w_.Int(171, 3);
    w_.Int(172, 1);
    w_.Int(271, 2);
    w_.Int(272, 2);
    w_.Int(274, 3);
    w_.Int(278, 44);
    w_.Int(283, 0);
    w_.Int(284, 8);
    w_.Handle(340, StandardStyleHandle());
    if (!annotative) return;
    AnnotativeXData();
    w_.Ascii(1001, "ACAD_DSTYLE_DIMJAG");
    w_.Int(1070, 388);
    w_.Ascii(1040, "1.5");
    w_.Ascii(1001, "ACAD_DSTYLE_DIMTALN");
    w_.Int(1070, 392);
    w_.Int(1070, 0);
  }

  void BlockRecord() {
    Begin("BLOCK_RECORD", 2);
    s_.hn_blk = static_cast<int32_t>(table_);
    static const char16_t* const kSpaces[] = {u"*Model_Space", u"*Paper_Space",
                                              u"*Paper_Space0"};
    static const char* const kLayouts[] = {"2", "3", "4"};
    for (int k = 0; k < 3; ++k) BlockRecordEntry(kSpaces[k], kLayouts[k]);
    for (const TDXF_BlockDef& b : m_.deBlockDef) BlockRecordEntry(b.nam, "0");
    End();
  }

  void BlockRecordEntry(std::u16string_view name, const char* layout) {
    Record("BLOCK_RECORD", "AcDbBlockTableRecord");
    w_.Text(2, name);
    w_.Ascii(340, layout);
    if (v_.R2007()) {
      w_.Int(70, 0);
      w_.Int(280, 1);
      w_.Int(281, 0);
    }
  }

  uint32_t table_ = 0;
  uint32_t styleTable_ = 0;
};

}  // namespace

void TDXFWriter::PutTables() { TTablesWriter(*this).Write(); }

}  // namespace tessa
