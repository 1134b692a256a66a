// Reasons: one table of codes, their stable names and their default words.
#include <algorithm>
#include <array>
#include <string>

#include "api/tessa_api.h"

namespace tessa::api {

namespace {

struct TReasonEntry {
  ReasonCode code;
  std::string_view name;
  std::string_view message;
  bool aboutOutput;
};

constexpr std::array<TReasonEntry, 17> kReasons{{
    {ReasonCode::NotFound, "not-found", "there is no drawing file", false},
    {ReasonCode::UnknownFormat, "unknown-format",
     "the name does not end in .jww, .jws, .jwc or .jwk", false},
    {ReasonCode::NotADrawing, "not-a-drawing", "the file is not a drawing of its format", false},
    {ReasonCode::UnsupportedVersion, "unsupported-version",
     "a file version this converter does not read", false},
    {ReasonCode::Truncated, "truncated", "the file ends too early", false},
    {ReasonCode::BadCount, "bad-count", "a count the rest of the file cannot hold", false},
    {ReasonCode::BadRecord, "bad-record", "a record that makes no sense", false},
    {ReasonCode::BlockNesting, "block-nesting", "blocks are nested too deep", false},
    {ReasonCode::OutputExists, "output-exists", "the output exists already", true},
    {ReasonCode::OutputIsDrawing, "output-is-drawing",
     "the output has the extension of a drawing", true},
    {ReasonCode::WriteFailed, "write-failed", "the DXF file could not be written", true},
    {ReasonCode::OutOfMemory, "out-of-memory", "memory ran out", false},
    {ReasonCode::Internal, "internal", "an unexpected failure", false},
    {ReasonCode::BadOption, "bad-option", "an option value outside its choices", false},
    {ReasonCode::NoDrawings, "no-drawings", "no drawings in this folder", false},
    {ReasonCode::OutputClash, "output-clash",
     "another drawing of this run has the same output", false},
    {ReasonCode::Interrupted, "interrupted", "not converted: the run was interrupted", false},
}};

constexpr std::array<ReasonCode, kReasons.size()> kCodes = [] {
  std::array<ReasonCode, kReasons.size()> codes{};
  for (size_t i = 0; i < kReasons.size(); ++i) codes[i] = kReasons[i].code;
  return codes;
}();

const TReasonEntry& EntryOf(ReasonCode code) {
  const auto it = std::find_if(kReasons.begin(), kReasons.end(),
                               [&](const TReasonEntry& e) { return e.code == code; });
  return it != kReasons.end() ? *it : kReasons[static_cast<size_t>(ReasonCode::Internal)];
}

}  // namespace

Reason MakeReason(ReasonCode code, std::string message, int64_t offset) {
  if (message.empty()) message = EntryOf(code).message;
  return Reason{code, std::move(message), offset};
}

std::string_view ReasonName(ReasonCode code) { return EntryOf(code).name; }

std::optional<ReasonCode> ReasonFromName(std::string_view name) {
  for (const TReasonEntry& e : kReasons)
    if (e.name == name) return e.code;
  return std::nullopt;
}

std::string_view DefaultMessage(ReasonCode code) { return EntryOf(code).message; }

std::span<const ReasonCode> AllReasonCodes() { return kCodes; }

bool AboutOutput(ReasonCode code) { return EntryOf(code).aboutOutput; }

std::string_view SubjectOf(const Reason& reason, std::string_view drawing,
                           std::string_view output) {
  return AboutOutput(reason.code) && !output.empty() ? output : drawing;
}

std::string Describe(const Reason& reason, std::string_view drawing, std::string_view output) {
  const std::string_view path = SubjectOf(reason, drawing, output);
  if (path.empty()) return reason.message;
  std::string line(path);
  line += ": ";
  line += reason.message;
  return line;
}

}  // namespace tessa::api
