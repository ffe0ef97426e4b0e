#include "flash/swf/player.h"

#include <algorithm>

#include "flash/swf/avm1/builtins/movie_clip.h"
#include "flash/swf/avm1/machine.h"

namespace vitrine::swf {

namespace {

// Scripts queued by gotos while scripts run are followed this many rounds per tick, so a
// frame that jumps to itself cannot hang the player.
constexpr int kMaxActionChain = 16;
constexpr uint16_t kExportAssets = 56;

size_t TreeSize(const DisplayObject& object) {
  size_t n = 1;
  if (object.clip)
    for (auto& [depth, child] : object.clip->list) n += TreeSize(child);
  return n;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

}  // namespace

Player::Player(std::shared_ptr<Movie> movie, PlayerOptions options)
    : movie_(std::move(movie)), options_(std::move(options)) {
  root_.timeline = &movie_->Root();
  root_.playing = false;
  vm_ = std::make_unique<avm1::Vm>(movie_->File().version, this, options_.playerVersion);
  vm_->onTrace = options_.onTrace;
  if (options_.actionsPerFrame) vm_->actionsPerFrame = options_.actionsPerFrame;
  vm_->onFsCommand = [this](const std::string& command, const std::string&) {
    if (Lower(command) == "quit") quit_ = true;
  };
  if (options_.tickMs <= 0) {
    double rate = movie_->File().frameRate / 256.0;
    options_.tickMs = rate > 0 ? 1000.0 / rate : 1000.0 / 12;
  }
  emptySprite_ = std::make_shared<Character>();
  emptySprite_->kind = Kind::Sprite;
  emptySprite_->sprite.frameCount = 1;
  emptySprite_->sprite.frames.resize(1);
  ObjectOf(root_);
  if (FrameCount() == 0) return;
  vm_->StartFrame();
  RunFrame(root_, 0, true);
  RunQueued();
  avm1::FollowTextVariables(*vm_, root_);
}

Player::~Player() = default;

std::shared_ptr<const Character> Player::Lookup(uint16_t id) const {
  auto it = dictionary_.find(id);
  return it == dictionary_.end() ? nullptr : it->second;
}

avm1::Object* Player::ObjectOf(Clip& clip) {
  if (!clip.object) {
    clip.object = vm_->New(vm_->movieClipProto);
    clip.object->cls = "MovieClip";
    clip.object->clip = &clip;
  }
  return clip.object;
}

void Player::GotoFrame(uint32_t frame) {
  if (FrameCount() == 0) return;
  stepBudget_ = kMaxTagsPerStep;
  vm_->StartFrame();
  Seek(root_, frame, true);
  root_.playing = false;
  RunQueued();
}

void Player::Tick() {
  ++tick_;
  stepBudget_ = kMaxTagsPerStep;
  vm_->nowMs = double(tick_) * options_.tickMs;
  vm_->StartFrame();
  Step(root_);
  RunQueued();
  vm_->RunIntervals();
  RunQueued();
  avm1::FollowTextVariables(*vm_, root_);
  std::vector<avm1::Object*> roots;
  Collect(root_, roots);
  vm_->Collect(roots);
}

void Player::Step(Clip& clip) {
  // A clip placed in this frame interval had its load event; it moves on from the next.
  if (&clip != &root_ && clip.bornTick >= tick_) return;
  // Each clip's enterFrame event runs, then its timeline moves on, then its children take
  // their turn: a clip its parent's timeline removes gets no enterFrame of its own.
  avm1::Object* self = ObjectOf(clip);
  if (clip.holder) {
    std::vector<ClipAction> actions = clip.holder->clipActions;
    for (const ClipAction& a : actions)
      if ((a.events & kEventEnterFrame) && self->clip == &clip) vm_->RunBlock(a.code, self);
  }
  if (self->clip != &clip) return;
  if (vm_->Lookup(self, "onEnterFrame")) {
    avm1::Value handler = vm_->Get(self, "onEnterFrame");
    if (handler.IsObject() && handler.object->Callable()) vm_->CallSafely(handler, self, {});
  }
  // A handler may have removed the clip: then it and its children are gone.
  if (self->clip != &clip) return;
  Advance(clip);
  if (self->clip != &clip) return;
  // The list may change under a handler: children are visited by depth, looked up anew.
  std::vector<uint16_t> depths;
  for (auto& [depth, object] : clip.list)
    if (object.clip) depths.push_back(depth);
  for (uint16_t depth : depths) {
    auto it = clip.list.find(depth);
    if (it != clip.list.end() && it->second.clip) Step(*it->second.clip);
    if (self->clip != &clip) return;
  }
}

void Player::Collect(Clip& clip, std::vector<avm1::Object*>& roots) {
  if (clip.object) roots.push_back(clip.object);
  if (clip.mask) roots.push_back(clip.mask);
  for (auto& [depth, object] : clip.list) {
    if (object.object) roots.push_back(object.object);
    if (object.clip) Collect(*object.clip, roots);
  }
  for (const Queued& q : queue_) roots.push_back(q.clip);
}

void Player::RunQueued() {
  for (int chain = 0; chain < kMaxActionChain * 64 && !queue_.empty(); ++chain) {
    std::vector<Queued> now = std::move(queue_);
    queue_.clear();
    for (const Queued& q : now) {
      if (!q.clip) continue;
      // A clip gone takes its scripts along, but for its unload event.
      if (!q.clip->clip && q.clip->cls == "MovieClip" && q.event != kEventUnload) continue;
      if (!q.code.empty()) vm_->RunBlock(q.code, q.clip);
      if (q.method) {
        avm1::Value fn = vm_->Get(q.clip, q.method);
        if (fn.IsObject() && fn.object->Callable()) vm_->CallSafely(fn, q.clip, {});
      }
    }
  }
  queue_.clear();
}

void Player::Advance(Clip& clip) {
  if (!clip.playing || clip.timeline->frameCount <= 1) return;
  uint32_t next = clip.frame + 1 >= clip.timeline->frameCount ? 0 : clip.frame + 1;
  Seek(clip, next, true);
}

void Player::Seek(Clip& clip, uint32_t target, bool run) {
  target = std::min(target, clip.timeline->frameCount - 1);
  if (target == clip.frame) return;
  uint32_t from = clip.frame + 1;
  if (target < clip.frame) {
    // Back: the display list is built again from the first frame; what scripts placed stays.
    std::vector<uint16_t> timelineDepths;
    for (auto& [depth, object] : clip.list)
      if (depth < kScriptDepthBase) timelineDepths.push_back(depth);
    for (uint16_t depth : timelineDepths) Remove(clip, depth);
    from = 0;
  }
  for (uint32_t f = from; f <= target; ++f) RunFrame(clip, f, run && f == target);
  clip.frame = target;
}

void Player::ScriptGoto(Clip& clip, uint32_t frame, bool play) {
  if (clip.timeline->frameCount == 0) return;
  Seek(clip, frame, true);
  clip.playing = play;
}

bool Player::LabelFrame(const Clip& clip, const std::string& label, uint32_t& frame) const {
  auto it = clip.timeline->labels.find(Lower(label));
  if (it == clip.timeline->labels.end()) return false;
  frame = it->second;
  return true;
}

std::vector<std::span<const uint8_t>> Player::FrameScripts(const Clip& clip, uint32_t frame) const {
  std::vector<std::span<const uint8_t>> out;
  if (frame >= clip.timeline->frames.size()) return out;
  for (const Tag& t : clip.timeline->frames[frame])
    if (t.code == tag::DoAction) out.push_back(t.body);
  return out;
}

void Player::StopAllSounds() { NoteSound(SoundEvent{SoundEvent::StopAll, nullptr, {}, nullptr, {}, false}); }

std::optional<uint16_t> Player::ExportedId(const std::string& name) const {
  auto it = exports_.find(Lower(name));
  if (it == exports_.end()) return std::nullopt;
  return it->second;
}

void Player::RunFrame(Clip& clip, uint32_t frame, bool run) {
  if (frame >= clip.timeline->frames.size()) return;
  // Only the frame landed on (the one whose scripts run) sounds; clip.frame is still the
  // frame shown before it.
  const bool shown = run;
  const uint32_t count = clip.timeline->frameCount;
  const bool follows = frame == clip.frame + 1 || (frame == 0 && count > 1 && clip.frame + 1 == count);
  for (const Tag& t : clip.timeline->frames[frame]) {
    if (stepBudget_ == 0) return;
    --stepBudget_;
    try {
      switch (t.code) {
        case tag::PlaceObject:
        case tag::PlaceObject2:
        case tag::PlaceObject3:
          Place(clip, t);
          break;
        case tag::RemoveObject: {
          BitReader r(t.body);
          r.U16();
          Remove(clip, r.U16());
          break;
        }
        case tag::RemoveObject2: {
          BitReader r(t.body);
          Remove(clip, r.U16());
          break;
        }
        case tag::FreeCharacter: {
          BitReader r(t.body);
          dictionary_.erase(r.U16());
          break;
        }
        case tag::SetBackgroundColor: {
          // The first colour a movie sets stays; later ones change nothing.
          BitReader r(t.body);
          if (!background_) background_ = ReadRgb(r);
          break;
        }
        case tag::StartSound:
          if (shown) NoteStartSound(t);
          break;
        case tag::SoundStreamBlock:
          if (shown && clip.timeline->streamHead)
            NoteSound(SoundEvent{SoundEvent::StreamBlock, nullptr, {}, &*clip.timeline->streamHead, t.body, follows});
          break;
        case tag::DoAction:
          // Frame scripts run after the frame's display list is built.
          if (run) queue_.push_back({ObjectOf(clip), t.body});
          break;
        case tag::DoInitAction: {
          BitReader r(t.body);
          r.U16();
          // Once, before the sprite is used; here when its frame is first reached.
          if (initDone_.insert(t.body.data()).second) vm_->RunBlock(r.Rest(), ObjectOf(root_));
          break;
        }
        case kExportAssets: {
          BitReader r(t.body);
          uint16_t n = r.U16();
          for (uint16_t i = 0; i < n; ++i) {
            uint16_t id = r.U16();
            exports_[Lower(r.String())] = id;
          }
          break;
        }
        default: {
          uint16_t id = 0;
          if (auto ch = movie_->Define(t, &id)) dictionary_[id] = ch;
          else if (DefinedId(t)) dictionary_.erase(*DefinedId(t));
        }
      }
    } catch (const SwfError&) {
      // A control tag cut short changes nothing.
    }
  }
}

void Player::NoteSound(SoundEvent event) {
  if (sounds_.size() < kMaxSoundEvents) sounds_.push_back(std::move(event));
}

void Player::NoteStartSound(const Tag& t) {
  auto start = ReadStartSound(t.body);
  if (!start) return;
  auto sound = Lookup(start->id);
  if (!sound || sound->kind != Kind::Sound) return;
  NoteSound(SoundEvent{SoundEvent::Start, std::move(sound), std::move(start->info), nullptr, {}, false});
}

void Player::Place(Clip& clip, const Tag& t) {
  BitReader r(t.body);
  if (t.code == tag::PlaceObject) {
    uint16_t id = r.U16(), depth = r.U16();
    DisplayObject object;
    object.id = id;
    object.character = Lookup(id);
    object.matrix = ReadMatrix(r);
    if (!r.AtEnd()) object.cx = ReadCxForm(r, false);
    Remove(clip, depth);
    if (!object.character || objects_ >= kMaxDisplayObjects) return;
    ++objects_;
    clip.list[depth] = std::move(object);
    StartClip(clip, depth);
    return;
  }
  uint8_t flags = r.U8();
  uint8_t flags3 = t.code == tag::PlaceObject3 ? r.U8() : 0;
  uint16_t depth = r.U16();
  bool move = flags & 0x01, hasCharacter = flags & 0x02;
  if (t.code == tag::PlaceObject3 && ((flags3 & 0x08) || ((flags3 & 0x10) && hasCharacter))) r.String();
  uint16_t id = hasCharacter ? r.U16() : 0;
  std::optional<Matrix> matrix;
  std::optional<CxForm> cx;
  std::optional<uint16_t> ratio, clipDepth;
  std::optional<std::string> name;
  if (flags & 0x04) matrix = ReadMatrix(r);
  if (flags & 0x08) cx = ReadCxForm(r, true);
  if (flags & 0x10) ratio = r.U16();
  if (flags & 0x20) name = r.String();
  if (flags & 0x40) clipDepth = r.U16();
  std::optional<std::vector<Filter>> filters;
  std::optional<BlendMode> blend;
  std::optional<bool> cacheAsBitmap;
  bool readAll = true;
  if (flags3) {
    try {
      if (flags3 & 0x01) filters = ReadFilterList(r);
      if (flags3 & 0x02) blend = BlendModeOf(r.U8());
      if (flags3 & 0x04) cacheAsBitmap = r.U8() != 0;
    } catch (const SwfError&) {
      // Effects cut short: the placement itself still happens.
      readAll = false;
    }
  }
  std::vector<ClipAction> actions;
  if ((flags & 0x80) && readAll) actions = ReadClipActions(r, movie_->File().version);

  auto it = clip.list.find(depth);
  if (move && it == clip.list.end()) return;
  if (!move) {
    if (!hasCharacter) return;
    Remove(clip, depth);
  }
  if (!move || hasCharacter) {
    auto character = Lookup(id);
    if (!character) return;
    DisplayObject object;
    if (move) {
      object.matrix = it->second.matrix;
      object.cx = it->second.cx;
      object.ratio = it->second.ratio;
      object.clipDepth = it->second.clipDepth;
      object.name = it->second.name;
      object.blend = it->second.blend;
      object.filters = it->second.filters;
      object.cacheAsBitmap = it->second.cacheAsBitmap;
      Remove(clip, depth);
    }
    if (objects_ >= kMaxDisplayObjects) return;
    object.id = id;
    object.character = character;
    if (matrix) object.matrix = *matrix;
    if (cx) object.cx = *cx;
    if (ratio) object.ratio = *ratio;
    if (clipDepth) object.clipDepth = *clipDepth;
    if (name) object.name = *name;
    if (filters) object.filters = std::move(*filters);
    if (blend) object.blend = *blend;
    if (cacheAsBitmap) object.cacheAsBitmap = *cacheAsBitmap;
    object.clipActions = std::move(actions);
    ++objects_;
    clip.list[depth] = std::move(object);
    StartClip(clip, depth);
    return;
  }
  DisplayObject& object = it->second;
  if (matrix) object.matrix = *matrix;
  if (cx) object.cx = *cx;
  if (ratio) object.ratio = *ratio;
  if (clipDepth) object.clipDepth = *clipDepth;
  if (filters) object.filters = std::move(*filters);
  if (blend) object.blend = *blend;
  if (cacheAsBitmap) object.cacheAsBitmap = *cacheAsBitmap;
}

void Player::StartClip(Clip& parent, uint16_t depth) {
  DisplayObject& object = parent.list[depth];
  int nesting = parent.nesting + 1;
  if (object.character->kind != Kind::Sprite || nesting > kMaxNesting) return;
  auto clip = std::make_unique<Clip>();
  clip->timeline = &object.character->sprite;
  clip->owner = object.character;
  clip->nesting = nesting;
  clip->bornTick = tick_;
  clip->parent = &parent;
  clip->holder = &object;
  clip->depth = depth;
  clip->name = object.name.empty() ? "instance" + std::to_string(++instanceCount_) : object.name;
  object.clip = std::move(clip);
  Clip& c = *object.clip;
  avm1::Object* self = ObjectOf(c);
  std::vector<ClipAction> load;
  for (const ClipAction& a : object.clipActions)
    if (a.events & kEventLoad) load.push_back(a);
  if (c.timeline->frameCount != 0) RunFrame(c, 0, true);
  // The load event, after the clip's first frame is built and its scripts queued.
  for (const ClipAction& a : load) queue_.push_back({self, a.code, kEventLoad});
  queue_.push_back({self, {}, kEventLoad, "onLoad"});
}

void Player::Detach(Clip& clip) {
  // The unload event runs after the clip has gone, with what it held.
  if (clip.object) {
    if (clip.holder)
      for (const ClipAction& a : clip.holder->clipActions)
        if (a.events & kEventUnload) queue_.push_back({clip.object, a.code, kEventUnload});
    if (avm1::Property* p = vm_->Lookup(clip.object, "onUnload"); p && p->value.IsObject())
      queue_.push_back({clip.object, {}, kEventUnload, "onUnload"});
  }
  if (clip.object) {
    clip.object->clip = nullptr;
    clip.object = nullptr;
  }
  for (auto& [depth, object] : clip.list)
    if (object.clip) Detach(*object.clip);
}

void Player::Remove(Clip& clip, uint16_t depth) {
  auto it = clip.list.find(depth);
  if (it == clip.list.end()) return;
  objects_ -= std::min(objects_, TreeSize(it->second));
  if (it->second.clip) Detach(*it->second.clip);
  clip.list.erase(it);
}

void Player::ClearList(Clip& clip) {
  for (auto& [depth, object] : clip.list) {
    objects_ -= std::min(objects_, TreeSize(object));
    if (object.clip) Detach(*object.clip);
  }
  clip.list.clear();
}

Clip* Player::PlaceScripted(Clip& parent, DisplayObject object, const std::string& name, int32_t depth) {
  int32_t key = depth + kScriptDepthBase;
  if (key < 0 || key > 65535 || parent.nesting + 1 > kMaxNesting || objects_ >= kMaxDisplayObjects) return nullptr;
  Remove(parent, uint16_t(key));
  object.name = name;
  ++objects_;
  parent.list[uint16_t(key)] = std::move(object);
  StartClip(parent, uint16_t(key));
  auto it = parent.list.find(uint16_t(key));
  return it != parent.list.end() && it->second.clip ? it->second.clip.get() : nullptr;
}

Clip* Player::Duplicate(Clip& clip, const std::string& name, int32_t depth) {
  if (!clip.parent || !clip.holder) return nullptr;
  DisplayObject copy;
  copy.id = clip.holder->id;
  copy.character = clip.holder->character;
  copy.matrix = clip.holder->matrix;
  copy.cx = clip.holder->cx;
  copy.ratio = clip.holder->ratio;
  copy.visible = clip.holder->visible;
  copy.clipActions = clip.holder->clipActions;
  Clip* made = PlaceScripted(*clip.parent, std::move(copy), name, depth);
  // The copy takes what the original drew.
  if (made && clip.drawing) made->drawing = std::make_shared<Drawing>(*clip.drawing);
  return made;
}

Clip* Player::Attach(Clip& parent, uint16_t id, const std::string& name, int32_t depth) {
  DisplayObject object;
  object.id = id;
  object.character = Lookup(id);
  if (!object.character) {
    // An exported sprite is known once its definition tag has been read.
    auto it = std::find_if(exports_.begin(), exports_.end(), [&](auto& e) { return e.second == id; });
    if (it == exports_.end()) return nullptr;
    return nullptr;
  }
  if (object.character->kind != Kind::Sprite) return nullptr;
  return PlaceScripted(parent, std::move(object), name, depth);
}

Clip* Player::CreateEmpty(Clip& parent, const std::string& name, int32_t depth) {
  DisplayObject object;
  object.character = emptySprite_;
  return PlaceScripted(parent, std::move(object), name, depth);
}

void Player::RemoveClip(Clip& clip) {
  // Only clips that scripts placed (or moved to a script depth) can be removed.
  if (!clip.parent || clip.depth < kScriptDepthBase) return;
  Remove(*clip.parent, clip.depth);
}

bool Player::SwapDepths(Clip& clip, int32_t depth) {
  if (!clip.parent) return false;
  int32_t key = depth + kScriptDepthBase;
  if (key < 0 || key > 65535 || key == clip.depth) return false;
  Clip& parent = *clip.parent;
  uint16_t from = clip.depth, to = uint16_t(key);
  auto a = parent.list.find(from);
  if (a == parent.list.end()) return false;
  auto b = parent.list.find(to);
  DisplayObject moving = std::move(a->second);
  parent.list.erase(a);
  if (b != parent.list.end()) {
    DisplayObject other = std::move(b->second);
    parent.list.erase(b);
    auto placed = parent.list.emplace(from, std::move(other)).first;
    if (placed->second.clip) {
      placed->second.clip->holder = &placed->second;
      placed->second.clip->depth = from;
    }
  }
  auto placed = parent.list.emplace(to, std::move(moving)).first;
  placed->second.clip->holder = &placed->second;
  placed->second.clip->depth = to;
  return true;
}

}  // namespace vitrine::swf
