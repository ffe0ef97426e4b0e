#pragma once
// Decoded sound frames of any layout, rate and sample format resampled to interleaved 16-bit
// stereo: the resampler is kept while the frames stay alike and made anew when they change.
extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
}

namespace vitrine {

class AvStereoResampler {
 public:
  AvStereoResampler() = default;
  ~AvStereoResampler() { Free(); }
  AvStereoResampler(const AvStereoResampler&) = delete;
  AvStereoResampler& operator=(const AvStereoResampler&) = delete;

  // Ready for frames like f at outRate; false for frames it cannot take (no channels, more
  // than maxChannels, no rate).
  bool Fit(const AVFrame* f, int outRate, int maxChannels = 64) {
    if (context_ && f->sample_rate == inRate_ && f->format == inFormat_ && outRate == outRate_ &&
        av_channel_layout_compare(&f->ch_layout, &inLayout_) == 0)
      return true;
    Free();
    if (f->ch_layout.nb_channels <= 0 || f->ch_layout.nb_channels > maxChannels || f->sample_rate <= 0) return false;
    if (av_channel_layout_copy(&inLayout_, &f->ch_layout) < 0) return false;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    if (swr_alloc_set_opts2(&context_, &stereo, AV_SAMPLE_FMT_S16, outRate, &inLayout_,
                            static_cast<AVSampleFormat>(f->format), f->sample_rate, 0, nullptr) < 0) {
      Free();
      return false;
    }
    // Mono sounds as loud from each side as it was recorded, as on any sound card.
    static const double kMonoToBothSides[2] = {1.0, 1.0};
    if (inLayout_.nb_channels == 1) swr_set_matrix(context_, kMonoToBothSides, 1);
    if (swr_init(context_) < 0) {
      Free();
      return false;
    }
    inRate_ = f->sample_rate;
    inFormat_ = f->format;
    outRate_ = outRate;
    return true;
  }
  // Forgets the resampler and what it holds back (a seek, a jump).
  void Free() {
    swr_free(&context_);
    av_channel_layout_uninit(&inLayout_);
  }
  SwrContext* Context() const { return context_; }

 private:
  SwrContext* context_ = nullptr;
  AVChannelLayout inLayout_{};
  int inRate_ = 0, inFormat_ = -1, outRate_ = 0;
};

}  // namespace vitrine
