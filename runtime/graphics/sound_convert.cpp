#include "graphics/sound_convert.h"

#include <algorithm>

namespace vorn {

FrameConverter::FrameConverter(int32_t fromChannels, int32_t fromRate, int32_t toChannels, int32_t toRate)
    : mFromChannels(std::max(fromChannels, 1)),
      mFromRate(std::max(fromRate, 1)),
      mToChannels(std::max(toChannels, 1)),
      mToRate(std::max(toRate, 1)) {}

int16_t FrameConverter::Channel(const int16_t* frame, int32_t channel) const {
  if (mFromChannels == mToChannels) return frame[channel];
  if (mToChannels == 1) {
    int32_t sum = 0;
    for (int32_t c = 0; c < mFromChannels; ++c) sum += frame[c];
    return static_cast<int16_t>(sum / mFromChannels);
  }
  return frame[channel % mFromChannels];
}

void FrameConverter::Convert(const int16_t* samples, int64_t count, std::vector<int16_t>* out) {
  out->clear();
  const int64_t frames = count / mFromChannels;
  const double step = static_cast<double>(mFromRate) / mToRate;
  for (; mPosition < frames; mPosition += step) {
    const int16_t* frame = samples + static_cast<int64_t>(mPosition) * mFromChannels;
    for (int32_t c = 0; c < mToChannels; ++c) out->push_back(Channel(frame, c));
  }
  mPosition -= static_cast<double>(frames);
}

}  // namespace vorn
