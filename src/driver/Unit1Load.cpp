// Containers, attribute tables and the load pipelines of the driver: one
// pipeline per format checks and reads the file, records its name, brings
// the attribute tables in line with the drawing, computes the extents and
// fixes the paper size (drawing/JwLoad.h does the work on the form's
// conversion context).
#include <cstdint>
#include <memory>

#include "attributes/UnitGraAtt.h"
#include "driver/Unit1.h"
#include "drawing/JwLoad.h"
#include "drawing/JwcUnit.h"
#include "drawing/JwkUnit.h"
#include "drawing/JwsUnit.h"
#include "drawing/JwwUnit.h"
#include "util/Func_2.h"

namespace tessa {

// Defined here, where the container types are complete.
TForm1::TForm1() = default;
TForm1::~TForm1() = default;

void TForm1::JwInit() {
  Ctx.BackColorNo = 0;
  // Wraps like the original's unchecked integer arithmetic.
  Ctx.Opt.ColorSource = static_cast<int32_t>(static_cast<uint32_t>(cb3) + 1u);
  Ctx.Opt.DxfVer = cb2;

  JWW1 = std::make_unique<TJwwData>();
  JWC = std::make_unique<TJwcData>();
  JWK = std::make_unique<TJwkData>();
  JWS = std::make_unique<TJwsData>();

  Ctx.ResetAttributes();
  Ctx.CurFileName.clear();

  std::string folder = AppDir + "TEMP";
  if (!IsFolder(folder)) MakeFolder(folder);  // a failure shows per image
  folder += PathDelim();
  JWW1->BindImageExp = true;
  JWW1->BindImageExr = true;
  JWW1->BindImageFolder = folder;
  JWS->BindImageFolder = folder;
  JWS->BindImageExp = false;
  JWS->BindImageExr = false;
}

void TForm1::JwFine() {
  if (JWW1) {
    JwwDataFree(*JWW1);
    // Only an empty folder goes; one that still holds files stays.
    if (!JWW1->BindImageFolder.empty()) DelFolder(JWW1->BindImageFolder);
  }
  JWW1.reset();
  JWC.reset();
  JWK.reset();
  JWS.reset();
}

void TForm1::JwwDataFree(TJwwData& JW) {
  JW.BindImageDeleteGzFile();
  JW.BindImageDeleteNonGzFile();
  JW.DataFree();
  JW.BindImageInit();
}

TJwDrawing* TForm1::Container(int format) const {
  for (TJwDrawing* c : {static_cast<TJwDrawing*>(JWW1.get()), static_cast<TJwDrawing*>(JWS.get()),
                        static_cast<TJwDrawing*>(JWC.get()), static_cast<TJwDrawing*>(JWK.get())})
    if (c && c->Format() == format) return c;
  return nullptr;
}

// Nothing changes when the file is not one of the format; after a failed
// read the name, attribute tables, extents and paper keep their earlier
// values.
bool TForm1::LoadPipeline(int format, const std::string& fn) {
  TJwDrawing* c = Container(format);
  if (!c || !c->FileCheck(fn)) return false;
  if (JWW1) JwwDataFree(*JWW1);
  if (JWS) {
    JWS->DataFree();
    JWS->BindImageInit();
  }
  if (JWC) JWC->DataFree();
  if (JWK) JWK->DataFree();
  return LoadCheckedDrawing(Ctx, *c, fn);
}

bool TForm1::proc2(const std::string& fn) { return LoadPipeline(fmtJww, fn); }
bool TForm1::proc3(const std::string& fn) { return LoadPipeline(fmtJws, fn); }
bool TForm1::proc4(const std::string& fn) { return LoadPipeline(fmtJwc, fn); }
bool TForm1::proc5(const std::string& fn) { return LoadPipeline(fmtJwk, fn); }

bool TForm1::ConvertLoaded(int format, const std::string& dst) {
  const TJwDrawing* c = Container(format);
  if (!c) return false;
  Ctx.Opt.DxfVer = cb2;
  return c->FileOutDXF(Ctx, dst);
}

// ---- Attribute steps ------------------------------------------------------

void TForm1::JwwFileColorSet(TJwwData& JW) { tessa::JwwFileColorSet(Ctx, JW); }
void TForm1::JwsFileColorSet() { JwDefaultColorSet(Ctx); }
void TForm1::JwcFileColorSet() { JwDefaultColorSet(Ctx); }
void TForm1::JwwFileLtypeSet(TJwwData& JW) { tessa::JwwFileLtypeSet(Ctx, JW); }
void TForm1::JwsFileLtypeSet() { JwDefaultLtypeSet(Ctx); }
void TForm1::JwcFileLtypeSet() { JwDefaultLtypeSet(Ctx); }

}  // namespace tessa
