#pragma once
// Bringing pictures of more than 8 bits per channel down to 8.
#include <cstdint>
#include <vector>

namespace vitrine::photo {

enum class Transfer { Sdr, Pq, Hlg };

// 8-bit sRGB levels for the codes 0..(2^bits - 1) of one channel. Standard range pictures
// scale linearly; PQ and HLG pictures go to light, through a curve that keeps diffuse white
// (203 cd/m2) a little below the top and rolls highlights off instead of clipping them, and
// back through the sRGB curve.
std::vector<uint8_t> ToneTable(int bits, Transfer transfer);

// As ToneTable but for three channels together, converting BT.2020 primaries (the primaries
// of HDR pictures) to sRGB's in linear light first. rgb: three codes of `bits` bits.
struct WideToneMapper {
  WideToneMapper(int bits, Transfer transfer);
  void Map(const uint16_t* rgb, uint8_t* out) const;

 private:
  std::vector<float> linear_;   // code -> relative light (1.0 = diffuse white)
  std::vector<uint8_t> encode_;  // tone-mapped linear 0..1 in 4096 steps -> sRGB level
};

}  // namespace vitrine::photo
