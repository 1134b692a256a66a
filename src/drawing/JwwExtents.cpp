// Extents of a JWW drawing or JWS symbol: the axis-parallel box of the
// characteristic points of every entity, block contents included, in the
// drawing's own paper coordinates.  Both containers share one walk.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "drawing/JwsUnit.h"
#include "drawing/JwwSettingText.h"
#include "drawing/JwwUnit.h"
#include "util/Func_2.h"
#include "util/Math.h"

namespace tessa {

namespace {

// Parameter angles of the ends of an ellipse's two axes, and the same in
// degrees for the test whether an arc passes them.
constexpr double kAxisParam[4] = {0.0, M_PI / 2, M_PI, 3 * M_PI / 2};
constexpr double kAxisDeg[4] = {0.0, 90.0, 180.0, 270.0};

// Brings an angle in degrees into [0, 360).  Huge magnitudes are reduced
// first so the loops stay short; a non-finite angle is left as it is (every
// comparison with it then fails).
double Wrap360(double deg) {
  if (!std::isfinite(deg)) return deg;
  if (std::fabs(deg) >= 1e6) deg = std::fmod(deg, 360.0);
  while (deg < 0.0) deg += 360.0;
  while (deg >= 360.0) deg -= 360.0;
  return deg;
}

// The box being built.  Points of a block's contents are recorded once in
// the definition's own coordinates and mapped for every copy.  A point
// with a non-finite coordinate adds nothing: it would poison every later
// comparison.  The box starts at the first point that counts and goes to
// the extents with Commit.
class TExtentsBox {
 public:
  // While a list is given, points are kept there unmapped instead of added.
  void Record(std::vector<double>* points) { record_ = points; }

  void Add(double x, double y) {
    if (record_) {
      record_->push_back(x);
      record_->push_back(y);
      return;
    }
    AddPoint(x, y);
  }

  // Points kept by Record (x, y pairs), mapped by the placement of `node`.
  void AddMapped(const TEntJwwBlockTree& node, const std::vector<double>& pts) {
    const double r1 = node.r1, r2 = node.r2, r3 = node.r3, r4 = node.r4;
    const double tx = node.x, ty = node.y;
    for (size_t j = 0; j + 1 < pts.size(); j += 2) {
      const double x = pts[j], y = pts[j + 1];
      AddPoint(r1 * x + r2 * y + tx, r3 * x + r4 * y + ty);
    }
  }

  // Adds a box built apart: the same as adding its points.
  void Merge(const TExtentsBox& o) {
    if (!o.started_) return;
    if (!started_) {
      minx_ = o.minx_, miny_ = o.miny_, maxx_ = o.maxx_, maxy_ = o.maxy_;
      started_ = true;
      return;
    }
    minx_ = std::min(minx_, o.minx_);
    miny_ = std::min(miny_, o.miny_);
    maxx_ = std::max(maxx_, o.maxx_);
    maxy_ = std::max(maxy_, o.maxy_);
  }

  // The extents become the box; nothing changes when no point counted.
  void Commit(TJwExtents& ext) const {
    if (!started_) return;
    ext.ExtMinX = minx_;
    ext.ExtMinY = miny_;
    ext.ExtMaxX = maxx_;
    ext.ExtMaxY = maxy_;
  }

 private:
  void AddPoint(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    if (started_) {
      // Most points of a large drawing fall inside the box built so far and
      // change nothing (the box is already clamped).
      if (x > minx_ && x < maxx_ && y > miny_ && y < maxy_) return;
      MinMaxAdd(minx_, miny_, maxx_, maxy_, x, y, 1.0);
    } else {
      MinMaxInit(minx_, miny_, maxx_, maxy_, x, y, 1.0);
      started_ = true;
    }
  }

  std::vector<double>* record_ = nullptr;
  bool started_ = false;
  double minx_ = 0, miny_ = 0, maxx_ = 0, maxy_ = 0;
};

// Number of records to visit: the count, but never past the array.
template <class T>
size_t Used(const std::vector<T>& v, int32_t n) {
  if (n <= 0) return 0;
  return static_cast<size_t>(n) < v.size() ? static_cast<size_t>(n) : v.size();
}

void AddEllipseAxes(TExtentsBox& box, double cx, double cy, double r,
                    double ratio, double tilt) {
  const double ct = math::Cos(tilt), st = math::Sin(tilt);
  for (double t : kAxisParam) {
    double x = 0, y = 0;
    EllipsePointTilted(cx, cy, r, ratio, ct, st, t, x, y);
    box.Add(x, y);
  }
}

void AddLine(TExtentsBox& box, const TEntJwwLine& e) {
  box.Add(e.start_x, e.start_y);
  box.Add(e.end_x, e.end_y);
}

void AddEnko(TExtentsBox& box, const TEntJwwEnko& e) {
  const double cx = e.start_x, cy = e.start_y, r = e.dHankei;
  const double ratio = e.dHenpeiRitsu, tilt = e.radKatamukiKaku;
  if (e.bZenEnFlg != 0) {
    AddEllipseAxes(box, cx, cy, r, ratio, tilt);
    return;
  }
  const double ct = math::Cos(tilt), st = math::Sin(tilt);
  double x = 0, y = 0;
  EllipsePointTilted(cx, cy, r, ratio, ct, st, e.radKaishiKaku, x, y);
  box.Add(x, y);
  EllipsePointTilted(cx, cy, r, ratio, ct, st, e.radKaishiKaku + e.radEnkoKaku, x, y);
  box.Add(x, y);
  // An axis end counts when it lies on the arc, counted counter-clockwise
  // from the arc's start; a clockwise sweep is turned round first.
  double c = Wrap360(e.radKaishiKaku * 180 / M_PI);
  double d = e.radEnkoKaku * 180 / M_PI;
  if (d < 0) {
    c = c + d;
    d = -d;
  }
  for (int k = 0; k < 4; ++k) {
    if (Wrap360(kAxisDeg[k] - c) <= d) {
      EllipsePointTilted(cx, cy, r, ratio, ct, st, kAxisParam[k], x, y);
      box.Add(x, y);
    }
  }
}

void AddTen(TExtentsBox& box, const TEntJwwTen& e) {
  box.Add(e.start_x, e.start_y);
}

bool IsImageText(std::u16string_view s) {
  return s.substr(0, 4) == u"^@BM";
}

void AddMoji(TExtentsBox& box, const TEntJwwMoji& e) {
  box.Add(e.start_x, e.start_y);
  box.Add(e.end_x, e.end_y);
  if (IsImageText(e.str)) {
    // The picture's rectangle; a marker without a size gives (0, 0), which
    // adds the start point again.
    const TImageText img = ParseImageText(e.str);
    box.Add(e.start_x + img.width, e.start_y + img.height);
  }
}

void AddSunpo(TExtentsBox& box, const TEntJwwSunpo& e) {
  AddLine(box, e.Sen);
  box.Add(e.Moji.start_x, e.Moji.start_y);
  box.Add(e.Moji.end_x, e.Moji.end_y);
  if (e.bSxfMode != 0) {
    AddLine(box, e.Ho1);
    AddLine(box, e.Ho2);
  }
}

void AddSolid(TExtentsBox& box, const TEntJwwSolid& e) {
  box.Add(e.start_x, e.start_y);
  if (e.att.nPenStyle <= 100) {
    box.Add(e.end_x, e.end_y);
    box.Add(e.DPoint2_x, e.DPoint2_y);
    box.Add(e.DPoint3_x, e.DPoint3_y);
  } else {
    // An arc kept in a solid record: its whole ellipse counts.
    AddEllipseAxes(box, e.start_x, e.start_y, e.end_x, e.end_y, e.DPoint2_x);
  }
}

// The drawing's own texts; Jw_cad's setting texts are not drawing content.
void AddDrawingTexts(TExtentsBox& box, const TJwwBaseData& d) {
  for (size_t i = 0, n = Used(d.EntMoji, d.EntMojiN); i < n; ++i)
    if (!IsJwSettingText(d.EntMoji[i])) AddMoji(box, d.EntMoji[i]);
}

void AddBlockContents(TExtentsBox& box, const TEntJwwBlockDef& b) {
  for (size_t i = 0, n = Used(b.mLine, b.mLineN); i < n; ++i) AddLine(box, b.mLine[i]);
  for (size_t i = 0, n = Used(b.mEnko, b.mEnkoN); i < n; ++i) AddEnko(box, b.mEnko[i]);
  for (size_t i = 0, n = Used(b.mTen, b.mTenN); i < n; ++i) AddTen(box, b.mTen[i]);
  for (size_t i = 0, n = Used(b.mMoji, b.mMojiN); i < n; ++i) AddMoji(box, b.mMoji[i]);
  for (size_t i = 0, n = Used(b.mSunpo, b.mSunpoN); i < n; ++i) AddSunpo(box, b.mSunpo[i]);
  for (size_t i = 0, n = Used(b.mSolid, b.mSolidN); i < n; ++i) AddSolid(box, b.mSolid[i]);
}

// Copies from this many on are mapped on two threads.
constexpr size_t kCopiesOnTwoThreads = 16384;

// Adds every entity of the drawing, then the contents of every placed
// block copy (nested copies are nodes of their own).
void AddDrawing(TExtentsBox& box, const TJwwBaseData& d) {
  for (size_t i = 0, n = Used(d.EntLine, d.EntLineN); i < n; ++i) AddLine(box, d.EntLine[i]);
  for (size_t i = 0, n = Used(d.EntEnko, d.EntEnkoN); i < n; ++i) AddEnko(box, d.EntEnko[i]);
  for (size_t i = 0, n = Used(d.EntTen, d.EntTenN); i < n; ++i) AddTen(box, d.EntTen[i]);
  AddDrawingTexts(box, d);
  for (size_t i = 0, n = Used(d.EntSunpo, d.EntSunpoN); i < n; ++i) AddSunpo(box, d.EntSunpo[i]);
  for (size_t i = 0, n = Used(d.EntSolid, d.EntSolidN); i < n; ++i) AddSolid(box, d.EntSolid[i]);

  // The points of a definition's contents (arc ends and axis ends need
  // trigonometry) are found once, in its own coordinates, then mapped for
  // every copy.
  const size_t defs = Used(d.EntBlockDef, d.EntBlockDefN);
  const size_t n = Used(d.EntBlockTree, d.EntBlockTreeN);
  auto defOf = [&](const TEntJwwBlockTree& node) {
    return node.defno < 0 || static_cast<size_t>(node.defno) >= defs
               ? defs
               : static_cast<size_t>(node.defno);
  };
  std::vector<std::vector<double>> local(defs);
  std::vector<char> found(defs, 0);
  for (size_t i = 0; i < n; ++i) {
    const size_t k = defOf(d.EntBlockTree[i]);
    if (k == defs || found[k]) continue;
    box.Record(&local[k]);
    AddBlockContents(box, d.EntBlockDef[k]);
    box.Record(nullptr);
    found[k] = 1;
  }
  auto mapCopies = [&](TExtentsBox& into, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
      const size_t k = defOf(d.EntBlockTree[i]);
      if (k != defs) into.AddMapped(d.EntBlockTree[i], local[k]);
    }
  };
  // Many copies: the second half on a helper thread in a box of its own.
  // A box holds the smallest and largest values, clamped, whatever the
  // order of the points, so the two boxes together are the same box.
  if (n >= kCopiesOnTwoThreads) {
    TExtentsBox other;
    std::thread helper;
    try {
      helper = std::thread([&] { mapCopies(other, n / 2, n); });
    } catch (const std::system_error&) {
      mapCopies(box, 0, n);  // no thread to be had
      return;
    }
    mapCopies(box, 0, n / 2);  // adds points only: nothing throws
    helper.join();
    box.Merge(other);
    return;
  }
  mapCopies(box, 0, n);
}

// The point that starts the box of a JWW drawing: the first entity of the
// first kind that has one.  False for a drawing without entities.
bool FirstPoint(const TJwwBaseData& d, double& x, double& y) {
  if (Used(d.EntLine, d.EntLineN) > 0) {
    x = d.EntLine[0].start_x, y = d.EntLine[0].start_y;
    return true;
  }
  if (Used(d.EntEnko, d.EntEnkoN) > 0) {
    x = d.EntEnko[0].start_x, y = d.EntEnko[0].start_y;
    return true;
  }
  if (Used(d.EntTen, d.EntTenN) > 0) {
    x = d.EntTen[0].start_x, y = d.EntTen[0].start_y;
    return true;
  }
  for (size_t i = 0, n = Used(d.EntMoji, d.EntMojiN); i < n; ++i) {
    if (IsJwSettingText(d.EntMoji[i])) continue;
    x = d.EntMoji[i].start_x, y = d.EntMoji[i].start_y;
    return true;
  }
  if (Used(d.EntSunpo, d.EntSunpoN) > 0) {
    x = d.EntSunpo[0].Sen.start_x, y = d.EntSunpo[0].Sen.start_y;
    return true;
  }
  if (Used(d.EntSolid, d.EntSolidN) > 0) {
    x = d.EntSolid[0].start_x, y = d.EntSolid[0].start_y;
    return true;
  }
  if (Used(d.EntBlock, d.EntBlockN) > 0) {
    x = d.EntBlock[0].DPKijunTen_x, y = d.EntBlock[0].DPKijunTen_y;
    return true;
  }
  return false;
}

}  // namespace

// A drawing without entities keeps the start box.
TJwExtents TJwwData::GetMinMaxZahyo() const {
  TJwExtents ext;
  double x = 0, y = 0;
  if (!FirstPoint(*this, x, y)) return ext;
  TExtentsBox box;
  box.Add(x, y);
  AddDrawing(box, *this);
  box.Commit(ext);
  return ext;
}

// A symbol's box always holds its base point.
TJwExtents TJwsData::GetMinMaxZahyo() const {
  TJwExtents ext;
  TExtentsBox box;
  box.Add(Enthd.BasePoint_x, Enthd.BasePoint_y);
  AddDrawing(box, *this);
  box.Commit(ext);
  return ext;
}

}  // namespace tessa
