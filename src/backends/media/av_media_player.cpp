#include "backends/media/av_media_player.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>

#include "backends/media/av_input.h"
#include "backends/media/av_stereo_resampler.h"

namespace vitrine {

namespace {
// Beyond this a forward jump seeks instead of decoding every frame on the way.
constexpr int64_t kDecodeAheadMs = 2000;
// A display rectangle beyond this (a video claiming a huge picture, doubled) draws nothing
// rather than asking for gigabytes; an 8K picture still fits.
constexpr int64_t kMaxDisplayPixels = 40'000'000;

AVPixelFormat PixelFormatOf(const Bitmap& b) {
  return b.Format() == PixelFormat::Rgb565 ? AV_PIX_FMT_RGB565LE : AV_PIX_FMT_BGR0;
}
}  // namespace

// The picture: the frame on show now and the one after it, so that a frame is shown from its
// own time until the next one's.
struct AvMediaPlayer::Picture {
  AvInput input;
  AVFrame* current = av_frame_alloc();
  AVFrame* next = av_frame_alloc();
  int64_t currentMs = 0, nextMs = 0;
  bool haveCurrent = false, haveNext = false;
  SwsContext* scaler = nullptr;
  Bitmap scaled;

  ~Picture() {
    av_frame_free(&current);
    av_frame_free(&next);
    sws_freeContext(scaler);
  }

  void Restart(int64_t ms) {
    input.SeekTo(ms);
    av_frame_unref(current);
    av_frame_unref(next);
    haveCurrent = haveNext = false;
  }

  // Brings `current` to the frame due at media time `ms`.
  void Advance(int64_t ms) {
    // Back in time, or far ahead: seek. Past the last frame there is nothing to seek to; the
    // last frame stays.
    bool farAhead = !input.Ended() && ms > (haveCurrent ? std::max(currentMs, haveNext ? nextMs : currentMs) : 0) +
                                               kDecodeAheadMs;
    if ((haveCurrent && ms < currentMs) || farAhead) Restart(ms);
    while (true) {
      if (!haveNext) {
        if (!input.NextFrame()) return;
        nextMs = input.FrameMs();
        av_frame_unref(next);
        av_frame_move_ref(next, input.Frame());
        haveNext = true;
      }
      if (haveCurrent && nextMs > ms) return;
      std::swap(current, next);
      currentMs = nextMs;
      haveCurrent = true;
      haveNext = false;
      av_frame_unref(next);
    }
  }

  bool Scale(int32_t width, int32_t height, PixelFormat format) {
    if (!haveCurrent || current->width <= 0 || current->height <= 0) return false;
    scaled.Reset(width, height, format);
    scaler = sws_getCachedContext(scaler, current->width, current->height, static_cast<AVPixelFormat>(current->format),
                                  width, height, PixelFormatOf(scaled), SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!scaler) return false;
    uint8_t* dst[4] = {scaled.Bits(), nullptr, nullptr, nullptr};
    int dstStride[4] = {static_cast<int>(scaled.Stride()), 0, 0, 0};
    return sws_scale(scaler, current->data, current->linesize, 0, current->height, dst, dstStride) > 0;
  }
};

// The sound: decoded, resampled to the sound format, and handed out frame by frame from the
// position where playing started.
struct AvMediaPlayer::Sound {
  AvInput input;
  AvStereoResampler resampler;
  std::vector<int16_t> ready;  // resampled frames not yet handed out
  size_t readyAt = 0;          // first sample of `ready` still to hand out
  int64_t dropUntilMs = 0;     // after a seek: sound before this media time is skipped
  bool seekPending = false;
  int64_t seekTo = 0;

  // Decodes and resamples the next frame into `ready`; false at the end.
  bool Refill() {
    while (input.NextFrame()) {
      AVFrame* f = input.Frame();
      if (f->nb_samples <= 0 || !resampler.Fit(f, kSoundRate)) continue;
      int capacity = swr_get_out_samples(resampler.Context(), f->nb_samples);
      if (capacity <= 0) continue;
      ready.assign(size_t(capacity) * kSoundChannels, 0);
      uint8_t* out[1] = {reinterpret_cast<uint8_t*>(ready.data())};
      int got = swr_convert(resampler.Context(), out, capacity, const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
      if (got <= 0) continue;
      ready.resize(size_t(got) * kSoundChannels);
      readyAt = 0;
      int64_t frameMs = input.FrameMs();
      if (frameMs + got / kSoundFramesPerMs <= dropUntilMs) continue;
      if (frameMs < dropUntilMs) readyAt = size_t((dropUntilMs - frameMs) * kSoundFramesPerMs) * kSoundChannels;
      dropUntilMs = 0;
      if (readyAt < ready.size()) return true;
    }
    return false;
  }

  size_t Read(int16_t* out, size_t frames) {
    if (seekPending) {
      seekPending = false;
      ready.clear();
      readyAt = 0;
      if (seekTo > 0) {
        input.SeekTo(seekTo);
        dropUntilMs = seekTo;
      } else {
        input.SeekTo(0);
        dropUntilMs = 0;
      }
      resampler.Free();
    }
    size_t done = 0;
    while (done < frames) {
      if (readyAt >= ready.size() && !Refill()) break;
      size_t take = std::min((ready.size() - readyAt) / kSoundChannels, frames - done);
      std::memcpy(out + done * kSoundChannels, ready.data() + readyAt, take * kSoundChannels * sizeof(int16_t));
      readyAt += take * kSoundChannels;
      done += take;
    }
    return done;
  }
};

AvMediaPlayer::AvMediaPlayer(const EventLoop& clock, FileSystem& files, SoundOutput* sound)
    : clock_(clock), files_(files), output_(sound) {}

AvMediaPlayer::~AvMediaPlayer() { Close(); }

bool AvMediaPlayer::Open(const std::string& path) {
  Close();
  auto picture = std::make_unique<Picture>();
  if (!picture->input.Open(files_, path, AvInput::Kind::Video)) picture.reset();
  auto sound = std::make_unique<Sound>();
  if (!sound->input.Open(files_, path, AvInput::Kind::Audio)) sound.reset();
  if (!picture && !sound) return false;
  {
    std::lock_guard lock(mutex_);
    lengthMs_ = picture ? picture->input.LengthMs() : sound->input.LengthMs();
    picture_ = std::move(picture);
    sound_ = std::move(sound);
    path_ = path;
    open_ = true;
    playing_ = false;
    basePosition_ = 0;
  }
  if (sound_ && output_) {
    output_->Attach(*this);
    attached_ = true;
  }
  return true;
}

void AvMediaPlayer::Close() {
  if (attached_) {
    output_->Detach(*this);
    attached_ = false;
  }
  std::lock_guard lock(mutex_);
  CloseLocked();
}

void AvMediaPlayer::CloseLocked() {
  picture_.reset();
  sound_.reset();
  open_ = playing_ = false;
  basePosition_ = lengthMs_ = 0;
}

void AvMediaPlayer::Play() {
  if (attached_) output_->BeforeChange(*this);
  std::lock_guard lock(mutex_);
  if (!open_ || playing_) return;
  if (basePosition_ >= lengthMs_) {  // playing from the end starts over
    basePosition_ = 0;
    if (sound_) {
      sound_->seekPending = true;
      sound_->seekTo = 0;
    }
  }
  playing_ = true;
  startedAt_ = clock_.NowMs();
}

void AvMediaPlayer::Pause() {
  if (attached_) output_->BeforeChange(*this);
  std::lock_guard lock(mutex_);
  if (!playing_) return;
  basePosition_ = PositionLocked();
  playing_ = false;
}

void AvMediaPlayer::Seek(int64_t positionMs) {
  if (attached_) output_->BeforeChange(*this);
  std::lock_guard lock(mutex_);
  if (!open_) return;
  basePosition_ = std::clamp<int64_t>(positionMs, 0, lengthMs_);
  startedAt_ = clock_.NowMs();
  if (sound_) {
    sound_->seekPending = true;
    sound_->seekTo = basePosition_;
  }
}

int64_t AvMediaPlayer::PositionMs() {
  std::lock_guard lock(mutex_);
  return PositionLocked();
}

int64_t AvMediaPlayer::PositionLocked() const {
  if (!open_) return 0;
  if (!playing_) return basePosition_;
  int64_t pos = basePosition_ + static_cast<int64_t>(clock_.NowMs() - startedAt_);
  return std::min(pos, lengthMs_);
}

int64_t AvMediaPlayer::LengthMs() {
  std::lock_guard lock(mutex_);
  return open_ ? lengthMs_ : 0;
}

Rect AvMediaPlayer::SourceRect() {
  std::lock_guard lock(mutex_);
  if (!picture_) return {};
  return {0, 0, picture_->input.Codec()->width, picture_->input.Codec()->height};
}

void AvMediaPlayer::SetDisplayRect(const Rect& rect) {
  std::lock_guard lock(mutex_);
  display_ = rect;
}

bool AvMediaPlayer::DrawVideoFrame(Bitmap& target, const Rect& panel) {
  std::lock_guard lock(mutex_);
  if (!picture_ || target.Empty()) return false;
  int32_t width = display_.Width(), height = display_.Height();
  if (width <= 0 || height <= 0 || int64_t(width) * height > kMaxDisplayPixels) return false;
  // Where the display rectangle lands on the target: inside the panel and the target both.
  Rect placed{panel.left + display_.left, panel.top + display_.top, panel.left + display_.left + width,
              panel.top + display_.top + height};
  Rect visible = placed.Intersect(panel).Intersect(target.Bounds());
  if (visible.Width() <= 0 || visible.Height() <= 0) return false;
  picture_->Advance(PositionLocked());
  if (!picture_->Scale(width, height, target.Format())) return false;
  const Bitmap& from = picture_->scaled;
  size_t bpp = static_cast<size_t>(target.BytesPerPixel());
  for (int32_t y = visible.top; y < visible.bottom; ++y)
    std::memcpy(target.Row(y) + size_t(visible.left) * bpp,
                from.Row(y - placed.top) + size_t(visible.left - placed.left) * bpp, size_t(visible.Width()) * bpp);
  return true;
}

size_t AvMediaPlayer::ReadSound(int16_t* out, size_t frames) {
  std::lock_guard lock(mutex_);
  if (!playing_ || !sound_) return 0;
  return sound_->Read(out, frames);
}

}  // namespace vitrine
