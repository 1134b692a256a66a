// A small model that holds every kind of item the writer knows: each
// entity kind with explicit, by-layer and by-block attributes, a block
// with a nested insert, a hidden and an unplotted layer, points drawn as
// marker inserts, paper-space viewports, texts that need care (carets,
// characters without a code, blanks only), and items every version skips.
#pragma once

#include "writer_helpers.h"

namespace tessa::testing {

inline TDXF_Line Ln(int spc, int lay, int col, int typ, int wid, double x1, double y1,
                    double x2, double y2) {
  TDXF_Line e;
  e.spc = spc, e.lay = lay, e.col = col, e.typ = typ, e.wid = wid;
  e.x1 = x1, e.y1 = y1, e.x2 = x2, e.y2 = y2;
  return e;
}

inline TDXF_Circle Ci(int lay, int col, int typ, int wid, double x, double y, double r) {
  TDXF_Circle e;
  e.lay = lay, e.col = col, e.typ = typ, e.wid = wid;
  e.x = x, e.y = y, e.r = r;
  return e;
}

inline TDXF_Arc Ar(int lay, int typ, double x, double y, double r, double sa, double da) {
  TDXF_Arc e;
  e.lay = lay, e.typ = typ;
  e.x = x, e.y = y, e.r = r, e.sa = sa, e.da = da;
  return e;
}

inline TDXF_Ellipse El(int lay, double x, double y, double r, double he, double sa,
                       double da, double ka) {
  TDXF_Ellipse e;
  e.lay = lay;
  e.x = x, e.y = y, e.r = r, e.he = he, e.sa = sa, e.da = da, e.ka = ka;
  return e;
}

inline TDXF_Ten Pt(int lay, int col, double x, double y, double a, double ba) {
  TDXF_Ten e;
  e.lay = lay, e.col = col;
  e.x = x, e.y = y, e.a = a, e.ba = ba;
  return e;
}

inline TDXF_Moji Tx(int spc, int lay, int style, bool tate, bool syat, double x1, double y1,
                    double x2, double y2, double w, double h, double a, std::u16string st) {
  TDXF_Moji e;
  e.spc = spc, e.lay = lay, e.typ = style, e.tate = tate, e.syat = syat;
  e.x1 = x1, e.y1 = y1, e.x2 = x2, e.y2 = y2, e.w = w, e.h = h, e.a = a;
  e.st = std::move(st);
  return e;
}

inline TDXF_Block In(int spc, int lay, int col, int typ, int wid, int bln, double x,
                     double y, double a, double bx, double by) {
  TDXF_Block e;
  e.spc = spc, e.lay = lay, e.col = col, e.typ = typ, e.wid = wid, e.bln = bln;
  e.x = x, e.y = y, e.a = a, e.bx = bx, e.by = by;
  return e;
}

inline TDXF_ViewPort Vp(int spc, int id, double cx, double cy, double w, double h,
                        double vx, double vy, double vh) {
  TDXF_ViewPort e;
  e.spc = spc, e.id = id;
  e.cx = cx, e.cy = cy, e.w = w, e.h = h, e.vx = vx, e.vy = vy, e.vh = vh;
  return e;
}

inline void BuildGoldenModel(TDXFmodel& m, int ver) {
  m.SetDXFVer(ver, 1);
  m.SetAppName(u"Tessaconv 図面変換");
  m.SetPap(10, 20, 400, 280, 420, 297);
  m.SetTenTransType(3, 0.5);
  m.deLgp[0].sc = 1;

  PushLtype(m, u"Continuous", u"Solid line", {});
  PushLtype(m, u"Dashed", u"Dashed __ __ __", {12.7, -6.35});
  PushLtype(m, u"DOT2", u"Dot (.5x) .....", {0, -3.175});
  PushLtype(m, u"SXF_破線", u"02 dashed -- -- --", {6, -1.5});

  PushLayer(m, u"0", 7, 1, 0, true, true);
  PushLayer(m, u"DEFPOINTS", 7, 1, 0, true, false);
  PushLayer(m, u"HOJO", 6, 3, 0, true, false);
  PushLayer(m, u"VP", 7, 1, 0, false, false);
  PushLayer(m, u"壁-1", 3, 4, 25, true, true);
  PushLayer(m, u"hidden", 5, 2, 0, false, true);

  PushStyle(m, u"Standard", u"txt", false);
  PushStyle(m, u"Annotative", u"txt.shx", false);
  PushStyle(m, u"MOJI0", u"ＭＳ ゴシック", false);
  PushStyle(m, u"MOJI0T", u"@ＭＳ ゴシック", true);

  // Block 0: the point marker (circle and cross), all by block.
  m.deBlockDef.emplace_back();
  {
    TDXF_BlockDef& b = m.deBlockDef.back();
    b.nam = u"_TRANS_TEN";
    b.IDno = -1;
    PushBlockEnt(b, b.dmCirc, DXF_KIND_CIRCLE, Ci(0, -1, -1, -1, 0, 0, 0.5));
    PushBlockEnt(b, b.dmLine, DXF_KIND_LINE, Ln(0, 0, -1, -1, -1, -0.5, 0, 0.5, 0));
    PushBlockEnt(b, b.dmLine, DXF_KIND_LINE, Ln(0, 0, -1, -1, -1, 0, 0.5, 0, -0.5));
  }
  m.tenidx = 0;
  // Block 1: a knob.
  m.deBlockDef.emplace_back();
  {
    TDXF_BlockDef& b = m.deBlockDef.back();
    b.nam = u"knob";
    b.IDno = 7;
    PushBlockEnt(b, b.dmCirc, DXF_KIND_CIRCLE, Ci(4, 0, 0, 0, 0, 0, 2));
    PushBlockEnt(b, b.dmElli, DXF_KIND_ELLIPSE, El(4, 0, 0, 3, 0.5, 0, 0, 30));
    TDXF_Solid4 s;
    s.lay = 4, s.col = 1;
    s.x1 = -1, s.y1 = -1, s.x2 = 1, s.y2 = -1, s.x3 = 1, s.y3 = 1, s.x4 = -1, s.y4 = 1;
    PushBlockEnt(b, b.dmSld4, DXF_KIND_SOLID4, s);
  }
  // Block 2: a door holding the knob and a point marker.
  m.deBlockDef.emplace_back();
  {
    TDXF_BlockDef& b = m.deBlockDef.back();
    b.nam = u"door";
    b.IDno = 8;
    PushBlockEnt(b, b.dmLine, DXF_KIND_LINE, Ln(0, 4, 0, 0, 0, 0, 0, 0, 10));
    PushBlockEnt(b, b.dmArc, DXF_KIND_ARC, Ar(4, 2, 0, 0, 10, 0, 90));
    PushBlockEnt(b, b.dmBlock, DXF_KIND_BLOCK, In(0, 4, 0, 0, 0, 1, 8, 1, 0, 1, 1));
    PushBlockEnt(b, b.dmMoji, DXF_KIND_MOJI,
                 Tx(0, 4, 3, true, true, 1, 1, 1, 6, 2, 2, 270, u"扉"));
    PushBlockEnt(b, b.dmTen, DXF_KIND_TEN, Pt(4, 0, 0, 0, 0, 1));
  }

  // Viewports first, as the layer-group set-up adds them.
  PushEnt(m, m.deVport, DXF_KIND_VPORT, Vp(1, 1, 0, 0, 420, 297, 210, 148.5, 297));
  PushEnt(m, m.deVport, DXF_KIND_VPORT, Vp(1, 2, 100, 80, 60, 40, 18400, 8000, 4000));
  PushEnt(m, m.deVport, DXF_KIND_VPORT, Vp(0, 3, 5, 5, 10, 10, 5, 5, 10));  // skipped

  PushEnt(m, m.deLine, DXF_KIND_LINE, Ln(0, 4, 0, 0, 0, 0, 0, 100, 50));
  PushEnt(m, m.deLine, DXF_KIND_LINE, Ln(0, 0, 1, 2, 35, 0, 10, 100, 60.5));
  PushEnt(m, m.deLine, DXF_KIND_LINE, Ln(0, 0, -1, -1, -1, 0, 20, 100, 70));
  PushEnt(m, m.deCirc, DXF_KIND_CIRCLE, Ci(5, 0, 0, 0, 50, 50, 10));
  PushEnt(m, m.deArc, DXF_KIND_ARC, Ar(4, 0, 100, 100, 20, 30, -90));
  PushEnt(m, m.deArc, DXF_KIND_ARC, Ar(4, 3, 100, 100, 25, 45, 180));
  PushEnt(m, m.deElli, DXF_KIND_ELLIPSE, El(4, 200, 100, 30, 0.5, 0, 0, 15));
  PushEnt(m, m.deElli, DXF_KIND_ELLIPSE, El(4, 250, 100, 10, 2, 30, 120, 10));
  PushEnt(m, m.deTen, DXF_KIND_TEN, Pt(2, 0, 10, 10, 0, 1));
  PushEnt(m, m.deTen, DXF_KIND_TEN, Pt(4, 3, 20, 10, 45, 2));
  {
    TDXF_Solid3 s;
    s.lay = 4, s.col = 2;
    s.x1 = 0, s.y1 = 0, s.x2 = 10, s.y2 = 0, s.x3 = 5, s.y3 = 8;
    PushEnt(m, m.deSld3, DXF_KIND_SOLID3, s);
    TDXF_Solid4 q;
    q.lay = 4;
    q.x1 = 0, q.y1 = 0, q.x2 = 1, q.y2 = 0, q.x3 = 1, q.y3 = 1, q.x4 = 0, q.y4 = 1;
    PushEnt(m, m.deSld4, DXF_KIND_SOLID4, q);
  }
  PushEnt(m, m.deMoji, DXF_KIND_MOJI,
          Tx(0, 4, 2, false, false, 10, 200, 40, 200, 3, 3.5, 0, u"図面 A^B é"));
  PushEnt(m, m.deMoji, DXF_KIND_MOJI,
          Tx(0, 4, 3, true, false, 50, 200, 50, 180, 5, 5, 270, u"縦書き"));
  PushEnt(m, m.deMoji, DXF_KIND_MOJI,
          Tx(0, 4, 2, false, false, 0, 0, 1, 0, 1, 1, 0, u" \u3000 "));  // skipped
  PushEnt(m, m.deMoji, DXF_KIND_MOJI,
          Tx(0, 4, 2, false, true, 60, 200, 90, 200, 2, 2.5, 15, u"slant"));
  PushEnt(m, m.deBlock, DXF_KIND_BLOCK, In(0, 4, 0, 0, 0, 2, 300, 50, 30, 2, 2));
  PushEnt(m, m.deBlock, DXF_KIND_BLOCK, In(0, 4, 0, 0, 0, -1, 0, 0, 0, 1, 1));  // skipped
  PushEnt(m, m.deBlock, DXF_KIND_BLOCK, In(0, 0, 4, 2, 18, 1, 320, 50, 1e-12, 0, 1));
  PushEnt(m, m.deLine, DXF_KIND_LINE, Ln(1, 0, 0, 0, 0, 10, 10, 410, 10));
  PushEnt(m, m.deLine, DXF_KIND_LINE, Ln(2, 0, 0, 0, 0, 10, 20, 410, 20));  // not in R12
  PushEnt(m, m.deLine, DXF_KIND_LINE, Ln(0, 4, 0, 0, 0, 1, 2, 3, 4));
}

}  // namespace tessa::testing
