// The library API over the converter core: options by name, reasons for
// failures, what a conversion wrote and what a drawing holds.
#include "api/tessa_api.h"
#include "api/tessa_core.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <set>
#include <type_traits>
#include <utility>

#include "attributes/UnitGraAtt.h"
#include "drawing/JwPaperSize.h"
#include "drawing/JwcCommon.h"
#include "drawing/JwConvContext.h"
#include "drawing/JwLoad.h"
#include "drawing/JwcUnit.h"
#include "drawing/JwkUnit.h"
#include "drawing/JwsUnit.h"
#include "drawing/JwwEntityVisit.h"
#include "drawing/JwwSettingText.h"
#include "drawing/JwwUnit.h"
#include "dxf/SaveWriter.h"
#include "dxf/SaveWriterOut.h"
#include "dxf/SaveUnit.h"
#include "platform/Platform.h"
#include "preview/SvgPreview.h"
#include "util/Func_2.h"
#include "util/UnitVal.h"

namespace tessa::api {

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

// A reason of the reader or the writer, whose codes are the stable names.
Reason FromCore(const std::string& code, std::string message, int64_t offset = -1) {
  return MakeReason(ReasonFromName(code).value_or(ReasonCode::Internal), std::move(message),
                    offset);
}

std::string Utf8(const std::u16string& s) { return StrToUtf8(s); }

// ASCII words equal in any case.
bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// The DXF kinds in the order of the writer's tally.
DxfCounts WrittenCounts(const TDXFTally& t) {
  DxfCounts c;
  for (size_t k = 0; k < t.entities.size(); ++k)
    if (t.entities[k] > 0) c[DXFWrittenName(static_cast<TDXFWritten>(k))] = t.entities[k];
  if (t.blocks > 0) c["BLOCK"] = t.blocks;
  return c;
}

// ---- Options ---------------------------------------------------------------

// The settings values an Options value stands for.
TSettingsOptions SettingsOf(const Options& o) {
  return {static_cast<int32_t>(o.dxf),   static_cast<int32_t>(o.penColours),
          static_cast<int32_t>(o.layerNames), static_cast<int32_t>(o.space),
          o.scaleGroup,                  static_cast<int32_t>(o.points),
          o.pointSize};
}

// ---- Files -----------------------------------------------------------------

// Why a path names no file, in words.
std::string Missing(const platform::TFileStatus& st) {
  switch (st.why) {
    case platform::TMissing::absent: return "there is no drawing file: no such file or folder";
    case platform::TMissing::nameTooLong: return "there is no drawing file: the name is too long";
    case platform::TMissing::denied: return "the drawing cannot be read: permission denied";
    default: return "the drawing cannot be read: " + st.error;
  }
}

// Why path names no file a drawing can be read from (nothing, a folder, a
// pipe or a device, which could stall a read); st receives what it is.
std::optional<Reason> NoDrawingFile(const std::string& path, platform::TFileStatus& st) {
  st = platform::Examine(path);
  if (st.kind == platform::TFileKind::missing) return MakeReason(ReasonCode::NotFound, Missing(st));
  if (st.kind == platform::TFileKind::folder)
    return MakeReason(ReasonCode::NotFound, "there is no drawing file: this is a folder");
  if (st.kind != platform::TFileKind::file)
    return MakeReason(ReasonCode::NotFound,
                      "there is no drawing file: this is a pipe or a device, not a file");
  return std::nullopt;
}

bool HasDrawingExtension(const std::string& path) {
  return FormatOfPath(path).has_value();
}

// ---- What a drawing holds ----------------------------------------------------

const char* PaperName(int32_t code) {
  switch (code) {
    case 0: return "A0";
    case 1: return "A1";
    case 2: return "A2";
    case 3: return "A3";
    case 4: return "A4";
    case 8: return "2A";
    case 9: return "3A";
    case 10: return "4A";
    case 11: return "5A";
    case 12: return "10m";
    case 13: return "50m";
    case 14: return "100m";
    default: return nullptr;
  }
}

// The Jw_cad release a JWW or JWS file version stands for: each version
// number is the first release that wrote the format it names.
std::string JwCadVersionOf(Format f, int32_t version) {
  if (f == Format::Jwc || f == Format::Jwk) return "Jw_cad for DOS";
  struct TRelease {
    int32_t version;
    const char* releases;
  };
  static constexpr TRelease kReleases[] = {
      {223, "Jw_cad for Windows 2.23 to 2.24"}, {225, "Jw_cad for Windows 2.25 to 2.2x"},
      {230, "Jw_cad for Windows 2.30 to 2.x"},  {300, "Jw_cad for Windows 3.00 to 3.50"},
      {351, "Jw_cad for Windows 3.51 to 4.1x"}, {420, "Jw_cad for Windows 4.20 to 5.x"},
      {600, "Jw_cad for Windows 6.x"},          {700, "Jw_cad for Windows 7.00 or later"},
  };
  for (const TRelease& r : kReleases)
    if (r.version == version) return r.releases;
  return "unknown";
}

// Drawing entity kinds by name, as Info::entities gives them.
const char* JwwKindName(int32_t type) {
  switch (type) {
    case jwEntLine: return "line";
    case jwEntEnko: return "arc";
    case jwEntTen: return "point";
    case jwEntMoji: return "text";
    case jwEntSunpo: return "dimension";
    case jwEntSolid: return "solid";
    case jwEntBlock: return "block";
    default: return nullptr;
  }
}

struct TLayerKey {
  int group, layer;
  bool operator<(const TLayerKey& o) const {
    return group != o.group ? group < o.group : layer < o.layer;
  }
};

// Facts gathered from a loaded drawing, under the core lock, for a Result
// or an Info.
struct TFacts {
  int32_t version = 0;
  std::vector<std::string> warnings;
  Info info;
};

void AddWarning(std::vector<std::string>& w, int64_t n, const std::string& one,
                const std::string& many) {
  if (n == 1) w.push_back(one);
  if (n > 1) w.push_back(std::to_string(n) + " " + many);
}

// JWW drawings and JWS symbols.
// The layers in use with their entity counts and names, and the groups
// they lie in; nameOf(group, layer) gives a layer's name, fill(info) a
// group's name and scale.
template <class TName, class TGroup>
void AddLayersAndGroups(Info& info, const std::map<TLayerKey, int64_t>& layers, TName nameOf,
                        TGroup fill) {
  std::set<int> groups;
  for (const auto& [key, n] : layers) {
    groups.insert(key.group);
    LayerInfo l;
    l.group = key.group;
    l.layer = key.layer;
    l.entities = n;
    l.name = nameOf(key.group, key.layer);
    info.layers.push_back(std::move(l));
  }
  for (int g : groups) {
    GroupInfo gi;
    gi.group = g;
    fill(gi);
    info.groups.push_back(std::move(gi));
  }
}

void GatherJww(const TJwwBaseData& d, const TJwwData* jww, TFacts& f) {
  Info& info = f.info;
  std::map<TLayerKey, int64_t> layers;
  int64_t settingTexts = 0, outOfRange = 0, unknownTextType = 0;
  const TJwwLists own = JwwListsOf(d);
  for (const TEntJwwNo& no : d.EntNo) {
    const bool seen = VisitJwwEntity(own, no.EntType, no.EntNo, [&](const auto& e) {
      if constexpr (std::is_same_v<std::decay_t<decltype(e)>, TEntJwwMoji>) {
        if (IsJwSettingText(e)) {
          ++settingTexts;
          return;
        }
        if (e.nMojiShu % 100 > 10) ++unknownTextType;
      }
      const TEntJwwAttr& a = e.att;
      ++info.entities[JwwKindName(no.EntType)];
      if (a.nGLayer > 15 || a.nLayer > 15) {
        ++outOfRange;
        return;
      }
      ++layers[{a.nGLayer, a.nLayer}];
    });
    (void)seen;
  }
  // Entities inside definitions on layers that do not exist are left out too.
  for (const TEntJwwBlockDef& def : d.EntBlockDef) {
    const TJwwLists in = JwwListsOf(def);
    for (const TEntJwwNo& no : def.mNo)
      VisitJwwEntity(in, no.EntType, no.EntNo, [&](const auto& e) {
        if (e.att.nGLayer > 15 || e.att.nLayer > 15) ++outOfRange;
      });
  }

  AddLayersAndGroups(info, layers,
                     [&](int g, int l) {
                       if (!jww || jww->EntLay.size() < 256) return std::string();
                       return Utf8(jww->EntLay[static_cast<size_t>(g * 16 + l)].aStrLayName);
                     },
                     [&](GroupInfo& gi) {
                       if (static_cast<size_t>(gi.group) >= d.EntLgrp.size()) return;
                       const auto& lg = d.EntLgrp[static_cast<size_t>(gi.group)];
                       gi.name = Utf8(lg.aStrGLayName);
                       gi.scale = lg.adScale;
                     });

  // Inserts of the drawing's own list per definition; a number names the
  // first definition that has it.
  std::map<uint32_t, int64_t> inserts;
  for (int32_t i = 0; i < d.EntBlockN && i < static_cast<int32_t>(d.EntBlock.size()); ++i)
    ++inserts[d.EntBlock[static_cast<size_t>(i)].nNumber];
  std::set<uint32_t> numbered;
  for (int32_t i = 0; i < d.EntBlockDefN && i < static_cast<int32_t>(d.EntBlockDef.size()); ++i) {
    const TEntJwwBlockDef& def = d.EntBlockDef[static_cast<size_t>(i)];
    BlockInfo b;
    b.name = Utf8(def.strName);
    b.number = def.nNumber;
    b.entities = static_cast<int64_t>(
        std::count_if(def.mNo.begin(), def.mNo.end(),
                      [](const TEntJwwNo& n) { return n.EntType != jwEntNone; }));
    if (numbered.insert(def.nNumber).second) {
      auto it = inserts.find(def.nNumber);
      b.inserts = it == inserts.end() ? 0 : it->second;
    }
    info.blocks.push_back(std::move(b));
  }
  for (int32_t i = 0; i < d.BindImageN && i < static_cast<int32_t>(d.BindImage.size()); ++i)
    info.images.push_back(Utf8(d.BindImage[static_cast<size_t>(i)].Fname));

  std::vector<std::string>& w = f.warnings;
  AddWarning(w, settingTexts, "1 setting text of Jw_cad left out",
             "setting texts of Jw_cad left out");
  AddWarning(w, unknownTextType, "1 text of an unknown text type written with text type 0",
             "texts of an unknown text type written with text type 0");
  AddWarning(w, outOfRange, "1 entity on a layer or layer group above 15 left out",
             "entities on layers or layer groups above 15 left out");
  AddWarning(w, d.EntBlockLoopN, "1 block copy that would place a block inside itself left out",
             "block copies that would place a block inside themselves left out");
  AddWarning(w, static_cast<int64_t>(info.images.size()),
             "1 bound image not converted (DXF refers to no image files)",
             "bound images not converted (DXF refers to no image files)");
}

// JWC drawings (with groups and layers) and JWK symbols (one scale).
void GatherJwc(const TJwcEntities& d, const TJwcData* jwc, TFacts& f) {
  Info& info = f.info;
  std::map<TLayerKey, int64_t> layers;
  auto count = [&](const char* kind, uint8_t lay) {
    ++info.entities[kind];
    ++layers[{lay / 16, lay % 16}];
  };
  for (size_t i = 0, n = JwcUsable(d.EntLine, d.lineN); i < n; ++i) count("line", d.EntLine[i].lay);
  for (size_t i = 0, n = JwcUsable(d.EntArc, d.arcN); i < n; ++i) count("arc", d.EntArc[i].lay);
  int64_t unknownTextType = 0;
  for (size_t i = 0, n = JwcUsable(d.EntMoji, d.mojiN); i < n; ++i) {
    count("text", d.EntMoji[i].lay);
    if (d.EntMoji[i].no > 10) ++unknownTextType;
  }
  AddWarning(f.warnings, unknownTextType,
             "1 text of an unknown text type written with text type 0",
             "texts of an unknown text type written with text type 0");
  for (size_t i = 0, n = JwcUsable(d.EntTen, d.tenN); i < n; ++i) count("point", d.EntTen[i].lay);
  int64_t virtualPoints = 0;
  if (jwc) {
    virtualPoints = std::clamp<int64_t>(jwc->Enthd.vtenCount, 0, 100);
    if (virtualPoints) info.entities["virtual point"] = virtualPoints;
  }
  AddLayersAndGroups(info, layers,
                     [&](int g, int l) {
                       if (!jwc || jwc->EntLay.size() < 256) return std::string();
                       return Utf8(jwc->EntLay[static_cast<size_t>(g * 16 + l)].name);
                     },
                     [&](GroupInfo& gi) {
                       if (!jwc || static_cast<size_t>(gi.group) >= jwc->EntLgrp.size()) return;
                       const auto& lg = jwc->EntLgrp[static_cast<size_t>(gi.group)];
                       gi.name = Utf8(lg.name);
                       gi.scale = lg.scale;
                     });
}

// ---- The core --------------------------------------------------------------
//
// Every call has a conversion context and a drawing container of its own,
// so calls on different threads share nothing.

TJwFormat CoreFormat(Format f) {
  switch (f) {
    case Format::Jww: return fmtJww;
    case Format::Jws: return fmtJws;
    case Format::Jwc: return fmtJwc;
    case Format::Jwk: return fmtJwk;
  }
  return fmtNone;
}

// One load (and conversion) of one drawing.  Bound images are read past,
// never written: a DXF file refers to none of them.
class TCoreSession {
 public:
  TCoreSession(const TSettingsOptions& s, Format f)
      : format_(f), jw_(MakeJwDrawing(CoreFormat(f))) {
    ctx_.Opt = ConvOptionsOf(s);
  }

  std::optional<Reason> Load(const std::string& path) {
    if (LoadDrawing(ctx_, *jw_, path)) return std::nullopt;
    return Failed();
  }

  // The drawing has no file name (the DXF header dates are then the zero date).
  std::optional<Reason> LoadBytes(std::span<const uint8_t> data) {
    if (LoadDrawingMem(ctx_, *jw_, data.data(), data.size())) return std::nullopt;
    return Failed();
  }

  TFacts Facts() const {
    TFacts facts;
    Info& info = facts.info;
    info.format = format_;
    switch (format_) {
      case Format::Jww: {
        const auto& jw = static_cast<const TJwwData&>(*jw_);
        facts.version = jw.Enthd.jwVer;
        GatherJww(jw, &jw, facts);
        const char* p = PaperName(jw.Enthd.nZumen);
        info.paper = p ? p : "A0";  // a code without a paper is drawn on A0
        break;
      }
      case Format::Jws: {
        const auto& js = static_cast<const TJwsData&>(*jw_);
        facts.version = js.Enthd.jwVer;
        GatherJww(js, nullptr, facts);
        info.paper = "extent";
        break;
      }
      case Format::Jwc: {
        const auto& jc = static_cast<const TJwcData&>(*jw_);
        GatherJwc(jc, &jc, facts);
        const char* p = PaperName(jc.Enthd.psize);
        info.paper = p ? p : "A0";
        break;
      }
      case Format::Jwk: {
        const auto& jk = static_cast<const TJwkData&>(*jw_);
        GatherJwc(jk, nullptr, facts);
        info.paper = "extent";
        // A symbol has one scale for everything.
        for (GroupInfo& g : info.groups) g.scale = jk.Enthd.scale;
        break;
      }
    }
    info.version = facts.version;
    info.jwCadVersion = JwCadVersionOf(format_, facts.version);
    const TJwPlacement& pl = ctx_.Place;
    info.paperWidth = pl.PaperX;
    info.paperHeight = pl.PaperY;
    info.extents = Extents{pl.ExtMinX, pl.ExtMinY, pl.ExtMaxX, pl.ExtMaxY};
    info.warnings = facts.warnings;
    return facts;
  }

  // Fills the DXF model from the loaded drawing, as the command-line run
  // does before it writes the file.
  bool BuildModel() { return BuildDxfModel(ctx_, *jw_); }
  const TDXFmodel& Model() const { return *ctx_.DxfModel; }

  // Writes the built model; the source's file dates go into the header as
  // in the command-line run, or the last change given for bytes as both.
  TDXFWriteResult Save(TDXFSink& out, std::optional<int64_t> writtenMs) const {
    const TDXFDates dates =
        writtenMs ? TDXFDates{LocalMsToDateTime(*writtenMs), LocalMsToDateTime(*writtenMs)}
                  : DXFDatesOf(ctx_.CurFileName);
    return SaveDXF(*ctx_.DxfModel, dates, out);
  }
  TDXFWriteResult Save(const std::string& dst, bool replace) const {
    TDXFWriteOptions opt;
    opt.replace = replace;
    return SaveDXFFile(*ctx_.DxfModel, ctx_.CurFileName, dst, opt);
  }

 private:
  std::optional<Reason> Failed() const {
    const TReadReason& why = jw_->LastError;
    if (why.Empty()) return MakeReason(ReasonCode::Internal, "the drawing could not be read");
    return FromCore(why.code, why.message, why.offset);
  }

  Format format_;
  std::unique_ptr<TJwDrawing> jw_;
  TConvContext ctx_;
};

// One run on the core: load the drawing and, when a target is wanted,
// convert it there.
struct TCoreRun {
  std::optional<Reason> reason;
  bool read = false;
  TFacts facts;
  DxfCounts written;
};

// Where the drawing comes from: a file, or bytes in memory (with the
// file's last change when it is known).
struct TSource {
  std::string path;
  std::span<const uint8_t> bytes;
  bool inMemory = false;
  std::optional<int64_t> writtenMs;
};

// Where the output goes: a file of the kind asked for, or memory (the DXF
// text, the preview, or both from one model); none only loads.
struct TDxfTarget {
  std::string path;
  bool replace = false;  // an existing file at path may be replaced
  detail::TOutput kind = detail::TOutput::Dxf;  // what the file at path holds
  std::string* dxf = nullptr;
  std::string* svg = nullptr;
  bool Wanted() const { return !path.empty() || dxf || svg; }
};

// Writes the built model into memory, into each text asked for.
TDXFWriteResult SaveToMemory(const TCoreSession& core, const TSource& src,
                             const TDxfTarget& out) {
  TDXFWriteResult written;
  if (out.dxf) {
    TDXFStringSink sink;
    written = core.Save(sink, src.writtenMs);
    if (!written) return written;
    *out.dxf = std::move(sink.text);
  }
  if (out.svg) {
    TDXFStringSink sink;
    // The preview counts what the DXF file holds: the same entities.
    TDXFWriteResult drawn = SavePreviewSvg(core.Model(), sink);
    if (!drawn || !out.dxf) written = std::move(drawn);
    if (!written) return written;
    *out.svg = std::move(sink.text);
  }
  return written;
}

// Fills run step by step, so that what was learnt (the drawing was read,
// its facts) stays when a later step throws (memory running out while the
// model is built, say).
void RunOnCore(const TSource& src, Format f, const TSettingsOptions& s, const TDxfTarget& out,
               TCoreRun& run) {
  TCoreSession core(s, f);
  run.reason = src.inMemory ? core.LoadBytes(src.bytes) : core.Load(src.path);
  if (run.reason) return;
  run.facts = core.Facts();
  run.read = true;
  if (!out.Wanted()) return;
  if (!core.BuildModel()) {
    run.reason = MakeReason(ReasonCode::Internal, "the drawing was read but gave no DXF model");
    return;
  }
  TDXFWriteResult written;
  if (!out.path.empty()) {
    written = out.kind == detail::TOutput::Svg
                  ? SavePreviewSvgFile(core.Model(), out.path, out.replace)
                  : core.Save(out.path, out.replace);
  } else {
    written = SaveToMemory(core, src, out);
  }
  if (!written) {
    run.reason = FromCore(written.code.empty() ? kDXFWriteFailed : written.code, written.message);
    return;
  }
  run.written = WrittenCounts(written.tally);
}

// The reason of the exception being handled.
Reason ReasonOfCurrentException() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return MakeReason(ReasonCode::OutOfMemory);
  } catch (const std::exception& e) {
    return MakeReason(ReasonCode::Internal, std::string("an unexpected failure: ") + e.what());
  } catch (...) {
    return MakeReason(ReasonCode::Internal);
  }
}

// Catches what the core may throw and turns it into a reason.
template <class F>
std::optional<Reason> Guarded(F&& f) {
  try {
    f();
    return std::nullopt;
  } catch (...) {
    return ReasonOfCurrentException();
  }
}

// Runs one entry of the API; whatever escapes it becomes the reason of a
// failed outcome, so no exception ever reaches the caller.
template <class R, class F>
R Entry(F&& f) {
  const auto t0 = Clock::now();
  try {
    return f();
  } catch (...) {
    R r;
    r.ok = false;
    try {
      r.reason = ReasonOfCurrentException();
    } catch (...) {
    }
    if constexpr (std::is_same_v<R, Result>) r.seconds = SecondsSince(t0);
    return r;
  }
}

// What inspection tells of a drawing that was not read.
Info UnreadInfo(Format f, std::optional<Reason> reason) {
  Info info;
  info.format = f;
  info.reason = std::move(reason);
  return info;
}

// Converts the drawing (a file already checked, or bytes) to the target;
// fills result, and info (when given) with what inspection tells.
void ConvertTo(const TSource& src, Format f, const Options& options, const TDxfTarget& out,
               Result& result, Info* info = nullptr) {
  TCoreRun run;
  if (auto failed = Guarded([&] { RunOnCore(src, f, SettingsOf(options), out, run); }))
    run.reason = std::move(failed);
  if (info) {
    if (run.read) {
      *info = std::move(run.facts.info);
      info->ok = true;
    } else {
      *info = UnreadInfo(f, run.reason);
    }
  }
  result.read = run.read;
  result.version = run.facts.version;
  result.warnings = std::move(run.facts.warnings);
  if (run.reason) {
    result.reason = std::move(run.reason);
    return;
  }
  result.written = std::move(run.written);
  result.ok = true;
}

}  // namespace

// ---- Conversions ------------------------------------------------------------

namespace {

// text: the DXF goes there instead of to dst (after the same checks).
Result ConvertFileOnce(const std::string& src, const std::string& dst, const Options& options,
                       bool overwrite, std::string* text,
                       detail::TOutput kind = detail::TOutput::Dxf) {
  const auto t0 = Clock::now();
  Result result;
  auto fail = [&](Reason r) {
    result.ok = false;
    result.reason = std::move(r);
    result.written.clear();
    result.seconds = SecondsSince(t0);
    return result;
  };
  platform::TFileStatus srcStat;
  if (auto missing = NoDrawingFile(src, srcStat)) return fail(*missing);
  const std::optional<Format> format = FormatOfPath(src);
  if (!format) return fail(MakeReason(ReasonCode::UnknownFormat));
  result.format = *format;

  // A drawing is never written over, whatever overwrite says.
  if (HasDrawingExtension(dst)) return fail(MakeReason(ReasonCode::OutputIsDrawing));
  const platform::TFileStatus dstStat = platform::Examine(dst);
  const bool dstExists = dstStat.kind != platform::TFileKind::missing;
  if (dstExists && srcStat.id == dstStat.id)
    return fail(MakeReason(ReasonCode::OutputIsDrawing, "the output is the drawing itself"));
  if (dstExists && !overwrite) return fail(MakeReason(ReasonCode::OutputExists));
  if (dstStat.kind == platform::TFileKind::folder)
    return fail(MakeReason(ReasonCode::WriteFailed, "the output is a folder"));

  // The writer puts the file in place only when it is complete, so a
  // failure never leaves a partial DXF; without overwrite a file that
  // appears meanwhile is left alone.
  TDxfTarget target;
  if (!text) {
    target.path = dst;
    target.replace = overwrite;
    target.kind = kind;
  } else {
    (kind == detail::TOutput::Svg ? target.svg : target.dxf) = text;
  }
  ConvertTo(TSource{src, {}, false, std::nullopt}, *format, options, target, result);
  if (!result.ok) return fail(*result.reason);
  result.seconds = SecondsSince(t0);
  return result;
}

}  // namespace

std::vector<std::optional<Reason>> PutDxfFiles(std::span<const DxfFile> files) {
  std::vector<std::optional<Reason>> reasons(files.size());
  std::vector<std::unique_ptr<TDXFAtomicFile>> open(files.size());
  std::vector<TDXFAtomicFile*> written;
  for (size_t i = 0; i < files.size(); ++i) {
    const DxfFile& f = files[i];
    if (HasDrawingExtension(f.path)) {
      reasons[i] = MakeReason(ReasonCode::OutputIsDrawing);
      continue;
    }
    try {
      auto file = std::make_unique<TDXFAtomicFile>();
      if (!file->Open(f.path, f.overwrite) || !file->Put(f.dxf.data(), f.dxf.size())) {
        reasons[i] = MakeReason(ReasonCode::WriteFailed, file->Error());
        continue;  // the file's destructor removes what was written
      }
      written.push_back(file.get());
      open[i] = std::move(file);
    } catch (...) {
      reasons[i] = ReasonOfCurrentException();
    }
  }
  SyncTogether(written);
  for (size_t i = 0; i < files.size(); ++i) {
    if (!open[i]) continue;
    try {
      if (open[i]->Commit()) continue;
      reasons[i] = open[i]->TargetExists()
                       ? MakeReason(ReasonCode::OutputExists)
                       : MakeReason(ReasonCode::WriteFailed, open[i]->Error());
    } catch (...) {
      reasons[i] = ReasonOfCurrentException();
    }
    open[i].reset();
  }
  return reasons;
}

namespace {

Result ConvertBytesOnce(std::span<const uint8_t> data, Format format, const Options& options,
                        const Products& out, std::optional<int64_t> writtenMs) {
  const auto t0 = Clock::now();
  Result result;
  result.format = format;
  TDxfTarget target;
  target.dxf = out.dxf;
  target.svg = out.svg;
  ConvertTo(TSource{"", data, true, writtenMs}, format, options, target, result, out.info);
  if (!result.ok) result.written.clear();
  result.seconds = SecondsSince(t0);
  return result;
}

}  // namespace

Result ConvertFile(const std::string& src, const std::string& dst, const Options& options,
                   bool overwrite) {
  return Entry<Result>([&] { return ConvertFileOnce(src, dst, options, overwrite, nullptr); });
}

Result ConvertFileToMemory(const std::string& src, const std::string& dst, const Options& options,
                           bool overwrite, std::string& dxf) {
  dxf.clear();
  Result r = Entry<Result>([&] { return ConvertFileOnce(src, dst, options, overwrite, &dxf); });
  if (!r.ok) dxf.clear();
  return r;
}

std::optional<Reason> PutDxfFile(const std::string& dst, std::string_view dxf, bool overwrite) {
  const DxfFile file{dst, dxf, overwrite};
  return PutDxfFiles(std::span<const DxfFile>(&file, 1))[0];
}

Result ConvertBytes(std::span<const uint8_t> data, Format format, const Options& options,
                    const Products& out, std::optional<int64_t> fileWrittenMs) {
  // Whatever fails, no product is left half made.
  if (out.dxf) out.dxf->clear();
  if (out.svg) out.svg->clear();
  if (out.info) *out.info = UnreadInfo(format, std::nullopt);
  Result r =
      Entry<Result>([&] { return ConvertBytesOnce(data, format, options, out, fileWrittenMs); });
  r.format = format;
  if (!r.ok) {
    if (out.dxf) out.dxf->clear();
    if (out.svg) out.svg->clear();
    if (out.info && !out.info->ok && !out.info->reason) out.info->reason = r.reason;
  }
  return r;
}

Result ConvertBytes(std::span<const uint8_t> data, Format format, const Options& options,
                    std::string& dxf, std::optional<int64_t> fileWrittenMs) {
  Products out;
  out.dxf = &dxf;
  return ConvertBytes(data, format, options, out, fileWrittenMs);
}

std::optional<Reason> CheckDrawingFile(const std::string& path) {
  platform::TFileStatus st;
  return NoDrawingFile(path, st);
}

namespace detail {

Result ConvertFileAs(TOutput kind, const std::string& src, const std::string& dst,
                     const Options& options, bool overwrite, std::string* text) {
  if (text) text->clear();
  Result r = Entry<Result>(
      [&] { return ConvertFileOnce(src, dst, options, overwrite, text, kind); });
  if (!r.ok && text) text->clear();
  return r;
}

}  // namespace detail

// ---- Inspection ---------------------------------------------------------------

namespace {

Info InspectSource(const TSource& src, Format format) {
  Info info;
  Result loaded;  // only read: nothing to convert to
  ConvertTo(src, format, Options{}, TDxfTarget{}, loaded, &info);
  return info;
}

Info InspectOnce(const std::string& path) {
  platform::TFileStatus st;
  Info info;
  if (auto missing = NoDrawingFile(path, st)) {
    info.reason = std::move(missing);
    return info;
  }
  const std::optional<Format> format = FormatOfPath(path);
  if (!format) {
    info.reason = MakeReason(ReasonCode::UnknownFormat);
    return info;
  }
  return InspectSource(TSource{path, {}, false, std::nullopt}, *format);
}

Info InspectBytesOnce(std::span<const uint8_t> data, Format format) {
  return InspectSource(TSource{"", data, true, std::nullopt}, format);
}

}  // namespace

Info Inspect(const std::string& path) {
  return Entry<Info>([&] { return InspectOnce(path); });
}

Info InspectBytes(std::span<const uint8_t> data, Format format) {
  Info info = Entry<Info>([&] { return InspectBytesOnce(data, format); });
  info.format = format;
  return info;
}

// ---- Names ------------------------------------------------------------------------

std::optional<Format> FormatOfPath(std::string_view path) {
  const size_t sep = path.find_last_of('/');
  const std::string_view name = sep == std::string_view::npos ? path : path.substr(sep + 1);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos) return std::nullopt;
  return FormatFromName(name.substr(dot + 1));
}

std::string_view FormatName(Format f) {
  switch (f) {
    case Format::Jww: return "jww";
    case Format::Jws: return "jws";
    case Format::Jwc: return "jwc";
    case Format::Jwk: return "jwk";
  }
  return "jww";
}

std::optional<Format> FormatFromName(std::string_view name) {
  if (!name.empty() && name.front() == '.') name.remove_prefix(1);
  for (Format f : {Format::Jww, Format::Jws, Format::Jwc, Format::Jwk})
    if (SameWord(name, FormatName(f))) return f;
  return std::nullopt;
}

}  // namespace tessa::api
