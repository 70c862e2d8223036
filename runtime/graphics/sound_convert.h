// Samples of one sound brought to the format the shared audio device was set up with: another
// sound playing at the same time may have set it up for other channels or another rate.
#pragma once

#include <cstdint>
#include <vector>

namespace vorn {

class FrameConverter {
 public:
  FrameConverter(int32_t fromChannels, int32_t fromRate, int32_t toChannels, int32_t toRate);

  bool Identity() const { return mFromChannels == mToChannels && mFromRate == mToRate; }
  // Replaces `out` with the frames of `samples` (whole interleaved frames) in the device's
  // format: channels duplicated or averaged, the rate changed by taking the nearest earlier
  // frame. The position carries over from block to block.
  void Convert(const int16_t* samples, int64_t count, std::vector<int16_t>* out);

 private:
  int16_t Channel(const int16_t* frame, int32_t channel) const;

  int32_t mFromChannels, mFromRate, mToChannels, mToRate;
  // Where the next output frame lies, in input frames from the start of the next block.
  double mPosition = 0;
};

}  // namespace vorn
