#pragma once
// The timeline player: the display list of the main movie and of every sprite on it, moved
// frame by frame. Each frame runs its control tags (definitions, PlaceObject, RemoveObject,
// FreeCharacter, SetBackgroundColor) and then its frame actions; the main timeline loops at
// its end, as the Flash player does, and every sprite runs its own timeline.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "flash/swf/drawing.h"
#include "flash/swf/effects.h"
#include "flash/swf/movie.h"

namespace vitrine {
class TextRenderer;
}

namespace vitrine::swf::avm1 {
class Object;
class Vm;
}  // namespace vitrine::swf::avm1

namespace vitrine::swf {

// Live display objects over all sprites; placements beyond it are not made.
inline constexpr size_t kMaxDisplayObjects = 20000;
// Sprites inside sprites deeper than this stay empty (a sprite may place itself).
inline constexpr int kMaxNesting = 24;
// Tags run at most in one frame interval (or one goto); a movie that jumps back and forth
// over a long timeline stops where this runs out, and goes on from there the next time.
inline constexpr size_t kMaxTagsPerStep = 100000;
// Sound events kept until taken; a movie that starts more in one frame loses the rest.
inline constexpr size_t kMaxSoundEvents = 256;

struct Clip;

// What the frames shown asked of the sound, in the order they asked it. Frames passed over
// by a goto make no sound, as in the Flash player.
struct SoundEvent {
  enum Type { Start, StreamBlock, StopAll, Level } type = Start;
  // Start: the sound (a Kind::Sound character) and how to play it; SyncStop stops it instead.
  // Level: the level every sound plays at from now on, the first point of info's envelope.
  std::shared_ptr<const Character> sound;
  SoundInfo info;
  // StreamBlock: the timeline's stream (its head identifies it) and the frame's coded sound.
  // continues: the frame follows the one shown before on that timeline.
  const StreamHead* stream = nullptr;
  std::span<const uint8_t> block;
  bool continues = false;
};

struct DisplayObject {
  uint16_t id = 0;
  std::shared_ptr<const Character> character;
  Matrix matrix;
  CxForm cx;
  uint16_t ratio = 0;
  uint16_t clipDepth = 0;
  bool visible = true;
  std::string name;  // the instance name scripts know it by
  // PlaceObject3: how the object mixes with what lies below, its filters, and whether it is
  // kept as a bitmap (drawn the same here).
  BlendMode blend = BlendMode::Normal;
  std::vector<Filter> filters;
  bool cacheAsBitmap = false;
  std::unique_ptr<Clip> clip;  // for sprites
  std::vector<ClipAction> clipActions;  // onClipEvent handlers placed with it
  uint8_t buttonState = kButtonUp;  // for buttons: the state drawn
  avm1::Object* object = nullptr;   // for named buttons: the object scripts know
};

struct Clip {
  const Timeline* timeline = nullptr;
  std::shared_ptr<const Character> owner;  // keeps the sprite's timeline alive
  uint32_t frame = 0;
  bool playing = true;
  int nesting = 0;
  uint64_t bornTick = 0;
  std::map<uint16_t, DisplayObject> list;  // by depth
  // For scripts: the clip's object, its place on its parent (none for the root) and the
  // display object that holds it there.
  avm1::Object* object = nullptr;
  Clip* parent = nullptr;
  DisplayObject* holder = nullptr;
  uint16_t depth = 0;
  std::string name;
  // What the clip's scripts drew, under its children; none until they draw.
  std::shared_ptr<Drawing> drawing;
  // setMask: the clip whose shapes this clip is seen through (its object, whose clip is none
  // once that clip is gone), and whether this clip masks another, which hides it.
  avm1::Object* mask = nullptr;
  bool masking = false;
};

// Depths scripts give count from this tag depth on (duplicateMovieClip's depth 0 is 16384).
inline constexpr int32_t kScriptDepthBase = 16384;

struct PlayerOptions {
  double tickMs = 0;  // the time one frame takes for getTimer and intervals; 0: the frame rate's
  int playerVersion = 8;  // the Flash player version scripts see
  std::function<void(const std::string&)> onTrace;  // what trace() prints
  // The actions all scripts of one frame may run before the rest of that frame's scripts are
  // skipped (0: the machine's own bound). A runaway script costs at most this much per frame.
  uint64_t actionsPerFrame = 0;
  // Measures device text for the fields that size themselves to their text (autoSize); none:
  // they keep their size.
  TextRenderer* text = nullptr;
};

class Player {
 public:
  explicit Player(std::shared_ptr<Movie> movie, PlayerOptions options = {});
  ~Player();

  const Movie& GetMovie() const { return *movie_; }
  uint32_t FrameCount() const { return movie_->Root().frameCount; }
  uint32_t CurrentFrame() const { return root_.frame; }
  bool Playing() const { return root_.playing; }
  void Play() { root_.playing = true; }
  void Stop() { root_.playing = false; }
  // Goes to a frame (0-based, clamped) and stops there, as the control's GotoFrame does.
  void GotoFrame(uint32_t frame);
  // One frame interval: the main timeline moves on when it plays, every sprite moves on.
  void Tick();

  const Clip& Root() const { return root_; }
  std::optional<Rgba> Background() const { return background_; }
  std::shared_ptr<const Character> Lookup(uint16_t id) const;
  size_t ObjectCount() const { return objects_; }
  // The sound events since the last call; their data lies in the movie's bytes.
  std::vector<SoundEvent> TakeSoundEvents() { return std::move(sounds_); }

  avm1::Vm& Script() { return *vm_; }
  TextRenderer* Text() const { return options_.text; }
  // fscommand("quit") was called.
  bool QuitAsked() const { return quit_; }

  // What scripts do to clips.
  avm1::Object* ObjectOf(Clip& clip);
  Clip& RootClip() { return root_; }
  void ScriptGoto(Clip& clip, uint32_t frame, bool play);
  bool LabelFrame(const Clip& clip, const std::string& label, uint32_t& frame) const;
  Clip* Duplicate(Clip& clip, const std::string& name, int32_t depth);
  Clip* Attach(Clip& parent, uint16_t id, const std::string& name, int32_t depth);
  Clip* CreateEmpty(Clip& parent, const std::string& name, int32_t depth);
  void RemoveClip(Clip& clip);
  bool SwapDepths(Clip& clip, int32_t depth);
  std::optional<uint16_t> ExportedId(const std::string& name) const;
  std::vector<std::span<const uint8_t>> FrameScripts(const Clip& clip, uint32_t frame) const;
  void StopAllSounds();
  // A sound a script's Sound object starts or stops, heard with the frame's own.
  void ScriptSound(SoundEvent event) { NoteSound(std::move(event)); }
  // What the movie's clips draw by script holds at most so many edges together.
  const std::shared_ptr<DrawingPool>& Drawings() const { return drawings_; }

  // Input, at stage coordinates (pixels of the stage the movie was made for): the clips'
  // mouse and key events, the Key and Mouse listeners and the buttons under the mouse.
  void MouseMove(double x, double y);
  void MouseDown(double x, double y);
  void MouseUp(double x, double y);
  // code: the key's code as Key.getCode gives it (the system's virtual key codes); ascii:
  // the character it types, 0 for none.
  void KeyDown(uint16_t code, uint8_t ascii);
  void KeyUp(uint16_t code, uint8_t ascii);
  bool KeyIsDown(uint16_t code) const { return code < 256 && keysDown_[code]; }
  uint16_t LastKeyCode() const { return lastKeyCode_; }
  uint8_t LastKeyAscii() const { return lastKeyAscii_; }
  // The mouse in a clip's own coordinates, in pixels.
  void MouseIn(const Clip& clip, double& x, double& y) const;
  bool CursorHidden() const { return cursorHidden_; }
  void SetCursorHidden(bool hidden) { cursorHidden_ = hidden; }
  // The object scripts know a named button by.
  avm1::Object* ButtonObject(DisplayObject& button);

 private:
  // Runs the tags of one frame of a clip; with run, its scripts are queued.
  void RunFrame(Clip& clip, uint32_t frame, bool run);
  void Seek(Clip& clip, uint32_t target, bool run);
  void RunQueued();
  // One frame interval of a clip and the clips it holds.
  void Step(Clip& clip);
  void Collect(Clip& clip, std::vector<avm1::Object*>& roots);
  Clip* PlaceScripted(Clip& parent, DisplayObject object, const std::string& name, int32_t depth);
  void Detach(Clip& clip);
  void Advance(Clip& clip);
  void Place(Clip& clip, const Tag& t);
  void Remove(Clip& clip, uint16_t depth);
  void ClearList(Clip& clip);
  void Count(const DisplayObject& object, int sign);
  void StartClip(Clip& parent, uint16_t depth);
  // Input.
  struct ButtonRef {
    Clip* parent = nullptr;
    uint16_t depth = 0;
    const Character* button = nullptr;
    bool operator==(const ButtonRef& o) const { return parent == o.parent && depth == o.depth && button == o.button; }
  };
  void BeginInput();
  void EndInput();
  void ClipEvents(uint32_t event, const char* handler, uint8_t key = 0);
  void Broadcast(avm1::Object* source, const char* event);
  std::optional<ButtonRef> ButtonAt(double x, double y);
  DisplayObject* Resolve(const ButtonRef& ref);
  void ButtonEvent(const ButtonRef& ref, uint16_t condition, const char* handler, uint8_t state);
  void TrackMouse();
  void ButtonKeys(uint8_t key);
  bool Alive(const Clip* clip) const;
  void NoteSound(SoundEvent event);
  void NoteStartSound(const Tag& t);

  std::shared_ptr<Movie> movie_;
  Clip root_;
  std::map<uint16_t, std::shared_ptr<const Character>> dictionary_;
  std::optional<Rgba> background_;
  uint64_t tick_ = 0;
  size_t objects_ = 0;
  size_t stepBudget_ = kMaxTagsPerStep;
  std::vector<SoundEvent> sounds_;
  std::unique_ptr<avm1::Vm> vm_;
  PlayerOptions options_;
  bool quit_ = false;
  struct Queued {
    avm1::Object* clip;
    std::span<const uint8_t> code;
    // A clip event (unload runs with the clip gone), and the method of the object called
    // instead of code.
    uint32_t event = 0;
    const char* method = nullptr;
  };
  std::vector<Queued> queue_;
  std::map<std::string, uint16_t> exports_;  // lower-cased linkage names
  std::shared_ptr<Character> emptySprite_;
  int instanceCount_ = 0;
  std::set<const uint8_t*> initDone_;
  // Input: the mouse in stage twips, the keys held, the buttons under the mouse and pressed.
  double mouseX_ = 0, mouseY_ = 0;
  bool mouseDown_ = false;
  bool keysDown_[256] = {};
  uint16_t lastKeyCode_ = 0;
  uint8_t lastKeyAscii_ = 0;
  bool cursorHidden_ = false;
  std::optional<ButtonRef> hovered_, pressed_;
  bool pressedOver_ = false;
  std::shared_ptr<DrawingPool> drawings_ = std::make_shared<DrawingPool>();
};

}  // namespace vitrine::swf
