// The song's MPEG decoder behind the decode thread's view of it.
#pragma once

#include "kalvo/frame_decoder.h"
#include "kalvo/mpeg/equalizer.h"
#include "kalvo/settings.h"
#include "kalvo/song_source.h"

#include <memory>

namespace kalvo {

// A decoder with the settings' downsampling, 8-bit and downmix options that
// reads source and applies eq; null when none can be made.
std::unique_ptr<FrameDecoder> createDecoder(const Settings& settings, SongSource* source,
                                            const EqualizerSettings* eq);

} // namespace kalvo
