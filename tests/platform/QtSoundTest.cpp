// The sound channel as the application opens it: from memory, with or
// without an audio output, never a file on disk and never a message.
#include <gtest/gtest.h>

#include <QDir>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "QtTestApp.h"
#include "ScratchDir.h"
#include "platform/SoundSynth.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtSoundChannel.h"

namespace {

std::vector<std::string> messages;
void KeepMessage(QtMsgType, const QMessageLogContext&, const QString& text) { messages.push_back(text.toStdString()); }

size_t FilesIn(const std::filesystem::path& folder) {
    size_t n = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) n += entry.is_regular_file();
    return n;
}

}  // namespace

TEST(QtSound, EventSoundsLeaveNoFilesAndPrintNothing) {
    TestApplication();
    ScratchDir scratch;
    // Temporary files, if any were made, would land here.
    const std::string oldTmp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    setenv("TMPDIR", scratch.path().c_str(), 1);
    ASSERT_EQ(QDir::tempPath().toStdString(), scratch.path().string());
    messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(KeepMessage);
    {
        QtBackend backend;
        const bool open = backend.OpenSoundChannel();
        for (int16_t id : {kCrashSoundId, kThrustSoundId, kTimedThrustSoundId, int16_t(128)}) {
            const bool played = backend.PlaySoundResource(id);
            // Without an output nothing plays; an unknown sound never does.
            EXPECT_EQ(played, open && id != 128) << id;
            backend.SoundChannelBusy();
        }
        // A second opening does not ask the audio system again.
        EXPECT_EQ(backend.OpenSoundChannel(), open);
        backend.StopSoundChannel();
        EXPECT_FALSE(backend.SoundChannelBusy());
        EXPECT_EQ(FilesIn(scratch.path()), 0u) << "sounds are played from memory";
        backend.CloseSoundChannel();
        EXPECT_FALSE(backend.PlaySoundResource(kCrashSoundId)) << "a closed channel plays nothing";
    }
    qInstallMessageHandler(previous);
    if (oldTmp.empty()) unsetenv("TMPDIR");
    else setenv("TMPDIR", oldTmp.c_str(), 1);
    std::string all;
    for (const std::string& m : messages) all += m + "\n";
    EXPECT_TRUE(messages.empty()) << all;
}

TEST(QtSound, TheChannelHoldsEachSoundsSamples) {
    TestApplication();
    QtSoundChannel channel;
    if (!channel.Open()) GTEST_SKIP() << "no audio output on this machine";
    EXPECT_TRUE(channel.Play(kThrustSoundId));
    EXPECT_FALSE(channel.Play(42));
    channel.Close();
    EXPECT_FALSE(channel.IsOpen());
}

// Programs linked the ordinary way play through Qt Multimedia; only gravitas-sim asks for
// the silent output (its own test checks that it maps no audio libraries).
TEST(QtSound, TheApplicationsOutputIsTheMultimediaChannel) {
    const std::unique_ptr<QtSoundOutput> output = NewQtSoundOutput();
    ASSERT_NE(output, nullptr);
    EXPECT_NE(dynamic_cast<QtSoundChannel*>(output.get()), nullptr);
}
