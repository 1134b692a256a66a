// Bounds-checked little-endian reads over a drawing held in memory.
// Every reader of the four formats goes through this class; none does
// pointer arithmetic of its own.  A read past the end throws
// TReadError, which each container's FileIn catches; the reason it carries
// (a code, a sentence and the byte offset) is kept in the container's
// LastError for callers that want to tell a person why.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tessa {

// Why a read ended.  The codes are stable ("truncated", "bad-count",
// "bad-record", "not-a-drawing", "unsupported-version", "block-nesting",
// "out-of-memory", "not-found"); the message is a sentence for a person;
// offset is the byte of the file it applies to, -1 for none.
struct TReadReason {
  std::string code;
  std::string message;
  int64_t offset = -1;
  bool Empty() const { return code.empty(); }
};

class TReadError : public std::runtime_error {
 public:
  // A failure without a more precise reason.
  explicit TReadError(const char* msg)
      : std::runtime_error(msg), reason_{"bad-record", msg, -1} {}
  TReadError(std::string code, const std::string& message, int64_t offset)
      : std::runtime_error(message), reason_{std::move(code), message, offset} {}
  const TReadReason& Reason() const { return reason_; }

 private:
  TReadReason reason_;
};

// The reason of a failure caught at a reader's catch point: a TReadError's
// own, memory running out, or anything else as a bad record.  `section`
// names the part of the file being read ("the entity list"); a truncation
// says it ends inside that part.
TReadReason ReasonOf(const std::exception& e, const char* section);

class TByteReader {
 public:
  TByteReader() = default;
  TByteReader(const uint8_t* data, size_t size) : p_(data), n_(size) {}
  explicit TByteReader(const std::vector<uint8_t>& v)
      : p_(v.data()), n_(v.size()) {}

  size_t Pos() const { return pos_; }
  size_t Size() const { return n_; }
  size_t Remaining() const { return n_ - pos_; }
  bool AtEnd() const { return pos_ >= n_; }
  const uint8_t* Data() const { return p_; }

  void Seek(size_t pos) {
    if (pos > n_) ThrowEnd(pos - pos_);
    pos_ = pos;
  }
  void Skip(size_t n) { Need(n); pos_ += n; }

  uint8_t U8() { Need(1); return p_[pos_++]; }
  uint16_t U16() { return static_cast<uint16_t>(Le(2)); }
  uint32_t U32() { return static_cast<uint32_t>(Le(4)); }
  int16_t I16() { return static_cast<int16_t>(U16()); }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  float F32() {
    uint32_t u = U32();
    float f;
    std::memcpy(&f, &u, 4);
    return f;
  }
  double F64() {
    uint64_t u = Le(8);
    double d;
    std::memcpy(&d, &u, 8);
    return d;
  }
  // n bytes as they stand; n is checked against what is left before any
  // allocation, so a bad count from the file cannot size a huge buffer.
  std::string Bytes(size_t n) {
    Need(n);
    std::string s(reinterpret_cast<const char*>(p_ + pos_), n);
    pos_ += n;
    return s;
  }
  // A fixed-size record that may be cut short by the end of the file: the
  // missing bytes read as zero.
  std::vector<uint8_t> Padded(size_t n) {
    std::vector<uint8_t> v(n, 0);
    PaddedInto(v.data(), n);
    return v;
  }
  // The same into out, which holds n bytes and is zero where the data end;
  // returns how many bytes were there.
  size_t PaddedInto(uint8_t* out, size_t n) {
    size_t k = n < Remaining() ? n : Remaining();
    if (k) std::memcpy(out, p_ + pos_, k);
    pos_ += k;
    return k;
  }
  // Throws unless n more bytes are available.
  void Need(size_t n) const {
    if (n > n_ - pos_) ThrowEnd(n);
  }

 private:
  // Out of line: the reason is only put together when a read fails.
  [[noreturn]] void ThrowEnd(size_t need) const;

  uint64_t Le(int k) {
    Need(static_cast<size_t>(k));
    uint64_t v = 0;
    if constexpr (std::endian::native == std::endian::little) {
      // The low bytes of v in one load (a read per value in a large file).
      std::memcpy(&v, p_ + pos_, static_cast<size_t>(k));
    } else {
      for (int i = k - 1; i >= 0; --i) v = (v << 8) | p_[pos_ + i];
    }
    pos_ += static_cast<size_t>(k);
    return v;
  }

  const uint8_t* p_ = nullptr;
  size_t n_ = 0;
  size_t pos_ = 0;
};

// A whole file's bytes in one block, read straight into it: the block is
// neither cleared nor copied first.
class TFileBytes {
 public:
  // False when the file cannot be opened or read.
  bool Read(const std::string& path);
  const uint8_t* Data() const { return data_.get(); }
  size_t Size() const { return size_; }

 private:
  std::unique_ptr<uint8_t[]> data_;
  size_t size_ = 0;
};

// The same into a vector; false when the file cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out);

}  // namespace tessa
