// Gravitas: start-up, the event loop, shut-down.
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdlib>

#include "core/Events.h"
#include "core/Frame.h"
#include "core/Version.h"
#include "io/Odometer.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtMainWindow.h"
#include "platform/qt/QtSettingsStore.h"
#include "shell/BetweenRuns.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Gravitas");
    QApplication::setApplicationVersion(kGravitasVersion);
    QGuiApplication::setDesktopFileName("gravitas");  // ties the windows to the installed launcher and icon
    QtBackend backend;
    SetPlatformBackend(&backend);
    QtSettingsStore settings;
    SetSettingsStore(&settings);
    startTime = backend.CalendarSeconds();

    int status = 0;
    {
        QtMainWindow window;
        SetMainWindowServices(&window);
        window.show();
        InitializeAll();
        RecallBetweenRuns();
        for (int i = 1; i < argc; ++i) window.OpenDocument(QString::fromLocal8Bit(argv[i]));
        // GRAVITAS_SCREENSHOT=path: grab the window after a few seconds of running, then quit.
        if (const char* shot = std::getenv("GRAVITAS_SCREENSHOT")) {
            const QString path = QString::fromLocal8Bit(shot);
            QTimer::singleShot(4000, &window, [&window, path] {
                // The whole screen, so the object and statistics windows are in the picture too.
                QScreen* screen = QGuiApplication::primaryScreen();
                const QPixmap shot = screen ? screen->grabWindow(0) : QPixmap();
                (shot.isNull() ? window.grab() : shot).save(path);
                window.close();
            });
        }
        status = app.exec();
        DisposeAll();
        SetMainWindowServices(nullptr);
    }
    UpdateRunTime();
    SetPlatformBackend(nullptr);
    SetSettingsStore(nullptr);
    return status;
}
