// Drawings the hardening tests feed to the converter, laid out as bytes by
// the test-side fixture writers: ordinary ones of a chosen size, ones with
// bound images, and damaged ones whose counts or nesting claim far more
// than the file holds.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "gzip.h"

namespace tessa::hardening {

using TBytes = std::vector<uint8_t>;

// A JWW drawing (version 700) with `lines` lines, as many texts and a
// block placed twice; its DXF grows with `lines`.
TBytes JwwDrawing(int lines);
// The same with bound images (name, content) and one image text per image.
TBytes JwwWithImages(int lines, const std::vector<std::pair<std::u16string, std::string>>& images);
TBytes JwsSymbol(int lines);
TBytes JwcDrawing(int lines);
TBytes JwkSymbol(int lines);


// Damaged drawings: a header as usual, then a count that claims far more
// than follows.
TBytes JwwClaimingEntities(uint32_t count);
TBytes JwwClaimingBlockDefs(uint32_t count);
TBytes JwwClaimingImages(uint32_t count);
TBytes JwwClaimingImageSize(int32_t size);
TBytes JwsClaimingEntities(uint32_t count);
// Header field 0..3 (line, arc, text, point counts) set to `count`.
TBytes JwcClaiming(int field, const std::string& count);
TBytes JwkClaiming(int field, const std::string& count);

// Definitions 1..depth, each placing the next; the drawing places 1.
TBytes JwwNestedChain(uint32_t depth);
// Definitions 1..depth, each placing the next twice: 2^depth copies.
TBytes JwwDoublingChain(uint32_t depth);

}  // namespace tessa::hardening
