#include "package/picture_routines.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/random.h"
#include "core/rounding.h"
#include "core/text.h"

namespace vitrine {
namespace {

// R(x) of the sizing rules, held inside the 32-bit range whatever the inputs.
int32_t R(long double x) {
  x = std::clamp<long double>(x, -2147483648.0L, 2147483647.0L);
  return RoundHalfEven(x);
}

// The colour of gradient step t out of n: per channel c1 + R(t * ((c2 - c1) / n)), each
// channel masked to 8 bits. A divisor of 0 only comes with t = 0 (a bitmap one pixel high
// or wide in the half-size styles), which is the first colour.
Color StepColor(Color c1, Color c2, long double t, long double n) {
  auto channel = [&](int a, int b) -> uint32_t {
    if (n == 0) return uint32_t(a) & 0xFF;
    return uint32_t(a + R(t * ((long double)(b - a) / n))) & 0xFF;
  };
  return channel(RedOf(c1), RedOf(c2)) | channel(GreenOf(c1), GreenOf(c2)) << 8 |
         channel(BlueOf(c1), BlueOf(c2)) << 16;
}

// Each step's rectangle lies inside the previous one, at most one pixel in on every side,
// and later steps paint over earlier ones. So what stays visible of a step is its one-pixel
// outline, and only the last step needs its inside filled: the same picture as filling
// every step, without repainting the middle hundreds of times.
void NestedRectangle(Canvas& canvas, const Rect& r, Color color, bool last) {
  canvas.Rectangle(r, color, last ? std::optional<Color>(color) : std::nullopt);
}

}  // namespace

PictureSize FitInside(int32_t srcWidth, int32_t srcHeight, int32_t maxWidth, int32_t maxHeight) {
  PictureSize s{srcWidth, srcHeight};
  if (srcWidth <= 0 || srcHeight <= 0) return s;
  long double w = srcWidth, h = srcHeight;
  if (srcWidth > maxWidth) {
    s.width = maxWidth;
    s.height = R(h / w * maxWidth);
    if (s.height > maxHeight) {
      s.height = maxHeight;
      s.width = R(w / h * maxHeight);
    }
  } else if (srcHeight > maxHeight) {
    s.height = maxHeight;
    s.width = R(w / h * maxHeight);
    if (s.width > maxWidth) {
      s.width = maxWidth;
      s.height = R(h / w * maxWidth);
    }
  }
  return s;
}

PictureSize CropToAspect(int32_t srcWidth, int32_t srcHeight, int32_t boxWidth, int32_t boxHeight) {
  if (boxWidth <= 0 || boxHeight <= 0) return {srcWidth, srcHeight};
  long double bw = boxWidth, bh = boxHeight;
  if (srcWidth <= srcHeight) return {srcWidth, R(bh / bw * srcWidth)};
  return {R(bw / bh * srcHeight), srcHeight};
}

PictureSize CropInside(int32_t srcWidth, int32_t srcHeight, int32_t boxWidth, int32_t boxHeight) {
  if (boxWidth <= 0 || boxHeight <= 0 || srcWidth <= 0 || srcHeight <= 0) return {srcWidth, srcHeight};
  long double bw = boxWidth, bh = boxHeight;
  const int32_t width = R(bw / bh * srcHeight);
  if (width <= srcWidth) return {std::max(width, 1), srcHeight};
  return {srcWidth, std::clamp(R(bh / bw * srcWidth), 1, srcHeight)};
}

void BlendTransparent(Bitmap& picture, Canvas& dest, int32_t x, int32_t y) {
  if (picture.Empty()) return;
  const int32_t w = picture.Width(), h = picture.Height();
  const Rect all{0, 0, w, h};
  Bitmap mask = MakeMask(picture, picture.GetPixel(0, 0));
  Bitmap under(w, h, picture.Format());
  Canvas underCanvas(under);
  underCanvas.CopyRect(all, dest.Target(), {x, y, x + w, y + h});
  underCanvas.CopyRect(all, mask, all, RasterOp::SrcAnd);  // destination where key-coloured
  Canvas(mask).PatBlt(all, RasterOp::DstInvert);
  Canvas pictureCanvas(picture);
  pictureCanvas.CopyRect(all, mask, all, RasterOp::SrcAnd);  // picture where not key-coloured
  pictureCanvas.CopyRect(all, under, all, RasterOp::SrcInvert);
}

void GradientFill(Color color1, Color color2, int32_t style, Bitmap& bitmap) {
  const int32_t W = bitmap.Width(), H = bitmap.Height();
  if (W <= 0 || H <= 0) return;
  Canvas canvas(bitmap);
  switch (style) {
    case 0:
      for (int32_t y = 0; y < H; ++y) canvas.Line({0, y}, {W, y}, StepColor(color1, color2, y, H));
      break;
    case 1:
      for (int32_t y = H - 1; y >= 0; --y) canvas.Line({0, y}, {W, y}, StepColor(color1, color2, H - y, H));
      break;
    case 2:
      for (int32_t x = 0; x < W; ++x) canvas.Line({x, 0}, {x, H}, StepColor(color1, color2, x, W));
      break;
    case 3:
      for (int32_t x = W - 1; x >= 0; --x) canvas.Line({x, 0}, {x, H}, StepColor(color1, color2, W - x, W));
      break;
    case 4:
    case 5: {
      const int32_t steps = W / 2;
      const long double n = W / 2.0L;
      for (int32_t i = 0; i <= steps; ++i) {
        long double t = style == 4 ? i : steps - i;
        NestedRectangle(canvas, {i, 0, W - i, H}, StepColor(color1, color2, t, n), i == steps);
      }
      break;
    }
    case 6:
    case 7: {
      const int32_t steps = H / 2;
      for (int32_t i = 0; i <= steps; ++i) {
        long double t = style == 6 ? i : steps - i;
        NestedRectangle(canvas, {0, i, W, H - i}, StepColor(color1, color2, t, steps), i == steps);
      }
      break;
    }
    case 8:
    case 9:
    case 10:
    case 11: {
      const int32_t L = W > H ? W : H;
      const int32_t steps = L / 2;
      const bool rising = style == 9 || style == 11;
      if (style == 10) canvas.FillRect(bitmap.Bounds(), color2);
      if (style == 11) canvas.FillRect(bitmap.Bounds(), color1);
      for (int32_t i = 0; i <= steps; ++i) {
        int32_t a, b;
        if (W <= H) {
          b = i;
          a = R((long double)i * W / H);
        } else {
          a = i;
          b = R((long double)i * H / W);
        }
        Color c = StepColor(color1, color2, rising ? i : steps - i, steps);
        Rect r{a, b, W - a, H - b};
        if (style <= 9) NestedRectangle(canvas, r, c, i == steps);
        else canvas.Ellipse(r, c, c);
      }
      break;
    }
    default:
      break;
  }
}

int32_t PickRandomFromList(std::string_view text) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  for (size_t semi = text.find(';'); semi != std::string_view::npos; semi = text.find(';', start)) {
    pieces.push_back(text.substr(start, semi - start));
    start = semi + 1;
  }
  if (pieces.empty()) return 0;
  return StrToInt(pieces[size_t(Random(int32_t(pieces.size())))]);
}

void TileBitmap(Bitmap& dest, const Bitmap& tile) {
  const int32_t tw = tile.Width(), th = tile.Height();
  if (tw <= 0 || th <= 0) return;
  Canvas canvas(dest);
  for (int32_t i = 0; i <= dest.Width() / tw; ++i)
    for (int32_t j = 0; j <= dest.Height() / th; ++j) canvas.Draw(tw * i, th * j, tile);
}

}  // namespace vitrine

namespace vitrine {
namespace {

constexpr int32_t kBlurReduction = 16;  // the blurred copy is 1/16 of the screen's size
constexpr int32_t kBlurRadius = 2;      // box radius at that size; three passes give a bell curve
constexpr uint32_t kBlurShade = 160;    // of 256: the copy is a little darker than the picture

// Three channels per pixel, 0..255 each, as floats for the blur's running sums.
struct SmallPicture {
  int32_t width, height;
  std::vector<float> rgb;
  float* At(int32_t x, int32_t y) { return rgb.data() + (size_t(y) * size_t(width) + size_t(x)) * 3; }
};

// One box-blur pass along rows (dx 1) or columns, edges held at their last pixel.
void BoxPass(SmallPicture& p, bool alongRows) {
  int32_t lines = alongRows ? p.height : p.width, length = alongRows ? p.width : p.height;
  std::vector<float> line(size_t(length) * 3);
  for (int32_t l = 0; l < lines; ++l) {
    auto px = [&](int32_t i) { return alongRows ? p.At(std::clamp(i, 0, length - 1), l) : p.At(l, std::clamp(i, 0, length - 1)); };
    for (int32_t i = 0; i < length; ++i) {
      float sum[3] = {0, 0, 0};
      for (int32_t k = -kBlurRadius; k <= kBlurRadius; ++k)
        for (int c = 0; c < 3; ++c) sum[c] += px(i + k)[c];
      for (int c = 0; c < 3; ++c) line[size_t(i) * 3 + size_t(c)] = sum[c] / (2 * kBlurRadius + 1);
    }
    for (int32_t i = 0; i < length; ++i)
      for (int c = 0; c < 3; ++c) px(i)[c] = line[size_t(i) * 3 + size_t(c)];
  }
}

}  // namespace

void BlurredFill(const Bitmap& picture, Bitmap& dest) {
  int32_t W = dest.Width(), H = dest.Height(), w0 = picture.Width(), h0 = picture.Height();
  if (W <= 0 || H <= 0 || w0 <= 0 || h0 <= 0) return;
  SmallPicture small{std::max(1, W / kBlurReduction), std::max(1, H / kBlurReduction), {}};
  small.rgb.resize(size_t(small.width) * size_t(small.height) * 3);
  // The part of the picture with dest's shape (cover), sampled as the average of each cell.
  double scale = std::max(double(W) / w0, double(H) / h0);
  double cutW = W / scale, cutH = H / scale, left = (w0 - cutW) / 2, top = (h0 - cutH) / 2;
  for (int32_t y = 0; y < small.height; ++y) {
    int32_t y0 = int32_t(top + cutH * y / small.height), y1 = std::max(y0 + 1, int32_t(top + cutH * (y + 1) / small.height));
    for (int32_t x = 0; x < small.width; ++x) {
      int32_t x0 = int32_t(left + cutW * x / small.width), x1 = std::max(x0 + 1, int32_t(left + cutW * (x + 1) / small.width));
      float sum[3] = {0, 0, 0};
      int32_t n = 0;
      // At most 4 x 4 samples a cell: enough for a picture that is blurred anyway.
      int32_t sx = std::max(1, (x1 - x0) / 4), sy = std::max(1, (y1 - y0) / 4);
      for (int32_t yy = y0; yy < std::min(y1, h0); yy += sy)
        for (int32_t xx = x0; xx < std::min(x1, w0); xx += sx, ++n) {
          Color c = picture.GetPixel(xx, yy);
          sum[0] += RedOf(c), sum[1] += GreenOf(c), sum[2] += BlueOf(c);
        }
      for (int c = 0; c < 3; ++c) small.At(x, y)[c] = n ? sum[c] / n : 0;
    }
  }
  for (int pass = 0; pass < 3; ++pass) {
    BoxPass(small, true);
    BoxPass(small, false);
  }
  // Stretched up with bilinear weights, darkened on the way.
  for (int32_t y = 0; y < H; ++y) {
    double fy = std::clamp((y + 0.5) * small.height / H - 0.5, 0.0, double(small.height - 1));
    int32_t ya = int32_t(fy), yb = std::min(ya + 1, small.height - 1);
    float wy = float(fy - ya);
    for (int32_t x = 0; x < W; ++x) {
      double fx = std::clamp((x + 0.5) * small.width / W - 0.5, 0.0, double(small.width - 1));
      int32_t xa = int32_t(fx), xb = std::min(xa + 1, small.width - 1);
      float wx = float(fx - xa);
      uint8_t out[3];
      for (int c = 0; c < 3; ++c) {
        float top = small.At(xa, ya)[c] * (1 - wx) + small.At(xb, ya)[c] * wx;
        float bottom = small.At(xa, yb)[c] * (1 - wx) + small.At(xb, yb)[c] * wx;
        out[c] = uint8_t(std::clamp(uint32_t(top * (1 - wy) + bottom * wy + 0.5f) * kBlurShade / 256, 0u, 255u));
      }
      dest.SetRawPixel(x, y, PackPixel(dest.Format(), RGBColor(out[0], out[1], out[2])));
    }
  }
}

}  // namespace vitrine
