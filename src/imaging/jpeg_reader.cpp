#include "imaging/jpeg_reader.h"

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/byte_reader.h"
#include "core/errors.h"
#include "imaging/orientation.h"
#include "imaging/pad_bytes.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace vitrine {
namespace {

// A progressive file may hold any number of scans; real ones have a dozen. A forged one
// with thousands would keep the decoder busy for minutes.
constexpr int kMaxScans = 1000;

// Rows asked of libjpeg at a time: two (one upsampled pair) are still in the first-level
// cache when their pad bytes are cleared.
constexpr uint32_t kRowsPerRead = 2;

// libjpeg reports fatal errors by calling error_exit, which must not return. It jumps back
// to the setjmp in RunDecompress, which only has trivially destructible locals, and the
// C++ side throws from there.
struct ErrorManager {
  jpeg_error_mgr pub;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

struct ProgressManager {
  jpeg_progress_mgr pub;
  j_decompress_ptr cinfo;
};

extern "C" {
static void OnErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  cinfo->err->format_message(cinfo, err->message);
  longjmp(err->jump, 1);
}
// Warnings (corrupt data that libjpeg can step over) go nowhere: the picture still loads.
static void OnOutputMessage(j_common_ptr) {}
static void OnProgress(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxScans) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "Too many scans (more than %d)", kMaxScans);
    longjmp(err->jump, 1);
  }
}
}

// What one decode asks for and produces; owned by the caller so that nothing with a
// destructor lives in the frame that setjmp returns to.
struct DecodeJob {
  std::span<const uint8_t> file;
  int scaleNum = 8;
  bool headerOnly = false;
  JpegHeader header;
  Bitmap* out = nullptr;
  bool tooLarge = false;
  bool adobeInverted = false;
};

int OrientationFromMarkers(j_decompress_ptr cinfo) {
  for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next) {
    if (m->marker != JPEG_APP0 + 1) continue;
    int o = ExifOrientation({m->data, m->data_length});
    if (o != 1) return o;
  }
  return 1;
}

inline uint8_t Mul255(unsigned a, unsigned b) { return uint8_t((a * b + 127) / 255); }

// CMYK rows (4 bytes per pixel) into the bitmap's 0x00RRGGBB. Adobe writes the inks
// inverted (0 = full ink), which is what nearly every CMYK JPEG holds.
void CmykToPixels(const uint8_t* cmyk, uint32_t* dst, uint32_t width, bool inverted) {
  for (uint32_t x = 0; x < width; ++x, cmyk += 4) {
    unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    dst[x] = uint32_t(Mul255(c, k)) << 16 | uint32_t(Mul255(m, k)) << 8 | Mul255(y, k);
  }
}

bool RunDecompress(j_decompress_ptr cinfo, ErrorManager* err, DecodeJob* job) {
  if (setjmp(err->jump)) return false;
  jpeg_create_decompress(cinfo);
  jpeg_mem_src(cinfo, const_cast<unsigned char*>(job->file.data()), static_cast<unsigned long>(job->file.size()));
  jpeg_save_markers(cinfo, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(cinfo, TRUE);
  job->header.width = int32_t(cinfo->image_width);
  job->header.height = int32_t(cinfo->image_height);
  job->header.orientation = OrientationFromMarkers(cinfo);
  if (job->headerOnly) return true;
  if (int64_t(cinfo->image_width) * cinfo->image_height > kMaxPicturePixels) {
    job->tooLarge = true;
    return true;
  }

  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  const PixelFormat format = job->out->Format();
  const bool wide = format == PixelFormat::Xrgb8888;
  job->adobeInverted = cinfo->saw_Adobe_marker;
  // libjpeg-turbo writes the bitmap's own layouts: BGRX is Xrgb8888's memory order, and its
  // undithered RGB565 packs as the bitmap does (each channel's top bits).
  cinfo->out_color_space = cmyk ? JCS_CMYK : wide ? JCS_EXT_BGRX : JCS_RGB565;
  cinfo->dither_mode = JDITHER_NONE;
  cinfo->scale_num = unsigned(job->scaleNum);
  cinfo->scale_denom = 8;
  jpeg_start_decompress(cinfo);

  const uint32_t w = cinfo->output_width, h = cinfo->output_height;
  // Every row is written in full below, so a bitmap of the right shape needs no clearing.
  if (job->out->Width() != int32_t(w) || job->out->Height() != int32_t(h)) job->out->Reset(int32_t(w), int32_t(h), format);
  JSAMPROW rows[16];
  if (!cmyk) {
    // Straight into the bitmap's rows.
    while (cinfo->output_scanline < h) {
      const uint32_t first = cinfo->output_scanline;
      const uint32_t n = std::min<uint32_t>(kRowsPerRead, h - first);
      for (uint32_t i = 0; i < n; ++i) rows[i] = job->out->Row(int32_t(first + i));
      const uint32_t got = jpeg_read_scanlines(cinfo, rows, n);
      // libjpeg-turbo writes BGRX's fourth byte as 0xFF; the bitmap keeps it 0.
      if (wide)
        for (uint32_t i = 0; i < got; ++i) ClearPadBytes(rows[i], w);
    }
  } else {
    // A CMYK row is as wide as a 32-bit row: decode into the bitmap's row (or a row of its
    // own for 16-bit bitmaps) and convert in place.
    std::vector<uint8_t> own(wide ? 0 : size_t(w) * 4);
    while (cinfo->output_scanline < h) {
      const int32_t y = int32_t(cinfo->output_scanline);
      uint8_t* row = wide ? job->out->Row(y) : own.data();
      rows[0] = row;
      if (jpeg_read_scanlines(cinfo, rows, 1) != 1) break;
      CmykToPixels(row, reinterpret_cast<uint32_t*>(row), w, job->adobeInverted);
      if (!wide) {
        const auto* px = reinterpret_cast<const uint32_t*>(row);
        auto* out = reinterpret_cast<uint16_t*>(job->out->Row(y));
        for (uint32_t x = 0; x < w; ++x) out[x] = uint16_t(PackPixel(PixelFormat::Rgb565, UnpackPixel(PixelFormat::Xrgb8888, px[x])));
      }
    }
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

void Run(DecodeJob& job) {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  ProgressManager progress;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnErrorExit;
  err.pub.output_message = OnOutputMessage;
  err.message[0] = 0;
  progress.pub.progress_monitor = OnProgress;
  progress.cinfo = &cinfo;
  cinfo.progress = &progress.pub;

  bool ok;
  try {
    ok = RunDecompress(&cinfo, &err, &job);
  } catch (...) {
    jpeg_destroy_decompress(&cinfo);
    throw;
  }
  jpeg_destroy_decompress(&cinfo);
  if (!ok) throw EInvalidGraphic(std::string("Invalid JPEG image format. ") + err.message);
  if (job.tooLarge) throw EInvalidGraphic("Invalid JPEG image format. The picture is too large.");
}

}  // namespace

int ExifOrientation(std::span<const uint8_t> app1) {
  static const uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
  if (app1.size() < 6 || std::memcmp(app1.data(), kExif, 6) != 0) return 1;
  auto tiff = app1.subspan(6);
  try {
    ByteReader in(tiff);
    uint16_t order = in.U16LE();
    bool big = order == 0x4D4D;
    if (!big && order != 0x4949) return 1;
    auto u16 = [&] { return big ? in.U16BE() : in.U16LE(); };
    auto u32 = [&] { return big ? in.U32BE() : in.U32LE(); };
    if (u16() != 42) return 1;
    in.Seek(u32());
    uint16_t count = u16();
    for (uint16_t i = 0; i < count; ++i) {
      uint16_t tag = u16(), type = u16();
      uint32_t n = u32();
      if (tag != 0x0112) {
        in.Skip(4);
        continue;
      }
      if (type != 3 || n != 1) return 1;  // must be one SHORT, stored in the value field
      uint16_t value = u16();
      return value >= 1 && value <= 8 ? value : 1;
    }
  } catch (const ByteReader::OutOfData&) {
  }
  return 1;
}

JpegHeader ReadJpegHeader(std::span<const uint8_t> file) {
  DecodeJob job;
  job.file = file;
  job.headerOnly = true;
  Run(job);
  return job.header;
}

void DecodeJpeg(std::span<const uint8_t> file, Bitmap& into, int scaleNum) {
  DecodeJob job;
  job.file = file;
  job.scaleNum = scaleNum < 1 ? 1 : scaleNum > 8 ? 8 : scaleNum;
  job.out = &into;
  Run(job);
  if (job.header.orientation != 1) into = ApplyOrientation(into, job.header.orientation);
}

Bitmap DecodeJpeg(std::span<const uint8_t> file, int scaleNum) {
  Bitmap stored;
  DecodeJpeg(file, stored, scaleNum);
  return stored;
}

int ChooseJpegScale(const JpegHeader& header, int32_t boxWidth, int32_t boxHeight) {
  if (boxWidth <= 0 || boxHeight <= 0 || header.width <= 0 || header.height <= 0) return 8;
  bool swap = header.orientation >= 5 && header.orientation <= 8;
  int64_t w = swap ? header.height : header.width;
  int64_t h = swap ? header.width : header.height;
  int64_t needW = std::min<int64_t>(boxWidth, w), needH = std::min<int64_t>(boxHeight, h);
  for (int num = 1; num < 8; ++num) {
    // libjpeg rounds scaled sizes up.
    int64_t sw = (w * num + 7) / 8, sh = (h * num + 7) / 8;
    if (sw >= needW && sh >= needH) return num;
  }
  return 8;
}

void TJPEGGraphic::Decode(std::span<const uint8_t> file) { DecodeJpeg(file, image_); }

}  // namespace vitrine
