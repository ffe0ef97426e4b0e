#include "backends/headless/headless_media.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/byte_reader.h"
#ifdef VITRINE_HAVE_LIBAV
#include "backends/media/av_media_player.h"
#endif

namespace vitrine {

namespace {
bool Tag(std::span<const uint8_t> bytes, const char* tag) {
  return bytes.size() >= 4 && std::memcmp(bytes.data(), tag, 4) == 0;
}

std::optional<MediaInfo> ReadWave(ByteReader& r, int64_t fileSize) {
  uint32_t byteRate = 0;
  while (r.Remaining() >= 8) {
    auto id = r.Bytes(4);
    uint32_t size = r.U32LE();
    if (Tag(id, "fmt ")) {
      if (size < 16 || r.Remaining() < 16) return std::nullopt;
      r.Skip(8);
      byteRate = r.U32LE();
      r.Skip(std::min<size_t>(size - 12, r.Remaining()));
    } else if (Tag(id, "data")) {
      if (byteRate == 0) return std::nullopt;
      // The header may be all we were given: a data chunk reaching past the end of the
      // file is cut at the file's end.
      int64_t available = fileSize - static_cast<int64_t>(r.Position());
      int64_t bytes = std::clamp<int64_t>(size, 0, std::max<int64_t>(available, 0));
      return MediaInfo{bytes * 1000 / byteRate, 0, 0};
    } else {
      if (size > r.Remaining()) return std::nullopt;
      r.Skip(size + (size & 1 && r.Remaining() > size ? 1 : 0));
    }
  }
  return std::nullopt;
}

std::optional<MediaInfo> ReadAvi(ByteReader& r) {
  // RIFF AVI: LIST hdrl, then the main header avih.
  while (r.Remaining() >= 12) {
    auto id = r.Bytes(4);
    uint32_t size = r.U32LE();
    if (Tag(id, "LIST")) {
      r.Skip(4);  // list type; descend into it
      continue;
    }
    if (Tag(id, "avih")) {
      if (size < 40 || r.Remaining() < 40) return std::nullopt;
      uint32_t microsPerFrame = r.U32LE();
      r.Skip(12);
      uint32_t totalFrames = r.U32LE();
      r.Skip(12);
      uint32_t width = r.U32LE();
      uint32_t height = r.U32LE();
      if (width > 65535 || height > 65535) return std::nullopt;
      MediaInfo info;
      info.lengthMs = static_cast<int64_t>(uint64_t(microsPerFrame) * totalFrames / 1000);
      info.width = static_cast<int32_t>(width);
      info.height = static_cast<int32_t>(height);
      return info;
    }
    if (size > r.Remaining()) return std::nullopt;
    r.Skip(size);
  }
  return std::nullopt;
}
}  // namespace

std::optional<MediaInfo> ReadMediaInfo(std::span<const uint8_t> header, int64_t fileSize) {
  try {
    ByteReader r(header);
    if (!Tag(r.Bytes(4), "RIFF")) return std::nullopt;
    r.Skip(4);
    auto form = r.Bytes(4);
    if (Tag(form, "WAVE")) return ReadWave(r, fileSize);
    if (Tag(form, "AVI ")) return ReadAvi(r);
  } catch (const ByteReader::OutOfData&) {
  }
  return std::nullopt;
}

bool HeadlessMediaPlayer::Open(const std::string& path) {
  Close();
  auto file = files_.OpenRead(path);
  if (!file) return false;
  int64_t size = file->Size();
  std::vector<uint8_t> header(static_cast<size_t>(std::clamp<int64_t>(size, 0, 64 * 1024)));
  if (!file->Seek(0) || file->Read(header.data(), static_cast<int64_t>(header.size())) != static_cast<int64_t>(header.size()))
    return false;
  auto info = ReadMediaInfo(header, size);
  if (!info) return false;
  info_ = *info;
  path_ = path;
  open_ = true;
  basePosition_ = 0;
  return true;
}

void HeadlessMediaPlayer::Close() {
  open_ = false;
  playing_ = false;
  basePosition_ = 0;
  info_ = {};
}

void HeadlessMediaPlayer::Play() {
  if (!open_ || playing_) return;
  if (basePosition_ >= info_.lengthMs) basePosition_ = 0;  // play from the end starts over
  playing_ = true;
  startedAt_ = clock_.NowMs();
}

void HeadlessMediaPlayer::Pause() {
  if (!playing_) return;
  basePosition_ = PositionMs();
  playing_ = false;
}

void HeadlessMediaPlayer::Stop() { Pause(); }

void HeadlessMediaPlayer::Seek(int64_t positionMs) {
  basePosition_ = std::clamp<int64_t>(positionMs, 0, info_.lengthMs);
  startedAt_ = clock_.NowMs();
}

int64_t HeadlessMediaPlayer::PositionMs() {
  if (!open_) return 0;
  if (!playing_) return basePosition_;
  int64_t pos = basePosition_ + static_cast<int64_t>(clock_.NowMs() - startedAt_);
  return std::min(pos, info_.lengthMs);
}

bool HeadlessMediaPlayerFactory::DecodingAvailable() {
#ifdef VITRINE_HAVE_LIBAV
  return true;
#else
  return false;
#endif
}

std::unique_ptr<MediaPlayer> HeadlessMediaPlayerFactory::Create() {
#ifdef VITRINE_HAVE_LIBAV
  if (decode_) return std::make_unique<AvMediaPlayer>(clock_, files_, sound_);
#endif
  return std::make_unique<HeadlessMediaPlayer>(clock_, files_);
}

}  // namespace vitrine
