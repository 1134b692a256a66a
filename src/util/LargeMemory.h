// Large arrays (a drawing's bytes, its entity lists) are filled once, page
// by page.  In a virtual machine each page fault costs far more than the
// bytes it brings, so blocks of several megabytes are put on huge pages,
// where the system gives them on request: a 512th of the faults.
#pragma once

#include "platform/Platform.h"

namespace tessa {

// Asks for huge pages under the 2 MiB-aligned part of [p, p + bytes);
// nothing for blocks under 4 MiB.  Only a wish: where the system has none
// to give, the block stays as it is.
using platform::AdviseHugePages;

// The same for a vector's whole capacity, best called right after reserve.
template <class V>
void AdviseHugePages(const V& v) {
  AdviseHugePages(v.data(), v.capacity() * sizeof(typename V::value_type));
}

}  // namespace tessa
