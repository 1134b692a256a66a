// Helpers of the API tests: files, the command-line converter run as its
// parent runs it, and a reading of what a DXF file's sections hold.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "api/tessa_api.h"

extern char** environ;

namespace tessa::apitest {

inline std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& b) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  return static_cast<bool>(out);
}

inline bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// The DXF text with the values of the header's date variables blanked:
// they come from the source file's times.
inline std::string BlankDates(const std::string& dxf) {
  static const char* const kDates[] = {"$TDCREATE", "$TDUCREATE", "$TDUPDATE",
                                       "$TDUUPDATE", "$TDINDWG", "$TDUSRTIMER"};
  std::string out;
  std::istringstream in(dxf);
  std::string line;
  int blank = 0;
  while (std::getline(in, line)) {
    std::string t = line;
    if (!t.empty() && t.back() == '\r') t.pop_back();
    if (blank > 0 && --blank == 0) {
      out += "<date>\n";
      continue;
    }
    const size_t b = t.find_first_not_of(' ');
    const std::string trimmed = b == std::string::npos ? "" : t.substr(b);
    for (const char* d : kDates)
      if (trimmed == d) blank = 2;
    out += line + "\n";
  }
  return out;
}

// What the file holds, counted from its text: entities of the ENTITIES
// section per kind (vertices and the end of a polyline are parts of it, not
// entities) and, as "BLOCK", the block definitions besides the three of the
// spaces.
inline api::DxfCounts WrittenOfFile(const std::string& dxf) {
  std::vector<std::string> lines;
  std::istringstream in(dxf);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t b = line.find_first_not_of(' ');
    lines.push_back(b == std::string::npos ? "" : line.substr(b));
  }
  api::DxfCounts kinds;
  std::string section;
  int64_t blocks = 0;
  for (size_t i = 0; i + 1 < lines.size(); i += 2) {
    if (lines[i] != "0") continue;
    const std::string& v = lines[i + 1];
    if (v == "SECTION" && i + 3 < lines.size()) {
      section = lines[i + 3];
      continue;
    }
    if (v == "ENDSEC") section.clear();
    if (section == "ENTITIES" && v != "VERTEX" && v != "SEQEND") ++kinds[v];
    if (section == "BLOCKS" && v == "BLOCK") ++blocks;
  }
  if (blocks > 3) kinds["BLOCK"] = blocks - 3;
  return kinds;
}

// The settings file that gives the command-line converter these options.
inline std::string SettingsText(const api::Options& o) {
  std::vector<std::string> lines = {"50", "50", "480", "480", "True", "False", "False",
                                    "False", "False", "", "", "", "1", "Windows"};
  lines.push_back(std::to_string(static_cast<int>(o.dxf)));
  lines.push_back(std::to_string(static_cast<int>(o.penColours)));
  lines.push_back(std::to_string(static_cast<int>(o.layerNames)));
  lines.push_back(std::to_string(static_cast<int>(o.space)));
  lines.push_back(std::to_string(o.scaleGroup));
  lines.push_back(std::to_string(static_cast<int>(o.points)));
  std::ostringstream size;
  size.imbue(std::locale::classic());
  size.precision(17);
  size << o.pointSize;
  lines.push_back(size.str());
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

// Runs the command-line converter from a folder of its own with the
// settings file of `o` beside it; false when it could not be started.
inline bool RunCommandLine(const std::string& exe, const std::string& binDir,
                           const api::Options& o, const std::string& src,
                           const std::string& dst) {
  const std::string copy = binDir + "/tessaconv";
  if (!Exists(copy) && ::link(exe.c_str(), copy.c_str()) != 0) {
    std::ifstream in(exe, std::ios::binary);
    std::ofstream out(copy, std::ios::binary);
    out << in.rdbuf();
    out.close();
    ::chmod(copy.c_str(), 0755);
  }
  {
    std::ofstream s(binDir + "/Tessaconv.dat", std::ios::binary | std::ios::trunc);
    s << SettingsText(o);
  }
  std::vector<std::string> args = {copy, "a", "b", src, dst};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawn(&pid, copy.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status);
}

}  // namespace tessa::apitest
