// The paper sizes of Jw_cad's paper codes (nZumen of JWW drawings, psize
// of JWC drawings), in millimetres.
#pragma once

#include <cstdint>

namespace tessa {

struct TJwPaper {
  double x = 0, y = 0;  // width, height
};

// The paper of a code; false, leaving p as it was, for a code that names
// no paper (5, 6, 7, negative, above 14).  The heights of codes 12 to 14
// are the rounded values Jw_cad uses, not the A-series ratio.
inline bool JwPaperOfCode(int32_t code, TJwPaper& p) {
  switch (code) {
    case 0: p = {1189, 841}; return true;
    case 1: p = {841, 594}; return true;
    case 2: p = {594, 420}; return true;
    case 3: p = {420, 297}; return true;
    case 4: p = {297, 210}; return true;
    case 8: p = {1682, 1189}; return true;
    case 9: p = {2378, 1682}; return true;
    case 10: p = {3364, 2378}; return true;
    case 11: p = {4756, 3364}; return true;
    case 12: p = {10000, 7073}; return true;
    case 13: p = {50000, 35366}; return true;
    case 14: p = {100000, 70732}; return true;
    default: return false;
  }
}

}  // namespace tessa
