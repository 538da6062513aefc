// Drives the main window's frame timer at the pace core/FramePacing.h asks for:
// the screen's refresh rate, a slow pace in the background or while the paused
// scene is at rest, or flat out. Any input to the application wakes the frames.
#pragma once
#include <QElapsedTimer>
#include <QObject>

class QTimer;
class QWidget;

class QtFramePacer : public QObject {
public:
    explicit QtFramePacer(QTimer& timer);
    ~QtFramePacer() override;
    // The window whose screen sets the refresh rate; followed as it moves between screens.
    void FollowScreenOf(QWidget* window);
    void SetInBackground(bool background);
    // Around each drawn frame.
    void FrameStarts();
    void FrameEnded();
    double Seconds() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ReadRefreshRate(QWidget* window);
    void Wake();  // the next frame now, at the full pace
    QTimer& timer_;
    QElapsedTimer clock_;
    bool following_ = false;
};
