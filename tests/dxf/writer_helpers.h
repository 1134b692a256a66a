// Test helpers for the DXF writer: building models record by record,
// writing them into the shared output folder, and reading the result
// back as code/value pairs.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dxf/SaveUnit.h"
#include "dxf/SaveWriter.h"

#ifndef TESSA_WRITER_OUT_DIR
#define TESSA_WRITER_OUT_DIR "."
#endif

namespace tessa::testing {

struct TPair {
  int code;
  std::string value;
};

inline std::string ReadFileBytes(const std::string& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

// Splits the text into pairs; every line must end with CR LF and every
// code line must hold a right-aligned number.
inline std::vector<TPair> ParsePairs(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t e = text.find("\r\n", pos);
    if (e == std::string::npos) {
      ADD_FAILURE() << "line without CR LF at byte " << pos;
      break;
    }
    lines.push_back(text.substr(pos, e - pos));
    pos = e + 2;
  }
  std::vector<TPair> out;
  if (lines.size() % 2 != 0) ADD_FAILURE() << "odd number of lines";
  for (size_t i = 0; i + 1 < lines.size(); i += 2) {
    const std::string& c = lines[i];
    if (c.size() < 3 || c.find_first_not_of(' ') == std::string::npos)
      ADD_FAILURE() << "bad code line '" << c << "' at line " << i + 1;
    out.push_back({std::atoi(c.c_str()), lines[i + 1]});
  }
  return out;
}

// Pairs of one section (between "2 <name>" and "0 ENDSEC").
inline std::vector<TPair> Section(const std::vector<TPair>& all, const std::string& name) {
  std::vector<TPair> out;
  for (size_t i = 0; i + 1 < all.size(); ++i) {
    if (all[i].code == 0 && all[i].value == "SECTION" && all[i + 1].value == name) {
      for (size_t j = i + 2; j < all.size(); ++j) {
        if (all[j].code == 0 && all[j].value == "ENDSEC") return out;
        out.push_back(all[j]);
      }
    }
  }
  return out;
}

inline bool HasSection(const std::vector<TPair>& all, const std::string& name) {
  for (size_t i = 0; i + 1 < all.size(); ++i)
    if (all[i].code == 0 && all[i].value == "SECTION" && all[i + 1].value == name) return true;
  return false;
}

// Items of a section: each starts at a code-0 pair.
inline std::vector<std::vector<TPair>> Items(const std::vector<TPair>& sec) {
  std::vector<std::vector<TPair>> out;
  for (const TPair& p : sec) {
    if (p.code == 0) out.emplace_back();
    if (!out.empty()) out.back().push_back(p);
  }
  return out;
}

// Value of the first pair with `code` (empty + failure when none).
inline std::string Value(const std::vector<TPair>& item, int code) {
  for (const TPair& p : item)
    if (p.code == code) return p.value;
  return "<none>";
}

inline bool Has(const std::vector<TPair>& item, int code) {
  for (const TPair& p : item)
    if (p.code == code) return true;
  return false;
}

inline std::vector<std::string> Values(const std::vector<TPair>& item, int code) {
  std::vector<std::string> out;
  for (const TPair& p : item)
    if (p.code == code) out.push_back(p.value);
  return out;
}

// Header variables: name -> value pairs that follow it.
inline std::vector<TPair> HeaderVar(const std::vector<TPair>& all, const std::string& name) {
  const std::vector<TPair> hdr = Section(all, "HEADER");
  std::vector<TPair> out;
  for (size_t i = 0; i < hdr.size(); ++i) {
    if (hdr[i].code == 9 && hdr[i].value == name) {
      for (size_t j = i + 1; j < hdr.size() && hdr[j].code != 9; ++j) out.push_back(hdr[j]);
      return out;
    }
  }
  return out;
}

inline std::vector<std::string> HeaderNames(const std::vector<TPair>& all) {
  std::vector<std::string> out;
  for (const TPair& p : Section(all, "HEADER"))
    if (p.code == 9) out.push_back(p.value);
  return out;
}

// Writes the model into the shared output folder (the ezdxf audit reads
// every file there) and returns the file's text.
inline std::string SaveAndRead(const TDXFmodel& m, const std::string& name,
                               const std::string& src = "/nonexistent/source.jww",
                               const TDXFWriteOptions& opt = {}) {
  const std::string path = std::string(TESSA_WRITER_OUT_DIR) + "/" + name + ".dxf";
  const TDXFWriteResult r = SaveDXFFile(m, src, path, opt);
  EXPECT_TRUE(r.ok) << path << ": " << r.message;
  return ReadFileBytes(path);
}

inline std::string SaveAndRead(const TDXFmodel& m, const std::string& name,
                               const TDXFWriteOptions& opt) {
  return SaveAndRead(m, name, "/nonexistent/source.jww", opt);
}

// The handle after the last one a writing of `m` used.
inline int32_t NextHandleAfterWriting(const TDXFmodel& m) {
  TDXFStringSink sink;
  const TDXFWriteResult r = SaveDXF(m, "", sink);
  EXPECT_TRUE(r.ok) << r.message;
  return r.nextHandle;
}

// ---- Building a model record by record -------------------------------------

inline void PushLtype(TDXFmodel& m, std::u16string nam, std::u16string exp,
                      std::vector<double> pt) {
  TDXF_Ltype t;
  t.nam = std::move(nam);
  t.exp = std::move(exp);
  for (double x : pt) t.pl += x < 0 ? -x : x;
  t.pt = std::move(pt);
  m.ltps.push_back(std::move(t));
}

inline void PushLayer(TDXFmodel& m, std::u16string nam, int col, int ltp, int wid,
                      bool dsp, bool prn) {
  m.lays.push_back(TDXF_Layer{std::move(nam), col, ltp, wid, dsp, prn});
}

inline void PushStyle(TDXFmodel& m, std::u16string nam, std::u16string fo1, bool fla) {
  TDXF_Style s;
  s.nam = std::move(nam);
  s.fo1 = std::move(fo1);
  s.fo2 = u"extfont2.shx";
  s.fla = fla;
  s.mw = 1.0;
  s.mhl = 2.5;
  m.msts.push_back(std::move(s));
}

// The standard start of every conversion: Continuous, layer "0",
// "Standard" and "Annotative".
inline void BasicTables(TDXFmodel& m) {
  PushLtype(m, u"Continuous", u"Solid line", {});
  PushLayer(m, u"0", 7, 1, 0, true, true);
  PushStyle(m, u"Standard", u"txt", false);
  PushStyle(m, u"Annotative", u"txt.shx", false);
}

template <class T>
void PushEnt(TDXFmodel& m, std::vector<T>& list, int kind, const T& rec) {
  m.deNo.push_back({kind, static_cast<int32_t>(list.size())});
  list.push_back(rec);
}

template <class T>
void PushBlockEnt(TDXF_BlockDef& b, std::vector<T>& list, int kind, const T& rec) {
  b.dmNo.push_back({kind, static_cast<int32_t>(list.size())});
  list.push_back(rec);
}

}  // namespace tessa::testing
