#include "photo/photo_encode.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>
#include <zlib.h>

namespace vitrine::photo {
namespace {

// libjpeg's fatal errors jump back to the setjmp in RunCompress, whose frame holds nothing
// that needs destroying.
struct JumpError {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void OnErrorExit(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JumpError*>(cinfo->err)->jump, 1); }

bool RunCompress(jpeg_compress_struct& cinfo, const Bitmap& pixels, int quality, uint8_t* row) {
  JumpError* err = reinterpret_cast<JumpError*>(cinfo.err);
  if (setjmp(err->jump)) return false;
  cinfo.image_width = JDIMENSION(pixels.Width());
  cinfo.image_height = JDIMENSION(pixels.Height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  cinfo.optimize_coding = TRUE;
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(pixels.Row(int32_t(cinfo.next_scanline)));
    for (int32_t x = 0; x < pixels.Width(); ++x) {
      row[x * 3] = uint8_t(src[x] >> 16);
      row[x * 3 + 1] = uint8_t(src[x] >> 8);
      row[x * 3 + 2] = uint8_t(src[x]);
    }
    JSAMPROW rows[1] = {row};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  return true;
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
  Put32(out, uint32_t(body.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  Put32(out, uint32_t(crc32(0, out.data() + start, uInt(out.size() - start))));
}

}  // namespace

std::vector<uint8_t> EncodeJpeg(const Bitmap& pixels, int quality) {
  jpeg_compress_struct cinfo{};
  JumpError err{};
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnErrorExit;
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  std::vector<uint8_t> row(size_t(std::max(pixels.Width(), 1)) * 3);
  bool ok = RunCompress(cinfo, pixels, quality, row.data());
  jpeg_destroy_compress(&cinfo);
  std::vector<uint8_t> out;
  if (ok && buffer) out.assign(buffer, buffer + size);
  std::free(buffer);
  if (!ok) throw std::runtime_error("the JPEG encoder failed");
  return out;
}

std::vector<uint8_t> EncodePhotoPng(const Bitmap& pixels, bool withAlpha) {
  int32_t w = pixels.Width(), h = pixels.Height();
  size_t channels = withAlpha ? 4 : 3;
  std::vector<uint8_t> raw;
  raw.reserve(size_t(h) * (size_t(w) * channels + 1));
  for (int32_t y = 0; y < h; ++y) {
    raw.push_back(0);  // filter: none
    const uint32_t* src = reinterpret_cast<const uint32_t*>(pixels.Row(y));
    for (int32_t x = 0; x < w; ++x) {
      raw.push_back(uint8_t(src[x] >> 16));
      raw.push_back(uint8_t(src[x] >> 8));
      raw.push_back(uint8_t(src[x]));
      if (withAlpha) raw.push_back(uint8_t(src[x] >> 24));
    }
  }
  uLongf packedSize = compressBound(uLong(raw.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 6) != Z_OK)
    throw std::runtime_error("the PNG encoder failed");
  packed.resize(packedSize);

  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<uint8_t> header;
  Put32(header, uint32_t(w));
  Put32(header, uint32_t(h));
  header.insert(header.end(), {8, uint8_t(withAlpha ? 6 : 2), 0, 0, 0});
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", packed);
  PutChunk(out, "IEND", {});
  return out;
}

void FitSize(int32_t width, int32_t height, int32_t maxWidth, int32_t maxHeight, int32_t& outWidth, int32_t& outHeight) {
  outWidth = width;
  outHeight = height;
  if (width <= maxWidth && height <= maxHeight) return;
  double scale = std::min(double(maxWidth) / width, double(maxHeight) / height);
  outWidth = std::clamp(int32_t(std::lround(width * scale)), 1, maxWidth);
  outHeight = std::clamp(int32_t(std::lround(height * scale)), 1, maxHeight);
}

namespace {

// For each target index, the source indices it covers and their weights (fractions at the ends).
struct Span {
  int32_t first;
  std::vector<float> weights;
};

std::vector<Span> AreaSpans(int32_t source, int32_t target) {
  std::vector<Span> spans(static_cast<size_t>(target));
  double step = double(source) / target;
  for (int32_t i = 0; i < target; ++i) {
    double from = i * step, to = (i + 1) * step;
    Span& s = spans[size_t(i)];
    s.first = int32_t(std::floor(from));
    int32_t last = std::min(source - 1, int32_t(std::ceil(to)) - 1);
    for (int32_t j = s.first; j <= last; ++j) {
      double cover = std::min<double>(to, j + 1) - std::max<double>(from, j);
      s.weights.push_back(float(cover / step));
    }
  }
  return spans;
}

}  // namespace

Bitmap ShrinkTo(const Bitmap& source, int32_t width, int32_t height) {
  std::vector<Span> columns = AreaSpans(source.Width(), width), rows = AreaSpans(source.Height(), height);
  // Horizontal pass into floats, four per pixel, then vertical into the target.
  std::vector<float> across(size_t(source.Height()) * size_t(width) * 4);
  for (int32_t y = 0; y < source.Height(); ++y) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(source.Row(y));
    float* dst = across.data() + size_t(y) * size_t(width) * 4;
    for (int32_t x = 0; x < width; ++x) {
      const Span& s = columns[size_t(x)];
      float sum[4] = {0, 0, 0, 0};
      for (size_t k = 0; k < s.weights.size(); ++k) {
        uint32_t p = src[s.first + int32_t(k)];
        for (int c = 0; c < 4; ++c) sum[c] += s.weights[k] * float((p >> (8 * c)) & 0xFF);
      }
      for (int c = 0; c < 4; ++c) dst[x * 4 + c] = sum[c];
    }
  }
  Bitmap out(width, height, PixelFormat::Xrgb8888);
  for (int32_t y = 0; y < height; ++y) {
    const Span& s = rows[size_t(y)];
    uint32_t* dst = reinterpret_cast<uint32_t*>(out.Row(y));
    for (int32_t x = 0; x < width; ++x) {
      float sum[4] = {0, 0, 0, 0};
      for (size_t k = 0; k < s.weights.size(); ++k) {
        const float* src = across.data() + (size_t(s.first) + k) * size_t(width) * 4 + size_t(x) * 4;
        for (int c = 0; c < 4; ++c) sum[c] += s.weights[k] * src[c];
      }
      uint32_t p = 0;
      for (int c = 0; c < 4; ++c) p |= uint32_t(std::clamp(std::lround(sum[c]), 0L, 255L)) << (8 * c);
      dst[x] = p;
    }
  }
  return out;
}

}  // namespace vitrine::photo
