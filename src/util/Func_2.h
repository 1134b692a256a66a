// Free helper functions shared by every part of the converter: tolerant
// text/number conversions, Japanese-aware text editing, plane geometry,
// extents accumulation, colours and thin file operations.
//
// Text from drawings is UTF-16 (std::u16string): one character is one
// UTF-16 code unit, and the editing functions count, index and clip in
// those units.  File paths are native byte strings (UTF-8 on Linux).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessa {

// Days since 1899-12-30 00:00 on the local clock (Delphi's TDateTime);
// 0 means "no time".
using TDateTime = double;

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
size_t FloatToChars(double v, char* out);

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

// ---- Text editing (zero-based, clipped indexes) ---------------------------
// Simple Unicode case mapping per code point; the length never changes.
std::u16string UpperStr(std::u16string_view s);
std::u16string LowerStr(std::u16string_view s);
// -1 when sub is absent or empty.
int IndexOfStr(std::u16string_view sub, std::u16string_view s);
std::u16string MidFrom(std::u16string_view s, int start);
std::u16string MidStr(std::u16string_view s, int start, int count);
std::u16string CharAt(std::u16string_view s, int index);
std::u16string DelCtrl(std::u16string_view s);
std::u16string DelSpace(std::u16string_view s);
std::u16string DelCtrlCode(std::u16string_view s);
bool IsHankaku(char16_t c);
double MojiWidth(std::u16string_view s, double w, double gap);
double MojiWidthFix(std::u16string_view s, double w, double gap);

// ---- Numbers and geometry (radians unless named Deg) ----------------------
double Round14(double x);
double RoundKeta(int digits, int mode, double x);
bool EqualVal(double a, double b);
bool EqualPoint(double x1, double y1, double x2, double y2);
double KaitenX(double x, double y, double cx, double cy, double a);
double KaitenY(double x, double y, double cx, double cy, double a);
void KaitenDeg(double x, double y, double cx, double cy, double deg,
               double& ox, double& oy);
double GetKakudo(double dx, double dy);
double NormDeg(double deg);
double NormDegTol(double deg, double tol);
void EllipsePoint(double cx, double cy, double r, double ratio, double tilt,
                  double t, double& x, double& y);
// The same for a tilt whose cosine and sine are already known (callers
// that take several points of one ellipse).
void EllipsePointTilted(double cx, double cy, double r, double ratio, double cosTilt,
                        double sinTilt, double t, double& x, double& y);
void EllipseArcPoints(double cx, double cy, double r, double ratio,
                      double start, double sweep, double tilt,
                      double& sx, double& sy, double& ex, double& ey,
                      double& px, double& py);
// 0 parallel, 1 crossing on both segments, 2 crossing outside a segment.
int LineCross(double ax1, double ay1, double ax2, double ay2,
              double bx1, double by1, double bx2, double by2,
              double& x, double& y);
void MinMaxInit(double& minx, double& miny, double& maxx, double& maxy,
                double x, double y, double s);
void MinMaxAdd(double& minx, double& miny, double& maxx, double& maxy,
               double x, double y, double s);
void MinMaxAddT(double& minx, double& miny, double& maxx, double& maxy,
                double x, double y, double tx, double ty,
                double a, double b, double c, double d, double s);

// ---- Colours (0xAARRGGBB, alpha 255) --------------------------------------
uint32_t RGBToColor(uint32_t r, uint32_t g, uint32_t b);
uint32_t WinColorToColor(uint32_t c);

// ---- Files and folders (never throw) --------------------------------------
// IsFile answers true for regular files only (links followed), so that a
// pipe or device is never opened as a drawing.  MakeFolder and DelFolder
// report whether they succeeded.  Times are local, in whole milliseconds;
// FileCreateTime is the birth time where the file system records one,
// else the last-write time.
char PathDelim();
std::string FileExtLower(const std::string& path);
std::string ChangeExtSafe(const std::string& path, const std::string& ext);
bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);
bool MakeFolder(const std::string& path);
bool DelFile(const std::string& path);
bool DelFolder(const std::string& path);
TDateTime FileCreateTime(const std::string& path);
TDateTime FileWriteTime(const std::string& path);

// ---- Image text of a Jw_cad image entity ----------------------------------
struct TImageText {
  std::u16string fname;
  double width = 0, height = 0, n3 = 0, n4 = 0, n5 = 1.0, n6 = 0;
  bool isShort = true;
};
TImageText ParseImageText(std::u16string_view text);

}  // namespace tessa
