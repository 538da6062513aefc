#include "platform/qt/QtSoundChannel.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>

#include "platform/SoundSynth.h"

namespace {

// Asking for the audio outputs on a machine without a sound server makes the
// multimedia backend print connection failures. Having no sound is normal
// there (remote sessions, CI, containers); the probe keeps quiet about it.
void DropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

QAudioDevice QuietDefaultOutput() {
    const QtMessageHandler previous = qInstallMessageHandler(DropMessage);
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    qInstallMessageHandler(previous);
    return device;
}

QAudioFormat EventSoundFormat() {
    QAudioFormat format;
    format.setSampleRate(int(kSoundSampleRate));
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

}  // namespace

std::unique_ptr<QtSoundOutput> NewQtSoundOutput() { return std::make_unique<QtSoundChannel>(); }

QtSoundChannel::QtSoundChannel() = default;
QtSoundChannel::~QtSoundChannel() { Close(); }

bool QtSoundChannel::Open() {
    if (sink_) return true;
    if (probed_) return false;
    probed_ = true;
    const QAudioDevice device = QuietDefaultOutput();
    const QAudioFormat format = EventSoundFormat();
    if (device.isNull() || !device.isFormatSupported(format)) return false;
    for (int16_t id : {kCrashSoundId, kThrustSoundId, kTimedThrustSoundId}) {
        const std::vector<int16_t> samples = SynthesizeEventSamples(id);
        pcm_[id] = QByteArray(reinterpret_cast<const char*>(samples.data()), qsizetype(samples.size() * 2));
    }
    sink_ = std::make_unique<QAudioSink>(device, format);
    sink_->setVolume(0.6);
    return true;
}

void QtSoundChannel::Close() {
    Stop();
    sink_.reset();
    pcm_.clear();
    probed_ = false;
}

bool QtSoundChannel::Play(int16_t id) {
    const auto it = pcm_.find(id);
    if (!sink_ || it == pcm_.end()) return false;  // a missing sound plays nothing
    Stop();
    playing_ = std::make_unique<QBuffer>();
    playing_->setData(it->second);
    playing_->open(QIODevice::ReadOnly);
    sink_->start(playing_.get());
    return true;
}

bool QtSoundChannel::Busy() const {
    // Idle: the buffer ran out, the sound is over.
    return sink_ && playing_ && sink_->state() == QAudio::ActiveState;
}

void QtSoundChannel::Stop() {
    if (sink_) sink_->stop();
    playing_.reset();
}
