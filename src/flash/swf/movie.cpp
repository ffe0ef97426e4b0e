#include "flash/swf/movie.h"

#include <zlib.h>

#include <algorithm>

#include "core/stream.h"
#include "flash/swf/avm1/activation.h"
#include "flash/swf/effects.h"
#include "imaging/gif_reader.h"
#include "imaging/jpeg_reader.h"
#include "imaging/png_reader.h"

namespace vitrine::swf {

namespace {

bool IsDefinition(uint16_t code) {
  switch (code) {
    case tag::DefineShape: case tag::DefineShape2: case tag::DefineShape3: case tag::DefineShape4:
    case tag::DefineMorphShape: case tag::DefineMorphShape2: case tag::DefineBits: case tag::DefineBitsJpeg2:
    case tag::DefineBitsJpeg3: case tag::DefineBitsLossless: case tag::DefineBitsLossless2:
    case tag::DefineSprite: case tag::DefineFont: case tag::DefineFont2: case tag::DefineFont3:
    case tag::DefineText: case tag::DefineText2: case tag::DefineButton: case tag::DefineButton2:
    case tag::DefineEditText: case tag::DefineSound:
      return true;
    default:
      return false;
  }
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

// The bytes of an inflated zlib stream, exactly expected of them or nothing.
bool InflateExactly(std::span<const uint8_t> in, size_t expected, std::vector<uint8_t>& out) {
  out.assign(expected, 0);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(in.data());
  z.avail_in = uInt(in.size());
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  int rc = inflate(&z, Z_FINISH);
  size_t produced = out.size() - z.avail_out;
  inflateEnd(&z);
  return produced == expected && (rc == Z_STREAM_END || rc == Z_OK || rc == Z_BUF_ERROR);
}

// Flash's JPEG data may carry an end-of-image marker followed by a new start-of-image
// between tables and picture (or at its very start); libjpeg wants one stream.
std::vector<uint8_t> JoinJpeg(std::span<const uint8_t> tables, std::span<const uint8_t> image) {
  std::vector<uint8_t> all(tables.begin(), tables.end());
  all.insert(all.end(), image.begin(), image.end());
  std::vector<uint8_t> out;
  out.reserve(all.size());
  for (size_t i = 0; i < all.size(); ++i) {
    if (i + 3 < all.size() && all[i] == 0xFF && all[i + 1] == 0xD9 && all[i + 2] == 0xFF && all[i + 3] == 0xD8 &&
        !out.empty()) {
      i += 3;
      continue;
    }
    if (out.empty() && i + 3 < all.size() && all[i] == 0xFF && all[i + 1] == 0xD9 && all[i + 2] == 0xFF &&
        all[i + 3] == 0xD8) {
      i += 3;  // the stray pair before the stream's own start marker
      continue;
    }
    out.push_back(all[i]);
  }
  return out;
}

// Flash 8 lets DefineBitsJPEG2 and 3 carry a PNG or GIF picture instead; drawn opaque.
std::shared_ptr<Image> DecodeOtherPicture(std::span<const uint8_t> data) {
  MemoryStream stream(std::vector<uint8_t>(data.begin(), data.end()));
  std::unique_ptr<TReaderGraphic> reader;
  if (data.size() > 8 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G')
    reader = std::make_unique<TPNGGraphic>();
  else if (data.size() > 6 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F')
    reader = std::make_unique<TGIFGraphic>();
  if (!reader) return nullptr;
  // The size from the header, so that a picture too large is not decoded at all.
  int64_t w = 0, h = 0;
  if (data[0] == 0x89 && data.size() >= 24) {
    w = int64_t(data[16]) << 24 | data[17] << 16 | data[18] << 8 | data[19];
    h = int64_t(data[20]) << 24 | data[21] << 16 | data[22] << 8 | data[23];
  } else if (data[0] == 'G' && data.size() >= 10) {
    w = data[6] | data[7] << 8;
    h = data[8] | data[9] << 8;
  }
  if (w * h > kMaxBitmapPixels) return nullptr;
  reader->LoadFromStream(stream);
  Bitmap& picture = reader->Image();
  if (int64_t(picture.Width()) * picture.Height() > kMaxBitmapPixels || picture.Empty()) return nullptr;
  auto image = std::make_shared<Image>();
  image->width = picture.Width();
  image->height = picture.Height();
  image->pixels.reserve(size_t(image->width) * image->height);
  for (int32_t y = 0; y < image->height; ++y)
    for (int32_t x = 0; x < image->width; ++x) {
      Color c = picture.GetPixel(x, y);
      image->pixels.push_back(0xFF000000u | uint32_t(RedOf(c)) << 16 | uint32_t(GreenOf(c)) << 8 | BlueOf(c));
    }
  return image;
}

std::shared_ptr<Image> DecodeJpegImage(std::span<const uint8_t> tables, std::span<const uint8_t> data) {
  if (tables.empty() && !data.empty() && data[0] != 0xFF) return DecodeOtherPicture(data);
  std::vector<uint8_t> jpeg = JoinJpeg(tables, data);
  JpegHeader header = ReadJpegHeader(jpeg);
  if (int64_t(header.width) * header.height > kMaxBitmapPixels || header.width <= 0 || header.height <= 0)
    return nullptr;
  Bitmap decoded = DecodeJpeg(jpeg);
  auto image = std::make_shared<Image>();
  image->width = decoded.Width();
  image->height = decoded.Height();
  image->pixels.resize(size_t(image->width) * image->height);
  for (int32_t y = 0; y < image->height; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(decoded.Row(y));
    for (int32_t x = 0; x < image->width; ++x) image->pixels[size_t(y) * image->width + x] = 0xFF000000u | row[x];
  }
  return image;
}

std::shared_ptr<Image> DecodeLossless(BitReader& r, bool withAlpha) {
  uint8_t format = r.U8();
  int32_t width = r.U16(), height = r.U16();
  if (int64_t(width) * height > kMaxBitmapPixels || width == 0 || height == 0) return nullptr;
  uint32_t tableSize = format == 3 ? uint32_t(r.U8()) + 1 : 0;
  auto data = r.Rest();
  size_t colourBytes = withAlpha ? 4 : 3;
  size_t rowBytes;
  size_t expected;
  if (format == 3) {
    rowBytes = (size_t(width) + 3) & ~size_t(3);
    expected = tableSize * colourBytes + rowBytes * height;
  } else if (format == 4 && !withAlpha) {
    rowBytes = (size_t(width) * 2 + 3) & ~size_t(3);
    expected = rowBytes * height;
  } else if (format == 5) {
    rowBytes = size_t(width) * 4;
    expected = rowBytes * height;
  } else {
    return nullptr;
  }
  std::vector<uint8_t> raw;
  if (!InflateExactly(data, expected, raw)) return nullptr;
  auto image = std::make_shared<Image>();
  image->width = width;
  image->height = height;
  image->pixels.resize(size_t(width) * height);
  auto pack = [](uint32_t a, uint32_t rr, uint32_t g, uint32_t b) {
    // Stored premultiplied; a colour above its alpha is clamped.
    return a << 24 | std::min(rr, a) << 16 | std::min(g, a) << 8 | std::min(b, a);
  };
  const uint8_t* pixels = raw.data();
  std::vector<uint32_t> table;
  if (format == 3) {
    for (uint32_t i = 0; i < tableSize; ++i) {
      const uint8_t* c = raw.data() + i * colourBytes;
      table.push_back(withAlpha ? pack(c[3], c[0], c[1], c[2]) : pack(255, c[0], c[1], c[2]));
    }
    pixels += tableSize * colourBytes;
  }
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = pixels + size_t(y) * rowBytes;
    uint32_t* out = image->pixels.data() + size_t(y) * width;
    for (int32_t x = 0; x < width; ++x) {
      if (format == 3) {
        out[x] = row[x] < table.size() ? table[row[x]] : 0;
      } else if (format == 4) {
        uint32_t v = uint32_t(row[2 * x]) << 8 | row[2 * x + 1];
        uint32_t r5 = (v >> 10) & 31, g5 = (v >> 5) & 31, b5 = v & 31;
        out[x] = pack(255, r5 << 3 | r5 >> 2, g5 << 3 | g5 >> 2, b5 << 3 | b5 >> 2);
      } else {
        const uint8_t* p = row + 4 * x;
        out[x] = withAlpha ? pack(p[0], p[1], p[2], p[3]) : pack(255, p[1], p[2], p[3]);
      }
    }
  }
  return image;
}

Glyphs ReadFont(BitReader& r, uint16_t code) {
  Glyphs font;
  std::vector<uint32_t> offsets;
  uint8_t flags = 0;
  size_t tableStart;
  size_t end;
  std::span<const uint8_t> rest;
  if (code == tag::DefineFont) {
    rest = r.Rest();
    if (rest.size() < 2) return font;
    uint32_t first = rest[0] | rest[1] << 8;
    uint32_t count = first / 2;
    BitReader t(rest);
    for (uint32_t i = 0; i < count; ++i) offsets.push_back(t.U16());
    end = rest.size();
  } else {
    flags = r.U8();
    r.U8();  // language
    std::span<const uint8_t> name = r.Bytes(r.U8());
    font.name.assign(name.begin(), std::find(name.begin(), name.end(), uint8_t(0)));
    font.bold = flags & 0x01;
    font.italic = flags & 0x02;
    uint32_t count = r.U16();
    bool wide = flags & 0x08;
    rest = r.Rest();
    BitReader t(rest);
    for (uint32_t i = 0; i < count; ++i) offsets.push_back(wide ? t.U32() : t.U16());
    end = count ? (wide ? t.U32() : t.U16()) : 0;
    if (code == tag::DefineFont3) font.unitsPerEm = 1024 * 20;
  }
  tableStart = 0;
  for (size_t i = 0; i < offsets.size(); ++i) {
    size_t from = tableStart + offsets[i];
    size_t to = i + 1 < offsets.size() ? tableStart + offsets[i + 1] : end;
    Shape glyph;
    if (from < to && to <= rest.size()) {
      try {
        BitReader g(rest.subspan(from, to - from));
        glyph = ReadGlyph(g);
      } catch (const SwfError&) {
      }
    }
    font.shapes.push_back(std::move(glyph));
  }
  if (code != tag::DefineFont) {
    try {
      BitReader t(rest.subspan(std::min(end, rest.size())));
      bool wideCodes = flags & 0x04;
      for (size_t i = 0; i < offsets.size(); ++i) font.codes.push_back(wideCodes ? t.U16() : t.U8());
      if (flags & 0x80) {
        font.ascent = t.U16();
        font.descent = t.U16();
        font.leading = t.S16();
        for (size_t i = 0; i < offsets.size(); ++i) font.advances.push_back(t.S16());
      }
    } catch (const SwfError&) {
      // A code table cut short: the glyphs still draw in static text.
    }
  }
  return font;
}

StaticText ReadText(BitReader& r, bool withAlpha) {
  StaticText text;
  ReadRect(r);
  text.matrix = ReadMatrix(r);
  int glyphBits = r.U8(), advanceBits = r.U8();
  GlyphRun run;
  double x = 0;
  while (true) {
    uint8_t flags = r.U8();
    if (flags == 0) break;
    if (flags & 0x08) run.fontId = r.U16();
    if (flags & 0x04) run.color = withAlpha ? ReadRgba(r) : ReadRgb(r);
    if (flags & 0x01) x = r.S16();
    if (flags & 0x02) run.y = r.S16();
    if (flags & 0x08) run.height = r.U16();
    uint32_t count = r.U8();
    run.x = x;
    run.glyphs.clear();
    for (uint32_t i = 0; i < count; ++i) {
      uint32_t index = r.UBits(glyphBits);
      double advance = r.SBits(advanceBits);
      run.glyphs.push_back({index, advance});
      x += advance;
    }
    r.Align();
    text.runs.push_back(run);
  }
  return text;
}

void ReadButton(BitReader& r, bool second, Character& ch) {
  size_t actionsAt = 0;
  if (second) {
    ch.trackAsMenu = r.U8() & 1;
    size_t at = r.Position();
    uint16_t offset = r.U16();
    if (offset) actionsAt = at + offset;
  }
  while (true) {
    uint8_t flags = r.U8();
    if (flags == 0) break;
    ButtonPart part;
    part.states = flags & 0x0F;
    part.id = r.U16();
    part.depth = r.U16();
    part.matrix = ReadMatrix(r);
    if (second) part.cx = ReadCxForm(r, true);
    if (second && (flags & 0x10)) ReadFilterList(r);  // effects are not drawn on buttons
    if (second && (flags & 0x20)) r.U8();
    if (part.states) ch.button.push_back(part);
  }
  // Actions cut short are left out; the parts read stay.
  try {
    if (!second) {
      // DefineButton: one block of actions, run on release.
      ch.buttonActions.push_back({kOverDownToOverUp, r.Rest()});
      return;
    }
    if (!actionsAt || actionsAt < r.Position()) return;
    r.Skip(actionsAt - r.Position());
    while (!r.AtEnd()) {
      uint16_t size = r.U16();
      uint16_t conditions = r.U16();
      if (size == 0) {
        ch.buttonActions.push_back({conditions, r.Rest()});
        break;
      }
      if (size < 4) break;
      ch.buttonActions.push_back({conditions, r.Bytes(size - 4)});
    }
  } catch (const SwfError&) {
  }
}

// The text of an HTML text field without its markup and entities.
std::string StripHtml(const std::string& html) {
  std::string out;
  bool inTag = false;
  for (size_t i = 0; i < html.size(); ++i) {
    char c = html[i];
    if (inTag) {
      if (c == '>') inTag = false;
      continue;
    }
    if (c == '<') {
      if (html.compare(i, 3, "<br") == 0 || html.compare(i, 3, "<BR") == 0 || html.compare(i, 3, "<p>") == 0 ||
          html.compare(i, 3, "<P ") == 0 || html.compare(i, 3, "<P>") == 0 || html.compare(i, 3, "<p ") == 0) {
        if (!out.empty()) out += '\n';
      }
      inTag = true;
      continue;
    }
    if (c == '&') {
      static const std::pair<const char*, char> entities[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'},
                                                               {"&quot;", '"'}, {"&apos;", '\''}, {"&nbsp;", ' '}};
      bool matched = false;
      for (auto& [name, ch] : entities) {
        size_t n = std::char_traits<char>::length(name);
        if (html.compare(i, n, name) == 0) {
          out += ch;
          i += n - 1;
          matched = true;
          break;
        }
      }
      if (matched) continue;
    }
    out += c;
  }
  return out;
}

EditText ReadEditText(BitReader& r) {
  EditText e;
  e.bounds = ReadRect(r);
  uint8_t f1 = r.U8(), f2 = r.U8();
  e.useOutlines = f2 & 0x01;
  e.border = e.background = f2 & 0x08;
  e.wordWrap = f1 & 0x40;
  e.multiline = f1 & 0x20;
  if (f1 & 0x01) {
    e.hasFont = true;
    e.fontId = r.U16();
  }
  if (f2 & 0x80) r.String();
  if (f1 & 0x01) e.height = r.U16();
  if (f1 & 0x04) e.color = ReadRgba(r);
  if (f1 & 0x02) r.U16();
  if (f2 & 0x20) {
    e.align = r.U8();
    e.leftMargin = r.U16();
    e.rightMargin = r.U16();
    r.U16();  // indent
    r.S16();  // leading
  }
  e.variable = r.String();
  if (f1 & 0x80) {
    e.text = r.String();
    if (f2 & 0x02) e.text = StripHtml(e.text);
  }
  return e;
}

}  // namespace

std::optional<uint16_t> DefinedId(const Tag& t) {
  if (!IsDefinition(t.code) || t.body.size() < 2) return std::nullopt;
  return uint16_t(t.body[0] | t.body[1] << 8);
}

std::shared_ptr<const Image> DecodeBitmapTag(const Tag& t, std::span<const uint8_t> jpegTables) {
  try {
    BitReader r(t.body);
    r.U16();
    switch (t.code) {
      case tag::DefineBits:
        return DecodeJpegImage(jpegTables, r.Rest());
      case tag::DefineBitsJpeg2:
        return DecodeJpegImage({}, r.Rest());
      case tag::DefineBitsJpeg3: {
        uint32_t alphaOffset = r.U32();
        auto jpeg = r.Bytes(alphaOffset);
        auto image = DecodeJpegImage({}, jpeg);
        if (!image) return nullptr;
        std::vector<uint8_t> alpha;
        // Without its alpha the picture shows opaque.
        if (InflateExactly(r.Rest(), size_t(image->width) * image->height, alpha)) {
          for (size_t i = 0; i < alpha.size(); ++i) {
            uint32_t p = image->pixels[i], a = alpha[i];
            auto mul = [&](uint32_t c) { return (c * a + 127) / 255; };
            image->pixels[i] = a << 24 | mul((p >> 16) & 255) << 16 | mul((p >> 8) & 255) << 8 | mul(p & 255);
          }
        }
        return image;
      }
      case tag::DefineBitsLossless:
        return DecodeLossless(r, false);
      case tag::DefineBitsLossless2:
        return DecodeLossless(r, true);
      default:
        return nullptr;
    }
  } catch (const std::exception&) {
    return nullptr;
  }
}

std::vector<FrameAction> ReadFrameActions(std::span<const uint8_t> body, bool* othersSkipped) {
  std::vector<FrameAction> out;
  try {
    BitReader r(body);
    while (!r.AtEnd()) {
      uint8_t code = r.U8();
      if (code == 0) break;
      std::span<const uint8_t> data;
      if (code >= 0x80) data = r.Bytes(r.U16());
      BitReader d(data);
      switch (code) {
        case 0x04: out.push_back({FrameAction::NextFrame, 0, {}}); break;
        case 0x05: out.push_back({FrameAction::PrevFrame, 0, {}}); break;
        case 0x06: out.push_back({FrameAction::Play, 0, {}}); break;
        case 0x07: out.push_back({FrameAction::Stop, 0, {}}); break;
        case 0x81: out.push_back({FrameAction::GotoFrame, d.U16(), {}}); break;
        case 0x8C: out.push_back({FrameAction::GotoLabel, 0, d.String()}); break;
        case 0x8A: break;  // WaitForFrame: every frame is loaded, nothing is skipped
        case 0x09: out.push_back({FrameAction::StopSounds, 0, {}}); break;
        case 0x08: break;  // the quality toggle: no effect here
        default:
          if (othersSkipped) *othersSkipped = true;
      }
    }
  } catch (const SwfError&) {
  }
  return out;
}

bool HoldsUnknownActions(std::span<const uint8_t> body) {
  size_t pc = 0;
  while (pc < body.size()) {
    uint8_t code = body[pc];
    if (code == 0) return false;
    if (!avm1::SupportedAction(code)) return true;
    if (code < 0x80) {
      ++pc;
      continue;
    }
    if (pc + 3 > body.size()) return false;
    pc += 3 + (body[pc + 1] | size_t(body[pc + 2]) << 8);
  }
  return false;
}

std::shared_ptr<Movie> Movie::Load(std::span<const uint8_t> bytes, std::string* why) {
  auto file = OpenSwf(bytes, why);
  if (!file) return nullptr;
  auto movie = std::shared_ptr<Movie>(new Movie());
  movie->file_ = std::move(*file);
  std::span<const uint8_t> tags(movie->file_.body);
  movie->root_ = movie->ReadTimeline(tags.subspan(movie->file_.tagsStart), movie->file_.frameCount, true);
  return movie;
}

Timeline Movie::ReadTimeline(std::span<const uint8_t> bytes, uint32_t frameCount, bool root) {
  // The header's frame count is a hint: ffmpeg, for one, leaves it 0. The movie has as many
  // frames as the larger of it and the ShowFrame tags, never more than a 16-bit count.
  Timeline tl;
  tl.frames.resize(frameCount);
  TagWalker walker(bytes);
  Tag t;
  uint32_t frame = 0;
  while (walker.Next(t)) {
    if (++tagsSeen_ > kMaxTags) break;
    if (t.code == tag::ShowFrame) {
      if (++frame >= kMaxFrames) break;
      continue;
    }
    if (tl.frames.size() <= frame) tl.frames.resize(frame + 1);
    switch (t.code) {
      case tag::FrameLabel:
        try {
          BitReader r(t.body);
          tl.labels.emplace(Lower(r.String()), frame);
        } catch (const SwfError&) {
        }
        continue;
      case tag::JpegTables:
        if (jpegTables_.empty()) jpegTables_.assign(t.body.begin(), t.body.end());
        continue;
      case tag::DoAction:
        holdsScripts_ = holdsScripts_ || HoldsUnknownActions(t.body);
        break;
      case tag::DoInitAction:
        holdsScripts_ = holdsScripts_ || t.body.size() < 2 || HoldsUnknownActions(t.body.subspan(2));
        break;
      case tag::DoAbc: case tag::DoAbc1:
        holdsScripts_ = true;
        continue;
      case tag::SoundStreamHead: case tag::SoundStreamHead2:
        if (!tl.streamHead) tl.streamHead = ReadSoundStreamHead(t.body);
        hasSound_ = hasSound_ || tl.streamHead.has_value();
        continue;
      case tag::DefineSound:
        hasSound_ = true;
        break;
      default:
        break;
    }
    // Inside a sprite only control tags count; definitions there are not allowed.
    if (!root && IsDefinition(t.code)) continue;
    if (t.code == tag::DefineSprite) {
      uint16_t id;
      Define(t, &id);
    }
    tl.frames[frame].push_back(t);
  }
  tl.frameCount = std::max(frameCount, frame);
  tl.frames.resize(tl.frameCount);
  return tl;
}

std::shared_ptr<const Character> Movie::Define(const Tag& t, uint16_t* id) {
  auto defined = DefinedId(t);
  if (!defined) return nullptr;
  *id = *defined;
  auto it = defined_.find(t.body.data());
  if (it != defined_.end()) return it->second;
  std::shared_ptr<Character> ch;
  try {
    ch = Parse(t);
  } catch (const SwfError&) {
    ch = nullptr;
  }
  defined_[t.body.data()] = ch;
  return ch;
}

std::shared_ptr<Character> Movie::Parse(const Tag& t) {
  BitReader r(t.body);
  r.U16();
  auto ch = std::make_shared<Character>();
  switch (t.code) {
    case tag::DefineShape: case tag::DefineShape2: case tag::DefineShape3: case tag::DefineShape4: {
      int version = t.code == tag::DefineShape ? 1 : t.code == tag::DefineShape2 ? 2 : t.code == tag::DefineShape3 ? 3 : 4;
      ch->kind = Kind::Shape;
      ch->shape = ReadDefineShape(r, version);
      break;
    }
    case tag::DefineMorphShape: case tag::DefineMorphShape2:
      ch->kind = Kind::Morph;
      ch->morph = ReadDefineMorphShape(r, t.code == tag::DefineMorphShape ? 1 : 2);
      break;
    case tag::DefineBits: case tag::DefineBitsJpeg2: case tag::DefineBitsJpeg3: case tag::DefineBitsLossless:
    case tag::DefineBitsLossless2:
      ch->kind = Kind::Bitmap;
      ch->image = DecodeBitmapTag(t, jpegTables_);
      if (!ch->image) return nullptr;
      break;
    case tag::DefineSprite: {
      ch->kind = Kind::Sprite;
      uint16_t frames = r.U16();
      ch->sprite = ReadTimeline(r.Rest(), std::max<uint16_t>(frames, 1), false);
      break;
    }
    case tag::DefineFont: case tag::DefineFont2: case tag::DefineFont3:
      ch->kind = Kind::Font;
      ch->font = ReadFont(r, t.code);
      break;
    case tag::DefineText: case tag::DefineText2:
      ch->kind = Kind::Text;
      ch->text = ReadText(r, t.code == tag::DefineText2);
      break;
    case tag::DefineButton: case tag::DefineButton2:
      ch->kind = Kind::Button;
      ReadButton(r, t.code == tag::DefineButton2, *ch);
      break;
    case tag::DefineEditText:
      ch->kind = Kind::EditText;
      ch->edit = ReadEditText(r);
      break;
    case tag::DefineSound: {
      auto sound = ReadDefineSound(t.body);
      if (!sound) return nullptr;
      ch->kind = Kind::Sound;
      ch->sound = *sound;
      break;
    }
    default:
      return nullptr;
  }
  return ch;
}

MovieInfo DescribeMovie(std::span<const uint8_t> file) {
  MovieInfo info;
  if (file.size() >= 4 && file[1] == 'W' && file[2] == 'S') {
    info.version = file[3];
    info.compressed = file[0] != 'F';
  }
  auto movie = Movie::Load(file, &info.why);
  if (!movie) return info;
  const SwfFile& f = movie->File();
  info.playable = true;
  info.widthTwips = f.xMax - f.xMin;
  info.heightTwips = f.yMax - f.yMin;
  info.frameRate = f.frameRate / 256.0;
  info.frameCount = uint16_t(std::min<uint32_t>(movie->Root().frameCount, 65535));
  info.holdsScripts = movie->HoldsScripts();
  info.hasSound = movie->HasSound();
  return info;
}

std::vector<ClipAction> ReadClipActions(BitReader& r, int version) {
  std::vector<ClipAction> out;
  try {
    r.U16();
    auto flags = [&] { return version >= 6 ? r.U32() : uint32_t(r.U16()); };
    flags();  // every event of the records that follow
    while (!r.AtEnd() && out.size() < 64) {
      uint32_t events = flags();
      if (events == 0) break;
      uint32_t size = r.U32();
      ClipAction action;
      action.events = events;
      if (events & kEventKeyPress) {
        if (size == 0) break;
        action.key = r.U8();
        --size;
      }
      action.code = r.Bytes(size);
      out.push_back(action);
    }
  } catch (const SwfError&) {
    // A record cut short is left out; the ones before it stand.
  }
  return out;
}

}  // namespace vitrine::swf
