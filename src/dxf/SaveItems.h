// The lists a drawing order points into (the model's or a block's) and a
// visit of one step of such an order, shared by the writers and the
// extents.
#pragma once

#include <cstdint>
#include <vector>

#include "dxf/SaveUnit.h"

namespace tessa {

struct TItemLists {
  const std::vector<TDXF_Line>& line;
  const std::vector<TDXF_Circle>& circ;
  const std::vector<TDXF_Arc>& arc;
  const std::vector<TDXF_Ellipse>& elli;
  const std::vector<TDXF_Ten>& ten;
  const std::vector<TDXF_Solid3>& sld3;
  const std::vector<TDXF_Solid4>& sld4;
  const std::vector<TDXF_Moji>& moji;
  const std::vector<TDXF_Block>& block;
  const std::vector<TDXF_ViewPort>* vport;  // none inside a block

  static TItemLists Of(const TDXFmodel& m) {
    return {m.deLine, m.deCirc, m.deArc,  m.deElli,  m.deTen,
            m.deSld3, m.deSld4, m.deMoji, m.deBlock, &m.deVport};
  }
  static TItemLists Of(const TDXF_BlockDef& b) {
    return {b.dmLine, b.dmCirc, b.dmArc,  b.dmElli,  b.dmTen,
            b.dmSld3, b.dmSld4, b.dmMoji, b.dmBlock, nullptr};
  }
};

// The element i of v, or none for an index past it.
template <class T>
const T* At(const std::vector<T>& v, int32_t i) {
  return i >= 0 && static_cast<size_t>(i) < v.size() ? &v[static_cast<size_t>(i)] : nullptr;
}

// Calls f with the record step e names, when there is one; an unknown
// kind or an index past its list is nothing.
template <class F>
void VisitItem(const TDXF_EntNo& e, const TItemLists& l, F&& f) {
  auto call = [&](const auto& v) {
    if (const auto* p = At(v, e.no)) f(*p);
  };
  switch (e.tp) {
    case DXF_KIND_LINE: call(l.line); break;
    case DXF_KIND_CIRCLE: call(l.circ); break;
    case DXF_KIND_ARC: call(l.arc); break;
    case DXF_KIND_ELLIPSE: call(l.elli); break;
    case DXF_KIND_TEN: call(l.ten); break;
    case DXF_KIND_SOLID3: call(l.sld3); break;
    case DXF_KIND_SOLID4: call(l.sld4); break;
    case DXF_KIND_MOJI: call(l.moji); break;
    case DXF_KIND_BLOCK: call(l.block); break;
    case DXF_KIND_VPORT:
      if (l.vport) call(*l.vport);
      break;
    default: break;
  }
}

}  // namespace tessa
