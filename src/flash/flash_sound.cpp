#include "flash/flash_sound.h"

#include <algorithm>

namespace vitrine {

namespace {

// Commands waiting for the output to reach their time; more are not taken.
constexpr size_t kMaxQueued = 4096;
// Silence put before a stream block that came after its stream had run dry: the jitter of
// the output's reads, so that the next blocks join without a gap.
constexpr uint64_t kMaxStreamPad = kSoundRate / 20;

uint64_t From44(uint64_t samples44) { return samples44 * kSoundRate / 44100; }

}  // namespace

void FlashSound::Attach(uint64_t now) {
  Detach();
  {
    std::lock_guard lock(mutex_);
    pos_ = lastAt_ = now;
  }
  output_.Attach(*this);
  attached_ = true;
}

void FlashSound::Detach() {
  if (attached_) output_.Detach(*this);
  attached_ = false;
  std::lock_guard lock(mutex_);
  queue_.clear();
  voices_.clear();
  streams_.clear();
  levelLeft_ = levelRight_ = 1;
  decoded_.clear();
  decodedFrames_ = 0;
  streamDecoders_.clear();
}

void FlashSound::Settle(uint64_t now) {
  if (!attached_) return;
  output_.BeforeChange(*this);
  std::lock_guard lock(mutex_);
  if (pos_ + kMaxLagFrames < now) Render(nullptr, size_t(now - pos_));
}

size_t FlashSound::Voices() {
  std::lock_guard lock(mutex_);
  return voices_.size();
}

size_t FlashSound::Pending() {
  std::lock_guard lock(mutex_);
  return queue_.size();
}

std::shared_ptr<const std::vector<int16_t>> FlashSound::DecodedSound(
    const std::shared_ptr<const swf::Character>& sound) {
  auto it = decoded_.find(sound.get());
  if (it != decoded_.end()) return it->second.pcm;
  size_t room = kMaxDecodedSoundFrames - decodedFrames_;
  auto pcm = std::make_shared<std::vector<int16_t>>(swf::DecodeSound(sound->sound, kSoundRate, decoders_, room));
  decodedFrames_ += pcm->size() / kSoundChannels;
  // A sound that does not decode is not tried again at its next start.
  decoded_[sound.get()] = {sound, pcm};
  return pcm;
}

void FlashSound::StartEvent(const swf::SoundEvent& event, uint64_t at, std::vector<Command>& out) {
  const swf::SoundInfo& info = event.info;
  Command c;
  c.at = at;
  c.key = event.sound.get();
  if (info.syncStop) {
    c.type = Command::StopSound;
    out.push_back(std::move(c));
    return;
  }
  auto pcm = DecodedSound(event.sound);
  uint64_t frames = pcm->size() / kSoundChannels;
  Voice& v = c.voice;
  v.key = c.key;
  v.begin = info.inPoint ? std::min(From44(*info.inPoint), frames) : 0;
  v.end = info.outPoint ? std::min(From44(*info.outPoint), frames) : frames;
  if (v.begin >= v.end) return;
  v.pos = v.begin;
  v.loopsLeft = info.loopCount > 1 ? info.loopCount - 1u : 0u;
  for (const swf::EnvelopePoint& p : info.envelope)
    v.envelope.push_back({From44(p.pos44), std::min(p.left, uint16_t(32768)) / 32768.0,
                          std::min(p.right, uint16_t(32768)) / 32768.0});
  std::stable_sort(v.envelope.begin(), v.envelope.end(), [](const Level& a, const Level& b) { return a.at < b.at; });
  v.pcm = std::move(pcm);
  c.type = Command::StartVoice;
  c.noMultiple = info.syncNoMultiple;
  out.push_back(std::move(c));
}

void FlashSound::StreamEvent(const swf::SoundEvent& event, uint64_t at, uint64_t frameInterval,
                             std::vector<Command>& out) {
  auto it = streamDecoders_.find(event.stream);
  if (it == streamDecoders_.end()) {
    if (streamDecoders_.size() >= kMaxStreams * 4) return;
    it = streamDecoders_.emplace(event.stream, swf::CreateSoundDecoder(event.stream->format, kSoundRate, decoders_))
             .first;
  }
  swf::SoundDecoder* decoder = it->second.get();
  if (!decoder) return;
  if (!event.continues) decoder->Reset();
  Command c;
  c.type = Command::StreamData;
  c.at = at;
  c.key = event.stream;
  c.continues = event.continues;
  c.slack = 2 * frameInterval + kMaxStreamPad;
  decoder->Decode(swf::StreamBlockData(*event.stream, event.block), c.samples, kMaxStreamBlockFrames, false);
  out.push_back(std::move(c));
}

void FlashSound::Play(std::vector<swf::SoundEvent> events, uint64_t at, uint64_t frameInterval) {
  if (!attached_ || events.empty()) return;
  std::vector<Command> commands;
  for (const swf::SoundEvent& e : events) {
    switch (e.type) {
      case swf::SoundEvent::Start:
        if (e.sound) StartEvent(e, at, commands);
        break;
      case swf::SoundEvent::StreamBlock:
        if (e.stream) StreamEvent(e, at, frameInterval, commands);
        break;
      case swf::SoundEvent::StopAll: {
        Command c;
        c.type = Command::StopAll;
        c.at = at;
        commands.push_back(std::move(c));
        break;
      }
      case swf::SoundEvent::Level: {
        if (e.info.envelope.empty()) break;
        Command c;
        c.type = Command::Level;
        c.at = at;
        c.left = std::min(e.info.envelope[0].left, uint16_t(32768)) / 32768.0;
        c.right = std::min(e.info.envelope[0].right, uint16_t(32768)) / 32768.0;
        commands.push_back(std::move(c));
        break;
      }
    }
  }
  Queue(std::move(commands));
}

void FlashSound::StopAll(uint64_t at) {
  if (!attached_) return;
  std::vector<Command> commands(1);
  commands[0].type = Command::StopAll;
  commands[0].at = at;
  Queue(std::move(commands));
}

void FlashSound::Queue(std::vector<Command> commands) {
  std::lock_guard lock(mutex_);
  for (Command& c : commands) {
    if (queue_.size() >= kMaxQueued) break;
    c.at = std::max(c.at, lastAt_);  // never before what is queued already
    lastAt_ = c.at;
    queue_.push_back(std::move(c));
  }
}

size_t FlashSound::ReadSound(int16_t* out, size_t frames) {
  std::lock_guard lock(mutex_);
  Render(out, frames);
  return frames;
}

void FlashSound::Render(int16_t* out, size_t frames) {
  if (out) acc_.assign(frames * kSoundChannels, 0);
  const uint64_t start = pos_, end = pos_ + frames;
  size_t next = 0;  // the first command not applied
  while (pos_ < end) {
    while (next < queue_.size() && queue_[next].at <= pos_) Apply(queue_[next++]);
    uint64_t until = next < queue_.size() ? std::min(end, queue_[next].at) : end;
    size_t n = size_t(until - pos_);
    int32_t* acc = out ? acc_.data() + (pos_ - start) * kSoundChannels : nullptr;
    for (size_t i = 0; i < voices_.size();) {
      bool done = false;
      MixVoice(voices_[i], acc, n, done);
      if (done) voices_.erase(voices_.begin() + std::ptrdiff_t(i));
      else ++i;
    }
    for (Stream& s : streams_) MixStream(s, acc, n);
    // The level scripts set holds over the whole mix, the frames' sounds too.
    if (acc && (levelLeft_ != 1 || levelRight_ != 1))
      for (size_t i = 0; i < n; ++i) {
        acc[i * 2] = int32_t(acc[i * 2] * levelLeft_);
        acc[i * 2 + 1] = int32_t(acc[i * 2 + 1] * levelRight_);
      }
    pos_ = until;
  }
  queue_.erase(queue_.begin(), queue_.begin() + std::ptrdiff_t(next));
  if (out)
    for (size_t i = 0; i < acc_.size(); ++i) out[i] = ClampSample(acc_[i]);
}

void FlashSound::Apply(Command& c) {
  switch (c.type) {
    case Command::StartVoice:
      if (c.noMultiple &&
          std::any_of(voices_.begin(), voices_.end(), [&](const Voice& v) { return v.key == c.voice.key; }))
        return;
      if (voices_.size() >= kMaxVoices) voices_.erase(voices_.begin());
      voices_.push_back(std::move(c.voice));
      return;
    case Command::StopSound:
      std::erase_if(voices_, [&](const Voice& v) { return v.key == c.key; });
      return;
    case Command::StopAll:
      voices_.clear();
      streams_.clear();
      return;
    case Command::Level:
      levelLeft_ = c.left;
      levelRight_ = c.right;
      return;
    case Command::StreamData: {
      auto it = std::find_if(streams_.begin(), streams_.end(), [&](const Stream& s) { return s.key == c.key; });
      if (it == streams_.end()) {
        std::erase_if(streams_, [](const Stream& s) { return s.Frames() == 0; });
        if (streams_.size() >= kMaxStreams) return;
        streams_.push_back({});
        it = streams_.end() - 1;
        it->key = c.key;
      }
      Stream& s = *it;
      if (!c.continues) {
        s.buffer.clear();
        s.readAt = 0;
      } else if (s.played && s.Frames() == 0) {
        // Late: what comes now is behind by the time the stream stood dry; waiting a little
        // longer keeps the next blocks from falling dry again.
        s.buffer.assign(size_t(std::min(pos_ - s.emptySince, kMaxStreamPad)) * kSoundChannels, 0);
        s.readAt = 0;
      }
      if (s.readAt > 0 && s.readAt * 2 > s.buffer.size()) {
        s.buffer.erase(s.buffer.begin(), s.buffer.begin() + std::ptrdiff_t(s.readAt));
        s.readAt = 0;
      }
      s.buffer.insert(s.buffer.end(), c.samples.begin(), c.samples.end());
      // Ahead of its timeline by more than the slack: the oldest sound goes.
      if (s.Frames() > c.slack) s.readAt += size_t(s.Frames() - c.slack) * kSoundChannels;
      return;
    }
  }
}

void FlashSound::MixVoice(Voice& v, int32_t* acc, size_t frames, bool& done) {
  const std::vector<int16_t>& pcm = *v.pcm;
  size_t o = 0;
  while (o < frames) {
    if (v.pos >= v.end) {
      if (v.loopsLeft == 0) {
        done = true;
        return;
      }
      --v.loopsLeft;
      v.pos = v.begin;
    }
    size_t take = size_t(std::min<uint64_t>(frames - o, v.end - v.pos));
    if (acc) {
      // The envelope's level between its points, the first level before them and the last
      // after them; the same in every loop.
      size_t seg = 0;
      for (size_t i = 0; i < take; ++i) {
        uint64_t at = v.pos + i;
        int32_t l = pcm[at * 2], r = pcm[at * 2 + 1];
        if (!v.envelope.empty()) {
          while (seg < v.envelope.size() && v.envelope[seg].at <= at) ++seg;
          double gl, gr;
          if (seg == 0) {
            gl = v.envelope.front().left;
            gr = v.envelope.front().right;
          } else if (seg == v.envelope.size()) {
            gl = v.envelope.back().left;
            gr = v.envelope.back().right;
          } else {
            const Level& a = v.envelope[seg - 1];
            const Level& b = v.envelope[seg];
            double t = double(at - a.at) / double(b.at - a.at);
            gl = a.left + (b.left - a.left) * t;
            gr = a.right + (b.right - a.right) * t;
          }
          l = int32_t(l * gl);
          r = int32_t(r * gr);
        }
        acc[(o + i) * 2] += l;
        acc[(o + i) * 2 + 1] += r;
      }
    }
    v.pos += take;
    o += take;
  }
}

void FlashSound::MixStream(Stream& s, int32_t* acc, size_t frames) {
  size_t take = std::min(frames, s.Frames());
  if (acc)
    for (size_t i = 0; i < take * kSoundChannels; ++i) acc[i] += s.buffer[s.readAt + i];
  if (take == 0) return;
  s.played = true;
  s.readAt += take * kSoundChannels;
  if (s.Frames() == 0) s.emptySince = pos_ + take;
}

}  // namespace vitrine
