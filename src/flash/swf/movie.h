#pragma once
// A movie loaded for playing: the preload pass walks every tag once, splits the main
// timeline and each sprite's timeline into frames and notes the frame labels. Definitions
// are parsed the first time the playhead reaches them and kept, keyed by their tag, so a
// movie that defines an id again (after FreeCharacter) gets the new character from then on.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "flash/swf/records.h"
#include "flash/swf/shape.h"
#include "flash/swf/sound.h"
#include "flash/swf/swf_file.h"

namespace vitrine::swf {

// Tags in one movie, counted over all timelines; beyond this the rest is not loaded.
inline constexpr size_t kMaxTags = 1u << 20;
inline constexpr uint32_t kMaxFrames = 65535;
// Largest bitmap decoded, in pixels.
inline constexpr int64_t kMaxBitmapPixels = 16 << 20;

namespace tag {
enum : uint16_t {
  End = 0, ShowFrame = 1, DefineShape = 2, FreeCharacter = 3, PlaceObject = 4, RemoveObject = 5, DefineBits = 6,
  DefineButton = 7, JpegTables = 8, SetBackgroundColor = 9, DefineFont = 10, DefineText = 11, DoAction = 12,
  DefineSound = 14, StartSound = 15, SoundStreamHead = 18, SoundStreamBlock = 19, DefineBitsLossless = 20,
  DefineBitsJpeg2 = 21, DefineShape2 = 22, Protect = 24, PlaceObject2 = 26, RemoveObject2 = 28,
  DefineShape3 = 32, DefineText2 = 33, DefineButton2 = 34, DefineBitsJpeg3 = 35, DefineBitsLossless2 = 36,
  DefineEditText = 37, DefineSprite = 39, FrameLabel = 43, SoundStreamHead2 = 45, DefineMorphShape = 46,
  DefineFont2 = 48, DoInitAction = 59, PlaceObject3 = 70, DoAbc1 = 72, DefineFont3 = 75, DefineShape4 = 83,
  DefineMorphShape2 = 84, DoAbc = 82,
};
}

struct Timeline {
  uint32_t frameCount = 0;
  std::vector<std::vector<Tag>> frames;  // frameCount entries, the tags before each ShowFrame
  std::map<std::string, uint32_t> labels;  // lower-cased
  // The timeline's stream sound (its first SoundStreamHead), whose blocks its frames carry.
  std::optional<StreamHead> streamHead;
};

// Pixels premultiplied by alpha, 0xAARRGGBB.
struct Image {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;
};

struct Glyphs {
  std::vector<Shape> shapes;
  double unitsPerEm = 1024;
  // DefineFont 2 and 3: the character of each glyph, and with a layout its advance (em units)
  // and the font's ascent, descent and leading.
  std::vector<uint16_t> codes;
  std::vector<double> advances;
  double ascent = 0, descent = 0, leading = 0;
  // DefineFont 2 and 3: the face a device font asks the system for ("_sans", "_serif",
  // "_typewriter" or a face name) and its style.
  std::string name;
  bool bold = false, italic = false;
};

struct GlyphRun {
  uint16_t fontId = 0;
  Rgba color;
  double x = 0, y = 0, height = 0;  // twips
  std::vector<std::pair<uint32_t, double>> glyphs;  // index and advance
};

struct StaticText {
  Matrix matrix;
  std::vector<GlyphRun> runs;
};

// The states a button part is drawn in (its hit part makes the area the mouse finds).
enum ButtonState : uint8_t { kButtonUp = 1, kButtonOver = 2, kButtonDown = 4, kButtonHit = 8 };

struct ButtonPart {
  uint16_t id = 0, depth = 0;
  Matrix matrix;
  CxForm cx;
  uint8_t states = kButtonUp;
};

// The mouse's passages over a button that its actions wait for, and a key press (its code in
// the bits above them).
enum ButtonCondition : uint16_t {
  kIdleToOverUp = 1 << 0,       // roll over
  kOverUpToIdle = 1 << 1,       // roll out
  kOverUpToOverDown = 1 << 2,   // press
  kOverDownToOverUp = 1 << 3,   // release
  kOverDownToOutDown = 1 << 4,  // drag out
  kOutDownToOverDown = 1 << 5,  // drag over
  kOutDownToIdle = 1 << 6,      // release outside
  kIdleToOverDown = 1 << 7,     // drag over, as a menu
  kOverDownToIdle = 1 << 8,     // drag out, as a menu
};
inline uint8_t ButtonKeyOf(uint16_t conditions) { return uint8_t(conditions >> 9); }

struct ButtonAction {
  uint16_t conditions = 0;
  std::span<const uint8_t> code;  // lies in the movie's bytes
};

// An onClipEvent handler of a placed clip: the events it waits for, the key of a key press
// event, and its actions.
enum ClipEventFlag : uint32_t {
  kEventLoad = 1 << 0, kEventEnterFrame = 1 << 1, kEventUnload = 1 << 2, kEventMouseMove = 1 << 3,
  kEventMouseDown = 1 << 4, kEventMouseUp = 1 << 5, kEventKeyDown = 1 << 6, kEventKeyUp = 1 << 7,
  kEventData = 1 << 8, kEventInitialize = 1 << 9, kEventPress = 1 << 10, kEventRelease = 1 << 11,
  kEventReleaseOutside = 1 << 12, kEventRollOver = 1 << 13, kEventRollOut = 1 << 14, kEventDragOver = 1 << 15,
  kEventDragOut = 1 << 16, kEventKeyPress = 1 << 17, kEventConstruct = 1 << 18,
};
struct ClipAction {
  uint32_t events = 0;
  uint8_t key = 0;
  std::span<const uint8_t> code;  // lies in the movie's bytes
};
// Clip actions of a PlaceObject2 or 3 body, read from the reader's place on; what is cut
// short or overruns its tag is left out.
std::vector<ClipAction> ReadClipActions(BitReader& r, int version);

// A stretch of a field's text with a format of its own (setTextFormat over a range, an HTML
// style); what it leaves unset is the field's.
struct TextRun {
  size_t begin = 0, end = 0;  // bytes of the text
  std::optional<std::string> fontName;
  std::optional<double> height;  // twips
  std::optional<Rgba> color;
  std::optional<bool> bold, italic, underline;
  friend bool operator==(const TextRun&, const TextRun&) = default;
};

struct EditText {
  SwfRect bounds;
  double height = 240;  // twips
  Rgba color;
  bool hasFont = false;
  bool useOutlines = false;  // drawn with the movie's own font when that has the characters
  bool border = false;       // a frame in borderColor on the bounds' inner edge
  bool background = false;   // the bounds filled with backgroundColor (a file's border brings a white one)
  Rgba borderColor{0, 0, 0, 255};
  Rgba backgroundColor{255, 255, 255, 255};
  bool wordWrap = false, multiline = false;
  std::string variable;  // the variable whose value a dynamic field shows
  // Set by script: the device face and style asked for, over those of the field's font.
  std::string fontName;
  bool bold = false, italic = false;
  uint16_t fontId = 0;
  uint8_t align = 0;  // 0 left, 1 right, 2 centre, 3 justified (drawn as left)
  double leftMargin = 0, rightMargin = 0;  // twips
  bool underline = false;
  std::string text;
  // The runs of the text in order, none overlapping; none: all of it in the field's format.
  std::vector<TextRun> runs;
};

enum class Kind { Shape, Morph, Bitmap, Sprite, Font, Text, Button, EditText, Sound };

struct Character {
  Kind kind = Kind::Shape;
  Shape shape;
  MorphShape morph;
  Timeline sprite;
  Glyphs font;
  StaticText text;
  std::vector<ButtonPart> button;  // every state's parts
  std::vector<ButtonAction> buttonActions;
  bool trackAsMenu = false;
  EditText edit;
  SoundDefinition sound;  // its data lies in the movie's bytes
  // Bitmaps: the decoded pixels, or nothing when the data does not decode.
  std::shared_ptr<const Image> image;
};

class Movie {
 public:
  static std::shared_ptr<Movie> Load(std::span<const uint8_t> file, std::string* why = nullptr);

  const SwfFile& File() const { return file_; }
  const Timeline& Root() const { return root_; }
  // The character a definition tag makes, parsed on first use; nothing for a tag that is
  // not a definition or does not parse. The id is in *id.
  std::shared_ptr<const Character> Define(const Tag& tag, uint16_t* id);
  // Actions this player does not know (or ActionScript 3), which it does not run.
  bool HoldsScripts() const { return holdsScripts_; }
  // Event sounds or stream sound anywhere in the movie.
  bool HasSound() const { return hasSound_; }

 private:
  Timeline ReadTimeline(std::span<const uint8_t> bytes, uint32_t frameCount, bool root);
  std::shared_ptr<Character> Parse(const Tag& tag);

  SwfFile file_;
  Timeline root_;
  std::vector<uint8_t> jpegTables_;
  size_t tagsSeen_ = 0;
  bool holdsScripts_ = false;
  bool hasSound_ = false;
  std::map<const uint8_t*, std::shared_ptr<const Character>> defined_;
};

// The id of the character a definition tag defines, when it is one.
std::optional<uint16_t> DefinedId(const Tag& tag);

// Frame actions: the ones the player runs, decoded from a DoAction body.
struct FrameAction {
  enum Op { Play, Stop, NextFrame, PrevFrame, GotoFrame, GotoLabel, StopSounds } op;
  uint32_t frame = 0;
  std::string label;
};
std::vector<FrameAction> ReadFrameActions(std::span<const uint8_t> body, bool* othersSkipped = nullptr);

// Whether a block of actions holds one the script machine does not know.
bool HoldsUnknownActions(std::span<const uint8_t> body);

std::shared_ptr<const Image> DecodeBitmapTag(const Tag& tag, std::span<const uint8_t> jpegTables);

// What `vitrine info` tells about a movie.
struct MovieInfo {
  uint8_t version = 0;
  bool compressed = false;
  int32_t widthTwips = 0, heightTwips = 0;
  double frameRate = 0;
  uint16_t frameCount = 0;
  bool holdsScripts = false;
  bool hasSound = false;
  bool playable = false;
  std::string why;  // when not playable
};
MovieInfo DescribeMovie(std::span<const uint8_t> file);

}  // namespace vitrine::swf
