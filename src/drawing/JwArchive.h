// Object-archive layer of the JWW and JWS formats on top of TByteReader:
// counts that widen past 0xFFFF, counted strings (code page 932, or UTF-16
// in the form newer Jw_cad versions write), fixed records that may be cut
// short by the end of the file, and the class tags in front of serialised
// objects with their running index.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "drawing/ByteReader.h"

namespace tessa {

class TJwArchive {
 public:
  explicit TJwArchive(TByteReader& in) : in_(in) {}

  TByteReader& In() { return in_; }

  // A WORD; 0xFFFF means the count follows as a DWORD.
  uint32_t Count();

  // A counted string: a length byte; 0xFF means a WORD follows, and a WORD
  // of 0xFFFF means a DWORD follows.  A WORD of 0xFFFE marks a UTF-16LE
  // string whose length (in code units, same widening form) follows.  Bytes
  // are decoded from code page 932.  Text ends at a NUL.  A length beyond
  // the end of the data takes what is left.
  std::u16string Str();
  // The same with every character below the blank removed.
  std::u16string StrClean();

  // The bytes of one fixed record, held in place: records are small and a
  // large drawing has millions of them.
  struct TRecordBytes {
    static constexpr size_t kMax = 96;  // longer than any record
    uint8_t b[kMax] = {};
    size_t n = 0;
  };
  // n bytes of a fixed record (n <= TRecordBytes::kMax).  Bytes missing at
  // the end of the data read as zero; with no byte left at all it throws.
  // With `shortAttr` (files older than version 351) the record's attribute
  // lacks its pen width: n - 2 bytes are read and two zero bytes are
  // inserted after the seventh.
  TRecordBytes Record(size_t n, bool shortAttr = false);

  // Class tags.  Index numbering starts at 1; a new class and every object
  // read take the next number.
  struct TTag {
    bool isNew = false;     // a new class was declared by this tag
    std::string name;       // its name (new classes only)
    uint32_t index = 0;     // class index named (0: none)
  };
  // Reads one tag.  A new class takes the next index; the caller decides
  // whether its name is known and records that with SetKind.
  TTag Tag();
  // Kind registered for a class index, -1 when none.
  int KindOf(uint32_t index) const;
  void SetKind(uint32_t index, int kind) { kinds_[index] = kind; }
  // An object was read: it takes the next index.
  void ObjectTaken() { ++next_; }

  // How many strings were read in the UTF-16 form.
  uint32_t UnicodeStrings() const { return unicode_; }

 private:
  uint32_t Length(bool allowUnicodeMark, bool& unicode);

  TByteReader& in_;
  uint32_t next_ = 1;
  uint32_t unicode_ = 0;
  std::unordered_map<uint32_t, int> kinds_;
};

}  // namespace tessa
