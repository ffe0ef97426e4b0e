// HEIC, HEIF and AVIF through libheif, with its HEVC (libde265) and AV1 (dav1d, libaom)
// decoders. libheif turns the picture upright itself (irot, imir) and crops it (clap).
#include <libheif/heif.h>

#include <memory>

#include "photo/photo.h"
#include "photo/tone.h"

namespace vitrine::photo {
namespace {

struct HeifFree {
  void operator()(heif_context* c) const { heif_context_free(c); }
  void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
  void operator()(heif_image* i) const { heif_image_release(i); }
  void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
  void operator()(heif_color_profile_nclx* n) const { heif_nclx_color_profile_free(n); }
};
template <class T>
using HeifPtr = std::unique_ptr<T, HeifFree>;

void Check(heif_error error) {
  if (error.code != heif_error_Ok) throw PhotoError(std::string("does not decode: ") + error.message);
}

Transfer TransferOf(const heif_image_handle* handle) {
  heif_color_profile_nclx* raw = nullptr;
  if (heif_image_handle_get_nclx_color_profile(handle, &raw).code != heif_error_Ok || !raw) return Transfer::Sdr;
  HeifPtr<heif_color_profile_nclx> nclx(raw);
  if (nclx->transfer_characteristics == heif_transfer_characteristic_ITU_R_BT_2100_0_PQ) return Transfer::Pq;
  if (nclx->transfer_characteristics == heif_transfer_characteristic_ITU_R_BT_2100_0_HLG) return Transfer::Hlg;
  return Transfer::Sdr;
}

// The first metadata block of a type ("Exif", or "mime" with a content type), or empty.
std::vector<uint8_t> Metadata(const heif_image_handle* handle, const char* type, const char* contentType) {
  int count = heif_image_handle_get_number_of_metadata_blocks(handle, type);
  if (count <= 0) return {};
  std::vector<heif_item_id> ids(static_cast<size_t>(count));
  heif_image_handle_get_list_of_metadata_block_IDs(handle, type, ids.data(), count);
  for (heif_item_id id : ids) {
    if (contentType && std::string(heif_image_handle_get_metadata_content_type(handle, id)) != contentType) continue;
    std::vector<uint8_t> block(heif_image_handle_get_metadata_size(handle, id));
    if (block.empty() || heif_image_handle_get_metadata(handle, id, block.data()).code != heif_error_Ok) continue;
    return block;
  }
  return {};
}

// A HEIF Exif item starts with the offset of its TIFF header behind a 4-byte field.
std::vector<uint8_t> TiffOfExifItem(const std::vector<uint8_t>& item) {
  if (item.size() < 4) return {};
  size_t skip = size_t(item[0]) << 24 | size_t(item[1]) << 16 | size_t(item[2]) << 8 | item[3];
  if (skip > item.size() - 4) return {};
  return std::vector<uint8_t>(item.begin() + 4 + std::ptrdiff_t(skip), item.end());
}

}  // namespace

Photo DecodeHeif(std::span<const uint8_t> data) {
  static const bool initialised = (heif_init(nullptr), true);
  (void)initialised;
  HeifPtr<heif_context> context(heif_context_alloc());
  Check(heif_context_read_from_memory_without_copy(context.get(), data.data(), data.size(), nullptr));
  heif_image_handle* rawHandle = nullptr;
  Check(heif_context_get_primary_image_handle(context.get(), &rawHandle));
  HeifPtr<heif_image_handle> handle(rawHandle);
  CheckDimensions(heif_image_handle_get_width(handle.get()), heif_image_handle_get_height(handle.get()));

  Photo photo;
  bool alpha = heif_image_handle_has_alpha_channel(handle.get());
  int bits = heif_image_handle_get_luma_bits_per_pixel(handle.get());
  photo.storedBits = bits > 0 ? bits : 8;
  bool deep = bits > 8 && bits <= 16;
  heif_chroma chroma = deep ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
                            : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
  HeifPtr<heif_decoding_options> options(heif_decoding_options_alloc());
  heif_image* rawImage = nullptr;
  Check(heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB, chroma, options.get()));
  HeifPtr<heif_image> image(rawImage);

  int width = heif_image_get_width(image.get(), heif_channel_interleaved);
  int height = heif_image_get_height(image.get(), heif_channel_interleaved);
  CheckDimensions(width, height);
  int stride = 0;
  const uint8_t* plane = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
  if (!plane) throw PhotoError("does not decode: no picture plane");
  int channels = alpha ? 4 : 3;

  photo.pixels.Reset(width, height, PixelFormat::Xrgb8888);
  if (!deep) {
    for (int y = 0; y < height; ++y) {
      const uint8_t* src = plane + size_t(y) * size_t(stride);
      uint32_t* dst = reinterpret_cast<uint32_t*>(photo.pixels.Row(y));
      for (int x = 0; x < width; ++x, src += channels) {
        uint32_t a = alpha ? src[3] : 255;
        photo.hasAlpha |= a != 255;
        dst[x] = a << 24 | uint32_t(src[0]) << 16 | uint32_t(src[1]) << 8 | src[2];
      }
    }
  } else {
    Transfer transfer = TransferOf(handle.get());
    std::vector<uint8_t> table = ToneTable(bits, Transfer::Sdr);
    std::unique_ptr<WideToneMapper> wide;
    if (transfer != Transfer::Sdr) wide = std::make_unique<WideToneMapper>(bits, transfer);
    uint16_t max = uint16_t((1u << bits) - 1);
    for (int y = 0; y < height; ++y) {
      const uint8_t* row = plane + size_t(y) * size_t(stride);
      uint32_t* dst = reinterpret_cast<uint32_t*>(photo.pixels.Row(y));
      for (int x = 0; x < width; ++x) {
        uint16_t v[4];
        for (int c = 0; c < channels; ++c) {
          const uint8_t* p = row + (size_t(x) * size_t(channels) + size_t(c)) * 2;
          v[c] = std::min<uint16_t>(uint16_t(p[0] | p[1] << 8), max);
        }
        uint8_t rgb[3];
        if (wide) wide->Map(v, rgb);
        else rgb[0] = table[v[0]], rgb[1] = table[v[1]], rgb[2] = table[v[2]];
        uint32_t a = alpha ? table[v[3]] : 255;
        photo.hasAlpha |= a != 255;
        dst[x] = a << 24 | uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2];
      }
    }
  }
  photo.exif = TiffOfExifItem(Metadata(handle.get(), "Exif", nullptr));
  std::vector<uint8_t> xmp = Metadata(handle.get(), "mime", "application/rdf+xml");
  photo.xmp.assign(xmp.begin(), xmp.end());
  return photo;
}

}  // namespace vitrine::photo
