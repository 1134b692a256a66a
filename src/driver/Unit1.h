// The converter's driver.  It has no visible window: the three window
// events of the original design (create, show, close) run in order as one
// plain process.  FormCreate reads the settings file beside the executable,
// FormShow checks the command line and runs at most one conversion,
// FormClose releases everything.  What the conversion needs lives in the
// form's one conversion context Ctx, filled from the settings file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "drawing/JwConvContext.h"
#include "drawing/JwDrawing.h"

namespace tessa {

class TJwwData;
class TJwsData;
class TJwcData;
class TJwkData;

// The format an input path is read as, by its lower-cased extension.
int FormatOfPath(const std::string& path);

class TForm1 {
 public:
  // Both defined in Unit1Load.cpp: the containers are incomplete types here.
  TForm1();
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // ---- Window events -------------------------------------------------------
  // args: the command line, args[0] the program as started; exePath: the
  // executable's real location, whose folder holds the settings file.
  void FormCreate(const std::vector<std::string>& args, const std::string& exePath);
  void FormShow();
  // Runs once; later calls do nothing.
  void FormClose();

  // Loads src by its extension and, when it loaded, converts it to dst.
  void Proc(const std::string& src, const std::string& dst);
  // Fills the settings fields from the 21-line file at path.
  void ReadSettings(const std::string& path);

  // ---- Containers, attribute tables and load pipelines (Unit1Load.cpp) -----
  void JwInit();
  void JwFine();
  // The load pipeline of a format: check, empty every container, read,
  // then the format's own steps, the extents and the paper into Ctx.
  bool LoadPipeline(int format, const std::string& fn);
  bool proc2(const std::string& fn);  // JWW
  bool proc3(const std::string& fn);  // JWS
  bool proc4(const std::string& fn);  // JWC
  bool proc5(const std::string& fn);  // JWK
  // FileOutDXF of the container of format (fmtJww..fmtJwk) with cb2.
  bool ConvertLoaded(int format, const std::string& dst);
  // The container of a format; null for none.
  TJwDrawing* Container(int format) const;
  void JwwDataFree(TJwwData& JW);
  void JwwFileColorSet(TJwwData& JW);
  void JwsFileColorSet();
  void JwcFileColorSet();
  void JwwFileLtypeSet(TJwwData& JW);
  void JwsFileLtypeSet();
  void JwcFileLtypeSet();

  // ---- Settings fields -----------------------------------------------------
  // Kept from the parent's settings file but not used by the conversion.
  int32_t Fm1x = 0, Fm1y = 0, Fm1w = 0, Fm1h = 0;
  bool rb1 = false, rb2 = false, rb3 = false, rb4 = false, rb5 = false;
  std::u16string ed1, lb1, lb2;
  int32_t Fidx = 0;
  std::u16string gstyle;
  // Conversion options.
  int32_t cb2 = 0;  // DXF version: 0 R12, 1 R2000, 2 R2007
  int32_t cb3 = 0;  // pen colours of JWW drawings: 0 screen, 1 printer
  int32_t cb4 = 0;  // layer naming rule
  int32_t cb5 = 0;  // 0 model space, 1 paper space with viewports
  int32_t cb6 = 0;  // layer group that gives the drawing scale
  int32_t cb7 = 0;  // how points are written
  std::u16string ed2;  // size of written points

  // ---- Run state -----------------------------------------------------------
  std::string AppDir;              // executable's folder, trailing separator
  TConvContext Ctx;                // the options, tables and model of the run
  std::vector<std::string> Args;   // command line as passed to FormCreate
  std::vector<std::string> Memo1;  // the window's text list: the arguments
  bool Closed = false;

  std::unique_ptr<TJwwData> JWW1;
  std::unique_ptr<TJwsData> JWS;
  std::unique_ptr<TJwcData> JWC;
  std::unique_ptr<TJwkData> JWK;
};

// The conversion options of a settings file, brought into range as at
// start-up (util/UnitVal.h).
TSettingsOptions ReadSettingsOptions(const std::string& path);

// The whole run of one process: create, show, close.  Never throws.
void RunConverter(const std::vector<std::string>& args, const std::string& exePath);

}  // namespace tessa
