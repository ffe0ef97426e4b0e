#pragma once
// The writer's movies that are compared with another player's frames, and the comparison:
// outside the anti-aliased edges, the mean difference per channel at most 3 of 255 and no
// 16 x 16 block off by more than 24. The open Flash player Ruffle drew each movie's reference
// (tests/data/flash/ruffle/NAME.png, remade by tests/flash/reference/run.sh --refresh); for
// ffmpeg's movie the reference is ffmpeg's own decode of its frames.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "core/stream.h"
#include "flash/demo_movie.h"
#include "flash/swf_render.h"
#include "flash/swf_writer.h"
#include "imaging/png_reader.h"
#include "raster/bitmap.h"

namespace vitrine::test {

inline std::vector<uint8_t> SingleShapeMovie(ShapeWriter& s, std::vector<uint8_t> before = {}, Place place = {.depth = 1, .id = 1}) {
  Tag(before, s.TagCode(), s.DefineShape(1, 0, 1600, 0, 1200));
  Tag(before, code::PlaceObject2, PlaceObject2(place));
  Tag(before, code::ShowFrame, {});
  return MovieOf(80, 60, 1, before);
}

inline std::vector<std::pair<std::string, std::vector<uint8_t>>> ReferenceMovies() {
  std::vector<std::pair<std::string, std::vector<uint8_t>>> out;
  {
    ShapeWriter s(1, {Solid(200, 30, 40)}, {});
    s.Style(0, 1, 0).MoveTo(210, 170).LineTo(1310, 330).LineTo(700, 1050).LineTo(210, 170);
    out.push_back({"triangle", SingleShapeMovie(s)});
  }
  {
    ShapeWriter s(3, {Solid(20, 90, 200, 255)}, {});
    s.Style(0, 1, 0).Circle(800, 600, 450);
    out.push_back({"circle", SingleShapeMovie(s)});
  }
  {
    ShapeWriter s(2, {Solid(255, 0, 0), Solid(0, 0, 255)}, {});
    s.Style(0, 1, 0).MoveTo(800, 0).LineTo(0, 0).LineTo(0, 1200).LineTo(800, 1200);
    s.Style(0, 2, 0).LineTo(1600, 1200).LineTo(1600, 0).LineTo(800, 0);
    s.Style(1, 2, 0).LineTo(800, 1200);
    out.push_back({"two_styles", SingleShapeMovie(s)});
  }
  std::vector<std::pair<uint8_t, Colour>> stops = {{0, {255, 220, 0}}, {128, {200, 0, 80}}, {255, {0, 40, 160}}};
  for (auto [name, type, m] : {std::tuple{"linear", 0x10, Scale(1600 / 32768.0, 1, 800, 0)},
                               {"radial", 0x12, Scale(500 / 16384.0, 500 / 16384.0, 800, 600)},
                               {"focal", 0x13, Scale(500 / 16384.0, 500 / 16384.0, 800, 600)}}) {
    ShapeWriter s(type == 0x13 ? 4 : 3, {Gradient(uint8_t(type), m, stops, 0, 0, 0.6)}, {});
    s.Style(0, 1, 0).Rect(0, 0, 1600, 1200);
    out.push_back({name, SingleShapeMovie(s)});
  }
  {
    std::vector<uint8_t> before;
    std::vector<uint32_t> px;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) px.push_back((x + y) % 2 ? 0xFFFFFFFF : 0xFF208040);
    Tag(before, code::DefineBitsLossless, DefineBitsLossless(5, 8, 8, px, false));
    ShapeWriter s(3, {BitmapFill(0x43, 5, Scale(100, 100, 100, 100))}, {});
    s.Style(0, 1, 0).Rect(100, 100, 900, 900);
    out.push_back({"bitmap", SingleShapeMovie(s, before)});
  }
  {
    ShapeWriter s(3, {}, {{120, {30, 30, 30}}, {0, {200, 0, 0}}});
    s.Style(0, 0, 1).MoveTo(200, 200).LineTo(1200, 200).LineTo(1200, 1000);
    s.Style(0, 0, 2).MoveTo(200, 1100).LineTo(1400, 900);
    out.push_back({"strokes", SingleShapeMovie(s)});
  }
  {
    ShapeWriter s(1, {Solid(255, 0, 0)}, {});
    s.Style(0, 1, 0).Rect(0, 0, 1600, 1200);
    Cx cx;
    cx.mult[0] = 128;
    cx.add[1] = 100;
    cx.add[2] = 60;
    out.push_back({"colour_transform", SingleShapeMovie(s, {}, {.depth = 1, .id = 1, .cx = cx})});
  }
  {
    // A clip layer: a circle showing a striped square through it.
    std::vector<uint8_t> tags;
    ShapeWriter mask(3, {Solid(0, 0, 0)}, {});
    mask.Style(0, 1, 0).Circle(800, 600, 500);
    Tag(tags, 32, mask.DefineShape(1, 300, 1300, 100, 1100));
    ShapeWriter stripes(3, {Solid(240, 120, 0), Solid(40, 40, 200)}, {});
    for (int i = 0; i < 8; ++i) stripes.Style(0, 1 + i % 2, 0).Rect(i * 200, 0, i * 200 + 200, 1200);
    Tag(tags, 32, stripes.DefineShape(2, 0, 1600, 0, 1200));
    Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1, .clipDepth = 2}));
    Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 2, .id = 2}));
    Tag(tags, code::ShowFrame, {});
    out.push_back({"clip_layer", MovieOf(80, 60, 1, tags)});
  }
  {
    // A sprite, scaled and turned, holding a square and a circle.
    std::vector<uint8_t> tags;
    ShapeWriter a(3, {Solid(0, 150, 90)}, {});
    a.Style(0, 1, 0).Rect(-300, -300, 300, 300);
    Tag(tags, 32, a.DefineShape(1, -300, 300, -300, 300));
    ShapeWriter b(3, {Solid(230, 200, 30, 180)}, {});
    b.Style(0, 1, 0).Circle(200, 200, 250);
    Tag(tags, 32, b.DefineShape(2, -50, 450, -50, 450));
    std::vector<uint8_t> inner;
    Tag(inner, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
    Tag(inner, code::PlaceObject2, PlaceObject2({.depth = 2, .id = 2}));
    Tag(inner, code::ShowFrame, {});
    Tag(inner, 0, {});
    std::vector<uint8_t> sprite = {3, 0, 1, 0};
    sprite.insert(sprite.end(), inner.begin(), inner.end());
    Tag(tags, code::DefineSprite, sprite);
    Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 3, .matrix = Mat{0.9, 0.5, -0.5, 0.9, 800, 600}}));
    Tag(tags, code::ShowFrame, {});
    out.push_back({"sprite", MovieOf(80, 60, 1, tags)});
  }
  {
    // Blend modes: a square in each mode over a stage of four coloured bands.
    std::vector<uint8_t> tags;
    Tag(tags, code::SetBackgroundColor, {120, 120, 120});
    Tag(tags, code::SetBackgroundColor, {250, 0, 250});  // ignored: the first colour stays
    ShapeWriter bands(3, {Solid(230, 60, 40), Solid(40, 180, 90), Solid(30, 60, 200), Solid(240, 230, 200)}, {});
    for (int i = 0; i < 4; ++i) bands.Style(0, 1 + i, 0).Rect(0, i * 300, 1600, i * 300 + 300);
    Tag(tags, 32, bands.DefineShape(1, 0, 1600, 0, 1200));
    ShapeWriter square(3, {Solid(90, 160, 240, 255)}, {});
    square.Style(0, 1, 0).Rect(0, 0, 260, 1000);
    Tag(tags, 32, square.DefineShape(2, 0, 260, 0, 1000));
    Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
    const uint8_t modes[] = {3, 4, 5, 6, 7, 8, 9, 10, 13, 14};
    for (int i = 0; i < 10; ++i)
      Tag(tags, code::PlaceObject3,
          Place3(uint16_t(2 + i), 2, Scale(0.5, 1, 20 + i * 158, 100), modes[i]));
    Tag(tags, code::ShowFrame, {});
    out.push_back({"blend_modes", MovieOf(80, 60, 1, tags)});
  }
  {
    // Alpha and erase: on the stage, and inside a sprite drawn as a layer, where they cut
    // into what the sprite drew before them.
    std::vector<uint8_t> tags;
    Tag(tags, code::SetBackgroundColor, {240, 230, 200});
    ShapeWriter wide(3, {Solid(30, 90, 200, 255)}, {});
    wide.Style(0, 1, 0).Rect(0, 0, 700, 500);
    Tag(tags, 32, wide.DefineShape(1, 0, 700, 0, 500));
    ShapeWriter cut(3, {Solid(0, 0, 0, 100)}, {});
    cut.Style(0, 1, 0).Rect(0, 0, 300, 300);
    Tag(tags, 32, cut.DefineShape(2, 0, 300, 0, 300));
    for (uint16_t i = 0; i < 2; ++i) {
      std::vector<uint8_t> inner;
      Tag(inner, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
      Tag(inner, code::PlaceObject3, Place3(2, 2, Translate(100, 100), uint8_t(11 + i)));
      Tag(inner, code::ShowFrame, {});
      Tag(inner, 0, {});
      std::vector<uint8_t> sprite = {uint8_t(3 + i), 0, 1, 0};
      sprite.insert(sprite.end(), inner.begin(), inner.end());
      Tag(tags, code::DefineSprite, sprite);
      // As a layer (top row) and not (bottom row).
      Tag(tags, code::PlaceObject3, Place3(uint16_t(1 + i), uint16_t(3 + i), Translate(50 + i * 800, 50), 2));
      Tag(tags, code::PlaceObject2,
          PlaceObject2({.depth = uint16_t(3 + i), .id = uint16_t(3 + i), .matrix = Translate(50 + i * 800, 650)}));
    }
    Tag(tags, code::ShowFrame, {});
    out.push_back({"blend_alpha_erase", MovieOf(80, 60, 1, tags)});
  }
  {
    // Filters: a blurred square, a drop shadow, a glow and a colour matrix, and an empty
    // text field with a border.
    std::vector<uint8_t> tags;
    ShapeWriter square(3, {Solid(200, 40, 40, 255)}, {});
    square.Style(0, 1, 0).Rect(0, 0, 300, 300);
    Tag(tags, 32, square.DefineShape(1, 0, 300, 0, 300));
    Tag(tags, code::PlaceObject3, Place3(1, 1, Translate(100, 100), std::nullopt, FilterList({BlurFilter(10, 6, 1)})));
    Tag(tags, code::PlaceObject3,
        Place3(2, 1, Translate(600, 100), std::nullopt,
               FilterList({ShadowFilter(false, {0, 0, 0, 180}, 4, 0.785398, 6, 1, false, false)})));
    Tag(tags, code::PlaceObject3,
        Place3(3, 1, Translate(1100, 100), std::nullopt,
               FilterList({ShadowFilter(true, {255, 200, 0, 255}, 8, 0, 0, 2, false, false)})));
    const float grey[20] = {0.3f, 0.59f, 0.11f, 0, 0, 0.3f, 0.59f, 0.11f, 0, 0, 0.3f, 0.59f, 0.11f, 0, 0, 0, 0, 0, 1, 0};
    Tag(tags, code::PlaceObject3, Place3(4, 1, Translate(100, 700), std::nullopt, FilterList({ColourMatrixFilter(grey)})));
    Tag(tags, code::DefineEditText, BorderedField(2, 0, 800, 0, 300));
    Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 5, .id = 2, .matrix = Translate(600, 700)}));
    Tag(tags, code::ShowFrame, {});
    out.push_back({"filters", MovieOf(80, 60, 1, tags)});
  }
  {
    // Bevels inside, outside and over the whole of squares on a light stage.
    std::vector<uint8_t> tags;
    Tag(tags, code::SetBackgroundColor, {235, 235, 225});
    ShapeWriter square(3, {Solid(60, 120, 200, 255)}, {});
    square.Style(0, 1, 0).Rect(0, 0, 360, 360);
    Tag(tags, 32, square.DefineShape(1, 0, 360, 0, 360));
    const Colour dark{20, 20, 60, 255}, light{255, 255, 255, 255};
    struct {
      int32_t x, y;
      bool inner, knockout, onTop;
    } bevels[] = {{100, 100, true, false, false}, {620, 100, false, false, false}, {1140, 100, false, false, true},
                  {100, 700, true, true, false}};
    uint16_t depth = 1;
    for (auto& b : bevels)
      Tag(tags, code::PlaceObject3,
          Place3(depth++, 1, Translate(b.x, b.y), std::nullopt,
                 FilterList({EdgeFilter(3, {{0, light}, {0, dark}}, 4, 0.785398, 4, 1, b.inner, b.knockout, b.onTop)})));
    Tag(tags, code::ShowFrame, {});
    out.push_back({"bevels", MovieOf(80, 60, 1, tags)});
  }
  // The demo movie at its first, middle and last frame.
  for (uint16_t frame : {0, 36, 71}) out.push_back({"demo_frame" + std::to_string(frame), DemoMovie(frame)});
  return out;
}

// Pixels where our frame changes from one pixel to the next: anti-aliased edges, left out.
inline bool AtEdge(const Bitmap& b, int x, int y) {
  Color c = b.GetPixel(x, y);
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      int nx = std::clamp(x + dx, 0, b.Width() - 1), ny = std::clamp(y + dy, 0, b.Height() - 1);
      Color n = b.GetPixel(nx, ny);
      if (std::abs(RedOf(c) - RedOf(n)) > 16 || std::abs(GreenOf(c) - GreenOf(n)) > 16 ||
          std::abs(BlueOf(c) - BlueOf(n)) > 16)
        return true;
    }
  return false;
}

struct FrameDifference {
  double mean = 0, worst = 0;  // per channel, of 255: over all pixels, and the worst 16 x 16 block
  int compared = 0;            // pixels outside the edges
  bool Matches() const { return compared > 0 && mean <= 3.0 && worst <= 24.0; }
};

// ours at the reference's size: a frame drawn larger (a movie scaled to fill a window) is
// averaged down over the area each reference pixel covers.
inline Bitmap AreaAverage(const Bitmap& big, int32_t width, int32_t height) {
  Bitmap out(width, height, PixelFormat::Xrgb8888);
  std::vector<uint32_t> sum(size_t(width) * height * 4, 0);
  for (int32_t y = 0; y < big.Height(); ++y) {
    int32_t ty = int32_t(int64_t(y) * height / big.Height());
    for (int32_t x = 0; x < big.Width(); ++x) {
      int32_t tx = int32_t(int64_t(x) * width / big.Width());
      Color c = big.GetPixel(x, y);
      uint32_t* s = &sum[(size_t(ty) * width + tx) * 4];
      s[0] += RedOf(c), s[1] += GreenOf(c), s[2] += BlueOf(c), s[3] += 1;
    }
  }
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t* s = &sum[(size_t(y) * width + x) * 4];
      uint32_t n = std::max<uint32_t>(s[3], 1);
      out.SetPixel(x, y, RGBColor(uint8_t((s[0] + n / 2) / n), uint8_t((s[1] + n / 2) / n), uint8_t((s[2] + n / 2) / n)));
    }
  return out;
}

// Nothing compared (no match) when ours is smaller than the reference or either is missing.
inline FrameDifference CompareWithReference(const Bitmap& oursAnySize, const Bitmap& theirs) {
  if (theirs.Empty() || oursAnySize.Width() < theirs.Width() || oursAnySize.Height() < theirs.Height()) return {};
  Bitmap ours = oursAnySize.Width() == theirs.Width() && oursAnySize.Height() == theirs.Height()
                    ? oursAnySize
                    : AreaAverage(oursAnySize, theirs.Width(), theirs.Height());
  FrameDifference d;
  double total = 0;
  for (int by = 0; by < ours.Height(); by += 16)
    for (int bx = 0; bx < ours.Width(); bx += 16) {
      double block = 0;
      int n = 0;
      for (int y = by; y < std::min(by + 16, ours.Height()); ++y)
        for (int x = bx; x < std::min(bx + 16, ours.Width()); ++x) {
          if (AtEdge(ours, x, y)) continue;
          Color a = ours.GetPixel(x, y), b = theirs.GetPixel(x, y);
          double e = (std::abs(RedOf(a) - RedOf(b)) + std::abs(GreenOf(a) - GreenOf(b)) +
                      std::abs(BlueOf(a) - BlueOf(b))) / 3.0;
          block += e;
          total += e;
          ++n;
        }
      if (n) d.worst = std::max(d.worst, block / n);
      d.compared += n;
    }
  d.mean = d.compared ? total / d.compared : 0;
  return d;
}

inline Bitmap DecodePng(const std::vector<uint8_t>& png) {
  if (png.empty()) return Bitmap();
  MemoryStream stream(png);
  TPNGGraphic reader;
  reader.LoadFromStream(stream);
  return reader.Image();
}

// The committed reference frame of a writer movie, or an empty bitmap.
inline Bitmap RufflesFrame(const std::string& name) { return DecodePng(TestDataFile("flash/ruffle/" + name + ".png")); }

// Frame `index` of ffmpeg's decode of tests/data/flash/ffmpeg_testsrc.swf (48 x 32, 3 frames).
inline Bitmap FfmpegsFrame(int index) {
  static const std::vector<uint8_t> rgb = TestDataFile("flash/ffmpeg_testsrc.rgb");
  if (rgb.size() != size_t(3 * 48 * 32 * 3) || index < 0 || index > 2) return Bitmap();
  Bitmap out(48, 32, PixelFormat::Xrgb8888);
  const uint8_t* p = &rgb[size_t(index) * 48 * 32 * 3];
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 48; ++x, p += 3) out.SetPixel(x, y, RGBColor(p[0], p[1], p[2]));
  return out;
}

}  // namespace vitrine::test
