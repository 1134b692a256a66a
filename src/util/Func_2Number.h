// Helpers: text and numbers (part of Func_2.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessa {

// ---- Text and numbers ----------------------------------------------------
int32_t TextToInt(std::u16string_view s);
double TextToFloat(std::u16string_view s);
bool TextToBool(std::u16string_view s);
std::u16string IntToText(int32_t v);
// 15 significant digits, ties rounded half away from zero, locale-free ".".
// NaN and infinities give "NAN", "INF" and "-INF"; writers that must not
// emit them check for them first.
std::u16string FloatToText(double v);
// The same digits as a byte string (ASCII), for writers.
std::string FloatToAscii(double v);
// The same into out (at least 32 bytes, not terminated); returns the length.
// thousandthsChecked: ThousandthsOf(|v|) was false, so it is not tried again.
size_t FloatToChars(double v, char* out, bool thousandthsChecked = false);
// a (> 0) as y thousandths: true when y / 1000, for a whole y of at most
// 15 digits, is a's text in 15 digits, as FloatToText gives it.  (False
// may also mean the shortcut did not decide.)
bool ThousandthsOf(double a, uint64_t& y);

// Every text a number is read from or written to goes through these two,
// so that each system (the standard libraries differ in what they offer)
// reads and writes the same digits.

// The double nearest to the decimal number at the start of [first, last)
// ("-12.5", "3e-4", "inf"; no leading '+'): the characters read, 0 when no
// number starts there.  A number beyond the doubles reads as an infinity,
// one below the smallest as zero.
size_t CharsToFloat(const char* first, const char* last, double& v);
// v in fixed notation with `decimals` (0..9) decimals, correctly rounded
// (ties to even), into out (at least kFixedCharsMax bytes, not terminated);
// returns the length.
inline constexpr size_t kFixedCharsMax = 400;
size_t FixedChars(double v, int decimals, char* out);

}  // namespace tessa
