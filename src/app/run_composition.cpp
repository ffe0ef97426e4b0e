// Backgrounds and texts of the show window: everything is painted into ComposeBitmap (or the
// bitmap a transition composes) and reaches the screen only through the next copy or
// transition, so a half-painted composition is never seen.
#include <algorithm>
#include <string>

#include "app/run_form.h"
#include "core/random.h"
#include "core/rounding.h"
#include "core/text.h"
#include "package/picture_loading.h"
#include "package/picture_routines.h"
#include "raster/image_files.h"

namespace vitrine {

namespace {
constexpr const char* kDesktopSnapshotName = "mltqdsk.bmp";
constexpr int32_t kMinimumTileWidth = 16;

enum BackgroundKind { kPlainColour = 0, kPicture = 1, kGradient = 2, kBlurredCopy = 3 };
enum BackgroundSource { kDesktop = 0, kShowPicture = 1, kBackgroundImage = 2 };

// (x, y) of a text block of size (tw, th) at one of the ten positions.
Point TextPosition(int32_t position, int32_t customX, int32_t customY, int32_t W, int32_t H, int32_t tw, int32_t th) {
  switch (position) {
    case 0: return {(W - tw) / 2, 0};
    case 1: return {0, 0};
    case 2: return {W - tw - 20, 0};
    case 3: return {(W - tw) / 2, H - th};
    case 4: return {0, H - th};
    case 5: return {W - tw - 20, H - th};
    case 6: return {(W - tw) / 2, (H - th) / 2};
    case 7: return {0, (H - th) / 2};
    case 8: return {W - tw - 20, (H - th) / 2};
    case 9: return {customX, customY};
    default: return {0, 0};
  }
}
}  // namespace

std::string TfRun::DesktopSnapshotPath() const { return platform_.Files.TempDir() + kDesktopSnapshotName; }

void TfRun::TakeDesktopSnapshot() {
  Bitmap desktop = platform_.Services.DesktopSnapshot();
  platform_.Files.WriteFile(DesktopSnapshotPath(), EncodeBmp(desktop));
}

void TfRun::DrawBackground(TPictureInfo& item) {
  Canvas compose(composeBitmap_);
  const Rect all{0, 0, composeBitmap_.Width(), composeBitmap_.Height()};
  switch (PickRandomFromList(item.BackgroundKinds)) {
    case kPlainColour: {
      int32_t colour = item.RandomBackgroundColor ? kFontColors[Random(13)] : item.PlainBackgroundColor;
      compose.FillRect(all, static_cast<Color>(colour));
      break;
    }
    case kPicture:
      switch (PickRandomFromList(item.BackgroundSources)) {
        case kDesktop: {
          Bitmap snapshot;
          MemoryStream snapshotBytes;
          bool loaded = LoadStreamFromFile(platform_.Files, DesktopSnapshotPath(), snapshotBytes);
          snapshotBytes.Rewind();
          // The file may be another show's, half written: then it is a plain colour, as when
          // there is no snapshot at all.
          try {
            loaded = loaded && LoadPictureFromStream(snapshotBytes, snapshot, 1);
          } catch (const vitrine::Error&) {
            loaded = false;
          }
          if (loaded) {
            if (PreviewMode) {
              compose.StretchDraw({0, 0, ShowWidth, ShowHeight}, snapshot);
            } else {
              Rect screen{0, 0, platform_.Window.ScreenWidth(), platform_.Window.ScreenHeight()};
              compose.CopyRect(screen, snapshot, screen);
            }
          } else {
            compose.FillRect(all, static_cast<Color>(kFontColors[Random(13)]));
          }
          break;
        }
        case kShowPicture: {
          std::vector<TPictureInfo*> pictures;
          for (auto* candidate : ItemList)
            if (candidate->Kind == kKindPicture) pictures.push_back(candidate);
          TPictureInfo* source = pictures.empty() ? nullptr : pictures[Random(static_cast<int32_t>(pictures.size()))];
          DrawBackgroundImage(source, item.BackgroundImageMode, item.RandomTileCount, item.TileCount);
          break;
        }
        case kBackgroundImage: {
          // Index i is a candidate when the text holds a blank, its digits and ";" in a row.
          std::vector<TPictureInfo*> candidates;
          for (size_t i = 0; i < BackgroundList.size(); ++i)
            if (item.BackgroundImages.find(" " + std::to_string(i) + ";") != std::string::npos)
              candidates.push_back(BackgroundList[i]);
          TPictureInfo* source =
              candidates.empty() ? nullptr : candidates[Random(static_cast<int32_t>(candidates.size()))];
          DrawBackgroundImage(source, item.BackgroundImageMode, item.RandomTileCount, item.TileCount);
          break;
        }
        default: break;
      }
      break;
    case kGradient: {
      item.GradientStyle = PickRandomFromList(item.GradientStyles);
      int32_t first = item.GradientColor1, second = item.GradientColor2;
      if (item.RandomGradientColors) {
        int32_t pair = Random(13);
        first = kGradientColors1[pair];
        second = kGradientColors2[pair];
      }
      GradientFill(static_cast<Color>(first), static_cast<Color>(second), item.GradientStyle, composeBitmap_);
      break;
    }
    case kBlurredCopy: DrawBlurredCopy(item); break;
    default: break;  // the previous item's background stays
  }
}

void TfRun::DrawBlurredCopy(TPictureInfo& item) {
  MemoryStream stream;
  int32_t type = item.PictureType;
  Bitmap picture;
  bool loaded = false;
  if (item.Kind == kKindPicture && Project->GetPictureStream(item.PackageIndex, stream, type)) {
    stream.Rewind();
    // Blurred to 1/16 of the screen anyway: a JPEG decodes at a small scale.
    try {
      loaded = LoadPictureFromStream(stream, picture, type, std::max(1, ShowWidth / 8), std::max(1, ShowHeight / 8));
    } catch (const vitrine::Error&) {
      // The picture itself reports its damage when it is loaded to be shown.
    }
  }
  if (loaded) BlurredFill(picture, composeBitmap_);
  else Canvas(composeBitmap_).FillRect(composeBitmap_.Bounds(), kBlack);
}

void TfRun::DrawBackgroundImage(TPictureInfo* source, int32_t mode, bool randomTile, int32_t tileCount) {
  Canvas compose(composeBitmap_);
  const int32_t W = composeBitmap_.Width(), H = composeBitmap_.Height();
  if (!source) {
    compose.FillRect({0, 0, W, H}, kBlack);
    return;
  }
  MemoryStream stream;
  int32_t type = source->PictureType;
  if (!Project->GetPictureStream(source->PackageIndex, stream, type) && !Project->PicturesEmbedded) {
    platform_.Services.MessageBox(FormatWithString(Project->Texts[86 - kFirstTextKey], source->FileName));
    return;
  }
  stream.Rewind();
  Bitmap picture;
  LoadPictureFromStream(stream, picture, type);
  const int32_t w0 = picture.Width(), h0 = picture.Height();
  if (mode == 3) mode = Random(3);
  switch (mode) {
    case 0: compose.StretchDraw({0, 0, W, H}, picture); break;
    case 1: {
      compose.FillRect({0, 0, W, H}, kBlack);
      int32_t w = w0, h = h0;
      if (w0 > W || h0 > H) {
        PictureSize fitted = FitInside(w0, h0, W, H);
        w = fitted.width;
        h = fitted.height;
      }
      int32_t left = (W - w) / 2, top = (H - h) / 2;
      compose.StretchDraw({left, top, left + w, top + h}, picture);
      break;
    }
    case 2: {
      if (w0 <= 0 || h0 <= 0) break;
      // A tile count of 0 would divide by zero: it counts as one tile.
      int32_t count = std::max(tileCount, 1);
      int32_t tileWidth = randomTile ? RoundHalfEven(static_cast<long double>(W) / (Random(count) + 1)) + 1
                                     : RoundHalfEven(static_cast<long double>(w0) / count) + 1;
      if (tileWidth < kMinimumTileWidth) tileWidth = kMinimumTileWidth;
      int32_t tileHeight = RoundHalfEven(static_cast<long double>(h0) * tileWidth / w0);
      Bitmap tile(tileWidth, tileHeight, ShowFormat);
      Canvas(tile).StretchDraw({0, 0, tileWidth, tileHeight}, picture);
      TileBitmap(composeBitmap_, tile);
      break;
    }
    default: break;
  }
}

void TfRun::DrawCaption(const TPictureInfo& item, Canvas& canvas) {
  if (!item.CaptionVisible) return;
  TextSize size = platform_.Text.Measure(item.CaptionFont, item.Caption);
  Point at = TextPosition(item.CaptionPosition, item.CaptionX, item.CaptionY, ShowWidth, ShowHeight, size.width,
                          size.height);
  platform_.Text.Draw(canvas, at.x, at.y, item.CaptionFont, item.Caption);
}

void TfRun::DrawMemo(const TPictureInfo& item, Canvas& canvas) {
  if (!item.MemoVisible || item.MemoText.empty()) return;
  std::vector<std::string> lines = SplitLines(item.MemoText);
  int32_t lineHeight = platform_.Text.Measure(item.MemoFont, "Afjh").height;
  int32_t blockWidth = 0;
  for (const auto& line : lines) blockWidth = std::max(blockWidth, platform_.Text.Measure(item.MemoFont, line).width);
  int32_t blockHeight = static_cast<int32_t>(lines.size()) * lineHeight;
  Point at = TextPosition(item.MemoPosition, item.MemoX, item.MemoY, ShowWidth, ShowHeight, blockWidth, blockHeight);
  for (size_t i = 0; i < lines.size(); ++i)
    platform_.Text.Draw(canvas, at.x, at.y + static_cast<int32_t>(i) * lineHeight, item.MemoFont, lines[i]);
}

}  // namespace vitrine
