#pragma once

#include "sound/pcm_sound.h"
#include "sound/sound_set.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QAudioSink;

namespace sound {

// Plays sounds of a set by name on the default audio device, one at a time: a sound that starts
// stops the one still playing. Each sound is decoded the first time it is asked for and kept.
// A name that is not in the set gives the desktop's beep instead; a damaged file plays nothing;
// without an audio device nothing is heard and nothing is reported. Playing returns at once.
class SoundPlayer : public QObject
{
    Q_OBJECT
public:
    // The desktop's alert sound (the window system's beep, which this library does not link).
    using Beep = std::function<void()>;

    SoundPlayer(SoundSet sounds, Beep beep, QObject *parent = nullptr);
    ~SoundPlayer() override;

    void play(const QString &name);
    // Stops the sound that is playing, if any.
    void stop();
    bool isPlaying() const { return sink_ != nullptr; }

    // The decoded sound of that name, decoding it now if it was not yet; nothing for a name
    // that is not in the set or a file that does not decode.
    const PcmSound *decoded(const QString &name);

signals:
    // The audio device has begun to play a sound.
    void started(const QString &name);

private:
    void finish(QAudioSink *sink);

    SoundSet sounds_;
    Beep beep_;
    QHash<QString, std::optional<PcmSound>> decoded_; // lower-case name -> sound or damaged
    QAudioSink *sink_ = nullptr; // the sink playing now, a child of this
};

} // namespace sound
