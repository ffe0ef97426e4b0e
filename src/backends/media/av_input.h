#pragma once
// One demuxer and decoder over one stream of a media file, read through the FileSystem so
// that files in memory play as well as files on disk. The players keep one per stream (the
// picture and the sound read the file each at their own pace).
#include <cstdint>
#include <memory>
#include <string>

#include "core/file_system.h"

struct AVFormatContext;
struct AVIOContext;
struct AVCodecContext;
struct AVPacket;
struct AVFrame;

namespace vitrine {

class AvInput {
 public:
  enum class Kind { Video, Audio };

  AvInput() = default;
  ~AvInput();
  AvInput(const AvInput&) = delete;
  AvInput& operator=(const AvInput&) = delete;

  // False when the file can't be read, isn't media the libraries know, or holds no stream of
  // this kind that a decoder here can decode.
  bool Open(FileSystem& files, const std::string& path, Kind kind);
  bool IsOpen() const { return codec_ != nullptr; }

  // The file's length in milliseconds (0 when it doesn't say).
  int64_t LengthMs() const { return lengthMs_; }
  AVCodecContext* Codec() const { return codec_; }

  // Decodes the next frame into Frame(); false at the end of the stream or on an error that
  // ends it.
  bool NextFrame();
  // The stream has given its last frame.
  bool Ended() const { return ended_; }
  AVFrame* Frame() const { return frame_; }
  // The media time of Frame() in milliseconds from the start of the stream.
  int64_t FrameMs() const;
  // Moves to the last key frame at or before positionMs and drops what the decoder holds.
  void SeekTo(int64_t positionMs);

 private:
  std::unique_ptr<ReadOnlyFile> file_;
  AVIOContext* io_ = nullptr;
  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  int stream_ = -1;
  int64_t startPts_ = 0;
  int64_t lengthMs_ = 0;
  bool draining_ = false, ended_ = false;
  int failures_ = 0;
};

}  // namespace vitrine
