#include "sound/sound_player.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>

namespace sound {

namespace {

// Qt's PulseAudio output drops the last tenth of a second or so of what it is given when the
// data runs out; played with this much silence after it, the sound comes out whole.
constexpr qint64 kTailSilenceUs = 250000;

QByteArray withSilenceAfter(const PcmSound &sound)
{
    const char silence = sound.format.sampleFormat() == QAudioFormat::UInt8 ? char(0x80) : char(0);
    const qsizetype tail = sound.format.bytesForDuration(kTailSilenceUs);
    return sound.samples + QByteArray(tail, silence);
}

} // namespace

SoundPlayer::SoundPlayer(SoundSet sounds, Beep beep, QObject *parent)
    : QObject(parent)
    , sounds_(std::move(sounds))
    , beep_(std::move(beep))
{
}

SoundPlayer::~SoundPlayer()
{
    stop();
}

const PcmSound *SoundPlayer::decoded(const QString &name)
{
    const QString key = name.toLower();
    auto it = decoded_.find(key);
    if (it == decoded_.end()) {
        if (!sounds_.contains(key))
            return nullptr;
        it = decoded_.insert(key, decodeWave(sounds_.read(key)));
    }
    return it->has_value() ? &**it : nullptr;
}

void SoundPlayer::play(const QString &name)
{
    stop();
    if (!sounds_.contains(name)) {
        if (beep_)
            beep_();
        return;
    }
    const PcmSound *sound = decoded(name);
    if (!sound)
        return;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return;

    auto *sink = new QAudioSink(device, sound->format, this);
    auto *buffer = new QBuffer(sink); // lives exactly as long as the sink that reads it
    buffer->setData(withSilenceAfter(*sound));
    buffer->open(QIODevice::ReadOnly);
    const QString lowerName = name.toLower();
    connect(sink, &QAudioSink::stateChanged, this, [this, sink, lowerName](QAudio::State state) {
        if (state == QAudio::ActiveState)
            emit started(lowerName);
        else if (state == QAudio::IdleState || sink->error() != QAudio::NoError)
            finish(sink);
    });
    sink_ = sink;
    sink->start(buffer);
    if (sink_ == sink && sink->error() != QAudio::NoError)
        finish(sink); // no device to open: silence

}

void SoundPlayer::stop()
{
    if (sink_)
        finish(sink_);
}

void SoundPlayer::finish(QAudioSink *sink)
{
    if (sink == sink_)
        sink_ = nullptr;
    // This may run inside the sink's own signal: it is deleted once that has returned.
    sink->disconnect(this);
    sink->stop();
    sink->deleteLater();
}

} // namespace sound
