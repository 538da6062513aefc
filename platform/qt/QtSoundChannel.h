// The one sound channel, played from memory through Qt Multimedia: no files
// are written, so nothing is left behind after a crash. Without an audio
// output the channel stays closed and silent, without messages.
#pragma once
#include <QByteArray>
#include <QObject>
#include <map>
#include <memory>

#include "platform/qt/QtSoundOutput.h"

class QAudioSink;
class QBuffer;

class QtSoundChannel : public QtSoundOutput {
public:
    QtSoundChannel();
    ~QtSoundChannel() override;
    // False without an audio output that takes our format; the outputs are
    // looked at once, not again on every sound, until Close.
    bool Open() override;
    void Close() override;
    bool IsOpen() const { return sink_ != nullptr; }
    bool Play(int16_t id) override;  // asynchronous; a new sound replaces the one playing
    bool Busy() const override;
    void Stop() override;

private:
    std::map<int16_t, QByteArray> pcm_;  // native 16-bit mono samples per sound
    std::unique_ptr<QAudioSink> sink_;
    std::unique_ptr<QBuffer> playing_;
    bool probed_ = false;
};
