// Reading steps that JWC drawings and JWK symbols share: header text
// blocks, fixed entity records and the string block.  Every function reads
// through TByteReader and throws TReadError on a read that yields nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/ByteReader.h"
#include "drawing/JwcUnit.h"
#include "util/Func_2.h"
#include "util/UnitVal.h"

namespace tessa {

// Reads the whole file FName with the container's header and body steps.
// False when the file cannot be read, the header is refused or either step
// throws, and why says why; the header's work list para is emptied in
// every case once the header step has run.
bool JwcReadFile(const std::string& FName, std::vector<std::u16string>& para,
                 const std::function<bool(TByteReader&)>& header,
                 const std::function<void(TByteReader&)>& body, TReadReason& why);

// The same for a file held in memory.
bool JwcReadMem(const uint8_t* data, size_t size, std::vector<std::u16string>& para,
                const std::function<bool(TByteReader&)>& header,
                const std::function<void(TByteReader&)>& body, TReadReason& why);

// True when the first 20 bytes of the file decode to ident; when not, and
// why is given, it says why.  Never throws.
bool JwcFileStartsWith(const std::string& fn, std::u16string_view ident,
                       TReadReason* why = nullptr);
bool JwcMemStartsWith(const uint8_t* data, size_t size, std::u16string_view ident,
                      TReadReason* why = nullptr);

// Splits a header block into count fields; missing fields read as "0",
// surplus fields are ignored.
void JwcSplitPara(std::u16string_view text, int count,
                  std::vector<std::u16string>& para);

// A record of n bytes; one cut short by the end of the file is completed
// with zeros, and none left at all is an error.
std::vector<uint8_t> JwcReadRecord(TByteReader& st, size_t n);

// Header block 1: identification and the two comments.
void JwcReadIdentBlock(TByteReader& st, std::u16string& jwID,
                       std::u16string& comment1, std::u16string& comment2);
// A 200-byte header block of comma-separated fields, as one text (it ends
// at the first NUL byte).
std::u16string JwcReadBlockText(TByteReader& st);

// "SSSS:OOOO" in hexadecimal, as segment * 16 + offset.
int32_t JwcHexAddress(std::u16string_view field);

// Bytes decoded (code page 932) and cleared of control characters.
std::u16string JwcCleanText(const uint8_t* p, size_t n);

// Coordinates are multiplied by unit (1 keeps them as stored).
TEntJwcLine JwcReadLine(TByteReader& st, float unit);
TEntJwcArc2 JwcReadArc(TByteReader& st, float unit);
TEntJwcTen JwcReadTen(TByteReader& st, float unit);
// segmented: the address is two words, segment * 16 + offset (JWC);
// otherwise one word counted from the start of the string block (JWK).
TEntJwcMoji2 JwcReadMoji(TByteReader& st, float unit, bool segmented);

// Record counts come from header text: a negative count, or more records
// than the rest of the file can start, fails before anything is sized.
void JwcCheckCount(const TByteReader& st, int64_t count, size_t recSize);

// Reads count records with rd into v (sized by the count), counting them in n.
template <class T, class F>
void JwcReadRecords(TByteReader& st, int32_t count, size_t recSize,
                    std::vector<T>& v, int32_t& n, F rd) {
  JwcCheckCount(st, count, recSize);
  v.assign(static_cast<size_t>(count), T{});
  for (int32_t i = 0; i < count; ++i) {
    v[static_cast<size_t>(i)] = rd(st);
    ++n;
  }
}

// Reads a string block of n bytes (nothing when n <= 0) and gives each
// text the string at its address minus base; an address outside the
// block gives an empty text.
void JwcReadStrings(TByteReader& st, int64_t n, int64_t base,
                    std::vector<TEntJwcMoji2>& texts, int32_t count);

// Widens the extents globals by the characteristic points of an arc, with
// every point divided by s.
void JwcArcMinMax(const TEntJwcArc2& a, double s);

// How many entries of v were read: the count, bounded by the array.
template <class T>
size_t JwcUsable(const std::vector<T>& v, int32_t n) {
  return n <= 0 ? 0 : (static_cast<size_t>(n) < v.size() ? static_cast<size_t>(n) : v.size());
}

// Widens the extents globals by every line, arc, text and point of a JWC or
// JWK container, each point divided by s.
void JwcEntitiesMinMax(const TJwcEntities& d, double s);

// Millimetre multiple of a stored single, rounded once to single.
inline float JwcScaled(float v, float unit) {
  return static_cast<float>(static_cast<long double>(v) * static_cast<long double>(unit));
}

}  // namespace tessa
