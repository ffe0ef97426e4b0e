#include "imaging/color_manager.h"

#include <algorithm>
#include <cmath>

#include "core/errors.h"

namespace vitrine {

namespace {

constexpr const char* kConversionError = "Error!";

uint8_t Clamp8(double v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); }

void Put(uint8_t* target, uint8_t r, uint8_t g, uint8_t b) {
  target[0] = b;
  target[1] = g;
  target[2] = r;
  target[3] = 0;
}

bool OneOf(int v, std::initializer_list<int> allowed) {
  return std::find(allowed.begin(), allowed.end(), v) != allowed.end();
}

// sRGB transfer of a linear value 0..1.
double EncodeSrgb(double v) {
  v = std::clamp(v, 0.0, 1.0);
  return v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
}

}  // namespace

void TColorManager::SetupConversion() {
  routine_ = nullptr;
  if (TargetScheme != TColorScheme::BGRA || TargetBitsPerSample != 8 || TargetSamplesPerPixel != 4)
    throw EColorConversionError(kConversionError);

  const int bits = SourceBitsPerSample, spp = SourceSamplesPerPixel;
  const bool bytesOrWords = OneOf(bits, {8, 16});
  bool ok = false;
  switch (SourceScheme) {
    case TColorScheme::Indexed:
      ok = OneOf(bits, {1, 2, 4, 8}) && spp == 1;
      routine_ = &TColorManager::IndexedRow;
      break;
    case TColorScheme::Gray:
      ok = OneOf(bits, {1, 2, 4, 8, 16}) && spp == 1;
      routine_ = &TColorManager::GrayRow;
      break;
    case TColorScheme::GrayAlpha:
      ok = bytesOrWords && spp == 2;
      routine_ = &TColorManager::GrayAlphaRow;
      break;
    case TColorScheme::RGB:
    case TColorScheme::RGBA:
      ok = bytesOrWords && (SourceScheme == TColorScheme::RGB ? OneOf(spp, {3, 4}) : spp == 4);
      routine_ = &TColorManager::RgbRow;
      break;
    case TColorScheme::BGR:
    case TColorScheme::BGRA:
      ok = bytesOrWords && (SourceScheme == TColorScheme::BGR ? OneOf(spp, {3, 4}) : spp == 4);
      routine_ = &TColorManager::BgrRow;
      break;
    case TColorScheme::CMYK:
      ok = bytesOrWords && OneOf(spp, {4, 5});
      routine_ = &TColorManager::CmykRow;
      break;
    case TColorScheme::CIELab:
      ok = bytesOrWords && OneOf(spp, {3, 4});
      routine_ = &TColorManager::LabRow;
      break;
    case TColorScheme::YCbCr:
      ok = bits == 8 && spp == 3;
      routine_ = &TColorManager::YCbCrRow;
      break;
    case TColorScheme::PhotoYCC:
      ok = bits == 8 && spp == 3;
      routine_ = &TColorManager::PhotoYCCRow;
      break;
    case TColorScheme::None:
      break;
  }
  if (!ok) {
    routine_ = nullptr;
    throw EColorConversionError(kConversionError);
  }
  subByte_ = bits < 8;
  wide_ = bits == 16;

  gamma_ = false;
  if (FileGamma > 0 && DisplayGamma > 0) {
    double exponent = 1.0 / (FileGamma * DisplayGamma);
    if (std::fabs(exponent - 1.0) > 1e-3) {
      gamma_ = true;
      for (int i = 0; i < 256; ++i) gammaTable_[i] = Clamp8(255.0 * std::pow(i / 255.0, exponent));
    }
  }
}

uint64_t TColorManager::SourceRowBytes(int32_t width) const {
  return (uint64_t(std::max(width, 0)) * uint64_t(SourceSamplesPerPixel) * uint64_t(SourceBitsPerSample) + 7) / 8;
}

void TColorManager::ConvertRow(const uint8_t* source, uint8_t* target, int32_t width) {
  if (!routine_) throw EColorConversionError(kConversionError);
  if (width <= 0) return;
  const uint8_t* samples = source;
  const size_t count = size_t(width) * size_t(SourceSamplesPerPixel);
  if (subByte_) {
    scratch_.resize(count);
    const int bits = SourceBitsPerSample, perByte = 8 / bits, mask = (1 << bits) - 1;
    for (size_t i = 0; i < count; ++i) {
      int shift = 8 - bits * (int(i % perByte) + 1);
      scratch_[i] = uint8_t((source[i / perByte] >> shift) & mask);
    }
    samples = scratch_.data();
  } else if (wide_) {
    scratch_.resize(count);
    for (size_t i = 0; i < count; ++i) {
      uint16_t v = SourceBigEndian ? uint16_t(source[2 * i] << 8 | source[2 * i + 1])
                                   : uint16_t(source[2 * i + 1] << 8 | source[2 * i]);
      scratch_[i] = Scale16To8(v);
    }
    samples = scratch_.data();
  }
  (this->*routine_)(samples, target, width);
  if (gamma_) ApplyGamma(target, width);
}

void TColorManager::ConvertRow(std::span<const uint8_t* const> planes, uint8_t* target, int32_t width) {
  if (!routine_ || subByte_ || planes.size() != size_t(SourceSamplesPerPixel))
    throw EColorConversionError(kConversionError);
  if (width <= 0) return;
  const size_t spp = planes.size();
  scratch_.resize(size_t(width) * spp);
  for (size_t s = 0; s < spp; ++s) {
    const uint8_t* plane = planes[s];
    for (size_t x = 0; x < size_t(width); ++x) {
      uint8_t v;
      if (!wide_) v = plane[x];
      else if (SourceBigEndian) v = Scale16To8(uint16_t(plane[2 * x] << 8 | plane[2 * x + 1]));
      else v = Scale16To8(uint16_t(plane[2 * x + 1] << 8 | plane[2 * x]));
      scratch_[x * spp + s] = v;
    }
  }
  (this->*routine_)(scratch_.data(), target, width);
  if (gamma_) ApplyGamma(target, width);
}

void TColorManager::IndexedRow(const uint8_t* samples, uint8_t* target, int32_t width) {
  for (int32_t x = 0; x < width; ++x, target += 4) {
    uint32_t p = samples[x] < Palette.size() ? Palette[samples[x]] : 0;
    Put(target, uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p));
  }
}

void TColorManager::GrayRow(const uint8_t* samples, uint8_t* target, int32_t width) {
  const int bits = SourceBitsPerSample;
  const int maxValue = bits < 8 ? (1 << bits) - 1 : 255;
  for (int32_t x = 0; x < width; ++x, target += 4) {
    uint8_t v = maxValue == 255 ? samples[x] : uint8_t(samples[x] * 255 / maxValue);
    Put(target, v, v, v);
  }
}

void TColorManager::GrayAlphaRow(const uint8_t* samples, uint8_t* target, int32_t width) {
  for (int32_t x = 0; x < width; ++x, target += 4, samples += 2) Put(target, samples[0], samples[0], samples[0]);
}

void TColorManager::RgbRow(const uint8_t* samples, uint8_t* target, int32_t width) {
  const int spp = SourceSamplesPerPixel;
  for (int32_t x = 0; x < width; ++x, target += 4, samples += spp) Put(target, samples[0], samples[1], samples[2]);
}

void TColorManager::BgrRow(const uint8_t* samples, uint8_t* target, int32_t width) {
  const int spp = SourceSamplesPerPixel;
  for (int32_t x = 0; x < width; ++x, target += 4, samples += spp) Put(target, samples[2], samples[1], samples[0]);
}

void TColorManager::CmykRow(const uint8_t* samples, uint8_t* target, int32_t width) {
  const int spp = SourceSamplesPerPixel;
  for (int32_t x = 0; x < width; ++x, target += 4, samples += spp) {
    int k = 255 - samples[3];
    auto channel = [k](int ink) { return uint8_t(((255 - ink) * k + 127) / 255); };
    Put(target, channel(samples[0]), channel(samples[1]), channel(samples[2]));
  }
}

void TColorManager::LabRow(const uint8_t* samples, uint8_t* target, int32_t width) {
  // D50 white, as graphics programs store Lab; Bradford-adapted to sRGB's D65.
  constexpr double Xn = 0.9642, Yn = 1.0, Zn = 0.8249;
  const int spp = SourceSamplesPerPixel;
  auto finv = [](double t) { return t > 6.0 / 29 ? t * t * t : 3 * (6.0 / 29) * (6.0 / 29) * (t - 4.0 / 29); };
  for (int32_t x = 0; x < width; ++x, target += 4, samples += spp) {
    double L = samples[0] * 100.0 / 255.0, a = samples[1] - 128.0, b = samples[2] - 128.0;
    double fy = (L + 16) / 116, fx = fy + a / 500, fz = fy - b / 200;
    double X = Xn * finv(fx), Y = Yn * finv(fy), Z = Zn * finv(fz);
    double r = 3.1338561 * X - 1.6168667 * Y - 0.4906146 * Z;
    double g = -0.9787684 * X + 1.9161415 * Y + 0.0334540 * Z;
    double bl = 0.0719453 * X - 0.2289914 * Y + 1.4052427 * Z;
    Put(target, Clamp8(255 * EncodeSrgb(r)), Clamp8(255 * EncodeSrgb(g)), Clamp8(255 * EncodeSrgb(bl)));
  }
}

void TColorManager::YCbCrRow(const uint8_t* samples, uint8_t* target, int32_t width) {
  for (int32_t x = 0; x < width; ++x, target += 4, samples += 3) {
    double y = samples[0], cb = samples[1] - 128.0, cr = samples[2] - 128.0;
    Put(target, Clamp8(y + 1.402 * cr), Clamp8(y - 0.344136 * cb - 0.714136 * cr), Clamp8(y + 1.772 * cb));
  }
}

void TColorManager::PhotoYCCRow(const uint8_t* samples, uint8_t* target, int32_t width) {
  for (int32_t x = 0; x < width; ++x, target += 4, samples += 3) {
    double l = 1.3584 * samples[0];
    double c1 = 2.2179 * (samples[1] - 156.0);
    double c2 = 1.8215 * (samples[2] - 137.0);
    Put(target, Clamp8(l + c2), Clamp8(l - 0.194 * c1 - 0.509 * c2), Clamp8(l + c1));
  }
}

void TColorManager::ApplyGamma(uint8_t* target, int32_t width) const {
  for (int32_t x = 0; x < width; ++x, target += 4)
    for (int c = 0; c < 3; ++c) target[c] = gammaTable_[target[c]];
}

void TColorManager::CreateGrayscalePalette(int bitsPerSample) {
  bitsPerSample = std::clamp(bitsPerSample, 1, 8);
  const int count = 1 << bitsPerSample;
  Palette.assign(size_t(count), 0);
  for (int i = 0; i < count; ++i) {
    uint32_t v = uint32_t(i * 255 / (count - 1));
    Palette[size_t(i)] = v << 16 | v << 8 | v;
  }
}

void TColorManager::CreateColorPalette(std::span<const uint8_t> entries, TColorScheme order, int count) {
  const size_t size = (order == TColorScheme::RGBA || order == TColorScheme::BGRA) ? 4 : 3;
  const bool bgr = order == TColorScheme::BGR || order == TColorScheme::BGRA;
  count = std::max(count, 0);
  const size_t n = std::min(size_t(count), entries.size() / size);
  Palette.assign(n, 0);
  for (size_t i = 0; i < n; ++i) {
    const uint8_t* e = entries.data() + i * size;
    uint32_t r = bgr ? e[2] : e[0], g = e[1], b = bgr ? e[0] : e[2];
    Palette[i] = r << 16 | g << 8 | b;
  }
}

}  // namespace vitrine
