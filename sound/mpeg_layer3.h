#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace sound {

// Decodes MPEG Layer-3 frames to interleaved signed 16-bit samples (host byte order) with
// libmpg123. The stream must be Layer-3 at the rate and channel count its container announced
// and decode without an error; a stream longer than a minute is not a sound of the game.
// Anything else gives nothing.
std::optional<QByteArray> decodeMpegLayer3(QByteArrayView frames, int sampleRate, int channels);

} // namespace sound
