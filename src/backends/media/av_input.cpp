#include "backends/media/av_input.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/mem.h>
}

#include <algorithm>

namespace vitrine {

namespace {
constexpr int kIoBufferSize = 32 * 1024;
// A damaged stream may give one undecodable packet after another; this many in a row end it.
constexpr int kMaxFailuresInARow = 64;

int ReadPacket(void* opaque, uint8_t* buffer, int size) {
  auto* file = static_cast<ReadOnlyFile*>(opaque);
  int64_t got = file->Read(buffer, size);
  if (got < 0) return AVERROR(EIO);
  if (got == 0) return AVERROR_EOF;
  return static_cast<int>(got);
}

int64_t SeekFile(void* opaque, int64_t offset, int whence) {
  auto* file = static_cast<ReadOnlyFile*>(opaque);
  whence &= ~AVSEEK_FORCE;
  if (whence == AVSEEK_SIZE) return file->Size();
  if (whence != SEEK_SET) return -1;  // the demuxers here ask for absolute positions only
  return file->Seek(offset) ? offset : -1;
}
// Playlists and references (HLS, concat lists, MOV data references, image sequences) name
// other files or addresses; a media file from a package may only ever read itself.
int RefuseNestedOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) { return AVERROR(EPERM); }
}  // namespace

AvInput::~AvInput() {
  av_frame_free(&frame_);
  av_packet_free(&packet_);
  avcodec_free_context(&codec_);
  avformat_close_input(&format_);
  if (io_) av_freep(&io_->buffer);
  avio_context_free(&io_);
}

bool AvInput::Open(FileSystem& files, const std::string& path, Kind kind) {
  // Damaged files are expected here and handled; the libraries' own reports would only
  // clutter the console of a render.
  static const bool quiet = (av_log_set_level(AV_LOG_QUIET), true);
  (void)quiet;
  file_ = files.OpenRead(path);
  if (!file_) return false;
  auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
  if (!buffer) return false;
  io_ = avio_alloc_context(buffer, kIoBufferSize, 0, file_.get(), ReadPacket, nullptr, SeekFile);
  if (!io_) {
    av_free(buffer);
    return false;
  }
  format_ = avformat_alloc_context();
  if (!format_) return false;
  format_->pb = io_;
  format_->flags |= AVFMT_FLAG_CUSTOM_IO;
  format_->io_open = RefuseNestedOpen;
  if (avformat_open_input(&format_, nullptr, nullptr, nullptr) < 0) return false;  // frees format_
  if (avformat_find_stream_info(format_, nullptr) < 0) return false;

  const AVCodec* decoder = nullptr;
  stream_ = av_find_best_stream(format_, kind == Kind::Video ? AVMEDIA_TYPE_VIDEO : AVMEDIA_TYPE_AUDIO, -1, -1,
                                &decoder, 0);
  if (stream_ < 0 || !decoder) return false;
  AVStream* stream = format_->streams[stream_];
  if (kind == Kind::Video && (stream->disposition & AV_DISPOSITION_ATTACHED_PIC)) return false;  // cover art
  for (unsigned i = 0; i < format_->nb_streams; ++i)
    if (static_cast<int>(i) != stream_) format_->streams[i]->discard = AVDISCARD_ALL;

  codec_ = avcodec_alloc_context3(decoder);
  if (!codec_ || avcodec_parameters_to_context(codec_, stream->codecpar) < 0) {
    avcodec_free_context(&codec_);
    return false;
  }
  codec_->thread_count = 1;  // the show runs on one thread; renders stay reproducible
  if (avcodec_open2(codec_, decoder, nullptr) < 0) {
    avcodec_free_context(&codec_);
    return false;
  }
  if (kind == Kind::Video && (codec_->width <= 0 || codec_->height <= 0)) {
    avcodec_free_context(&codec_);
    return false;
  }
  if (kind == Kind::Audio && (codec_->ch_layout.nb_channels <= 0 || codec_->sample_rate <= 0)) {
    avcodec_free_context(&codec_);
    return false;
  }
  packet_ = av_packet_alloc();
  frame_ = av_frame_alloc();
  if (!packet_ || !frame_) {
    avcodec_free_context(&codec_);
    return false;
  }

  startPts_ = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
  if (format_->duration > 0) {
    lengthMs_ = av_rescale(format_->duration, 1000, AV_TIME_BASE);
  } else if (stream->duration > 0) {
    lengthMs_ = av_rescale_q(stream->duration, stream->time_base, AVRational{1, 1000});
  }
  lengthMs_ = std::max<int64_t>(lengthMs_, 0);
  return true;
}

bool AvInput::NextFrame() {
  if (!codec_ || ended_) return false;
  while (true) {
    int got = avcodec_receive_frame(codec_, frame_);
    if (got == 0) {
      failures_ = 0;
      return true;
    }
    if (got == AVERROR_EOF) {
      ended_ = true;
      return false;
    }
    if (got != AVERROR(EAGAIN)) {
      // A frame that could not be decoded: try the next packet, as players do.
      if (++failures_ > kMaxFailuresInARow) {
        ended_ = true;
        return false;
      }
    }
    if (draining_) {
      ended_ = true;
      return false;
    }
    int read = av_read_frame(format_, packet_);
    if (read < 0) {
      draining_ = true;
      avcodec_send_packet(codec_, nullptr);
      continue;
    }
    if (packet_->stream_index == stream_) {
      if (avcodec_send_packet(codec_, packet_) < 0 && ++failures_ > kMaxFailuresInARow) {
        av_packet_unref(packet_);
        ended_ = true;
        return false;
      }
    }
    av_packet_unref(packet_);
  }
}

int64_t AvInput::FrameMs() const {
  int64_t pts = frame_->best_effort_timestamp;
  if (pts == AV_NOPTS_VALUE) pts = frame_->pts;
  if (pts == AV_NOPTS_VALUE) return 0;
  return av_rescale_q(pts - startPts_, format_->streams[stream_]->time_base, AVRational{1, 1000});
}

void AvInput::SeekTo(int64_t positionMs) {
  if (!codec_) return;
  AVStream* stream = format_->streams[stream_];
  int64_t target = startPts_ + av_rescale_q(std::max<int64_t>(positionMs, 0), AVRational{1, 1000}, stream->time_base);
  if (av_seek_frame(format_, stream_, target, AVSEEK_FLAG_BACKWARD) < 0)
    av_seek_frame(format_, stream_, startPts_, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
  avcodec_flush_buffers(codec_);
  draining_ = ended_ = false;
  failures_ = 0;
}

}  // namespace vitrine
