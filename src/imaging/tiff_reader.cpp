#include "imaging/tiff_reader.h"

#include <algorithm>
#include <cstring>

#include "core/errors.h"

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
  TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
  char message[1024] = {};
  CheckSize(width, height);
  if (!TIFFRGBAImageOK(tif.get(), message)) Invalid();

  image_.Reset(int32_t(width), int32_t(height), PixelFormat::Xrgb8888);
  // libtiff's packed ABGR words are written straight into the scan lines, which are exactly
  // width words long, then turned into the bitmap's 0x00RRGGBB.
  auto* raster = reinterpret_cast<uint32_t*>(image_.Bits());
  if (!TIFFReadRGBAImageOriented(tif.get(), width, height, raster, ORIENTATION_TOPLEFT, 0)) {
      Invalid();
  }
  const size_t count = size_t(width) * height;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t abgr = raster[i];
    raster[i] = (TIFFGetR(abgr) << 16) | (TIFFGetG(abgr) << 8) | TIFFGetB(abgr);
  }
}

#else

bool TTIFFGraphic::Available() { return false; }

void TTIFFGraphic::Decode(std::span<const uint8_t>) {
  throw EInvalidGraphic("Unsupported picture format: TIFF pictures need libtiff, which this build lacks.");
}

#endif

}  // namespace vitrine
