// Which scales each block definition of a JWW drawing or JWS symbol is
// placed at in a paper-space layout.
//
// On paper every layer group except the base group lives at its own scale
// in model space, and an insert is drawn at the scale of its group.  A
// definition's contents must then be drawn at the scale of the copies that
// place it, not at the scale of the contents' own groups: a definition
// placed from groups of scales 1 and 100 is written twice, once per scale.
// A nested insert places its target at the scale of the copy it is in.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "drawing/JwwBase.h"

namespace tessa {

class TJwwBlockScales {
 public:
  // `groupScale`: the scale each of the 16 layer groups is drawn at (the
  // base group's is 1 on paper).  Only definitions with ref_flag count.
  TJwwBlockScales(const TJwwBaseData& d, const std::array<double, 16>& groupScale);

  // Index in EntBlockDef of the first used definition numbered `number`,
  // -1 when there is none.
  int32_t Find(uint32_t number) const;

  // The distinct scales definition `def` is placed at, ascending (exact
  // values; at most one per layer group); empty for a definition nothing
  // places (or one out of range).
  const std::vector<double>& Scales(int32_t def) const;

  // True when an insert inside definition `from` placing `to` closes a
  // loop: `to` places `from`, directly or through other definitions (or is
  // `from` itself).  Such inserts place nothing.
  bool Cyclic(int32_t from, int32_t to) const;

  // An insert on a layer that exists: the only ones converted.
  static bool Valid(const TEntJwwBlock& e) { return e.att.nGLayer < 16 && e.att.nLayer < 16; }

  // Equal scales, a scale that is not a number (a damaged drawing) equal
  // to itself.
  static bool SameScale(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

 private:
  void FindLoops();
  void Spread();

  int32_t defN_;
  std::unordered_map<uint32_t, int32_t> first_;
  // Valid nested inserts as (placing definition, placed definition); the
  // placing one is the definition the contents are converted into.
  std::vector<std::vector<int32_t>> places_;
  std::vector<int32_t> loop_;  // per definition: its strongly connected part
  std::vector<std::vector<double>> scales_;
};

}  // namespace tessa
