#include "photo/tone.h"

#include <algorithm>
#include <cmath>

namespace vitrine::photo {
namespace {

constexpr double kDiffuseWhite = 203.0;  // cd/m2, BT.2408's reference white
constexpr int kEncodeSteps = 4096;

// Display light in cd/m2 of a normalised code value.
double Light(double v, Transfer transfer) {
  if (transfer == Transfer::Pq) {
    const double m1 = 2610.0 / 16384, m2 = 2523.0 / 4096 * 128, c1 = 3424.0 / 4096, c2 = 2413.0 / 4096 * 32,
                 c3 = 2392.0 / 4096 * 32;
    double p = std::pow(v, 1 / m2);
    return 10000.0 * std::pow(std::max(p - c1, 0.0) / (c2 - c3 * p), 1 / m1);
  }
  // HLG: inverse OETF to scene light, then the system gamma of a 1000 cd/m2 display.
  const double a = 0.17883277, b = 1 - 4 * a, c = 0.5 - a * std::log(4 * a);
  double scene = v <= 0.5 ? v * v / 3 : (std::exp((v - c) / a) + b) / 12;
  return 1000.0 * std::pow(scene, 1.2);
}

// Relative light (1 = diffuse white) to 0..1: extended Reinhard with a 1000 cd/m2 white point.
double ToneMap(double x) {
  const double white = 1000.0 / kDiffuseWhite;
  return std::min(1.0, x * (1 + x / (white * white)) / (1 + x));
}

uint8_t SrgbLevel(double linear) {
  linear = std::clamp(linear, 0.0, 1.0);
  double v = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
  return static_cast<uint8_t>(std::lround(v * 255));
}

}  // namespace

std::vector<uint8_t> ToneTable(int bits, Transfer transfer) {
  size_t count = size_t(1) << bits;
  double max = double(count - 1);
  std::vector<uint8_t> table(count);
  for (size_t code = 0; code < count; ++code) {
    double v = code / max;
    table[code] = transfer == Transfer::Sdr ? static_cast<uint8_t>(std::lround(v * 255))
                                            : SrgbLevel(ToneMap(Light(v, transfer) / kDiffuseWhite));
  }
  return table;
}

WideToneMapper::WideToneMapper(int bits, Transfer transfer) {
  size_t count = size_t(1) << bits;
  linear_.resize(count);
  for (size_t code = 0; code < count; ++code)
    linear_[code] = static_cast<float>(Light(code / double(count - 1), transfer) / kDiffuseWhite);
  encode_.resize(kEncodeSteps + 1);
  for (int i = 0; i <= kEncodeSteps; ++i) encode_[size_t(i)] = SrgbLevel(double(i) / kEncodeSteps);
}

void WideToneMapper::Map(const uint16_t* rgb, uint8_t* out) const {
  size_t last = linear_.size() - 1;
  float r = linear_[std::min<size_t>(rgb[0], last)], g = linear_[std::min<size_t>(rgb[1], last)],
        b = linear_[std::min<size_t>(rgb[2], last)];
  // BT.2020 to BT.709 primaries (BT.2087), in linear light.
  float lin[3] = {1.6605f * r - 0.5876f * g - 0.0728f * b, -0.1246f * r + 1.1329f * g - 0.0083f * b,
                  -0.0182f * r - 0.1006f * g + 1.1187f * b};
  for (int c = 0; c < 3; ++c) {
    double mapped = ToneMap(std::max(0.0f, lin[c]));
    out[c] = encode_[size_t(std::lround(mapped * kEncodeSteps))];
  }
}

}  // namespace vitrine::photo
