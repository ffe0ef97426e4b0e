#pragma once
// The pixel-format converter the readers share: rows of file samples in, rows of the
// bitmap's 32-bit scan line (bytes B, G, R, 0) out.
//
// Use: set the Source* fields (and the palette for indexed data, the gamma pair when the file
// states one), call SetupConversion(), then ConvertRow() once per row. SetupConversion()
// throws EColorConversionError "Error!" for a layout it does not handle.
#include <cstdint>
#include <span>
#include <vector>

namespace vitrine {

enum class TColorScheme {
  None,
  Indexed,    // palette indices, 1, 2, 4 or 8 bits, one sample
  Gray,       // 1, 2, 4, 8 or 16 bits, one sample; 0 is black
  GrayAlpha,  // 8 or 16 bits, two samples (alpha dropped)
  RGB,        // 8 or 16 bits, three samples (a fourth one, when SamplesPerPixel is 4, is skipped)
  RGBA,       // 8 or 16 bits, four samples (alpha dropped)
  BGR,
  BGRA,       // also the target: the bitmap's scan line
  CMYK,       // ink amounts, 0 = no ink (invert first where a file stores 0 = full ink)
  CIELab,     // L over the whole sample range = 0..100; a and b centred on half the range
  YCbCr,      // full-range (JFIF) luma and chroma
  PhotoYCC,   // Photo CD luma and chroma (interleaved Y, C1, C2 per pixel)
};

class TColorManager {
 public:
  TColorScheme SourceScheme = TColorScheme::RGB;
  int SourceBitsPerSample = 8;
  int SourceSamplesPerPixel = 3;
  // Byte order of 16-bit source samples.
  bool SourceBigEndian = true;

  // Only the bitmap's scan line is a valid target: BGRA, 8 bits, 4 samples.
  TColorScheme TargetScheme = TColorScheme::BGRA;
  int TargetBitsPerSample = 8;
  int TargetSamplesPerPixel = 4;

  // Colour samples are corrected by the exponent 1 / (FileGamma * DisplayGamma); the
  // default pair leaves them as they are.
  double FileGamma = 1.0;
  double DisplayGamma = 1.0;

  // Pixels of indexed sources, as scan-line words 0x00RRGGBB. Indices past its end give black.
  std::vector<uint32_t> Palette;

  // Checks that source and target fit together and picks the row routine.
  void SetupConversion();

  // Converts width pixels of interleaved samples (sub-byte samples packed MSB first).
  void ConvertRow(const uint8_t* source, uint8_t* target, int32_t width);
  // Planar samples: one plane per source sample, each holding width samples of 8 or 16 bits.
  void ConvertRow(std::span<const uint8_t* const> planes, uint8_t* target, int32_t width);

  // Bytes of one interleaved source row of width pixels.
  uint64_t SourceRowBytes(int32_t width) const;

  // Palette builders for indexed images.
  // 2^bitsPerSample grey steps from black to white.
  void CreateGrayscalePalette(int bitsPerSample);
  // count entries of 8-bit samples in the given order (RGB, BGR, RGBA or BGRA).
  void CreateColorPalette(std::span<const uint8_t> entries, TColorScheme order, int count);

  // One 16-bit sample scaled to 8 bits, rounded (v * 255 / 65535).
  static uint8_t Scale16To8(uint16_t v) { return uint8_t((uint32_t(v) * 255u + 32767u) / 65535u); }

 private:
  using RowRoutine = void (TColorManager::*)(const uint8_t* samples, uint8_t* target, int32_t width);

  void IndexedRow(const uint8_t* samples, uint8_t* target, int32_t width);
  void GrayRow(const uint8_t* samples, uint8_t* target, int32_t width);
  void GrayAlphaRow(const uint8_t* samples, uint8_t* target, int32_t width);
  void RgbRow(const uint8_t* samples, uint8_t* target, int32_t width);
  void BgrRow(const uint8_t* samples, uint8_t* target, int32_t width);
  void CmykRow(const uint8_t* samples, uint8_t* target, int32_t width);
  void LabRow(const uint8_t* samples, uint8_t* target, int32_t width);
  void YCbCrRow(const uint8_t* samples, uint8_t* target, int32_t width);
  void PhotoYCCRow(const uint8_t* samples, uint8_t* target, int32_t width);
  void ApplyGamma(uint8_t* target, int32_t width) const;

  RowRoutine routine_ = nullptr;
  bool subByte_ = false;       // 1, 2 or 4 bits: unpacked to one byte per sample first
  bool wide_ = false;          // 16 bits: scaled to one byte per sample first
  bool gamma_ = false;
  uint8_t gammaTable_[256] = {};
  std::vector<uint8_t> scratch_;  // one row of 8-bit interleaved samples
};

}  // namespace vitrine
