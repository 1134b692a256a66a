// Steps the JWW/JWS and the JWC/JWK conversions share.
#pragma once

#include <cstdint>
#include <string>

namespace tessa {

// The layer group the options name as giving the drawing scale, kept
// inside the 16 groups.
int32_t ConvScaleGroup();

// Width factor of a text type: width / height, or plain width (1) for a
// type without height, which has no ratio.
double MojiWidthFactor(double width, double height);

// The text style of a text type (name) and its vertical twin (name + "T",
// the Japanese font turned), both with the same size, into DxfModel.
void AddMojiStylePair(const std::u16string& name, double width, double height);

}  // namespace tessa
