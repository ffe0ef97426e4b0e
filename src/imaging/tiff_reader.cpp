#include "imaging/tiff_reader.h"

#include <algorithm>
#include <cmath>
#include <vector>
#include <cstring>

#include "core/errors.h"
#include "imaging/orientation.h"

#if __has_include(<tiffio.h>)
#define VITRINE_WITH_TIFF 1
#include <tiffio.h>
#endif

namespace vitrine {

#ifdef VITRINE_WITH_TIFF

namespace {


// libtiff reads through these callbacks from the bytes in memory; it never writes.
struct MemoryFile {
  const uint8_t* data;
  toff_t size;
  toff_t position;
};

tsize_t ReadProc(thandle_t handle, tdata_t buffer, tsize_t count) {
  auto* file = static_cast<MemoryFile*>(handle);
  if (count <= 0 || file->position >= file->size) return 0;
  const toff_t n = std::min<toff_t>(toff_t(count), file->size - file->position);
  std::memcpy(buffer, file->data + file->position, size_t(n));
  file->position += n;
  return tsize_t(n);
}
tsize_t WriteProc(thandle_t, tdata_t, tsize_t) { return 0; }
toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
  auto* file = static_cast<MemoryFile*>(handle);
  toff_t base = whence == SEEK_CUR ? file->position : whence == SEEK_END ? file->size : 0;
  file->position = base + offset;  // past the end is allowed; reads there give nothing
  return file->position;
}
int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t handle) { return static_cast<MemoryFile*>(handle)->size; }
int MapProc(thandle_t, tdata_t*, toff_t*) { return 0; }
void UnmapProc(thandle_t, tdata_t, toff_t) {}

// libtiff reports through these; its messages are not shown, the failure is.
int SilentError(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
  void operator()(TIFF* tif) const { TIFFClose(tif); }
};

// Samples this reader converts itself because libtiff's RGBA interface cannot, or converts
// them differently from every viewer: grey of 9 to 15 bits (12-bit scans are common) and
// CIE L*a*b*.
bool IsWideGrey(uint16_t photometric, uint16_t bits, uint16_t samples) {
  return (photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE) && samples == 1 &&
         bits > 8 && bits < 16;
}
bool IsLab(uint16_t photometric, uint16_t bits, uint16_t samples) {
  return photometric == PHOTOMETRIC_CIELAB && samples >= 3 && (bits == 8 || bits == 16);
}

// The stored rows, whole, as libtiff decompresses them from strips or tiles.
std::vector<uint8_t> ReadStoredRows(TIFF* tif, uint32_t width, uint32_t height, size_t rowBytes, size_t bitsPerPixel) {
  std::vector<uint8_t> rows(rowBytes * height);
  if (!TIFFIsTiled(tif)) {
    for (uint32_t y = 0; y < height; ++y)
      if (TIFFReadScanline(tif, rows.data() + y * rowBytes, y, 0) < 0) return {};
    return rows;
  }
  uint32_t tileWidth = 0, tileHeight = 0;
  TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
  TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileHeight);
  const tmsize_t tileBytes = TIFFTileSize(tif);
  const size_t tileRowBytes = size_t(TIFFTileRowSize(tif));
  if (tileWidth == 0 || tileHeight == 0 || tileBytes <= 0 || tileRowBytes == 0) return {};
  std::vector<uint8_t> tile(static_cast<size_t>(tileBytes));
  // A tile's rows go to its first pixel's byte: tile widths are multiples of 16, so even
  // packed 12-bit samples start a tile on a whole byte.
  for (uint32_t ty = 0; ty < height; ty += tileHeight)
    for (uint32_t tx = 0; tx < width; tx += tileWidth) {
      if (TIFFReadTile(tif, tile.data(), tx, ty, 0, 0) < 0) return {};
      const size_t at = size_t(tx) * bitsPerPixel / 8;
      const size_t n = std::min(tileRowBytes, rowBytes - at);
      for (uint32_t r = 0; r < tileHeight && ty + r < height; ++r)
        std::memcpy(rows.data() + size_t(ty + r) * rowBytes + at, tile.data() + r * tileRowBytes, n);
    }
  return rows;
}

// Packed grey samples of 9 to 15 bits, scaled to 8 bits with rounding as 16-bit ones are.
void WideGreyToPixels(const std::vector<uint8_t>& rows, size_t rowBytes, uint16_t bits, bool minIsWhite, Bitmap& out) {
  const uint32_t maximum = (1u << bits) - 1;
  for (int32_t y = 0; y < out.Height(); ++y) {
    const uint8_t* row = rows.data() + size_t(y) * rowBytes;
    auto* target = reinterpret_cast<uint32_t*>(out.Row(y));
    size_t bit = 0;
    for (int32_t x = 0; x < out.Width(); ++x, bit += bits) {
      // Three bytes hold any sample of up to 16 bits, wherever it starts.
      uint32_t window = uint32_t(row[bit / 8]) << 16;
      if (bit / 8 + 1 < rowBytes) window |= uint32_t(row[bit / 8 + 1]) << 8;
      if (bit / 8 + 2 < rowBytes) window |= row[bit / 8 + 2];
      uint32_t v = (window >> (24 - bits - bit % 8)) & maximum;
      if (minIsWhite) v = maximum - v;
      const uint32_t g = (v * 255 + maximum / 2) / maximum;
      target[x] = g << 16 | g << 8 | g;
    }
  }
}

// CIE L*a*b* relative to the file's white point (D50 when the file names none, as TIFF
// intends and libtiff assumes) into sRGB: L*a*b* to XYZ, Bradford adaptation of that white
// to sRGB's D65, the sRGB primaries and transfer curve.
class LabToSrgb {
 public:
  explicit LabToSrgb(TIFF* tif) {
    float* chromaticity = nullptr;
    double wx = 0.3457, wy = 0.3585;  // D50
    if (TIFFGetField(tif, TIFFTAG_WHITEPOINT, &chromaticity) && chromaticity && chromaticity[1] > 0) {
      wx = chromaticity[0];
      wy = chromaticity[1];
    }
    white_[0] = wx / wy;
    white_[1] = 1.0;
    white_[2] = (1.0 - wx - wy) / wy;
    static constexpr double kBradford[3][3] = {
        {0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}};
    static constexpr double kBradfordInverse[3][3] = {
        {0.9869929, -0.1470543, 0.1599627}, {0.4323053, 0.5183603, 0.0492912}, {-0.0085287, 0.0400428, 0.9684867}};
    static constexpr double kD65[3] = {0.95047, 1.0, 1.08883};
    static constexpr double kXyzToLinearSrgb[3][3] = {
        {3.2404542, -1.5371385, -0.4985314}, {-0.9692660, 1.8760108, 0.0415560}, {0.0556434, -0.2040259, 1.0572252}};
    double from[3], to[3];
    for (int i = 0; i < 3; ++i) {
      from[i] = to[i] = 0;
      for (int j = 0; j < 3; ++j) {
        from[i] += kBradford[i][j] * white_[j];
        to[i] += kBradford[i][j] * kD65[j];
      }
    }
    double adapt[3][3];  // inverse(Bradford) * diag(to / from) * Bradford
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) {
        adapt[i][j] = 0;
        for (int k = 0; k < 3; ++k) adapt[i][j] += kBradfordInverse[i][k] * (to[k] / from[k]) * kBradford[k][j];
      }
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) {
        matrix_[i][j] = 0;
        for (int k = 0; k < 3; ++k) matrix_[i][j] += kXyzToLinearSrgb[i][k] * adapt[k][j];
      }
    for (int i = 0; i < 4096; ++i) {
      const double linear = i / 4095.0;
      const double v = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
      curve_[i] = uint8_t(std::lround(std::clamp(v, 0.0, 1.0) * 255));
    }
  }

  uint32_t operator()(double l, double a, double b) const {
    auto inverseF = [](double t) { return t > 6.0 / 29 ? t * t * t : 3 * (6.0 / 29) * (6.0 / 29) * (t - 4.0 / 29); };
    const double fy = (l + 16) / 116;
    const double xyz[3] = {white_[0] * inverseF(fy + a / 500), white_[1] * inverseF(fy), white_[2] * inverseF(fy - b / 200)};
    uint32_t pixel = 0;
    for (int i = 0; i < 3; ++i) {
      const double linear = matrix_[i][0] * xyz[0] + matrix_[i][1] * xyz[1] + matrix_[i][2] * xyz[2];
      pixel = pixel << 8 | curve_[size_t(std::lround(std::clamp(linear, 0.0, 1.0) * 4095))];
    }
    return pixel;
  }

 private:
  double white_[3];
  double matrix_[3][3];
  uint8_t curve_[4096];
};

void LabToPixels(TIFF* tif, const std::vector<uint8_t>& rows, size_t rowBytes, uint16_t bits, uint16_t samples,
                 Bitmap& out) {
  const LabToSrgb convert(tif);
  for (int32_t y = 0; y < out.Height(); ++y) {
    const uint8_t* row = rows.data() + size_t(y) * rowBytes;
    auto* target = reinterpret_cast<uint32_t*>(out.Row(y));
    for (int32_t x = 0; x < out.Width(); ++x) {
      double l, a, b;
      if (bits == 8) {
        const uint8_t* p = row + size_t(x) * samples;
        l = p[0] * 100.0 / 255;
        a = int8_t(p[1]);
        b = int8_t(p[2]);
      } else {
        uint16_t p[3];
        std::memcpy(p, row + size_t(x) * samples * 2, sizeof p);  // libtiff gives native order
        l = p[0] * 100.0 / 65535;
        a = int16_t(p[1]) / 256.0;
        b = int16_t(p[2]) / 256.0;
      }
      target[x] = convert(l, a, b);
    }
  }
}

// Everything else through libtiff's RGBA interface, rows as stored (the orientation is
// applied afterwards for all layouts alike).
bool ReadThroughLibtiff(TIFF* tif, Bitmap& out) {
  char message[1024] = {};
  if (!TIFFRGBAImageOK(tif, message)) return false;
  TIFFRGBAImage image;
  if (!TIFFRGBAImageBegin(&image, tif, 0, message)) return false;
  image.req_orientation = ORIENTATION_TOPLEFT;
  image.orientation = ORIENTATION_TOPLEFT;
  // libtiff's packed ABGR words are written straight into the scan lines, which are exactly
  // width words long, then turned into the bitmap's 0x00RRGGBB.
  auto* raster = reinterpret_cast<uint32_t*>(out.Bits());
  const bool ok = TIFFRGBAImageGet(&image, raster, uint32_t(out.Width()), uint32_t(out.Height())) != 0;
  TIFFRGBAImageEnd(&image);
  if (!ok) return false;
  const size_t count = size_t(out.Width()) * size_t(out.Height());
  for (size_t i = 0; i < count; ++i) {
    const uint32_t abgr = raster[i];
    raster[i] = (TIFFGetR(abgr) << 16) | (TIFFGetG(abgr) << 8) | TIFFGetB(abgr);
  }
  return true;
}

}  // namespace

bool TTIFFGraphic::Available() { return true; }

void TTIFFGraphic::Decode(std::span<const uint8_t> file) {
  MemoryFile memory{file.data(), toff_t(file.size()), 0};
  if (memory.size < 8) Invalid();

  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  TIFFOpenOptionsSetErrorHandlerExtR(options, SilentError, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options, SilentError, nullptr);
  std::unique_ptr<TIFF, TiffCloser> tif(TIFFClientOpenExt("picture", "rm", &memory, ReadProc, WriteProc, SeekProc,
                                                          CloseProc, SizeProc, MapProc, UnmapProc, options));
  TIFFOpenOptionsFree(options);
  if (!tif) Invalid();

  uint32_t width = 0, height = 0;
  uint16_t photometric = 0, bits = 1, samples = 1, planar = PLANARCONFIG_CONTIG, orientation = ORIENTATION_TOPLEFT;
  TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
  TIFFGetField(tif.get(), TIFFTAG_PHOTOMETRIC, &photometric);
  TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tif.get(), TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tif.get(), TIFFTAG_ORIENTATION, &orientation);
  CheckSize(width, height);

  image_.Reset(int32_t(width), int32_t(height), PixelFormat::Xrgb8888);
  const bool wideGrey = IsWideGrey(photometric, bits, samples);
  const bool lab = IsLab(photometric, bits, samples);
  if (wideGrey || lab) {
    if (planar != PLANARCONFIG_CONTIG) Invalid();
    const size_t rowBytes = (size_t(width) * bits * samples + 7) / 8;
    if (tmsize_t(rowBytes) != TIFFScanlineSize(tif.get())) Invalid();
    const std::vector<uint8_t> rows = ReadStoredRows(tif.get(), width, height, rowBytes, size_t(bits) * samples);
    if (rows.empty()) Invalid();
    if (wideGrey) WideGreyToPixels(rows, rowBytes, bits, photometric == PHOTOMETRIC_MINISWHITE, image_);
    else LabToPixels(tif.get(), rows, rowBytes, bits, samples, image_);
  } else if (!ReadThroughLibtiff(tif.get(), image_)) {
    Invalid();
  }
  if (orientation >= 2 && orientation <= 8) image_ = ApplyOrientation(image_, orientation);
}

#else

bool TTIFFGraphic::Available() { return false; }

void TTIFFGraphic::Decode(std::span<const uint8_t>) {
  throw EInvalidGraphic("Unsupported picture format: TIFF pictures need libtiff, which this build lacks.");
}

#endif

}  // namespace vitrine
