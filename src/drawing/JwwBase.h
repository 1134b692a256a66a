// What JWW drawings and JWS symbols share: the entity arrays, the block
// definitions and block tree, the bound images, and the reading of the
// serialised entity lists that follow the header in both formats.
//
// Conventions for every consumer:
//  - The N counts (EntLineN, mLineN, ...) are authoritative; an array may be
//    longer than its count only after a failed read.
//  - EntNo lists the entities in file order; an entry with EntType 0 is an
//    empty slot and is skipped.  After a successful read EntNo.size() equals
//    the announced count (Enthd.n1); after a failed read it may be shorter, so
//    loops over it use EntNo.size().
//  - After a failed read (FileIn false) the container keeps what was read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "drawing/JwDrawing.h"
#include "drawing/jwwtype.h"
#include "platform/Platform.h"

namespace tessa {

class TJwArchive;

// The start of a JWW or JWS file: an identifier of idBytes bytes, then at
// versionOffset the version as a 32-bit integer in minVer..maxVer.  The
// messages name what failed when a header is read.
struct TJwSignature {
  const char16_t* id;
  size_t idBytes;
  size_t versionOffset;
  int32_t minVer;
  int32_t maxVer;
  const char* idError;
  const char* versionError;

  // Reads identifier and version from the start of `in`; throws TReadError
  // unless both are those of the format.
  void Read(TByteReader& in, std::u16string& jwID, int32_t& jwVer) const;
  // True when the bytes start with this signature; when not, and why is
  // given, it says why.
  bool FoundInMem(const uint8_t* data, size_t size, TReadReason* why = nullptr) const;
};

class TJwwBaseData : public TJwDrawing {
 public:
  std::vector<TEntJwwLayerGroup> EntLgrp;  // 16 groups after a read
  std::vector<TEntJwwNo> EntNo;

  std::vector<TEntJwwLine> EntLine;
  int32_t EntLineN = 0;
  std::vector<TEntJwwEnko> EntEnko;
  int32_t EntEnkoN = 0;
  std::vector<TEntJwwTen> EntTen;
  int32_t EntTenN = 0;
  std::vector<TEntJwwMoji> EntMoji;
  int32_t EntMojiN = 0;
  std::vector<TEntJwwSunpo> EntSunpo;
  int32_t EntSunpoN = 0;
  std::vector<TEntJwwSolid> EntSolid;
  int32_t EntSolidN = 0;
  std::vector<TEntJwwBlock> EntBlock;
  int32_t EntBlockN = 0;

  std::vector<TEntJwwBlockDef> EntBlockDef;
  int32_t EntBlockDefN = 0;
  std::vector<TEntJwwBlockTree> EntBlockTree;
  int32_t EntBlockTreeN = 0;
  int32_t EntBlockNum = 0;  // definitions used by some placed copy
  // Placed copies left out because their definition already lay on their
  // own path (a block placing itself, directly or through others).
  int32_t EntBlockLoopN = 0;
  // Strings of the file stored in the UTF-16 form of newer Jw_cad versions.
  int32_t EntUnicodeN = 0;

  // Image folder (ends with a path separator), set once by the driver.  The
  // images of one read go into a private subfolder of it (BindImageDir), so
  // that two runs sharing the folder never touch each other's files.
  std::string BindImageFolder;
  std::vector<TBindImageType> BindImage;
  int32_t BindImageN = 0;
  bool BindImageExp = false;  // write images to files while reading
  bool BindImageExr = false;  // read the image section at all

  // Rebuilds EntBlockTree, EntBlockTreeN, ref_flag / ref_no of the
  // definitions and EntBlockNum.  An insert of a definition that is already
  // on its own path (a block placing itself) is left out.  False when the
  // nesting or the number of placed copies passed the limits no real
  // drawing reaches (the tree then stops there); the reading then fails.
  bool MakeBlockTree();

  void BindImageInit();
  // Unpacks every stored ".gz" image next to it (name without ".gz").
  void BindImageExplode();
  void BindImageDeleteGzFile();
  // Deletes the unpacked ".gz" images and the other stored images, then the
  // private subfolder when it is empty, and the subfolders that killed runs
  // left in the image folder.
  void BindImageDeleteNonGzFile();

  // The private subfolder the images of this container go to (ends with a
  // separator); empty until the first image has been written.
  const std::string& BindImageDir() const { return imageRun_.Dir(); }
  // File of image i as written while reading; empty when the image's name is
  // not a plain file name (separators, "..", ...) or no subfolder exists.
  std::string BindImagePath(int i) const;
  // The unpacked file of a ".gz" image, else the same as BindImagePath.
  std::string BindImagePlainPath(int i) const;
  // True when a name from a drawing may be used as a file name inside the
  // image folder.
  static bool SafeImageName(const std::u16string& name);

 protected:
  TJwwBaseData() = default;
  TJwwBaseData(const TJwwBaseData&) = default;
  TJwwBaseData& operator=(const TJwwBaseData&) = default;
  ~TJwwBaseData() override;

  // Empties arrays, counts and the image list; keeps folder and flags.
  void EntInit();

  // Everything after the header: the entity list (count into n1), the block
  // definitions (count into n2) and, with `images`, the image section; then
  // the block tree.  False when the reading ended early; what was read stays.
  bool ReadBody(TJwArchive& ar, int32_t ver, int32_t& n1, int32_t& n2,
                bool images);

  // The parts after the header.  Each throws TReadError when the reading has
  // to end; what was read so far stays.  `ver` selects the record layouts.
  void ReadEntityList(TJwArchive& ar, int32_t ver, int32_t& n1);
  void ReadBlockDefs(TJwArchive& ar, int32_t ver, int32_t& n2);
  void ReadBindImages(TJwArchive& ar);

 private:
  // Owner of the private image subfolder.  A copied container owns none, so
  // it can never delete the files of the one it was copied from.
  // The subfolder stays held while this process lives, so that a later run
  // can tell it from the subfolder of a run that was killed.
  struct TImageRun {
    platform::TOwnedFolder folder;
    TImageRun() = default;
    TImageRun(const TImageRun&) {}
    TImageRun& operator=(const TImageRun&) { return *this; }
    const std::string& Dir() const { return folder.Dir(); }
  };
  TImageRun imageRun_;

  bool EnsureImageDir();
  void RemoveImageDirIfEmpty();
  // Removes the subfolders (and their images) of runs that ended without
  // removing them; those of live runs are locked and stay.
  void SweepStaleImageDirs();
  void ClearImageDir();
  void WriteImageFile(TJwArchive& ar, const TBindImageType& img);
};

}  // namespace tessa
