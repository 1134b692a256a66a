// Images bound into JWW drawings: written to files while reading, gzip ones
// unpacked afterwards, all deleted again when the container is emptied.
//
// Names come from the drawing, so only plain file names are used, and each
// container writes into its own freshly created subfolder of the image
// folder: two conversions sharing the folder never replace or delete each
// other's files.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "drawing/JwArchive.h"
#include "drawing/JwwBase.h"
#include "drawing/JwwGunzip.h"
#include "platform/Platform.h"
#include "util/Func_2.h"

namespace tessa {

namespace {

constexpr size_t kCopyChunk = 2048;

constexpr char kRunPrefix[] = "img-";
constexpr size_t kRunNameSize = sizeof kRunPrefix - 1 + platform::kOwnedFolderRandomChars;

bool IsGzName(const std::string& path) { return FileExtLower(path) == ".gz"; }

// The folder with a separator at its end.
std::string AsFolder(std::string path) {
  if (path.empty() || !platform::IsPathSeparator(path.back()))
    path.push_back(platform::PathSeparator());
  return path;
}

}  // namespace

bool TJwwBaseData::SafeImageName(const std::u16string& name) {
  if (name.empty() || name == u"." || name.find(u"..") != std::u16string::npos) return false;
  for (char16_t c : name)
    if (c < 0x20 || c == u'/' || c == u'\\' || c == u':') return false;
  return true;
}

void TJwwBaseData::BindImageInit() {
  BindImage.clear();
  BindImageN = 0;
}

std::string TJwwBaseData::BindImagePath(int i) const {
  if (imageRun_.Dir().empty() || i < 0 || i >= static_cast<int>(BindImage.size())) return {};
  const std::u16string& name = BindImage[static_cast<size_t>(i)].Fname;
  if (!SafeImageName(name)) return {};
  return imageRun_.Dir() + StrToUtf8(name);
}

std::string TJwwBaseData::BindImagePlainPath(int i) const {
  std::string path = BindImagePath(i);
  if (path.empty() || !IsGzName(path)) return path;
  return ChangeExtSafe(path, "");
}

bool TJwwBaseData::EnsureImageDir() {
  if (!imageRun_.Dir().empty()) return true;
  if (BindImageFolder.empty()) return false;
  const std::string base = AsFolder(BindImageFolder);
  if (!IsFolder(base)) MakeFolder(base);
  return imageRun_.folder.Make(base, kRunPrefix);
}

void TJwwBaseData::RemoveImageDirIfEmpty() {
  if (imageRun_.Dir().empty()) return;
  if (DelFolder(imageRun_.Dir())) imageRun_.folder.Release();
}

void TJwwBaseData::SweepStaleImageDirs() {
  if (BindImageFolder.empty()) return;
  const std::string base = AsFolder(BindImageFolder);
  for (const std::string& name : platform::ListFolder(base)) {
    // Held folders (of live runs, this one's included) stay.
    if (name.size() == kRunNameSize && name.compare(0, 4, kRunPrefix) == 0)
      platform::RemoveStaleFolder(base + name);
  }
}

void TJwwBaseData::WriteImageFile(TJwArchive& ar, const TBindImageType& img) {
  TByteReader& in = ar.In();
  size_t size = static_cast<size_t>(img.Fsize);
  size_t avail = std::min(size, in.Remaining());
  const uint8_t* p = in.Data() + in.Pos();
  in.Skip(avail);
  if (!BindImageExp || !SafeImageName(img.Fname) || !EnsureImageDir()) return;

  std::string path = imageRun_.Dir() + StrToUtf8(img.Fname);
  FILE* f = platform::OpenFile(path, "wb");
  if (!f) return;
  bool ok = avail == size;  // data cut short by the end of the file
  for (size_t done = 0; ok && done < avail; done += kCopyChunk) {
    size_t k = std::min(kCopyChunk, avail - done);
    ok = std::fwrite(p + done, 1, k, f) == k;
  }
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) DelFile(path);
}

void TJwwBaseData::ReadBindImages(TJwArchive& ar) {
  BindImageInit();
  TByteReader& in = ar.In();
  uint32_t n = in.U32();
  BindImage.reserve(std::min<size_t>(n, in.Remaining() / 5));
  for (uint32_t i = 0; i < n; ++i) {
    TBindImageType img;
    img.Fname = ar.StrClean();
    const size_t sizeAt = in.Pos();
    img.Fsize = in.I32();
    BindImage.push_back(img);
    BindImageN = static_cast<int32_t>(BindImage.size());
    if (img.Fname.empty() || img.Fsize == 0) continue;
    // A negative size gives no way to find the next image.
    if (img.Fsize < 0)
      throw TReadError("bad-record",
                       "the bound image \"" + StrToUtf8(img.Fname) + "\" has the size " +
                           std::to_string(img.Fsize) + " at byte " + std::to_string(sizeAt),
                       static_cast<int64_t>(sizeAt));
    WriteImageFile(ar, img);
  }
}

void TJwwBaseData::BindImageExplode() {
  for (int i = 0; i < static_cast<int>(BindImage.size()); ++i) {
    std::string src = BindImagePath(i);
    if (src.empty() || !IsGzName(src) || !IsFile(src)) continue;
    std::string dst = ChangeExtSafe(src, "");
    if (dst.empty()) continue;
    FILE* in = platform::OpenFile(src, "rb");
    if (!in) continue;
    FILE* out = platform::OpenFile(dst, "wb");
    if (out) {
      Gunzip(in, out);  // a corrupt stream leaves a partial file, deleted later
      std::fclose(out);
    }
    std::fclose(in);
  }
}

void TJwwBaseData::BindImageDeleteGzFile() {
  for (int i = 0; i < static_cast<int>(BindImage.size()); ++i) {
    std::string path = BindImagePath(i);
    if (!path.empty() && IsGzName(path) && IsFile(path)) DelFile(path);
  }
}

void TJwwBaseData::BindImageDeleteNonGzFile() {
  for (int i = 0; i < static_cast<int>(BindImage.size()); ++i) {
    std::string path = BindImagePlainPath(i);
    if (!path.empty() && IsFile(path)) DelFile(path);
  }
  RemoveImageDirIfEmpty();
  SweepStaleImageDirs();
}

// The subfolder belongs to this container alone, so whatever is left in it
// (images of an earlier list that was emptied without deleting its files)
// can go with it.
void TJwwBaseData::ClearImageDir() {
  if (imageRun_.Dir().empty()) return;
  for (const std::string& name : platform::ListFolder(imageRun_.Dir()))
    DelFile(imageRun_.Dir() + name);
  RemoveImageDirIfEmpty();
}

}  // namespace tessa
