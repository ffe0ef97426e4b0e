// vitrine decode PICTURE -o OUT.ppm|OUT.png [--type CODE]: decodes a picture the way the show
// does and writes what it saw.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "command.h"
#include "core/stream.h"
#include "core/text.h"
#include "package/picture_loading.h"
#include "package/picture_type.h"
#include "raster/image_files.h"

namespace vitrine::tool {
namespace {

int RunDecode(const Args& given) {
  Args args = given;
  std::string out = TakeOption(args, "-o");
  std::string typeText = TakeOption(args, "--type");
  if (out.empty() || args.size() != 1) throw UsageError{"usage: decode PICTURE -o OUT.ppm|OUT.png [--type CODE]"};
  const std::string& picture = args[0];

  int32_t type = kNoPictureType;
  if (!typeText.empty()) {
    if (!TryStrToInt(typeText, type) || type < 1 || type > 15)
      throw UsageError{"--type needs a picture type code from 1 to 15, not '" + typeText + "'"};
  } else {
    type = PictureTypeOfFile(picture);
    if (type == kNoPictureType) throw UsageError{"'" + picture + "' has no picture type (use --type)"};
  }

  std::ifstream in(picture, std::ios::binary);
  if (!in) throw UsageError{"cannot read '" + picture + "'"};
  std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  MemoryStream stream(std::move(bytes));
  Bitmap bitmap(0, 0, PixelFormat::Xrgb8888);
  if (!LoadPictureFromStream(stream, bitmap, type)) throw UsageError{"no reader for picture type " + std::to_string(type)};
  if (bitmap.Empty()) throw UsageError{"'" + picture + "' decoded to an empty picture"};
  if (!WriteImageFile(out, bitmap)) throw UsageError{"cannot write '" + out + "'"};
  return 0;
}

}  // namespace

VITRINE_COMMAND(decode, "decode", "decode PICTURE -o OUT.ppm|OUT.png [--type CODE]", RunDecode);

}  // namespace vitrine::tool
