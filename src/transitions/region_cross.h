#pragma once
// Diamond and cross: the new picture through a diamond or a cross of two bars growing from
// the centre, or around one shrinking to it.
namespace vitrine {

enum class CrossKind { CrossFrom, CrossTo, DiamondFrom, DiamondTo };

void SetupCross(CrossKind kind);
bool CrossFrame();

}  // namespace vitrine
