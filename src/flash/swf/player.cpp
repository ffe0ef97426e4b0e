#include "flash/swf/player.h"

#include <algorithm>

namespace vitrine::swf {

namespace {

// Frame actions that lead to further gotos are followed at most this often per tick, so a
// frame that jumps to itself cannot hang the player.
constexpr int kMaxActionChain = 16;

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

Player::Player(std::shared_ptr<Movie> movie) : movie_(std::move(movie)) {
  root_.timeline = &movie_->Root();
  root_.playing = false;
  if (FrameCount() == 0) return;
  std::vector<FrameAction> actions;
  RunFrame(root_, 0, &actions);
  RunActions(root_, std::move(actions));
}

std::shared_ptr<const Character> Player::Lookup(uint16_t id) const {
  auto it = dictionary_.find(id);
  return it == dictionary_.end() ? nullptr : it->second;
}

void Player::GotoFrame(uint32_t frame) {
  if (FrameCount() == 0) return;
  stepBudget_ = kMaxTagsPerStep;
  std::vector<FrameAction> actions;
  Seek(root_, frame, &actions);
  root_.playing = false;
  RunActions(root_, std::move(actions));
}

void Player::Tick() {
  ++tick_;
  stepBudget_ = kMaxTagsPerStep;
  Advance(root_);
  AdvanceChildren(root_);
}

void Player::Advance(Clip& clip) {
  if (!clip.playing || clip.timeline->frameCount <= 1) return;
  uint32_t next = clip.frame + 1 >= clip.timeline->frameCount ? 0 : clip.frame + 1;
  std::vector<FrameAction> actions;
  Seek(clip, next, &actions);
  RunActions(clip, std::move(actions));
}

void Player::AdvanceChildren(Clip& clip) {
  for (auto& [depth, object] : clip.list) {
    if (!object.clip) continue;
    if (object.clip->bornTick < tick_) Advance(*object.clip);
    AdvanceChildren(*object.clip);
  }
}

void Player::Seek(Clip& clip, uint32_t target, std::vector<FrameAction>* actions) {
  target = std::min(target, clip.timeline->frameCount - 1);
  if (target == clip.frame) return;
  uint32_t from = clip.frame + 1;
  if (target < clip.frame) {
    // Back: the display list is built again from the first frame.
    ClearList(clip);
    from = 0;
  }
  for (uint32_t f = from; f <= target; ++f) RunFrame(clip, f, f == target ? actions : nullptr);
  clip.frame = target;
}

void Player::RunActions(Clip& clip, std::vector<FrameAction> actions) {
  for (int chain = 0; chain < kMaxActionChain && !actions.empty(); ++chain) {
    std::vector<FrameAction> next;
    for (const FrameAction& a : actions) {
      switch (a.op) {
        case FrameAction::Play:
          clip.playing = true;
          break;
        case FrameAction::Stop:
          clip.playing = false;
          break;
        case FrameAction::NextFrame:
          if (clip.frame + 1 < clip.timeline->frameCount) Seek(clip, clip.frame + 1, &next);
          clip.playing = false;
          break;
        case FrameAction::PrevFrame:
          if (clip.frame > 0) Seek(clip, clip.frame - 1, &next);
          clip.playing = false;
          break;
        case FrameAction::GotoFrame:
          Seek(clip, a.frame, &next);
          clip.playing = false;
          break;
        case FrameAction::StopSounds:
          NoteSound(SoundEvent{SoundEvent::StopAll, nullptr, {}, nullptr, {}, false});
          break;
        case FrameAction::GotoLabel: {
          auto it = clip.timeline->labels.find(Lower(a.label));
          if (it != clip.timeline->labels.end()) Seek(clip, it->second, &next);
          clip.playing = false;
          break;
        }
      }
    }
    actions = std::move(next);
  }
}

void Player::RunFrame(Clip& clip, uint32_t frame, std::vector<FrameAction>* actions) {
  if (frame >= clip.timeline->frames.size()) return;
  // Only the frame landed on (the one whose actions run) sounds; clip.frame is still the
  // frame shown before it.
  const bool shown = actions != nullptr;
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
          BitReader r(t.body);
          background_ = ReadRgb(r);
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
          if (actions) {
            auto more = ReadFrameActions(t.body);
            actions->insert(actions->end(), more.begin(), more.end());
          }
          break;
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
    StartClip(object, clip.nesting + 1);
    clip.list[depth] = std::move(object);
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
  if (flags & 0x04) matrix = ReadMatrix(r);
  if (flags & 0x08) cx = ReadCxForm(r, true);
  if (flags & 0x10) ratio = r.U16();
  if (flags & 0x20) r.String();
  if (flags & 0x40) clipDepth = r.U16();

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
      Remove(clip, depth);
    }
    if (objects_ >= kMaxDisplayObjects) return;
    object.id = id;
    object.character = character;
    if (matrix) object.matrix = *matrix;
    if (cx) object.cx = *cx;
    if (ratio) object.ratio = *ratio;
    if (clipDepth) object.clipDepth = *clipDepth;
    ++objects_;
    StartClip(object, clip.nesting + 1);
    clip.list[depth] = std::move(object);
    return;
  }
  DisplayObject& object = it->second;
  if (matrix) object.matrix = *matrix;
  if (cx) object.cx = *cx;
  if (ratio) object.ratio = *ratio;
  if (clipDepth) object.clipDepth = *clipDepth;
}

void Player::StartClip(DisplayObject& object, int nesting) {
  if (object.character->kind != Kind::Sprite || nesting > kMaxNesting) return;
  auto clip = std::make_unique<Clip>();
  clip->timeline = &object.character->sprite;
  clip->owner = object.character;
  clip->nesting = nesting;
  clip->bornTick = tick_;
  object.clip = std::move(clip);
  if (object.clip->timeline->frameCount == 0) return;
  std::vector<FrameAction> actions;
  RunFrame(*object.clip, 0, &actions);
  RunActions(*object.clip, std::move(actions));
}

void Player::Remove(Clip& clip, uint16_t depth) {
  auto it = clip.list.find(depth);
  if (it == clip.list.end()) return;
  objects_ -= std::min(objects_, TreeSize(it->second));
  clip.list.erase(it);
}

void Player::ClearList(Clip& clip) {
  for (auto& [depth, object] : clip.list) objects_ -= std::min(objects_, TreeSize(object));
  clip.list.clear();
}

}  // namespace vitrine::swf
