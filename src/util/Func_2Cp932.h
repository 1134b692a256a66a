// Helpers: code page 932 and Unicode (part of Func_2.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessa {

// ---- Code page 932 and Unicode -------------------------------------------
// Decodes code page 932 bytes (Windows table) and cuts before the first NUL.
// A byte that starts no valid character gives one "?" and decoding goes on
// with the next byte.
std::u16string BytesToStr(const uint8_t* p, size_t n);
std::u16string BytesToStr(std::string_view bytes);
// Encodes to code page 932; a character without a code becomes "?" (one
// "?" for a surrogate pair).
std::string StrToCp932(std::u16string_view s);
// The code page 932 code of one UTF-16 unit: a single byte (below 0x100)
// or lead and trail byte (lead * 256 + trail); 0 when it has none (NUL,
// surrogates and characters outside the table).
uint16_t Cp932Code(char16_t c);
// Broken input (lone surrogates, invalid UTF-8 bytes) becomes U+FFFD.
std::string StrToUtf8(std::u16string_view s);
std::u16string Utf8ToStr(std::string_view s);

}  // namespace tessa
