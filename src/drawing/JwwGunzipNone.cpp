#include "drawing/JwwGunzip.h"

namespace tessa {

bool Gunzip(std::FILE*, std::FILE*) { return false; }

}  // namespace tessa
