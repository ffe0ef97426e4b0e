#pragma once
// The demo show's Flash movie (demo/shapes.swf), made with the tests' writer: on a night-blue
// stage a glowing ball swings across, a framed square turns, a star spins inside a sprite of
// its own and a bitmap drifts from corner to corner. 480 x 360 pixels, 24 frames a second,
// three seconds a loop.
#include <cmath>

#include "flash/action_assembler.h"
#include "flash/swf_writer.h"

namespace vitrine::test {

inline Mat Rotation(double degrees, double scale, int32_t tx, int32_t ty) {
  double a = degrees * kPi / 180;
  return {scale * std::cos(a), scale * std::sin(a), -scale * std::sin(a), scale * std::cos(a), tx, ty};
}

// With stopAt, the first frame's actions go to that frame and stop there (for comparing one
// frame with another player).
inline std::vector<uint8_t> DemoMovie(std::optional<uint16_t> stopAt = {}) {
  constexpr int kFrames = 72;
  std::vector<uint8_t> tags;
  Tag(tags, code::SetBackgroundColor, {20, 28, 64});
  if (stopAt) Tag(tags, code::DoAction, Actions({ActionGotoFrame(*stopAt), kActionStop}));

  ShapeWriter ball(3, {Gradient(0x13, Scale(1000 / 16384.0, 1000 / 16384.0),
                                {{0, {255, 250, 200}}, {140, {255, 160, 40}}, {255, {200, 40, 20}}}, 0, 0, -0.4)},
                   {});
  ball.Style(0, 1, 0).Circle(0, 0, 1000);
  Tag(tags, 32, ball.DefineShape(1, -1000, 1000, -1000, 1000));

  ShapeWriter square(3, {Gradient(0x10, Scale(1600 / 32768.0, 1, 0, 0), {{0, {30, 90, 220}}, {255, {90, 230, 255}}})},
                     {{120, {255, 255, 255}}});
  square.Style(0, 1, 1).Rect(-800, -800, 800, 800);
  Tag(tags, 32, square.DefineShape(2, -860, 860, -860, 860));

  ShapeWriter star(3, {Solid(120, 230, 90, 220)}, {{40, {20, 80, 20}}});
  star.Style(0, 1, 1).MoveTo(0, -900);
  for (int i = 1; i <= 10; ++i) {
    double a = -kPi / 2 + i * kPi / 5, r = i % 2 ? 380 : 900;
    star.LineTo(int32_t(std::lround(r * std::cos(a))), int32_t(std::lround(r * std::sin(a))));
  }
  Tag(tags, 32, star.DefineShape(3, -900, 900, -900, 900));

  // A 64 x 64 bitmap: soft rings in warm colours.
  std::vector<uint32_t> pixels;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      double d = std::hypot(x - 31.5, y - 31.5);
      auto r = uint32_t(128 + 127 * std::cos(d / 3)), g = uint32_t(64 + 60 * std::sin(x / 6.0)),
           b = uint32_t(160 - 2 * d);
      pixels.push_back(0xFF000000u | r << 16 | g << 8 | b);
    }
  Tag(tags, code::DefineBitsLossless, DefineBitsLossless(10, 64, 64, pixels, false));
  ShapeWriter picture(3, {BitmapFill(0x41, 10, Scale(20, 20))}, {{60, {250, 240, 220}}});
  picture.Style(0, 1, 1).Rect(0, 0, 1280, 1280);
  Tag(tags, 32, picture.DefineShape(4, -30, 1310, -30, 1310));

  // The spinning star: a sprite of twelve frames.
  std::vector<uint8_t> inner;
  for (int f = 0; f < 12; ++f) {
    // Stopped at one frame, the movie's sprite stands still too (it would run on by itself).
    if (f == 0 && stopAt) Tag(inner, code::DoAction, Actions({kActionStop}));
    if (f == 0) Tag(inner, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 3, .matrix = Rotation(0, 1, 0, 0)}));
    else Tag(inner, code::PlaceObject2, PlaceObject2({.depth = 1, .matrix = Rotation(f * 6, 1, 0, 0), .move = true}));
    Tag(inner, code::ShowFrame, {});
  }
  Tag(inner, 0, {});
  std::vector<uint8_t> sprite = {20, 0, 12, 0};
  sprite.insert(sprite.end(), inner.begin(), inner.end());
  Tag(tags, code::DefineSprite, sprite);

  for (int f = 0; f < kFrames; ++f) {
    double t = double(f) / kFrames;
    Mat ballAt = Translate(int32_t(4800 + 3400 * std::sin(2 * kPi * t)), int32_t(2200 + 900 * std::cos(4 * kPi * t)));
    Mat squareAt = Rotation(360 * t, 1, 2400, 5000);
    Mat starAt = Rotation(0, 1.2, 7200, 5000);
    double bounce = t < 0.5 ? 2 * t : 2 - 2 * t;
    Mat pictureAt = Translate(int32_t(400 + 7600 * bounce), int32_t(300 + 5400 * bounce));
    bool first = f == 0;
    auto place = [&](uint16_t depth, uint16_t id, Mat m) {
      if (first) Tag(tags, code::PlaceObject2, PlaceObject2({.depth = depth, .id = id, .matrix = m}));
      else Tag(tags, code::PlaceObject2, PlaceObject2({.depth = depth, .matrix = m, .move = true}));
    };
    place(1, 4, pictureAt);
    place(2, 2, squareAt);
    place(3, 20, starAt);
    place(4, 1, ballAt);
    Tag(tags, code::ShowFrame, {});
  }
  return MovieOf(480, 360, kFrames, tags, true, 24 << 8);
}


// The demo's scripted movie (demo/snow.swf): snow falling on a night sky, made by its own
// script. Frame 1 duplicates one flake sixty times, scatters the copies at random places,
// sizes and speeds, and gives each an onEnterFrame that lets it fall and start again at the
// top; the one-frame timeline then stands still. 480 x 360 pixels, 24 frames a second, SWF 6.
inline std::vector<uint8_t> SnowMovie() {
  std::vector<uint8_t> tags;
  Tag(tags, code::SetBackgroundColor, {10, 14, 40});
  ShapeWriter sky(3, {Gradient(0x10, Rotation(90, 7200 / 32768.0, 4800, 3600), {{0, {10, 14, 40}}, {255, {60, 50, 110}}})}, {});
  sky.Style(0, 1, 0).Rect(0, 0, 9600, 7200);
  Tag(tags, 32, sky.DefineShape(1, 0, 9600, 0, 7200));
  ShapeWriter flakeShape(3, {Gradient(0x12, Scale(140 / 16384.0, 140 / 16384.0),
                                      {{0, {255, 255, 255, 255}}, {120, {240, 245, 255, 220}}, {255, {220, 230, 255, 0}}})},
                         {});
  flakeShape.Style(0, 1, 0).Circle(0, 0, 140);
  Tag(tags, 32, flakeShape.DefineShape(2, -140, 140, -140, 140));
  std::vector<uint8_t> inner;
  Tag(inner, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 2}));
  Tag(inner, code::ShowFrame, {});
  Tag(inner, 0, {});
  std::vector<uint8_t> sprite = {3, 0, 1, 0};
  sprite.insert(sprite.end(), inner.begin(), inner.end());
  Tag(tags, code::DefineSprite, sprite);
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
  // The flake every copy is made from waits above the stage.
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 2, .id = 3, .matrix = Translate(0, -400), .name = "flake"}));

  // onEnterFrame: this._y += this.speed; if (this._y > 370) this._y = -10;
  Asm fall;
  fall.Push({"this"}).GetVariable().Push({"_y", "this"}).GetVariable().Push({"_y"}).GetMember();
  fall.Push({"this"}).GetVariable().Push({"speed"}).GetMember().Add2().SetMember();
  fall.Push({"this"}).GetVariable().Push({"_y"}).GetMember().Push({370}).Op(0x67).Op(0x12).If("stays");
  fall.Push({"this"}).GetVariable().Push({"_y", -10}).SetMember();
  fall.Label("stays");

  Asm a;
  a.Push({"i", 0}).SetVariable();
  a.Label("next").Push({"i"}).GetVariable().Push({60}).Less2().Op(0x12).If("done");
  // duplicateMovieClip("flake", "f" + i, i + 10); c = eval("f" + i);
  a.Push({"flake", "f", "i"}).GetVariable().Add2().Push({"i"}).GetVariable().Push({16384 + 10}).Add2().Op(0x24);
  a.Push({"c", "f", "i"}).GetVariable().Add2().GetVariable().SetVariable();
  // c._x = random(480); c._y = random(360); c._xscale = c._yscale = 40 + random(80);
  a.Push({"c"}).GetVariable().Push({"_x", 480}).Op(0x30).SetMember();
  a.Push({"c"}).GetVariable().Push({"_y", 360}).Op(0x30).SetMember();
  a.Push({"c"}).GetVariable().Push({"_xscale", 40, 80}).Op(0x30).Add2().StoreRegister(1).SetMember();
  a.Push({"c"}).GetVariable().Push({"_yscale", Reg{1}}).SetMember();
  // c._alpha = 50 + random(50); c.speed = 1 + random(3); c.onEnterFrame = fall;
  a.Push({"c"}).GetVariable().Push({"_alpha", 50, 50}).Op(0x30).Add2().SetMember();
  a.Push({"c"}).GetVariable().Push({"speed", 1, 3}).Op(0x30).Add2().SetMember();
  a.Push({"c"}).GetVariable().Push({"onEnterFrame"}).Function("", {}, fall).SetMember();
  a.Push({"i", "i"}).GetVariable().Op(0x50).SetVariable().Jump("next");
  a.Label("done");
  Tag(tags, code::DoAction, a.Bytes());
  Tag(tags, code::ShowFrame, {});
  std::vector<uint8_t> movie = MovieOf(480, 360, 1, tags, true, 24 << 8);
  movie[3] = 6;
  return movie;
}

// The demo's Flash 8 movie (demo/effects.swf): what Flash Player 8 draws beyond shapes. Over a
// rainbow band, six orange discs bob up and down, each blended its own way (multiply,
// screen, difference, add, overlay, hard light); below them four blue stars turn, with a drop
// shadow, a blur, a glow and a bevel; at the foot a bordered text field in a device font
// names them. 480 x 360 pixels, 24 frames a second, two seconds a loop, SWF 8. With stopAt,
// as DemoMovie.
inline std::vector<uint8_t> EffectsMovie(std::optional<uint16_t> stopAt = {}) {
  constexpr int kFrames = 48;
  std::vector<uint8_t> tags;
  Tag(tags, code::SetBackgroundColor, {24, 30, 48});
  if (stopAt) Tag(tags, code::DoAction, Actions({ActionGotoFrame(*stopAt), kActionStop}));
  ShapeWriter band(3, {Gradient(0x10, Scale(8800 / 32768.0, 1, 4800, 0),
                                {{0, {230, 40, 60}}, {64, {250, 200, 40}}, {128, {60, 200, 90}},
                                 {192, {40, 140, 240}}, {255, {170, 60, 220}}})},
                   {});
  band.Style(0, 1, 0).Rect(400, 600, 9200, 2800);
  Tag(tags, 32, band.DefineShape(1, 400, 9200, 600, 2800));
  ShapeWriter disc(3, {Solid(255, 130, 40)}, {});
  disc.Style(0, 1, 0).Circle(0, 0, 700);
  Tag(tags, 32, disc.DefineShape(2, -700, 700, -700, 700));
  // A five-pointed star of straight edges.
  ShapeWriter star(3, {Solid(70, 170, 255)}, {});
  std::vector<std::pair<int32_t, int32_t>> points;
  for (int k = 0; k < 10; ++k) {
    double a = kPi * k / 5 - kPi / 2, r = k % 2 ? 380 : 900;
    points.push_back({int32_t(std::lround(r * std::cos(a))), int32_t(std::lround(r * std::sin(a)))});
  }
  star.Style(0, 1, 0).MoveTo(points[0].first, points[0].second);
  for (int k = 1; k <= 10; ++k) star.LineTo(points[k % 10].first, points[k % 10].second);
  Tag(tags, 32, star.DefineShape(3, -900, 900, -900, 900));
  Tag(tags, code::DefineFont2, DeviceFont(4, "Arial", 0));
  BitWriter field;
  field.U16(5);
  WriteRect(field, 0, 8400, 0, 720);
  field.U8(0x80 | 0x04 | 0x01);  // text, colour and font
  field.U8(0x20 | 0x08 | 0x10);  // layout, border and background, not selectable
  field.U16(4);
  field.U16(400);
  WriteColour(field, {30, 40, 90, 255}, true);
  field.U8(2);  // centred
  for (int k = 0; k < 4; ++k) field.U16(0);  // margins, indent and leading
  field.String("caption");
  field.String("blend modes, filters and device text");
  Tag(tags, code::DefineEditText, field.Take());

  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 1, .id = 1}));
  const uint8_t blends[6] = {3, 4, 7, 8, 13, 14};
  auto discAt = [](int i, int frame) {
    return Translate(1000 + 1480 * i, 1700 + int32_t(std::lround(500 * std::sin(2 * kPi * (frame + 6 * i) / kFrames))));
  };
  for (int i = 0; i < 6; ++i)
    Tag(tags, code::PlaceObject3, Place3(uint16_t(2 + i), 2, discAt(i, 0), blends[i]));
  const std::vector<uint8_t> filters[4] = {
      FilterList({ShadowFilter(false, {0, 0, 0, 200}, 6, kPi / 4, 8, 1, false, false)}),
      FilterList({BlurFilter(6, 6, 2)}),
      FilterList({ShadowFilter(true, {255, 240, 120, 255}, 10, 0, 0, 2, false, false)}),
      FilterList({EdgeFilter(3, {{0, {255, 255, 255, 220}}, {0, {0, 0, 60, 220}}}, 4, kPi / 4, 4, 1, true, false, false)}),
  };
  auto starAt = [](int i, int frame) { return Rotation(360.0 * frame / kFrames + 18 * i, 1, 1200 + 2400 * i, 4500); };
  for (int i = 0; i < 4; ++i)
    Tag(tags, code::PlaceObject3, Place3(uint16_t(10 + i), 3, starAt(i, 0), std::nullopt, filters[i]));
  Tag(tags, code::PlaceObject2, PlaceObject2({.depth = 20, .id = 5, .matrix = Translate(600, 6240)}));
  Tag(tags, code::ShowFrame, {});
  for (int frame = 1; frame < kFrames; ++frame) {
    for (int i = 0; i < 6; ++i)
      Tag(tags, code::PlaceObject2, PlaceObject2({.depth = uint16_t(2 + i), .matrix = discAt(i, frame), .move = true}));
    for (int i = 0; i < 4; ++i)
      Tag(tags, code::PlaceObject2, PlaceObject2({.depth = uint16_t(10 + i), .matrix = starAt(i, frame), .move = true}));
    Tag(tags, code::ShowFrame, {});
  }
  std::vector<uint8_t> movie = MovieOf(480, 360, kFrames, tags, true, 24 << 8);
  movie[3] = 8;
  return movie;
}

}  // namespace vitrine::test
