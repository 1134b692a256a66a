// Containers, attribute tables and the load pipelines of the driver.
// Placeholder until the readers are wired in: no drawing loads yet, so no
// conversion runs.
#include "driver/Unit1.h"

#include "drawing/JwcUnit.h"
#include "drawing/JwkUnit.h"
#include "drawing/JwsUnit.h"
#include "drawing/JwwUnit.h"
#include "util/UnitVal.h"

namespace tessa {

// Defined here, where the container types are complete.
TForm1::TForm1() = default;
TForm1::~TForm1() = default;

void TForm1::JwInit() {
  BackColorNo = 0;
  // Wraps like the original's unchecked integer arithmetic.
  ColorSource = static_cast<int32_t>(static_cast<uint32_t>(cb3) + 1u);
  CurFileName.clear();
}

void TForm1::JwFine() {}

bool TForm1::proc2(const std::string&) { return false; }
bool TForm1::proc3(const std::string&) { return false; }
bool TForm1::proc4(const std::string&) { return false; }
bool TForm1::proc5(const std::string&) { return false; }

bool TForm1::ConvertLoaded(int, const std::string&) { return false; }

void TForm1::JwwDataFree(TJwwData&) {}
void TForm1::JwwFileColorSet(TJwwData&) {}
void TForm1::JwsFileColorSet() {}
void TForm1::JwcFileColorSet() {}
void TForm1::JwwFileLtypeSet(TJwwData&) {}
void TForm1::JwsFileLtypeSet() {}
void TForm1::JwcFileLtypeSet() {}

}  // namespace tessa
