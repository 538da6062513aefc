#include "platform/qt/QtFramePacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cmath>

#include "shell/FramePacing.h"

QtFramePacer::QtFramePacer(QTimer& timer) : timer_(timer) {
    clock_.start();
    QCoreApplication::instance()->installEventFilter(this);
}

QtFramePacer::~QtFramePacer() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

double QtFramePacer::Seconds() const { return double(clock_.nsecsElapsed()) * 1e-9; }

void QtFramePacer::ReadRefreshRate(QWidget* window) {
    const QScreen* screen = window->screen();
    framePacing.refreshHz = UsableRefreshHz(screen ? screen->refreshRate() : 0.0);
}

void QtFramePacer::FollowScreenOf(QWidget* window) {
    ReadRefreshRate(window);
    if (following_ || !window->windowHandle()) return;
    following_ = true;
    QObject::connect(window->windowHandle(), &QWindow::screenChanged, this,
                     [this, window](QScreen*) { ReadRefreshRate(window); });
}

void QtFramePacer::SetInBackground(bool background) {
    framePacing.inBackground = background;
    if (!background) Wake();
}

void QtFramePacer::FrameStarts() { StartPacedFrame(framePacing, frameRateChoice, Seconds()); }

void QtFramePacer::FrameEnded() {
    if (!timer_.isActive()) return;  // stopped by a test or by closing: stays stopped
    NoteWhetherAtRest(framePacing);
    const double wait = SecondsUntilNextFrame(framePacing, frameRateChoice, Seconds());
    // Whole milliseconds, rounded down: the schedule, not the timer, keeps the average pace.
    timer_.setTimerType(wait > 0 ? Qt::PreciseTimer : Qt::CoarseTimer);
    timer_.start(int(std::floor(wait * 1000.0)));
}

void QtFramePacer::Wake() {
    framePacing.atRest = false;
    framePacing.nextDueSeconds = -1;
    if (timer_.isActive()) timer_.start(0);
}

bool QtFramePacer::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::Drop:
        case QEvent::Resize:
            if (framePacing.atRest) Wake();
            break;
        default: break;
    }
    return QObject::eventFilter(watched, event);
}
