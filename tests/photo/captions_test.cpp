// Caption placeholders filled from metadata that exiv2 wrote into a real JPEG.
#include "photo/captions.h"
#include "photo/exif.h"
#include "photo_test_support.h"

namespace vitrine::photo {
namespace {

using testing::Scratch;

CaptionFacts FactsOf(const Scratch& s, const std::string& name) {
  JpegMetadata meta = ReadJpegMetadata(s.Read(name));
  CaptionFacts facts;
  facts.exif = ReadExif(meta.exif);
  facts.xmpTitle = XmpTitle(meta.xmp);
  facts.fileStem = "IMG_0042";
  return facts;
}

TEST(Captions, PlaceholdersTakeThePhotosOwnMetadata) {
  REQUIRE_PROGRAM("exiv2");
  Scratch s;
  s.Run("convert -size 16x16 xc:gray photo.jpg && exiv2 -M'set Exif.Photo.DateTimeOriginal 2019:07:14 15:42:07' "
        "-M'set Exif.Image.DateTime 2020:01:01 00:00:00' -M'set Exif.Image.Make Canon' "
        "-M'set Exif.Image.Model Canon EOS 80D' -M'set Exif.Image.ImageDescription Harbour at dusk' photo.jpg");
  CaptionFacts facts = FactsOf(s, "photo.jpg");
  EXPECT_EQ(FillPlaceholders("{date}", facts), "14 July 2019");
  EXPECT_EQ(FillPlaceholders("{date:%Y-%m-%d, a %A}", facts), "2019-07-14, a Sunday");
  EXPECT_EQ(FillPlaceholders("{time}", facts), "15:42");
  EXPECT_EQ(FillPlaceholders("{camera}: {title} ({file})", facts), "Canon EOS 80D: Harbour at dusk (IMG_0042)");
  // Braces that are no placeholder stay as written.
  EXPECT_EQ(FillPlaceholders("{place} {date", facts), "{place} {date");
}

TEST(Captions, MissingValuesGiveEmptyTextAndXmpGivesTheTitle) {
  REQUIRE_PROGRAM("exiv2");
  Scratch s;
  s.Run("convert -size 16x16 xc:gray photo.jpg && exiv2 -M'set Exif.Image.Make NIKON CORPORATION' "
        "-M'set Exif.Image.Model COOLPIX P7000' -M'set Xmp.dc.title lang=x-default Old town & bridge' photo.jpg");
  CaptionFacts facts = FactsOf(s, "photo.jpg");
  EXPECT_EQ(FillPlaceholders("[{date}][{time}][{date:%Y}]", facts), "[][][]");
  EXPECT_EQ(FillPlaceholders("{camera}", facts), "NIKON CORPORATION COOLPIX P7000");
  EXPECT_EQ(FillPlaceholders("{title}", facts), "Old town & bridge");
  EXPECT_EQ(ReadExif({}).orientation, 1);
}

// A camera without a clock writes zeros: that is no date.
TEST(Captions, AZeroDateIsNoDate) {
  std::vector<uint8_t> exif = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x32, 0, 2, 0, 0, 0, 20, 0, 0, 0, 26, 0, 0, 0, 0};
  const char stamp[] = "0000:00:00 00:00:00";
  exif.insert(exif.end(), stamp, stamp + sizeof stamp);
  EXPECT_EQ(ReadExif(exif).dateTaken, "");
  exif[26] = '2';
  EXPECT_EQ(ReadExif(exif).dateTaken, "2000:00:00 00:00:00");
  CaptionFacts facts;
  facts.exif = ReadExif(exif);
  EXPECT_EQ(FillPlaceholders("{date}", facts), "");  // month 0 does not read as a date
}

}  // namespace
}  // namespace vitrine::photo
