// Where the event sounds go. The application plays them through Qt Multimedia
// (QtSoundChannel); the headless tool links the silent output instead, so it never
// maps Qt Multimedia and the audio libraries behind it.
#pragma once
#include <cstdint>
#include <memory>

class QtSoundOutput {
public:
    virtual ~QtSoundOutput() = default;
    virtual bool Open() = 0;  // false without an audio output
    virtual void Close() = 0;
    virtual bool Play(int16_t id) = 0;
    virtual bool Busy() const = 0;
    virtual void Stop() = 0;
};

// The output this program was linked with: null when it plays no sound at all.
std::unique_ptr<QtSoundOutput> NewQtSoundOutput();
