// Start-up, settings file, command line and choice of format.
#include "driver/Unit1.h"

#include <cstdio>
#include <iterator>
#include <string_view>
#include <variant>

#include "dxf/SaveSetup.h"
#include "platform/Platform.h"
#include "util/Func_2.h"
#include "drawing/JwLoad.h"

namespace tessa {

namespace {

const char kSettingsName[] = "Tessaconv";
const char kSettingsExt[] = ".dat";

// Longest settings line kept; the rest of a longer line is skipped so that
// a damaged file cannot make us hold it all in memory.
constexpr size_t kMaxLineBytes = 1 << 20;

// Decodes one line of the settings file.  A NUL inside the line stays a
// character (so a number followed by NUL reads as no number).
std::u16string DecodeLine(std::string_view bytes) {
  std::u16string out;
  size_t start = 0;
  while (true) {
    size_t nul = bytes.find('\0', start);
    out += BytesToStr(bytes.substr(start, nul == std::string_view::npos ? std::string_view::npos
                                                                         : nul - start));
    if (nul == std::string_view::npos) break;
    out.push_back(u'\0');
    start = nul + 1;
  }
  return out;
}

// Line reader of a text file: a line ends at LF, a CR right before the LF
// belongs to the line end.  At the end of the file every further line is
// empty; after a read error ok() is false.
class TSettingsFile {
 public:
  explicit TSettingsFile(const std::string& path) : f_(platform::OpenFile(path, "rb")) {}
  ~TSettingsFile() {
    if (f_) std::fclose(f_);
  }
  TSettingsFile(const TSettingsFile&) = delete;
  TSettingsFile& operator=(const TSettingsFile&) = delete;

  bool ok() const { return f_ != nullptr && !failed_; }

  // False on a read error (the line is then not valid).
  bool ReadLine(std::u16string& line) {
    std::string bytes;
    while (true) {
      int c = std::fgetc(f_);
      if (c == EOF) {
        if (std::ferror(f_)) {
          failed_ = true;
          return false;
        }
        break;
      }
      if (c == '\n') break;
      if (bytes.size() < kMaxLineBytes) bytes.push_back(static_cast<char>(c));
    }
    if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
    line = DecodeLine(bytes);
    return true;
  }

 private:
  std::FILE* f_;
  bool failed_ = false;
};

std::string FolderOf(const std::string& path) {
  // "/" separates on every system; the system's own separator too.
  size_t sep = path.find_last_of(std::string("/") + PathDelim());
  if (sep == std::string::npos) return std::string(".") + PathDelim();
  return path.substr(0, sep + 1);
}

// The fields of the settings file, one line each, in the file's order.
using TSettingField =
    std::variant<int32_t TForm1::*, bool TForm1::*, std::u16string TForm1::*>;
const TSettingField kSettingFields[] = {
    &TForm1::Fm1x, &TForm1::Fm1y, &TForm1::Fm1w, &TForm1::Fm1h, &TForm1::rb1,
    &TForm1::rb2,  &TForm1::rb3,  &TForm1::rb4,  &TForm1::rb5,  &TForm1::ed1,
    &TForm1::lb1,  &TForm1::lb2,  &TForm1::Fidx, &TForm1::gstyle, &TForm1::cb2,
    &TForm1::cb3,  &TForm1::cb4,  &TForm1::cb5,  &TForm1::cb6,  &TForm1::cb7,
    &TForm1::ed2};
static_assert(std::size(kSettingFields) == 21);

void AssignSetting(int32_t& field, const std::u16string& line) { field = TextToInt(line); }
void AssignSetting(bool& field, const std::u16string& line) { field = TextToBool(line); }
void AssignSetting(std::u16string& field, const std::u16string& line) { field = line; }

// An output path the run must not touch: a drawing of one of the four
// formats (arguments swapped by mistake) or the input itself.
bool OutputIsADrawing(const std::string& src, const std::string& dst) {
  return FormatOfPath(dst) != fmtNone || platform::SameFile(src, dst);
}

// Brings the options read from the settings file into their ranges, in the
// fields themselves, and answers the point size the text ed2 gives.
double ClampOptions(TForm1& f) {
  const TConvOptions o =
      ConvOptionsOf({f.cb2, f.cb3, f.cb4, f.cb5, f.cb6, f.cb7, TextToFloat(f.ed2)});
  f.cb5 = o.Space;
  f.cb6 = o.ScaleGroup;
  f.cb7 = o.TenType;
  return o.TenSize;
}

}  // namespace

TSettingsOptions ReadSettingsOptions(const std::string& path) {
  TForm1 form;
  form.ReadSettings(path);
  const double size = ClampOptions(form);
  return {form.cb2, form.cb3, form.cb4, form.cb5, form.cb6, form.cb7, size};
}

int FormatOfPath(const std::string& path) {
  const TJwFormatEntry* f = JwFormatOfPath(path);
  return f ? f->format : fmtNone;
}

void TForm1::ReadSettings(const std::string& path) {
  Fm1x = 50;
  Fm1y = 50;
  Fm1w = 480;
  Fm1h = 480;
  rb1 = true;
  rb2 = false;
  rb3 = false;
  rb4 = false;
  rb5 = false;
  ed1.clear();
  lb1.clear();
  lb2 = Utf8ToStr(AppDir);
  Fidx = 1;
  gstyle = u"Windows";
  cb2 = 0;
  cb3 = 0;
  cb4 = 0;
  cb5 = 0;
  cb6 = 0;
  cb7 = 0;
  ed2.clear();

  if (!IsFile(path)) return;
  TSettingsFile file(path);
  if (!file.ok()) return;

  // One line per field, each assigned as soon as it is read; a read error
  // leaves the remaining fields at their defaults.
  std::u16string s;
  for (const TSettingField& field : kSettingFields) {
    if (!file.ReadLine(s)) return;
    std::visit([&](auto member) { AssignSetting(this->*member, s); }, field);
  }
}

void TForm1::FormCreate(const std::vector<std::string>& args, const std::string& exePath) {
  Args = args;
  Ctx.AppTitle = kAppTitleText;
  AppDir = FolderOf(exePath);
  ReadSettings(AppDir + kSettingsName + kSettingsExt);
  Memo1 = Args;
  JwInit();
  Ctx.Place = TJwPlacement{};
  Ctx.Opt.LayerNameType = cb4;
  Ctx.CurFileName.clear();
  const double size = ClampOptions(*this);
  Ctx.Opt.Space = cb5;
  Ctx.Opt.ScaleGroup = cb6;
  Ctx.Opt.TenType = cb7;
  Ctx.Opt.TenSize = size;
  DXFModelFree(Ctx.DxfModel);
}

void TForm1::FormShow() {
  // Args[0] is the program; exactly four arguments follow it.  An output
  // path naming a drawing is left alone: nothing is deleted or written.
  if (Args.size() == 5 && !OutputIsADrawing(Args[3], Args[4])) {
    const std::string& src = Args[3];
    const std::string& dst = Args[4];
    const bool allowed = IsFile(src) && !IsFile(dst);
    // An output left from an earlier run is removed even when nothing
    // will be converted, so the parent never mistakes it for this run's.
    if (IsFile(dst)) DelFile(dst);
    if (allowed) Proc(src, dst);
  }
  FormClose();
}

void TForm1::FormClose() {
  if (Closed) return;
  Closed = true;
  DXFModelFree(Ctx.DxfModel);
  JwFine();
}

void TForm1::Proc(const std::string& src, const std::string& dst) {
  if (!IsFile(src)) return;
  const TJwFormatEntry* f = JwFormatOfPath(src);
  if (!f) return;
  // A drawing that did not load completely has no extents or paper size
  // yet; converting it would misplace its geometry, so nothing is written.
  if (LoadPipeline(f->format, src)) ConvertLoaded(f->format, dst);
}

void RunConverter(const std::vector<std::string>& args, const std::string& exePath) {
  try {
    TForm1 form;
    try {
      form.FormCreate(args, exePath);
      form.FormShow();
    } catch (...) {
      // Nothing is reported to the parent; only the DXF file speaks.
    }
    try {
      form.FormClose();
    } catch (...) {
    }
  } catch (...) {
  }
}

}  // namespace tessa
