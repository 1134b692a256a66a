// DXF writer: the file as a whole, the leading comment, HEADER and CLASSES.
#include "dxf/SaveWriter.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <initializer_list>
#include <new>

#include "dxf/SaveWriterCodes.h"
#include "dxf/SaveWriterOut.h"

namespace tessa {

namespace {

// Handles 1 to 4 are fixed: the plot-style placeholder and three layouts.
constexpr int32_t kFirstFreeHandle = 5;

// Julian date of 30 December 1899 00:00, the zero of TDateTime.
constexpr double kJulianOfDateZero = 2415018.5;

// Universal time is the local time minus nine hours.
constexpr double kUtcOffsetDays = 0.375;

class THeaderWriter {
 public:
  explicit THeaderWriter(TDXFGroupWriter& w) : w_(w) {}

  void Int(std::initializer_list<const char*> names, int code, int32_t v) {
    for (const char* n : names) {
      Var(n);
      w_.Int(code, v);
    }
  }
  void Real(std::initializer_list<const char*> names, int code, double x) {
    for (const char* n : names) {
      Var(n);
      w_.Real(code, x);
    }
  }
  void Ascii(std::initializer_list<const char*> names, int code,
             const char* value) {
    for (const char* n : names) {
      Var(n);
      w_.Ascii(code, value);
    }
  }
  void Name(const char* name, int code, std::u16string_view value) {
    Var(name);
    w_.Name(code, value);
  }
  void Point3(std::initializer_list<const char*> names, double x, double y,
              double z) {
    for (const char* n : names) {
      Var(n);
      w_.XYZ(x, y, z);
    }
  }
  void Point2(const char* name, double x, double y) {
    Var(name);
    w_.XY(x, y);
  }
  void Handle(const char* name, int code, uint32_t h) {
    Var(name);
    w_.Handle(code, h);
  }

 private:
  void Var(const char* name) { w_.Ascii(9, name); }
  TDXFGroupWriter& w_;
};

}  // namespace

int32_t DXFHandSeed(const TDXFmodel& m, const TDXFVersion& v) {
  int64_t h = kFirstFreeHandle;
  if (v.TableHandles()) {
    // VPORT 2, LTYPE 3, LAYER 1, STYLE 1, VIEW 1, UCS 1, APPID 8,
    // DIMSTYLE 3, BLOCK_RECORD 4: frames, fixed records and the model's.
    h += int64_t{m.ltpn()} + m.layn() + m.mstn() + m.deBlockDefN() + 24;
  }
  h += 6;  // begin and end of the three space blocks
  for (const TDXF_BlockDef& b : m.deBlockDef) h += int64_t{b.dmNoN()} + 2;
  h += m.deNoN();
  if (v.HasObjects()) h += 5;  // the dictionaries of OBJECTS
  return static_cast<int32_t>(h);
}

double DXFHeaderScale(const TDXFmodel& m) {
  if (m.Spa == 0 || m.deLgp.empty()) return m.pscale;
  return m.deLgp[0].sc;
}

double DXFJulianDate(TDateTime t) { return t + kJulianOfDateZero; }

namespace {

TDXFWriteResult Failure(std::string message) {
  TDXFWriteResult r;
  r.code = kDXFWriteFailed;
  r.message = std::move(message);
  return r;
}

}  // namespace

void TDXFWriter::Write() {
  DXFHnd = kFirstFreeHandle;
  PutComment(model.AppNam);
  PutHeader();
  PutClasses();
  PutTables();
  PutBlocks();
  PutEntities();
  PutObjects();
  PutEOF();
}

TDXFWriteResult WriteToSink(TDXFSink& out, const char* kind,
                            const std::function<bool(TDXFWriteResult&)>& write) {
  TDXFWriteResult r;
  const std::string file = std::string(kind) + " file";
  try {
    if (!write(r)) {
      r = Failure(out.Error().empty() ? "the output did not take every byte" : out.Error());
    } else if (!out.Finish()) {
      r = Failure(out.Error().empty() ? "the output could not be completed" : out.Error());
    } else {
      r.ok = true;
    }
  } catch (const std::bad_alloc&) {
    r = Failure("out of memory while writing the " + file);
  } catch (const std::exception& e) {
    r = Failure("writing the " + file + " failed: " + e.what());
  } catch (...) {
    r = Failure("writing the " + file + " failed");
  }
  if (!r.ok) out.Abort();
  return r;
}

TDXFWriteResult WriteToFile(const std::string& dst, bool replace,
                            const std::function<TDXFWriteResult(TDXFSink&)>& write) {
  TDXFAtomicFile file;
  if (!file.Open(dst, replace)) return Failure(file.Error());
  TDXFWriteResult r = write(file);
  if (!r && file.TargetExists()) r.code = kDXFOutputExists;
  return r;
}

TDXFWriteResult SaveDXF(const TDXFmodel& m, const std::string& src, TDXFSink& out,
                        const TDXFWriteOptions& opt) {
  return WriteToSink(out, "DXF", [&](TDXFWriteResult& r) {
    const TDXFVersion v(m.Ver);
    TDXFGroupWriter w(out, v);
    TDXFWriter writer(m, v, w, src, opt);
    writer.Write();
    r.nextHandle = writer.DXFHnd;
    r.tally = writer.tally;
    return w.Finish();
  });
}

TDXFWriteResult SaveDXFFile(const TDXFmodel& m, const std::string& src, const std::string& dst,
                            const TDXFWriteOptions& opt) {
  return WriteToFile(dst, opt.replace, [&](TDXFSink& out) { return SaveDXF(m, src, out, opt); });
}

bool SaveDXF(const TDXFmodel& m, const std::string& src, const std::string& dst) {
  return SaveDXFFile(m, src, dst).ok;
}

namespace {

// The sheet (0, 0) - (w, h); its corner alone when a size is not finite.
TDXFBox Sheet(double w, double h) {
  TDXFBox b;
  b.Add(0, 0);
  b.Add(w, h);
  return b;
}

}  // namespace

TDXFViews DXFViews(const TDXFmodel& m) {
  const double S = DXFHeaderScale(m);
  const TDXFBox modelSheet = Sheet(S * m.papx, S * m.papy), paperSheet = Sheet(m.papx, m.papy);
  const auto drawn = TDXFExtents(m).Spaces();
  TDXFViews r;
  for (size_t i = 0; i < r.space.size(); ++i) {
    const TDXFBox& sheet = i == 0 ? modelSheet : paperSheet;
    r.space[i] = drawn[i].Empty() ? sheet : drawn[i];
  }
  r.paperLimits = m.sheet ? paperSheet : r.space[1];
  // The view keeps the paper's proportion and shows all of model space
  // with a small margin; a space of no size shows its sheet.
  const TDXFBox& b = r.space[0];
  const double aspect = m.papx > 0 && m.papy > 0 && std::isfinite(m.papx / m.papy)
                            ? m.papx / m.papy
                            : 1.0;
  r.viewX = b.x1 / 2 + b.x2 / 2;
  r.viewY = b.y1 / 2 + b.y2 / 2;
  r.viewH = std::max(b.Height(), b.Width() / aspect) * 1.05;
  if (!(r.viewH > 0) || !std::isfinite(r.viewH)) r.viewH = modelSheet.Height();
  if (!(r.viewH > 0)) r.viewH = 1;
  return r;
}

void TDXFWriter::PutComment(std::u16string_view s) { st.Text(999, s); }

void TDXFWriter::PutHeader() {
  const TDXFVersion& v = ver;
  TDXFGroupWriter& w = st;
  THeaderWriter H(w);
  const double S = DXFHeaderScale(model);
  const double C = DXFJulianDate(FileCreateTime(srcName));
  const double U = DXFJulianDate(FileWriteTime(srcName));
  const bool r12 = v.IsR12(), m15 = v.Modern(), r21 = v.R2007();

  w.Ascii(0, "SECTION");
  w.Ascii(2, "HEADER");
  H.Ascii({"$ACADVER"}, 1, v.AcadVer());
  if (m15) H.Int({"$ACADMAINTVER"}, 70, v.MaintVer());
  H.Ascii({"$DWGCODEPAGE"}, 3, "ANSI_932");
  if (r21) H.Ascii({"$LASTSAVEDBY"}, 1, "Morvex");
  H.Point3({"$INSBASE"}, 0.0, 0.0, 0.0);
  const TDXFBox& ext = views.space[0];
  H.Point3({"$EXTMIN"}, ext.x1, ext.y1, 0.0);
  H.Point3({"$EXTMAX"}, ext.x2, ext.y2, 0.0);
  H.Point2("$LIMMIN", 0.0, 0.0);
  H.Point2("$LIMMAX", S * model.papx, S * model.papy);
  H.Int({"$ORTHOMODE"}, 70, 0);
  H.Int({"$REGENMODE", "$FILLMODE"}, 70, 1);
  H.Int({"$QTEXTMODE", "$MIRRTEXT"}, 70, 0);
  if (r12) H.Int({"$DRAGMODE"}, 70, 2);
  H.Real({"$LTSCALE"}, 40, S);
  if (r12) H.Int({"$OSMODE"}, 70, 37);
  H.Int({"$ATTMODE"}, 70, 1);
  H.Real({"$TEXTSIZE"}, 40, 2.5);
  H.Real({"$TRACEWID"}, 40, 1.0);
  H.Name("$TEXTSTYLE", 7, u"Standard");
  H.Ascii({"$CLAYER"}, 8, "0");
  H.Name("$CELTYPE", 6, u"ByLayer");
  H.Int({"$CECOLOR"}, 62, 256);
  if (m15) H.Real({"$CELTSCALE"}, 40, 1.0);
  if (m15) H.Int({"$DISPSILH"}, 70, 0);
  H.Real({"$DIMSCALE"}, 40, 1.0);
  H.Real({"$DIMASZ"}, 40, 2.5);
  H.Real({"$DIMEXO"}, 40, 0.625);
  H.Real({"$DIMDLI"}, 40, 3.75);
  H.Real({"$DIMRND", "$DIMDLE"}, 40, 0.0);
  H.Real({"$DIMEXE"}, 40, 1.25);
  H.Real({"$DIMTP", "$DIMTM"}, 40, 0.0);
  H.Real({"$DIMTXT", "$DIMCEN"}, 40, 2.5);
  H.Real({"$DIMTSZ"}, 40, 0.0);
  H.Int({"$DIMTOL", "$DIMLIM", "$DIMTIH", "$DIMTOH", "$DIMSE1", "$DIMSE2"}, 70, 0);
  H.Int({"$DIMTAD"}, 70, 1);
  H.Int({"$DIMZIN"}, 70, 8);
  H.Ascii({"$DIMBLK"}, 1, "");
  H.Int({"$DIMASO", "$DIMSHO"}, 70, 1);
  H.Ascii({"$DIMPOST", "$DIMAPOST"}, 1, "");
  H.Int({"$DIMALT"}, 70, 0);
  H.Int({"$DIMALTD"}, 70, 3);
  H.Real({"$DIMALTF"}, 40, 0.03937007874016);
  H.Real({"$DIMLFAC"}, 40, 1.0);
  H.Int({"$DIMTOFL"}, 70, 1);
  H.Real({"$DIMTVP"}, 40, 0.0);
  H.Int({"$DIMTIX", "$DIMSOXD", "$DIMSAH"}, 70, 0);
  H.Ascii({"$DIMBLK1", "$DIMBLK2"}, 1, "");
  H.Ascii({"$DIMSTYLE"}, 2, "ISO-25");
  H.Int({"$DIMCLRD", "$DIMCLRE", "$DIMCLRT"}, 70, 0);
  H.Real({"$DIMTFAC"}, 40, 1.0);
  H.Real({"$DIMGAP"}, 40, 0.625);
  if (m15) {
    H.Int({"$DIMJUST", "$DIMSD1", "$DIMSD2", "$DIMTOLJ"}, 70, 0);
    H.Int({"$DIMTZIN"}, 70, 8);
    H.Int({"$DIMALTZ", "$DIMALTTZ", "$DIMUPT"}, 70, 0);
    H.Int({"$DIMDEC", "$DIMTDEC", "$DIMALTU"}, 70, 2);
    H.Int({"$DIMALTTD"}, 70, 3);
    H.Ascii({"$DIMTXSTY"}, 7, "Standard");
    H.Int({"$DIMAUNIT", "$DIMADEC"}, 70, 0);
    H.Real({"$DIMALTRND"}, 40, 0.0);
    H.Int({"$DIMAZIN"}, 70, 0);
    H.Int({"$DIMDSEP"}, 70, 44);
    H.Int({"$DIMATFIT"}, 70, 3);
    H.Int({"$DIMFRAC"}, 70, 0);
    H.Ascii({"$DIMLDRBLK"}, 1, "");
    H.Int({"$DIMLUNIT"}, 70, 2);
    H.Int({"$DIMLWD", "$DIMLWE"}, 70, -2);
    H.Int({"$DIMTMOVE"}, 70, 0);
  }
  if (r21) {
    H.Real({"$DIMFXL"}, 40, 1.0);
    H.Int({"$DIMFXLON"}, 70, 0);
    H.Real({"$DIMJOGANG"}, 40, 0.78539816339744830962);
    H.Int({"$DIMTFILL", "$DIMTFILLCLR", "$DIMARCSYM"}, 70, 0);
    H.Ascii({"$DIMLTYPE", "$DIMLTEX1", "$DIMLTEX2"}, 6, "");
  }
  H.Int({"$LUNITS"}, 70, 2);
  H.Int({"$LUPREC"}, 70, 4);
  H.Real({"$SKETCHINC"}, 40, 1.0);
  H.Real({"$FILLETRAD"}, 40, 0.0);
  H.Int({"$AUNITS", "$AUPREC"}, 70, 0);
  H.Ascii({"$MENU"}, 1, ".");
  H.Real({"$ELEVATION", "$PELEVATION", "$THICKNESS"}, 40, 0.0);
  H.Int({"$LIMCHECK"}, 70, 0);
  if (r12) H.Int({"$BLIPMODE"}, 70, 0);
  H.Real({"$CHAMFERA", "$CHAMFERB"}, 40, 0.0);
  if (m15) H.Real({"$CHAMFERC", "$CHAMFERD"}, 40, 0.0);
  H.Int({"$SKPOLY"}, 70, 0);
  H.Real({"$TDCREATE"}, 40, C);
  if (m15) H.Real({"$TDUCREATE"}, 40, C - kUtcOffsetDays);
  H.Real({"$TDUPDATE"}, 40, U);
  if (m15) H.Real({"$TDUUPDATE"}, 40, U - kUtcOffsetDays);
  H.Real({"$TDINDWG"}, 40, U - C);
  H.Real({"$TDUSRTIMER"}, 40, U - C);
  H.Int({"$USRTIMER"}, 70, 1);
  H.Real({"$ANGBASE"}, 50, 0.0);
  H.Int({"$ANGDIR", "$PDMODE"}, 70, 0);
  H.Real({"$PDSIZE", "$PLINEWID"}, 40, 0.0);
  if (r12) H.Int({"$COORDS"}, 70, 1);
  H.Int({"$SPLFRAME"}, 70, 0);
  H.Int({"$SPLINETYPE"}, 70, 6);
  H.Int({"$SPLINESEGS"}, 70, 8);
  if (r12) {
    H.Int({"$ATTDIA"}, 70, 0);
    H.Int({"$ATTREQ", "$HANDLING"}, 70, 1);
  }
  H.Handle("$HANDSEED", 5, static_cast<uint32_t>(DXFHandSeed(model, ver)));
  H.Int({"$SURFTAB1", "$SURFTAB2", "$SURFTYPE", "$SURFU", "$SURFV"}, 70, 6);
  if (m15) H.Ascii({"$UCSBASE"}, 2, "");
  H.Ascii({"$UCSNAME"}, 2, "");
  H.Point3({"$UCSORG"}, 0.0, 0.0, 0.0);
  H.Point3({"$UCSXDIR"}, 1.0, 0.0, 0.0);
  H.Point3({"$UCSYDIR"}, 0.0, 1.0, 0.0);
  if (m15) {
    H.Ascii({"$UCSORTHOREF"}, 2, "");
    H.Int({"$UCSORTHOVIEW"}, 70, 0);
    H.Point3({"$UCSORGTOP", "$UCSORGBOTTOM", "$UCSORGLEFT", "$UCSORGRIGHT",
              "$UCSORGFRONT", "$UCSORGBACK"},
             0.0, 0.0, 0.0);
    H.Ascii({"$PUCSBASE"}, 2, "");
  }
  H.Ascii({"$PUCSNAME"}, 2, "");
  H.Point3({"$PUCSORG"}, 0.0, 0.0, 0.0);
  H.Point3({"$PUCSXDIR"}, 1.0, 0.0, 0.0);
  H.Point3({"$PUCSYDIR"}, 0.0, 1.0, 0.0);
  if (m15) {
    H.Ascii({"$PUCSORTHOREF"}, 2, "");
    H.Int({"$PUCSORTHOVIEW"}, 70, 0);
    H.Point3({"$PUCSORGTOP", "$PUCSORGBOTTOM", "$PUCSORGLEFT",
              "$PUCSORGRIGHT", "$PUCSORGFRONT", "$PUCSORGBACK"},
             0.0, 0.0, 0.0);
  }
  H.Int({"$USERI1", "$USERI2", "$USERI3", "$USERI4", "$USERI5"}, 70, 0);
  H.Real({"$USERR1", "$USERR2", "$USERR3", "$USERR4", "$USERR5"}, 40, 0.0);
  H.Int({"$WORLDVIEW"}, 70, 1);
  H.Int({"$SHADEDGE"}, 70, 3);
  H.Int({"$SHADEDIF"}, 70, 70);
  // A layout file opens on its sheet.
  H.Int({"$TILEMODE"}, 70, model.Spa == 1 ? 0 : 1);
  H.Int({"$MAXACTVP"}, 70, 64);
  if (m15) H.Point3({"$PINSBASE"}, 0.0, 0.0, 0.0);
  H.Int({"$PLIMCHECK"}, 70, 0);
  const TDXFBox& pext = views.space[1];
  H.Point3({"$PEXTMIN"}, pext.x1, pext.y1, 0.0);
  H.Point3({"$PEXTMAX"}, pext.x2, pext.y2, 0.0);
  H.Point2("$PLIMMIN", views.paperLimits.x1, views.paperLimits.y1);
  H.Point2("$PLIMMAX", views.paperLimits.x2, views.paperLimits.y2);
  H.Int({"$UNITMODE"}, 70, 0);
  H.Int({"$VISRETAIN"}, 70, 1);
  H.Int({"$PLINEGEN"}, 70, 0);
  H.Int({"$PSLTSCALE"}, 70, 1);
  if (m15) {
    H.Int({"$TREEDEPTH"}, 70, 3020);
    H.Ascii({"$CMLSTYLE"}, 2, "Standard");
    H.Int({"$CMLJUST"}, 70, 0);
    H.Real({"$CMLSCALE"}, 40, 20.0);
    H.Int({"$PROXYGRAPHICS", "$MEASUREMENT"}, 70, 1);
    H.Int({"$CELWEIGHT"}, 370, -1);
    H.Int({"$ENDCAPS", "$JOINSTYLE"}, 280, 0);
    H.Int({"$LWDISPLAY"}, 290, 0);
    H.Int({"$INSUNITS"}, 70, 4);
    H.Ascii({"$HYPERLINKBASE", "$STYLESHEET"}, 1, "");
    H.Int({"$XEDIT"}, 290, 1);
    H.Int({"$CEPSNTYPE"}, 380, 0);
    H.Int({"$PSTYLEMODE"}, 290, 1);
    H.Ascii({"$FINGERPRINTGUID"}, 2, "{6019E739-C788-4E54-93F8-ECD6D3CB3CA4}");
    H.Ascii({"$VERSIONGUID"}, 2, "{B40E65E2-8CF7-4087-AAED-9AA55CE0143C}");
    H.Int({"$EXTNAMES"}, 290, 1);
    H.Real({"$PSVPSCALE"}, 40, 0.0);
    H.Int({"$OLESTARTUP"}, 290, 0);
  }
  if (r21) {
    H.Int({"$SORTENTS"}, 280, 127);
    H.Int({"$INDEXCTL"}, 280, 0);
    H.Int({"$HIDETEXT"}, 280, 1);
    H.Int({"$XCLIPFRAME"}, 290, 0);
    H.Int({"$HALOGAP"}, 280, 0);
    H.Int({"$OBSCOLOR"}, 70, 257);
    H.Int({"$OBSLTYPE", "$INTERSECTIONDISPLAY"}, 280, 0);
    H.Int({"$INTERSECTIONCOLOR"}, 70, 257);
    H.Int({"$DIMASSOC"}, 280, 2);
    H.Ascii({"$PROJECTNAME"}, 1, "");
    H.Int({"$CAMERADISPLAY"}, 290, 0);
    H.Real({"$LENSLENGTH"}, 40, 50.0);
    H.Real({"$CAMERAHEIGHT"}, 40, 0.0);
    H.Real({"$STEPSPERSEC"}, 40, 2.0);
    H.Real({"$STEPSIZE"}, 40, 6.0);
    H.Real({"$3DDWFPREC"}, 40, 2.0);
    H.Real({"$PSOLWIDTH"}, 40, 5.0);
    H.Real({"$PSOLHEIGHT"}, 40, 80.0);
    H.Real({"$LOFTANG1", "$LOFTANG2"}, 40, 1.570796326794896);
    H.Real({"$LOFTMAG1", "$LOFTMAG2"}, 40, 0.0);
    H.Int({"$LOFTPARAM"}, 70, 7);
    H.Int({"$LOFTNORMALS"}, 280, 1);
    H.Real({"$LATITUDE"}, 40, 37.795);
    H.Real({"$LONGITUDE"}, 40, -122.394);
    H.Real({"$NORTHDIRECTION"}, 40, 0.0);
    H.Int({"$TIMEZONE"}, 70, -8000);
    H.Int({"$LIGHTGLYPHDISPLAY", "$TILEMODELIGHTSYNCH"}, 280, 1);
    H.Ascii({"$CMATERIAL"}, 347, "EC");
    H.Int({"$SOLIDHIST", "$SHOWHIST"}, 280, 1);
    H.Int({"$DWFFRAME"}, 280, 2);
    H.Int({"$DGNFRAME"}, 280, 0);
    H.Int({"$REALWORLDSCALE"}, 290, 1);
    H.Int({"$INTERFERECOLOR"}, 62, 1);
    H.Ascii({"$INTERFEREOBJVS"}, 345, "F9");
    H.Ascii({"$INTERFEREVPVS"}, 346, "F6");
    H.Int({"$CSHADOW"}, 280, 0);
    H.Real({"$SHADOWPLANELOCATION"}, 40, 0.0);
  }
  w.Ascii(0, "ENDSEC");
}

void TDXFWriter::PutClass(std::u16string_view rec, std::u16string_view cls,
                         int32_t flags, int32_t count) {
  const TDXFVersion& v = ver;
  TDXFGroupWriter& w = st;
  w.Ascii(0, "CLASS");
  w.Text(1, rec);
  w.Text(2, cls);
  w.Ascii(3, "ObjectDBX Classes");
  w.Int9(90, flags);
  if (v.ClassInstanceCounts()) w.Int9(91, count);
  w.Int(280, 0);
  w.Int(281, 0);
}

void TDXFWriter::PutClasses() {
  const TDXFVersion& v = ver;
  if (!v.HasClasses()) return;
  struct Row {
    const char16_t* rec;
    const char16_t* cls;
    int32_t flags, count;
    bool onlyR2000;
  };
  static const Row kRows[] = {
      {u"ACDBDICTIONARYWDFLT", u"AcDbDictionaryWithDefault", 0, 1, false},
      {u"ACDBPLACEHOLDER", u"AcDbPlaceHolder", 0, 0, true},
      {u"LAYOUT", u"AcDbLayout", 0, 0, true},
      {u"DICTIONARYVAR", u"AcDbDictionaryVar", 0, 5, false},
      {u"TABLESTYLE", u"AcDbTableStyle", 4095, 1, false},
      {u"MATERIAL", u"AcDbMaterial", 1153, 3, false},
      {u"VISUALSTYLE", u"AcDbVisualStyle", 4095, 16, false},
      {u"SCALE", u"AcDbScale", 1153, 33, false},
      {u"MLEADERSTYLE", u"AcDbMLeaderStyle", 4095, 2, false},
      {u"CELLSTYLEMAP", u"AcDbCellStyleMap", 1152, 5, false},
  };
  st.Ascii(0, "SECTION");
  st.Ascii(2, "CLASSES");
  for (const Row& r : kRows)
    if (!r.onlyR2000 || !v.R2007()) PutClass(r.rec, r.cls, r.flags, r.count);
  st.Ascii(0, "ENDSEC");
}

}  // namespace tessa
