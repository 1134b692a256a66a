// Process-wide values shared by the driver, the readers and the conversion.
#include "util/UnitVal.h"

namespace tessa {

const char16_t kAppTitleText[] =
    u"[Tessaconv]\uFF2A\uFF37\u30D5\u30A1\u30A4\u30EB\u3092\uFF24\uFF38\uFF26"
    u"\u30D5\u30A1\u30A4\u30EB\u306B\u5909\u63DB by Morvex Co.";

std::string AppDir;
std::u16string AppTitle = kAppTitleText;
std::string CurFileName;

double ExtMinX = 0.0, ExtMinY = 0.0, ExtMaxX = 400.0, ExtMaxY = 400.0;
double PaperX = 400.0, PaperY = 400.0;

int OptLayerNameType = 0, OptSpace = 0, OptScaleGroup = 0, OptTenType = 0;
double OptTenSize = 0.001;
int BackColorNo = 0, ColorSource = 1;

TgraAttribute* GraAtt = nullptr;
TDXFmodel* DxfModel = nullptr;

void ExtentsAndPaperReset() {
  ExtMinX = 0.0;
  ExtMinY = 0.0;
  ExtMaxX = 400.0;
  ExtMaxY = 400.0;
  PaperX = 400.0;
  PaperY = 400.0;
}

void UnitValReset() {
  AppDir.clear();
  AppTitle = kAppTitleText;
  CurFileName.clear();
  ExtentsAndPaperReset();
  // The option values of a run without settings file.
  OptLayerNameType = 0;
  OptSpace = 0;
  OptScaleGroup = 0;
  OptTenType = 0;
  OptTenSize = 0.001;
  BackColorNo = 0;
  ColorSource = 1;
}

}  // namespace tessa
