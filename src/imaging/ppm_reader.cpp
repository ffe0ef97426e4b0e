#include "imaging/ppm_reader.h"

#include <algorithm>

#include "core/errors.h"

namespace vitrine {

namespace {

constexpr const char* kReadError = "Read error!";

bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The file's bytes; running out of them is "Read error!".
class AnymapInput {
 public:
  AnymapInput(std::span<const uint8_t> file, std::string_view formatName) : file_(file), formatName_(formatName) {}

  // The next byte, or -1 at the end of the file.
  int Peek() const { return pos_ < file_.size() ? file_[pos_] : -1; }
  uint8_t Next() {
    int c = Peek();
    if (c < 0) throw EInvalidGraphic(kReadError);
    ++pos_;
    return uint8_t(c);
  }
  void Read(uint8_t* out, size_t count) {
    if (count > file_.size() - pos_) throw EInvalidGraphic(kReadError);
    std::copy_n(file_.data() + pos_, count, out);
    pos_ += count;
  }
  // From "#" up to and including the end of its line.
  void SkipComment() {
    int c = Peek();
    while (c >= 0 && c != '\n' && c != '\r') {
      ++pos_;
      c = Peek();
    }
    if (c >= 0) ++pos_;
  }
  // Whitespace and comments.
  void SkipBlanks() {
    for (;;) {
      int c = Peek();
      if (c == '#') {
        SkipComment();
      } else if (c >= 0 && IsSpace(c)) {
        ++pos_;
      } else {
        return;
      }
    }
  }
  // A decimal number after blanks; a comment may cut into it. Values past limit are refused
  // as a bad header (limitIsError) or clamped (samples).
  uint32_t Number(uint32_t limit, bool limitIsError) {
    SkipBlanks();
    int c = Peek();
    if (c < 0) throw EInvalidGraphic(kReadError);
    if (c < '0' || c > '9') throw EInvalidGraphic::InvalidFormat(formatName_);
    uint64_t v = 0;
    while (c >= '0' && c <= '9') {
      v = std::min<uint64_t>(v * 10 + uint64_t(c - '0'), uint64_t(limit) + 1);
      ++pos_;
      c = Peek();
      if (c == '#') {
        SkipComment();
        c = Peek();
      }
    }
    if (v > limit) {
      if (limitIsError) throw EInvalidGraphic::InvalidFormat(formatName_);
      v = limit;
    }
    return uint32_t(v);
  }

 private:
  std::span<const uint8_t> file_;
  std::string_view formatName_;
  size_t pos_ = 0;
};

}  // namespace

void TPPMGraphic::Decode(std::span<const uint8_t> file) {
  AnymapInput in(file, FormatName());
  if (in.Next() != 'P') Invalid();
  const uint8_t kind = in.Next();
  if (kind < '1' || kind > '6') Invalid();
  const int type = kind - '0';
  const bool plain = type <= 3;
  const bool bitmap = type == 1 || type == 4;
  const int samples = (type == 3 || type == 6) ? 3 : 1;

  const uint32_t width = in.Number(UINT32_MAX - 1, true);
  const uint32_t height = in.Number(UINT32_MAX - 1, true);
  const uint32_t maxValue = bitmap ? 1 : in.Number(65535, true);
  if (maxValue == 0) Invalid();
  CheckSize(width, height);
  // Exactly one whitespace byte separates the header from raw data.
  if (!plain && !IsSpace(in.Next())) Invalid();

  colorManager_.SourceScheme = samples == 3 ? TColorScheme::RGB : TColorScheme::Gray;
  colorManager_.SourceBitsPerSample = 8;
  colorManager_.SourceSamplesPerPixel = samples;
  colorManager_.SetupConversion();

  image_.Reset(int32_t(width), int32_t(height), PixelFormat::Xrgb8888);
  const size_t rowSamples = size_t(width) * samples;
  const size_t sampleBytes = maxValue > 255 ? 2 : 1;
  std::vector<uint8_t> raw(bitmap ? (size_t(width) + 7) / 8 : rowSamples * sampleBytes);
  std::vector<uint8_t> row(rowSamples);
  auto scale = [maxValue](uint32_t v) {
    v = std::min(v, maxValue);
    return uint8_t((uint64_t(v) * 255 + maxValue / 2) / maxValue);
  };
  for (uint32_t y = 0; y < height; ++y) {
    if (type == 1) {
      // Digits need no separators: "0101" is four pixels.
      for (size_t x = 0; x < width; ++x) {
        in.SkipBlanks();
        uint8_t c = in.Next();
        if (c != '0' && c != '1') Invalid();
        row[x] = c == '1' ? 0 : 255;
      }
    } else if (plain) {
      for (size_t i = 0; i < rowSamples; ++i) row[i] = scale(in.Number(maxValue, false));
    } else if (type == 4) {
      in.Read(raw.data(), raw.size());
      for (size_t x = 0; x < width; ++x) row[x] = (raw[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
    } else {
      in.Read(raw.data(), raw.size());
      for (size_t i = 0; i < rowSamples; ++i)
        row[i] = scale(sampleBytes == 2 ? uint32_t(raw[2 * i] << 8 | raw[2 * i + 1]) : raw[i]);
    }
    colorManager_.ConvertRow(row.data(), image_.Row(int32_t(y)), int32_t(width));
  }
}

}  // namespace vitrine
