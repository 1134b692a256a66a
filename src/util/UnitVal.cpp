#include "util/UnitVal.h"

namespace tessa {

const char16_t kAppTitleText[] =
    u"[Tessaconv]\uFF2A\uFF37\u30D5\u30A1\u30A4\u30EB\u3092\uFF24\uFF38\uFF26"
    u"\u30D5\u30A1\u30A4\u30EB\u306B\u5909\u63DB by Morvex Co.";

}  // namespace tessa
